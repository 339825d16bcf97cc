#include "cardfile/comma_text.h"

#include <algorithm>
#include <cstring>

namespace tabellan {

namespace {

inline bool IsBlank(unsigned char c) {
    return c >= 1 && c <= 32;
}

bool NeedsQuotes(std::string_view s) {
    for (unsigned char c : s) {
        if (IsBlank(c) || c == '"' || c == ',') {
            return true;
        }
    }
    return false;
}

void AppendField(std::string& out, std::string_view s) {
    if (!NeedsQuotes(s)) {
        out.append(s);
        return;
    }
    out.push_back('"');
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"') {
            out.append(s.substr(start, i + 1 - start));
            out.push_back('"');
            start = i + 1;
        }
    }
    out.append(s.substr(start));
    out.push_back('"');
}

}  // namespace

std::string ToCommaText(const std::vector<std::string>& list) {
    if (list.empty()) {
        return {};
    }
    if (list.size() == 1 && list[0].empty()) {
        return "\"\"";
    }
    std::size_t total = list.size();
    for (const auto& s : list) {
        total += s.size() + 2;
    }
    std::string out;
    out.reserve(total);
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0) {
            out.push_back(',');
        }
        AppendField(out, list[i]);
    }
    return out;
}

std::vector<std::string> FromCommaText(std::string_view text) {
    std::vector<std::string> list;
    const std::size_t n = text.size();
    if (n > 0) {
        // Usually one field per comma (quoted commas only make this a little generous).
        list.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')) + 1);
    }
    std::size_t p = 0;
    auto skipBlanks = [&] {
        while (p < n && IsBlank(static_cast<unsigned char>(text[p]))) {
            ++p;
        }
    };
    skipBlanks();
    while (p < n) {
        if (text[p] == '"') {
            // Quoted: up to the next quote that is not doubled; an unterminated field takes
            // the rest of the text.
            ++p;
            std::string field;
            while (p < n) {
                const char* q = static_cast<const char*>(std::memchr(text.data() + p, '"', n - p));
                if (q == nullptr) {
                    field.append(text.substr(p));
                    p = n;
                    break;
                }
                std::size_t qi = static_cast<std::size_t>(q - text.data());
                field.append(text.substr(p, qi - p));
                if (qi + 1 < n && text[qi + 1] == '"') {
                    field.push_back('"');
                    p = qi + 2;
                } else {
                    p = qi + 1;
                    break;
                }
            }
            list.push_back(std::move(field));
        } else {
            std::size_t start = p;
            while (p < n && text[p] != ',' && !IsBlank(static_cast<unsigned char>(text[p]))) {
                ++p;
            }
            list.emplace_back(text.substr(start, p - start));
        }
        skipBlanks();
        if (p < n && text[p] == ',') {
            if (p + 1 == n) {
                list.emplace_back();
            }
            ++p;
            skipBlanks();
        }
    }
    return list;
}

std::string EscapePayload(std::string_view data) {
    std::string out;
    out.reserve(data.size() + data.size() / 32 + 16);
    for (char ch : data) {
        switch (static_cast<unsigned char>(ch)) {
            case 0:
                out += "\\0";
                break;
            case 10:
                out += "\\n";
                break;
            case 13:
                out += "\\r";
                break;
            case 26:
                out += "\\z";
                break;
            case 92:
                out += "\\\\";
                break;
            default:
                out.push_back(ch);
        }
    }
    return out;
}

std::string UnescapePayload(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        char ch = text[i];
        if (ch != '\\') {
            out.push_back(ch);
            continue;
        }
        if (i + 1 >= n) {
            break;  // a lone backslash at the very end is dropped
        }
        char e = text[++i];
        switch (e) {
            case '0':
                out.push_back('\0');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 'z':
                out.push_back('\x1A');
                break;
            default:
                out.push_back(e);  // "\\" gives a backslash, any other the character
        }
    }
    return out;
}

std::string CutToken(std::string& text, std::string_view separator) {
    std::size_t pos = separator.empty() ? std::string::npos : text.find(separator);
    if (pos == std::string::npos) {
        std::string all = std::move(text);
        text.clear();
        return all;
    }
    std::string token = text.substr(0, pos);
    text.erase(0, pos + separator.size());
    return token;
}

std::string_view CutToken(std::string_view& text, std::string_view separator) {
    std::size_t pos = separator.empty() ? std::string_view::npos : text.find(separator);
    if (pos == std::string_view::npos) {
        std::string_view all = text;
        text = {};
        return all;
    }
    std::string_view token = text.substr(0, pos);
    text.remove_prefix(pos + separator.size());
    return token;
}

}  // namespace tabellan
