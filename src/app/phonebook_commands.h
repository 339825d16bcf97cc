#pragma once
// The Phonebook menu's commands and their tool buttons. The phone link (SerComm1 and the
// exchange) lives here, its serial line events delivered through the Qt event loop; the
// phonebook rules and the command sequences are the phone library's, and these handlers
// give them the card editor, the confirmation dialog and the storage menu entries.
#include <QObject>
#include <memory>
#include <string>

#include "phone/memory_storage.h"

class QAction;
class QPlainTextEdit;

namespace tabellan {

class CardEditorAdapter;
class Document;
class PhoneExchange;
class PhoneWindow;
class Prompter;
class QtEventDispatcher;
class TUpdInfoForm;

// The three entries of the Memory Storage submenu.
struct StorageEntries {
    QAction* simCard = nullptr;
    QAction* mobile = nullptr;
    QAction* other = nullptr;
};

class PhonebookCommands : public QObject {
    Q_OBJECT
  public:
    PhonebookCommands(PhoneWindow& window, QPlainTextEdit& editor, CardEditorAdapter& adapter,
                      Document& document, Prompter& prompter, StorageEntries storage,
                      QObject* parent);
    ~PhonebookCommands() override;

    // The confirmation dialog of Update; created with the program's other windows.
    void AttachUpdateForm(TUpdInfoForm& form) { updateForm_ = &form; }

    PhoneExchange& Exchange() { return *exchange_; }
    const MemoryStorage& Storage() const { return storage_; }

    void mnuPBOpenClick();       // (Re)Open Port
    void mnuPBClosePortClick();  // Close Port
    void mnuPBMemoryStorageClick(StorageItem item);
    void mnuPBMobileInfoClick();  // menu entry and sbMobileInfo
    void mnuPBSelectEntriesClick();
    void mnuPBReadClick();    // menu entry and sbPBRead
    void mnuPBUpdateClick();  // menu entry and sbPBUpdate
    void mnuPBReseqClick();
    void mnuPBSortClick(bool selectedOnly);

  private:
    bool CardShown() const;
    void ShowStorage();
    std::string BackupFolder() const;

    QPlainTextEdit& editor_;
    CardEditorAdapter& adapter_;
    Document& document_;
    Prompter& prompter_;
    StorageEntries storageEntries_;
    MemoryStorage storage_;
    TUpdInfoForm* updateForm_ = nullptr;
    // The dispatcher outlives the exchange, whose port threads post into it.
    std::unique_ptr<QtEventDispatcher> dispatcher_;
    std::unique_ptr<PhoneExchange> exchange_;
};

}  // namespace tabellan
