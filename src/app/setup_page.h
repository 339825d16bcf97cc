#pragma once
// A page of the Setup dialog. Every page loads its fields from the dialog's data when the
// dialog is shown, checks them on OK, and stores them back into the data once every page's
// checks have passed; the dialog then writes the data at once.
#include <QWidget>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "autodial/dial_rules.h"
#include "cardfile/codepage.h"
#include "cardfile/quick_search.h"
#include "cardfile/setup_checks.h"
#include "phone/port_device.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tabellan {

class Prompter;

// Everything the dialog shows and stores.
struct SetupData {
    SetupValues values;                   // the open file's settings as the fields hold them
    QuickSearchItems quickSearch;         // the quick search slots
    DialRules dialRules;                  // registry value AutoDial
    ModemSettings modem;                  // registry value AutoDialModem
    PortMap ports;                        // the devices of port numbers (CommDevice<n>)
    FontSpec defaultFont;                 // where "&Default Font..." starts
    std::string cardText;                 // the card in the editor, for the Autodial page
    std::size_t selectionStart = 0;       // byte offset into cardText
    CodePage cp = CodePage::Windows1252;  // of card text and of the text fields
    std::string cardFile;                 // the card file on disk now, or empty
};

class SetupPage : public QWidget {
    Q_OBJECT
  public:
    struct Failure {
        std::string message;  // shown in an error box
        QWidget* field;       // gets the focus
    };

    SetupPage(const char* name, Prompter& prompter, QWidget* parent = nullptr);

    virtual void Load(const SetupData& data) = 0;
    // The first failed check of the page's fields, in their order.
    virtual std::optional<Failure> Check() const { return std::nullopt; }
    virtual void Store(SetupData& data) const = 0;
    // The dialog opened on this page.
    virtual void Opened() {}

  protected:
    // maxLength > 0 limits typing only: a loaded value longer than that is shown whole.
    QLineEdit* AddEdit(const char* name, int maxLength);
    QCheckBox* AddCheck(const char* name, const QString& caption);
    // A button whose handler's failure is shown as an error box.
    QPushButton* AddButton(const char* name, const QString& caption, std::function<void()> handler);
    static QLabel* Label(const QString& caption, QWidget* buddy);

    QString ToQt(const std::string& text) const;
    std::string ToAnsi(const QString& text) const;

    Prompter& prompter_;
    CodePage cp_ = CodePage::Windows1252;  // set by Load
};

}  // namespace tabellan
