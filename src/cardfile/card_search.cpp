#include "cardfile/card_search.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

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

// Letters roughly from the most to the least common in names and addresses.
constexpr std::string_view kCommonBytes = " eaniorstlhdcumgbkpwfvzyjxq";

// First position in [from, end) whose byte b has (b | mask) == target, eight bytes at a
// time: no call per short line, as a memchr per line would cost.
[[gnu::always_inline]] inline std::size_t ScanForByte(const char* data, std::size_t from,
                                                      std::size_t end, unsigned char mask,
                                                      unsigned char target) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    const std::uint64_t wideMask = kOnes * mask;
    const std::uint64_t wideTarget = kOnes * target;
    std::size_t i = from;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= end; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, data + i, sizeof word);
            const std::uint64_t x = (word | wideMask) ^ wideTarget;
            // The lowest flagged byte is the first zero byte of x; borrows only flag later ones.
            const std::uint64_t zero = (x - kOnes) & ~x & kHighs;
            if (zero != 0) {
                return i + static_cast<std::size_t>(std::countr_zero(zero) / 8);
            }
        }
    }
    for (; i < end; ++i) {
        if ((static_cast<unsigned char>(data[i]) | mask) == target) {
            return i;
        }
    }
    return kNpos;
}

bool SelectionEqualsFindText(const SearchHost& host, const SearchRequest& request) {
    if (host.SelectionLength() == 0) {
        return false;
    }
    const TextMatcher matcher(request.findText, CaseTableFor(request, host.Cards().GetCodePage()));
    return matcher.Equals(host.SelectedText());
}

bool SearchStep(SearchHost& host, SearchState& state, const SearchRequest& request,
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
    const TextMatcher matcher(state.lastFindText, CaseTableFor(request, cards.GetCodePage()));
    // The start card is probed twice: first from the offset, last from its beginning.
    const int probes = count == 0 ? 0 : (state.scope == SearchScope::CurrentCard ? 1 : count) + 1;

    bool found = false;
    std::size_t at = kNpos;
    for (int probe = 0; probe < probes; ++probe) {
        at = state.scope == SearchScope::Indexes ? matcher.Find(cards.IndexAt(k), offset)
                                                 : matcher.FindInCard(cards.CardAt(k), offset);
        if (at != kNpos) {
            found = true;
            break;
        }
        offset = 0;
        bool wrapped = true;
        if (state.scope != SearchScope::CurrentCard) {
            k = k + 1 == count ? 0 : k + 1;
            wrapped = k == 0;
        }
        if (wrapped) {
            state.searchWrapped = true;
        }
    }

    if (found) {
        host.ShowCard(k);
        host.SelectText(at, state.lastFindText.size());
    } else if (showNotFound) {
        prompter.Show(MsgKind::Error, NotFoundMessage(state.lastFindText), Buttons::Ok);
    }
    host.FocusEditor();
    return found;
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

const CaseTable& CaseTableFor(const SearchRequest& request, CodePage cp) {
    return request.matchCase ? IdentityCaseTable() : LowerCaseTable(cp);
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
    std::array<int, 256> formsOf{};
    for (int b = 0; b < 256; ++b) {
        ++formsOf[table_[b]];
    }
    // Fewest forms first, then the letter least common in names and addresses: the scan
    // then stops at few false candidates.
    const auto cost = [&](std::size_t i) {
        const auto b = static_cast<unsigned char>(pattern_[i]);
        const std::size_t common = kCommonBytes.find(static_cast<char>(b));
        const int rarity = common == std::string_view::npos ? 8 : static_cast<int>(common);
        return formsOf[b] * 64 - rarity;
    };
    for (std::size_t i = 1; i < pattern_.size(); ++i) {
        if (cost(i) < cost(anchor_)) {
            anchor_ = i;
        }
    }
    const auto folded = static_cast<unsigned char>(pattern_[anchor_]);
    std::vector<unsigned char> forms;
    for (int b = 0; b < 256 && forms.size() <= 2; ++b) {
        if (table_[b] == folded) {
            forms.push_back(static_cast<unsigned char>(b));
        }
    }
    const unsigned diff = forms.size() == 2 ? forms[0] ^ forms[1] : 0;
    if (forms.size() == 1 || (forms.size() == 2 && std::has_single_bit(diff))) {
        wordScan_ = true;
        anchorMask_ = static_cast<unsigned char>(diff);
        anchorTarget_ = static_cast<unsigned char>(forms[0] | diff);
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
    if (!wordScan_) {
        const auto want = static_cast<unsigned char>(pattern_[anchor_]);
        for (std::size_t i = from; i <= last; ++i) {
            if (table_[static_cast<unsigned char>(data[i + anchor_])] == want &&
                MatchesAt(text, i)) {
                return i;
            }
        }
        return kNpos;
    }
    const std::size_t end = last + anchor_ + 1;
    for (std::size_t hit = ScanForByte(data, from + anchor_, end, anchorMask_, anchorTarget_);
         hit != kNpos; hit = ScanForByte(data, hit + 1, end, anchorMask_, anchorTarget_)) {
        if (MatchesAt(text, hit - anchor_)) {
            return hit - anchor_;
        }
    }
    return kNpos;
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
    return SearchStep(host, state, request, prompter, showNotFound);
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
