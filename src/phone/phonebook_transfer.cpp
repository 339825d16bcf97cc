#include "phone/phonebook_transfer.h"

#include "cardfile/errors.h"
#include "cardfile/prompter.h"
#include "phone/phone_errors.h"
#include "phone/phone_exchange.h"
#include "phone/phonebook_backup.h"
#include "phone/phonebook_reading.h"

namespace tabellan {
namespace {

// Sets the exchange's error note for the duration of the sends.
class ErrorNoteScope {
  public:
    ErrorNoteScope(PhoneExchange& exchange, std::string note) : exchange_(exchange) {
        exchange_.SetErrorNote(std::move(note));
    }
    ~ErrorNoteScope() { exchange_.SetErrorNote({}); }
    ErrorNoteScope(const ErrorNoteScope&) = delete;
    ErrorNoteScope& operator=(const ErrorNoteScope&) = delete;

  private:
    PhoneExchange& exchange_;
};

template <typename Error>
[[noreturn]] void RethrowWithNote(const Error& error, const std::string& note) {
    throw Error(std::string(error.what()) + "\r\n\r\n" + note);
}

// Sends the commands of a confirmed plan; the first exception ends the sending.
void SendUpdateCommands(PhoneExchange& exchange, const std::vector<PhoneCommand>& commands,
                        const std::string& note, UpdateOutcome& outcome) {
    const ErrorNoteScope scope(exchange, note);
    for (const PhoneCommand& command : commands) {
        try {
            exchange.SendPhoneCommand(command.command, command.action, true);
        } catch (const ESerCommError& e) {
            RethrowWithNote(e, note);
        } catch (const EPortOpenErr& e) {
            RethrowWithNote(e, note);
        } catch (const TabellanError& e) {
            RethrowWithNote(e, note);
        }
        ++outcome.commandsSent;
        if (exchange.ReplyList().empty()) {
            ++outcome.commandsFailed;
        }
    }
}

}  // namespace

void SetMemoryStorage(PhoneExchange& exchange, std::string_view storageCode) {
    exchange.SendPhoneCommand(StorageCommand(storageCode), kSettingStorageText, true);
}

std::string GetPhonebookRange(PhoneExchange& exchange) {
    exchange.SendPhoneCommand(kRangeQuery, kGettingCapacityText, true);
    return PhonebookRangeFromReply(exchange.ReplyList());
}

std::optional<PhoneRead> ReadPhoneEntries(PhoneExchange& exchange, std::string_view storageCode,
                                          std::string_view action) {
    SetMemoryStorage(exchange, storageCode);
    if (exchange.ReplyList().empty()) {
        return std::nullopt;
    }
    PhoneRead read;
    // Sent also with an empty range: the phone's answer then tells what is wrong.
    read.range = GetPhonebookRange(exchange);
    exchange.SendPhoneCommand(kReadCommand + read.range, action, true);
    if (exchange.ReplyList().empty()) {
        return std::nullopt;
    }
    read.entries = ExtractPhoneEntries(exchange.ReplyList());
    return read;
}

std::optional<std::vector<std::string>> ReadPhonebook(PhoneExchange& exchange,
                                                      std::string_view storageCode) {
    const MainWindowDisabled disabled(exchange.Window());
    auto read = ReadPhoneEntries(exchange, storageCode, kReadingText);
    if (!read) {
        return std::nullopt;
    }
    return std::move(read->entries);
}

bool ReadPhonebookIntoCard(PhoneExchange& exchange, std::string_view storageCode,
                           PhonebookCard& card) {
    const MainWindowDisabled disabled(exchange.Window());
    const auto read = ReadPhoneEntries(exchange, storageCode, kReadingText);
    if (!read) {
        return false;
    }
    const std::vector<std::string> lines = card.CardLines();
    card.ReplaceCardText(PhonebookCardText(lines.empty() ? "" : lines.front(), read->entries));
    return true;
}

std::optional<std::string> ShowMobileInformation(PhoneExchange& exchange) {
    const MainWindowDisabled disabled(exchange.Window());
    std::string rows;
    for (const PhoneInfoQuery& query : kPhoneInfoQueries) {
        exchange.SendPhoneCommand(query.command, "Getting " + std::string(query.label) + "...",
                                  false);
        rows += PhoneInfoRow(query.label, exchange.ReplyList());
    }
    Prompter& prompter = exchange.GetPrompter();
    if (rows.empty()) {
        prompter.Show(MsgKind::Error, kNoPhoneInfoMessage, Buttons::OkHelp, kPhoneInfoHelpContext);
        return std::nullopt;
    }
    std::string message = PhoneInfoMessage(rows);
    prompter.Show(MsgKind::Information, message, Buttons::OkHelp, kPhoneInfoHelpContext);
    return message;
}

UpdateOutcome UpdatePhonebook(PhoneExchange& exchange, std::string_view storageCode,
                              const std::vector<std::string>& cardEntryLines,
                              UpdateConfirmation& confirmation, const std::string& backupFolder) {
    const MainWindowDisabled disabled(exchange.Window());
    Prompter& prompter = exchange.GetPrompter();
    UpdateOutcome outcome;
    const auto read = ReadPhoneEntries(exchange, storageCode, kCheckingText);
    if (!read) {
        return outcome;
    }
    const UpdatePlan plan = CompareForUpdate(read->entries, cardEntryLines);
    if (plan.Empty()) {
        prompter.Show(MsgKind::Information, kNoUpdateNecessary, Buttons::Ok);
        outcome.status = UpdateOutcome::Status::NothingToDo;
        return outcome;
    }
    if (const auto refusal = CheckUpdatePlan(plan, read->range)) {
        prompter.Show(MsgKind::Error, *refusal, Buttons::Ok);
        outcome.status = UpdateOutcome::Status::Refused;
        return outcome;
    }
    if (!confirmation.ConfirmUpdate(plan)) {
        prompter.Show(MsgKind::Warning, kUpdateCancelled, Buttons::Ok);
        outcome.status = UpdateOutcome::Status::Cancelled;
        return outcome;
    }
    const std::vector<PhoneCommand> commands = UpdateCommands(plan);
    outcome.status = UpdateOutcome::Status::Sent;
    if (commands.empty()) {
        return outcome;
    }
    try {
        outcome.backupPath = WritePhonebookBackup(backupFolder, storageCode, read->entries);
    } catch (const TabellanError& e) {
        prompter.Show(MsgKind::Error,
                      "The phone's entries could not be kept in a backup file, so nothing was "
                      "sent to the phone:\r\n" +
                          std::string(e.what()),
                      Buttons::Ok);
        outcome.status = UpdateOutcome::Status::BackupFailed;
        return outcome;
    }
    SendUpdateCommands(
        exchange, commands,
        "The phone's entries as they were before this update are kept in " + outcome.backupPath,
        outcome);
    return outcome;
}

}  // namespace tabellan
