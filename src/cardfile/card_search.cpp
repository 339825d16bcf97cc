#include "cardfile/card_search.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

#include "cardfile/card_set.h"
#include "cardfile/prompter.h"
#include "cardfile/text_util.h"

namespace tabellan {

namespace {

constexpr std::size_t kNpos = std::string_view::npos;
constexpr int kCodePageCount = static_cast<int>(CodePage::Windows874) + 1;

CaseTable BuildLowerCaseTable(CodePage cp) {
    CaseTable table = IdentityCaseTable();
    std::string bytes;
    for (int b = 1; b < 256; ++b) {
        bytes += static_cast<char>(b);
    }
    const std::string lower = AnsiLower(bytes, cp);
    if (lower.size() == bytes.size()) {
        for (int b = 1; b < 256; ++b) {
            table[b] = static_cast<unsigned char>(lower[b - 1]);
        }
    }
    return table;
}

const CaseTable& TableFor(const SearchRequest& request, CodePage cp) {
    return request.matchCase ? IdentityCaseTable() : LowerCaseTable(cp);
}

bool SelectionEqualsFindText(const SearchHost& host, const SearchRequest& request) {
    if (host.SelectionLength() == 0) {
        return false;
    }
    const TextMatcher matcher(request.findText, TableFor(request, host.Cards().GetCodePage()));
    return matcher.Equals(host.SelectedText());
}

struct StepOutcome {
    bool found = false;
    int wraps = 0;  // how often the walk went from the end of the scope back to its start
};

StepOutcome SearchStep(SearchHost& host, SearchState& state, const SearchRequest& request,
                       Prompter& prompter, bool showNotFound) {
    // Taken before the commit, which shows the card again without a selection.
    std::size_t offset = host.SelectionStart() + host.SelectionLength();
    host.ReshowSelectedCard();
    state.lastFindText = request.findText;
    state.lastReplaceText = request.replaceText;

    const CardSet& cards = host.Cards();
    const int count = cards.Count();
    int k = host.SelectedCard();
    if (k < 0 || k >= count) {
        k = 0;
    }
    const TextMatcher matcher(state.lastFindText, TableFor(request, cards.GetCodePage()));
    // The start card is probed twice: first from the offset, last from its beginning.
    const int probes = count == 0 ? 0 : (state.scope == SearchScope::CurrentCard ? 1 : count) + 1;

    StepOutcome outcome;
    std::size_t at = kNpos;
    for (int probe = 0; probe < probes; ++probe) {
        at = state.scope == SearchScope::Indexes ? matcher.Find(cards.IndexAt(k), offset)
                                                 : matcher.FindInCard(cards.CardAt(k), offset);
        if (at != kNpos) {
            outcome.found = true;
            break;
        }
        offset = 0;
        bool wrapped = false;
        if (state.scope == SearchScope::CurrentCard) {
            wrapped = true;
        } else {
            k = (k + 1) % count;
        }
        wrapped = wrapped || k == 0;
        if (wrapped) {
            state.searchWrapped = true;
            ++outcome.wraps;
        }
    }

    if (outcome.found) {
        host.ShowCard(k);
        host.SelectText(at, state.lastFindText.size());
    } else if (showNotFound) {
        prompter.Show(MsgKind::Error, NotFoundMessage(state.lastFindText), Buttons::Ok);
    }
    host.FocusEditor();
    return outcome;
}

}  // namespace

const CaseTable& IdentityCaseTable() {
    static const CaseTable table = [] {
        CaseTable t{};
        for (int b = 0; b < 256; ++b) {
            t[b] = static_cast<unsigned char>(b);
        }
        return t;
    }();
    return table;
}

const CaseTable& LowerCaseTable(CodePage cp) {
    static std::mutex mutex;
    static std::array<std::unique_ptr<CaseTable>, kCodePageCount> tables;
    const int slot = std::clamp(static_cast<int>(cp), 0, kCodePageCount - 1);
    const std::lock_guard lock(mutex);
    if (!tables[slot]) {
        tables[slot] = std::make_unique<CaseTable>(BuildLowerCaseTable(cp));
    }
    return *tables[slot];
}

TextMatcher::TextMatcher(std::string_view pattern, const CaseTable& table) : table_(table) {
    pattern_.reserve(pattern.size());
    for (const char c : pattern) {
        pattern_ += static_cast<char>(table_[static_cast<unsigned char>(c)]);
    }
    crossesLines_ = pattern_.find_first_of("\r\n") != std::string::npos;
    if (pattern_.empty()) {
        return;
    }
    // Scanning for the pattern byte with the fewest forms lets memchr do the walking.
    std::array<int, 256> formsOf{};
    for (int b = 0; b < 256; ++b) {
        ++formsOf[table_[b]];
    }
    for (std::size_t i = 1; i < pattern_.size(); ++i) {
        if (formsOf[static_cast<unsigned char>(pattern_[i])] <
            formsOf[static_cast<unsigned char>(pattern_[anchor_])]) {
            anchor_ = i;
        }
    }
    const auto folded = static_cast<unsigned char>(pattern_[anchor_]);
    if (formsOf[folded] <= 2) {
        for (int b = 0; b < 256; ++b) {
            if (table_[b] == folded) {
                forms_[formCount_++] = static_cast<unsigned char>(b);
            }
        }
    }
}

bool TextMatcher::MatchesAt(std::string_view text, std::size_t pos) const {
    for (std::size_t j = 0; j < pattern_.size(); ++j) {
        if (table_[static_cast<unsigned char>(text[pos + j])] !=
            static_cast<unsigned char>(pattern_[j])) {
            return false;
        }
    }
    return true;
}

std::size_t TextMatcher::Find(std::string_view text, std::size_t from) const {
    const std::size_t m = pattern_.size();
    if (m == 0 || from > text.size() || text.size() - from < m) {
        return kNpos;
    }
    const std::size_t last = text.size() - m;  // the last possible match start
    const char* const data = text.data();
    if (formCount_ == 0) {
        const auto want = static_cast<unsigned char>(pattern_[anchor_]);
        for (std::size_t i = from; i <= last; ++i) {
            if (table_[static_cast<unsigned char>(data[i + anchor_])] == want &&
                MatchesAt(text, i)) {
                return i;
            }
        }
        return kNpos;
    }
    // Next occurrence of each form of the anchor byte, at anchor positions [lo, hi].
    const std::size_t hi = last + anchor_;
    const auto next = [&](int form, std::size_t lo) -> std::size_t {
        if (lo > hi) {
            return kNpos;
        }
        const void* p = std::memchr(data + lo, forms_[form], hi - lo + 1);
        return p == nullptr ? kNpos : static_cast<const char*>(p) - data;
    };
    std::size_t cursor[2] = {next(0, from + anchor_),
                             formCount_ == 2 ? next(1, from + anchor_) : kNpos};
    while (true) {
        const int form = cursor[1] < cursor[0] ? 1 : 0;
        const std::size_t hit = cursor[form];
        if (hit == kNpos) {
            return kNpos;
        }
        if (MatchesAt(text, hit - anchor_)) {
            return hit - anchor_;
        }
        cursor[form] = next(form, hit + 1);
    }
}

std::size_t TextMatcher::FindInCard(const Card& card, std::size_t from) const {
    if (crossesLines_) {
        return Find(card.Text(), from);
    }
    // Without CR or LF in the pattern a match lies within one line: no joined copy needed.
    std::size_t lineStart = 0;
    for (const std::string& line : card.lines) {
        const std::size_t lineEnd = lineStart + line.size();
        if (lineEnd >= from && line.size() >= pattern_.size()) {
            const std::size_t at = Find(line, from > lineStart ? from - lineStart : 0);
            if (at != kNpos) {
                return lineStart + at;
            }
        }
        lineStart = lineEnd + 2;
    }
    return kNpos;
}

bool TextMatcher::Equals(std::string_view text) const {
    return !pattern_.empty() && text.size() == pattern_.size() && MatchesAt(text, 0);
}

bool FindNext(SearchHost& host, SearchState& state, const SearchRequest& request,
              Prompter& prompter, bool showNotFound) {
    return SearchStep(host, state, request, prompter, showNotFound).found;
}

bool ReplaceOne(SearchHost& host, SearchState& state, const SearchRequest& request,
                Prompter& prompter) {
    state.lastFindText = request.findText;
    state.lastReplaceText = request.replaceText;
    if (SelectionEqualsFindText(host, request)) {
        host.ReplaceSelection(request.replaceText);
    }
    return FindNext(host, state, request, prompter, true);
}

int ReplaceAll(SearchHost& host, SearchState& state, const SearchRequest& request,
               Prompter& prompter) {
    state.lastFindText = request.findText;
    state.lastReplaceText = request.replaceText;
    int replaced = 0;
    int anchorCard = 0;
    std::size_t anchorOffset = 0;
    // The anchor test alone can miss when the start card moved in the sorted list and the
    // replacement text makes new matches; two laps after the first replacement end it.
    int wrapsSinceFirst = 0;
    do {
        if (SelectionEqualsFindText(host, request)) {
            if (replaced == 0) {
                anchorCard = host.SelectedCard();
                anchorOffset = host.SelectionStart();
                state.searchWrapped = false;
            } else if (state.searchWrapped && host.SelectedCard() >= anchorCard &&
                       host.SelectionStart() >= anchorOffset) {
                break;
            }
            host.ReplaceSelection(request.replaceText);
            ++replaced;
        }
        const StepOutcome step = SearchStep(host, state, request, prompter, false);
        if (replaced > 0) {
            wrapsSinceFirst += step.wraps;
        }
        if (wrapsSinceFirst >= 2) {
            break;
        }
    } while (host.SelectionLength() != 0);
    prompter.Show(MsgKind::Information, ReplacementsDoneMessage(replaced), Buttons::Ok);
    return replaced;
}

std::string NotFoundMessage(std::string_view findText) {
    return DoubleAmpersands(findText) + " not found!";
}

std::string ReplacementsDoneMessage(int count) {
    return std::to_string(count) + " replacements done.";
}

ScreenPoint FirstFindDialogPosition(int windowLeft, int windowTop, int windowHeight) {
    return ScreenPoint{windowLeft, windowTop + (3 * windowHeight) / 4};
}

}  // namespace tabellan
