#pragma once
// The phonebook commands that talk to the phone: Read, Mobile Information and Update, as
// sequences of exchanges over PhoneExchange. The desktop window and the command-line tool
// run these same functions; what only a window can do comes in through the small interfaces
// below, and every message goes through the exchange's Prompter. Each command keeps the main
// window disabled while it runs, however it ends; a failure to open the port or a serial
// error ends it with an exception (the card and the phone untouched by it).
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phone/phonebook_update.h"

namespace tabellan {

class PhoneExchange;

// The card editor of the current card, for Read.
class PhonebookCard {
  public:
    virtual ~PhonebookCard() = default;
    // The editor's hard lines (bytes in the card code page).
    virtual std::vector<std::string> CardLines() const = 0;
    // Replaces the editor's whole text (CR LF line ends) as one edit that Undo takes back;
    // the card then counts as edited.
    virtual void ReplaceCardText(const std::string& text) = 0;
};

// The update confirmation dialog: shows both lists of the plan; true when the user chose OK.
class UpdateConfirmation {
  public:
    virtual ~UpdateConfirmation() = default;
    virtual bool ConfirmUpdate(const UpdatePlan& plan) = 0;
};

// What the phonebook commands show in the window's second status panel while they wait.
inline constexpr std::string_view kSettingStorageText = "Setting Memory Storage...";
inline constexpr std::string_view kGettingCapacityText = "Getting phonebook capacity...";
inline constexpr std::string_view kReadingText = "Reading phonebook...";
inline constexpr std::string_view kCheckingText = "Checking phonebook...";
inline constexpr std::array kPhonebookActionTexts = {kSettingStorageText, kGettingCapacityText,
                                                     kReadingText, kCheckingText};

// Sends the storage choice ("AT+cpbs=" with the code); ReplyList is empty when it failed.
void SetMemoryStorage(PhoneExchange& exchange, std::string_view storageCode);
// Asks the phone for its index range ("1,250"); empty when it cannot be found.
std::string GetPhonebookRange(PhoneExchange& exchange);

struct PhoneRead {
    std::string range;
    std::vector<std::string> entries;
};
// Storage, range, then the read command with the given action text; nullopt when any of
// them failed (its message was shown). Leaves the window's state alone.
std::optional<PhoneRead> ReadPhoneEntries(PhoneExchange& exchange, std::string_view storageCode,
                                          std::string_view action);

// Read: the phone's entries in the order it sent them; nullopt when the read failed.
std::optional<std::vector<std::string>> ReadPhonebook(PhoneExchange& exchange,
                                                      std::string_view storageCode);
// Read into the current card: its line 1 stays, then an empty line and the entries; the card
// is unchanged when the read failed (returns false).
bool ReadPhonebookIntoCard(PhoneExchange& exchange, std::string_view storageCode,
                           PhonebookCard& card);

// Mobile Information: asks the twelve queries, then shows the information box and returns
// its text, or shows "Unable to get mobile information!" and returns nullopt.
std::optional<std::string> ShowMobileInformation(PhoneExchange& exchange);

struct UpdateOutcome {
    enum class Status {
        NotRead,       // storage, capacity or read failed; nothing compared
        NothingToDo,   // "No update is necessary."
        Refused,       // a line to be written failed the check; nothing sent
        Cancelled,     // the user did not confirm; nothing sent
        BackupFailed,  // the phone's entries could not be kept; nothing sent
        Sent,          // the commands went out (commandsFailed of them failed)
    };
    Status status = Status::NotRead;
    std::size_t commandsSent = 0;
    std::size_t commandsFailed = 0;
    // The file keeping the phone's entries as read, when one was written.
    std::string backupPath;
};

// Update: reads the phone, compares it with the card's entry lines (the card from line 3
// on), checks the plan, asks for confirmation, keeps the phone's entries in a backup file
// in backupFolder just before the first delete or write, then sends every delete and every
// write; a failed command shows its message, naming the backup file, and the rest are still
// sent.
UpdateOutcome UpdatePhonebook(PhoneExchange& exchange, std::string_view storageCode,
                              const std::vector<std::string>& cardEntryLines,
                              UpdateConfirmation& confirmation, const std::string& backupFolder);

}  // namespace tabellan
