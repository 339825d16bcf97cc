#include "phone/phonebook_ordering.h"

#include <algorithm>

#include "cardfile/index_collator.h"
#include "cardfile/prompter.h"
#include "phone/phone_exchange.h"

namespace tabellan {
namespace {

// The offset just after the line end that ends the line starting at `from`; npos when that
// line is the last.
std::size_t NextLineStart(std::string_view text, std::size_t from) {
    const std::size_t end = text.find_first_of("\r\n", from);
    if (end == std::string_view::npos) {
        return std::string_view::npos;
    }
    return end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
}

}  // namespace

TextSelection EntriesSelection(std::string_view cardText) {
    std::size_t start = NextLineStart(cardText, 0);
    if (start != std::string_view::npos) {
        start = NextLineStart(cardText, start);
    }
    if (start == std::string_view::npos) {
        return {cardText.size(), 0};
    }
    return {start, cardText.size() - start};
}

std::vector<std::string> SplitSelectedLines(std::string_view selectedText) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < selectedText.size()) {
        const std::size_t end = selectedText.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(selectedText.substr(start));
            break;
        }
        lines.emplace_back(selectedText.substr(start, end - start));
        start = NextLineStart(selectedText, start);
    }
    return lines;
}

std::string_view SortKey(std::string_view line) {
    const std::string_view rest = line.size() > 4 ? line.substr(4) : std::string_view();
    const std::size_t pair = rest.find(",\"");
    return pair == std::string_view::npos ? rest : rest.substr(pair + 1);
}

std::vector<std::string> SortEntryLines(std::vector<std::string> lines,
                                        const IndexCollator& collator) {
    // Each line's collation key is made once; comparing keys is a byte comparison.
    struct Keyed {
        std::string key;
        bool keyed = false;
        std::string line;
    };
    std::vector<Keyed> keyed(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        keyed[i].keyed = collator.MakeKey(SortKey(lines[i]), keyed[i].key);
        keyed[i].line = std::move(lines[i]);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
        return collator.CompareKeyed(SortKey(a.line), a.key, a.keyed, SortKey(b.line), b.key,
                                     b.keyed) < 0;
    });
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i] = std::move(keyed[i].line);
    }
    return lines;
}

std::string SortedSelectionText(std::string_view selectedText, const IndexCollator& collator) {
    std::string text;
    for (const std::string& line : SortEntryLines(SplitSelectedLines(selectedText), collator)) {
        text += line;
        text += "\r\n";
    }
    return text;
}

TextEdit SortNamesEdit(std::string_view cardText, TextSelection selection, bool all,
                       const IndexCollator& collator) {
    if (all) {
        selection = EntriesSelection(cardText);
    }
    selection.start = std::min(selection.start, cardText.size());
    selection.length = std::min(selection.length, cardText.size() - selection.start);
    return {selection,
            SortedSelectionText(cardText.substr(selection.start, selection.length), collator)};
}

std::vector<std::string> ResequenceEntries(std::vector<std::string> cardLines, long long start) {
    for (std::size_t i = 2; i < cardLines.size(); ++i) {
        std::string& line = cardLines[i];
        const std::string number = std::to_string(start + static_cast<long long>(i - 2));
        const std::size_t comma = line.find(',');
        if (comma == std::string::npos) {
            line = number + "," + line;
        } else {
            line.replace(0, comma, number);
        }
    }
    return cardLines;
}

std::optional<long long> AskSequenceStart(Prompter& prompter) {
    const auto text = prompter.InputBox("Specify Sequence Start Number", "Starting from:", "1");
    if (!text) {
        return std::nullopt;
    }
    return StrToInt(*text);
}

}  // namespace tabellan
