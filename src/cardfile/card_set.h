#pragma once
// The cards of the open file, kept sorted by index without regard to letter case under the
// user's locale. The index list of the desktop program is a view over this set; a position
// here is the row in that list.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cardfile/card.h"
#include "cardfile/codepage.h"

namespace tabellan {

class IndexCollator;

struct IndexCorrection {
    int count = 0;
    std::string lastIndex;  // the last corrected index, after its "." was appended
};

class CardSet {
  public:
    // Sorting uses the user's locale collator (from LANG/LC_ALL) for text in the given code page.
    explicit CardSet(CodePage codePage = CodePage::Windows1252);
    ~CardSet();
    CardSet(const CardSet&) = delete;
    CardSet& operator=(const CardSet&) = delete;

    int Count() const;
    const std::string& IndexAt(int pos) const;
    const Card& CardAt(int pos) const;

    // Inserts under the card's line 1 in sorted position (after entries that compare equal);
    // returns the position. The set owns the card.
    int Insert(Card card);
    // Bulk loading: append without sorting, then SortPending() once. The order is the one
    // repeated Insert() would give.
    void AppendUnsorted(Card card);
    void SortPending();

    void RemoveAt(int pos);
    Card TakeAt(int pos);
    void Clear();

    // First position whose index equals text except for letter case; -1 when none.
    int FindCard(std::string_view text) const;
    // text with "." appended until FindCard finds nothing.
    std::string UniqueIndex(std::string text) const;

    // The data side of committing an edited card: removes the card at pos, builds a card from
    // lines (two empty lines when lines is empty), makes its index unique, inserts it sorted.
    // Returns the new position; *finalIndex receives the stored index.
    int CommitLines(int pos, std::vector<std::string> lines, std::string* finalIndex);

    // Repairs exact (byte for byte) duplicate neighbours by appending "."; the result equals
    // the restart-from-the-first-pair walk, computed without its quadratic cost.
    IndexCorrection CorrectIndexes();

    // Case-insensitive locale order of two index texts (AnsiCompareText): <0, 0, >0.
    int Compare(std::string_view a, std::string_view b) const;

    CodePage GetCodePage() const;

  private:
    struct Entry;
    std::vector<Entry> entries_;
    std::unique_ptr<IndexCollator> collator_;
    std::size_t sortedPrefix_ = 0;
};

// The warning text of the index correction; empty when count is 0.
std::string IndexCorrectionMessage(const IndexCorrection& c);
// The first status panel's text: "Total N cards.  File is (un)encrypted...".
std::string FileStatusText(int cardCount, bool encrypted);

}  // namespace tabellan
