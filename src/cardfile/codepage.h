#pragma once
// Card text is bytes in a Windows ANSI code page. These conversions are for display,
// the UTF-8 export and the command-line tool; every byte 1..255 round-trips.
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

// Lower-case mapping of the code page's letters, byte for byte (length is kept).
std::string AnsiLower(std::string_view ansi, CodePage cp = CodePage::Windows1252);

}  // namespace tabellan
