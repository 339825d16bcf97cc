#include "cardfile/codepage.h"

#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <memory>
#include <mutex>

namespace tabellan {

namespace {

constexpr int kCodePageCount = 9;

int Ordinal(CodePage cp) {
    int i = static_cast<int>(cp);
    return (i >= 0 && i < kCodePageCount) ? i : static_cast<int>(CodePage::Windows1252);
}

std::unique_ptr<CodePageTable> BuildTable(CodePage cp) {
    auto t = std::make_unique<CodePageTable>();
    bool defined[256] = {};
    bool used[65536] = {};
    UErrorCode status = U_ZERO_ERROR;
    UConverter* conv = ucnv_open(CodePageName(cp), &status);
    if (conv != nullptr && U_SUCCESS(status)) {
        status = U_ZERO_ERROR;
        ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        for (int b = 0; b < 256; ++b) {
            char in[1] = {static_cast<char>(b)};
            UChar out[4];
            status = U_ZERO_ERROR;
            ucnv_resetToUnicode(conv);
            int32_t n = ucnv_toUChars(conv, out, 4, in, 1, &status);
            if (U_SUCCESS(status) && n == 1 && out[0] != 0xFFFD && !U16_IS_SURROGATE(out[0]) &&
                !used[out[0]] && (b == 0 || out[0] != 0)) {
                t->toUnicode[b] = out[0];
                used[out[0]] = true;
                defined[b] = true;
            }
        }
    }
    if (conv != nullptr) {
        ucnv_close(conv);
    }
    // Holes: the code point of the same number, or a private-use one when that is taken.
    for (int b = 0; b < 256; ++b) {
        if (!defined[b]) {
            char16_t c = static_cast<char16_t>(b);
            if (used[c]) {
                c = static_cast<char16_t>(0xF000 + b);
            }
            t->toUnicode[b] = c;
            used[c] = true;
        }
    }
    for (int b = 255; b >= 0; --b) {
        t->fromUnicode[t->toUnicode[b]] = static_cast<unsigned char>(b);
    }
    for (int b = 0; b < 256; ++b) {
        char16_t c = t->toUnicode[b];
        UChar32 f = u_foldCase(c, U_FOLD_CASE_DEFAULT);
        t->foldCase[b] = (f <= 0xFFFF) ? static_cast<char16_t>(f) : c;
        UChar32 l = u_tolower(c);
        int lb = (l != c) ? t->ByteOf(static_cast<char32_t>(l)) : -1;
        t->lower[b] = static_cast<unsigned char>(lb >= 0 ? lb : b);
    }
    return t;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

const CodePageTable& GetCodePageTable(CodePage cp) {
    static std::once_flag flags[kCodePageCount];
    static std::unique_ptr<CodePageTable> tables[kCodePageCount];
    int i = Ordinal(cp);
    std::call_once(flags[i], [i] { tables[i] = BuildTable(static_cast<CodePage>(i)); });
    return *tables[i];
}

CodePage CodePageForCharset(int charset) {
    switch (charset) {
        case 238:
            return CodePage::Windows1250;
        case 204:
            return CodePage::Windows1251;
        case 161:
            return CodePage::Windows1253;
        case 162:
            return CodePage::Windows1254;
        case 177:
            return CodePage::Windows1255;
        case 178:
            return CodePage::Windows1256;
        case 186:
            return CodePage::Windows1257;
        case 222:
            return CodePage::Windows874;
        default:
            return CodePage::Windows1252;
    }
}

const char* CodePageName(CodePage cp) {
    switch (cp) {
        case CodePage::Windows1250:
            return "windows-1250";
        case CodePage::Windows1251:
            return "windows-1251";
        case CodePage::Windows1252:
            return "windows-1252";
        case CodePage::Windows1253:
            return "windows-1253";
        case CodePage::Windows1254:
            return "windows-1254";
        case CodePage::Windows1255:
            return "windows-1255";
        case CodePage::Windows1256:
            return "windows-1256";
        case CodePage::Windows1257:
            return "windows-1257";
        case CodePage::Windows874:
            return "windows-874";
    }
    return "windows-1252";
}

void AppendAnsiAsUtf16(std::string_view ansi, const CodePageTable& table, std::u16string& out) {
    std::size_t base = out.size();
    out.resize(base + ansi.size());
    char16_t* p = out.data() + base;
    for (unsigned char b : ansi) {
        *p++ = table.toUnicode[b];
    }
}

std::string AnsiToUtf8(std::string_view ansi, CodePage cp) {
    const CodePageTable& t = GetCodePageTable(cp);
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 4);
    for (unsigned char b : ansi) {
        AppendUtf8(out, t.toUnicode[b]);
    }
    return out;
}

std::string Utf8ToAnsi(std::string_view utf8, CodePage cp) {
    const CodePageTable& t = GetCodePageTable(cp);
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    const std::size_t n = utf8.size();
    auto cont = [&](std::size_t k) {
        return k < n && (static_cast<unsigned char>(utf8[k]) & 0xC0) == 0x80;
    };
    while (i < n) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        char32_t c = 0;
        std::size_t len = 0;
        if (b < 0x80) {
            c = b;
            len = 1;
        } else if (b >= 0xC2 && b <= 0xDF && cont(i + 1)) {
            c = ((b & 0x1Fu) << 6) | (utf8[i + 1] & 0x3F);
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF && cont(i + 1) && cont(i + 2)) {
            c = ((b & 0x0Fu) << 12) | ((utf8[i + 1] & 0x3Fu) << 6) | (utf8[i + 2] & 0x3F);
            len = 3;
            if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)) {
                c = 0xFFFD;
            }
        } else if (b >= 0xF0 && b <= 0xF4 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
            c = ((b & 0x07u) << 18) | ((utf8[i + 1] & 0x3Fu) << 12) | ((utf8[i + 2] & 0x3Fu) << 6) |
                (utf8[i + 3] & 0x3F);
            len = 4;
            if (c < 0x10000 || c > 0x10FFFF) {
                c = 0xFFFD;
            }
        } else {
            // An invalid or truncated sequence: one '?' for the offending byte.
            c = 0xFFFD;
            len = 1;
        }
        int mapped = (c == 0xFFFD) ? -1 : t.ByteOf(c);
        out.push_back(mapped >= 0 ? static_cast<char>(mapped) : '?');
        i += len;
    }
    return out;
}

bool HoldsUtf8Characters(std::string_view text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    bool multiByte = false;
    for (std::int32_t i = 0; i < length;) {
        const std::int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) {
            return false;
        }
        multiByte = multiByte || i - start > 1;
    }
    return multiByte;
}

std::u16string MessageToUtf16(std::string_view text, CodePage cp) {
    if (!HoldsUtf8Characters(text)) {
        return AnsiToUtf16(text, cp);
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::u16string out;
    out.reserve(text.size());
    for (std::int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (U_IS_BMP(c)) {
            out.push_back(static_cast<char16_t>(c));
        } else {
            out.push_back(static_cast<char16_t>(U16_LEAD(c)));
            out.push_back(static_cast<char16_t>(U16_TRAIL(c)));
        }
    }
    return out;
}

std::u16string AnsiToUtf16(std::string_view ansi, CodePage cp) {
    std::u16string out;
    AppendAnsiAsUtf16(ansi, GetCodePageTable(cp), out);
    return out;
}

std::string Utf16ToAnsi(std::u16string_view text, CodePage cp) {
    const CodePageTable& t = GetCodePageTable(cp);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (U16_IS_LEAD(c) && i + 1 < text.size() && U16_IS_TRAIL(text[i + 1])) {
            ++i;  // a supplementary character: no single-byte code page has it
            out.push_back('?');
            continue;
        }
        int b = U16_IS_SURROGATE(c) ? -1 : t.ByteOf(c);
        out.push_back(b >= 0 ? static_cast<char>(b) : '?');
    }
    return out;
}

std::string AnsiLower(std::string_view ansi, CodePage cp) {
    const CodePageTable& t = GetCodePageTable(cp);
    std::string out(ansi);
    for (char& ch : out) {
        ch = static_cast<char>(t.lower[static_cast<unsigned char>(ch)]);
    }
    return out;
}

}  // namespace tabellan
