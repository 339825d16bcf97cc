// The list of serial devices, on a fake /dev and /sys tree.
#include "phone/serial_devices.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tabellan {
namespace {

namespace fs = std::filesystem;

class FakeMachine : public ::testing::Test {
  protected:
    void File(const std::string& path, const std::string& text = "") {
        fs::create_directories((root_ / path).parent_path());
        std::ofstream(root_ / path) << text;
    }
    void Link(const std::string& path, const std::string& target) {
        fs::create_directories((root_ / path).parent_path());
        fs::create_symlink(target, root_ / path);
    }
    // A USB device in sysfs with its attributes, and the tty below one of its interfaces.
    void UsbTty(const std::string& tty, const std::string& usbDevice, const std::string& maker,
                const std::string& product, bool ttyFolderBelowInterface) {
        const std::string device = "sys/devices/pci0000:00/usb1/" + usbDevice;
        File(device + "/idVendor", "0403\n");
        if (!maker.empty()) {
            File(device + "/manufacturer", maker + "\n");
        }
        File(device + "/product", product + "\n");
        const std::string interface = device + "/" + usbDevice + ":1.0";
        const std::string node = ttyFolderBelowInterface ? interface + "/" + tty : interface;
        fs::create_directories(root_ / node);
        Link("sys/class/tty/" + tty + "/device", "../../../../" + node);
        File("dev/" + tty);
    }

    test::TempFolder folder_{"tabellan-devices"};
    const fs::path root_ = folder_.Path();
};

TEST_F(FakeMachine, StableNamesFirstThenPlainDevicesWithMakerAndProduct) {
    UsbTty("ttyACM0", "1-1", "Acme", "Acme Phone 7", false);
    UsbTty("ttyUSB0", "1-2", "FTDI", "FT232R USB UART", true);
    UsbTty("ttyUSB1", "1-3", "", "USB-Serial Controller", true);
    Link("dev/serial/by-id/usb-Acme_Acme_Phone_7_123-if00", "../../ttyACM0");
    Link("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A6-if00-port0", "../../ttyUSB0");
    Link("dev/serial/by-id/usb-Gone_Modem-if00", "../../ttyACM9");  // unplugged: dangling
    File("dev/ttyS0");
    File("sys/class/tty/ttyS0/type", "4\n");
    File("dev/ttyS1");
    File("sys/class/tty/ttyS1/type", "0\n");  // no UART behind it
    File("dev/ttyS2");                        // nothing known about it
    File("dev/ttyS10");
    File("sys/class/tty/ttyS10/type", "4\n");
    File("dev/tty0");
    File("dev/ttyUSB");
    File("dev/ttyUSBx1");
    File("dev/null");

    const std::vector<SerialDevice> expected = {
        {"/dev/serial/by-id/usb-Acme_Acme_Phone_7_123-if00", "/dev/ttyACM0", "Acme",
         "Acme Phone 7"},
        {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A6-if00-port0", "/dev/ttyUSB0", "FTDI",
         "FT232R USB UART"},
        {"/dev/ttyS0", "/dev/ttyS0", "", ""},
        {"/dev/ttyS2", "/dev/ttyS2", "", ""},
        {"/dev/ttyS10", "/dev/ttyS10", "", ""},
        {"/dev/ttyUSB1", "/dev/ttyUSB1", "", "USB-Serial Controller"},
    };
    EXPECT_EQ(ListSerialDevices(root_.string()), expected);

    EXPECT_EQ(DescribeSerialDevice(expected[1]),
              "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A6-if00-port0 (FTDI, FT232R USB UART, "
              "/dev/ttyUSB0)");
    EXPECT_EQ(DescribeSerialDevice(expected[2]), "/dev/ttyS0");
    EXPECT_EQ(DescribeSerialDevice(expected[5]), "/dev/ttyUSB1 (USB-Serial Controller)");
}

TEST_F(FakeMachine, AbsoluteLinksAndMissingFolders) {
    EXPECT_TRUE(ListSerialDevices(root_.string()).empty());
    File("dev/ttyACM3");
    Link("dev/serial/by-id/usb-Phone-if02", "/dev/ttyACM3");
    const auto devices = ListSerialDevices(root_.string());
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].path, "/dev/serial/by-id/usb-Phone-if02");
    EXPECT_EQ(devices[0].devicePath, "/dev/ttyACM3");
    EXPECT_EQ(devices[0].maker, "");

    // A link to a device in a folder of /dev names that device, not a device of /dev.
    File("dev/pts/4");
    Link("dev/serial/by-id/usb-Sim_Modem-if00", "../../pts/4");
    Link("dev/serial/by-id/usb-Sim_Phone-if00", "/dev/pts/4");
    const auto nested = ListSerialDevices(root_.string() + "/");
    ASSERT_EQ(nested.size(), 3u);
    EXPECT_EQ(nested[1].devicePath, "/dev/pts/4");
    EXPECT_EQ(nested[2].devicePath, "/dev/pts/4");
}

TEST(SerialDevicesOfThisMachine, EveryEntryIsADeviceThatExists) {
    for (const SerialDevice& device : ListSerialDevices()) {
        EXPECT_TRUE(device.path.starts_with("/dev/")) << device.path;
        EXPECT_TRUE(fs::exists(device.devicePath)) << device.devicePath;
    }
}

}  // namespace
}  // namespace tabellan
