#include "cardfile/card.h"

namespace tabellan {

const std::string& Card::Index() const {
    static const std::string kEmpty;
    return lines.empty() ? kEmpty : lines.front();
}

std::string Card::Text() const {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            text += "\r\n";
        }
        text += lines[i];
    }
    return text;
}

}  // namespace tabellan
