#pragma once
// The serial devices present on this machine, for the user to choose the device of a port
// number: udev's /dev/serial/by-id links, whose names stay the same when a USB device is
// plugged in again (and names the same device wherever it was plugged in), and the plain
// ttyS, ttyUSB and ttyACM devices that have no such link. Maker and product come from
// sysfs where the kernel knows them (USB devices).
#include <string>
#include <vector>

namespace tabellan {

struct SerialDevice {
    std::string path;        // what a port is assigned: the by-id link, else the device
    std::string devicePath;  // the device itself, such as /dev/ttyUSB0
    std::string maker;       // empty when unknown
    std::string product;     // empty when unknown

    bool operator==(const SerialDevice&) const = default;
};

// root is the folder the machine's /dev and /sys are found under: "/" normally, a fake
// tree in tests. Paths in the result are as seen from the machine (without root).
std::vector<SerialDevice> ListSerialDevices(const std::string& root = "/");

// One line for a list: the path, then maker and product and the device where they add
// something, such as "/dev/serial/by-id/usb-FTDI_X-if00-port0 (FTDI, FT232R, /dev/ttyUSB0)".
std::string DescribeSerialDevice(const SerialDevice& device);

}  // namespace tabellan
