#pragma once
// What a Linux user can do about a serial device that would not open. The two walls users
// of phone tools meet most: the device belongs to a group (dialout) the user is not in, and
// another program (often ModemManager, which probes every new modem and phone) holds it.
#include <string>
#include <vector>

namespace tabellan {

// Advice for the error code of a failed open, empty when there is none to give. procRoot
// is where the processes are listed ("/proc"; tests pass a fake tree).
std::string PortOpenAdvice(int errorCode, const std::string& devicePath,
                           const std::string& procRoot = "/proc");

// The processes that have the device open, as "name (pid N)", found through their open
// file descriptors; only those this user may look at.
std::vector<std::string> DeviceHolders(const std::string& devicePath,
                                       const std::string& procRoot = "/proc");

}  // namespace tabellan
