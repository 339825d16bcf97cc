// The simulated phone's phonebook memories, optionally backed by a JSON file.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tabellan::phonesim {

struct PhonebookEntry {
    std::string number;  // 8-bit text as the phone sends it
    int type = 129;
    std::string text;  // 8-bit text (ISO 8859-1 on the wire, UTF-8 in the file)

    bool operator==(const PhonebookEntry&) const = default;
};

struct PhonebookMemory {
    int capacity = 250;
    int numberLength = 40;
    int textLength = 18;
    std::map<int, PhonebookEntry> entries;  // location -> entry, locations 1..capacity

    bool operator==(const PhonebookMemory&) const = default;
};

// Outcome of a change; the non-zero values are the +CME ERROR codes a phone reports.
enum class StoreResult {
    Ok = 0,
    MemoryFull = 20,
    InvalidIndex = 21,
    MemoryFailure = 23,
    TextTooLong = 24,
    NumberTooLong = 26,
    InvalidDialChars = 27,
};

class PhonebookError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class PhonebookStore {
  public:
    // A few memories with sample entries, kept only in memory.
    static PhonebookStore builtIn();
    // Reads the file; every later successful change is written back to it.
    // Throws PhonebookError with a message naming the file and the fault.
    static PhonebookStore loadFile(const std::filesystem::path& file);
    // Parses the JSON text of a phonebook file; throws PhonebookError.
    static PhonebookStore fromJson(const std::string& text);

    std::string toJson() const;

    std::vector<std::string> storageCodes() const;
    // The memory with the code (upper case), or nullptr.
    const PhonebookMemory* memory(const std::string& code) const;

    // Writes location (nullopt: the first free location) of the memory.
    StoreResult write(const std::string& code, std::optional<int> location,
                      const PhonebookEntry& entry);
    StoreResult erase(const std::string& code, int location);

    const std::optional<std::filesystem::path>& file() const { return file_; }

  private:
    StoreResult persist();

    std::map<std::string, PhonebookMemory> memories_;
    std::optional<std::filesystem::path> file_;
};

}  // namespace tabellan::phonesim
