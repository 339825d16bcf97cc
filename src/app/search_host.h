#pragma once
// The search's view of the main window: the card editor in card-text bytes (a line break
// counts as CR LF), the index list's selection and the document's commit.
#include <QPointer>
#include <string>

#include "cardfile/card_search.h"

class QWidget;

namespace tabellan {

class CardEditorAdapter;
class Document;
class DocumentView;

class CardSearchHost : public SearchHost {
  public:
    // editor: the card editor widget that adapter reads and writes.
    CardSearchHost(Document& doc, DocumentView& view, QWidget& editor, CardEditorAdapter& adapter)
        : doc_(doc), view_(view), editor_(editor), adapter_(adapter) {}

    // The find dialog, brought to the front after every step while it is open.
    void SetDialog(QWidget* dialog) { dialog_ = dialog; }

    const CardSet& Cards() const override;
    std::size_t SelectionStart() const override;
    std::size_t SelectionLength() const override;
    std::string SelectedText() const override;
    void ReplaceSelection(std::string_view text) override;
    int SelectedCard() const override;
    void CommitCard() override;
    void ReshowSelectedCard() override;
    void ShowCard(int pos) override;
    void SelectText(std::size_t start, std::size_t length) override;
    void FocusEditor() override;

  private:
    Document& doc_;
    DocumentView& view_;
    QWidget& editor_;
    CardEditorAdapter& adapter_;
    QPointer<QWidget> dialog_;
};

}  // namespace tabellan
