#pragma once
// Which device a port number stands for, and the system's text for an error code.
//
// The phone's and the modem's ports are numbers. Port n is the device the user assigned to
// it, kept as the per-user setting CommDevice<n> (for example
// CommDevice1=/dev/serial/by-id/usb-Acme_Phone-if00), and without one /dev/ttyS<n-1>.
// The per-user settings are the desktop program's settings file (see UserSettingsPath);
// the lookup is replaceable so that tests can supply their own.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "phone/ini_settings_file.h"

namespace tabellan {

using UserSettingLookup = std::function<std::optional<std::string>(std::string_view key)>;

// Replaces the lookup of per-user settings; an empty function restores the default, which
// reads the settings file.
void SetUserSettingLookup(UserSettingLookup lookup);
std::optional<std::string> UserSetting(std::string_view key);
// $XDG_CONFIG_HOME/Velmorn/Quirnel.ini (~/.config when unset): the file QSettings keeps
// for organisation "Velmorn" and application "Quirnel" in INI format.
std::string UserSettingsPath();

// The phone's port number as the user setting CommPort keeps it: the decimal number it holds,
// 1 when it is missing or not a number.
int StoredPhonePort(const std::optional<std::string>& value);

// Port numbers go up to what the modem port field holds (3 characters).
inline constexpr int kMaxPortNumber = 999;
std::string PortSettingKey(int portNum);  // "CommDevice<n>"
// The device of a port without an assignment; empty below 1.
std::string DefaultPortDevice(int portNum);

// The assignments: port number to device path; an empty value counts as none.
using PortMap = std::map<int, std::string>;
PortMap ReadPortMap(const UserSettingLookup& lookup);
PortMap UserPortMap();
std::string DeviceForPort(const PortMap& map, int portNum);
// The device of port n by the user's settings, or empty when n is below 1.
std::string PortDevicePath(int portNum);

// The settings changes that turn one mapping into the other (for a settings store that
// writes itself, such as the desktop program's).
IniChanges PortMapChanges(const PortMap& before, const PortMap& after);
// Stores the mapping in the settings file; the ports it leaves out lose their assignment.
void WriteUserPortMap(const PortMap& map);

// For the port prompt: one line "n = device" for each assigned port and for current, then
// the rule for the other numbers.
std::string PortChoicesText(int currentPort);

// strerror's text without trailing blanks, line breaks and full stops.
std::string SysErrorText(int errorCode);

}  // namespace tabellan
