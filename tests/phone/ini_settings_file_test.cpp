// The user's settings file in the format QSettings writes and reads.
#include "phone/ini_settings_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "cardfile/errors.h"
#include "phone/unique_fd.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Values = std::map<std::string, std::string>;

const std::string kWritten = std::string(TABELLAN_TEST_DATA) + "/settings/qsettings-written.ini";
const std::string kHandWritten = std::string(TABELLAN_TEST_DATA) + "/settings/hand-written.ini";

// The values the program that wrote qsettings-written.ini gave QSettings.
const Values kWrittenValues = {
    {"AutoDial", "90\t00\t1\t212\t0\t1\t\t0"},
    {"AutoDialModem", "2\t1"},
    {"CommDevice1", "/dev/ttyACM0"},
    {"CommDevice2", "/dev/serial/by-id/usb-Acme_Phone,Model=7;rev \"2\"-if00"},
    {"CommDevice3", " /dev/ttyUSB0 "},
    {"CommDevice4", "C:\\dev\\tab\there"},
    {"CommDevice5", "@home/ttyS0"},
    {"CommDevice6", "/dev/serial/by-id/usb-Ger\xc3\xa4t_\xe2\x82\xac-if00"},
    {"CommDevice7", ""},
    {"CommDevice8",
     "a\x01"
     "b\x7f"
     "c"},
    {"CommPort", "3"},
    {"File1", "/home/u/cards,old.csv"},
    {"SS1", "i - Smith; John"},
};

using test::ReadBytes;

class IniFolder : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    test::TempFolder folder_{"tabellan-ini"};
    const fs::path dir_ = folder_.Path();
};

TEST(IniSettingsRead, ValuesAsQSettingsWroteThem) {
    EXPECT_EQ(ReadIniGeneralValues(kWritten), kWrittenValues);
}

TEST(IniSettingsRead, ValuesAsQSettingsReadsThem) {
    // Comments, duplicates (the last counts), a list (no string), typed values, escapes,
    // quoted line breaks, continued lines, CR LF, and the root group in two sections.
    const Values expected = {
        {"CommPort", "4"},
        {"CommDevice1", "/dev/second"},
        {"CommDevice2", "/dev/a;b"},
        {"CommDevice3", ""},
        {"CommDevice4", ""},
        {"CommDevice5", "/dev/ttyS4"},
        {"CommDevice6", "A\xd0\xac\xc9\xa3"},
        {"CommDevice7", "/dev/multi\nline"},
        {"CommDevice8", "/dev/continued"},
        {"CommDevice9", "/dev/xtail  "},
        {"CommDevice11", "/dev/late"},
    };
    EXPECT_EQ(ReadIniGeneralValues(kHandWritten), expected);
    EXPECT_TRUE(ReadIniGeneralValues("/nonexistent/Quirnel.ini").empty());
}

TEST(IniSettingsRead, TruncatedAndGarbledFilesReadWithoutHarm) {
    const std::string sample = ReadBytes(kHandWritten) + ReadBytes(kWritten);
    for (std::size_t size = 0; size <= sample.size(); ++size) {
        const std::string cut = sample.substr(0, size);
        for (const auto& [key, value] : IniGeneralValues(cut)) {
            EXPECT_LE(value.size(), cut.size() * 4) << key;
        }
        ApplyIniChanges(cut, {{"CommDevice1", "/dev/x"}, {"CommPort", std::nullopt}});
    }
    std::mt19937 random(12);
    const std::string alphabet = "=\"\\;,[]@()x0\r\n \t%";
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 120, '\0');
        for (char& c : text) {
            c = round % 2 == 0 ? static_cast<char>(random()) : alphabet[random() % alphabet.size()];
        }
        IniGeneralValues(text);
        IniGeneralValues(ApplyIniChanges(text, {{"CommDevice1", "/dev/x"}}));
    }
    // Escapes that run to the end or past every code point.
    EXPECT_EQ(IniGeneralValues("k=a\\"), (Values{{"k", "a"}}));
    EXPECT_EQ(IniGeneralValues("k=\\x"), (Values{{"k", ""}}));
    EXPECT_EQ(IniGeneralValues("k=\\x41"), (Values{{"k", "A"}}));
    EXPECT_EQ(IniGeneralValues("k=\\7"), (Values{{"k", "\x07"}}));
    EXPECT_EQ(IniGeneralValues("k=\\xffffffffffffffffff"), (Values{{"k", "\xef\xbf\xbd"}}));
    EXPECT_EQ(IniGeneralValues("k=\"open quote\nj=1"), (Values{{"k", "open quote\nj=1"}}));
    EXPECT_EQ(IniGeneralValues("[General\nk=1\n[Other\nj=2"), (Values{{"k", "1"}}));
}

TEST(IniSettingsEscape, EachValueComesOutAsQSettingsWritesIt) {
    const std::string file = ReadBytes(kWritten);
    for (const auto& [key, value] : kWrittenValues) {
        const std::string line = "\n" + key + "=" + EscapeIniValue(value) + "\n";
        EXPECT_NE(file.find(line), std::string::npos) << key << ": " << line;
        EXPECT_EQ(UnescapeIniValue(EscapeIniValue(value)), value) << key;
    }
    EXPECT_EQ(EscapeIniValue("a\x01"
                             "2"),
              "a\\x1\\x32")
        << "a digit after a numeric escape is escaped too";
    EXPECT_EQ(EscapeIniValue("x\x1f"), "x\\x1f");
    EXPECT_EQ(EscapeIniValue(std::string("a\0b", 3)), "@String(a\\0\\x62)");
}

TEST(IniSettingsChanges, ReplaceInsertAndRemoveKeepEverythingElse) {
    const std::string original = ReadBytes(kWritten);
    const std::string changed = ApplyIniChanges(original, {{"CommDevice1", "/dev/ttyUSB3"}});
    std::string expected = original;
    expected.replace(expected.find("CommDevice1=/dev/ttyACM0"), 24, "CommDevice1=/dev/ttyUSB3");
    EXPECT_EQ(changed, expected);

    // A new value joins the end of [General], before the next section.
    const std::string added = ApplyIniChanges(original, {{"CommDevice9", "/dev/a b,c"}});
    EXPECT_NE(added.find("SS1=\"i - Smith; John\"\nCommDevice9=\"/dev/a b,c\"\n\n[%General]"),
              std::string::npos)
        << added;
    EXPECT_EQ(ApplyIniChanges(added, {{"CommDevice9", std::nullopt}}), original);

    // Only root values are touched: the key of the same name in [Other] stays.
    const std::string removed = ApplyIniChanges(original, {{"CommDevice1", std::nullopt}});
    EXPECT_EQ(removed.find("\nCommDevice1=/dev/ttyACM0"), std::string::npos);
    EXPECT_NE(removed.find("[Other]\nCommDevice1=/dev/wrong"), std::string::npos);
    EXPECT_EQ(ApplyIniChanges(original, {{"NoSuchKey", std::nullopt}}), original);
}

TEST(IniSettingsChanges, FilesWithoutAGeneralSectionDuplicatesAndCrLf) {
    EXPECT_EQ(ApplyIniChanges("", {{"CommDevice1", "/dev/ttyACM0"}}),
              "[General]\nCommDevice1=/dev/ttyACM0\n");
    EXPECT_EQ(ApplyIniChanges("[Other]\nx=1\n", {{"CommDevice1", "/dev/x"}}),
              "[General]\nCommDevice1=/dev/x\n\n[Other]\nx=1\n");
    // Keys before any section are root values; a new one joins them.
    EXPECT_EQ(ApplyIniChanges("a=1\n[Other]\nb=2\n", {{"c", "3"}}), "a=1\nc=3\n[Other]\nb=2\n");
    // Of a key given twice the last takes the value and the first goes.
    EXPECT_EQ(ApplyIniChanges("[General]\nk=1\nj=0\nk=2\n", {{"k", "3"}}), "[General]\nj=0\nk=3\n");
    EXPECT_EQ(ApplyIniChanges("[General]\r\nk=1\r\nj=2\r\n", {{"k", std::nullopt}}),
              "[General]\r\nj=2\r\n");
    // A value that ran over two lines is replaced whole.
    EXPECT_EQ(ApplyIniChanges("[General]\nk=\"a\nb\"\nj=2\n", {{"k", "c"}}),
              "[General]\nk=c\nj=2\n");
    // A last line without a line break.
    EXPECT_EQ(ApplyIniChanges("[General]\nk=1", {{"j", "2"}}), "[General]\nk=1\nj=2");
}

TEST_F(IniFolder, WritingCreatesTheFolderAndReadsBack) {
    const std::string path = Path("Velmorn/Quirnel.ini");
    WriteIniGeneralValues(path, {{"CommDevice2", " spaced; path "}, {"CommPort", "2"}});
    EXPECT_EQ(ReadIniGeneralValues(path),
              (Values{{"CommDevice2", " spaced; path "}, {"CommPort", "2"}}));
    EXPECT_FALSE(fs::exists(path + ".lock"));
    WriteIniGeneralValues(path, {{"CommDevice2", std::nullopt}});
    EXPECT_EQ(ReadIniGeneralValues(path), (Values{{"CommPort", "2"}}));
}

TEST_F(IniFolder, WritingWaitsForAnotherWritersLock) {
    const std::string path = Path("Quirnel.ini");
    const std::string lock = path + ".lock";
    UniqueFd held(::open(lock.c_str(), O_RDWR | O_CREAT | O_EXCL, 0666));
    ASSERT_TRUE(held.Valid());
    ASSERT_EQ(::flock(held.Get(), LOCK_EX | LOCK_NB), 0);
    const std::string pid = std::to_string(::getpid()) + "\n";
    ASSERT_EQ(::write(held.Get(), pid.data(), pid.size()), static_cast<ssize_t>(pid.size()));
    std::thread holder([&] {
        std::this_thread::sleep_for(300ms);
        ::unlink(lock.c_str());
        held.Reset();
    });
    const auto start = std::chrono::steady_clock::now();
    WriteIniGeneralValues(path, {{"CommPort", "5"}});
    const auto waited = std::chrono::steady_clock::now() - start;
    holder.join();
    EXPECT_GE(waited, 250ms);
    EXPECT_EQ(ReadIniGeneralValues(path), (Values{{"CommPort", "5"}}));
}

TEST_F(IniFolder, ALockLeftByAProcessThatIsGoneIsRemoved) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    const std::string path = Path("Quirnel.ini");
    std::ofstream(path + ".lock") << child << "\nquirnel\nhost\n";
    WriteIniGeneralValues(path, {{"CommPort", "7"}});
    EXPECT_EQ(ReadIniGeneralValues(path), (Values{{"CommPort", "7"}}));
    EXPECT_FALSE(fs::exists(path + ".lock"));
}

TEST_F(IniFolder, AFileThatCannotBeWrittenIsReported) {
    const std::string blocker = Path("not-a-folder");
    std::ofstream(blocker) << "x";
    EXPECT_THROW(WriteIniGeneralValues(blocker + "/Quirnel.ini", {{"CommPort", "1"}}), EInOutError);
}

}  // namespace
}  // namespace tabellan
