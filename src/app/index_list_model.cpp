#include "app/index_list_model.h"

#include "app/card_editor_adapter.h"

namespace tabellan {

IndexListModel::IndexListModel(const CardSet& cards, QObject* parent)
    : QAbstractListModel(parent), cards_(cards), rows_(cards.Count()) {}

int IndexListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant IndexListModel::data(const QModelIndex& index, int role) const {
    // The set may already have shrunk while a message box runs before Refresh().
    if (!index.isValid() || index.row() >= cards_.Count()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        return AnsiToQString(cards_.IndexAt(index.row()), cp_);
    }
    return {};
}

void IndexListModel::SetCodePage(CodePage cp) {
    if (cp != cp_) {
        cp_ = cp;
        if (rows_ > 0) {
            emit dataChanged(this->index(0), this->index(rows_ - 1));
        }
    }
}

void IndexListModel::Refresh() {
    beginResetModel();
    rows_ = cards_.Count();
    endResetModel();
}

}  // namespace tabellan
