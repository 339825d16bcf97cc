#include "phone/port_device.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>

namespace tabellan {
namespace {

std::mutex& LookupMutex() {
    static std::mutex m;
    return m;
}

UserSettingLookup& CurrentLookup() {
    static UserSettingLookup lookup;
    return lookup;
}

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

// QSettings writes a value with special characters in double quotes with backslash escapes.
std::string Unquote(std::string_view value) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
        return std::string(value);
    }
    std::string out;
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
        if (value[i] == '\\' && i + 2 < value.size()) {
            ++i;
        }
        out += value[i];
    }
    return out;
}

}  // namespace

void SetUserSettingLookup(UserSettingLookup lookup) {
    const std::lock_guard lock(LookupMutex());
    CurrentLookup() = std::move(lookup);
}

std::optional<std::string> UserSetting(std::string_view key) {
    UserSettingLookup lookup;
    {
        const std::lock_guard lock(LookupMutex());
        lookup = CurrentLookup();
    }
    if (lookup) {
        return lookup(key);
    }
    return ReadIniGeneralValue(UserSettingsPath(), key);
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
    return base + "/Velmorn/Quirnel.conf";
}

std::optional<std::string> ReadIniGeneralValue(const std::string& path, std::string_view key) {
    std::ifstream in(path);
    std::string line;
    bool inGeneral = false;
    while (std::getline(in, line)) {
        const std::string_view text = Trim(line);
        if (!text.empty() && text.front() == '[') {
            inGeneral = text == "[General]";
            continue;
        }
        const auto eq = text.find('=');
        if (!inGeneral || eq == std::string_view::npos) {
            continue;
        }
        if (Trim(text.substr(0, eq)) == key) {
            return Unquote(Trim(text.substr(eq + 1)));
        }
    }
    return std::nullopt;
}

std::string PortDevicePath(int portNum) {
    if (portNum < 1) {
        return {};
    }
    if (auto device = UserSetting("CommDevice" + std::to_string(portNum));
        device && !device->empty()) {
        return *device;
    }
    return "/dev/ttyS" + std::to_string(portNum - 1);
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
