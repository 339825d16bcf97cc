#include "cardfile/password_text.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace tabellan {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    char buf[4];
    std::int32_t length = 0;
    UBool error = false;
    U8_APPEND(reinterpret_cast<std::uint8_t*>(buf), length, 4, static_cast<UChar32>(c), error);
    if (!error) {
        out.append(buf, static_cast<std::size_t>(length));
    }
}

// The characters of the text, an unpaired surrogate or a broken UTF-8 sequence as U+FFFD.
std::u32string FromUtf16(std::u16string_view text) {
    std::u32string out;
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U16_NEXT(text.data(), i, length, c);
        out.push_back(U_IS_SURROGATE(c) ? U'\uFFFD' : static_cast<char32_t>(c));
    }
    return out;
}

std::u32string FromUtf8(std::string_view text) {
    std::u32string out;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        out.push_back(c < 0 ? U'\uFFFD' : static_cast<char32_t>(c));
    }
    return out;
}

void AppendCodePoint(std::string& out, char32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
    out += buf;
}

std::optional<std::string> Problem(const std::u32string& password, CodePage cp,
                                   CharacterNaming naming) {
    const CodePageTable& table = GetCodePageTable(cp);
    std::vector<char32_t> missing;
    for (char32_t c : password) {
        const bool storable = c != U'\uFFFD' && table.ByteOf(c) >= 0;
        if (!storable && std::find(missing.begin(), missing.end(), c) == missing.end()) {
            missing.push_back(c);
        }
    }
    if (missing.empty()) {
        return std::nullopt;
    }
    std::string message = "The password contains characters that this file's character set (" +
                          std::string(CodePageName(cp)) + ") cannot hold:";
    for (char32_t c : missing) {
        message += ' ';
        if (naming == CharacterNaming::Utf8) {
            AppendUtf8(message, c);
        } else {
            AppendCodePoint(message, c);
        }
    }
    return message + ". Choose a password without them.";
}

std::string ToCodePage(const std::u32string& password, CodePage cp, CharacterNaming naming) {
    if (std::optional<std::string> problem = Problem(password, cp, naming)) {
        throw EPasswordCharacters(*problem);
    }
    const CodePageTable& table = GetCodePageTable(cp);
    std::string out;
    for (char32_t c : password) {
        out.push_back(static_cast<char>(table.ByteOf(c)));
    }
    return out;
}

}  // namespace

std::optional<std::string> PasswordCharactersProblem(std::u16string_view password, CodePage cp,
                                                     CharacterNaming naming) {
    return Problem(FromUtf16(password), cp, naming);
}

std::optional<std::string> PasswordCharactersProblem(std::string_view utf8Password, CodePage cp) {
    return Problem(FromUtf8(utf8Password), cp, CharacterNaming::Utf8);
}

std::string PasswordToCodePage(std::u16string_view password, CodePage cp, CharacterNaming naming) {
    return ToCodePage(FromUtf16(password), cp, naming);
}

std::string PasswordToCodePage(std::string_view utf8Password, CodePage cp) {
    return ToCodePage(FromUtf8(utf8Password), cp, CharacterNaming::Utf8);
}

}  // namespace tabellan
