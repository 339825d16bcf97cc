#include "phone/user_settings_import.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <map>

#include "phone/ini_settings_file.h"

namespace tabellan {
namespace {

// Every value the program keeps has a name of letters and digits.
bool IsProgramKey(const std::string& key) {
    return !key.empty() && std::all_of(key.begin(), key.end(),
                                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

}  // namespace

std::string OldUserSettingsPath(const std::string& iniPath) {
    return (std::filesystem::path(iniPath).parent_path() / "Quirnel.conf").string();
}

std::vector<std::string> ImportOldUserSettings(const std::string& iniPath) {
    const std::string oldPath = OldUserSettingsPath(iniPath);
    std::error_code error;
    if (!std::filesystem::is_regular_file(oldPath, error)) {
        return {};
    }
    std::map<std::string, std::string> values;
    for (auto& [key, value] : ReadIniGeneralValues(oldPath)) {
        if (IsProgramKey(key)) {
            values.emplace(key, std::move(value));
        }
    }
    std::vector<std::string> added;
    try {
        added = AddMissingIniGeneralValues(iniPath, values);
    } catch (const std::exception&) {
        return {};  // tried again at the next start
    }
    std::filesystem::rename(oldPath, oldPath + ".imported", error);
    return added;
}

}  // namespace tabellan
