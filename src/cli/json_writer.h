#pragma once
// A small streaming JSON writer for the tool's output. Strings must be UTF-8; bytes that do
// not form valid UTF-8 are written as U+FFFD so the output is always valid JSON.
#include <string>
#include <string_view>
#include <vector>

namespace tabellan {

// The JSON string literal for text, quotes included. Control characters (U+0000 to U+001F,
// U+007F to U+009F) are written as \u00XX.
std::string JsonQuote(std::string_view utf8);

class JsonWriter {
  public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // Inside an object: the key of the next value.
    void Key(std::string_view utf8);
    void String(std::string_view utf8);
    void Bool(bool value);
    // Puts the next value of the current object or array on a new line, for output a
    // person can read.
    void Newline();

    const std::string& Text() const { return out_; }

  private:
    void BeforeValue();

    std::string out_;
    // One entry per open object or array: whether it already holds a member.
    std::vector<bool> hasMember_;
    bool afterKey_ = false;
    bool newlinePending_ = false;
};

}  // namespace tabellan
