#pragma once
// The copy of the phone's entries that an update keeps before it deletes or writes anything,
// so that nothing the phone held is lost for good when a command fails half-way.
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace tabellan {

// The desktop program's data folder as the window finds it (its application data location):
// $XDG_DATA_HOME/Velmorn/Tabellan, or ~/.local/share/Velmorn/Tabellan when XDG_DATA_HOME is
// not set. The command-line tool keeps its backups there too.
std::string DefaultPhonebookBackupFolder();

// The file name for a backup taken at `when` (local time) of the storage:
// "phonebook-YYYYMMDD-HHMMSS-<storage>.txt"; characters of the storage code that are not
// letters or digits become "_".
std::string PhonebookBackupName(std::tm when, std::string_view storageCode);

// The backup's text, laid out as a phonebook card (so that it can be pasted into a card and
// written back with Update): a first line naming the storage and the time, an empty line,
// then the entries, each followed by CR LF.
std::string PhonebookBackupText(std::tm when, std::string_view storageCode,
                                const std::vector<std::string>& entries);

// Writes the backup into the folder (created with private permissions when missing) under a
// name for the current local time that is not taken yet; the file is readable by its owner
// only and synced to the disk. Returns its path; throws EInOutError naming the path when it
// cannot be written, and then leaves no file behind.
std::string WritePhonebookBackup(const std::string& folder, std::string_view storageCode,
                                 const std::vector<std::string>& entries);

}  // namespace tabellan
