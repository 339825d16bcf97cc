#include "app/phonebook_commands.h"

#include <string>

#include "cardfile/prompter.h"

namespace tabellan {

PhonebookCommands::PhonebookCommands(Prompter& prompter, QObject* parent)
    : QObject(parent), prompter_(prompter) {
    setObjectName(QStringLiteral("PhonebookCommands"));
}

void PhonebookCommands::NotAvailableYet(std::string_view command) {
    prompter_.Show(MsgKind::Information, std::string(command) + " is not available yet.",
                   Buttons::Ok);
}

void PhonebookCommands::mnuPBOpenClick() {
    NotAvailableYet("(Re)Open Port");
}

void PhonebookCommands::mnuPBClosePortClick() {
    NotAvailableYet("Close Port");
}

void PhonebookCommands::mnuPBMemoryStorageClick(PhoneStorage storage) {
    switch (storage) {
        case PhoneStorage::SimCard:
            NotAvailableYet("SIM Card (SM)");
            return;
        case PhoneStorage::Mobile:
            NotAvailableYet("Phone (ME)");
            return;
        case PhoneStorage::Other:
            break;
    }
    NotAvailableYet("Other");
}

void PhonebookCommands::mnuPBMobileInfoClick() {
    NotAvailableYet("Mobile Information");
}

void PhonebookCommands::mnuPBSelectEntriesClick() {
    NotAvailableYet("Select Entries");
}

void PhonebookCommands::mnuPBReadClick() {
    NotAvailableYet("Read Phonebook");
}

void PhonebookCommands::mnuPBUpdateClick() {
    NotAvailableYet("Update Phonebook");
}

void PhonebookCommands::mnuPBReseqClick() {
    NotAvailableYet("Resequence");
}

void PhonebookCommands::mnuPBSortClick(bool selectedOnly) {
    NotAvailableYet(selectedOnly ? "Sort Selected Names" : "Sort All Names");
}

}  // namespace tabellan
