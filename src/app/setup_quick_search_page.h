#pragma once
// The Setup dialog's "&Quick Search Items" page: the list of stored searches, the edit field,
// the index-only check box and the four buttons. The rules are QuickSearchItemsModel's.
#include "app/setup_page.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tabellan {

class SetupQuickSearchPage : public SetupPage {
    Q_OBJECT
  public:
    explicit SetupQuickSearchPage(Prompter& prompter);

    void Load(const SetupData& data) override;
    void Store(SetupData& data) const override;

  private:
    void ShowQuickSearchItems();
    void SrchItemListClick();
    void EditItemChange();
    void btnAddClick();
    void btnDeleteClick();
    void MoveUpClick();
    void MoveDownClick();

    QuickSearchItemsModel items_;
    QListWidget* itemList_ = nullptr;
    QLineEdit* editItem_ = nullptr;
    QCheckBox* indexOnly_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* moveUp_ = nullptr;
    QPushButton* moveDown_ = nullptr;
};

}  // namespace tabellan
