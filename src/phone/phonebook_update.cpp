#include "phone/phonebook_update.h"

#include <algorithm>

#include "phone/phonebook_reading.h"

namespace tabellan {
namespace {

constexpr std::size_t kNamedLinesLimit = 10;

template <typename T>
void EraseAt(std::vector<T>& list, std::size_t pos) {
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(pos));
}

bool WithinRange(std::string_view key, const std::optional<LocationRange>& range) {
    if (!range || key.empty() || key.size() > 18 ||
        !std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    long long location = 0;
    for (const char c : key) {
        location = location * 10 + (c - '0');
    }
    return location >= range->first && location <= range->last;
}

bool Sendable(std::string_view line, const std::optional<LocationRange>& range) {
    const std::size_t comma = line.find(',');
    return comma == 0 ||
           (comma != std::string_view::npos && WithinRange(line.substr(0, comma), range));
}

}  // namespace

std::string LocationKey(std::string_view line) {
    const std::size_t comma = line.find(',');
    return comma == std::string_view::npos ? std::string() : std::string(line.substr(0, comma));
}

std::vector<std::string> CardEntryLines(const std::vector<std::string>& cardLines) {
    if (cardLines.size() <= 2) {
        return {};
    }
    return {cardLines.begin() + 2, cardLines.end()};
}

UpdatePlan CompareForUpdate(const std::vector<std::string>& phoneEntries,
                            const std::vector<std::string>& cardEntryLines) {
    UpdatePlan plan{cardEntryLines, phoneEntries};
    // Only the entry being compared leaves the delete list, so position i stays its own.
    for (std::size_t i = phoneEntries.size(); i-- > 0;) {
        const std::string& entry = phoneEntries[i];
        if (entry.empty()) {
            EraseAt(plan.deleteList, i);
            continue;
        }
        const std::string key = LocationKey(entry);
        for (std::size_t j = plan.addList.size(); j-- > 0;) {
            const std::string& line = plan.addList[j];
            if (line.empty()) {
                EraseAt(plan.addList, j);
                continue;
            }
            if (line == entry) {
                EraseAt(plan.deleteList, i);
                EraseAt(plan.addList, j);
                break;
            }
            if (LocationKey(line) == key) {
                EraseAt(plan.deleteList, i);
                break;
            }
        }
    }
    return plan;
}

std::optional<std::string> CheckUpdatePlan(const UpdatePlan& plan, std::string_view range) {
    const std::optional<LocationRange> locations = ParseLocationRange(range);
    std::vector<std::string> refused;
    for (const std::string& line : plan.addList) {
        if (!line.empty() && !Sendable(line, locations)) {
            refused.push_back(line);
        }
    }
    if (refused.empty()) {
        return std::nullopt;
    }
    std::string message = refused.size() == 1 ? "This line cannot be written to the phone:\r\n"
                                              : "These lines cannot be written to the phone:\r\n";
    for (std::size_t i = 0; i < refused.size() && i < kNamedLinesLimit; ++i) {
        message += "\r\n" + refused[i];
    }
    if (refused.size() > kNamedLinesLimit) {
        message += "\r\n(and " + std::to_string(refused.size() - kNamedLinesLimit) + " more)";
    }
    message += "\r\n\r\nA line to be written must begin with ";
    if (locations) {
        message += "a location from " + std::to_string(locations->first) + " to " +
                   std::to_string(locations->last);
    } else {
        message += "a location inside the phone's range (the phone did not tell it)";
    }
    message +=
        " followed by a comma, or with a comma alone (the phone then chooses the location). "
        "Nothing was sent to the phone.";
    return message;
}

std::vector<PhoneCommand> UpdateCommands(const UpdatePlan& plan) {
    std::vector<PhoneCommand> commands;
    for (const std::string& line : plan.deleteList) {
        if (!line.empty()) {
            commands.push_back({"AT+cpbw=" + LocationKey(line), "Deleting " + line});
        }
    }
    for (const std::string& line : plan.addList) {
        if (!line.empty()) {
            commands.push_back({"AT+cpbw=" + line, "Inserting " + line});
        }
    }
    return commands;
}

}  // namespace tabellan
