#include "app/search_host.h"

#include <QWidget>

#include "app/card_editor_adapter.h"
#include "cardfile/document.h"

namespace tabellan {

const CardSet& CardSearchHost::Cards() const {
    return doc_.Cards();
}

std::size_t CardSearchHost::SelectionStart() const {
    return adapter_.SelectionStartOffset();
}

std::size_t CardSearchHost::SelectionLength() const {
    return adapter_.SelectionEndOffset() - adapter_.SelectionStartOffset();
}

std::string CardSearchHost::SelectedText() const {
    return adapter_.SelectedCardText();
}

void CardSearchHost::ReplaceSelection(std::string_view text) {
    adapter_.ReplaceSelection(text, false);
}

int CardSearchHost::SelectedCard() const {
    return view_.SelectedIndex();
}

void CardSearchHost::CommitCard() {
    doc_.CommitCurrentCard();
}

void CardSearchHost::ReshowSelectedCard() {
    doc_.IndexListClick();
}

void CardSearchHost::ShowCard(int pos) {
    doc_.SelectCard(pos);
}

void CardSearchHost::SelectText(std::size_t start, std::size_t length) {
    adapter_.SelectCardRange(start, length);
}

void CardSearchHost::FocusEditor() {
    if (editor_.isEnabled()) {
        editor_.setFocus();
    }
    if (dialog_ && dialog_->isVisible()) {
        dialog_->raise();
        dialog_->activateWindow();
    }
}

}  // namespace tabellan
