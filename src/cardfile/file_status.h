#pragma once
// The text of the first status panel while no command writes its progress there.
#include <string>

namespace tabellan {

// "Total N cards.  File is (un)encrypted...".
std::string FileStatusText(int cardCount, bool encrypted);

}  // namespace tabellan
