// The current card and the card commands of the document: committing the editor, showing
// the selected card, and add, delete, duplicate and restore.
#include <optional>

#include "cardfile/document.h"
#include "cardfile/prompter.h"

namespace tabellan {

void Document::CommitCurrentCard() {
    if (!cardEdited_ || currentItemIndex_ < 0 || currentItemIndex_ >= cards_.Count()) {
        return;
    }
    std::vector<std::string> lines = view_.EditorLines();
    if (lines.empty()) {
        lines = {std::string(), std::string()};
        view_.SetEditorLines(lines);
    }
    std::string index;
    cards_.CommitLines(currentItemIndex_, std::move(lines), &index);
    fileModified_ = true;
    cardEdited_ = false;
    currentIndexText_ = index;
    currentItemIndex_ = cards_.FindCard(index);
    view_.SelectIndex(currentItemIndex_);
}

// The card found for the remembered index text, or for the index last committed when the
// commit renamed the remembered card.
int Document::SelectedOrCurrentPosition(const std::string& remembered) const {
    const int pos = cards_.FindCard(remembered);
    return pos >= 0 ? pos : cards_.FindCard(currentIndexText_);
}

void Document::IndexListClick() {
    const int selected = view_.SelectedIndex();
    if (selected < 0 || selected >= cards_.Count()) {
        return;
    }
    const std::string remembered = cards_.IndexAt(selected);
    CommitCurrentCard();
    view_.ClearEditor();
    const int pos = SelectedOrCurrentPosition(remembered);
    view_.SelectIndex(pos);
    const bool shown = pos >= 0;
    if (shown) {
        view_.SetEditorLines(cards_.CardAt(pos).lines);
    }
    view_.SetEditorActive(shown);
    cardEdited_ = false;
    currentItemIndex_ = pos;
}

void Document::SelectCard(int pos) {
    view_.SelectIndex(pos);
    IndexListClick();
}

void Document::CardMemoChange() {
    cardEdited_ = true;
    ShowFileStatus();
    if (view_.EditorTextLength() >= kMaxCardTextLength) {
        prompter_.Show(MsgKind::Error, "Current card too long.", Buttons::Ok);
    }
}

void Document::AddCard() {
    const std::optional<std::string> answer =
        prompter_.InputBox("Add Card", "Enter card index:", "");
    if (!answer || answer->empty()) {
        return;
    }
    CommitCurrentCard();
    const std::string index = cards_.UniqueIndex(*answer);
    cards_.Insert(Card{{index}});
    view_.SelectIndex(cards_.FindCard(index));
    IndexListClick();
    view_.FocusEditor();
    fileModified_ = true;
    ShowFileStatus();
}

void Document::DeleteCard() {
    const int selected = view_.SelectedIndex();
    if (selected < 0 || selected >= cards_.Count()) {
        return;  // the command needs a selected card
    }
    const std::vector<std::string> lines = view_.EditorLines();
    const std::string editedIndex = lines.empty() ? std::string() : lines.front();
    const Answer answer =
        prompter_.Show(MsgKind::Confirmation,
                       "Are you sure you want to delete the current card (" + editedIndex +
                           ")?\r\n\r\nThis operation cannot be undone!",
                       Buttons::YesNo);
    if (answer != Answer::Yes) {
        return;
    }
    const std::string remembered = cards_.IndexAt(selected);
    CommitCurrentCard();
    const int pos = SelectedOrCurrentPosition(remembered);
    if (pos >= 0) {
        cards_.RemoveAt(pos);
    }
    view_.ClearEditor();
    view_.SetEditorActive(false);
    view_.SelectIndex(-1);
    cardEdited_ = false;
    fileModified_ = true;
    currentItemIndex_ = -1;
    ShowFileStatus();
}

void Document::DuplicateCard() {
    const int selected = view_.SelectedIndex();
    if (selected < 0 || selected >= cards_.Count()) {
        return;
    }
    const std::string remembered = cards_.IndexAt(selected);
    CommitCurrentCard();
    const int pos = SelectedOrCurrentPosition(remembered);
    if (pos < 0) {
        return;
    }
    Card copy = cards_.CardAt(pos);
    if (copy.lines.empty()) {
        copy.lines.emplace_back();
    }
    copy.lines.front() = cards_.UniqueIndex(copy.lines.front());
    // Positions may shift under the insert; follow the copied and the current card by name.
    const std::string original = cards_.IndexAt(pos);
    const bool hasCurrent = currentItemIndex_ >= 0 && currentItemIndex_ < cards_.Count();
    const std::string current = hasCurrent ? cards_.IndexAt(currentItemIndex_) : std::string();
    cards_.Insert(std::move(copy));
    if (hasCurrent) {
        currentItemIndex_ = cards_.FindCard(current);
    }
    view_.SelectIndex(cards_.FindCard(original));
    fileModified_ = true;
    ShowFileStatus();
}

void Document::RestoreCard() {
    cardEdited_ = false;
    IndexListClick();
}

}  // namespace tabellan
