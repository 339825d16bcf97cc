#include "cli/convert_command.h"

#include <cstdio>
#include <optional>
#include <string>

#include "cardfile/card_file.h"
#include "cardfile/errors.h"
#include "cli/cli_prompter.h"
#include "cli/command_args.h"
#include "cli/loaded_file.h"

namespace tabellan {
namespace {

std::optional<int> CompressionOption(const CommandArgs& args) {
    const std::optional<std::string> value = args.Value("--compression");
    if (!value) {
        return std::nullopt;
    }
    if (value->size() != 1 || (*value)[0] < '0' || (*value)[0] > '3') {
        args.Fail("--compression takes a level from 0 to 3");
    }
    return (*value)[0] - '0';
}

// True for the card file layout, false for the text export.
bool OutputIsCardFile(const std::string& path) {
    const std::string ext = UpperExtension(path);
    if (ext != ".CSV" && ext != ".TXT") {
        throw EUnknownExt("Unknown extension: " + ext);
    }
    return ext == ".CSV";
}

}  // namespace

int RunConvertCommand(int argc, char** argv) {
    const CommandArgs args(argc, argv, kConvertUsage, {"--password-stdin", "--new-password-stdin"},
                           {"--compression"});
    if (args.HelpRequested()) {
        std::printf("usage: %s\n", kConvertUsage);
        return 0;
    }
    args.RequireOperands(2);
    const std::optional<int> compression = CompressionOption(args);
    const std::string& inPath = args.Operands()[0];
    const std::string& outPath = args.Operands()[1];
    // Checked before anything is read, so a wrong name costs no password prompt or load.
    const bool asCardFile = OutputIsCardFile(outPath);

    // Both lines are taken up front so that which line is which never depends on the input.
    std::optional<std::string> password;
    if (args.Has("--password-stdin")) {
        password = ReadPasswordLine();
    }
    std::optional<std::string> newPassword;
    if (args.Has("--new-password-stdin")) {
        newPassword = ReadPasswordLine().value_or(std::string());
    }

    CliPrompter prompter(password);
    const LoadedFile in(inPath, prompter);
    FileSettings settings = in.Settings();
    if (newPassword) {
        settings.password = *newPassword;
    }
    if (compression) {
        settings.compressionLevel = *compression;
    }
    WriteCardFile(outPath, in.Cards(), settings, asCardFile, prompter);
    return 0;
}

}  // namespace tabellan
