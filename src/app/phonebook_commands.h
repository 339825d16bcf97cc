#pragma once
// The Phonebook menu's commands and their tool buttons: the handlers the window's actions
// call. The phone link and the phonebook rules belong to the phone library; these handlers
// are where the window reaches them.
#include <QObject>
#include <string_view>

namespace tabellan {

class Prompter;

// The memory storage entries of the Phonebook menu.
enum class PhoneStorage { SimCard, Mobile, Other };

class PhonebookCommands : public QObject {
    Q_OBJECT
  public:
    PhonebookCommands(Prompter& prompter, QObject* parent);

    void mnuPBOpenClick();       // (Re)Open Port
    void mnuPBClosePortClick();  // Close Port
    void mnuPBMemoryStorageClick(PhoneStorage storage);
    void mnuPBMobileInfoClick();  // menu entry and sbMobileInfo
    void mnuPBSelectEntriesClick();
    void mnuPBReadClick();    // menu entry and sbPBRead
    void mnuPBUpdateClick();  // menu entry and sbPBUpdate
    void mnuPBReseqClick();
    void mnuPBSortClick(bool selectedOnly);

  private:
    void NotAvailableYet(std::string_view command);

    Prompter& prompter_;
};

}  // namespace tabellan
