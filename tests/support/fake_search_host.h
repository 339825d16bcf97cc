#pragma once
// The main window as far as a search sees it: the index list, the editor and the commit,
// with the window's rules (clicking a card commits the edited one first, then shows the card
// found for the clicked index). Counts what the commits did, and stops a run that never
// ends by throwing.
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include "cardfile/card.h"
#include "cardfile/card_search.h"
#include "cardfile/card_set.h"

namespace tabellan::test {

class FakeSearchHost : public SearchHost {
  public:
    FakeSearchHost() = default;
    explicit FakeSearchHost(const std::vector<std::string>& texts) {
        for (const std::string& t : texts) {
            cards.Insert(Card{SplitCardText(t)});
        }
    }
    FakeSearchHost(std::initializer_list<std::string> texts)
        : FakeSearchHost(std::vector<std::string>(texts)) {}

    void Click(int pos) {
        selected = pos;
        IndexListClick();
    }
    void Type(std::string text) {
        editor = std::move(text);
        edited = true;
    }
    void SetCaret(std::size_t pos) {
        selStart = pos;
        selLen = 0;
    }
    std::string Selection() const { return editor.substr(selStart, selLen); }
    std::vector<std::string> Indexes() const {
        std::vector<std::string> out;
        for (int i = 0; i < cards.Count(); ++i) {
            out.push_back(cards.IndexAt(i));
        }
        return out;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (int i = 0; i < cards.Count(); ++i) {
            out.push_back(cards.CardAt(i).Text());
        }
        return out;
    }

    const CardSet& Cards() const override { return cards; }
    std::size_t SelectionStart() const override { return selStart; }
    std::size_t SelectionLength() const override { return selLen; }
    std::string SelectedText() const override { return Selection(); }
    void ReplaceSelection(std::string_view text) override {
        editor.replace(selStart, selLen, text);
        selStart += text.size();
        selLen = 0;
        edited = true;
    }
    int SelectedCard() const override { return selected; }
    void CommitCard() override {
        if (!edited || current < 0 || current >= cards.Count()) {
            return;
        }
        if (++commits > kMaxCommits) {
            throw std::runtime_error("the replacements do not end");
        }
        // An empty editor holds no line; the commit stores two empty lines then.
        const std::vector<std::string> lines =
            editor.empty() ? std::vector<std::string>{} : SplitCardText(editor);
        const int before = current;
        cards.CommitLines(current, lines, &currentIndexText);
        edited = false;
        selected = current = cards.FindCard(currentIndexText);
        moves += current != before ? 1 : 0;
        madeUnique += currentIndexText != (lines.empty() ? "" : lines[0]) ? 1 : 0;
    }
    void ReshowSelectedCard() override { IndexListClick(); }
    void ShowCard(int pos) override { Click(pos); }
    void SelectText(std::size_t start, std::size_t length) override {
        selStart = start;
        selLen = length;
    }

    static constexpr int kMaxCommits = 10000;

    CardSet cards;
    int selected = -1;
    int current = -1;
    std::string editor;
    std::size_t selStart = 0;
    std::size_t selLen = 0;
    bool edited = false;
    std::string currentIndexText;
    int commits = 0;
    int moves = 0;       // commits that moved their card in the list
    int madeUnique = 0;  // commits that appended "." to make an index unique

  private:
    void IndexListClick() {
        if (selected < 0) {
            return;
        }
        const std::string remembered = cards.IndexAt(selected);
        CommitCard();
        const int pos = cards.FindCard(remembered);
        selected = current = pos >= 0 ? pos : cards.FindCard(currentIndexText);
        editor = cards.CardAt(selected).Text();
        SetCaret(0);
        edited = false;
    }
};

}  // namespace tabellan::test
