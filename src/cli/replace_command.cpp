#include "cli/replace_command.h"

#include <cstdio>
#include <optional>
#include <string>

#include "cardfile/card_search.h"
#include "cardfile/card_set_search_host.h"
#include "cardfile/codepage.h"
#include "cardfile/errors.h"
#include "cardfile/text_util.h"
#include "cli/cli_prompter.h"
#include "cli/command_args.h"
#include "cli/file_rewrite.h"
#include "cli/loaded_file.h"

namespace tabellan {
namespace {

// A text option in UTF-8 as card text of the code page; nullopt when the code page lacks one
// of its characters (it would become "?" and stand for something else).
std::optional<std::string> InCodePage(const std::string& utf8, CodePage cp) {
    std::string text = Utf8ToAnsi(utf8, cp);
    if (AnsiToUtf8(text, cp) != utf8) {
        return std::nullopt;
    }
    return text;
}

std::string TextOption(const CommandArgs& args, const std::string& name) {
    const std::optional<std::string> value = args.Value(name);
    if (!value) {
        args.Fail(name + " is required");
    }
    if (value->find_first_of("\r\n") != std::string::npos) {
        args.Fail(name + " takes text without line breaks");
    }
    return *value;
}

std::string CardTextOption(const CommandArgs& args, const std::string& name, CodePage cp) {
    const std::optional<std::string> text = InCodePage(TextOption(args, name), cp);
    if (!text) {
        args.Fail(name + " has characters that " + CodePageName(cp) + " lacks");
    }
    return *text;
}

SearchScope ScopeOption(const CommandArgs& args) {
    const std::string scope = args.Value("--scope").value_or("indexes");
    if (scope == "indexes") {
        return SearchScope::Indexes;
    }
    if (scope != "cards") {
        args.Fail("--scope is indexes or cards");
    }
    return SearchScope::WholeFile;
}

// The first card, in list order, whose index is exactly the text.
int CardWithIndex(const CardSet& cards, const std::string& index) {
    for (int i = 0; i < cards.Count(); ++i) {
        if (cards.IndexAt(i) == index) {
            return i;
        }
    }
    return -1;
}

// Keeps the window's closing message for standard output; Replace All shows nothing else.
class ReplacePrompter : public CliPrompter {
  public:
    using CliPrompter::CliPrompter;
    Answer Show(MsgKind kind, std::string_view text, Buttons buttons, int helpContext) override {
        if (kind != MsgKind::Information) {
            return CliPrompter::Show(kind, text, buttons, helpContext);
        }
        message = text;
        return Answer::Ok;
    }
    std::string message;
};

}  // namespace

int RunReplaceCommand(int argc, char** argv) {
    const CommandArgs args(argc, argv, kReplaceUsage,
                           {"--password-stdin", "--new-password-stdin", "--match-case"},
                           {"--compression", "--find", "--with", "--scope", "--from"});
    if (args.HelpRequested()) {
        std::printf("usage: %s\n", kReplaceUsage);
        return 0;
    }
    const SearchScope scope = ScopeOption(args);
    TextOption(args, "--find");  // checked before anything is read
    TextOption(args, "--with");
    const RewriteOptions options = ReadRewriteOptions(args);
    CliPrompter prompter(options.password);
    LoadedFile in(options.inPath, prompter);
    const CodePage cp = CodePageForCharset(in.Settings().font.charset);
    SearchRequest request;
    request.findText = CardTextOption(args, "--find", cp);
    request.replaceText = CardTextOption(args, "--with", cp);
    request.matchCase = args.Has("--match-case");

    CardSet& cards = in.Cards();
    CardSetSearchHost host(cards);
    if (const std::optional<std::string> from = args.Value("--from")) {
        const std::optional<std::string> index = InCodePage(*from, cp);
        const int pos = index ? CardWithIndex(cards, *index) : -1;
        if (pos < 0) {
            throw TabellanError("No card has the index " + DoubleAmpersands(*from) + ".");
        }
        host.ShowCard(pos);
    } else if (cards.Count() > 0) {
        host.ShowCard(0);
    }
    SearchState state;
    state.scope = scope;
    ReplacePrompter replacePrompter(options.password);
    ReplaceAll(host, state, request, replacePrompter);
    host.CommitCard();

    WriteRewritten(options, cards, in.Settings(), prompter);
    std::printf("%s\n", MessageForTerminal(replacePrompter.message).c_str());
    return 0;
}

}  // namespace tabellan
