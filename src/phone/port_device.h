#pragma once
// Which device a port number stands for, and the system's text for an error code.
//
// Port n is the device named by the per-user setting CommDevice<n> (for example
// CommDevice1=/dev/ttyACM0) when it is present, else /dev/ttyS<n-1>. The per-user settings
// are the desktop program's INI file; the lookup is replaceable so that tests and the
// desktop program can supply their own.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tabellan {

using UserSettingLookup = std::function<std::optional<std::string>(std::string_view key)>;

// Replaces the lookup of per-user settings; an empty function restores the default, which
// reads the [General] section of $XDG_CONFIG_HOME/Velmorn/Quirnel.conf.
void SetUserSettingLookup(UserSettingLookup lookup);
std::optional<std::string> UserSetting(std::string_view key);

// The value of key in the [General] section of an INI file; nullopt when absent.
std::optional<std::string> ReadIniGeneralValue(const std::string& path, std::string_view key);
std::string UserSettingsPath();

// The device path of port n, or empty when n is below 1.
std::string PortDevicePath(int portNum);

// strerror's text without trailing blanks, line breaks and full stops.
std::string SysErrorText(int errorCode);

}  // namespace tabellan
