#include "app/index_list_model.h"

#include "app/card_editor_adapter.h"

namespace tabellan {

IndexListModel::IndexListModel(CardSet& cards, QObject* parent)
    : QAbstractListModel(parent), cards_(cards), rows_(cards.Count()) {
    cards_.SetObserver(this);
}

IndexListModel::~IndexListModel() {
    cards_.SetObserver(nullptr);
}

int IndexListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant IndexListModel::data(const QModelIndex& index, int role) const {
    // A bulk load may have changed the set before the view is told.
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

void IndexListModel::CardAboutToBeInserted(int pos) {
    reporting_ = InStep();
    if (reporting_) {
        beginInsertRows(QModelIndex(), pos, pos);
    }
}

void IndexListModel::CardInserted(int /*pos*/) {
    if (!reporting_) {
        Refresh();
        return;
    }
    reporting_ = false;
    ++rows_;
    endInsertRows();
}

void IndexListModel::CardAboutToBeRemoved(int pos) {
    reporting_ = InStep();
    if (reporting_) {
        beginRemoveRows(QModelIndex(), pos, pos);
    }
}

void IndexListModel::CardRemoved(int /*pos*/) {
    if (!reporting_) {
        Refresh();
        return;
    }
    reporting_ = false;
    --rows_;
    endRemoveRows();
}

void IndexListModel::CardAboutToBeMoved(int from, int to) {
    // The row goes before the row that is now at the destination (counted before the move).
    reporting_ = InStep() &&
                 beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
}

void IndexListModel::CardMoved(int /*from*/, int /*to*/) {
    if (!reporting_) {
        Refresh();
        return;
    }
    reporting_ = false;
    endMoveRows();
}

void IndexListModel::CardChanged(int pos) {
    if (InStep()) {
        const QModelIndex row = index(pos);
        emit dataChanged(row, row);
    }
}

void IndexListModel::CardsAboutToBeCleared() {
    beginResetModel();
}

void IndexListModel::CardsCleared() {
    rows_ = 0;
    endResetModel();
}

}  // namespace tabellan
