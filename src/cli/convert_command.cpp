#include "cli/convert_command.h"

#include <cstdio>

#include "cli/cli_prompter.h"
#include "cli/command_args.h"
#include "cli/file_rewrite.h"
#include "cli/loaded_file.h"

namespace tabellan {

int RunConvertCommand(int argc, char** argv) {
    const CommandArgs args(argc, argv, kConvertUsage, {"--password-stdin", "--new-password-stdin"},
                           {"--compression"});
    if (args.HelpRequested()) {
        std::printf("usage: %s\n", kConvertUsage);
        return 0;
    }
    const RewriteOptions options = ReadRewriteOptions(args);
    CliPrompter prompter(options.password);
    const LoadedFile in(options.inPath, prompter);
    WriteRewritten(options, in.Cards(), in.Settings(), prompter);
    return 0;
}

}  // namespace tabellan
