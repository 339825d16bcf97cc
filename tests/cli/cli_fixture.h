#pragma once
// Runs the built tabellan-cli on files written into a temporary folder.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cardfile/card_file.h"
#include "cardfile/card_set.h"
#include "cardfile/prompter.h"

namespace tabellan::test {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class QuietPrompter : public Prompter {
  public:
    Answer Show(MsgKind, std::string_view, Buttons, int) override { return Answer::Ok; }
    std::optional<std::string> AskPassword(std::string_view, std::string_view,
                                           std::string_view) override {
        return password;
    }
    std::optional<std::string> InputBox(std::string_view, std::string_view,
                                        std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> password;
};

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tabellan-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    // Standard input, output and error go through files, so no pipe can fill up and block.
    CliRun Run(const std::vector<std::string>& args, const std::string& input = "") {
        WriteFile(dir_ / "stdin", input);
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
        run.out = ReadFile(dir_ / "stdout");
        run.err = ReadFile(dir_ / "stderr");
        return run;
    }

    // A card file written by the library's own writer.
    std::string WriteCards(const std::string& name, const std::vector<Card>& cards,
                           const FileSettings& settings = {}) {
        CardSet set;
        for (const Card& c : cards) {
            set.Insert(c);
        }
        QuietPrompter prompter;
        WriteCardFile(Path(name), set, settings, true, prompter);
        return Path(name);
    }

    std::vector<std::vector<std::string>> LoadCards(const std::string& path,
                                                    const std::string& password = "",
                                                    FileSettings* settingsOut = nullptr) {
        CardSet set;
        FileSettings settings;
        QuietPrompter prompter;
        prompter.password = password;
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

    fs::path dir_;
};

}  // namespace tabellan::test
