#include "phone/port_assignments.h"

#include <algorithm>
#include <map>
#include <set>

namespace tabellan {
namespace {

constexpr std::string_view kDefaultDevicePrefix = "/dev/ttyS";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A run of digits as a port number, when it is one (leading zeros allowed).
std::optional<int> PortNumber(std::string_view digits) {
    while (digits.size() > 1 && digits.front() == '0') {
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.size() > 3) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > kMaxPortNumber) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<std::vector<int>> ParsePortNumbers(std::string_view text) {
    std::set<int> ports;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ',' || c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        if (!IsDigit(c)) {
            return std::nullopt;
        }
        const std::size_t start = i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
        }
        const std::optional<int> port = PortNumber(text.substr(start, i - start));
        if (!port) {
            return std::nullopt;
        }
        ports.insert(*port);
    }
    return std::vector<int>(ports.begin(), ports.end());
}

std::string PortNumbersText(const std::vector<int>& ports) {
    std::string text;
    for (const int port : ports) {
        text += (text.empty() ? "" : ", ") + std::to_string(port);
    }
    return text;
}

std::vector<PortListEntry> PortListEntries(const std::vector<SerialDevice>& found,
                                           const PortMap& map) {
    std::map<std::string, std::vector<int>> byPath;
    std::vector<std::string> order;  // assigned paths by their first number
    for (const auto& [port, path] : map) {
        auto& ports = byPath[path];
        if (ports.empty()) {
            order.push_back(path);
        }
        ports.push_back(port);
    }
    std::vector<PortListEntry> entries;
    std::set<std::string> shown;
    for (const SerialDevice& device : found) {
        if (!shown.insert(device.path).second) {
            continue;
        }
        const auto it = byPath.find(device.path);
        entries.push_back({device, true, it == byPath.end() ? std::vector<int>{} : it->second});
    }
    for (const std::string& path : order) {
        if (shown.insert(path).second) {
            entries.push_back({SerialDevice{path, path, "", ""}, false, byPath[path]});
        }
    }
    return entries;
}

std::optional<PortAssignmentProblem> CheckPortAssignments(
    const std::vector<PortAssignmentRow>& rows) {
    std::set<int> taken;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const std::optional<std::vector<int>> ports = ParsePortNumbers(rows[row].portsText);
        if (!ports) {
            return PortAssignmentProblem{row, "Port numbers must be whole numbers from 1 to " +
                                                  std::to_string(kMaxPortNumber) +
                                                  ", separated by commas."};
        }
        for (const int port : *ports) {
            if (!taken.insert(port).second) {
                return PortAssignmentProblem{
                    row, "Port " + std::to_string(port) + " is assigned to more than one device."};
            }
        }
    }
    return std::nullopt;
}

PortMap PortMapFromRows(const std::vector<PortAssignmentRow>& rows) {
    PortMap map;
    for (const PortAssignmentRow& row : rows) {
        if (row.path.empty()) {
            continue;
        }
        for (const int port : ParsePortNumbers(row.portsText).value_or(std::vector<int>{})) {
            map.emplace(port, row.path);
        }
    }
    return map;
}

std::optional<int> DefaultPortNumber(std::string_view devicePath) {
    if (!devicePath.starts_with(kDefaultDevicePrefix)) {
        return std::nullopt;
    }
    const std::string_view digits = devicePath.substr(kDefaultDevicePrefix.size());
    if (digits.empty() || digits.size() > 3 || (digits.size() > 1 && digits.front() == '0') ||
        !std::all_of(digits.begin(), digits.end(), IsDigit)) {
        return std::nullopt;
    }
    const int port = std::stoi(std::string(digits)) + 1;
    return port <= kMaxPortNumber ? std::optional<int>(port) : std::nullopt;
}

}  // namespace tabellan
