#pragma once
// Card text is bytes in a Windows ANSI code page. These conversions are for display,
// the UTF-8 export and the command-line tool; every byte 1..255 round-trips.
//
// The tables come from ICU's converters (ucnv). Bytes a code page leaves undefined map to
// the code point of the same number (U+0080..U+00FF: C1 controls or the Latin-1 character)
// when the code page does not use that code point otherwise, and to U+F000 + byte when it
// does, so every byte has its own character and comes back unchanged.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tabellan {

enum class CodePage {
    Windows1250,  // Eastern European (font script 238)
    Windows1251,  // Cyrillic (204)
    Windows1252,  // Western (0, 1 and anything unknown)
    Windows1253,  // Greek (161)
    Windows1254,  // Turkish (162)
    Windows1255,  // Hebrew (177)
    Windows1256,  // Arabic (178)
    Windows1257,  // Baltic (186)
    Windows874,   // Thai (222)
};

// The code page of a font script (character-set number), Windows-1252 by default.
CodePage CodePageForCharset(int charset);
const char* CodePageName(CodePage cp);  // "windows-1252", ...

std::string AnsiToUtf8(std::string_view ansi, CodePage cp = CodePage::Windows1252);
// Characters the code page lacks become '?'.
std::string Utf8ToAnsi(std::string_view utf8, CodePage cp = CodePage::Windows1252);
// UTF-16 forms for the Qt layer (char16_t code units).
std::u16string AnsiToUtf16(std::string_view ansi, CodePage cp = CodePage::Windows1252);
std::string Utf16ToAnsi(std::u16string_view text, CodePage cp = CodePage::Windows1252);

// Messages mix texts of two kinds: card text in the code page and file names, which are
// UTF-8 on this system. A message that is well-formed UTF-8 and has at least one
// multi-byte character is taken as UTF-8 (card text in a code page practically never is);
// anything else is code-page text.
bool HoldsUtf8Characters(std::string_view text);
std::u16string MessageToUtf16(std::string_view text, CodePage cp = CodePage::Windows1252);

// Lower-case mapping of the code page's letters, byte for byte (length is kept).
std::string AnsiLower(std::string_view ansi, CodePage cp = CodePage::Windows1252);

// The per-code-page tables behind the functions above (built once, then shared; safe to
// use from several threads).
struct CodePageTable {
    std::array<char16_t, 256> toUnicode{};   // byte -> its character (all in the BMP)
    std::array<char16_t, 256> foldCase{};    // simple Unicode case folding of that character
    std::array<unsigned char, 256> lower{};  // AnsiLower byte mapping
    std::array<unsigned char, 65536> fromUnicode{};  // candidate byte; valid when toUnicode agrees

    // The byte of a character, or -1 when the code page has none.
    int ByteOf(char32_t c) const {
        if (c > 0xFFFF) {
            return -1;
        }
        unsigned char b = fromUnicode[c];
        return toUnicode[b] == c ? b : -1;
    }
};
const CodePageTable& GetCodePageTable(CodePage cp);

// Appends the UTF-16 form of ansi to out (no clearing).
void AppendAnsiAsUtf16(std::string_view ansi, const CodePageTable& table, std::u16string& out);

}  // namespace tabellan
