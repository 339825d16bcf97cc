#pragma once
#include <string>
#include <string_view>

namespace tabellan {

// User text shown in a menu caption or a message box: "&" would mark a mnemonic, so each
// one is doubled.
std::string DoubleAmpersands(std::string_view text);

// A message's line breaks as shown on screen: CR LF and a lone CR each become LF. The bytes
// are otherwise kept, so the text may be in any code page or in UTF-8.
std::string MessageLineBreaks(std::string_view message);

}  // namespace tabellan
