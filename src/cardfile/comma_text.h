#pragma once
// Comma text: how a list of strings becomes one line and back (card lines, the settings
// header, the stored editor text).
#include <string>
#include <string_view>
#include <vector>

namespace tabellan {

std::string ToCommaText(const std::vector<std::string>& list);
std::vector<std::string> FromCommaText(std::string_view text);

// Compressed payload to one text line (no NUL, LF, CR or Ctrl-Z) and back.
std::string EscapePayload(std::string_view data);
std::string UnescapePayload(std::string_view text);

// Returns the part of text before the first separator and removes it and the separator from
// text; without a separator returns all of text and leaves it empty.
std::string CutToken(std::string& text, std::string_view separator);
// The same over a view, advancing it (no copying of the rest).
std::string_view CutToken(std::string_view& text, std::string_view separator);

}  // namespace tabellan
