// Replace All: the named cases that used to run forever or stop early, and random small card
// sets checked against two independent accounts of what Replace All must do:
//  - the reference loop: Replace All as first written, step for step (replace a selection
//    that equals the find text, run a search step, stop after the walk has wrapped at the
//    first match at or after the first replacement), with its own plain search step. Where
//    no replacement moves a card in the list, the walk must end exactly as it does.
//  - the card-by-card account: every match a card holds at the start replaced once, left to
//    right, the start card's part before the caret last. It holds whatever the order does.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "cardfile/card_search.h"
#include "cardfile/card_set.h"
#include "cardfile/codepage.h"
#include "support/fake_search_host.h"
#include "support/scripted_prompter.h"

namespace tabellan {
namespace {

using test::FakeSearchHost;
constexpr std::size_t kNpos = std::string::npos;

// --- the reference loop ---

bool SameText(const std::string& a, const std::string& b, bool matchCase, CodePage cp) {
    return matchCase ? a == b : AnsiLower(a, cp) == AnsiLower(b, cp);
}

// One search step as written out for the window: offset first, commit and show, then at
// most (number of probes + 1) probes, lower-casing the texts unless case matters.
bool ReferenceStep(FakeSearchHost& host, SearchState& state, const SearchRequest& request) {
    std::size_t offset = host.selStart + host.selLen;
    host.ReshowSelectedCard();
    state.lastFindText = request.findText;
    state.lastReplaceText = request.replaceText;
    const int count = host.cards.Count();
    int k = host.selected >= 0 && host.selected < count ? host.selected : 0;
    const CodePage cp = host.cards.GetCodePage();
    const std::string pattern =
        request.matchCase ? state.lastFindText : AnsiLower(state.lastFindText, cp);
    const int n = state.scope == SearchScope::CurrentCard ? 1 : count;
    for (int probe = 0; probe < n + 1; ++probe) {
        std::string text = state.scope == SearchScope::Indexes ? host.cards.IndexAt(k)
                                                               : host.cards.CardAt(k).Text();
        if (!request.matchCase) {
            text = AnsiLower(text, cp);
        }
        const std::string part = offset < text.size() ? text.substr(offset) : std::string();
        const std::size_t p = pattern.empty() ? kNpos : part.find(pattern);
        if (p != kNpos) {
            host.ShowCard(k);
            host.SelectText(offset + p, state.lastFindText.size());
            return true;
        }
        offset = 0;
        if (state.scope == SearchScope::CurrentCard) {
            state.searchWrapped = true;
        } else {
            k = (k + 1) % count;
        }
        if (k == 0) {
            state.searchWrapped = true;
        }
    }
    return false;
}

// The count, or -1 when the loop had not ended after maxRounds.
int ReferenceReplaceAll(FakeSearchHost& host, SearchState& state, const SearchRequest& request,
                        int maxRounds = 500) {
    state.lastFindText = request.findText;
    state.lastReplaceText = request.replaceText;
    int replaced = 0;
    int anchorCard = 0;
    std::size_t anchorOffset = 0;
    for (int round = 0;; ++round) {
        if (round == maxRounds) {
            return -1;
        }
        if (host.selLen > 0 && SameText(host.Selection(), request.findText, request.matchCase,
                                        host.cards.GetCodePage())) {
            if (replaced == 0) {
                anchorCard = host.selected;
                anchorOffset = host.selStart;
                state.searchWrapped = false;
            } else if (state.searchWrapped && host.selected >= anchorCard &&
                       host.selStart >= anchorOffset) {
                break;
            }
            host.ReplaceSelection(request.replaceText);
            ++replaced;
        }
        ReferenceStep(host, state, request);
        if (host.selLen == 0) {
            break;
        }
    }
    return replaced;
}

// --- the card-by-card account ---

struct Start {
    int card = -1;  // -1: no card shown
    std::size_t selStart = 0;
    std::size_t selLen = 0;
};

// Matches of pattern in text, left to right without overlapping, from `from`, ending at or
// before `end`.
std::vector<std::size_t> Matches(const std::string& text, const std::string& pattern,
                                 std::size_t from, std::size_t end) {
    std::vector<std::size_t> at;
    if (pattern.empty()) {
        return at;
    }
    for (std::size_t p = text.find(pattern, from); p != kNpos && p + pattern.size() <= end;
         p = text.find(pattern, p + pattern.size())) {
        at.push_back(p);
    }
    return at;
}

// The cards' texts after Replace All, in list order, and the count.
std::pair<std::vector<std::string>, int> CardByCard(const std::vector<std::string>& texts,
                                                    SearchScope scope, const Start& start,
                                                    const SearchRequest& request) {
    CardSet sorted;
    for (const std::string& t : texts) {
        sorted.Insert(Card{SplitCardText(t)});
    }
    const CodePage cp = sorted.GetCodePage();
    const std::string pattern =
        request.matchCase ? request.findText : AnsiLower(request.findText, cp);
    const int startCard = start.card >= 0 ? start.card : 0;
    int count = 0;
    CardSet result;
    for (int i = 0; i < sorted.Count(); ++i) {
        if (scope == SearchScope::CurrentCard && i != startCard) {
            result.Insert(sorted.CardAt(i));
            continue;
        }
        const Card& card = sorted.CardAt(i);
        const std::string text = scope == SearchScope::Indexes ? card.Index() : card.Text();
        const std::string folded = request.matchCase ? text : AnsiLower(text, cp);
        std::vector<std::size_t> at;
        std::size_t bodySelection = kNpos;  // a selection beyond the index line, replaced first
        if (i != startCard) {
            at = Matches(folded, pattern, 0, folded.size());
        } else {
            // A selection that equals the find text is the first match.
            const bool selectionMatches = start.selLen > 0 && start.card >= 0 &&
                                          SameText(card.Text().substr(start.selStart, start.selLen),
                                                   request.findText, request.matchCase, cp);
            const std::size_t caret =
                selectionMatches ? start.selStart : start.selStart + start.selLen;
            if (selectionMatches && scope == SearchScope::Indexes && caret >= text.size()) {
                bodySelection = caret - text.size() - 2;
                ++count;
            }
            at = Matches(folded, pattern, std::min(caret, folded.size()), folded.size());
            const std::size_t firstInsert = at.empty() ? folded.size() : at.front();
            std::vector<std::size_t> before = Matches(folded, pattern, 0, firstInsert);
            before.erase(std::remove_if(before.begin(), before.end(),
                                        [&](std::size_t p) { return p >= caret; }),
                         before.end());
            at.insert(at.begin(), before.begin(), before.end());
        }
        std::string replaced = text;
        for (auto it = at.rbegin(); it != at.rend(); ++it) {
            replaced.replace(*it, request.findText.size(), request.replaceText);
        }
        count += static_cast<int>(at.size());
        if (scope == SearchScope::Indexes) {
            std::string body = card.Text().substr(std::min(text.size() + 2, card.Text().size()));
            if (bodySelection != kNpos) {
                body.replace(bodySelection, request.findText.size(), request.replaceText);
            }
            replaced += card.lines.size() > 1 ? "\r\n" + body : "";
        }
        if (at.empty() && bodySelection == kNpos) {
            result.Insert(card);  // never committed
        } else {
            // An empty editor is committed as two empty lines.
            result.Insert(Card{replaced.empty() ? std::vector<std::string>{"", ""}
                                                : SplitCardText(replaced)});
        }
    }
    std::vector<std::string> out;
    for (int i = 0; i < result.Count(); ++i) {
        out.push_back(result.CardAt(i).Text());
    }
    return {out, count};
}

// --- random small card sets ---

class CaseMaker {
  public:
    explicit CaseMaker(unsigned seed) : rng_(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool OneIn(int n) { return Below(n) == 0; }
    std::string Text(int maxLength, std::string_view alphabet) {
        std::string s;
        for (int i = Below(maxLength + 1); i > 0; --i) {
            s += alphabet[static_cast<std::size_t>(Below(static_cast<int>(alphabet.size())))];
        }
        return s;
    }

    // With fixedOrder, every index starts with its own digit, which no find text holds, so
    // no replacement can move a card; otherwise indexes are letters and cards do move.
    std::vector<std::string> Cards(bool fixedOrder) {
        std::vector<std::string> texts;
        CardSet seen;
        const int n = 1 + Below(5);
        for (int i = 0; i < n; ++i) {
            std::string index =
                fixedOrder ? std::to_string(i + 1) + Text(4, kLetters) : Text(4, kLetters);
            if (seen.FindCard(index) >= 0) {
                continue;  // indexes are unique ignoring case, as the program keeps them
            }
            seen.Insert(Card{{index}});
            std::string text = index;
            for (int line = Below(3); line > 0; --line) {
                text += "\r\n" + Text(6, kLetters);
            }
            texts.push_back(text);
        }
        return texts;
    }

    SearchRequest Request() {
        SearchRequest r;
        r.findText = OneIn(20) ? "b\r\na" : Text(1, "aAbB") + Text(1, "aAbB");
        if (r.findText.empty()) {
            r.findText = "a";
        }
        r.replaceText = Text(3, "abxAB");
        r.matchCase = OneIn(4);
        return r;
    }

    SearchScope Scope() {
        const SearchScope scopes[] = {SearchScope::Indexes, SearchScope::WholeFile,
                                      SearchScope::CurrentCard};
        return scopes[Below(3)];
    }

    // The card shown and the caret or a selection in it: a match of the scope, as Find Next
    // leaves it, or any few bytes.
    Start StartIn(const FakeSearchHost& host, SearchScope scope, const SearchRequest& request) {
        Start s;
        if (OneIn(10) && scope != SearchScope::CurrentCard) {
            return s;
        }
        s.card = Below(host.cards.Count());
        const Card& card = host.cards.CardAt(s.card);
        const std::string text = card.Text();
        const std::size_t scopeEnd =
            scope == SearchScope::Indexes ? card.Index().size() : text.size();
        const CodePage cp = host.cards.GetCodePage();
        const std::string folded = request.matchCase ? text : AnsiLower(text, cp);
        const std::string pattern =
            request.matchCase ? request.findText : AnsiLower(request.findText, cp);
        const std::vector<std::size_t> matches = Matches(folded, pattern, 0, scopeEnd);
        if (!matches.empty() && OneIn(3)) {
            s.selStart = matches[static_cast<std::size_t>(Below(static_cast<int>(matches.size())))];
            s.selLen = request.findText.size();
        } else {
            s.selStart = static_cast<std::size_t>(Below(static_cast<int>(text.size()) + 1));
            s.selLen = OneIn(5) ? std::min<std::size_t>(2, text.size() - s.selStart) : 0;
        }
        return s;
    }

  private:
    static constexpr std::string_view kLetters = "aAbBx ";
    std::mt19937 rng_;
};

void Prepare(FakeSearchHost& host, const Start& start) {
    if (start.card >= 0) {
        host.Click(start.card);
        host.selStart = start.selStart;
        host.selLen = start.selLen;
    }
}

struct Outcome {
    int count = 0;
    std::vector<std::string> texts;
    int card = -1;
    std::size_t selStart = 0;
    std::size_t selLen = 0;
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* out) {
    *out << o.count << " replacements, card " << o.card << " at " << o.selStart << "+" << o.selLen
         << ", texts " << ::testing::PrintToString(o.texts);
}

Outcome OutcomeOf(const FakeSearchHost& host, int count) {
    return Outcome{count, host.Texts(), host.selected, host.selStart, host.selLen};
}

std::string Describe(const std::vector<std::string>& texts, SearchScope scope, const Start& start,
                     const SearchRequest& request) {
    std::string d = "scope " + std::to_string(static_cast<int>(scope)) + ", find '" +
                    request.findText + "' with '" + request.replaceText + "'" +
                    (request.matchCase ? " matching case" : "") + ", card " +
                    std::to_string(start.card) + " at " + std::to_string(start.selStart) + "+" +
                    std::to_string(start.selLen) + ", cards:";
    for (const std::string& t : texts) {
        d += " [" + t + "]";
    }
    return d;
}

class ReplaceAllTest : public ::testing::Test {
  protected:
    int Run(FakeSearchHost& host, SearchScope scope, const std::string& find,
            const std::string& with) {
        state.scope = scope;
        return ReplaceAll(host, state, SearchRequest{find, with, false}, prompter);
    }

    SearchState state;
    test::ScriptedPrompter prompter;
};

TEST_F(ReplaceAllTest, CardsThatKeepOvertakingEachOtherAreEachReplacedOnce) {
    // "Acme & Corp" sorts before "Acme Co", and "Acme & Co" before "Acme & Corp".
    FakeSearchHost host{"Acme Co", "Acme Corp"};
    host.Click(1);
    EXPECT_EQ(Run(host, SearchScope::Indexes, "Co", "& Co"), 2);
    EXPECT_EQ(host.Indexes(), (std::vector<std::string>{"Acme & Co", "Acme & Corp"}));
    EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{"2 replacements done."}));
    EXPECT_EQ(prompter.shown.back().kind, MsgKind::Information);

    for (int start : {0, 1}) {
        FakeSearchHost names{"Ann", "Anne"};
        names.Click(start);
        EXPECT_EQ(Run(names, SearchScope::Indexes, "n", " n"), 4) << start;
        EXPECT_EQ(names.Indexes(), (std::vector<std::string>{"A n n", "A n ne"})) << start;
    }
}

TEST_F(ReplaceAllTest, RenamedCardsMovingToTheEndDoNotStopTheWalk) {
    for (SearchScope scope : {SearchScope::Indexes, SearchScope::WholeFile}) {
        FakeSearchHost host{"Dr Adams", "Dr Brown", "Dr Clark"};
        host.Click(1);
        EXPECT_EQ(Run(host, scope, "Dr", "Prof"), 3);
        EXPECT_EQ(host.Indexes(),
                  (std::vector<std::string>{"Prof Adams", "Prof Brown", "Prof Clark"}));
        EXPECT_EQ(prompter.Texts().back(), "3 replacements done.");
    }
}

TEST_F(ReplaceAllTest, FirstReplacedCardSortingLaterDoesNotEndTheWalkEarly) {
    FakeSearchHost host{"Smith, Anne", "Smith, Bob", "Taylor / works with Smith"};
    host.Click(0);
    EXPECT_EQ(Run(host, SearchScope::WholeFile, "Smith", "Smyth"), 3);
    EXPECT_EQ(host.Indexes(),
              (std::vector<std::string>{"Smyth, Anne", "Smyth, Bob", "Taylor / works with Smyth"}));
}

TEST_F(ReplaceAllTest, ReplacementHoldingTheFindTextEndsAfterOneRound) {
    FakeSearchHost host{"K\r\na a", "L\r\na"};
    host.Click(1);
    EXPECT_EQ(Run(host, SearchScope::WholeFile, "a", "ab"), 3);
    EXPECT_EQ(host.Texts(), (std::vector<std::string>{"K\r\nab ab", "L\r\nab"}));
    // The closing step selects the first "a" the replacements brought in after the last one.
    EXPECT_EQ(host.selected, 1);
    EXPECT_EQ(host.Selection(), "a");
    EXPECT_EQ(host.selStart, 3u);

    // "a" becomes "ab" and moves behind "aa", which is still replaced, and only once.
    FakeSearchHost moving{"a", "aa"};
    moving.Click(0);
    EXPECT_EQ(Run(moving, SearchScope::Indexes, "a", "ab"), 3);
    EXPECT_EQ(moving.Indexes(), (std::vector<std::string>{"ab", "abab"}));
    EXPECT_GT(moving.moves, 0);
}

TEST_F(ReplaceAllTest, MatchesPushedBehindTheFirstReplacementAreStillReplaced) {
    // The first replacement is at the last "x"; the walk comes back to the two before the
    // caret, and each longer replacement pushes what follows further back.
    FakeSearchHost host{"K\r\nx x x"};
    host.Click(0);
    host.SetCaret(6);
    EXPECT_EQ(Run(host, SearchScope::WholeFile, "x", "yyy"), 3);
    EXPECT_EQ(host.Texts(), (std::vector<std::string>{"K\r\nyyy yyy yyy"}));
}

TEST_F(ReplaceAllTest, TextFormedByAReplacementIsNotReplacedAgain) {
    // "ab" becomes "b", which makes a new "ab" with the "a" in front: it was not there when
    // the replacing started. The closing step selects it.
    FakeSearchHost host{"K\r\naab"};
    host.Click(0);
    EXPECT_EQ(Run(host, SearchScope::WholeFile, "ab", "b"), 1);
    EXPECT_EQ(host.Texts(), (std::vector<std::string>{"K\r\nab"}));
    EXPECT_EQ(host.selStart, 3u);
    EXPECT_EQ(host.Selection(), "ab");
}

TEST_F(ReplaceAllTest, SelectionOutsideTheIndexesIsReplacedFirstAndTheWalkEnds) {
    // A match selected in the body (left by a whole-file search) is replaced as it stands;
    // then the indexes are walked once.
    FakeSearchHost host{"Ka\r\na", "La"};
    host.Click(0);
    host.SelectText(4, 1);
    EXPECT_EQ(Run(host, SearchScope::Indexes, "a", "ab"), 3);
    EXPECT_EQ(host.Texts(), (std::vector<std::string>{"Kab\r\nab", "Lab"}));
}

TEST_F(ReplaceAllTest, OrdinaryCasesEndAsTheReferenceLoopDoes) {
    struct Ordinary {
        std::vector<std::string> cards;
        SearchScope scope;
        int start;
        std::size_t caret;
        SearchRequest request;
    };
    const std::vector<Ordinary> cases = {
        // A new area code in every card, from the middle of a card in the middle.
        {{"Adams\r\nTel. (0212) 555 01\r\nFax (0212) 555 02", "Brown\r\n(0212) 444",
          "Clark\r\nno phone", "Dean\r\n(0212) 333 (0212)"},
         SearchScope::WholeFile,
         1,
         9,
         {"(0212)", "(0216)", false}},
        // Only the current card, with a match before the caret.
        {{"Adams\r\nred, red, red", "Brown\r\nred"},
         SearchScope::CurrentCard,
         0,
         12,
         {"RED", "blue", false}},
        // Matching case, with the text in the indexes and the bodies.
        {{"1 Smith\r\nSMITH", "2 SMITH & Co\r\nsmith", "3 Jones"},
         SearchScope::Indexes,
         2,
         0,
         {"SMITH", "Smith", true}},
        // Nothing to replace.
        {{"Adams", "Brown"}, SearchScope::WholeFile, 0, 2, {"zebra", "x", false}},
    };
    for (const Ordinary& c : cases) {
        FakeSearchHost host(c.cards);
        host.Click(c.start);
        host.SetCaret(c.caret);
        state.scope = c.scope;
        const int count = ReplaceAll(host, state, c.request, prompter);

        FakeSearchHost reference(c.cards);
        reference.Click(c.start);
        reference.SetCaret(c.caret);
        SearchState referenceState;
        referenceState.scope = c.scope;
        const int referenceCount = ReferenceReplaceAll(reference, referenceState, c.request);
        EXPECT_EQ(count, referenceCount) << c.cards[0];
        EXPECT_EQ(host.Texts(), reference.Texts());
        EXPECT_EQ(host.selected, reference.selected) << c.cards[0];
        EXPECT_EQ(host.selStart, reference.selStart) << c.cards[0];
        EXPECT_EQ(host.selLen, reference.selLen) << c.cards[0];
        EXPECT_EQ(host.moves, 0);
    }
}

// One random case run through Replace All, with what the card-by-card account expects.
struct RandomCase {
    RandomCase(CaseMaker& make, bool fixedOrder)
        : texts(make.Cards(fixedOrder)), request(make.Request()), host(texts) {
        state.scope = make.Scope();
        start = make.StartIn(host, state.scope, request);
        Prepare(host, start);
        count = ReplaceAll(host, state, request, prompter);
        std::tie(expectedTexts, expectedCount) = CardByCard(texts, state.scope, start, request);
    }
    std::string What() const { return Describe(texts, state.scope, start, request); }

    const std::vector<std::string> texts;
    SearchState state;
    const SearchRequest request;
    FakeSearchHost host;
    Start start;
    test::ScriptedPrompter prompter;
    int count = 0;
    std::vector<std::string> expectedTexts;
    int expectedCount = 0;
};

TEST(ReplaceAllRandomTest, AgreesWithTheReferenceLoopWhereNoCardMoves) {
    CaseMaker make(20240515);
    constexpr int kCases = 30000;
    int same = 0;
    int referenceMissesOrRepeats = 0;  // the reference loop broke the every-match-once rule
    int referenceEndless = 0;
    for (int i = 0; i < kCases; ++i) {
        const RandomCase c(make, true);
        ASSERT_EQ(c.host.moves, 0) << c.What();
        ASSERT_EQ(c.host.madeUnique, 0) << c.What();
        ASSERT_EQ(c.host.Texts(), c.expectedTexts) << c.What();
        ASSERT_EQ(c.count, c.expectedCount) << c.What();

        FakeSearchHost reference(c.texts);
        Prepare(reference, c.start);
        SearchState referenceState;
        referenceState.scope = c.state.scope;
        const int referenceCount = ReferenceReplaceAll(reference, referenceState, c.request);
        if (referenceCount < 0) {
            ++referenceEndless;
        } else if (referenceCount != c.expectedCount || reference.Texts() != c.expectedTexts) {
            ++referenceMissesOrRepeats;
        } else {
            ASSERT_EQ(OutcomeOf(c.host, c.count), OutcomeOf(reference, referenceCount)) << c.What();
            ++same;
        }
    }
    std::cout << "[ oracle   ] " << kCases << " random card sets without moves: " << same
              << " end exactly as the reference loop; in " << referenceMissesOrRepeats
              << " the reference loop itself misses or repeats a match, " << referenceEndless
              << " do not end there\n";
    EXPECT_EQ(same + referenceMissesOrRepeats + referenceEndless, kCases);
    EXPECT_GT(same, kCases * 9 / 10);
}

TEST(ReplaceAllRandomTest, ReplacesEveryMatchOnceWhenCardsMove) {
    CaseMaker make(77);
    constexpr int kCases = 20000;
    int withMoves = 0;
    int checked = 0;
    for (int i = 0; i < kCases; ++i) {
        const RandomCase c(make, false);
        ASSERT_EQ(c.prompter.Texts().back(), std::to_string(c.count) + " replacements done.");
        withMoves += c.host.moves > 0 ? 1 : 0;
        if (c.host.madeUnique > 0) {
            continue;  // an index made unique by the commit: not worked out card by card
        }
        ++checked;
        ASSERT_EQ(c.host.Texts(), c.expectedTexts) << c.What();
        ASSERT_EQ(c.count, c.expectedCount) << c.What();
    }
    std::cout << "[ oracle   ] " << checked << " of " << kCases
              << " random card sets checked card by card, " << withMoves
              << " of them with cards that moved\n";
    EXPECT_GT(withMoves, kCases / 10);
    EXPECT_GT(checked, kCases * 9 / 10);
}

}  // namespace
}  // namespace tabellan
