#pragma once
// The user's settings file as the desktop program keeps it: QSettings' INI format, values of
// the root group in the [General] section. Reading gives what QSettings would give for a
// string value; writing changes only the values named and keeps every other byte of the
// file, under the same lock file QSettings takes (<file>.lock), and replaces the file
// atomically.
//
// Only keys made of letters and digits are supported (they need no escaping in the file).
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tabellan {

// The values of the root group, keyed as in the file; a key given twice keeps its last
// value. A missing or unreadable file has none.
std::map<std::string, std::string> ReadIniGeneralValues(const std::string& path);
// The same from the file's text.
std::map<std::string, std::string> IniGeneralValues(std::string_view text);

// A value as QSettings writes a string: escapes, quotes where the reader would otherwise
// trim or split it, "@" doubled at the start. Text is UTF-8.
std::string EscapeIniValue(std::string_view value);
// The string QSettings reads from the text after "=" (leading blanks included).
std::string UnescapeIniValue(std::string_view raw);

// Sets (a value) or removes (nullopt) root values. Creates the file and its folder when
// missing. Throws EInOutError when the file cannot be written or stays locked.
using IniChanges = std::vector<std::pair<std::string, std::optional<std::string>>>;
void WriteIniGeneralValues(const std::string& path, const IniChanges& changes);

// Sets each of values whose key the file does not hold yet, leaving the others as they are,
// under the same lock as WriteIniGeneralValues; returns the keys it set.
std::vector<std::string> AddMissingIniGeneralValues(
    const std::string& path, const std::map<std::string, std::string>& values);

// The text of a whole file with the changes applied (what WriteIniGeneralValues writes).
std::string ApplyIniChanges(std::string text, const IniChanges& changes);

}  // namespace tabellan
