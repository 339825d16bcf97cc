#include "phonesim/at_arguments.h"

namespace tabellan::phonesim {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') {
        s.remove_prefix(1);
    }
    while (!s.empty() && s.back() == ' ') {
        s.remove_suffix(1);
    }
    return s;
}

}  // namespace

std::optional<std::vector<AtArgument>> parseAtArguments(std::string_view text) {
    std::vector<AtArgument> fields;
    std::size_t pos = 0;
    while (true) {
        AtArgument field;
        std::size_t end = pos;
        while (end < text.size() && text[end] == ' ') {
            ++end;
        }
        if (end < text.size() && text[end] == '"') {
            const std::size_t close = text.find('"', end + 1);
            if (close == std::string_view::npos) {
                return std::nullopt;
            }
            field.value = std::string(text.substr(end + 1, close - end - 1));
            field.quoted = true;
            end = close + 1;
            while (end < text.size() && text[end] == ' ') {
                ++end;
            }
            if (end < text.size() && text[end] != ',') {
                return std::nullopt;
            }
        } else {
            end = text.find(',', pos);
            if (end == std::string_view::npos) {
                end = text.size();
            }
            field.value = std::string(trimmed(text.substr(pos, end - pos)));
        }
        fields.push_back(std::move(field));
        if (end >= text.size()) {
            return fields;
        }
        pos = end + 1;
    }
}

std::optional<int> parseAtNumber(const AtArgument& argument, int max) {
    if (argument.quoted || argument.value.empty() || argument.value.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : argument.value) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > max) {
        return std::nullopt;
    }
    return value;
}

}  // namespace tabellan::phonesim
