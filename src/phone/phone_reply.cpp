#include "phone/phone_reply.h"

namespace tabellan {
namespace {

bool EndsWithFinalErrorReport(std::string_view reply) {
    if (!reply.ends_with("\r\n")) {
        return false;
    }
    const std::string_view body = reply.substr(0, reply.size() - 2);
    const auto lineEnd = body.find_last_of('\n');
    if (lineEnd == std::string_view::npos) {
        return false;
    }
    const std::string_view line = body.substr(lineEnd + 1);
    for (const std::string_view prefix : {"+CME ERROR: ", "+CMS ERROR: "}) {
        if (line.size() > prefix.size() && line.starts_with(prefix)) {
            return true;
        }
    }
    return false;
}

// Phones that send their text in the GSM alphabet send "@" as its code there, 0. Taking the
// zero byte for the end of the text would drop the rest of the reply (every later entry).
std::string GsmZeroAsAt(std::string_view line) {
    std::string text(line);
    for (char& c : text) {
        if (c == '\0') {
            c = '@';
        }
    }
    return text;
}

}  // namespace

bool ReplyComplete(std::string_view reply) {
    return reply.ends_with("\r\nOK\r\n") || reply.ends_with("\r\nERROR\r\n") ||
           EndsWithFinalErrorReport(reply);
}

std::vector<std::string> SplitReply(std::string_view reply) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < reply.size()) {
        const char c = reply[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.push_back(GsmZeroAsAt(reply.substr(start, i - start)));
        i += (c == '\r' && i + 1 < reply.size() && reply[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < reply.size()) {
        lines.push_back(GsmZeroAsAt(reply.substr(start)));
    }
    return lines;
}

}  // namespace tabellan
