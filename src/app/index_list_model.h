#pragma once
// The index list's rows, read from the document's card set on demand: the list never holds
// a copy of the indexes, so a file of 100,000 cards costs nothing until rows are painted.
// The model follows the set's inserts, removals and moves as they happen, so the list keeps
// its selection and repaints only what changed; a load is one reset.
#include <QAbstractListModel>

#include "cardfile/card_set.h"
#include "cardfile/codepage.h"

namespace tabellan {

class IndexListModel : public QAbstractListModel, private CardSetObserver {
    Q_OBJECT
  public:
    // Observes cards until destroyed.
    explicit IndexListModel(CardSet& cards, QObject* parent = nullptr);
    ~IndexListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void SetCodePage(CodePage cp);
    // The set was filled or emptied as a whole: the rows are read again.
    void Refresh();

  private:
    // CardSetObserver
    void CardAboutToBeInserted(int pos) override;
    void CardInserted(int pos) override;
    void CardAboutToBeRemoved(int pos) override;
    void CardRemoved(int pos) override;
    void CardAboutToBeMoved(int from, int to) override;
    void CardMoved(int from, int to) override;
    void CardChanged(int pos) override;
    void CardsAboutToBeCleared() override;
    void CardsCleared() override;

    // The rows agree with the set: no change went by unreported (a bulk load in progress).
    bool InStep() const { return rows_ == cards_.Count(); }

    CardSet& cards_;
    CodePage cp_ = CodePage::Windows1252;
    int rows_ = 0;            // the count the view was last told about
    bool reporting_ = false;  // a change announced to the view is under way
};

}  // namespace tabellan
