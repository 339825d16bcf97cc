#include "cli/dump_command.h"

#include <cerrno>
#include <cstdio>
#include <string_view>
#include <unordered_set>

#include "cardfile/atomic_file.h"
#include "cardfile/codepage.h"
#include "cardfile/errors.h"
#include "cli/cli_prompter.h"
#include "cli/command_args.h"
#include "cli/json_writer.h"
#include "cli/loaded_file.h"

namespace tabellan {
namespace {

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

// Keys are found without regard to letter case and the first entry wins, so a later
// entry with the same key is not what the program uses and is left out.
void WriteSettings(JsonWriter& json, const std::vector<std::string>& raw) {
    json.BeginObject();
    std::unordered_set<std::string> seen;
    for (const std::string& entry : raw) {
        const std::size_t eq = entry.find('=');
        const std::string_view view(entry);
        const std::string_view key = view.substr(0, eq);
        if (!seen.insert(AsciiLower(key)).second) {
            continue;
        }
        json.Key(AnsiToUtf8(key));
        json.String(eq == std::string::npos ? std::string() : AnsiToUtf8(view.substr(eq + 1)));
    }
    json.EndObject();
}

void WriteCards(JsonWriter& json, const CardSet& cards) {
    json.BeginArray();
    for (int pos = 0; pos < cards.Count(); ++pos) {
        json.Newline();
        json.BeginArray();
        for (const std::string& line : cards.CardAt(pos).lines) {
            json.String(AnsiToUtf8(line));
        }
        json.EndArray();
    }
    json.EndArray();
}

void WriteStdout(const std::string& text) {
    const bool ok =
        std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
    if (!ok) {
        throw EInOutError(SystemMessage("standard output", errno));
    }
}

}  // namespace

std::string DumpJson(const LoadedFile& file) {
    JsonWriter json;
    json.BeginObject();
    json.Key("format");
    json.String(file.Format());
    json.Key("encrypted");
    json.Bool(file.Encrypted());
    json.Key("settings");
    WriteSettings(json, file.RawSettings());
    json.Key("cards");
    WriteCards(json, file.Cards());
    json.EndObject();
    return json.Text() + "\n";
}

int RunDumpCommand(int argc, char** argv) {
    const CommandArgs args(argc, argv, kDumpUsage, {"--password-stdin"});
    if (args.HelpRequested()) {
        std::printf("usage: %s\n", kDumpUsage);
        return 0;
    }
    args.RequireOperands(1);
    std::optional<std::string> password;
    if (args.Has("--password-stdin")) {
        password = ReadPasswordLine();
    }
    CliPrompter prompter(password);
    const LoadedFile file(args.Operands()[0], prompter);
    WriteStdout(DumpJson(file));
    return 0;
}

}  // namespace tabellan
