#include "phone/phonebook_backup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "cardfile/errors.h"
#include "pty_fixture.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

std::tm SampleTime() {
    std::tm when{};
    when.tm_year = 2024 - 1900;
    when.tm_mon = 2;
    when.tm_mday = 7;
    when.tm_hour = 9;
    when.tm_min = 5;
    when.tm_sec = 3;
    return when;
}

unsigned Mode(const fs::path& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 0777;
}

// Sets an environment variable for the test's duration.
class EnvironmentValue {
  public:
    EnvironmentValue(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~EnvironmentValue() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

class PhonebookBackup : public ::testing::Test {
  protected:
    test::TempFolder folder_;
    const fs::path dir_ = folder_.Path();
};

TEST(PhonebookBackupName, DateTimeAndStorage) {
    EXPECT_EQ(PhonebookBackupName(SampleTime(), "SM"), "phonebook-20240307-090503-SM.txt");
    // A storage code never leads the name out of the folder.
    EXPECT_EQ(PhonebookBackupName(SampleTime(), "../x"), "phonebook-20240307-090503-___x.txt");
    EXPECT_EQ(PhonebookBackupName(SampleTime(), ""), "phonebook-20240307-090503-.txt");
}

TEST(PhonebookBackupText, LaidOutAsAPhonebookCard) {
    EXPECT_EQ(PhonebookBackupText(SampleTime(), "ME", {"1,\"5\",129,\"A\"", "2,\"6\",129,\"B\""}),
              "Phonebook ME as read on 2024-03-07 09:05:03\r\n\r\n"
              "1,\"5\",129,\"A\"\r\n2,\"6\",129,\"B\"\r\n");
}

TEST(PhonebookBackupFolder, TheDesktopProgramsDataFolder) {
    {
        const EnvironmentValue xdg("XDG_DATA_HOME", "/data/home");
        EXPECT_EQ(DefaultPhonebookBackupFolder(), "/data/home/Velmorn/Tabellan");
    }
    const EnvironmentValue home("HOME", "/home/user");
    for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
        const EnvironmentValue xdg("XDG_DATA_HOME", unset);
        EXPECT_EQ(DefaultPhonebookBackupFolder(), "/home/user/.local/share/Velmorn/Tabellan");
    }
}

TEST_F(PhonebookBackup, WrittenPrivatelyIntoANewFolderAndNeverOverwritten) {
    const fs::path folder = dir_ / "a" / "b";
    const Lines entries = {"1,\"5\",129,\"A\xE9\"", "2,\"6\",129,\"B\""};
    const std::string first = WritePhonebookBackup(folder.string(), "SM", entries);
    EXPECT_EQ(fs::path(first).parent_path(), folder);
    EXPECT_TRUE(fs::path(first).filename().string().starts_with("phonebook-"));
    EXPECT_TRUE(first.ends_with("-SM.txt")) << first;
    EXPECT_EQ(Mode(first), 0600u);
    EXPECT_EQ(Mode(folder), 0700u);
    const std::string text = test::ReadBytes(first);
    EXPECT_TRUE(text.ends_with("\r\n\r\n1,\"5\",129,\"A\xE9\"\r\n2,\"6\",129,\"B\"\r\n")) << text;

    // Within the same second the next backups get names of their own.
    const std::string second = WritePhonebookBackup(folder.string(), "SM", {});
    const std::string third = WritePhonebookBackup(folder.string(), "SM", {});
    EXPECT_NE(second, first);
    EXPECT_NE(third, second);
    EXPECT_EQ(test::ReadBytes(first), text);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3);
}

TEST_F(PhonebookBackup, FailureNamesThePathAndLeavesNothing) {
    std::ofstream(dir_ / "file") << "x";
    try {
        WritePhonebookBackup((dir_ / "file" / "sub").string(), "SM", {"1,a"});
        FAIL() << "no exception";
    } catch (const EInOutError& e) {
        EXPECT_NE(std::string(e.what()).find((dir_ / "file").string()), std::string::npos)
            << e.what();
    }
    EXPECT_THROW(WritePhonebookBackup("", "SM", {}), EInOutError);
    if (::geteuid() != 0) {
        fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_THROW(WritePhonebookBackup(dir_.string(), "SM", {"1,a"}), EInOutError);
        fs::permissions(dir_, fs::perms::owner_all);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace tabellan
