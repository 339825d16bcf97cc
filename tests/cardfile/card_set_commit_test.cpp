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

}  // namespace
}  // namespace tabellan
