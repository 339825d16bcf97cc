// Values an earlier build kept in Quirnel.conf move into Quirnel.ini once.
#include "phone/user_settings_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "phone/ini_settings_file.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using Values = std::map<std::string, std::string>;

class UserSettingsImport : public ::testing::Test {
  protected:
    test::TempFolder folder_{"tabellan-import"};
    const std::string ini_ = folder_ / "Quirnel.ini";
    const std::string conf_ = folder_ / "Quirnel.conf";
};

TEST_F(UserSettingsImport, ValuesTheNewFileLacksAreCopiedAndTheOldFileIsSetAside) {
    // As QSettings wrote them: a tab and a comma escaped, a quoted value with spaces.
    test::WriteBytes(conf_,
                     "[General]\n"
                     "CommDevice1=/dev/ttyACM0\n"
                     "CommDevice2=\" /dev/ttyUSB0 \"\n"
                     "AutoDial=90\\t00\\t1\n"
                     "CommPort=4\n"
                     "File1=\"/home/u/cards,old.csv\"\n"
                     "\n[Window]\nLeft=5\n");
    WriteIniGeneralValues(ini_, {{"CommPort", "2"}, {"SS1", "i - Smith"}});

    std::vector<std::string> added = ImportOldUserSettings(ini_);
    std::sort(added.begin(), added.end());
    EXPECT_EQ(added, (std::vector<std::string>{"AutoDial", "CommDevice1", "CommDevice2", "File1"}));
    // What the new file held already wins.
    EXPECT_EQ(ReadIniGeneralValues(ini_), (Values{{"AutoDial", "90\t00\t1"},
                                                  {"CommDevice1", "/dev/ttyACM0"},
                                                  {"CommDevice2", " /dev/ttyUSB0 "},
                                                  {"CommPort", "2"},
                                                  {"File1", "/home/u/cards,old.csv"},
                                                  {"SS1", "i - Smith"}}));
    EXPECT_FALSE(test::Exists(conf_));
    EXPECT_EQ(ReadIniGeneralValues(conf_ + ".imported").at("CommPort"), "4");
}

TEST_F(UserSettingsImport, TheOldFileIsReadOnceSoADeletedValueStaysDeleted) {
    test::WriteBytes(conf_, "[General]\nCommDevice3=/dev/ttyS9\n");
    EXPECT_EQ(ImportOldUserSettings(ini_), (std::vector<std::string>{"CommDevice3"}));
    WriteIniGeneralValues(ini_, {{"CommDevice3", std::nullopt}});
    EXPECT_TRUE(ImportOldUserSettings(ini_).empty());
    EXPECT_EQ(ReadIniGeneralValues(ini_), Values{});
}

TEST_F(UserSettingsImport, WithoutAnOldFileNothingIsWritten) {
    EXPECT_TRUE(ImportOldUserSettings(ini_).empty());
    EXPECT_FALSE(test::Exists(ini_));
    EXPECT_EQ(folder_.EntryCount(), 0u);
    // A folder by the old name is no settings file.
    fs::create_directory(conf_);
    EXPECT_TRUE(ImportOldUserSettings(ini_).empty());
    EXPECT_FALSE(test::Exists(ini_));
}

TEST_F(UserSettingsImport, OnlyTheProgramsOwnNamesAreCopied) {
    // Garbage and names with characters no value of the program has.
    test::WriteBytes(conf_,
                     "[General]\n"
                     "CommPort=3\n"
                     "=nameless\n"
                     "a%20b=1\n"
                     "Window\\Left=7\n"
                     "\x01\xff=x\n"
                     "no line end");
    EXPECT_EQ(ImportOldUserSettings(ini_), (std::vector<std::string>{"CommPort"}));
    EXPECT_EQ(ReadIniGeneralValues(ini_), (Values{{"CommPort", "3"}}));
}

TEST_F(UserSettingsImport, WhenTheNewFileCannotBeWrittenTheOldOneStaysForTheNextStart) {
    const std::string dir = folder_ / "cfg";
    fs::create_directory(dir);
    test::WriteBytes(dir + "/Quirnel.conf", "[General]\nCommPort=3\n");
    fs::create_directory(dir + "/Quirnel.ini");  // a folder where the file would go
    EXPECT_NO_THROW(EXPECT_TRUE(ImportOldUserSettings(dir + "/Quirnel.ini").empty()));
    EXPECT_TRUE(test::Exists(dir + "/Quirnel.conf"));
    fs::remove(dir + "/Quirnel.ini");
    EXPECT_EQ(ImportOldUserSettings(dir + "/Quirnel.ini"), (std::vector<std::string>{"CommPort"}));
    EXPECT_FALSE(test::Exists(dir + "/Quirnel.conf"));
}

}  // namespace
}  // namespace tabellan
