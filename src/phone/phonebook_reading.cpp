#include "phone/phonebook_reading.h"

#include <algorithm>
#include <charconv>

namespace tabellan {
namespace {

constexpr std::string_view kEntryPrefix = "+CPBR:";
constexpr std::size_t kLabelColumnWidth = 23;

// The text after "+CPBR:" and the blanks that follow it; nullopt for any other line.
std::optional<std::string_view> AfterEntryPrefix(std::string_view line) {
    if (!line.starts_with(kEntryPrefix)) {
        return std::nullopt;
    }
    line.remove_prefix(kEntryPrefix.size());
    const std::size_t text = line.find_first_not_of(' ');
    return text == std::string_view::npos ? std::string_view() : line.substr(text);
}

bool OddQuotes(std::string_view text) {
    return std::count(text.begin(), text.end(), '"') % 2 != 0;
}

std::optional<long long> WholeNumber(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    text = first == std::string_view::npos ? std::string_view() : text.substr(first);
    text = text.substr(0, text.find_last_not_of(' ') + 1);
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || text[0] == '-') {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string StorageCommand(std::string_view storageCode) {
    return "AT+cpbs=\"" + std::string(storageCode) + "\"";
}

std::string PhonebookRangeFromReply(const std::vector<std::string>& replyList) {
    const auto answer = std::find_if(replyList.rbegin(), replyList.rend(), [](const auto& line) {
        return line.starts_with(kEntryPrefix);
    });
    if (answer == replyList.rend()) {
        return {};
    }
    std::string_view text = *AfterEntryPrefix(*answer);
    if (text.starts_with('(')) {
        text.remove_prefix(1);
    }
    const std::size_t close = text.find(')');
    text = text.substr(0, close != std::string_view::npos ? close : text.find(','));
    std::string range(text);
    if (const std::size_t dash = range.find('-'); dash != std::string::npos) {
        range[dash] = ',';
    }
    return range;
}

std::optional<LocationRange> ParseLocationRange(std::string_view range) {
    const std::size_t comma = range.find(',');
    const auto first = WholeNumber(range.substr(0, comma));
    const auto last =
        comma == std::string_view::npos ? first : WholeNumber(range.substr(comma + 1));
    if (!first || !last || *first > *last) {
        return std::nullopt;
    }
    return LocationRange{*first, *last};
}

std::vector<std::string> ExtractPhoneEntries(const std::vector<std::string>& replyList) {
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < replyList.size(); ++i) {
        const auto text = AfterEntryPrefix(replyList[i]);
        if (!text) {
            continue;
        }
        std::string entry(*text);
        if (OddQuotes(entry)) {
            std::string joined = entry;
            bool open = true;
            std::size_t next = i + 1;
            for (; next < replyList.size() && open && !AfterEntryPrefix(replyList[next]); ++next) {
                joined += ' ';
                joined += replyList[next];
                open = open != OddQuotes(replyList[next]);
            }
            if (!open) {
                entry = std::move(joined);
                i = next - 1;
            }
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string PhonebookCardText(std::string_view indexLine, const std::vector<std::string>& entries) {
    std::string text = std::string(indexLine) + "\r\n\r\n";
    for (const std::string& entry : entries) {
        text += entry;
        text += "\r\n";
    }
    return text;
}

const std::array<PhoneInfoQuery, 12> kPhoneInfoQueries = {{
    {"AT+CGMI", "Manufacturer Id"},
    {"AT+CGMM", "Model Id"},
    {"AT+CGMR", "Revision Id"},
    {"AT+CGSN", "Serial No Id (IMEI)"},
    {"AT+CIMI", "Intl Mobile Subscr Id"},
    {"AT+GMI", "IR Modem Manuf Id"},
    {"AT+GMM", "IR Modem Model Id"},
    {"AT+GMR", "IR Modem Rev Id"},
    {"AT+GSN", "IR Modem Serial No Id"},
    {"AT+CSCA?", "SMS Service Center"},
    {"AT+CBC", "Battery Charge"},
    {"AT+CSQ", "Signal Quality"},
}};

std::string PhoneInfoLabelColumn(std::string_view label) {
    std::string column = std::string(label) + ":";
    column.resize(kLabelColumnWidth, ' ');
    column += '\t';
    return column;
}

std::string PhoneInfoRow(std::string_view label, const std::vector<std::string>& replyList) {
    if (replyList.empty()) {
        return {};
    }
    if (replyList.size() < 3) {
        return PhoneInfoLabelColumn(label) + replyList.back() + "\r\n";
    }
    std::string value;
    for (std::size_t i = 1; i + 2 < replyList.size(); ++i) {
        std::string_view line = replyList[i];
        if (line.starts_with('+')) {
            // The answer name goes with its colon; the blank after it stays. A phone that
            // leaves out that blank loses only the name.
            std::size_t colon = line.find(": ");
            if (colon == std::string_view::npos) {
                colon = line.find(':');
            }
            if (colon != std::string_view::npos) {
                line.remove_prefix(colon + 1);
            }
        }
        value += "  ";
        value += line;
    }
    return PhoneInfoLabelColumn(label) + value + "\r\n";
}

std::string PhoneInfoMessage(std::string_view rows) {
    return "MOBILE PHONE INFORMATION:\r\n\r\n" + std::string(rows);
}

}  // namespace tabellan
