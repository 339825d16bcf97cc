#include "phone/serial_devices.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <utility>

namespace tabellan {
namespace {

namespace fs = std::filesystem;

// Parent folders looked at above a tty's sysfs node for the USB device it belongs to.
constexpr int kSysfsLevels = 8;

constexpr std::string_view kPlainPrefixes[] = {"ttyS", "ttyUSB", "ttyACM"};

// The first line of a small sysfs file, without its line end; empty when unreadable.
std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
        line.pop_back();
    }
    return line;
}

// "ttyUSB12" -> ("ttyUSB", 12) for the names listed as plain devices.
std::optional<std::pair<std::string_view, int>> PlainName(std::string_view name) {
    for (const std::string_view prefix : kPlainPrefixes) {
        if (!name.starts_with(prefix) || name.size() == prefix.size() ||
            name.size() > prefix.size() + 4) {
            continue;
        }
        const std::string_view digits = name.substr(prefix.size());
        if (std::all_of(digits.begin(), digits.end(),
                        [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
            return std::pair(prefix, std::stoi(std::string(digits)));
        }
    }
    return std::nullopt;
}

// A machine path inside the tree under root.
fs::path InTree(const fs::path& root, const fs::path& machinePath) {
    return root / machinePath.relative_path();
}

// Maker and product of the USB device above the tty's sysfs node.
void ReadUsbNames(const fs::path& root, const std::string& kernelName, SerialDevice& device) {
    std::error_code error;
    fs::path node = fs::canonical(InTree(root, "/sys/class/tty") / kernelName / "device", error);
    const fs::path sysRoot = fs::weakly_canonical(InTree(root, "/sys"), error);
    for (int level = 0; !error && level < kSysfsLevels; ++level) {
        const auto [stop, rest] =
            std::mismatch(sysRoot.begin(), sysRoot.end(), node.begin(), node.end());
        if (stop != sysRoot.end() || node == sysRoot) {
            return;  // left the sysfs tree
        }
        if (fs::exists(node / "idVendor", error)) {
            device.maker = ReadAttribute(node / "manufacturer");
            device.product = ReadAttribute(node / "product");
            return;
        }
        node = node.parent_path();
    }
}

// A ttyS device that sysfs knows as "type 0" has no UART behind it; the kernel creates
// such nodes whether or not the machine has the ports.
bool UartPresent(const fs::path& root, const std::string& kernelName) {
    const fs::path type = InTree(root, "/sys/class/tty") / kernelName / "type";
    std::error_code error;
    if (!fs::exists(type, error)) {
        return true;  // nothing known: offer it
    }
    return ReadAttribute(type) != "0";
}

std::vector<SerialDevice> ByIdDevices(const fs::path& root) {
    std::vector<SerialDevice> found;
    std::error_code error;
    const fs::path folder = InTree(root, "/dev/serial/by-id");
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const fs::path target = fs::read_symlink(entry.path(), error);
        if (error) {
            error.clear();
            continue;
        }
        const fs::path resolved =
            (target.is_absolute() ? InTree(root, target) : folder / target).lexically_normal();
        if (!fs::exists(resolved, error)) {
            error.clear();
            continue;
        }
        SerialDevice device;
        device.path = "/dev/serial/by-id/" + entry.path().filename().string();
        // As seen from the machine, also for a device in a folder of /dev (such as /dev/pts/3).
        device.devicePath = "/" + resolved.lexically_relative(root.lexically_normal()).string();
        ReadUsbNames(root, resolved.filename().string(), device);
        found.push_back(std::move(device));
    }
    std::sort(found.begin(), found.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return a.path < b.path; });
    return found;
}

std::vector<SerialDevice> PlainDevices(const fs::path& root, const std::set<std::string>& linked) {
    std::vector<std::pair<std::pair<std::string_view, int>, SerialDevice>> found;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(InTree(root, "/dev"), error)) {
        const std::string name = entry.path().filename().string();
        const auto plain = PlainName(name);
        if (!plain || linked.contains("/dev/" + name)) {
            continue;
        }
        if (plain->first == "ttyS" && !UartPresent(root, name)) {
            continue;
        }
        SerialDevice device;
        device.path = device.devicePath = "/dev/" + name;
        ReadUsbNames(root, name, device);
        found.emplace_back(*plain, std::move(device));
    }
    // ttyACM, ttyS, ttyUSB, each in the order of its number.
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<SerialDevice> devices;
    for (auto& [key, device] : found) {
        devices.push_back(std::move(device));
    }
    return devices;
}

}  // namespace

std::vector<SerialDevice> ListSerialDevices(const std::string& root) {
    const fs::path base = root.empty() ? fs::path("/") : fs::path(root);
    std::vector<SerialDevice> devices = ByIdDevices(base);
    std::set<std::string> linked;
    for (const SerialDevice& device : devices) {
        linked.insert(device.devicePath);
    }
    std::vector<SerialDevice> plain = PlainDevices(base, linked);
    devices.insert(devices.end(), std::make_move_iterator(plain.begin()),
                   std::make_move_iterator(plain.end()));
    return devices;
}

std::string DescribeSerialDevice(const SerialDevice& device) {
    std::vector<std::string> details;
    for (const std::string* part : {&device.maker, &device.product}) {
        if (!part->empty()) {
            details.push_back(*part);
        }
    }
    if (device.devicePath != device.path) {
        details.push_back(device.devicePath);
    }
    std::string text = device.path;
    for (std::size_t i = 0; i < details.size(); ++i) {
        text += (i == 0 ? " (" : ", ") + details[i];
    }
    return details.empty() ? text : text + ")";
}

}  // namespace tabellan
