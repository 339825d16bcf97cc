#pragma once
// Reading a phone's phonebook and identity: the commands sent, and the rules that turn the
// replies into the range to read, the entry lines of the phonebook card and the text of the
// information box. Pure functions over reply lines (bytes as the phone sent them).
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabellan {

// "AT+cpbs=" followed by the code in double quotes.
std::string StorageCommand(std::string_view storageCode);

inline constexpr const char* kRangeQuery = "AT+cpbr=?";
inline constexpr const char* kReadCommand = "AT+cpbr=";

// The index range to read, "first,last" ("1,250"), from the reply to "AT+cpbr=?": the
// capacity answer is the last line that begins with "+CPBR:" (a ring or other unsolicited
// line, a final OK without the empty line before it, or blank lines after the answer do not
// move it). "(1-250),40,18" and "1-250,40,18" both give "1,250". Empty when there is no such
// line.
std::string PhonebookRangeFromReply(const std::vector<std::string>& replyList);

// A range text as numbers: "1,250" gives 1..250 and a single location "7" gives 7..7; nullopt
// for anything else (an empty range included).
struct LocationRange {
    long long first = 0;
    long long last = 0;
};
std::optional<LocationRange> ParseLocationRange(std::string_view range);

// The entry lines of a reply to "AT+cpbr=": every line that begins with "+CPBR:", with that
// prefix and the blanks after it taken off, in the order the phone sent them; all other lines
// (the echo, empty lines, the result code, unsolicited lines) are skipped. An entry whose
// double quotes are left open at its line end (a phone that sends a line break inside a name
// or number) is joined with the following lines, each break becoming a blank, as long as a
// later line closes the quotes before the next entry begins; otherwise it stays as it came.
std::vector<std::string> ExtractPhoneEntries(const std::vector<std::string>& replyList);

// The phonebook card's text after a read: the index line, an empty line, then one entry per
// line, each followed by CR LF.
std::string PhonebookCardText(std::string_view indexLine, const std::vector<std::string>& entries);

// The identification and status queries of the information box, in the order asked.
struct PhoneInfoQuery {
    const char* command;
    const char* label;
};
extern const std::array<PhoneInfoQuery, 12> kPhoneInfoQueries;

// The label, a colon and blanks, cut to exactly 23 characters, followed by a TAB.
std::string PhoneInfoLabelColumn(std::string_view label);

// The information box's row (ending in CR LF) for one query's judged reply; empty when the
// reply is empty (the query failed). A reply of fewer than three lines shows its last line;
// otherwise the value is made of the lines from the second to the third-last, each preceded
// by two blanks, a line beginning with "+" losing its answer name up to and including the
// colon.
std::string PhoneInfoRow(std::string_view label, const std::vector<std::string>& replyList);

// The text of the information box for the rows of the queries that were answered.
std::string PhoneInfoMessage(std::string_view rows);
inline constexpr const char* kNoPhoneInfoMessage = "Unable to get mobile information!";
inline constexpr int kPhoneInfoHelpContext = 525;

}  // namespace tabellan
