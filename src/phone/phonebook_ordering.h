#pragma once
// The ordering tools of the phonebook card, which change only the editor's text: selecting
// the entry lines, renumbering their locations, and sorting entry lines by name. Pure
// functions over the card's text (CR LF line ends, offsets counting CR LF as two
// characters) and lines.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabellan {

class IndexCollator;
class Prompter;

struct TextSelection {
    std::size_t start = 0;
    std::size_t length = 0;

    bool operator==(const TextSelection&) const = default;
};

// Select Entries: from the start of line 3 to the end of the text. A card without a third
// line gets an empty selection at the end of its text. (When line 2 holds text, the
// selection still starts at line 3, so that sorting never moves a piece of line 2 among the
// entries or an entry into line 2, where Update would no longer see it.)
TextSelection EntriesSelection(std::string_view cardText);

// The selected text as lines: CR LF, LF or CR ends a line; a line end at the very end adds
// no empty line.
std::vector<std::string> SplitSelectedLines(std::string_view selectedText);

// The sort key of an entry line: without its first 4 characters, from the first comma
// followed by a double quote on (the quoted name with its quotes); the whole rest when there
// is no such pair.
std::string_view SortKey(std::string_view line);

// The lines in the order of their sort keys under the index collation (letter case
// ignored); lines with equal keys keep their order.
std::vector<std::string> SortEntryLines(std::vector<std::string> lines,
                                        const IndexCollator& collator);

// Sort Names: the text that replaces the selection, the selected lines in name order, each
// followed by CR LF. An empty selection gives an empty text.
std::string SortedSelectionText(std::string_view selectedText, const IndexCollator& collator);

// An edit of the card's text: the range it replaces and the text put in its place.
struct TextEdit {
    TextSelection range;
    std::string text;

    bool operator==(const TextEdit&) const = default;
};

// Sort Names as one edit of the card's text: "&All" sorts the entry lines (the selection of
// Select Entries), "&Selected" the given selection (clamped to the text).
TextEdit SortNamesEdit(std::string_view cardText, TextSelection selection, bool all,
                       const IndexCollator& collator);

// Resequence: lines 3 to the last get the locations start, start + 1, ... in their order: the
// text before a line's first comma is replaced by the number, a line without a comma (an
// empty one too) gets the number and a comma in front. Cards of fewer than 3 lines are
// returned unchanged.
std::vector<std::string> ResequenceEntries(std::vector<std::string> cardLines, long long start);

// The input box of Resequence: nullopt when cancelled; a text that is not an integer throws
// the conversion error.
std::optional<long long> AskSequenceStart(Prompter& prompter);

}  // namespace tabellan
