#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "phonesim/phonebook_store.h"
#include "support/temp_folder.h"

namespace tabellan::phonesim {
namespace {

namespace fs = std::filesystem;

const char* const kTwoMemories = R"({
  "sm": {"capacity": 3, "entries": [
     {"index": 2, "number": "+4930123", "type": 145, "text": "J\u00fcrgen"},
     {"index": 1, "number": "0301", "text": "Office"}]},
  "ME": {"capacity": 10, "text_length": 5}
})";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(PhonesimPhonebook, ReadsMemoriesWithDefaultsAndIso8859Text) {
    const PhonebookStore store = PhonebookStore::fromJson(kTwoMemories);
    EXPECT_EQ(store.storageCodes(), (std::vector<std::string>{"ME", "SM"}));
    const PhonebookMemory* sim = store.memory("Sm");
    ASSERT_NE(sim, nullptr);
    EXPECT_EQ(sim->capacity, 3);
    EXPECT_EQ(sim->numberLength, 40);
    ASSERT_EQ(sim->entries.size(), 2u);
    EXPECT_EQ(sim->entries.at(2), (PhonebookEntry{"+4930123", 145, "J\xfcrgen"}));
    EXPECT_EQ(sim->entries.at(1).type, 129) << "national number without a type";
    EXPECT_EQ(store.memory("ME")->textLength, 5);
    EXPECT_EQ(store.memory("XX"), nullptr);
}

TEST(PhonesimPhonebook, JsonRoundTripKeepsEveryByte) {
    PhonebookStore store = PhonebookStore::fromJson(kTwoMemories);
    std::string allBytes;
    for (int c = 0x20; c < 0x100; c += 16) {
        allBytes += static_cast<char>(c);
    }
    ASSERT_EQ(store.write("ME", 4, {"12", 129, allBytes.substr(0, 5)}), StoreResult::Ok);
    ASSERT_EQ(store.write("ME", 5, {"13", 129, allBytes.substr(5, 5)}), StoreResult::Ok);
    ASSERT_EQ(store.write("ME", 6, {"14", 129, allBytes.substr(10)}), StoreResult::Ok);
    const PhonebookStore again = PhonebookStore::fromJson(store.toJson());
    EXPECT_EQ(*again.memory("SM"), *store.memory("SM"));
    EXPECT_EQ(*again.memory("ME"), *store.memory("ME"));
}

TEST(PhonesimPhonebook, RejectsBadFilesWithClearMessages) {
    const struct {
        const char* json;
        const char* message;
    } cases[] = {
        {"{\"SM\": {\"capacity\": 3,, }}", "malformed JSON: line 1, column"},
        {"[]", "top level must be an object"},
        {"{}", "no storage"},
        {"{\"SM\": 5}", "storage \"SM\": must be an object"},
        {"{\"SM\": {\"capacity\": 0}}", "\"capacity\" must be a whole number"},
        {"{\"SM\": {\"capacity\": 2.5}}", "\"capacity\" must be a whole number"},
        {"{\"SM\": {\"entries\": {}}}", "\"entries\" must be an array"},
        {"{\"SM\": {\"entries\": [{\"number\": \"1\"}]}}", "no \"index\""},
        {"{\"SM\": {\"capacity\": 2, \"entries\": [{\"index\": 3}]}}", "\"index\" must be"},
        {"{\"SM\": {\"entries\": [{\"index\": 1}, {\"index\": 1}]}}", "appears twice"},
        {"{\"SM\": {\"entries\": [{\"index\": 1, \"text\": 7}]}}", "must be a string"},
        {"{\"SM\": {\"entries\": [{\"index\": 1, \"text\": \"\\u20ac\"}]}}", "ISO 8859-1"},
        {"{\"SM\": {}, \"sm\": {}}", "given twice"},
    };
    for (const auto& c : cases) {
        try {
            PhonebookStore::fromJson(c.json);
            ADD_FAILURE() << "accepted " << c.json;
        } catch (const PhonebookError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.json << " gave: " << e.what();
        }
    }
}

TEST(PhonesimPhonebook, WriteChecksLocationAndLimits) {
    PhonebookStore store = PhonebookStore::fromJson(kTwoMemories);
    EXPECT_EQ(store.write("SM", 0, {"1", 129, "x"}), StoreResult::InvalidIndex);
    EXPECT_EQ(store.write("SM", 4, {"1", 129, "x"}), StoreResult::InvalidIndex);
    EXPECT_EQ(store.write("ME", 1, {"1", 129, "toolong"}), StoreResult::TextTooLong);
    EXPECT_EQ(store.write("ME", 1, {std::string(41, '1'), 129, ""}), StoreResult::NumberTooLong);
    EXPECT_EQ(store.write("ME", 1, {"030 123", 129, ""}), StoreResult::InvalidDialChars);
    EXPECT_EQ(store.write("ME", 1, {"+*#0123456789pw", 145, "ok"}), StoreResult::Ok);
    EXPECT_EQ(store.memory("ME")->entries.size(), 1u);
}

TEST(PhonesimPhonebook, FirstFreeLocationUntilFull) {
    PhonebookStore store = PhonebookStore::fromJson(kTwoMemories);
    ASSERT_EQ(store.write("SM", std::nullopt, {"3", 129, "Third"}), StoreResult::Ok);
    EXPECT_EQ(store.memory("SM")->entries.at(3).text, "Third");
    EXPECT_EQ(store.write("SM", std::nullopt, {"4", 129, "Fourth"}), StoreResult::MemoryFull);
    ASSERT_EQ(store.erase("SM", 1), StoreResult::Ok);
    ASSERT_EQ(store.write("SM", std::nullopt, {"5", 129, "Fifth"}), StoreResult::Ok);
    EXPECT_EQ(store.memory("SM")->entries.at(1).text, "Fifth");
}

TEST(PhonesimPhonebook, EraseOfEmptyLocationIsFineOutsideTheRangeIsNot) {
    PhonebookStore store = PhonebookStore::fromJson(kTwoMemories);
    EXPECT_EQ(store.erase("SM", 3), StoreResult::Ok);
    EXPECT_EQ(store.erase("SM", 4), StoreResult::InvalidIndex);
    EXPECT_EQ(store.erase("SM", 2), StoreResult::Ok);
    EXPECT_EQ(store.memory("SM")->entries.count(2), 0u);
}

TEST(PhonesimPhonebook, FileIsRewrittenAfterEachChange) {
    const test::TempFolder dir;
    const fs::path file = dir.Path() / "book.json";
    std::ofstream(file) << kTwoMemories;
    PhonebookStore store = PhonebookStore::loadFile(file);
    ASSERT_EQ(store.write("SM", 3, {"+1555", 145, "New"}), StoreResult::Ok);
    EXPECT_EQ(PhonebookStore::loadFile(file).memory("SM")->entries.at(3).text, "New");
    ASSERT_EQ(store.erase("SM", 2), StoreResult::Ok);
    const PhonebookStore reread = PhonebookStore::loadFile(file);
    EXPECT_EQ(*reread.memory("SM"), *store.memory("SM"));
    EXPECT_NE(readFile(file).find("\"Office\""), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.Path() / "book.json.tmp"));
}

TEST(PhonesimPhonebook, FailedSaveLeavesMemoryAsItWas) {
    const test::TempFolder dir;
    const fs::path file = dir.Path() / "book.json";
    std::ofstream(file) << kTwoMemories;
    PhonebookStore store = PhonebookStore::loadFile(file);
    // A directory where the temp file should go makes the save fail.
    fs::create_directory(dir.Path() / "book.json.tmp");
    EXPECT_EQ(store.write("SM", 3, {"1", 129, "Lost"}), StoreResult::MemoryFailure);
    EXPECT_EQ(store.memory("SM")->entries.count(3), 0u);
    EXPECT_EQ(store.erase("SM", 1), StoreResult::MemoryFailure);
    EXPECT_EQ(store.memory("SM")->entries.count(1), 1u);
}

TEST(PhonesimPhonebook, MissingFileIsReported) {
    try {
        PhonebookStore::loadFile("/nonexistent/book.json");
        FAIL() << "no exception";
    } catch (const PhonebookError& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/book.json"), std::string::npos);
    }
}

}  // namespace
}  // namespace tabellan::phonesim
