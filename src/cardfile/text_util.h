#pragma once
#include <string>
#include <string_view>

namespace tabellan {

// User text shown in a menu caption or a message box: "&" would mark a mnemonic, so each
// one is doubled.
std::string DoubleAmpersands(std::string_view text);

}  // namespace tabellan
