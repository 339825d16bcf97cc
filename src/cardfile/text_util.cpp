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

std::string MessageLineBreaks(std::string_view message) {
    std::string out;
    out.reserve(message.size());
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (message[i] != '\r') {
            out += message[i];
        } else if (i + 1 >= message.size() || message[i + 1] != '\n') {
            out += '\n';
        }
    }
    return out;
}

}  // namespace tabellan
