#include "phone/ini_settings_file.h"

#include <unicode/utf8.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "cardfile/atomic_file.h"
#include "cardfile/errors.h"
#include "phone/settings_file_lock.h"

namespace tabellan {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool IsSpecial(char c) {
    return c == '\n' || c == '\r' || c == '"' || c == ';' || c == '=' || c == '\\';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// One logical line of the file: a line continues past a line break inside quotes or after a
// backslash, and ends early at a ';' outside quotes (a comment follows).
struct IniLine {
    std::size_t start = 0;  // first character that is not white space
    std::size_t end = 0;
    std::size_t equals = std::string_view::npos;
    bool section = false;
    bool rootSection = false;  // [General]
    std::string key;           // of a value line

    // Where the physical line begins and where the line with its line break ends.
    std::size_t LineBegin(std::string_view text) const {
        std::size_t at = start;
        while (at > 0 && IsBlank(text[at - 1])) {
            --at;
        }
        return at;
    }
    std::size_t LineEnd(std::string_view text) const {
        std::size_t at = end;
        if (at < text.size() && text[at] == '\r') {
            ++at;
        }
        if (at < text.size() && text[at] == '\n') {
            ++at;
        }
        return at;
    }
};

bool NextLine(std::string_view data, std::size_t& pos, IniLine& line) {
    std::size_t lineStart = pos;
    while (lineStart < data.size() && IsSpace(data[lineStart])) {
        ++lineStart;
    }
    std::size_t equals = std::string_view::npos;
    bool inQuotes = false;
    std::size_t i = lineStart;
    while (i < data.size()) {
        const char ch = data[i];
        if (!IsSpecial(ch)) {
            ++i;
            continue;
        }
        ++i;
        if (ch == '=') {
            if (!inQuotes && equals == std::string_view::npos) {
                equals = i - 1;
            }
        } else if (ch == '\n' || ch == '\r') {
            if (!inQuotes) {
                --i;
                break;
            }
        } else if (ch == '\\') {
            if (i < data.size()) {
                const char escaped = data[i++];
                if (i < data.size()) {
                    const char after = data[i];
                    if ((escaped == '\n' && after == '\r') || (escaped == '\r' && after == '\n')) {
                        ++i;
                    }
                }
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else if (i == lineStart + 1) {  // a comment line
            while (i < data.size() && data[i] != '\n' && data[i] != '\r') {
                ++i;
            }
            while (i < data.size() && IsSpace(data[i])) {
                ++i;
            }
            lineStart = i;
        } else if (!inQuotes) {
            --i;
            break;
        }
    }
    pos = i;
    line = IniLine{};
    line.start = lineStart;
    line.end = i;
    line.equals = equals;
    if (lineStart >= i) {
        return false;
    }
    if (data[lineStart] == '[') {
        std::string_view name = data.substr(lineStart + 1, i - lineStart - 1);
        name = name.substr(0, name.find(']'));
        line.section = true;
        line.rootSection = EqualsNoCase(TrimBlanks(name), "general");
    } else if (equals != std::string_view::npos) {
        line.key = std::string(TrimBlanks(data.substr(lineStart, equals - lineStart)));
    }
    return true;
}

// Every logical line, each value line marked with whether it belongs to the root group
// (before any section, or in [General]).
struct ParsedIni {
    std::vector<IniLine> lines;
    std::vector<bool> inRoot;
};

ParsedIni Parse(std::string_view text) {
    ParsedIni parsed;
    bool root = true;
    std::size_t pos = 0;
    IniLine line;
    while (NextLine(text, pos, line)) {
        if (line.section) {
            root = line.rootSection;
        }
        parsed.inRoot.push_back(root);
        parsed.lines.push_back(std::move(line));
    }
    return parsed;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        cp = 0xFFFD;
    }
    char bytes[U8_MAX_LENGTH];
    std::size_t length = 0;
    U8_APPEND_UNSAFE(bytes, length, cp);
    out.append(bytes, length);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The escapes of one character: the letter after the backslash and the character meant.
struct CharEscape {
    char code;
    char meaning;
};
constexpr CharEscape kCharEscapes[] = {
    {'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'},
    {'t', '\t'}, {'v', '\v'}, {'"', '"'},  {'\\', '\\'},
};

// The character an escape letter stands for; 0 for none of them. "\?" and "\'" are read
// but never written.
char SimpleEscape(char code) {
    if (code == '?' || code == '\'') {
        return code;
    }
    for (const CharEscape& e : kCharEscapes) {
        if (e.code == code) {
            return e.meaning;
        }
    }
    return 0;
}

// The escape letter QSettings writes for a character; 0 when it writes none.
char EscapeCode(char c) {
    for (const CharEscape& e : kCharEscapes) {
        if (e.meaning == c) {
            return e.code;
        }
    }
    return 0;
}

void ChopTrailingBlanks(std::string& s, std::size_t limit) {
    while (s.size() > limit && IsBlank(s.back())) {
        s.pop_back();
    }
}

// The string, or the elements of a list when a comma stands outside quotes.
struct Unescaped {
    std::vector<std::string> items;
    bool isList = false;
};

// A numeric escape: hexadecimal after "\x", octal after "\<digit>"; as many digits as follow.
std::size_t NumericEscape(std::string_view raw, std::size_t i, int base, std::string& out) {
    char32_t value = 0;
    if (base == 8) {
        value = static_cast<char32_t>(raw[i++] - '0');
    }
    while (i < raw.size()) {
        const int digit = base == 16                         ? HexValue(raw[i])
                          : (raw[i] >= '0' && raw[i] <= '7') ? raw[i] - '0'
                                                             : -1;
        if (digit < 0) {
            break;
        }
        value = value * static_cast<char32_t>(base) + static_cast<char32_t>(digit);
        if (value > 0x10FFFF) {
            value = 0x110000;  // saturates; shown as the replacement character
        }
        ++i;
    }
    AppendUtf8(out, value);
    return i;
}

Unescaped UnescapeList(std::string_view raw) {
    Unescaped result;
    std::string current;
    bool inQuotes = false;
    bool currentQuoted = false;
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < raw.size() && IsBlank(raw[i])) {
            ++i;
        }
    };
    skipBlanks();
    std::size_t chopLimit = 0;
    while (i < raw.size()) {
        const char ch = raw[i];
        if (ch == '\\') {
            ++i;
            if (i >= raw.size()) {
                break;
            }
            const char code = raw[i++];
            if (const char simple = SimpleEscape(code); simple != 0) {
                current += simple;
            } else if (code == 'x') {
                if (i < raw.size() && HexValue(raw[i]) >= 0) {
                    i = NumericEscape(raw, i, 16, current);
                }
            } else if (code >= '0' && code <= '7') {
                i = NumericEscape(raw, i - 1, 8, current);
            } else if (code == '\n' || code == '\r') {
                if (i < raw.size() && (raw[i] == '\n' || raw[i] == '\r') && raw[i] != code) {
                    ++i;
                }
            }
            chopLimit = current.size();
        } else if (ch == '"') {
            ++i;
            currentQuoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipBlanks();
                chopLimit = current.size();
            }
        } else if (ch == ',' && !inQuotes) {
            if (!currentQuoted) {
                ChopTrailingBlanks(current, chopLimit);
            }
            result.isList = true;
            result.items.push_back(std::move(current));
            current.clear();
            currentQuoted = false;
            ++i;
            skipBlanks();
            chopLimit = 0;
        } else {
            std::size_t j = i + 1;
            while (j < raw.size() && raw[j] != '\\' && raw[j] != '"' && raw[j] != ',') {
                ++j;
            }
            current.append(raw.substr(i, j - i));
            i = j;
        }
    }
    if (!currentQuoted) {
        ChopTrailingBlanks(current, chopLimit);
    }
    result.items.push_back(std::move(current));
    return result;
}

// QSettings' type markers: "@@" stands for a text beginning with "@"; a byte array or a
// string is unwrapped; every other typed value reads as no string at all.
std::string StringOfVariantText(const std::string& s) {
    if (s.starts_with('@')) {
        if (s.ends_with(')')) {
            for (const std::string_view wrapper : {"@ByteArray(", "@String("}) {
                if (s.starts_with(wrapper)) {
                    return s.substr(wrapper.size(), s.size() - wrapper.size() - 1);
                }
            }
            for (const std::string_view other :
                 {"@Variant(", "@DateTime(", "@Rect(", "@Size(", "@Point("}) {
                if (s.starts_with(other)) {
                    return {};
                }
            }
            if (s == "@Invalid()") {
                return {};
            }
        }
        if (s.starts_with("@@")) {
            return s.substr(1);
        }
    }
    return s;
}

bool IsHexDigit(unsigned char c) {
    return HexValue(static_cast<char>(c)) >= 0;
}

std::string Hex(unsigned value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    do {
        out.insert(out.begin(), kDigits[value % 16]);
        value /= 16;
    } while (value != 0);
    return out;
}

std::string ReadWholeFile(const std::string& path, bool& exists) {
    std::ifstream in(path, std::ios::binary);
    exists = static_cast<bool>(in);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

std::string UnescapeIniValue(std::string_view raw) {
    const Unescaped value = UnescapeList(raw);
    // A list reads as a string only when it has exactly one element, which a comma outside
    // quotes never gives.
    if (value.isList) {
        return {};
    }
    return StringOfVariantText(value.items.front());
}

std::string EscapeIniValue(std::string_view value) {
    std::string text(value);
    if (text.find('\0') != std::string::npos) {
        text = "@String(" + text + ")";
    } else if (text.starts_with('@')) {
        text.insert(text.begin(), '@');
    }
    std::string out;
    bool needsQuotes = false;
    bool escapeNextIfHex = false;
    for (const char c : text) {
        const auto ch = static_cast<unsigned char>(c);
        if (ch == ';' || ch == ',' || ch == '=') {
            needsQuotes = true;
        }
        if (escapeNextIfHex && IsHexDigit(ch)) {
            out += "\\x" + Hex(ch);
            continue;
        }
        escapeNextIfHex = false;
        if (const char code = EscapeCode(c); code != 0) {
            out += '\\';
            out += code;
        } else if (ch == 0) {
            out += "\\0";
            escapeNextIfHex = true;
        } else if (ch <= 0x1F) {
            out += "\\x" + Hex(ch);
            escapeNextIfHex = true;
        } else {
            out += c;
        }
    }
    if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' '))) {
        out = '"' + out + '"';
    }
    return out;
}

std::map<std::string, std::string> ReadIniGeneralValues(const std::string& path) {
    bool exists = false;
    return IniGeneralValues(ReadWholeFile(path, exists));
}

std::map<std::string, std::string> IniGeneralValues(std::string_view text) {
    const ParsedIni parsed = Parse(text);
    std::map<std::string, std::string> values;
    for (std::size_t i = 0; i < parsed.lines.size(); ++i) {
        const IniLine& line = parsed.lines[i];
        if (parsed.inRoot[i] && !line.section && !line.key.empty()) {
            const std::string_view raw = text.substr(line.equals + 1, line.end - line.equals - 1);
            values[line.key] = UnescapeIniValue(raw);
        }
    }
    return values;
}

namespace {

// The line a new root value goes after: the last line before any section, else the last
// line of the first [General] section; nullopt when the file has neither.
std::optional<std::size_t> RootInsertionLine(const ParsedIni& parsed) {
    const std::vector<IniLine>& lines = parsed.lines;
    std::optional<std::size_t> after;
    for (std::size_t i = 0; i < lines.size() && !lines[i].section; ++i) {
        after = i;
    }
    if (after) {
        return after;
    }
    for (std::size_t header = 0; header < lines.size(); ++header) {
        if (lines[header].section && lines[header].rootSection) {
            after = header;
            for (std::size_t i = header + 1; i < lines.size() && !lines[i].section; ++i) {
                after = i;
            }
            break;
        }
    }
    return after;
}

std::string ApplyOne(std::string text, const std::string& key,
                     const std::optional<std::string>& value) {
    const ParsedIni parsed = Parse(text);
    std::vector<std::size_t> matches;
    for (std::size_t i = 0; i < parsed.lines.size(); ++i) {
        if (parsed.inRoot[i] && !parsed.lines[i].section && parsed.lines[i].key == key) {
            matches.push_back(i);
        }
    }
    const std::string newLine = value ? key + "=" + EscapeIniValue(*value) : std::string();
    // The last occurrence is the one readers see; it takes the new value, the others go.
    // From the end, so that earlier positions stay valid.
    for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
        const IniLine& line = parsed.lines[*it];
        if (value && it == matches.rbegin()) {
            text.replace(line.start, line.end - line.start, newLine);
        } else {
            const std::size_t begin = line.LineBegin(text);
            text.erase(begin, line.LineEnd(text) - begin);
        }
    }
    if (!value || !matches.empty()) {
        return text;
    }
    if (const auto after = RootInsertionLine(parsed)) {
        text.insert(parsed.lines[*after].end, "\n" + newLine);
        return text;
    }
    return "[General]\n" + newLine + "\n" + (text.empty() ? "" : "\n") + text;
}

}  // namespace

std::string ApplyIniChanges(std::string text, const IniChanges& changes) {
    for (const auto& [key, value] : changes) {
        text = ApplyOne(std::move(text), key, value);
    }
    return text;
}

namespace {

// Applies the changes chosen from the file's current text, all under the settings lock.
void UpdateIniFile(const std::string& path,
                   const std::function<IniChanges(const std::string& text)>& choose) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, error);
    }
    const SettingsFileLock lock(path + ".lock");
    bool exists = false;
    const std::string before = ReadWholeFile(path, exists);
    const std::string after = ApplyIniChanges(before, choose(before));
    if (exists && after == before) {
        return;
    }
    AtomicFile file(path);
    file.Write(after);
    file.Commit();
}

}  // namespace

void WriteIniGeneralValues(const std::string& path, const IniChanges& changes) {
    UpdateIniFile(path, [&changes](const std::string&) { return changes; });
}

std::vector<std::string> AddMissingIniGeneralValues(
    const std::string& path, const std::map<std::string, std::string>& values) {
    std::vector<std::string> added;
    UpdateIniFile(path, [&](const std::string& text) {
        const std::map<std::string, std::string> present = IniGeneralValues(text);
        IniChanges changes;
        added.clear();
        for (const auto& [key, value] : values) {
            if (!present.contains(key)) {
                changes.emplace_back(key, value);
                added.push_back(key);
            }
        }
        return changes;
    });
    return added;
}

}  // namespace tabellan
