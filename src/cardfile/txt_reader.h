#pragma once
// Plain-text card files: every card starts with a line beginning with the card separator.
#include <string>
#include <string_view>

namespace tabellan {

class CardSet;
class Prompter;

// Appends the file's cards and sets cardSeparator from the file; throws EInOutError.
void ReadTXTFile(const std::string& path, CardSet& cards, int& cardSeparator, Prompter& prompter);
// The same over the file's bytes already in memory.
void ReadTXTData(std::string_view data, CardSet& cards, int& cardSeparator, Prompter& prompter);

}  // namespace tabellan
