#include "app/index_list_view.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace tabellan {

IndexListView::IndexListView(QWidget* parent) : QListView(parent) {
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setLayoutMode(QListView::SinglePass);
}

int IndexListView::SelectedRow() const {
    if (!selectionModel()) {
        return -1;
    }
    const QModelIndex current = currentIndex();
    return current.isValid() && selectionModel()->isSelected(current) ? current.row() : -1;
}

void IndexListView::SelectRow(int row) {
    if (!model() || !selectionModel()) {
        return;
    }
    const QModelIndex index = row >= 0 ? model()->index(row, 0) : QModelIndex();
    if (!index.isValid()) {
        // Through the view, which then knows that no row is current on purpose.
        setCurrentIndex(QModelIndex());
        return;
    }
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

void IndexListView::reset() {
    QListView::reset();
    if (selectionModel()) {
        setCurrentIndex(QModelIndex());
    }
}

void IndexListView::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Delete && e->modifiers() == Qt::NoModifier) {
        if (SelectedRow() >= 0) {
            emit DeletePressed();
        }
    } else if (e->key() == Qt::Key_Insert && e->modifiers() == Qt::NoModifier) {
        emit InsertPressed();
    }
    byKeyboard_ = true;
    QListView::keyPressEvent(e);
    byKeyboard_ = false;
}

void IndexListView::mouseReleaseEvent(QMouseEvent* e) {
    QListView::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && indexAt(e->position().toPoint()).isValid()) {
        emit UserSelected();
    }
}

void IndexListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QListView::currentChanged(current, previous);
    if (byKeyboard_ && current.isValid()) {
        emit UserSelected();
    }
}

}  // namespace tabellan
