#pragma once
// Earlier builds kept the user's settings in Quirnel.conf (QSettings' native format on this
// system), beside today's Quirnel.ini. The first start that finds the old file copies every
// value the new file lacks, then renames the old file to Quirnel.conf.imported, so that it
// is read once and a value deleted later does not come back.
#include <string>
#include <vector>

namespace tabellan {

// The old file beside the settings file iniPath.
std::string OldUserSettingsPath(const std::string& iniPath);

// Imports the old file beside iniPath when there is one; returns the keys copied. Never
// throws: when the settings file cannot be written, the old file stays for the next start.
std::vector<std::string> ImportOldUserSettings(const std::string& iniPath);

}  // namespace tabellan
