#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tabellan {

// One card: 8-bit text lines without CR or LF; line 1 (lines[0]) is the index.
struct Card {
    std::vector<std::string> lines;

    const std::string& Index() const;  // empty string for a card without lines
    // The text as the editor shows it: lines joined with CR LF.
    std::string Text() const;
};

// The lines of a card's text: the text split at every CR LF (the empty text is one empty
// line). The reverse of Card::Text.
std::vector<std::string> SplitCardText(std::string_view text);

}  // namespace tabellan
