#include <gtest/gtest.h>

#include <random>

#include "cardfile/card_set.h"

namespace tabellan {
namespace {

std::vector<std::string> Contents(const CardSet& s) {
    std::vector<std::string> out;
    for (int i = 0; i < s.Count(); ++i) {
        out.push_back(s.CardAt(i).Text());
    }
    return out;
}

// The commit as the plain steps: remove, make the index unique, insert sorted.
int CommitByRemoval(CardSet& s, int pos, std::vector<std::string> lines) {
    s.RemoveAt(pos);
    if (lines.empty()) {
        lines = {std::string(), std::string()};
    }
    lines[0] = s.UniqueIndex(lines[0]);
    const std::string index = lines[0];
    s.Insert(Card{std::move(lines)});
    return s.FindCard(index);
}

TEST(CardSetCommitTest, InPlaceCommitKeepsTheOrderOfRemoveAndInsert) {
    const std::vector<std::string> pool = {"a", "A", "a.", "b", "B", "", ".", "ab", "Ab", "b."};
    std::mt19937 rng(7);
    for (int round = 0; round < 400; ++round) {
        CardSet fast;
        CardSet plain;
        const int n = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < n; ++i) {
            const std::string idx = pool[rng() % pool.size()];
            const std::string body = std::to_string(i);
            fast.Insert(Card{{idx, body}});
            plain.Insert(Card{{idx, body}});
        }
        ASSERT_EQ(Contents(fast), Contents(plain));
        for (int step = 0; step < 6; ++step) {
            const int pos = static_cast<int>(rng() % static_cast<unsigned>(fast.Count()));
            std::vector<std::string> lines;
            if (rng() % 5 != 0) {
                lines = {pool[rng() % pool.size()], "edit" + std::to_string(step)};
            }
            std::string index;
            const int got = fast.CommitLines(pos, lines, &index);
            const int want = CommitByRemoval(plain, pos, lines);
            ASSERT_EQ(got, want) << "round " << round << " step " << step;
            ASSERT_EQ(Contents(fast), Contents(plain)) << "round " << round << " step " << step;
            EXPECT_EQ(fast.IndexAt(got), index);
        }
    }
}

// Keeps a copy of the set's card texts by replaying what the set reports, checking on the
// way that every change is announced before it happens and confirmed after, at the places
// it names.
class MirrorObserver : public CardSetObserver {
  public:
    explicit MirrorObserver(const CardSet& set) : set_(set), mirror_(Contents(set)) {}

    const std::vector<std::string>& Mirror() const { return mirror_; }

    void CardAboutToBeInserted(int pos) override { Announce("insert", pos, pos, mirror_.size()); }
    void CardInserted(int pos) override {
        Confirm("insert", pos, pos);
        mirror_.insert(mirror_.begin() + pos, set_.CardAt(pos).Text());
    }
    void CardAboutToBeRemoved(int pos) override {
        Announce("remove", pos, pos, mirror_.size() - 1);
        EXPECT_EQ(set_.CardAt(pos).Text(), mirror_[pos]) << "removing another card";
    }
    void CardRemoved(int pos) override {
        Confirm("remove", pos, pos);
        mirror_.erase(mirror_.begin() + pos);
    }
    void CardAboutToBeMoved(int from, int to) override {
        Announce("move", from, to, mirror_.size() - 1);
        EXPECT_NE(from, to);
        EXPECT_EQ(set_.CardAt(from).Text(), mirror_[from]) << "moving another card";
    }
    void CardMoved(int from, int to) override {
        Confirm("move", from, to);
        std::string moved = mirror_[from];
        mirror_.erase(mirror_.begin() + from);
        mirror_.insert(mirror_.begin() + to, std::move(moved));
    }
    void CardChanged(int pos) override {
        EXPECT_TRUE(pending_.empty()) << "a change inside " << pending_;
        ASSERT_LT(static_cast<std::size_t>(pos), mirror_.size());
        mirror_[pos] = set_.CardAt(pos).Text();
    }
    void CardsAboutToBeCleared() override { Announce("clear", 0, 0, 0); }
    void CardsCleared() override {
        Confirm("clear", 0, 0);
        mirror_.clear();
    }

  private:
    void Announce(const std::string& what, int a, int b, std::size_t last) {
        EXPECT_TRUE(pending_.empty()) << what << " inside " << pending_;
        EXPECT_GE(a, 0);
        EXPECT_LE(static_cast<std::size_t>(b), last) << what;
        pending_ = what;
        a_ = a;
        b_ = b;
    }
    void Confirm(const std::string& what, int a, int b) {
        EXPECT_EQ(pending_, what);
        EXPECT_EQ(a_, a);
        EXPECT_EQ(b_, b);
        pending_.clear();
    }

    const CardSet& set_;
    std::vector<std::string> mirror_;
    std::string pending_;
    int a_ = 0;
    int b_ = 0;
};

TEST(CardSetObserverTest, ReportedChangesReplayToTheSetsOrder) {
    const std::vector<std::string> pool = {"a", "A", "a.", "b", "B", "", ".", "ab", "Ab", "b."};
    std::mt19937 rng(11);
    CardSet set;
    MirrorObserver observer(set);
    set.SetObserver(&observer);
    int moves = 0;
    for (int step = 0; step < 3000; ++step) {
        const unsigned op = rng() % 10;
        if (op < 3 || set.Count() == 0) {
            set.Insert(Card{{pool[rng() % pool.size()], "n" + std::to_string(step)}});
        } else if (op < 5) {
            set.RemoveAt(static_cast<int>(rng() % static_cast<unsigned>(set.Count())));
        } else if (op < 9) {
            const int pos = static_cast<int>(rng() % static_cast<unsigned>(set.Count()));
            const int after = set.CommitLines(
                pos, {pool[rng() % pool.size()], "e" + std::to_string(step)}, nullptr);
            moves += after != pos;
        } else if (rng() % 20 == 0) {
            set.Clear();
        }
        ASSERT_EQ(observer.Mirror(), Contents(set)) << "step " << step;
    }
    EXPECT_GT(moves, 100);  // the commits moved cards both ways, not only in place
    set.SetObserver(nullptr);
    set.Insert(Card{{"unobserved"}});
    EXPECT_EQ(observer.Mirror().size() + 1, static_cast<std::size_t>(set.Count()));
}

}  // namespace
}  // namespace tabellan
