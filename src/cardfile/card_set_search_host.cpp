#include "cardfile/card_set_search_host.h"

#include <algorithm>
#include <vector>

namespace tabellan {

std::string CardSetSearchHost::SelectedText() const {
    return editor_.substr(std::min(selStart_, editor_.size()), selLength_);
}

void CardSetSearchHost::ReplaceSelection(std::string_view text) {
    const std::size_t start = std::min(selStart_, editor_.size());
    editor_.replace(start, selLength_, text);
    selStart_ = start + text.size();
    selLength_ = 0;
    edited_ = true;
}

void CardSetSearchHost::CommitCard() {
    if (!edited_ || selected_ < 0 || selected_ >= cards_.Count()) {
        return;
    }
    // An empty editor holds no line; the set stores two empty lines then, as the window does.
    selected_ = cards_.CommitLines(
        selected_, editor_.empty() ? std::vector<std::string>{} : SplitCardText(editor_), nullptr);
    edited_ = false;
}

void CardSetSearchHost::ReshowSelectedCard() {
    CommitCard();
    if (selected_ >= 0) {
        Load(selected_);
    }
}

void CardSetSearchHost::ShowCard(int pos) {
    const int committed = selected_;
    CommitCard();
    // pos counts in the list as it was before the commit moved the committed card.
    if (committed >= 0 && pos >= 0) {
        pos = PositionAfterMove(pos, committed, selected_);
    }
    if (pos >= 0 && pos < cards_.Count()) {
        Load(pos);
    }
}

void CardSetSearchHost::SelectText(std::size_t start, std::size_t length) {
    selStart_ = std::min(start, editor_.size());
    selLength_ = std::min(length, editor_.size() - selStart_);
}

void CardSetSearchHost::Load(int pos) {
    selected_ = pos;
    editor_ = cards_.CardAt(pos).Text();
    selStart_ = selLength_ = 0;
    edited_ = false;
}

}  // namespace tabellan
