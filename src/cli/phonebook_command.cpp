#include "cli/phonebook_command.h"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "cardfile/atomic_file.h"
#include "cardfile/codepage.h"
#include "cardfile/errors.h"
#include "cli/command_args.h"
#include "cli/phone_port.h"
#include "phone/memory_storage.h"
#include "phone/phone_exchange.h"
#include "phone/phonebook_backup.h"
#include "phone/phonebook_ordering.h"
#include "phone/phonebook_transfer.h"

namespace tabellan {
namespace {

constexpr const char* kPhonebookHelp =
    R"(
  read    sets the memory storage (--storage, default SM), asks the phone for its
          range and reads it; prints the entry lines as Read puts them on the
          phonebook card from line 3 on, one per line
  info    asks the phone's identity and state and prints the information text
  update  compares the phone with the card's entry lines (the card from line 3 on),
          read from FILE or standard input, and prints what would be added or
          replaced and deleted; with --yes the deletes and writes are sent, after
          the phone's entries were kept in a backup file (its path is printed)
          under $XDG_DATA_HOME/Velmorn/Tabellan (~/.local/share/Velmorn/Tabellan)

Text is printed and read as UTF-8; the phone's text is taken as Windows-1252.
Exit status: 0 success, 1 failure (a refused command included), 2 wrong usage,
3 the port could not be opened.
)";

void WriteOut(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        throw EInOutError(SystemMessage("standard output", errno));
    }
}

// The confirmation dialog of a tool without dialogs: prints the plan and answers as --yes
// says.
class PrintedConfirmation : public UpdateConfirmation {
  public:
    explicit PrintedConfirmation(bool yes) : yes_(yes) {}
    bool ConfirmUpdate(const UpdatePlan& plan) override {
        std::string text = "Items to be added or replaced:\n";
        for (const std::string& line : plan.addList) {
            text += AnsiToUtf8(line) + "\n";
        }
        text += "Items to be deleted:\n";
        for (const std::string& line : plan.deleteList) {
            text += AnsiToUtf8(line) + "\n";
        }
        WriteOut(text);
        return yes_;
    }

  private:
    bool yes_;
};

std::string ReadInput(const std::optional<std::string>& path) {
    std::FILE* in = path ? std::fopen(path->c_str(), "rb") : stdin;
    const std::string name = path ? *path : "standard input";
    if (in == nullptr) {
        throw EInOutError(SystemMessage(name, errno));
    }
    std::string text;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        text.append(buffer, n);
    }
    const bool failed = std::ferror(in) != 0;
    const int err = errno;
    if (path) {
        std::fclose(in);
    }
    if (failed) {
        throw EInOutError(SystemMessage(name, err));
    }
    return text;
}

int ExitStatus(const UpdateOutcome& outcome) {
    using Status = UpdateOutcome::Status;
    switch (outcome.status) {
        case Status::NothingToDo:
        case Status::Cancelled:
            return 0;
        case Status::Sent:
            return outcome.commandsFailed == 0 ? 0 : 1;
        case Status::NotRead:
        case Status::Refused:
        case Status::BackupFailed:
            break;
    }
    return 1;
}

struct Request {
    std::string action;
    std::string storage;
    std::optional<std::string> file;
    bool yes = false;
    std::vector<std::string> cardEntryLines;  // update: the input, read before the port opens
};

Request ParseRequest(const CommandArgs& args) {
    const auto& operands = args.Operands();
    if (operands.empty()) {
        args.Fail("no action given (read, info or update)");
    }
    Request request;
    request.action = operands[0];
    if (request.action != "read" && request.action != "info" && request.action != "update") {
        args.Fail("unknown action " + request.action);
    }
    const bool update = request.action == "update";
    if (operands.size() > (update ? 2u : 1u)) {
        args.Fail("too many operands");
    }
    if (operands.size() == 2) {
        request.file = operands[1];
    }
    if (args.Has("--yes") && !update) {
        args.Fail("--yes belongs to update");
    }
    request.yes = args.Has("--yes");
    const std::optional<std::string> storage = args.Value("--storage");
    if (storage && request.action == "info") {
        args.Fail("--storage belongs to read and update");
    }
    request.storage = StorageCodeFromEntry(Utf8ToAnsi(storage.value_or("SM")));
    if (request.storage.empty()) {
        args.Fail("--storage takes a storage code such as SM or ME");
    }
    return request;
}

int Run(const Request& request, PhoneExchange& exchange) {
    if (request.action == "read") {
        const auto entries = ReadPhonebook(exchange, request.storage);
        if (!entries) {
            return 1;
        }
        std::string text;
        for (const std::string& entry : *entries) {
            text += AnsiToUtf8(entry) + "\n";
        }
        WriteOut(text);
        return 0;
    }
    if (request.action == "info") {
        return ShowMobileInformation(exchange) ? 0 : 1;
    }
    PrintedConfirmation confirmation(request.yes);
    const UpdateOutcome outcome = UpdatePhonebook(exchange, request.storage, request.cardEntryLines,
                                                  confirmation, DefaultPhonebookBackupFolder());
    if (!outcome.backupPath.empty()) {
        WriteOut("The phone's entries as read are kept in " + outcome.backupPath + "\n");
    }
    return ExitStatus(outcome);
}

}  // namespace

int RunPhonebookCommand(int argc, char** argv) {
    const CommandArgs args(argc, argv, kPhonebookUsage, {"--yes"},
                           {"--device", "--port", "--storage"});
    if (args.HelpRequested()) {
        std::printf("usage: %s\n%s", kPhonebookUsage, kPhonebookHelp);
        return 0;
    }
    Request request = ParseRequest(args);
    CliPhone phone(args);
    if (request.action == "update") {
        try {
            request.cardEntryLines = SplitSelectedLines(Utf8ToAnsi(ReadInput(request.file)));
        } catch (const TabellanError& e) {
            PrintError(e.what());
            return 1;
        }
    }
    if (!phone.Open()) {
        return 3;
    }
    try {
        return Run(request, phone.Exchange());
    } catch (const TabellanError& e) {
        PrintError(e.what());
        return 1;
    }
}

}  // namespace tabellan
