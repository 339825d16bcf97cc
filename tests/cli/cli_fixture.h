#pragma once
// Runs the built tabellan-cli on files written into a temporary folder.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cardfile/card_file.h"
#include "cardfile/card_set.h"
#include "cardfile/prompter.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tabellan::test {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return folder_.File(name); }

    // Standard input, output and error go through files, so no pipe can fill up and block.
    CliRun Run(const std::vector<std::string>& args, const std::string& input = "") {
        WriteBytes(Path("stdin"), input);
        std::vector<std::string> argvStrings = {TABELLAN_BINARY_DIR "/src/cli/tabellan-cli"};
        argvStrings.insert(argvStrings.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : argvStrings) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            const auto redirect = [&](const char* name, int flags, int target) {
                const int fd = open(Path(name).c_str(), flags, 0600);
                dup2(fd, target);
                close(fd);
            };
            redirect("stdin", O_RDONLY, 0);
            redirect("stdout", O_WRONLY | O_CREAT | O_TRUNC, 1);
            redirect("stderr", O_WRONLY | O_CREAT | O_TRUNC, 2);
            execv(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        CliRun run;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadBytes(Path("stdout"));
        run.err = ReadBytes(Path("stderr"));
        return run;
    }

    // A card file written by the library's own writer.
    std::string WriteCards(const std::string& name, const std::vector<Card>& cards,
                           const FileSettings& settings = {}) {
        CardSet set;
        for (const Card& c : cards) {
            set.Insert(c);
        }
        ScriptedPrompter prompter;
        WriteCardFile(Path(name), set, settings, true, prompter);
        return Path(name);
    }

    std::vector<std::vector<std::string>> LoadCards(const std::string& path,
                                                    const std::string& password = "",
                                                    FileSettings* settingsOut = nullptr) {
        CardSet set;
        FileSettings settings;
        ScriptedPrompter prompter;
        prompter.defaultPassword = password;
        LoadCsvCardFile(path, set, settings, SettingsContext{}, prompter);
        if (settingsOut != nullptr) {
            *settingsOut = settings;
        }
        std::vector<std::vector<std::string>> cards;
        for (int i = 0; i < set.Count(); ++i) {
            cards.push_back(set.CardAt(i).lines);
        }
        return cards;
    }

    TempFolder folder_{"tabellan-cli"};
};

}  // namespace tabellan::test
