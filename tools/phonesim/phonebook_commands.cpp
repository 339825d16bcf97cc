#include "phonesim/phonebook_commands.h"

#include <vector>

#include "phonesim/at_arguments.h"

namespace tabellan::phonesim {

namespace {

constexpr int kOperationNotAllowed = 3;

std::string inQuotes(const std::string& s) {
    return "\"" + s + "\"";
}

std::string entryLine(int index, const PhonebookEntry& entry) {
    return "+CPBR: " + std::to_string(index) + "," + inQuotes(entry.number) + "," +
           std::to_string(entry.type) + "," + inQuotes(entry.text);
}

std::string range(const PhonebookMemory& memory) {
    return "(1-" + std::to_string(memory.capacity) + ")";
}

Reply fromStoreResult(StoreResult result) {
    return result == StoreResult::Ok ? Reply::ok() : Reply::cmeError(static_cast<int>(result));
}

}  // namespace

PhonebookCommands::PhonebookCommands(PhonebookStore& store, std::optional<int> forcedCme)
    : store_(store), forcedCme_(forcedCme) {
    const std::vector<std::string> codes = store_.storageCodes();
    storage_ = store_.memory("SM") != nullptr ? "SM" : codes.front();
}

const PhonebookMemory& PhonebookCommands::memory() const {
    return *store_.memory(storage_);
}

std::optional<Reply> PhonebookCommands::run(std::string_view name, std::string_view rest) {
    if (name != "+CPBS" && name != "+CPBR" && name != "+CPBW") {
        return std::nullopt;
    }
    if (forcedCme_) {
        return Reply::cmeError(*forcedCme_, true);
    }
    if (name == "+CPBS") {
        return selectStorage(rest);
    }
    if (name == "+CPBR") {
        return read(rest);
    }
    return write(rest);
}

Reply PhonebookCommands::selectStorage(std::string_view rest) {
    if (rest == "?") {
        const PhonebookMemory& m = memory();
        return Reply::ok({"+CPBS: " + inQuotes(storage_) + "," + std::to_string(m.entries.size()) +
                          "," + std::to_string(m.capacity)});
    }
    if (rest == "=?") {
        std::string list;
        for (const std::string& code : store_.storageCodes()) {
            list += (list.empty() ? "" : ",") + inQuotes(code);
        }
        return Reply::ok({"+CPBS: (" + list + ")"});
    }
    if (!rest.starts_with('=')) {
        return Reply::error();
    }
    const auto args = parseAtArguments(rest.substr(1));
    if (!args || args->size() != 1 || args->front().value.empty()) {
        return Reply::error();
    }
    if (store_.memory(args->front().value) == nullptr) {
        return Reply::cmeError(kOperationNotAllowed);
    }
    storage_ = args->front().value;
    for (char& c : storage_) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return Reply::ok();
}

Reply PhonebookCommands::read(std::string_view rest) const {
    const PhonebookMemory& m = memory();
    if (rest == "=?") {
        return Reply::ok({"+CPBR: " + range(m) + "," + std::to_string(m.numberLength) + "," +
                          std::to_string(m.textLength)});
    }
    if (!rest.starts_with('=')) {
        return Reply::error();
    }
    const auto args = parseAtArguments(rest.substr(1));
    if (!args || args->empty() || args->size() > 2) {
        return Reply::error();
    }
    const std::optional<int> first = parseAtNumber(args->front(), 1'000'000);
    const std::optional<int> last =
        args->size() == 2 ? parseAtNumber(args->back(), 1'000'000) : first;
    if (!first || !last) {
        return Reply::error();
    }
    if (*first < 1 || *last > m.capacity || *first > *last) {
        return Reply::cmeError(static_cast<int>(StoreResult::InvalidIndex));
    }
    std::vector<std::string> lines;
    for (auto it = m.entries.lower_bound(*first); it != m.entries.end() && it->first <= *last;
         ++it) {
        lines.push_back(entryLine(it->first, it->second));
    }
    return Reply::ok(std::move(lines));
}

Reply PhonebookCommands::write(std::string_view rest) {
    const PhonebookMemory& m = memory();
    if (rest == "=?") {
        return Reply::ok({"+CPBW: " + range(m) + "," + std::to_string(m.numberLength) +
                          ",(129,145)," + std::to_string(m.textLength)});
    }
    if (!rest.starts_with('=')) {
        return Reply::error();
    }
    const auto args = parseAtArguments(rest.substr(1));
    if (!args || args->size() > 4) {
        return Reply::error();
    }
    const AtArgument& indexField = args->front();
    std::optional<int> location;
    if (!indexField.empty()) {
        location = parseAtNumber(indexField, 1'000'000);
        if (!location) {
            return Reply::error();
        }
    }
    PhonebookEntry entry;
    entry.number = args->size() > 1 ? (*args)[1].value : std::string();
    entry.text = args->size() > 3 ? (*args)[3].value : std::string();
    // A location with neither number nor name is a delete, in every form that names one.
    if (entry.number.empty() && entry.text.empty()) {
        if (!location) {
            return Reply::error();
        }
        return fromStoreResult(store_.erase(storage_, *location));
    }
    entry.type = entry.number.starts_with('+') ? 145 : 129;
    if (args->size() > 2 && !(*args)[2].empty()) {
        const std::optional<int> type = parseAtNumber((*args)[2], 255);
        if (!type) {
            return Reply::error();
        }
        entry.type = *type;
    }
    return fromStoreResult(store_.write(storage_, location, entry));
}

}  // namespace tabellan::phonesim
