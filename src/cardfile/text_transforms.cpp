#include "cardfile/text_transforms.h"

#include "cardfile/cipher.h"
#include "cardfile/prompter.h"

namespace tabellan {
namespace {

ByteTable Identity() {
    ByteTable t{};
    for (int b = 0; b < 256; ++b) {
        t[b] = static_cast<unsigned char>(b);
    }
    return t;
}

void MapRange(ByteTable& t, int from, int to, int target) {
    for (int b = from; b <= to; ++b) {
        t[b] = static_cast<unsigned char>(target + (b - from));
    }
}

ByteTable BuildUpper(bool turkish) {
    ByteTable t = Identity();
    MapRange(t, 0x61, 0x7A, 0x41);
    MapRange(t, 0xE0, 0xF6, 0xC0);
    MapRange(t, 0xF8, 0xFE, 0xD8);
    t[0x9A] = 0x8A;
    t[0x9C] = 0x8C;
    t[0x9E] = 0x8E;
    t[0xFF] = 0x9F;
    if (turkish) {
        t[0xFD] = 0x49;  // dotless i -> I
        t[0x69] = 0xDD;  // i -> capital I with dot
    }
    return t;
}

ByteTable BuildLower(bool turkish) {
    ByteTable t = Identity();
    MapRange(t, 0x41, 0x5A, 0x61);
    MapRange(t, 0xC0, 0xD6, 0xE0);
    MapRange(t, 0xD8, 0xDE, 0xF8);
    t[0x8A] = 0x9A;
    t[0x8C] = 0x9C;
    t[0x8E] = 0x9E;
    t[0x9F] = 0xFF;
    if (turkish) {
        t[0x49] = 0xFD;
        t[0xDD] = 0x69;
    }
    return t;
}

// The sources of the upper and lower tables are disjoint, so toggling takes whichever moves.
ByteTable BuildToggle(bool turkish) {
    const ByteTable up = BuildUpper(turkish);
    const ByteTable low = BuildLower(turkish);
    ByteTable t = Identity();
    for (int b = 0; b < 256; ++b) {
        if (up[b] != b) {
            t[b] = up[b];
        } else if (low[b] != b) {
            t[b] = low[b];
        }
    }
    return t;
}

using AsciiTable = std::array<unsigned char, 128>;

constexpr AsciiTable kAsciiOther = {
    0x43, 0x20, 0x2C, 0x66, 0x22, 0x2E, 0x74, 0x74, 0x5E, 0x2F, 0x53, 0x3C, 0x45, 0x20, 0x5A, 0x20,
    0x20, 0x27, 0x27, 0x22, 0x22, 0x2E, 0x2D, 0x2D, 0x7E, 0x54, 0x73, 0x3E, 0x65, 0x20, 0x7A, 0x59,
    0x20, 0x21, 0x63, 0x4C, 0x2A, 0x59, 0x7C, 0x53, 0x22, 0x43, 0x61, 0x3C, 0x2D, 0x2D, 0x52, 0x2D,
    0x6F, 0x2B, 0x32, 0x33, 0x27, 0x75, 0x70, 0x2E, 0x2C, 0x31, 0x30, 0x3E, 0x31, 0x31, 0x33, 0x3F,
    0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x45, 0x43, 0x45, 0x45, 0x45, 0x45, 0x49, 0x49, 0x49, 0x49,
    0x44, 0x4E, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x58, 0x4F, 0x55, 0x55, 0x55, 0x55, 0x59, 0x50, 0x73,
    0x61, 0x61, 0x61, 0x61, 0x61, 0x61, 0x65, 0x63, 0x65, 0x65, 0x65, 0x65, 0x69, 0x69, 0x69, 0x69,
    0x64, 0x6E, 0x6F, 0x6F, 0x6F, 0x6F, 0x6F, 0x3A, 0x6F, 0x75, 0x75, 0x75, 0x75, 0x79, 0x70, 0x79};

// The Turkish table differs in the letters the Turkish code page puts at those bytes.
AsciiTable BuildAsciiTurkish() {
    AsciiTable t = kAsciiOther;
    t[0x8E - 0x80] = 0x20;
    t[0x9E - 0x80] = 0x20;
    t[0xD0 - 0x80] = 0x47;  // G with breve
    t[0xF0 - 0x80] = 0x67;
    t[0xDD - 0x80] = 0x49;  // I with dot
    t[0xFD - 0x80] = 0x69;  // dotless i
    t[0xDE - 0x80] = 0x53;  // S with cedilla
    t[0xFE - 0x80] = 0x73;
    return t;
}

bool IsTurkish(int fontScript) {
    return fontScript == kTurkishFontScript;
}

std::string MapBytes(std::string_view text, const ByteTable& table) {
    std::string out(text);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (b != 0) {
            c = static_cast<char>(table[b]);
        }
    }
    return out;
}

// Raises the first lower-case letter after anything that is not a lower-case letter.
void CapitalizeWords(std::string& text, const ByteTable& upper) {
    bool wordStart = true;
    for (char& c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0) {
            continue;
        }
        if (upper[b] == b) {
            wordStart = true;
        } else if (wordStart) {
            c = static_cast<char>(upper[b]);
            wordStart = false;
        }
    }
}

}  // namespace

const ByteTable& UpperCaseTable(int fontScript) {
    static const ByteTable general = BuildUpper(false);
    static const ByteTable turkish = BuildUpper(true);
    return IsTurkish(fontScript) ? turkish : general;
}

const ByteTable& LowerCaseTable(int fontScript) {
    static const ByteTable general = BuildLower(false);
    static const ByteTable turkish = BuildLower(true);
    return IsTurkish(fontScript) ? turkish : general;
}

const ByteTable& ToggleCaseTable(int fontScript) {
    static const ByteTable general = BuildToggle(false);
    static const ByteTable turkish = BuildToggle(true);
    return IsTurkish(fontScript) ? turkish : general;
}

const std::array<unsigned char, 128>& TransliterationTable(int fontScript) {
    static const AsciiTable turkish = BuildAsciiTurkish();
    return IsTurkish(fontScript) ? turkish : kAsciiOther;
}

bool CheckFontScript(int fontScript, Prompter& prompter) {
    if (fontScript != kDefaultFontScript) {
        return true;
    }
    prompter.Show(MsgKind::Error,
                  "Please, select/verify your Font Script in File | Setup... before using this "
                  "command!",
                  Buttons::OkHelp, 150);
    return false;
}

std::string ChangeCase(std::string_view text, CaseMode mode, int fontScript) {
    switch (mode) {
        case CaseMode::Upper:
            return MapBytes(text, UpperCaseTable(fontScript));
        case CaseMode::Toggle:
            return MapBytes(text, ToggleCaseTable(fontScript));
        case CaseMode::Lower:
            return MapBytes(text, LowerCaseTable(fontScript));
        case CaseMode::Capitalize: {
            std::string out = MapBytes(text, LowerCaseTable(fontScript));
            CapitalizeWords(out, UpperCaseTable(fontScript));
            return out;
        }
    }
    return std::string(text);
}

std::string TransliterateToAscii(std::string_view text, int fontScript) {
    const auto& table = TransliterationTable(fontScript);
    std::string out(text);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80) {
            c = static_cast<char>(table[b - 0x80]);
        }
    }
    return out;
}

std::string RandomString(SharedRandom& rng) {
    if (rng.reseedPending) {
        rng.Randomize();
        rng.reseedPending = false;
    }
    std::string out;
    for (int i = 0; i < 10; ++i) {
        out += static_cast<char>(33 + rng.Random(94));
    }
    return out;
}

}  // namespace tabellan
