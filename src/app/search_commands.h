#pragma once
// The main window's search commands: the three scopes that open the find/replace dialog,
// its Find Next, Replace and Replace All, and the quick search entries of the Search menu.
// The state lives for the whole run; the steps themselves are the library's.
#include <QObject>
#include <QPoint>

#include "app/search_host.h"
#include "cardfile/card_search.h"

class QWidget;

namespace tabellan {

class CardEditorAdapter;
class Document;
class DocumentView;
class Prompter;
class TReplaceDialog;

class SearchCommands : public QObject {
    Q_OBJECT
  public:
    // window: the main window, which the find dialog belongs to and is placed beside;
    // editor: the card editor that adapter reads and writes.
    SearchCommands(QWidget& window, Document& document, DocumentView& view, QWidget& editor,
                   CardEditorAdapter& adapter, Prompter& prompter);

    // Opens (or re-activates) the find dialog for a scope.
    void mnuSearchFindClick(SearchScope scope);
    // The quick search entry of a slot (0..8).
    void SearchItemClick(int slot);

    const SearchState& State() const { return state_; }
    QPoint FindDialogPosition() const { return findDialogPosition_; }
    TReplaceDialog* Dialog() const { return dialog_; }

  private:
    void ReplaceDialogFind();
    void ReplaceDialogReplace(bool all);
    void ReplaceDialogClose(const QPoint& pos);
    SearchRequest Request() const;
    QString ToQt(const std::string& text) const;

    QWidget& window_;
    Document& document_;
    QWidget& editor_;
    CardEditorAdapter& adapter_;
    Prompter& prompter_;
    CardSearchHost host_;
    SearchState state_;
    QPoint findDialogPosition_;  // (0, 0): not placed yet
    TReplaceDialog* dialog_;
};

}  // namespace tabellan
