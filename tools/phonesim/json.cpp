#include "phonesim/json.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace tabellan::phonesim::json {

namespace {

// Deep enough for any phonebook file, shallow enough that hostile input cannot exhaust the stack.
constexpr int kMaxDepth = 64;

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    Value document() {
        skipBlanks();
        Value value = parseValue(0);
        skipBlanks();
        if (pos_ != text_.size()) {
            fail("unexpected text after the end of the document");
        }
        return value;
    }

  private:
    [[noreturn]] void fail(const std::string& what) const {
        std::size_t line = 1;
        std::size_t column = 1;
        for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i) {
            if (text_[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        throw ParseError(line, column, what);
    }

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }

    void skipBlanks() {
        while (!atEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' ||
                            text_[pos_] == '\r')) {
            ++pos_;
        }
    }

    void expect(char c) {
        if (peek() != c) {
            fail(std::string("expected '") + c + "'");
        }
        ++pos_;
    }

    void expectWord(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) {
            fail("invalid literal, expected " + std::string(word));
        }
        pos_ += word.size();
    }

    Value parseValue(int depth) {
        if (depth > kMaxDepth) {
            fail("nesting too deep");
        }
        if (atEnd()) {
            fail("unexpected end of text, expected a value");
        }
        switch (peek()) {
            case '{':
                return parseObject(depth);
            case '[':
                return parseArray(depth);
            case '"':
                return Value(parseString());
            case 't':
                expectWord("true");
                return Value(true);
            case 'f':
                expectWord("false");
                return Value(false);
            case 'n':
                expectWord("null");
                return Value(nullptr);
            default:
                return Value(parseNumber());
        }
    }

    Value parseObject(int depth) {
        expect('{');
        Object members;
        skipBlanks();
        if (peek() == '}') {
            ++pos_;
            return Value(std::move(members));
        }
        while (true) {
            skipBlanks();
            if (peek() != '"') {
                fail("expected a member name in double quotes");
            }
            std::string key = parseString();
            skipBlanks();
            expect(':');
            skipBlanks();
            members.emplace_back(std::move(key), parseValue(depth + 1));
            skipBlanks();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == '}') {
                ++pos_;
                return Value(std::move(members));
            }
            fail("expected ',' or '}' in object");
        }
    }

    Value parseArray(int depth) {
        expect('[');
        Array items;
        skipBlanks();
        if (peek() == ']') {
            ++pos_;
            return Value(std::move(items));
        }
        while (true) {
            skipBlanks();
            items.push_back(parseValue(depth + 1));
            skipBlanks();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == ']') {
                ++pos_;
                return Value(std::move(items));
            }
            fail("expected ',' or ']' in array");
        }
    }

    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

    void digits() {
        if (!isDigit(peek())) {
            fail("invalid number");
        }
        while (isDigit(peek())) {
            ++pos_;
        }
    }

    double parseNumber() {
        const std::size_t start = pos_;
        if (peek() == '-') {
            ++pos_;
        }
        if (peek() == '0') {
            ++pos_;
        } else {
            digits();
        }
        if (peek() == '.') {
            ++pos_;
            digits();
        }
        if (peek() == 'e' || peek() == 'E') {
            ++pos_;
            if (peek() == '+' || peek() == '-') {
                ++pos_;
            }
            digits();
        }
        const std::string literal(text_.substr(start, pos_ - start));
        const double value = std::strtod(literal.c_str(), nullptr);
        if (!std::isfinite(value)) {
            fail("number out of range");
        }
        return value;
    }

    unsigned hex4() {
        unsigned code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = peek();
            code <<= 4;
            if (c >= '0' && c <= '9') {
                code |= static_cast<unsigned>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                code |= static_cast<unsigned>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                code |= static_cast<unsigned>(c - 'A' + 10);
            } else {
                fail("invalid \\u escape");
            }
            ++pos_;
        }
        return code;
    }

    static void appendUtf8(std::string& out, std::uint32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::uint32_t unicodeEscape() {
        const unsigned high = hex4();
        if (high >= 0xDC00 && high <= 0xDFFF) {
            fail("unpaired low surrogate in \\u escape");
        }
        if (high < 0xD800 || high > 0xDBFF) {
            return high;
        }
        if (text_.substr(pos_, 2) != "\\u") {
            fail("unpaired high surrogate in \\u escape");
        }
        pos_ += 2;
        const unsigned low = hex4();
        if (low < 0xDC00 || low > 0xDFFF) {
            fail("invalid low surrogate in \\u escape");
        }
        return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
    }

    void escape(std::string& out) {
        const char c = peek();
        ++pos_;
        switch (c) {
            case '"':
            case '\\':
            case '/':
                out += c;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u':
                appendUtf8(out, unicodeEscape());
                break;
            default:
                --pos_;
                fail("invalid escape in string");
        }
    }

    std::string parseString() {
        expect('"');
        std::string out;
        while (true) {
            if (atEnd()) {
                fail("unterminated string");
            }
            const char c = text_[pos_];
            if (c == '"') {
                ++pos_;
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                fail("control character in string");
            }
            ++pos_;
            if (c == '\\') {
                escape(out);
            } else {
                out += c;
            }
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

void writeString(std::string& out, const std::string& s) {
    out += '"';
    for (const char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

void writeNumber(std::string& out, double d) {
    char buf[32];
    if (d == std::floor(d) && std::fabs(d) < 1e15) {
        std::snprintf(buf, sizeof buf, "%.0f", d);
    } else {
        std::snprintf(buf, sizeof buf, "%.17g", d);
    }
    out += buf;
}

void writeValue(std::string& out, const Value& v, int indent);

void newline(std::string& out, int indent) {
    out += '\n';
    out.append(static_cast<std::size_t>(indent) * 2, ' ');
}

void writeArray(std::string& out, const Array& items, int indent) {
    if (items.empty()) {
        out += "[]";
        return;
    }
    out += '[';
    for (std::size_t i = 0; i < items.size(); ++i) {
        newline(out, indent + 1);
        writeValue(out, items[i], indent + 1);
        if (i + 1 < items.size()) {
            out += ',';
        }
    }
    newline(out, indent);
    out += ']';
}

void writeObject(std::string& out, const Object& members, int indent) {
    if (members.empty()) {
        out += "{}";
        return;
    }
    out += '{';
    for (std::size_t i = 0; i < members.size(); ++i) {
        newline(out, indent + 1);
        writeString(out, members[i].first);
        out += ": ";
        writeValue(out, members[i].second, indent + 1);
        if (i + 1 < members.size()) {
            out += ',';
        }
    }
    newline(out, indent);
    out += '}';
}

void writeValue(std::string& out, const Value& v, int indent) {
    if (v.isNull()) {
        out += "null";
    } else if (v.isBool()) {
        out += v.asBool() ? "true" : "false";
    } else if (v.isNumber()) {
        writeNumber(out, v.asNumber());
    } else if (v.isString()) {
        writeString(out, v.asString());
    } else if (v.isArray()) {
        writeArray(out, v.asArray(), indent);
    } else {
        writeObject(out, v.asObject(), indent);
    }
}

}  // namespace

const Value* Value::find(std::string_view key) const {
    if (!isObject()) {
        return nullptr;
    }
    for (const auto& [name, value] : asObject()) {
        if (name == key) {
            return &value;
        }
    }
    return nullptr;
}

ParseError::ParseError(std::size_t line, std::size_t column, const std::string& what)
    : std::runtime_error("line " + std::to_string(line) + ", column " + std::to_string(column) +
                         ": " + what),
      line_(line),
      column_(column) {}

Value parse(std::string_view text) {
    return Parser(text).document();
}

std::string write(const Value& value) {
    std::string out;
    writeValue(out, value, 0);
    out += '\n';
    return out;
}

}  // namespace tabellan::phonesim::json
