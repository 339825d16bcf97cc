#pragma once
// Byte-for-byte text tools of the Edit menu: Change Case, Copy ASCII and the random string.
// They use tables of their own, not the locale's case functions, because stored files were
// made with exactly these mappings.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tabellan {

class Prompter;
class SharedRandom;

inline constexpr int kDefaultFontScript = 1;
inline constexpr int kTurkishFontScript = 162;

enum class CaseMode { Lower, Upper, Toggle, Capitalize };

using ByteTable = std::array<unsigned char, 256>;

const ByteTable& UpperCaseTable(int fontScript);
const ByteTable& LowerCaseTable(int fontScript);
const ByteTable& ToggleCaseTable(int fontScript);
// The ASCII replacements for bytes 0x80..0xFF.
const std::array<unsigned char, 128>& TransliterationTable(int fontScript);

// Refuses (with the message box) while the editor font still has the default script.
bool CheckFontScript(int fontScript, Prompter& prompter);

// The new text for the selection; the length never changes, bytes 0 are kept.
std::string ChangeCase(std::string_view text, CaseMode mode, int fontScript);
// Every byte of 0x80 or above becomes its ASCII replacement.
std::string TransliterateToAscii(std::string_view text, int fontScript);
// Ten printable characters (codes 33..126) from the shared generator, which is seeded from
// the clock first when the cipher has left it in a password-derived state.
std::string RandomString(SharedRandom& rng);

}  // namespace tabellan
