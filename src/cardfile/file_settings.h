#pragma once
// The settings that travel inside a card file's header line.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tabellan_version.h"

namespace tabellan {

class Prompter;

// The version a header records and the highest one this program reads.
inline constexpr const char* kProgramVersion = kFileFormatVersion;

// The editor font as plain values; the desktop program maps it onto a real font.
struct FontSpec {
    int charset = 1;                    // font script
    std::uint32_t color = 0x80000008u;  // window text (a system colour value)
    int height = -12;                   // negative: character height in pixels
    std::string name = "Fixedsys";
    int pitch = 0;  // 0 default, 1 variable, 2 fixed
    int size = 9;   // points; kept in step with height through the screen's dots per inch
    bool bold = false, italic = false, underline = false, strikeOut = false;

    // Height and size stay in step like a Windows font's: the height is what is kept, and
    // size = -MulDiv(height, 72, pixelsPerInch); SetSize sets height = -MulDiv(points,
    // pixelsPerInch, 72) and then the size from that height.
    void SetHeight(int h, int pixelsPerInch);
    void SetSize(int points, int pixelsPerInch);
    bool operator==(const FontSpec&) const = default;
};

struct FileSettings {
    std::string password;
    int cardSeparator = 12;                  // character code 0..255
    std::array<std::string, 9> quickSearch;  // SS1..SS9
    bool indexListAtRight = true;
    int clientHeight = 360;
    int clientWidth = 680;
    int top = 120;
    int left = 200;
    int windowState = 0;  // 0 normal, 1 minimised, 2 maximised
    int cardWidth = (680 - 29) * 8 / 13;
    int compressionLevel = 0;    // 0..3
    int savePeriodMinutes = 10;  // 0: autosave off
    bool wordWrap = false;
    int indentSpaces = 0;  // 0..80
    std::string altCardFileName;
    std::string autodialIgnChars = " ";
    std::string autodialSepChars = "()";
    bool commandExec = true;
    FontSpec font;
    bool modified = false;
    // An uncommitted editor text: written while cardEdited, restored from CardMemo.
    bool cardEdited = false;
    std::vector<std::string> cardMemo;
    int currentIndex = -1;

    std::string Indent() const { return std::string(static_cast<std::size_t>(indentSpaces), ' '); }
};

// What ApplyFileSettings needs from the surroundings.
struct SettingsContext {
    int screenWidth = 1024;
    int screenHeight = 768;
    int pixelsPerInch = 96;
    FontSpec defaultFont;  // the editor font at program start
};

// The header's key=value list in the writer's order.
std::vector<std::string> BuildFileSettings(const FileSettings& s);

// Applies a header list over the defaults. Warns through the prompter about a newer version;
// throws EWrongPassword ("Wrong Password!") when the stored password differs from
// currentPassword. The result's password is currentPassword.
FileSettings ApplyFileSettings(const std::vector<std::string>& list,
                               const std::string& currentPassword, const SettingsContext& ctx,
                               Prompter& prompter);

// Resets what clearing the card set resets; placement, card width, window state and the
// quick search items keep their values.
void ResetFileSettingsForClear(FileSettings& s, const FontSpec& defaultFont);

// The value of the first entry whose key matches (letter case ignored); empty when missing.
std::string SettingValue(const std::vector<std::string>& list, std::string_view key);
// Integer reading with a default, as Delphi's StrToIntDef: leading spaces, an optional sign,
// then decimal digits or "$" and hexadecimal digits (at most 32 bits, so "$80000008" is
// negative); nothing may follow. Anything else, or a decimal out of the 32-bit range, gives
// the default.
int SettingInt(std::string_view value, int defaultValue);
// A flag: set only when the value reads as the integer 1; the default when unreadable.
bool SettingFlag(std::string_view value, bool defaultValue);

// Windows MulDiv: a * b / c rounded to the nearest integer (halves away from zero);
// -1 when c is 0 or the result does not fit 32 bits.
int WinMulDiv(int a, int b, int c);

}  // namespace tabellan
