// Port numbers and their devices: the user's assignments in the settings file, the device
// a port opens, how messages name it, and the advice for a device that does not open.
#include "phone/port_device.h"
#include "phone/phone_errors.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "phone/port_device_advice.h"
#include "phone/ser_comm.h"
#include "pty_fixture.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string OpenFailure(TSerComm& comm) {
    try {
        comm.Open();
    } catch (const ESerCommError& e) {
        return e.what();
    }
    return "(opened)";
}

// A temporary XDG_CONFIG_HOME with the settings file the desktop program would write.
class UserSettingsFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
        SetUserSettingLookup({});
    }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
    fs::path SettingsFile() const { return dir_ / "Velmorn" / "Quirnel.ini"; }
    void WriteSettings(const std::string& text) {
        fs::create_directories(SettingsFile().parent_path());
        std::ofstream(SettingsFile(), std::ios::binary) << text;
    }
    test::TempFolder folder_{"tabellan-xdg"};
    const fs::path dir_ = folder_.Path();
};

TEST_F(UserSettingsFolder, TheDesktopProgramsIniFileIsRead) {
    EXPECT_EQ(UserSettingsPath(), (dir_ / "Velmorn/Quirnel.ini").string());
    fs::create_directories(SettingsFile().parent_path());
    fs::copy_file(std::string(TABELLAN_TEST_DATA) + "/settings/qsettings-written.ini",
                  SettingsFile());
    // A file of the old name is not read any more.
    std::ofstream(dir_ / "Velmorn/Quirnel.conf") << "[General]\nCommDevice9=/dev/old\n";
    EXPECT_EQ(PortDevicePath(1), "/dev/ttyACM0");
    EXPECT_EQ(PortDevicePath(2), "/dev/serial/by-id/usb-Acme_Phone,Model=7;rev \"2\"-if00");
    EXPECT_EQ(PortDevicePath(7), "/dev/ttyS6") << "an empty assignment counts as none";
    EXPECT_EQ(PortDevicePath(9), "/dev/ttyS8");
    EXPECT_EQ(PortDevicePath(0), "");
    EXPECT_EQ(UserSetting("CommPort"), "3");
    EXPECT_EQ(UserPortMap().size(), 7u);
    EXPECT_EQ(UserPortMap().at(3), " /dev/ttyUSB0 ");

    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(UserSettingsPath(), "/home/someone/.config/Velmorn/Quirnel.ini");
}

TEST_F(UserSettingsFolder, TheMappingIsWrittenBesideTheOtherSettings) {
    const std::string before =
        "[General]\nAutoDialModem=2\\t1\nCommDevice1=/dev/ttyS0\nCommDevice4=/dev/old\n"
        "CommPort=3\n\n[Other]\nCommDevice2=/dev/other\n";
    WriteSettings(before);
    PortMap map = UserPortMap();
    ASSERT_EQ(map, (PortMap{{1, "/dev/ttyS0"}, {4, "/dev/old"}}));
    map[1] = "/dev/serial/by-id/usb-Acme_Phone-if00";
    map.erase(4);
    map[12] = "/dev/ttyUSB0";
    WriteUserPortMap(map);
    EXPECT_EQ(Slurp(SettingsFile()),
              "[General]\nAutoDialModem=2\\t1\nCommDevice1=/dev/serial/by-id/usb-Acme_Phone-if00\n"
              "CommPort=3\nCommDevice12=/dev/ttyUSB0\n\n[Other]\nCommDevice2=/dev/other\n");
    EXPECT_EQ(UserPortMap(), map);
    EXPECT_EQ(PortDevicePath(12), "/dev/ttyUSB0");
    EXPECT_EQ(PortDevicePath(4), "/dev/ttyS3");
}

TEST(PortMapping, ChangesBetweenTwoMappings) {
    const PortMap before{{1, "/dev/a"}, {2, "/dev/b"}, {3, "/dev/c"}};
    const PortMap after{{1, "/dev/a"}, {2, "/dev/B"}, {3, ""}, {5, "/dev/e"}};
    EXPECT_EQ(PortMapChanges(before, after), (IniChanges{{"CommDevice2", "/dev/B"},
                                                         {"CommDevice3", std::nullopt},
                                                         {"CommDevice5", "/dev/e"}}));
    EXPECT_EQ(DeviceForPort(after, 5), "/dev/e");
    EXPECT_EQ(DeviceForPort(after, 4), "/dev/ttyS3");
    EXPECT_EQ(ReadPortMap([](std::string_view key) -> std::optional<std::string> {
                  if (key == "CommDevice999") {
                      return "/dev/last";
                  }
                  return key == "CommDevice1000" ? std::optional<std::string>("/dev/no")
                                                 : std::nullopt;
              }),
              (PortMap{{999, "/dev/last"}}));
}

TEST_F(UserSettingsFolder, ThePortPromptListsTheAssignments) {
    WriteSettings("[General]\nCommDevice2=/dev/ttyACM0\nCommDevice5=/dev/serial/by-id/x\n");
    EXPECT_EQ(PortChoicesText(3),
              "2 = /dev/ttyACM0\r\n5 = /dev/serial/by-id/x\r\n3 = /dev/ttyS2\r\n"
              "Any other number n = /dev/ttyS<n-1>");
    EXPECT_EQ(PortChoicesText(2),
              "2 = /dev/ttyACM0\r\n5 = /dev/serial/by-id/x\r\nAny other number n = /dev/ttyS<n-1>");
}

TEST_F(UserSettingsFolder, DevicesOfPortNumbersPatternsAndPaths) {
    WriteSettings("[General]\nCommDevice3=/dev/tabellan-missing-acm\n");
    TSerComm comm;
    comm.SetPortNum(3);
    EXPECT_EQ(comm.DevicePath(), "/dev/tabellan-missing-acm") << "the component's own pattern";
    EXPECT_EQ(comm.DeviceDisplayName(), "/dev/tabellan-missing-acm for port 3");
    EXPECT_EQ(OpenFailure(comm),
              "Specified device not found (/dev/tabellan-missing-acm for port 3).");
    comm.SetDeviceName("\\\\.\\COM%d");
    EXPECT_EQ(comm.DevicePath(), "/dev/tabellan-missing-acm");
    comm.SetPortNum(4);
    EXPECT_EQ(comm.DevicePath(), "/dev/ttyS3");
    comm.SetPortNum(0);
    EXPECT_EQ(OpenFailure(comm), "Specified device not found (no device for port 0).");

    // Any other pattern is the device it names, not the assigned one.
    comm.SetDeviceName("/dev/tabellan-missing-usb%d");
    comm.SetPortNum(3);
    EXPECT_EQ(comm.DevicePath(), "/dev/tabellan-missing-usb3");
    EXPECT_EQ(OpenFailure(comm),
              "Specified device not found (/dev/tabellan-missing-usb3 for port 3).");

    comm.SetDeviceName("/dev/tabellan-missing-tty");
    EXPECT_EQ(OpenFailure(comm), "Specified device not found (/dev/tabellan-missing-tty).");
}

TEST_F(UserSettingsFolder, ARelativeDevicePathIsTriedFromTheCurrentFolder) {
    testing::PtyPair pty;
    fs::create_symlink(pty.SlavePath(), dir_ / "phone-link");
    std::ofstream(dir_ / "plain-file") << "not a terminal";
    const fs::path previous = fs::current_path();
    fs::current_path(dir_);
    TSerComm comm;
    comm.SetDeviceName("phone-link");
    const std::string opened = OpenFailure(comm);
    const bool wasOpen = comm.IsOpen();
    comm.Close();
    comm.SetDeviceName("plain-file");
    const std::string plainFile = OpenFailure(comm);
    comm.SetDeviceName("no-such-link");
    const std::string missing = OpenFailure(comm);
    // A device the user assigned by a relative path is tried as well.
    WriteSettings("[General]\nCommDevice2=phone-link\n");
    comm.SetDeviceName("COM%d");
    comm.SetPortNum(2);
    const std::string assigned = OpenFailure(comm);
    comm.Close();
    fs::current_path(previous);

    EXPECT_EQ(opened, "(opened)");
    EXPECT_TRUE(wasOpen);
    EXPECT_EQ(
        plainFile.rfind("Error writing dcb (25), Inappropriate ioctl for device (plain-file)", 0),
        0u)
        << plainFile;
    EXPECT_EQ(missing, "Specified device not found (no-such-link).");
    EXPECT_EQ(assigned, "(opened)");
}

TEST(PortOpenAdvice, PermissionBusyAndOtherFailures) {
    const std::string permission = PortOpenAdvice(EACCES, "/dev/tabellan-missing");
    EXPECT_NE(permission.find("group dialout"), std::string::npos) << permission;
    EXPECT_NE(permission.find("sudo usermod -aG dialout $USER"), std::string::npos);
    EXPECT_EQ(PortOpenAdvice(ENXIO, "/dev/null"), "");
    const std::string busy = PortOpenAdvice(EBUSY, "/dev/tabellan-missing");
    EXPECT_EQ(busy,
              "Another program has the device open.\r\nModemManager takes phones and modems for "
              "itself unless a udev rule marks the device with ENV{ID_MM_DEVICE_IGNORE}=\"1\".");
}

TEST(PortOpenAdvice, HoldersAreFoundByTheirOpenFiles) {
    const test::TempFolder folder("tabellan-proc");
    const fs::path proc = folder.Path();
    const fs::path device = proc / "ttyACM0";
    std::ofstream(device) << "";
    const auto process = [&](const std::string& pid, const std::string& name,
                             const std::string& fdTarget) {
        fs::create_directories(proc / pid / "fd");
        std::ofstream(proc / pid / "comm") << name << "\n";
        fs::create_symlink(fdTarget, proc / pid / "fd" / "3");
    };
    process("812", "ModemManager", device.string());
    process("77", "minicom", device.string());
    process("90", "bash", "/dev/null");
    fs::create_directories(proc / "self" / "fd");
    EXPECT_EQ(DeviceHolders(device.string(), proc.string()),
              (std::vector<std::string>{"ModemManager (pid 812)", "minicom (pid 77)"}));
    EXPECT_EQ(PortOpenAdvice(EBUSY, device.string(), proc.string())
                  .rfind("The device is in use by ModemManager (pid 812), minicom (pid 77).\r\n"
                         "ModemManager takes",
                         0),
              0u);
    fs::remove_all(proc);
}

TEST(PortOpenAdvice, ABusyDeviceNamesThisProgramAsItsHolder) {
    testing::PtyPair pty;
    TSerComm holder;
    holder.SetDeviceName(pty.SlavePath());
    holder.Open();
    TSerComm second;
    second.SetDeviceName(pty.SlavePath());
    const std::string text = OpenFailure(second);
    EXPECT_EQ(text.rfind("Can't open specified device " + pty.SlavePath() +
                             " (Error 16, Device or resource busy)\r\nThe device is in use by ",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("(pid " + std::to_string(::getpid()) + ")"), std::string::npos) << text;
}

TEST(StoredPhonePort, TheNumberKeptOrOne) {
    EXPECT_EQ(StoredPhonePort(std::nullopt), 1);
    EXPECT_EQ(StoredPhonePort("7"), 7);
    EXPECT_EQ(StoredPhonePort(" 12 "), 12);
    EXPECT_EQ(StoredPhonePort("+3"), 3);
    for (const char* notANumber : {"", "COM3", "3a", "0x10", "99999999999999"}) {
        EXPECT_EQ(StoredPhonePort(notANumber), 1) << notANumber;
    }
}

}  // namespace
}  // namespace tabellan
