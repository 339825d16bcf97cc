// Replace All: one walk over the cards of the scope as they stood when it started.
//
// A commit can move the edited card in the sorted list (its index changed, or was made
// unique). The walk therefore keeps a cursor, the position of the next card to visit, and
// moves it with every such move. A card it has already visited can only lie ahead of the
// cursor after it moved there, and then it was committed: the walk recognises it by its
// index, which the commit made unique and which no unvisited card can share. So each card
// is visited once, whatever the replacements do to the order, and the walk ends after the
// other cards have been visited and the start card has had its part before the caret.
#include <algorithm>
#include <string>
#include <unordered_set>

#include "cardfile/card_search.h"
#include "cardfile/card_set.h"
#include "cardfile/prompter.h"

namespace tabellan {

namespace {

constexpr std::size_t kNpos = std::string::npos;

// A position in a card's text after `removed` bytes at `at` became `inserted` bytes: later
// positions move with the text, positions inside the removed bytes go to its start.
void ShiftMark(std::size_t& mark, std::size_t at, std::size_t removed, std::size_t inserted) {
    if (mark == kNpos || mark <= at) {
        return;
    }
    mark = mark >= at + removed ? mark - removed + inserted : at;
}

class ReplaceAllWalk {
  public:
    ReplaceAllWalk(SearchHost& host, SearchState& state, const SearchRequest& request)
        : host_(host),
          state_(state),
          cards_(host.Cards()),
          matcher_(request.findText, CaseTableFor(request, cards_.GetCodePage())),
          findLength_(request.findText.size()),
          replacement_(request.replaceText),
          indexesOnly_(state.scope == SearchScope::Indexes) {}

    int Run() {
        Start();
        if (start_ < 0) {
            return count_;
        }
        if (state_.scope != SearchScope::CurrentCard) {
            VisitOtherCards();
        }
        finalPart_ = true;
        ReplaceInCard(start_, 0);
        PlaceCaretAfterLastReplacement();
        return count_;
    }

  private:
    // The caret (or a selection that equals the find text, which is the first match and is
    // replaced as it stands) gives the start card and where in it the walk begins.
    void Start() {
        const std::size_t selStart = host_.SelectionStart();
        const std::size_t selLength = host_.SelectionLength();
        std::size_t from = selStart + selLength;
        const int selected = host_.SelectedCard();
        const bool shown = selected >= 0 && selected < cards_.Count();
        if (shown && selLength > 0 && matcher_.Equals(host_.SelectedText())) {
            // The editor may hold edits not yet committed, so its offsets are taken as they
            // are, as a search step takes them.
            host_.ReplaceSelection(replacement_);
            Replaced(selected);
            firstInsert_ = selStart;
            from = selStart + replacement_.size();
            caretMark_ = selStart;
        } else {
            caretMark_ = from;
        }
        host_.CommitCard();
        start_ = host_.SelectedCard();
        if (start_ < 0 || start_ >= cards_.Count()) {
            // No card shown: the walk starts at the first card, from the editor's offset.
            start_ = cards_.Count() > 0 ? 0 : -1;
        } else {
            host_.ShowCard(start_);
            shown_ = start_;
        }
        if (start_ < 0) {
            return;
        }
        if (count_ > 0) {
            lastCard_ = start_;
            lastCaret_ = from;
            committed_.insert(cards_.IndexAt(start_));
        }
        cursor_ = start_ + 1;
        ReplaceInCard(start_, from);
    }

    void VisitOtherCards() {
        const int n = cards_.Count();
        // The walk goes round once, visiting each card or passing over it; the bound only
        // guards against a host that breaks its promises.
        int steps = 3 * n;
        for (int visited = 0; visited < n - 1 && steps > 0; --steps) {
            if (cursor_ >= n) {
                cursor_ = 0;
            }
            const int pos = cursor_++;
            if (pos == start_ || committed_.count(cards_.IndexAt(pos)) != 0) {
                continue;  // visited already, and moved ahead by its commit
            }
            ++visited;
            ReplaceInCard(pos, 0);
        }
    }

    // Replaces the matches of the card at pos from `from` on, each searched for after the
    // text inserted before it.
    void ReplaceInCard(int pos, std::size_t from) {
        const bool isStart = pos == start_;
        std::size_t caret = from;
        for (;;) {
            const Card& card = cards_.CardAt(pos);
            const std::size_t at = indexesOnly_ ? matcher_.Find(card.Index(), caret)
                                                : matcher_.FindInCard(card, caret);
            if (at == kNpos || (isStart && finalPart_ && !BeforeTheCaret(at))) {
                return;
            }
            std::string edited = card.Text();
            edited.replace(at, findLength_, replacement_);
            if (!ShowForEdit(pos, at)) {
                return;  // the window cannot show this very card: it stays as it is
            }
            host_.ReplaceSelection(replacement_);
            Replaced(pos);
            host_.CommitCard();
            const int to = host_.SelectedCard();
            if (to < 0 || to >= cards_.Count()) {
                return;
            }
            Moved(pos, to);
            pos = to;
            caret = at + replacement_.size();
            if (isStart) {
                if (!finalPart_ && firstInsert_ == kNpos) {
                    firstInsert_ = at;
                }
                ShiftMark(caretMark_, at, findLength_, replacement_.size());
                ShiftMark(firstInsert_, at, findLength_, replacement_.size());
            }
            // The commit may have made the index unique with dots after line 1.
            const std::size_t line1 = std::min(edited.find("\r\n"), edited.size());
            const std::string& index = cards_.IndexAt(pos);
            if (index.size() > line1) {
                const std::size_t dots = index.size() - line1;
                ShiftMark(caret, line1, 0, dots);
                if (isStart) {
                    ShiftMark(caretMark_, line1, 0, dots);
                    ShiftMark(firstInsert_, line1, 0, dots);
                }
            }
            committed_.insert(index);
            lastCard_ = pos;
            lastCaret_ = caret;
            // The editor keeps its text through the commit; it is shown afresh only when the
            // commit changed it.
            if (cards_.CardAt(pos).Text() == edited) {
                shown_ = pos;
            } else {
                shown_ = -1;
            }
        }
    }

    // The start card's last part: matches that begin before the caret and end before the
    // first text inserted into the card.
    bool BeforeTheCaret(std::size_t at) const {
        return at < caretMark_ && (firstInsert_ == kNpos || at + findLength_ <= firstInsert_);
    }

    // Shows the card at pos (when the editor does not show it already) and selects the match
    // at `at`; false when the editor does not hold that match then.
    bool ShowForEdit(int pos, std::size_t at) {
        if (shown_ != pos || host_.SelectedCard() != pos) {
            host_.ShowCard(pos);
            shown_ = pos;
        }
        if (host_.SelectedCard() != pos) {
            shown_ = -1;
            return false;
        }
        host_.SelectText(at, findLength_);
        return host_.SelectionLength() == findLength_ && matcher_.Equals(host_.SelectedText());
    }

    void Replaced(int pos) {
        if (count_ == 0) {
            state_.searchWrapped = false;
        }
        ++count_;
        lastCard_ = pos;
    }

    void Moved(int from, int to) {
        if (from == to) {
            return;
        }
        cursor_ = PositionAfterMove(cursor_, from, to);
        start_ = PositionAfterMove(start_, from, to);
        shown_ = -1;
    }

    // Where the closing search step starts: right after the last inserted text, or at the
    // caret when nothing was replaced.
    void PlaceCaretAfterLastReplacement() {
        const int card = count_ > 0 ? lastCard_ : start_;
        if (card != host_.SelectedCard() || shown_ != card) {
            if (host_.SelectedCard() < 0 && count_ == 0) {
                return;  // nothing shown and nothing replaced: the editor's offset stands
            }
            host_.ShowCard(card);
        }
        const std::size_t length = cards_.CardAt(card).Text().size();
        host_.SelectText(std::min(count_ > 0 ? lastCaret_ : caretMark_, length), 0);
    }

    SearchHost& host_;
    SearchState& state_;
    const CardSet& cards_;
    const TextMatcher matcher_;
    const std::size_t findLength_;
    const std::string& replacement_;
    const bool indexesOnly_;

    int start_ = -1;  // the start card's position, followed through every move
    int cursor_ = 0;  // the next card to visit
    int shown_ = -1;  // the card the editor holds unchanged, -1 when unknown
    bool finalPart_ = false;
    // In the start card's text: the caret the walk began at and the start of the first text
    // inserted into it (npos: none yet); both move with the edits before them.
    std::size_t caretMark_ = 0;
    std::size_t firstInsert_ = kNpos;
    std::unordered_set<std::string> committed_;  // indexes of the cards replaced in
    int count_ = 0;
    int lastCard_ = -1;
    std::size_t lastCaret_ = 0;
};

}  // namespace

int ReplaceAll(SearchHost& host, SearchState& state, const SearchRequest& request,
               Prompter& prompter) {
    state.lastFindText = request.findText;
    state.lastReplaceText = request.replaceText;
    const int replaced = ReplaceAllWalk(host, state, request).Run();
    // One search step from the last replacement (or the caret): it selects what is left to
    // find, if anything, and leaves the editor as a search leaves it.
    FindNext(host, state, request, prompter, false);
    prompter.Show(MsgKind::Information, ReplacementsDoneMessage(replaced), Buttons::Ok);
    return replaced;
}

}  // namespace tabellan
