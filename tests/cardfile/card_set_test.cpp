#include "cardfile/card_set.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "cardfile/file_status.h"
#include "cardfile/index_collator.h"

namespace tabellan {
namespace {

Card MakeCard(std::string index, std::string body = "body") {
    return Card{{std::move(index), std::move(body)}};
}

std::vector<std::string> Indexes(const CardSet& s) {
    std::vector<std::string> v;
    for (int i = 0; i < s.Count(); ++i) {
        v.push_back(s.IndexAt(i));
    }
    return v;
}

// (index, body) of every entry, in order.
std::vector<std::pair<std::string, std::string>> Contents(const CardSet& s) {
    std::vector<std::pair<std::string, std::string>> v;
    for (int i = 0; i < s.Count(); ++i) {
        const Card& c = s.CardAt(i);
        v.emplace_back(c.Index(), c.lines.size() > 1 ? c.lines[1] : std::string());
    }
    return v;
}

// The literal walk, step by step: the reference the fast pass must match.
IndexCorrection LiteralCorrectIndexes(CardSet& s) {
    IndexCorrection r;
    if (s.Count() < 2) {
        return r;
    }
    for (;;) {
        bool found = false;
        for (int i = 0; i + 1 < s.Count(); ++i) {
            if (s.IndexAt(i) == s.IndexAt(i + 1)) {
                Card c = s.TakeAt(i + 1);
                c.lines[0] += ".";
                r.lastIndex = c.lines[0];
                s.Insert(std::move(c));
                ++r.count;
                found = true;
                break;
            }
        }
        if (!found) {
            return r;
        }
    }
}

TEST(CardSetTest, SortsIgnoringCaseAndKeepsInsertionOrderForEqualIndexes) {
    CardSet s(CodePage::Windows1252, "");
    s.Insert(MakeCard("b"));
    s.Insert(MakeCard("Smith", "1"));
    s.Insert(MakeCard("A"));
    s.Insert(MakeCard("smith", "2"));
    s.Insert(MakeCard("a"));
    s.Insert(MakeCard("C"));
    EXPECT_EQ(Indexes(s), (std::vector<std::string>{"A", "a", "b", "C", "Smith", "smith"}));
    EXPECT_LT(s.Compare("apple", "Banana"), 0);
    EXPECT_EQ(s.Compare("SMITH", "smith"), 0);
    EXPECT_GT(s.Compare("\xe9t\xe9", "ete"), 0);  // accents count (secondary strength)
    EXPECT_LT(s.Compare("\xe9t\xe9", "f"), 0);
}

TEST(CardSetTest, InsertReturnsPositionAfterEqualEntries) {
    CardSet s(CodePage::Windows1252, "");
    EXPECT_EQ(s.Insert(MakeCard("m")), 0);
    EXPECT_EQ(s.Insert(MakeCard("z")), 1);
    EXPECT_EQ(s.Insert(MakeCard("M")), 1);
    EXPECT_EQ(s.Insert(MakeCard("a")), 0);
    EXPECT_EQ(Indexes(s), (std::vector<std::string>{"a", "m", "M", "z"}));
}

TEST(CardSetTest, BulkLoadGivesTheOrderOfRepeatedInsert) {
    std::mt19937 rng(7);
    const char* words[] = {"Smith",    "smith", "SMITH", "Jones", "jones", "",     "a",     "A",
                           "\xc4rger", "arger", "Zorro", "zorro", ".",     "\x01", "Smith."};
    for (int round = 0; round < 20; ++round) {
        CardSet bulk(CodePage::Windows1252, "");
        CardSet one(CodePage::Windows1252, "");
        int n = 1 + static_cast<int>(rng() % 60);
        for (int i = 0; i < n; ++i) {
            std::string w = words[rng() % std::size(words)];
            Card c = MakeCard(w, std::to_string(i));
            one.Insert(c);
            bulk.AppendUnsorted(c);
            if (rng() % 7 == 0) {
                bulk.SortPending();  // a sorted prefix followed by more appends
            }
        }
        bulk.SortPending();
        EXPECT_EQ(Contents(bulk), Contents(one));
    }
}

TEST(CardSetTest, OwnershipRemoveTakeClear) {
    CardSet s(CodePage::Windows1252, "");
    s.Insert(MakeCard("b", "B"));
    s.Insert(MakeCard("a", "A"));
    s.Insert(MakeCard("c", "C"));
    Card c = s.TakeAt(1);
    EXPECT_EQ(c.lines, (std::vector<std::string>{"b", "B"}));
    s.RemoveAt(0);
    EXPECT_EQ(Indexes(s), (std::vector<std::string>{"c"}));
    EXPECT_THROW(s.RemoveAt(1), std::out_of_range);
    EXPECT_THROW(s.CardAt(-1), std::out_of_range);
    s.Clear();
    EXPECT_EQ(s.Count(), 0);
}

TEST(CardSetTest, FindCard) {
    CardSet s(CodePage::Windows1252, "");
    EXPECT_EQ(s.FindCard(""), -1);
    s.Insert(MakeCard("Smith"));
    s.Insert(MakeCard("Jones"));
    EXPECT_EQ(s.FindCard("SMITH"), 1);
    EXPECT_EQ(s.FindCard("smith"), 1);
    EXPECT_EQ(s.FindCard("Smit"), -1);
    EXPECT_EQ(s.FindCard("Smith "), -1);
    EXPECT_EQ(s.FindCard(""), -1);
    s.Insert(MakeCard("\x01"));  // compares equal to the empty text, but is not empty
    EXPECT_EQ(s.FindCard(""), -1);
    EXPECT_EQ(s.FindCard("\x01"), 0);
    s.Insert(MakeCard(""));
    EXPECT_EQ(s.IndexAt(1), "");
    EXPECT_EQ(s.FindCard(""), 1);
    // Accented letters: case-insensitive, but accents count.
    s.Insert(MakeCard("\xc9mile"));  // Émile
    EXPECT_GE(s.FindCard("\xe9MILE"), 0);
    EXPECT_EQ(s.FindCard("EMILE"), -1);
    // A control character in the index is not ignored.
    EXPECT_EQ(s.FindCard("Smi\x01th"), -1);
}

TEST(CardSetTest, FindCardReturnsTheFirstMatch) {
    CardSet s(CodePage::Windows1252, "");
    s.Insert(MakeCard("smith", "1"));
    s.Insert(MakeCard("Smith", "2"));
    EXPECT_EQ(s.FindCard("SMITH"), 0);
    EXPECT_EQ(s.FindCard("Smith"), 0);
}

TEST(CardSetTest, UniqueIndex) {
    CardSet s(CodePage::Windows1252, "");
    s.Insert(MakeCard("smith"));
    EXPECT_EQ(s.UniqueIndex("Smith"), "Smith.");
    s.Insert(MakeCard("Smith."));
    EXPECT_EQ(s.UniqueIndex("Smith"), "Smith..");
    EXPECT_EQ(s.UniqueIndex("Jones"), "Jones");
}

TEST(CardSetTest, CommitLinesMovesAndUniquifies) {
    CardSet s(CodePage::Windows1252, "");
    s.Insert(MakeCard("Smith", "a"));
    s.Insert(MakeCard("Adams", "b"));
    s.Insert(MakeCard("Zeta", "c"));
    // Zeta (position 2) renamed to smith.
    std::string idx;
    int pos = s.CommitLines(2, {"smith", "c2"}, &idx);
    EXPECT_EQ(idx, "smith.");
    EXPECT_EQ(pos, s.FindCard("smith."));
    EXPECT_EQ(Indexes(s), (std::vector<std::string>{"Adams", "Smith", "smith."}));
    EXPECT_EQ(s.CardAt(pos).lines, (std::vector<std::string>{"smith.", "c2"}));
    // The committed card itself does not count: recommitting smith. keeps it.
    pos = s.CommitLines(pos, {"smith.", "c3"}, &idx);
    EXPECT_EQ(idx, "smith.");
    EXPECT_EQ(pos, 2);
    // Empty editor: two empty lines; a second one gets ".".
    pos = s.CommitLines(0, {}, &idx);
    EXPECT_EQ(idx, "");
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(s.CardAt(0).lines, (std::vector<std::string>{"", ""}));
    pos = s.CommitLines(1, {}, &idx);
    EXPECT_EQ(idx, ".");
    EXPECT_EQ(s.CardAt(pos).lines, (std::vector<std::string>{".", ""}));
    EXPECT_EQ(s.CommitLines(9, {"x"}, &idx), -1);
    EXPECT_EQ(s.Count(), 3);
}

TEST(CardSetTest, CorrectIndexesSpecExamples) {
    {
        CardSet s(CodePage::Windows1252, "");
        for (int i = 0; i < 3; ++i) {
            s.AppendUnsorted(MakeCard("A", std::to_string(i)));
        }
        IndexCorrection c = s.CorrectIndexes();
        EXPECT_EQ(c.count, 3);
        EXPECT_EQ(c.lastIndex, "A..");
        EXPECT_EQ(Contents(s), (std::vector<std::pair<std::string, std::string>>{
                                   {"A", "0"}, {"A.", "1"}, {"A..", "2"}}));
        EXPECT_EQ(IndexCorrectionMessage(c), "3 index corrections were made.\rLast one was at A..");
    }
    {
        CardSet s(CodePage::Windows1252, "");
        s.AppendUnsorted(MakeCard("A", "1"));
        s.AppendUnsorted(MakeCard("A", "2"));
        s.AppendUnsorted(MakeCard("a", "3"));
        IndexCorrection c = s.CorrectIndexes();
        EXPECT_EQ(c.count, 1);
        EXPECT_EQ(c.lastIndex, "A.");
        EXPECT_EQ(Indexes(s), (std::vector<std::string>{"A", "a", "A."}));
        EXPECT_EQ(IndexCorrectionMessage(c), "One index correction was made at A.");
    }
    {
        // The index is user text in the message: its "&" doubled, as a box shows one.
        CardSet s(CodePage::Windows1252, "");
        s.AppendUnsorted(MakeCard("Smith & Co", "1"));
        s.AppendUnsorted(MakeCard("Smith & Co", "2"));
        EXPECT_EQ(IndexCorrectionMessage(s.CorrectIndexes()),
                  "One index correction was made at Smith && Co.");
    }
    {
        // Exact duplicates separated by a case variant stay.
        CardSet s(CodePage::Windows1252, "");
        s.AppendUnsorted(MakeCard("A", "1"));
        s.AppendUnsorted(MakeCard("a", "2"));
        s.AppendUnsorted(MakeCard("A", "3"));
        IndexCorrection c = s.CorrectIndexes();
        EXPECT_EQ(c.count, 0);
        EXPECT_EQ(c.lastIndex, "");
        EXPECT_EQ(IndexCorrectionMessage(c), "");
        EXPECT_EQ(Indexes(s), (std::vector<std::string>{"A", "a", "A"}));
    }
}

TEST(CardSetTest, CorrectIndexesNIdenticalCountsNTimesNMinusOneHalf) {
    for (int n : {2, 4, 5, 17, 50}) {
        CardSet s(CodePage::Windows1252, "");
        CardSet ref(CodePage::Windows1252, "");
        for (int i = 0; i < n; ++i) {
            s.AppendUnsorted(MakeCard("Smith", std::to_string(i)));
            ref.AppendUnsorted(MakeCard("Smith", std::to_string(i)));
        }
        IndexCorrection c = s.CorrectIndexes();
        IndexCorrection r = LiteralCorrectIndexes(ref);
        EXPECT_EQ(c.count, static_cast<std::int64_t>(n) * (n - 1) / 2);
        EXPECT_EQ(c.count, r.count);
        EXPECT_EQ(c.lastIndex, "Smith" + std::string(static_cast<std::size_t>(n - 1), '.'));
        EXPECT_EQ(c.lastIndex, r.lastIndex);
        EXPECT_EQ(Contents(s), Contents(ref));
    }
}

TEST(CardSetTest, CorrectIndexesTenThousandIdentical) {
    const int n = 10000;
    CardSet s(CodePage::Windows1252, "");
    for (int i = 0; i < n; ++i) {
        s.AppendUnsorted(MakeCard("Duplicate", std::to_string(i)));
    }
    s.AppendUnsorted(MakeCard("Duplicate.x", "other"));
    s.AppendUnsorted(MakeCard("duplicate..", "case variant"));
    IndexCorrection c = s.CorrectIndexes();
    EXPECT_EQ(s.Count(), n + 2);
    // Indexes are unique byte for byte among neighbours, and still sorted.
    for (int i = 0; i + 1 < s.Count(); ++i) {
        ASSERT_NE(s.IndexAt(i), s.IndexAt(i + 1));
        ASSERT_LE(s.Compare(s.IndexAt(i), s.IndexAt(i + 1)), 0);
    }
    EXPECT_GE(c.count, static_cast<std::int64_t>(n) * (n - 1) / 2);
    // Inserting and finding still work with the long indexes.
    EXPECT_GE(s.FindCard(c.lastIndex), 0);
    EXPECT_EQ(s.FindCard("DUPLICATE" + std::string(n - 1, '.')), n);
}

TEST(CardSetTest, CorrectIndexesRefusesAbsurdWork) {
    CardSet s(CodePage::Windows1252, "");
    for (int i = 0; i < 40000; ++i) {
        s.AppendUnsorted(MakeCard("X", std::to_string(i)));
    }
    EXPECT_THROW(s.CorrectIndexes(), EIndexCorrectionLimit);
    EXPECT_EQ(s.Count(), 40000);
    EXPECT_EQ(s.IndexAt(39999), "X");  // unchanged
}

// A locale id, or "rules:" and ICU tailoring rules.
std::unique_ptr<IndexCollator> MakeCollator(const std::string& param) {
    if (param.rfind("rules:", 0) == 0) {
        std::string r = param.substr(6);
        return IndexCollator::FromRules(CodePage::Windows1252, std::u16string(r.begin(), r.end()));
    }
    return std::make_unique<IndexCollator>(CodePage::Windows1252, param);
}

class CorrectIndexesRandom : public ::testing::TestWithParam<const char*> {};

TEST_P(CorrectIndexesRandom, MatchesTheLiteralWalk) {
    const std::string param = GetParam();
    std::mt19937 rng(12345);
    const std::vector<std::string> words = {
        "A",    "a",    "A.",      "a.",     "A..", "A...", "B",    "b",     "b.",  "",  ".",
        "..",   "\x01", "A\x01",   "a\x01.", "A.a", "AB",   "\xc4", "\xe4.", "Ab.", "I", "i",
        "\xdd", "\xfd", "A\x01..", " A",     "A ",  "A-",   "A'",   "B.",    "b.."};
    for (int round = 0; round < 1500; ++round) {
        CardSet fast(MakeCollator(param));
        CardSet ref(MakeCollator(param));
        int n = 2 + static_cast<int>(rng() % 24);
        // A few words drawn from the list: many exact duplicates.
        std::vector<std::string> pick;
        int alphabet = 1 + static_cast<int>(rng() % 5);
        for (int k = 0; k < alphabet; ++k) {
            pick.push_back(words[rng() % words.size()]);
        }
        for (int i = 0; i < n; ++i) {
            const std::string& w = pick[rng() % pick.size()];
            fast.AppendUnsorted(MakeCard(w, std::to_string(i)));
            ref.AppendUnsorted(MakeCard(w, std::to_string(i)));
        }
        fast.SortPending();
        ref.SortPending();
        IndexCorrection r = LiteralCorrectIndexes(ref);
        IndexCorrection c = fast.CorrectIndexes();
        ASSERT_EQ(c.count, r.count) << "round " << round;
        ASSERT_EQ(c.lastIndex, r.lastIndex) << "round " << round;
        ASSERT_EQ(Contents(fast), Contents(ref)) << "round " << round;
        // The corrected set keeps working like a sorted set.
        fast.Insert(MakeCard("a", "new"));
        ref.Insert(MakeCard("a", "new"));
        ASSERT_EQ(Contents(fast), Contents(ref));
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, CorrectIndexesRandom,
                         ::testing::Values("", "en_US", "de_DE", "tr_TR", "th_TH", "sv_SE",
                                           // "b." before "b": a corrected index can move to an
                                           // earlier group; "." ignorable after "a".
                                           "rules:&a < 'b.' &'!' < 'a.'",
                                           "rules:&[before 1]b < 'b.' &a = 'a.'"));

TEST(CardSetTest, CorrectionCanMoveToAnEarlierGroup) {
    auto coll = IndexCollator::FromRules(CodePage::Windows1252, u"&a < 'b.'");
    EXPECT_LT(coll->Compare("b.", "b"), 0);
    EXPECT_LT(coll->Compare("b..", "b"), 0);
}

TEST(CardSetTest, LocaleFromEnvironment) {
    ::setenv("LC_ALL", "de_DE.UTF-8@euro", 1);
    EXPECT_EQ(IndexCollator::LocaleFromEnvironment(), "de_DE");
    ::setenv("LC_ALL", "C", 1);
    EXPECT_EQ(IndexCollator::LocaleFromEnvironment(), "");
    ::setenv("LC_ALL", "", 1);
    ::setenv("LC_COLLATE", "POSIX", 1);
    EXPECT_EQ(IndexCollator::LocaleFromEnvironment(), "");
    ::unsetenv("LC_COLLATE");
    ::setenv("LANG", "sv_SE.ISO-8859-1", 1);
    EXPECT_EQ(IndexCollator::LocaleFromEnvironment(), "sv_SE");
    ::unsetenv("LC_ALL");
    ::unsetenv("LANG");
    EXPECT_EQ(IndexCollator::LocaleFromEnvironment(), "");
}

TEST(CardSetTest, SwedishOrderPutsAeAfterZ) {
    CardSet s(CodePage::Windows1252, "sv_SE");
    s.Insert(MakeCard("\xc4ngel"));  // Ängel
    s.Insert(MakeCard("zebra"));
    EXPECT_EQ(s.IndexAt(0), "zebra");
    CardSet root(CodePage::Windows1252, "");
    root.Insert(MakeCard("\xc4ngel"));
    root.Insert(MakeCard("zebra"));
    EXPECT_EQ(root.IndexAt(0), "\xc4ngel");
}

TEST(CardSetTest, StatusAndMessages) {
    EXPECT_EQ(FileStatusText(0, false), "Total 0 cards.  File is unencrypted...");
    EXPECT_EQ(FileStatusText(1, true), "Total 1 cards.  File is encrypted...");
    IndexCorrection c;
    c.count = 2;
    c.lastIndex = "X..";
    EXPECT_EQ(IndexCorrectionMessage(c), "2 index corrections were made.\rLast one was at X..");
}

}  // namespace
}  // namespace tabellan
