#include "phone/port_device.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "cardfile/errors.h"
#include "phone/phone_exchange.h"

namespace tabellan {
namespace {

// Assignments shown in the port prompt before the rest are left out.
constexpr std::size_t kShownChoices = 12;

std::mutex& LookupMutex() {
    static std::mutex m;
    return m;
}

UserSettingLookup& CurrentLookup() {
    static UserSettingLookup lookup;
    return lookup;
}

UserSettingLookup InstalledLookup() {
    const std::lock_guard lock(LookupMutex());
    return CurrentLookup();
}

// A lookup over the values of a settings file, read once.
UserSettingLookup FileLookup(const std::string& path) {
    auto values =
        std::make_shared<const std::map<std::string, std::string>>(ReadIniGeneralValues(path));
    return [values](std::string_view key) -> std::optional<std::string> {
        const auto it = values->find(std::string(key));
        return it == values->end() ? std::nullopt : std::optional<std::string>(it->second);
    };
}

// The installed lookup, or one over the settings file.
UserSettingLookup SnapshotLookup() {
    if (UserSettingLookup lookup = InstalledLookup()) {
        return lookup;
    }
    return FileLookup(UserSettingsPath());
}

}  // namespace

void SetUserSettingLookup(UserSettingLookup lookup) {
    const std::lock_guard lock(LookupMutex());
    CurrentLookup() = std::move(lookup);
}

std::optional<std::string> UserSetting(std::string_view key) {
    return SnapshotLookup()(key);
}

std::string UserSettingsPath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : "") + "/.config";
    }
    return base + "/Velmorn/Quirnel.ini";
}

std::string PortSettingKey(int portNum) {
    return "CommDevice" + std::to_string(portNum);
}

std::string DefaultPortDevice(int portNum) {
    return portNum < 1 ? std::string() : "/dev/ttyS" + std::to_string(portNum - 1);
}

PortMap ReadPortMap(const UserSettingLookup& lookup) {
    PortMap map;
    for (int n = 1; n <= kMaxPortNumber; ++n) {
        if (auto device = lookup(PortSettingKey(n)); device && !device->empty()) {
            map.emplace(n, std::move(*device));
        }
    }
    return map;
}

PortMap UserPortMap() {
    return ReadPortMap(SnapshotLookup());
}

std::string DeviceForPort(const PortMap& map, int portNum) {
    const auto it = map.find(portNum);
    return it != map.end() ? it->second : DefaultPortDevice(portNum);
}

std::string PortDevicePath(int portNum) {
    if (portNum < 1) {
        return {};
    }
    if (auto device = UserSetting(PortSettingKey(portNum)); device && !device->empty()) {
        return *device;
    }
    return DefaultPortDevice(portNum);
}

IniChanges PortMapChanges(const PortMap& before, const PortMap& after) {
    IniChanges changes;
    for (const auto& [port, device] : before) {
        if (!after.contains(port)) {
            changes.emplace_back(PortSettingKey(port), std::nullopt);
        }
    }
    for (const auto& [port, device] : after) {
        const auto old = before.find(port);
        if (device.empty()) {
            if (old != before.end()) {
                changes.emplace_back(PortSettingKey(port), std::nullopt);
            }
        } else if (old == before.end() || old->second != device) {
            changes.emplace_back(PortSettingKey(port), device);
        }
    }
    return changes;
}

void WriteUserPortMap(const PortMap& map) {
    const std::string path = UserSettingsPath();
    const IniChanges changes = PortMapChanges(ReadPortMap(FileLookup(path)), map);
    if (!changes.empty()) {
        WriteIniGeneralValues(path, changes);
    }
}

std::string PortChoicesText(int currentPort) {
    const PortMap map = UserPortMap();
    std::string text;
    std::size_t shown = 0;
    for (const auto& [port, device] : map) {
        if (shown++ == kShownChoices) {
            text += "...\r\n";
            break;
        }
        text += std::to_string(port) + " = " + device + "\r\n";
    }
    if (currentPort >= 1 && !map.contains(currentPort)) {
        text += std::to_string(currentPort) + " = " + DefaultPortDevice(currentPort) + "\r\n";
    }
    return text + "Any other number n = /dev/ttyS<n-1>";
}

int StoredPhonePort(const std::optional<std::string>& value) {
    if (!value) {
        return 1;
    }
    try {
        return StrToInt(*value);
    } catch (const TabellanError&) {
        return 1;
    }
}

std::string SysErrorText(int errorCode) {
    std::string text = std::strerror(errorCode);
    while (!text.empty() && (text.back() == ' ' || text.back() == '.' || text.back() == '\r' ||
                             text.back() == '\n')) {
        text.pop_back();
    }
    return text;
}

}  // namespace tabellan
