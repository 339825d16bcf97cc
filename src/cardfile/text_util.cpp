#include "cardfile/text_util.h"

namespace tabellan {

std::string DoubleAmpersands(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        out += c;
        if (c == '&') {
            out += '&';
        }
    }
    return out;
}

}  // namespace tabellan
