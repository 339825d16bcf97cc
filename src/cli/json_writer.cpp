#include "cli/json_writer.h"

#include <cstdint>

namespace tabellan {
namespace {

constexpr char kHex[] = "0123456789abcdef";

void AppendEscapedCodePoint(std::string& out, std::uint32_t cp) {
    out += "\\u00";
    out += kHex[(cp >> 4) & 0xF];
    out += kHex[cp & 0xF];
}

// Length of the valid UTF-8 sequence at text[i], 0 when the bytes there are not one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i, std::uint32_t* cp) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t len = 0;
    std::uint32_t value = 0;
    std::uint32_t minimum = 0;
    if (lead < 0x80) {
        *cp = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        len = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        len = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        len = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + len > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    *cp = value;
    return len;
}

void AppendQuoted(std::string& out, std::string_view utf8) {
    out += '"';
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::uint32_t cp = 0;
        const std::size_t len = Utf8SequenceLength(utf8, i, &cp);
        if (len == 0) {
            out += "\\ufffd";
            ++i;
            continue;
        }
        if (cp == '"') {
            out += "\\\"";
        } else if (cp == '\\') {
            out += "\\\\";
        } else if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) {
            AppendEscapedCodePoint(out, cp);
        } else {
            out.append(utf8, i, len);
        }
        i += len;
    }
    out += '"';
}

}  // namespace

std::string JsonQuote(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + 2);
    AppendQuoted(out, utf8);
    return out;
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasMember_.empty()) {
        if (hasMember_.back()) {
            out_ += newlinePending_ ? ",\n" : ", ";
        } else if (newlinePending_) {
            out_ += '\n';
        }
        hasMember_.back() = true;
    }
    newlinePending_ = false;
}
void JsonWriter::BeginObject() {
    BeforeValue();
    out_ += '{';
    hasMember_.push_back(false);
}

void JsonWriter::EndObject() {
    out_ += '}';
    hasMember_.pop_back();
}

void JsonWriter::BeginArray() {
    BeforeValue();
    out_ += '[';
    hasMember_.push_back(false);
}

void JsonWriter::EndArray() {
    out_ += ']';
    hasMember_.pop_back();
}

void JsonWriter::Key(std::string_view utf8) {
    BeforeValue();
    AppendQuoted(out_, utf8);
    out_ += ": ";
    afterKey_ = true;
}

void JsonWriter::String(std::string_view utf8) {
    BeforeValue();
    AppendQuoted(out_, utf8);
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    out_ += value ? "true" : "false";
}

void JsonWriter::Newline() {
    newlinePending_ = true;
}

}  // namespace tabellan
