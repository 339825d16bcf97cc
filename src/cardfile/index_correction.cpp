// CardSet::CorrectIndexes and the warning it leads to.
#include "cardfile/index_correction.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <map>

#include "cardfile/card_set.h"
#include "cardfile/index_collator.h"
#include "cardfile/text_util.h"

namespace tabellan {

// ---------------------------------------------------------------------------------------
// CorrectIndexes
//
// The literal walk: find the first neighbouring pair with byte-equal indexes, append "." to
// the second one's index, re-insert it sorted (after entries that compare equal), count,
// start again from the first pair. It is simulated here on groups and runs:
//
//  - A group is a maximal range of entries whose indexes compare equal (one sort key); the
//    set is the groups in key order. Byte-equal indexes always share a group, and two
//    neighbours from different groups are never byte-equal, so every pair the walk can
//    find lies inside one group.
//  - A group is a sequence of runs: maximal ranges of byte-equal neighbours. Runs are
//    stored with their cards as a linked list, so a run splits and merges in O(1).
//  - The walk's first pair is the first run of two or more cards in the first group that
//    has one. Correcting it removes the run's second card and inserts it, with one more
//    ".", at the END of the group of the new text (re-insertion after equal entries): as a
//    new run there, or merged into that group's last run when that run has the same text.
//  - When the new text's group is not before the current one, the walk keeps correcting
//    the same run until one card is left (nothing before it changed), so the whole rest of
//    the run moves in one step, in order, and counts as that many corrections. When the
//    group is before the current one (possible only with an unusual collation), one card
//    moves at a time and the walk goes back to that group if it now has a pair.
//
// For n identical indexes this gives n - 1 steps (each a run one card shorter and one "."
// longer) and the count n(n-1)/2. Texts are held as a stem (the index without its trailing
// dots) and a dot count, so no long index is built before the end.
// ---------------------------------------------------------------------------------------

namespace {

constexpr std::uint64_t kCorrectionWorkLimit = std::uint64_t{100} << 20;  // bytes of text

struct DotText {
    std::string_view stem;  // without trailing dots
    std::uint64_t dots = 0;

    static DotText Of(std::string_view s) {
        std::size_t end = s.size();
        while (end > 0 && s[end - 1] == '.') {
            --end;
        }
        return DotText{s.substr(0, end), s.size() - end};
    }
    std::uint64_t Length() const { return stem.size() + dots; }
    bool operator==(const DotText& o) const { return dots == o.dots && stem == o.stem; }
    std::string Materialize() const {
        std::string s;
        s.reserve(static_cast<std::size_t>(Length()));
        s.append(stem);
        s.append(static_cast<std::size_t>(dots), '.');
        return s;
    }
};

// UTF-16 of a stem and its dots without writing the dots each time: the buffer holds room
// for a stem followed by a long run of dots, and only the stem is converted in front of them.
class DotBuffer {
  public:
    std::u16string_view View(const DotText& t, const CodePageTable& table) {
        const std::size_t stem = t.stem.size();
        const std::size_t dots = static_cast<std::size_t>(t.dots);
        if (stem > head_ || dots > buf_.size() - head_) {
            head_ = std::max({head_, stem, std::size_t{64}});
            std::size_t cap = std::max(
                {2 * (buf_.size() - std::min(buf_.size(), head_)), dots, std::size_t{1024}});
            buf_.assign(head_ + cap, u'.');
        }
        char16_t* start = buf_.data() + head_ - stem;
        char16_t* p = start;
        for (unsigned char b : t.stem) {
            *p++ = table.toUnicode[b];
        }
        return {start, stem + dots};
    }

  private:
    std::u16string buf_;
    std::size_t head_ = 0;
};

struct GroupKey {
    DotText text;          // any text of the group (they all compare equal)
    std::string_view key;  // sort key when keyed (into the entries or the key arena)
    bool keyed = false;
};

struct Run {
    DotText text;
    int head = -1, tail = -1;  // the cards, linked through next[]
    std::int64_t count = 0;
    bool changed = false;  // the text differs from its cards' original index
};

struct Group {
    std::vector<Run> runs;
    std::size_t scan = 0;  // runs before scan hold one card each
    // The group's range in the sorted entries when it existed before the pass ([-1, -1) for
    // a group made by a correction); origNext: the first entry whose key is greater.
    std::ptrdiff_t origBegin = -1, origEnd = -1, origNext = 0;
};

}  // namespace

IndexCorrection CardSet::CorrectIndexes() {
    EnsureSorted();
    IndexCorrection result;
    const std::size_t n = entries_.size();
    if (n < 2) {
        return result;
    }
    bool any = false;
    for (std::size_t i = 0; i + 1 < n && !any; ++i) {
        any = entries_[i].card.Index() == entries_[i + 1].card.Index();
    }
    if (!any) {
        return result;
    }

    // Only groups that hold a pair, or that a corrected card moves into, are built; every
    // other group is clean, stays where it is and is never looked at again.
    const IndexCollator& coll = *collator_;
    DotBuffer bufA, bufB;
    // The map checks an insertion hint with the comparison just made the other way round;
    // long texts are costly to compare, so the last few results are remembered.
    struct Memo {
        const char* a;
        std::uint64_t alen, adots;
        const char* b;
        std::uint64_t blen, bdots;
        int r;
    };
    Memo memo[4] = {};
    int memoNext = 0;
    auto compareKeys = [&](const GroupKey& a, const GroupKey& b) {
        if (a.keyed && b.keyed) {
            int r = a.key.compare(b.key);
            return r < 0 ? -1 : (r > 0 ? 1 : 0);
        }
        for (const Memo& m : memo) {
            if (m.a == a.text.stem.data() && m.alen == a.text.stem.size() &&
                m.adots == a.text.dots && m.b == b.text.stem.data() &&
                m.blen == b.text.stem.size() && m.bdots == b.text.dots) {
                return m.r;
            }
            if (m.b == a.text.stem.data() && m.blen == a.text.stem.size() &&
                m.bdots == a.text.dots && m.a == b.text.stem.data() &&
                m.alen == b.text.stem.size() && m.adots == b.text.dots) {
                return -m.r;
            }
        }
        int r = coll.Compare16(bufA.View(a.text, coll.Table()), bufB.View(b.text, coll.Table()));
        memo[memoNext] = Memo{a.text.stem.data(),
                              a.text.stem.size(),
                              a.text.dots,
                              b.text.stem.data(),
                              b.text.stem.size(),
                              b.text.dots,
                              r};
        memoNext = (memoNext + 1) % 4;
        return r;
    };
    auto entryKey = [&](std::size_t i) {
        const Entry& e = entries_[i];
        return GroupKey{DotText::Of(e.card.Index()), e.key, e.keyed};
    };
    struct KeyLess {
        const std::function<int(const GroupKey&, const GroupKey&)>* cmp;
        bool operator()(const GroupKey& a, const GroupKey& b) const { return (*cmp)(a, b) < 0; }
    };
    std::function<int(const GroupKey&, const GroupKey&)> cmpFn = compareKeys;
    using GroupMap = std::map<GroupKey, Group, KeyLess>;
    GroupMap groups(KeyLess{&cmpFn});

    std::deque<std::string> stems;  // copies of stems that moved cards refer to
    std::deque<std::string> keys;   // sort keys of groups made by corrections
    std::vector<int> next(n, -1);

    // The original group around entry p, with its runs.
    auto buildOriginal = [&](std::size_t p, GroupMap::iterator hint) {
        GroupKey k = entryKey(p);
        std::size_t b = p, e = p + 1;
        while (b > 0 && compareKeys(entryKey(b - 1), k) == 0) {
            --b;
        }
        while (e < n && compareKeys(entryKey(e), k) == 0) {
            ++e;
        }
        Group g;
        g.origBegin = static_cast<std::ptrdiff_t>(b);
        g.origEnd = g.origNext = static_cast<std::ptrdiff_t>(e);
        for (std::size_t i = b; i < e; ++i) {
            const std::string& idx = entries_[i].card.Index();
            if (!g.runs.empty() &&
                entries_[static_cast<std::size_t>(g.runs.back().tail)].card.Index() == idx) {
                next[static_cast<std::size_t>(g.runs.back().tail)] = static_cast<int>(i);
                g.runs.back().tail = static_cast<int>(i);
                ++g.runs.back().count;
            } else {
                g.runs.push_back(
                    Run{DotText::Of(idx), static_cast<int>(i), static_cast<int>(i), 1, false});
            }
        }
        return groups.emplace_hint(hint, entryKey(b), std::move(g));
    };
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (entries_[i].card.Index() == entries_[i + 1].card.Index()) {
            auto it = buildOriginal(i, groups.end());
            i = static_cast<std::size_t>(it->second.origEnd) - 1;
        }
    }
    // First entry in [lo, n) whose key is not less than k.
    auto lowerBoundEntries = [&](const GroupKey& k, std::size_t lo) {
        std::size_t hi = n;
        while (lo < hi) {
            std::size_t mid = lo + (hi - lo) / 2;
            if (compareKeys(entryKey(mid), k) < 0) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        return lo;
    };
    // The group of key k, found or made; rel is the order of k against the cursor's group.
    auto findOrCreate = [&](const GroupKey& k, GroupMap::iterator cursor, int rel) {
        if (rel == 0) {
            return cursor;
        }
        GroupMap::iterator at;
        if (rel > 0) {
            at = std::next(cursor);
            if (at != groups.end() && compareKeys(k, at->first) > 0) {
                at = groups.lower_bound(k);
            }
        } else {
            at = groups.lower_bound(k);
        }
        if (at != groups.end() && compareKeys(k, at->first) == 0) {
            return at;
        }
        // Not built yet: an original group of that key, or a new one.
        std::size_t pos;
        if (rel > 0) {
            std::size_t from = static_cast<std::size_t>(cursor->second.origNext);
            pos = (from >= n || compareKeys(entryKey(from), k) >= 0)
                      ? from
                      : lowerBoundEntries(k, from + 1);
        } else {
            pos = lowerBoundEntries(k, 0);
        }
        if (pos < n && compareKeys(entryKey(pos), k) == 0) {
            return buildOriginal(pos, at);
        }
        Group g;
        g.origNext = static_cast<std::ptrdiff_t>(pos);
        return groups.emplace_hint(at, k, std::move(g));
    };

    std::uint64_t work = 0;
    DotText lastText;
    auto cursor = groups.begin();
    while (cursor != groups.end()) {
        Group& g = cursor->second;
        while (g.scan < g.runs.size() && g.runs[g.scan].count < 2) {
            ++g.scan;
        }
        if (g.scan == g.runs.size()) {
            ++cursor;
            continue;
        }
        const std::size_t ri = g.scan;
        // The moved cards refer to a stem that outlives the entries' own index strings.
        if (!g.runs[ri].changed) {
            stems.emplace_back(g.runs[ri].text.stem);
            g.runs[ri].text.stem = stems.back();
            g.runs[ri].changed = true;  // same text, now with an owned stem
        }
        DotText t{g.runs[ri].text.stem, g.runs[ri].text.dots + 1};
        work += t.Length() + 16;
        if (work > kCorrectionWorkLimit) {
            throw EIndexCorrectionLimit(
                "Too many duplicate indexes: correcting them would make the indexes too long.");
        }
        GroupKey tk{t, {}, false};
        if (t.Length() <= IndexCollator::kMaxKeyedLength) {
            std::string k;
            coll.MakeKey(t.Materialize(), k);
            keys.push_back(std::move(k));
            tk.key = keys.back();
            tk.keyed = true;
        }
        const int rel = compareKeys(tk, cursor->first);
        GroupMap::iterator target = findOrCreate(tk, cursor, rel);

        Run& run = g.runs[ri];
        const std::int64_t batch = rel >= 0 ? run.count - 1 : 1;
        int first = next[static_cast<std::size_t>(run.head)];
        int last;
        if (batch == run.count - 1) {
            last = run.tail;
            next[static_cast<std::size_t>(run.head)] = -1;
            run.tail = run.head;
        } else {
            last = first;
            next[static_cast<std::size_t>(run.head)] = next[static_cast<std::size_t>(first)];
            if (run.tail == first) {
                run.tail = run.head;
            }
            next[static_cast<std::size_t>(first)] = -1;
        }
        run.count -= batch;
        result.count += batch;
        lastText = t;
        // (run may dangle from here on: the target can be this very group.)

        Group& tg = target->second;
        bool dirty = false;
        if (!tg.runs.empty() && tg.runs.back().text == t) {
            Run& back = tg.runs.back();
            next[static_cast<std::size_t>(back.tail)] = first;
            back.tail = last;
            back.count += batch;
            dirty = true;
            tg.scan = std::min(tg.scan, tg.runs.size() - 1);
        } else {
            tg.runs.push_back(Run{t, first, last, batch, true});
            if (batch > 1) {
                dirty = true;
                tg.scan = std::min(tg.scan, tg.runs.size() - 1);
            }
        }
        if (rel < 0 && dirty) {
            cursor = target;  // the walk's first pair is now in that earlier group
        }
    }

    // New index texts, built before any card's own index changes (stems may point there).
    std::vector<std::pair<int, std::string>> renamed;
    for (auto& [gk, g] : groups) {
        for (const Run& r : g.runs) {
            const Entry& src = entries_[static_cast<std::size_t>(r.head)];
            if (r.changed && !(DotText::Of(src.card.Index()) == r.text)) {
                renamed.emplace_back(r.head, r.text.Materialize());
            }
        }
    }
    result.lastIndex = lastText.Materialize();
    for (auto& [id, text] : renamed) {
        Card& c = entries_[static_cast<std::size_t>(id)].card;
        if (c.lines.empty()) {
            c.lines.emplace_back();
        }
        c.lines[0] = std::move(text);
    }
    // The corrected set: untouched entries as they stand, built groups in their place (every
    // run holds one card now).
    std::vector<Entry> out;
    out.reserve(n);
    std::size_t i = 0;
    for (auto& [gk, g] : groups) {
        const std::size_t upTo =
            static_cast<std::size_t>(g.origBegin >= 0 ? g.origBegin : g.origNext);
        for (; i < upTo; ++i) {
            out.push_back(std::move(entries_[i]));
        }
        for (const Run& r : g.runs) {
            Entry& src = entries_[static_cast<std::size_t>(r.head)];
            Entry e;
            e.card = std::move(src.card);
            e.keyed = gk.keyed;
            if (gk.keyed) {
                e.key.assign(gk.key);
            }
            out.push_back(std::move(e));
        }
        if (g.origBegin >= 0) {
            i = static_cast<std::size_t>(g.origEnd);
        }
    }
    for (; i < n; ++i) {
        out.push_back(std::move(entries_[i]));
    }
    entries_ = std::move(out);
    sortedPrefix_ = entries_.size();
    return result;
}

std::string IndexCorrectionMessage(const IndexCorrection& c) {
    if (c.count <= 0) {
        return {};
    }
    if (c.count == 1) {
        return "One index correction was made at " + DoubleAmpersands(c.lastIndex);
    }
    return std::to_string(c.count) + " index corrections were made." + "\rLast one was at " +
           DoubleAmpersands(c.lastIndex);
}

}  // namespace tabellan
