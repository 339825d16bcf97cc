#include "cli/file_rewrite.h"

#include "cardfile/card_file.h"
#include "cardfile/codepage.h"
#include "cardfile/errors.h"
#include "cardfile/file_formats.h"
#include "cardfile/password_text.h"
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

RewriteOptions ReadRewriteOptions(const CommandArgs& args) {
    args.RequireOperands(2);
    RewriteOptions options;
    options.compression = CompressionOption(args);
    options.inPath = args.Operands()[0];
    options.outPath = args.Operands()[1];
    options.outAsCardFile = OutputIsCardFile(options.outPath);
    if (args.Has("--password-stdin")) {
        options.password = ReadPasswordLine();
    }
    if (args.Has("--new-password-stdin")) {
        options.newPasswordUtf8 = ReadInputLine().value_or(std::string());
    }
    return options;
}

void WriteRewritten(const RewriteOptions& options, const CardSet& cards, FileSettings settings,
                    Prompter& prompter) {
    if (options.newPasswordUtf8) {
        settings.password =
            PasswordToCodePage(*options.newPasswordUtf8, CodePageForCharset(settings.font.charset));
    }
    if (options.compression) {
        settings.compressionLevel = *options.compression;
    }
    WriteCardFile(options.outPath, cards, settings, options.outAsCardFile, prompter);
}

}  // namespace tabellan
