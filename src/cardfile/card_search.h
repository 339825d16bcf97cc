#pragma once
// Find, Replace and Replace All over the cards of the open file, without any toolkit.
//
// The main window keeps a SearchState for the run and implements SearchHost over its
// editor, its index list and the document's commit. The find/replace dialog only passes
// its fields (SearchRequest) to FindNext, ReplaceOne or ReplaceAll; every rule of a
// search step (where it starts, committing the edited card, the walk through the cards,
// wrapping, case folding, the messages) lives here. Offsets are bytes into a card's text,
// its lines joined with CR LF, which is also the editor's text of that card.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "cardfile/card.h"
#include "cardfile/codepage.h"

namespace tabellan {

class CardSet;
class Prompter;

enum class SearchScope { Indexes, WholeFile, CurrentCard };

// The main window's search state; nothing of it is stored.
struct SearchState {
    SearchScope scope = SearchScope::WholeFile;  // set each time the dialog is opened
    std::string lastFindText;                    // pre-fills the dialog
    std::string lastReplaceText;
    bool searchWrapped = false;
};

// The dialog's fields at the press of one of its buttons. A step started before the user
// pressed a button (a search command, a quick search) passes the last texts and no case.
struct SearchRequest {
    std::string findText;
    std::string replaceText;
    bool matchCase = false;
};

// What a search needs from the main window.
class SearchHost {
  public:
    virtual ~SearchHost() = default;

    virtual const CardSet& Cards() const = 0;

    // The editor, in bytes of its text.
    virtual std::size_t SelectionStart() const = 0;
    virtual std::size_t SelectionLength() const = 0;
    virtual std::string SelectedText() const = 0;
    // Replaces the selection; the caret then stands after the inserted text and the card
    // counts as edited.
    virtual void ReplaceSelection(std::string_view text) = 0;

    // The index list's selected position, -1 for none.
    virtual int SelectedCard() const = 0;
    // Commits the edited card and selects it in the index list (the set may re-sort; the
    // committed index is unique). The editor keeps its text. Nothing when no card is edited.
    virtual void CommitCard() = 0;
    // What clicking the selected entry of the index list does: commit the edited card (the
    // set may re-sort), then show the selected card again with no selection. Nothing when
    // no card is selected.
    virtual void ReshowSelectedCard() = 0;
    // Selects pos in the index list and shows that card the same way.
    virtual void ShowCard(int pos) = 0;
    // Puts the caret at the end of the editor's text first (so the view scrolls to the
    // match), then selects [start, start + length).
    virtual void SelectText(std::size_t start, std::size_t length) = 0;
    // The editor takes the focus when it can; the dialog, when open, comes to the front.
    virtual void FocusEditor() {}
};

// One search step. Starts right after the editor's selection (or at the caret), commits
// the current card, copies the request's texts into the state, walks the scope from the
// selected card and selects the first match. On failure shows the not-found error when
// showNotFound. Returns whether a match was selected.
bool FindNext(SearchHost& host, SearchState& state, const SearchRequest& request,
              Prompter& prompter, bool showNotFound = true);

// Replaces the selection when it equals the find text, then runs FindNext.
bool ReplaceOne(SearchHost& host, SearchState& state, const SearchRequest& request,
                Prompter& prompter);

// Replaces every match the scope holds when it starts, each exactly once, and always ends.
// The walk starts at the caret in the selected card (at the selection when it equals the
// find text, which is replaced first), visits every card of the scope once in list order,
// wrapping round, and comes back to the part of the start card before the caret last.
// Cards are followed through the re-sorting their commits cause, and inside a card the
// search goes on after the inserted text. Ends with one search step from the last
// replacement (it selects what the replacements left to find, if anything), reports
// "<n> replacements done." and returns n.
int ReplaceAll(SearchHost& host, SearchState& state, const SearchRequest& request,
               Prompter& prompter);

// The not-found message for a find text ("&" doubled for the message box).
std::string NotFoundMessage(std::string_view findText);
std::string ReplacementsDoneMessage(int count);

// Where the dialog goes when it has not been placed yet.
struct ScreenPoint {
    int x = 0;
    int y = 0;
};
ScreenPoint FirstFindDialogPosition(int windowLeft, int windowTop, int windowHeight);

// --- the text matching underneath, for the quick search and the tests ---

// Byte-to-byte case folding of a code page (identity when matching case).
using CaseTable = std::array<unsigned char, 256>;
const CaseTable& LowerCaseTable(CodePage cp);
const CaseTable& IdentityCaseTable();
// The table a request searches with: the identity when it matches case.
const CaseTable& CaseTableFor(const SearchRequest& request, CodePage cp);

// A plain forward substring search through a case table, without copying the text.
class TextMatcher {
  public:
    // The pattern is folded through table; an empty pattern never matches.
    TextMatcher(std::string_view pattern, const CaseTable& table);

    // First match at or after from (npos when none, also when from is beyond the end).
    std::size_t Find(std::string_view text, std::size_t from) const;
    // First match in a card's text (lines joined with CR LF) at or after from.
    std::size_t FindInCard(const Card& card, std::size_t from) const;
    // Whether text equals the pattern under the table.
    bool Equals(std::string_view text) const;

  private:
    bool MatchesAt(std::string_view text, std::size_t pos) const;

    std::string pattern_;
    const CaseTable& table_;
    std::size_t anchor_ = 0;  // the pattern position the scan looks for first
    // The anchor's forms are the bytes b with (b | anchorMask_) == anchorTarget_, when they
    // are one byte or two differing in one bit; otherwise the scan folds byte by byte.
    bool wordScan_ = false;
    unsigned char anchorMask_ = 0;
    unsigned char anchorTarget_ = 0;
    bool crossesLines_ = false;  // the pattern holds CR or LF
};

}  // namespace tabellan
