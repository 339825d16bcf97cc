#pragma once
// The index list's rows, read from the document's card set on demand: the list never holds
// a copy of the indexes, so a file of 100,000 cards costs nothing until rows are painted.
#include <QAbstractListModel>

#include "cardfile/card_set.h"
#include "cardfile/codepage.h"

namespace tabellan {

class IndexListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit IndexListModel(const CardSet& cards, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void SetCodePage(CodePage cp);
    // The set changed (entries inserted, removed, replaced): the rows are read again.
    void Refresh();

  private:
    const CardSet& cards_;
    CodePage cp_ = CodePage::Windows1252;
    int rows_ = 0;  // the count the view was last told about
};

}  // namespace tabellan
