#pragma once
#include <string>
#include <vector>

namespace tabellan {

// One card: 8-bit text lines without CR or LF; line 1 (lines[0]) is the index.
struct Card {
    std::vector<std::string> lines;

    const std::string& Index() const;  // empty string for a card without lines
    // The text as the editor shows it: lines joined with CR LF.
    std::string Text() const;
};

}  // namespace tabellan
