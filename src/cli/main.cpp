// tabellan-cli: the card file library from the command line.
//
// A subcommand is a function int Run...(int argc, char** argv) whose argv[0] is the
// subcommand's name; it returns the exit status and may throw UsageError (status 2) or any
// other exception (status 1, its message on standard error). Adding one takes an #include
// and one line in kSubcommands.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "cli/at_command.h"
#include "cli/cli_prompter.h"
#include "cli/command_args.h"
#include "cli/convert_command.h"
#include "cli/dial_command.h"
#include "cli/dump_command.h"
#include "cli/phonebook_command.h"
#include "cli/ports_command.h"
#include "cli/replace_command.h"
#include "phone/port_device.h"
#include "phone/user_settings_import.h"
#include "tabellan_version.h"

namespace tabellan {
namespace {

struct Subcommand {
    std::string_view name;
    int (*run)(int argc, char** argv);
    std::string_view usage;        // the whole usage line
    std::string_view description;  // one line for --help
};

constexpr Subcommand kSubcommands[] = {
    {"dump", RunDumpCommand, kDumpUsage, "print a card file (.csv, .crd, .txt) as JSON"},
    {"convert", RunConvertCommand, kConvertUsage, "write a card file as .csv or .txt"},
    {"replace", RunReplaceCommand, kReplaceUsage, "replace text in every card, as Replace All"},
    {"at", RunAtCommand, kAtUsage, "send AT commands to a phone and print the replies"},
    {"dial", RunDialCommand, kDialUsage, "dial a number through a modem for a voice call"},
    {"ports", RunPortsCommand, kPortsUsage, "list serial devices and assign them to port numbers"},
    {"phonebook", RunPhonebookCommand, kPhonebookUsage,
     "read, show the information of, or update a phone's phonebook"},
};

void PrintHelp() {
    std::printf(
        "usage: tabellan-cli COMMAND ARGS...\n"
        "       tabellan-cli --help | --version\n\n"
        "Commands:\n");
    for (const Subcommand& sub : kSubcommands) {
        std::printf("  %.*s\n      %.*s\n", static_cast<int>(sub.usage.size()), sub.usage.data(),
                    static_cast<int>(sub.description.size()), sub.description.data());
    }
    std::printf(
        "\nPasswords are read from standard input, one line each, in UTF-8.\n"
        "Exit status: 0 success, 1 failure, 2 wrong usage, 3 (at, dial) the port did not open.\n");
}

int UsageFailure(std::string_view message) {
    std::fprintf(stderr, "tabellan-cli: %.*s\n", static_cast<int>(message.size()), message.data());
    std::fprintf(stderr, "usage: tabellan-cli COMMAND ARGS... (see tabellan-cli --help)\n");
    return 2;
}

int RunSubcommand(const Subcommand& sub, int argc, char** argv) {
    // Values an earlier build kept in Quirnel.conf, once.
    ImportOldUserSettings(UserSettingsPath());
    try {
        return sub.run(argc, argv);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "tabellan-cli %.*s: %s\nusage: %s\n",
                     static_cast<int>(sub.name.size()), sub.name.data(), e.what(),
                     e.Usage().c_str());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", MessageForTerminal(e.what()).c_str());
        return 1;
    }
}

int Main(int argc, char** argv) {
    if (argc < 2) {
        return UsageFailure("no command given");
    }
    const std::string_view first = argv[1];
    if (first == "--help" || first == "-h" || first == "help") {
        PrintHelp();
        return 0;
    }
    if (first == "--version") {
        std::printf("%s\n", kVersion);
        return 0;
    }
    for (const Subcommand& sub : kSubcommands) {
        if (sub.name == first) {
            return RunSubcommand(sub, argc - 1, argv + 1);
        }
    }
    return UsageFailure("unknown command " + std::string(first));
}

}  // namespace
}  // namespace tabellan

int main(int argc, char** argv) {
    return tabellan::Main(argc, argv);
}
