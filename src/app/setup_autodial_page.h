#pragma once
// The Setup dialog's "Auto&dial" page: the dial rules and the modem, kept in the user's
// settings, the characters of phone numbers, kept in the card file, and the number found
// at the editor's caret with the number to be dialed. The rules are AutodialModel's.
#include <functional>
#include <memory>
#include <string>

#include "app/setup_modem_dial.h"
#include "app/setup_page.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tabellan {

class ElidedLabel;

class SetupAutodialPage : public SetupPage {
    Q_OBJECT
  public:
    explicit SetupAutodialPage(Prompter& prompter);

    // Also finds the phone number at the caret, so the page never offers an earlier card's.
    void Load(const SetupData& data) override;
    void Store(SetupData& data) const override;
    // Opened through Autodial: the focus goes to "D&ial!".
    void Opened() override;

    // The device a port number stands for, as the dialog's port page has it now; without
    // one, the stored assignments.
    using PortDevices = std::function<std::string(int port)>;
    void SetPortDevices(PortDevices devices) { portDevices_ = std::move(devices); }
    ModemDialer& Dialer() { return modemDial_->Dialer(); }

  signals:
    // Dialing ended without an exception: the dialog's OK button takes the focus.
    void DialingEnded();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    DialRules RulesFromControls() const;
    ModemSettings ModemFromControls() const;
    void ApplyDialRules();
    void AutodialCharsChange();
    void ShowNumbers();
    // "D&ial!": dials the number to be dialed through the modem.
    void btnDialClick();
    // Names the device of the modem's port number next to its field.
    void ShowModemDevice();
    // The device name the modem's port opens for the port text.
    std::string ModemDeviceName(const std::string& portText) const;

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
    ElidedLabel* modemDevice_ = nullptr;
    PortDevices portDevices_;
    std::unique_ptr<SetupModemDial> modemDial_;
};

}  // namespace tabellan
