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

std::vector<std::string> SplitCardText(std::string_view text) {
    std::vector<std::string> lines;
    for (;;) {
        const std::size_t at = text.find("\r\n");
        lines.emplace_back(text.substr(0, at));
        if (at == std::string_view::npos) {
            return lines;
        }
        text.remove_prefix(at + 2);
    }
}

}  // namespace tabellan
