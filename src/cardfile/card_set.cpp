#include "cardfile/card_set.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "cardfile/index_collator.h"

namespace tabellan {

CardSet::CardSet(CodePage codePage) : collator_(std::make_unique<IndexCollator>(codePage)) {}

CardSet::CardSet(CodePage codePage, const std::string& localeId)
    : collator_(std::make_unique<IndexCollator>(codePage, localeId)) {}

CardSet::CardSet(std::unique_ptr<IndexCollator> collator) : collator_(std::move(collator)) {}

CardSet::~CardSet() = default;

CodePage CardSet::GetCodePage() const {
    return collator_->GetCodePage();
}

CardSet::Entry CardSet::MakeEntry(Card card) const {
    Entry e;
    e.keyed = collator_->MakeKey(card.Index(), e.key);
    e.card = std::move(card);
    return e;
}

int CardSet::CompareEntries(const Entry& a, const Entry& b) const {
    return collator_->CompareKeyed(a.card.Index(), a.key, a.keyed, b.card.Index(), b.key, b.keyed);
}

void CardSet::EnsureSorted() const {
    const std::size_t n = entries_.size();
    if (sortedPrefix_ == n) {
        return;
    }
    // Sort small records (key bytes, position) instead of the entries themselves, then move
    // every entry once to its place. The position breaks ties, which makes the order stable:
    // equal indexes keep the order they were appended in, after the sorted part's.
    struct Rec {
        const char* key;
        std::uint32_t len;  // kUnkeyed: compare the index texts through the collator
        std::uint32_t pos;
    };
    constexpr std::uint32_t kUnkeyed = 0xFFFFFFFFu;
    std::vector<Rec> recs(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Entry& e = entries_[i];
        recs[i] = Rec{e.key.data(), e.keyed ? static_cast<std::uint32_t>(e.key.size()) : kUnkeyed,
                      static_cast<std::uint32_t>(i)};
    }
    auto less = [this](const Rec& a, const Rec& b) {
        int r;
        if (a.len != kUnkeyed && b.len != kUnkeyed) {
            std::size_t m = std::min(a.len, b.len);
            r = m ? std::memcmp(a.key, b.key, m) : 0;
            if (r == 0) {
                r = a.len < b.len ? -1 : (a.len > b.len ? 1 : 0);
            }
        } else {
            r = collator_->Compare(entries_[a.pos].card.Index(), entries_[b.pos].card.Index());
        }
        return r != 0 ? r < 0 : a.pos < b.pos;
    };
    auto mid = recs.begin() + static_cast<std::ptrdiff_t>(sortedPrefix_);
    std::sort(mid, recs.end(), less);
    if (sortedPrefix_ > 0) {
        std::inplace_merge(recs.begin(), mid, recs.end(), less);
    }
    // Apply the permutation in place, one cycle at a time.
    for (std::size_t i = 0; i < n; ++i) {
        if (recs[i].pos == i || recs[i].pos == kUnkeyed) {
            continue;
        }
        Entry tmp = std::move(entries_[i]);
        std::size_t j = i;
        for (;;) {
            std::size_t from = recs[j].pos;
            recs[j].pos = kUnkeyed;  // done
            if (from == i) {
                entries_[j] = std::move(tmp);
                break;
            }
            entries_[j] = std::move(entries_[from]);
            j = from;
        }
    }
    sortedPrefix_ = n;
}

void CardSet::SortPending() {
    EnsureSorted();
}

void CardSet::Reserve(std::size_t n) {
    entries_.reserve(n);
}

int CardSet::Count() const {
    return static_cast<int>(entries_.size());
}

const std::string& CardSet::IndexAt(int pos) const {
    return CardAt(pos).Index();
}

const Card& CardSet::CardAt(int pos) const {
    EnsureSorted();
    if (pos < 0 || static_cast<std::size_t>(pos) >= entries_.size()) {
        throw std::out_of_range("CardSet: position out of range");
    }
    return entries_[static_cast<std::size_t>(pos)].card;
}

std::size_t CardSet::LowerBound(const Entry& probe) const {
    std::size_t lo = 0, hi = entries_.size();
    while (lo < hi) {
        std::size_t mid = lo + (hi - lo) / 2;
        if (CompareEntries(entries_[mid], probe) < 0) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo;
}

std::size_t CardSet::UpperBound(const Entry& probe) const {
    std::size_t lo = 0, hi = entries_.size();
    while (lo < hi) {
        std::size_t mid = lo + (hi - lo) / 2;
        if (CompareEntries(probe, entries_[mid]) < 0) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    return lo;
}

int CardSet::Insert(Card card) {
    EnsureSorted();
    Entry e = MakeEntry(std::move(card));
    const std::size_t pos = UpperBound(e);
    const int at = static_cast<int>(pos);
    if (observer_) {
        observer_->CardAboutToBeInserted(at);
    }
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(pos), std::move(e));
    sortedPrefix_ = entries_.size();
    if (observer_) {
        observer_->CardInserted(at);
    }
    return at;
}

void CardSet::AppendUnsorted(Card card) {
    entries_.push_back(MakeEntry(std::move(card)));
}

void CardSet::RemoveAt(int pos) {
    (void)TakeAt(pos);
}

Card CardSet::TakeAt(int pos) {
    EnsureSorted();
    if (pos < 0 || static_cast<std::size_t>(pos) >= entries_.size()) {
        throw std::out_of_range("CardSet: position out of range");
    }
    if (observer_) {
        observer_->CardAboutToBeRemoved(pos);
    }
    Card c = std::move(entries_[static_cast<std::size_t>(pos)].card);
    entries_.erase(entries_.begin() + pos);
    sortedPrefix_ = entries_.size();
    if (observer_) {
        observer_->CardRemoved(pos);
    }
    return c;
}

void CardSet::Clear() {
    if (observer_) {
        observer_->CardsAboutToBeCleared();
    }
    entries_.clear();
    sortedPrefix_ = 0;
    if (observer_) {
        observer_->CardsCleared();
    }
}

int CardSet::FindCard(std::string_view text) const {
    return FindCardExcept(text, entries_.size());
}

int CardSet::FindCardExcept(std::string_view text, std::size_t skip) const {
    EnsureSorted();
    Entry probe;
    probe.card.lines.emplace_back(text);
    probe.keyed = collator_->MakeKey(text, probe.key);
    for (std::size_t i = LowerBound(probe); i < entries_.size(); ++i) {
        if (CompareEntries(entries_[i], probe) != 0) {
            break;
        }
        if (i != skip && collator_->SameExceptCase(entries_[i].card.Index(), text)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string CardSet::UniqueIndex(std::string text) const {
    while (FindCard(text) != -1) {
        text.push_back('.');
    }
    return text;
}

bool CardSet::FitsInPlace(const Entry& e, std::size_t pos) const {
    // Sorted insertion goes after equal entries: the one before may compare equal, the one
    // after must compare greater.
    if (pos > 0 && CompareEntries(entries_[pos - 1], e) > 0) {
        return false;
    }
    return pos + 1 >= entries_.size() || CompareEntries(e, entries_[pos + 1]) < 0;
}

int CardSet::CommitLines(int pos, std::vector<std::string> lines, std::string* finalIndex) {
    EnsureSorted();
    if (pos < 0 || static_cast<std::size_t>(pos) >= entries_.size()) {
        return -1;
    }
    const auto at = static_cast<std::size_t>(pos);
    if (lines.empty()) {
        lines = {std::string(), std::string()};
    }
    // The card being replaced no longer counts for the unique index.
    while (FindCardExcept(lines[0], at) != -1) {
        lines[0].push_back('.');
    }
    std::string index = lines[0];
    Entry e = MakeEntry(Card{std::move(lines)});
    if (FitsInPlace(e, at)) {
        // Most commits keep the card's place; replacing it there avoids moving every entry
        // behind it, which made long replace-all runs quadratic.
        entries_[at] = std::move(e);
        if (observer_) {
            observer_->CardChanged(pos);
        }
    } else {
        // Where it lands once it has left its place: the entries after it move up by one.
        const std::size_t bound = UpperBound(e);
        const int to = static_cast<int>(bound <= at ? bound : bound - 1);
        if (observer_) {
            observer_->CardAboutToBeMoved(pos, to);
        }
        entries_.erase(entries_.begin() + pos);
        entries_.insert(entries_.begin() + to, std::move(e));
        sortedPrefix_ = entries_.size();
        if (observer_) {
            observer_->CardMoved(pos, to);
            observer_->CardChanged(to);
        }
    }
    if (finalIndex != nullptr) {
        *finalIndex = index;
    }
    return FindCard(index);
}

int CardSet::Compare(std::string_view a, std::string_view b) const {
    return collator_->Compare(a, b);
}

int PositionAfterMove(int pos, int from, int to) {
    if (pos == from) {
        return to;
    }
    pos -= pos > from ? 1 : 0;
    return pos + (pos >= to ? 1 : 0);
}

}  // namespace tabellan
