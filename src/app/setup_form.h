#pragma once
// The Setup dialog: the open file's settings ("&File Setup"), the quick search items and
// the autodial rules. Loading, the checks of OK and storing are the library's
// (cardfile/setup_checks.h, quick_search.h, autodial/dial_rules.h); this shows them.
#include <QDialog>
#include <functional>
#include <optional>

#include "autodial/dial_rules.h"
#include "cardfile/quick_search.h"
#include "cardfile/setup_checks.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace tabellan {

class AppSettings;
class CardEditorAdapter;
class FileDialogs;
class Prompter;
class TMainForm;

class TSetupForm : public QDialog {
    Q_OBJECT
  public:
    // The font dialog: the font chosen, or nullopt when cancelled.
    using FontChooser = std::function<std::optional<FontSpec>(const FontSpec& start, QWidget*)>;

    TSetupForm(TMainForm& window, const CardEditorAdapter& editor, AppSettings& appSettings,
               Prompter& prompter, FileDialogs& dialogs);

    // Places the dialog over the main window, shows it modally on tab, then refreshes the
    // window's status.
    void SetupClick(SetupTab tab);
    // Loads every control; runs each time the dialog is shown.
    void FormActivate(SetupTab tab);

    SetupTab CurrentTab() const;
    const FontSpec& PendingFont() const { return values_.pendingFont; }
    void SetFontChooser(FontChooser chooser) { chooseFont_ = std::move(chooser); }

  private:
    QWidget* CreateFileSetupTab();
    QWidget* CreateQuickSearchTab();
    QWidget* CreateAutodialTab();
    QLineEdit* AddEdit(const char* name, int maxLength);
    QCheckBox* AddCheck(const char* name, const QString& caption);
    QPushButton* AddButton(const char* name, const QString& caption, void (TSetupForm::*handler)());

    void ShowValues();
    SetupValues ReadValues() const;
    QWidget* FieldWidget(SetupField field) const;

    void OKClick();
    void HelpClick();
    void ButtonClearPasswordClick();
    void ButtonFormFeedClick();
    void ButtonFontClick();
    void ButtonDefFontClick();
    void ButtonSetAltFNClick();
    void ButtonClearAltFNClick();

    void ShowQuickSearchItems();
    void SrchItemListClick();
    void EditItemChange();
    void btnAddClick();
    void btnDeleteClick();
    void MoveUpClick();
    void MoveDownClick();

    void ShowAutodial(const DialRules& rules, const ModemSettings& modem);
    DialRules RulesFromControls() const;
    void ApplyDialRules();
    void AutodialCharsChange();
    void ShowNumbers();
    void btnDialClick();

    QString ToQt(const std::string& text) const;
    std::string ToAnsi(const QString& text) const;

    TMainForm& window_;
    const CardEditorAdapter& editor_;
    AppSettings& appSettings_;
    Prompter& prompter_;
    FileDialogs& dialogs_;
    FontChooser chooseFont_;

    SetupValues values_;
    QuickSearchItemsModel items_;
    AutodialModel autodial_{DialRules{}, " ", "()"};

    QTabWidget* tabs_ = nullptr;
    // File Setup
    QLineEdit* password1_ = nullptr;
    QLineEdit* password2_ = nullptr;
    QComboBox* compression_ = nullptr;
    QCheckBox* wordWrap_ = nullptr;
    QLineEdit* cardSeparator_ = nullptr;
    QComboBox* indexListSide_ = nullptr;
    QLineEdit* autoSavePeriod_ = nullptr;
    QCheckBox* commandExec_ = nullptr;
    QLineEdit* indent_ = nullptr;
    QLineEdit* altFileName_ = nullptr;
    // Quick Search Items
    QListWidget* itemList_ = nullptr;
    QLineEdit* editItem_ = nullptr;
    QCheckBox* indexOnly_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* moveUp_ = nullptr;
    QPushButton* moveDown_ = nullptr;
    // Autodial
    QLineEdit* countryCode_ = nullptr;
    QLineEdit* icPrefix_ = nullptr;
    QCheckBox* useIcPrefix_ = nullptr;
    QLineEdit* areaCode_ = nullptr;
    QLineEdit* ldcPrefix_ = nullptr;
    QCheckBox* useLdcPrefix_ = nullptr;
    QLineEdit* additionalPrefix_ = nullptr;
    QCheckBox* useAddPrefix_ = nullptr;
    QLineEdit* ignoredChars_ = nullptr;
    QLineEdit* separatorChars_ = nullptr;
    QLineEdit* modemPort_ = nullptr;
    QComboBox* dialType_ = nullptr;
    QLabel* originalNumber_ = nullptr;
    QLineEdit* numberToBeDialed_ = nullptr;
    QPushButton* dial_ = nullptr;
};

}  // namespace tabellan
