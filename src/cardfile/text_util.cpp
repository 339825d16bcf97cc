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

std::string UndoubleAmpersands(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') {
            ++i;
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

std::string ShownMessage(std::string_view message) {
    return UndoubleAmpersands(MessageLineBreaks(message));
}

}  // namespace tabellan
