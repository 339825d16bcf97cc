#pragma once
// The Setup dialog's "Auto&dial" page: the dial rules and the modem, kept in the user's
// settings, the characters of phone numbers, kept in the card file, and the number found
// at the editor's caret with the number to be dialed. The rules are AutodialModel's.
#include "app/setup_page.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tabellan {

class SetupAutodialPage : public SetupPage {
    Q_OBJECT
  public:
    explicit SetupAutodialPage(Prompter& prompter);

    // Also finds the phone number at the caret, so the page never offers an earlier card's.
    void Load(const SetupData& data) override;
    void Store(SetupData& data) const override;
    // Opened through Autodial: the focus goes to "D&ial!".
    void Opened() override;

  private:
    DialRules RulesFromControls() const;
    ModemSettings ModemFromControls() const;
    void ApplyDialRules();
    void AutodialCharsChange();
    void ShowNumbers();
    // "D&ial!": dials the number to be dialed through the modem.
    void btnDialClick();

    AutodialModel autodial_{DialRules{}, " ", "()"};
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
