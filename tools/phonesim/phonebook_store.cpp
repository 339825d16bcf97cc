#include "phonesim/phonebook_store.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <system_error>

#include "phonesim/json.h"

namespace tabellan::phonesim {

namespace {

constexpr int kMaxCapacity = 10000;

std::string upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return s;
}

// The file holds UTF-8; the phone line carries one byte per character (ISO 8859-1), so
// every byte the program sends survives a round trip through the file.
std::string latin1ToUtf8(const std::string& in) {
    std::string out;
    for (const char c : in) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

std::optional<std::string> utf8ToLatin1(const std::string& in) {
    std::string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const auto b = static_cast<unsigned char>(in[i]);
        if (b < 0x80) {
            out += in[i];
            continue;
        }
        if ((b & 0xE0) != 0xC0 || i + 1 >= in.size()) {
            return std::nullopt;
        }
        const auto next = static_cast<unsigned char>(in[i + 1]);
        const unsigned code = ((b & 0x1Fu) << 6) | (next & 0x3Fu);
        if ((next & 0xC0) != 0x80 || code < 0x80 || code > 0xFF) {
            return std::nullopt;
        }
        out += static_cast<char>(code);
        ++i;
    }
    return out;
}

bool isDialString(const std::string& number) {
    return std::all_of(number.begin(), number.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == '*' || c == '#' || c == '+' || c == 'p' || c == 'P' ||
               c == 'w' || c == 'W';
    });
}

class MemoryReader {
  public:
    MemoryReader(std::string code, const json::Value& value)
        : code_(std::move(code)), value_(value) {}

    PhonebookMemory read() const {
        if (!value_.isObject()) {
            fail("must be an object");
        }
        PhonebookMemory memory;
        memory.capacity = integer(value_, "capacity", 1, kMaxCapacity, memory.capacity);
        memory.numberLength = integer(value_, "number_length", 1, 255, memory.numberLength);
        memory.textLength = integer(value_, "text_length", 1, 255, memory.textLength);
        const json::Value* entries = value_.find("entries");
        if (entries == nullptr) {
            return memory;
        }
        if (!entries->isArray()) {
            fail("\"entries\" must be an array");
        }
        for (const json::Value& item : entries->asArray()) {
            readEntry(item, memory);
        }
        return memory;
    }

  private:
    [[noreturn]] void fail(const std::string& what) const {
        throw PhonebookError("storage \"" + code_ + "\": " + what);
    }

    int integer(const json::Value& object, const char* key, int low, int high, int fallback) const {
        const json::Value* v = object.find(key);
        if (v == nullptr) {
            return fallback;
        }
        if (!v->isNumber() || v->asNumber() != std::floor(v->asNumber()) || v->asNumber() < low ||
            v->asNumber() > high) {
            fail(std::string("\"") + key + "\" must be a whole number from " + std::to_string(low) +
                 " to " + std::to_string(high));
        }
        return static_cast<int>(v->asNumber());
    }

    std::string text(const json::Value& object, const char* key) const {
        const json::Value* v = object.find(key);
        if (v == nullptr) {
            return {};
        }
        if (!v->isString()) {
            fail(std::string("\"") + key + "\" of an entry must be a string");
        }
        std::optional<std::string> bytes = utf8ToLatin1(v->asString());
        if (!bytes) {
            fail(std::string("\"") + key + "\" of an entry holds characters outside ISO 8859-1");
        }
        return *bytes;
    }

    void readEntry(const json::Value& item, PhonebookMemory& memory) const {
        if (!item.isObject()) {
            fail("every entry must be an object");
        }
        if (item.find("index") == nullptr) {
            fail("an entry has no \"index\"");
        }
        const int index = integer(item, "index", 1, memory.capacity, 0);
        if (memory.entries.count(index) != 0) {
            fail("index " + std::to_string(index) + " appears twice");
        }
        PhonebookEntry entry;
        entry.number = text(item, "number");
        entry.text = text(item, "text");
        const int defaultType = entry.number.starts_with('+') ? 145 : 129;
        entry.type = integer(item, "type", 0, 255, defaultType);
        memory.entries.emplace(index, std::move(entry));
    }

    std::string code_;
    const json::Value& value_;
};

}  // namespace

PhonebookStore PhonebookStore::builtIn() {
    PhonebookStore store;
    PhonebookMemory sim;
    sim.capacity = 250;
    sim.entries[1] = {"+493012345678", 145, "Alice"};
    sim.entries[2] = {"0301234567", 129, "Bob Office"};
    sim.entries[5] = {"+441632960123", 145, "Carol"};
    store.memories_["SM"] = sim;
    PhonebookMemory phone;
    phone.capacity = 500;
    phone.textLength = 24;
    phone.entries[1] = {"+12025550143", 145, "Dave Mobile"};
    store.memories_["ME"] = phone;
    return store;
}

PhonebookStore PhonebookStore::fromJson(const std::string& text) {
    json::Value root;
    try {
        root = json::parse(text);
    } catch (const json::ParseError& e) {
        throw PhonebookError(std::string("malformed JSON: ") + e.what());
    }
    if (!root.isObject()) {
        throw PhonebookError("the top level must be an object of storages, like {\"SM\": {...}}");
    }
    PhonebookStore store;
    for (const auto& [name, value] : root.asObject()) {
        const std::string code = upper(name);
        if (code.empty() || store.memories_.count(code) != 0) {
            throw PhonebookError("storage code \"" + name + "\" is empty or given twice");
        }
        store.memories_[code] = MemoryReader(code, value).read();
    }
    if (store.memories_.empty()) {
        throw PhonebookError("no storage defined");
    }
    return store;
}

PhonebookStore PhonebookStore::loadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw PhonebookError(file.string() + ": cannot be read");
    }
    std::ostringstream content;
    content << in.rdbuf();
    try {
        PhonebookStore store = fromJson(content.str());
        store.file_ = file;
        return store;
    } catch (const PhonebookError& e) {
        throw PhonebookError(file.string() + ": " + e.what());
    }
}

std::string PhonebookStore::toJson() const {
    json::Object root;
    for (const auto& [code, memory] : memories_) {
        json::Array entries;
        for (const auto& [index, entry] : memory.entries) {
            entries.emplace_back(json::Object{{"index", index},
                                              {"number", latin1ToUtf8(entry.number)},
                                              {"type", entry.type},
                                              {"text", latin1ToUtf8(entry.text)}});
        }
        root.emplace_back(code, json::Object{{"capacity", memory.capacity},
                                             {"number_length", memory.numberLength},
                                             {"text_length", memory.textLength},
                                             {"entries", std::move(entries)}});
    }
    return json::write(json::Value(std::move(root)));
}

std::vector<std::string> PhonebookStore::storageCodes() const {
    std::vector<std::string> codes;
    for (const auto& entry : memories_) {
        codes.push_back(entry.first);
    }
    return codes;
}

const PhonebookMemory* PhonebookStore::memory(const std::string& code) const {
    const auto it = memories_.find(upper(code));
    return it == memories_.end() ? nullptr : &it->second;
}

StoreResult PhonebookStore::write(const std::string& code, std::optional<int> location,
                                  const PhonebookEntry& entry) {
    const auto it = memories_.find(upper(code));
    if (it == memories_.end()) {
        return StoreResult::MemoryFailure;
    }
    PhonebookMemory& memory = it->second;
    if (static_cast<int>(entry.number.size()) > memory.numberLength) {
        return StoreResult::NumberTooLong;
    }
    if (!isDialString(entry.number)) {
        return StoreResult::InvalidDialChars;
    }
    if (static_cast<int>(entry.text.size()) > memory.textLength) {
        return StoreResult::TextTooLong;
    }
    int index = 0;
    if (location) {
        if (*location < 1 || *location > memory.capacity) {
            return StoreResult::InvalidIndex;
        }
        index = *location;
    } else {
        for (int i = 1; i <= memory.capacity && index == 0; ++i) {
            if (memory.entries.count(i) == 0) {
                index = i;
            }
        }
        if (index == 0) {
            return StoreResult::MemoryFull;
        }
    }
    const PhonebookMemory before = memory;
    memory.entries[index] = entry;
    const StoreResult saved = persist();
    if (saved != StoreResult::Ok) {
        memory = before;
    }
    return saved;
}

StoreResult PhonebookStore::erase(const std::string& code, int location) {
    const auto it = memories_.find(upper(code));
    if (it == memories_.end()) {
        return StoreResult::MemoryFailure;
    }
    PhonebookMemory& memory = it->second;
    if (location < 1 || location > memory.capacity) {
        return StoreResult::InvalidIndex;
    }
    const auto entry = memory.entries.find(location);
    if (entry == memory.entries.end()) {
        return StoreResult::Ok;
    }
    const PhonebookEntry removed = entry->second;
    memory.entries.erase(entry);
    const StoreResult saved = persist();
    if (saved != StoreResult::Ok) {
        memory.entries[location] = removed;
    }
    return saved;
}

StoreResult PhonebookStore::persist() {
    if (!file_) {
        return StoreResult::Ok;
    }
    // Temp file and rename: a reader of the file never sees half of it.
    std::filesystem::path temp = *file_;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out.is_open()) {
            return StoreResult::MemoryFailure;
        }
        out << toJson();
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return StoreResult::MemoryFailure;
        }
    }
    std::error_code error;
    std::filesystem::rename(temp, *file_, error);
    if (error) {
        std::filesystem::remove(temp, error);
        return StoreResult::MemoryFailure;
    }
    return StoreResult::Ok;
}

}  // namespace tabellan::phonesim
