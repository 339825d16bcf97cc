#include "app/setup_quick_search_page.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/font_mapping.h"

namespace tabellan {

SetupQuickSearchPage::SetupQuickSearchPage(Prompter& prompter)
    : SetupPage("TabQuickSearchItems", prompter) {
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setFamily(FixedPitchFamily());
    itemList_ = new QListWidget(this);
    itemList_->setObjectName(QStringLiteral("SrchItemList"));
    itemList_->setFont(fixed);
    editItem_ = AddEdit("EditItem", static_cast<int>(QuickSearchItemsModel::kMaxEditLength));
    editItem_->setFont(fixed);
    indexOnly_ = AddCheck("IndexOnly", QStringLiteral("Search above string in &index only"));
    add_ = AddButton("btnAdd", QStringLiteral("&Add"), [this] { btnAddClick(); });
    delete_ = AddButton("btnDelete", QStringLiteral("D&elete"), [this] { btnDeleteClick(); });
    moveUp_ = AddButton("MoveUp", QStringLiteral("Move &Up"), [this] { MoveUpClick(); });
    moveDown_ = AddButton("MoveDown", QStringLiteral("Move D&own"), [this] { MoveDownClick(); });
    // Only the user's own changes: showing the model's state must not call back into it.
    connect(itemList_, &QListWidget::itemClicked, this, [this] { SrchItemListClick(); });
    connect(itemList_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row != items_.Selected()) {
            SrchItemListClick();
        }
    });
    connect(editItem_, &QLineEdit::textEdited, this, [this] { EditItemChange(); });
    connect(indexOnly_, &QCheckBox::clicked, this, [this] { EditItemChange(); });

    auto* grid = new QGridLayout(this);
    grid->addWidget(itemList_, 0, 0, 4, 1);
    grid->addWidget(add_, 0, 1);
    grid->addWidget(delete_, 1, 1);
    grid->addWidget(moveUp_, 2, 1);
    grid->addWidget(moveDown_, 3, 1, Qt::AlignTop);
    grid->addWidget(editItem_, 4, 0);
    grid->addWidget(indexOnly_, 5, 0);
}

void SetupQuickSearchPage::Load(const SetupData& data) {
    cp_ = data.cp;
    items_.Load(data.quickSearch);
    ShowQuickSearchItems();
}

void SetupQuickSearchPage::Store(SetupData& data) const {
    data.quickSearch = items_.Save();
}

void SetupQuickSearchPage::ShowQuickSearchItems() {
    const QSignalBlocker blockList(itemList_);
    itemList_->clear();
    for (const std::string& line : items_.Lines()) {
        itemList_->addItem(ToQt(line));
    }
    itemList_->setCurrentRow(items_.Selected());
    if (items_.Selected() < 0) {
        itemList_->clearSelection();
    }
    const QSignalBlocker blockEdit(editItem_);
    editItem_->setText(ToQt(items_.EditText()));
    indexOnly_->setChecked(items_.IndexOnly());
    add_->setEnabled(items_.CanAdd());
    delete_->setEnabled(items_.CanDelete());
    moveUp_->setEnabled(items_.CanMoveUp());
    moveDown_->setEnabled(items_.CanMoveDown());
}

void SetupQuickSearchPage::SrchItemListClick() {
    items_.SelectLine(itemList_->currentRow());
    ShowQuickSearchItems();
}

void SetupQuickSearchPage::EditItemChange() {
    const int cursor = editItem_->cursorPosition();
    items_.SetIndexOnly(indexOnly_->isChecked());
    items_.SetEditText(ToAnsi(editItem_->text()));
    ShowQuickSearchItems();
    editItem_->setCursorPosition(cursor);
}

void SetupQuickSearchPage::btnAddClick() {
    items_.Add();
    ShowQuickSearchItems();
}

void SetupQuickSearchPage::btnDeleteClick() {
    items_.Delete();
    ShowQuickSearchItems();
}

void SetupQuickSearchPage::MoveUpClick() {
    items_.MoveUp();
    ShowQuickSearchItems();
}

void SetupQuickSearchPage::MoveDownClick() {
    items_.MoveDown();
    ShowQuickSearchItems();
}

}  // namespace tabellan
