#pragma once
// Reading a phone's reply: when it is complete, and how it splits into lines.
#include <string>
#include <string_view>
#include <vector>

namespace tabellan {

// True when the reply ends in a final result code: CR LF "OK" CR LF, CR LF "ERROR" CR LF,
// or a last line "+CME ERROR: " or "+CMS ERROR: " with its code.
bool ReplyComplete(std::string_view reply);

// Lines end at CR, at LF or at CR LF; a last line without terminator is a line too. A zero
// byte is the GSM alphabet's "@" and is kept as "@".
std::vector<std::string> SplitReply(std::string_view reply);

}  // namespace tabellan
