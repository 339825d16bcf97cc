#pragma once
// The search's view of a card set without a window, for the command-line tool and the
// benchmarks: the editor is a copy of the shown card's text, the commit goes straight into
// the set, and showing a card shows exactly that card.
#include <string>

#include "cardfile/card_search.h"
#include "cardfile/card_set.h"

namespace tabellan {

class CardSetSearchHost : public SearchHost {
  public:
    explicit CardSetSearchHost(CardSet& cards) : cards_(cards) {}

    // The editor's text: the shown card's text with the edits made since.
    const std::string& EditorText() const { return editor_; }

    const CardSet& Cards() const override { return cards_; }
    std::size_t SelectionStart() const override { return selStart_; }
    std::size_t SelectionLength() const override { return selLength_; }
    std::string SelectedText() const override;
    void ReplaceSelection(std::string_view text) override;
    int SelectedCard() const override { return selected_; }
    void CommitCard() override;
    void ReshowSelectedCard() override;
    void ShowCard(int pos) override;
    void SelectText(std::size_t start, std::size_t length) override;

  private:
    void Load(int pos);

    CardSet& cards_;
    int selected_ = -1;  // the shown card
    std::string editor_;
    std::size_t selStart_ = 0;
    std::size_t selLength_ = 0;
    bool edited_ = false;
};

}  // namespace tabellan
