#pragma once
#include <string>
#include <string_view>

namespace tabellan {

// User text shown in a menu caption or a message box: "&" would mark a mnemonic, so each
// one is doubled.
std::string DoubleAmpersands(std::string_view text);
// Each "&&" back to one "&"; a lone "&" stays as it is.
std::string UndoubleAmpersands(std::string_view text);

// A message's line breaks as shown on screen: CR LF and a lone CR each become LF. The bytes
// are otherwise kept, so the text may be in any code page or in UTF-8.
std::string MessageLineBreaks(std::string_view message);

// A message as every box, input box prompt and terminal shows it: its line breaks as above,
// and each "&&" (user text put into a message has its "&" doubled) as one "&". A lone "&"
// is shown as it stands, never taken for a mnemonic.
std::string ShownMessage(std::string_view message);

}  // namespace tabellan
