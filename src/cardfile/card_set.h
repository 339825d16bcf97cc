#pragma once
// The cards of the open file, kept sorted by index without regard to letter case under the
// user's locale. The index list of the desktop program is a view over this set; a position
// here is the row in that list.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cardfile/card.h"
#include "cardfile/codepage.h"
#include "cardfile/index_correction.h"

namespace tabellan {

class IndexCollator;

// Told about every change of the set's order, before and after it happens, so that a view
// over the set (the index list) follows it. Bulk loading (AppendUnsorted, SortPending,
// CorrectIndexes) is not reported card by card: whoever loads reports the new contents as a
// whole (the document refreshes its view after every load).
class CardSetObserver {
  public:
    virtual ~CardSetObserver() = default;
    virtual void CardAboutToBeInserted(int pos) = 0;
    virtual void CardInserted(int pos) = 0;
    virtual void CardAboutToBeRemoved(int pos) = 0;
    virtual void CardRemoved(int pos) = 0;
    // A card leaves from and ends at to (both positions in the set before and after).
    virtual void CardAboutToBeMoved(int from, int to) = 0;
    virtual void CardMoved(int from, int to) = 0;
    // The card at pos got another text and kept its place.
    virtual void CardChanged(int pos) = 0;
    virtual void CardsAboutToBeCleared() = 0;
    virtual void CardsCleared() = 0;
};

class CardSet {
  public:
    // Sorting uses the user's locale collator (from LC_ALL/LC_COLLATE/LANG) for text in the
    // given code page.
    explicit CardSet(CodePage codePage = CodePage::Windows1252);
    // An explicit ICU locale id ("" is the root order), for tests and tools.
    CardSet(CodePage codePage, const std::string& localeId);
    // Any collator (tests use tailored ones).
    explicit CardSet(std::unique_ptr<IndexCollator> collator);
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
    // repeated Insert() would give. Every other member sorts pending cards first by itself.
    void AppendUnsorted(Card card);
    void SortPending();
    void Reserve(std::size_t n);

    void RemoveAt(int pos);
    Card TakeAt(int pos);
    void Clear();

    // First position whose index equals text except for letter case; -1 when none.
    // "Except for letter case": the collator finds the two equal and their simple Unicode
    // case foldings are the same (so control characters count, and in a locale whose
    // collator tells a case pair apart, such as Turkish I and i, so does this). The empty
    // text finds the first empty index.
    int FindCard(std::string_view text) const;
    // text with "." appended until FindCard finds nothing.
    std::string UniqueIndex(std::string text) const;

    // The data side of committing an edited card: removes the card at pos, builds a card from
    // lines (two empty lines when lines is empty), makes its index unique, inserts it sorted.
    // Returns the new position (the one FindCard gives for the stored index); *finalIndex
    // (when not null) receives the stored index. An invalid pos changes nothing: -1.
    int CommitLines(int pos, std::vector<std::string> lines, std::string* finalIndex);

    // Repairs exact (byte for byte) duplicate neighbours by appending "."; the result equals
    // the restart-from-the-first-pair walk, computed without its quadratic cost.
    // Throws EIndexCorrectionLimit (set unchanged) when the corrected indexes would be absurdly
    // long (more than about 10^8 bytes of appended text, some 14,000 identical indexes).
    IndexCorrection CorrectIndexes();

    // Case-insensitive locale order of two index texts (AnsiCompareText): <0, 0, >0.
    int Compare(std::string_view a, std::string_view b) const;

    CodePage GetCodePage() const;
    const IndexCollator& Collator() const { return *collator_; }

    // One observer at a time; nullptr for none. The observer must outlive its registration.
    void SetObserver(CardSetObserver* observer) { observer_ = observer; }

  private:
    struct Entry {
        Card card;
        std::string key;     // ICU sort key of the index (when keyed)
        bool keyed = false;  // false: the index is too long for a cached key
    };
    Entry MakeEntry(Card card) const;
    int CompareEntries(const Entry& a, const Entry& b) const;
    void EnsureSorted() const;
    // [first, last) of the entries that compare equal to probe.
    std::size_t LowerBound(const Entry& probe) const;
    std::size_t UpperBound(const Entry& probe) const;
    // FindCard, ignoring the entry at skip.
    int FindCardExcept(std::string_view text, std::size_t skip) const;
    // Whether e, put at pos in place of the entry there, keeps the order that removing that
    // entry and inserting e would give.
    bool FitsInPlace(const Entry& e, std::size_t pos) const;

    mutable std::vector<Entry> entries_;
    std::unique_ptr<IndexCollator> collator_;
    mutable std::size_t sortedPrefix_ = 0;
    CardSetObserver* observer_ = nullptr;
};

// Where the entry at pos stands after the entry at `from` was taken out and put back at
// `to` (a commit that re-sorted it).
int PositionAfterMove(int pos, int from, int to);

}  // namespace tabellan
