#include "cardfile/file_settings.h"

#include <cstdint>
#include <cstdio>
#include <limits>

#include "cardfile/comma_text.h"
#include "cardfile/errors.h"
#include "cardfile/prompter.h"

namespace tabellan {

int WinMulDiv(int a, int b, int c) {
    if (c == 0) {
        return -1;
    }
    std::int64_t p = static_cast<std::int64_t>(a) * b;
    bool negative = (p < 0) != (c < 0);
    std::uint64_t up = p < 0 ? static_cast<std::uint64_t>(-p) : static_cast<std::uint64_t>(p);
    std::uint64_t uc = c < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(c))
                             : static_cast<std::uint64_t>(c);
    std::uint64_t q = (up + uc / 2) / uc;
    if (q > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) {
        return -1;
    }
    return negative ? -static_cast<int>(q) : static_cast<int>(q);
}

void FontSpec::SetHeight(int h, int pixelsPerInch) {
    height = h;
    size = -WinMulDiv(height, 72, pixelsPerInch);
}

void FontSpec::SetSize(int points, int pixelsPerInch) {
    SetHeight(-WinMulDiv(points, pixelsPerInch, 72), pixelsPerInch);
}

int SettingInt(std::string_view v, int defaultValue) {
    std::size_t i = 0;
    while (i < v.size() && v[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) {
        negative = v[i] == '-';
        ++i;
    }
    if (i >= v.size()) {
        return defaultValue;
    }
    if (v[i] == '$') {
        ++i;
        if (i >= v.size()) {
            return defaultValue;
        }
        std::uint64_t value = 0;
        for (; i < v.size(); ++i) {
            char c = v[i];
            int d;
            if (c >= '0' && c <= '9') {
                d = c - '0';
            } else if (c >= 'a' && c <= 'f') {
                d = c - 'a' + 10;
            } else if (c >= 'A' && c <= 'F') {
                d = c - 'A' + 10;
            } else {
                return defaultValue;
            }
            value = value * 16 + static_cast<std::uint64_t>(d);
            if (value > 0xFFFFFFFFull) {
                return defaultValue;
            }
        }
        std::uint32_t u = static_cast<std::uint32_t>(value);
        if (negative) {
            u = 0u - u;
        }
        return static_cast<int>(static_cast<std::int32_t>(u));
    }
    std::int64_t value = 0;
    for (; i < v.size(); ++i) {
        char c = v[i];
        if (c < '0' || c > '9') {
            return defaultValue;
        }
        value = value * 10 + (c - '0');
        if (value > 2147483648LL) {
            return defaultValue;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) {
        return defaultValue;
    }
    return static_cast<int>(value);
}

bool SettingFlag(std::string_view value, bool defaultValue) {
    return SettingInt(value, defaultValue ? 1 : 0) == 1;
}

std::string SettingValue(const std::vector<std::string>& list, std::string_view key) {
    for (const std::string& entry : list) {
        std::size_t eq = entry.find('=');
        if (eq == std::string::npos || eq != key.size()) {
            continue;
        }
        bool same = true;
        for (std::size_t i = 0; i < eq && same; ++i) {
            char a = entry[i], b = key[i];
            if (a >= 'A' && a <= 'Z')
                a = static_cast<char>(a - 'A' + 'a');
            if (b >= 'A' && b <= 'Z')
                b = static_cast<char>(b - 'A' + 'a');
            same = a == b;
        }
        if (same) {
            return entry.substr(eq + 1);
        }
    }
    return {};
}

namespace {

std::string Flag(bool b) {
    return b ? "1" : "0";
}

std::string Hex8(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(v));
    return buf;
}

}  // namespace

std::vector<std::string> BuildFileSettings(const FileSettings& s) {
    std::vector<std::string> l;
    l.reserve(40);
    l.push_back(std::string("Version=") + kProgramVersion);
    l.push_back("Password=" + s.password);
    l.push_back("CardSeparator=" + std::to_string(s.cardSeparator));
    for (std::size_t n = 0; n < s.quickSearch.size(); ++n) {
        if (!s.quickSearch[n].empty()) {
            l.push_back("SS" + std::to_string(n + 1) + "=" + s.quickSearch[n]);
        }
    }
    l.push_back("WindowState=" + std::to_string(s.windowState));
    l.push_back("ClientHeight=" + std::to_string(s.clientHeight));
    l.push_back("ClientWidth=" + std::to_string(s.clientWidth));
    l.push_back("Top=" + std::to_string(s.top));
    l.push_back("Left=" + std::to_string(s.left));
    l.push_back("CardWidth=" + std::to_string(s.cardWidth));
    l.push_back("CompressionLevel=" + std::to_string(s.compressionLevel));
    l.push_back("IndexListAtRight=" + Flag(s.indexListAtRight));
    l.push_back("SavePeriod=" + std::to_string(s.savePeriodMinutes));
    l.push_back("WordWrap=" + Flag(s.wordWrap));
    l.push_back("IndentSpaces=" + std::to_string(s.indentSpaces));
    l.push_back("FontCharset=" + std::to_string(s.font.charset));
    l.push_back("FontColor=$" + Hex8(s.font.color));
    l.push_back("FontHeight=" + std::to_string(s.font.height));
    l.push_back("FontName=" + s.font.name);
    l.push_back("FontPitch=" + std::to_string(s.font.pitch));
    l.push_back("FontSize=" + std::to_string(s.font.size));
    l.push_back("FontStyleBold=" + Flag(s.font.bold));
    l.push_back("FontStyleItalic=" + Flag(s.font.italic));
    l.push_back("FontStyleUnderline=" + Flag(s.font.underline));
    l.push_back("FontStyleStrikeOut=" + Flag(s.font.strikeOut));
    l.push_back("Modified=" + Flag(s.modified));
    l.push_back("AltCardFileName=" + s.altCardFileName);
    l.push_back("AutodialIgnChars=!" + s.autodialIgnChars);
    l.push_back("AutodialSepChars=!" + s.autodialSepChars);
    l.push_back("CommandExec=" + Flag(s.commandExec));
    if (s.cardEdited) {
        l.push_back("CardMemo=" + ToCommaText(s.cardMemo));
        l.push_back("CurrentIndex=" + std::to_string(s.currentIndex));
    }
    return l;
}

FileSettings ApplyFileSettings(const std::vector<std::string>& list,
                               const std::string& currentPassword, const SettingsContext& ctx,
                               Prompter& prompter) {
    auto value = [&](std::string_view key) { return SettingValue(list, key); };
    auto integer = [&](std::string_view key, int def) { return SettingInt(value(key), def); };
    auto flag = [&](std::string_view key, bool def) { return SettingFlag(value(key), def); };

    // 1. Version (compared as byte strings; a missing version compares lower).
    std::string version = value("Version");
    if (version > std::string(kProgramVersion)) {
        prompter.Show(MsgKind::Warning,
                      "Version of data file is " + version + ", which is above the version (" +
                          kProgramVersion + ") of this program.",
                      Buttons::Ok);
    }
    // 2. Password.
    if (value("Password") != currentPassword) {
        throw EWrongPassword("Wrong Password!");
    }
    FileSettings s;
    s.password = currentPassword;
    // 3.
    s.cardSeparator = integer("CardSeparator", 12) & 0xFF;
    // 4.
    for (std::size_t n = 0; n < s.quickSearch.size(); ++n) {
        s.quickSearch[n] = value("SS" + std::to_string(n + 1));
    }
    // 5. - 9.
    s.indexListAtRight = flag("IndexListAtRight", true);
    s.clientHeight = integer("ClientHeight", 360);
    s.clientWidth = integer("ClientWidth", 680);
    s.top = integer("Top", 120);
    if (s.top >= ctx.screenHeight - 100 || s.top < -100) {
        s.top = 120;
    }
    s.left = integer("Left", 200);
    if (s.left >= ctx.screenWidth - 50 || s.left < -50) {
        s.left = 200;
    }
    s.windowState = integer("WindowState", 0);
    // Widened: a file may hold any ClientWidth, and the product must not overflow.
    s.cardWidth = integer("CardWidth",
                          static_cast<int>((static_cast<long long>(s.clientWidth) - 29) * 8 / 13));
    // 10. - 16.
    s.savePeriodMinutes = integer("SavePeriod", 10);
    s.wordWrap = flag("WordWrap", false);
    int indent = integer("IndentSpaces", 0);
    s.indentSpaces = indent < 0 ? 0 : (indent > 80 ? 80 : indent);
    s.altCardFileName = value("AltCardFileName");
    s.compressionLevel = integer("CompressionLevel", 0) & 0xFF;
    if (s.compressionLevel > 3) {
        s.compressionLevel = 3;  // only an edited file has more; taken as the highest level
    }
    std::string ign = value("AutodialIgnChars");
    s.autodialIgnChars = ign.empty() ? std::string(" ") : ign.substr(1);
    std::string sep = value("AutodialSepChars");
    s.autodialSepChars = sep.empty() ? std::string("()") : sep.substr(1);
    s.commandExec = flag("CommandExec", true);
    // 17. Font.
    const FontSpec& def = ctx.defaultFont;
    FontSpec f = def;
    f.charset = integer("FontCharset", def.charset) & 0xFF;
    f.color = static_cast<std::uint32_t>(integer("FontColor", static_cast<int>(def.color)));
    f.SetHeight(integer("FontHeight", def.height), ctx.pixelsPerInch);
    std::string name = value("FontName");
    if (!name.empty()) {
        f.name = name;
    }
    int pitch = integer("FontPitch", def.pitch);
    f.pitch = (pitch >= 0 && pitch <= 2) ? pitch : def.pitch;
    f.SetSize(integer("FontSize", def.size), ctx.pixelsPerInch);
    auto style = [&](std::string_view key, bool d) {
        return (integer(key, d ? 1 : 0) & 0xFF) != 0;
    };
    f.bold = style("FontStyleBold", def.bold);
    f.italic = style("FontStyleItalic", def.italic);
    f.underline = style("FontStyleUnderline", def.underline);
    f.strikeOut = style("FontStyleStrikeOut", def.strikeOut);
    s.font = f;
    // 18. - 20.
    s.modified = flag("Modified", false);
    s.cardMemo = FromCommaText(value("CardMemo"));
    s.cardEdited = !s.cardMemo.empty();
    s.currentIndex = integer("CurrentIndex", -1);
    return s;
}

void ResetFileSettingsForClear(FileSettings& s, const FontSpec& defaultFont) {
    s.modified = false;
    s.password.clear();
    s.compressionLevel = 0;
    s.savePeriodMinutes = 10;
    s.altCardFileName.clear();
    s.font = defaultFont;
    s.wordWrap = false;
    s.cardSeparator = 12;
    s.indentSpaces = 0;
    s.indexListAtRight = true;
    s.autodialIgnChars = " ";
    s.autodialSepChars = "()";
    s.commandExec = true;
    s.cardEdited = false;
    s.cardMemo.clear();
    s.currentIndex = -1;
}

}  // namespace tabellan
