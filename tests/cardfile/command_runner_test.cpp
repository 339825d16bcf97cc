#include "cardfile/command_runner.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

TEST(SplitShellWordsTest, QuotesAndEscapesWithoutExpansion) {
    EXPECT_EQ(SplitShellWords("a  b\tc"), (Words{"a", "b", "c"}));
    EXPECT_EQ(SplitShellWords("'a b' \"c d\" e\\ f"), (Words{"a b", "c d", "e f"}));
    EXPECT_EQ(SplitShellWords("\"say \\\"hi\\\"\" '\\n'"), (Words{"say \"hi\"", "\\n"}));
    EXPECT_EQ(SplitShellWords("x'y'\"z\""), (Words{"xyz"}));
    EXPECT_EQ(SplitShellWords("''"), (Words{""}));
    EXPECT_EQ(SplitShellWords("   "), Words{});
    // Nothing a shell would expand or interpret is special here.
    EXPECT_EQ(SplitShellWords("$HOME ~ *.txt `id` $(rm -rf /) ; | &&"),
              (Words{"$HOME", "~", "*.txt", "`id`", "$(rm", "-rf", "/)", ";", "|", "&&"}));
}

TEST(SplitShellWordsTest, UnbalancedInputEndsCleanly) {
    EXPECT_EQ(SplitShellWords("'open"), (Words{"open"}));
    EXPECT_EQ(SplitShellWords("\"open \\"), (Words{"open \\"}));
    EXPECT_EQ(SplitShellWords("end\\"), (Words{"end\\"}));
}

TEST(IsWebAddressTest, Schemes) {
    EXPECT_TRUE(IsWebAddress("http://example.org"));
    EXPECT_TRUE(IsWebAddress("HTTPS://example.org"));
    EXPECT_TRUE(IsWebAddress("www.example.org"));
    EXPECT_TRUE(IsWebAddress("mailto:a@b.c"));
    EXPECT_FALSE(IsWebAddress("notepad"));
    EXPECT_FALSE(IsWebAddress("/usr/bin/www"));
}

class CommandRunnerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Records its arguments one per line, then renames the file into place so a reader
        // never sees it half-written.
        recorder_ = dir_ / "record";
        std::ofstream(recorder_) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > "
                                 << (dir_ / "out.tmp").string() << "\nmv " << (dir_ / "out.tmp")
                                 << " " << (dir_ / "out") << "\n";
        fs::permissions(recorder_, fs::perms::owner_all);
    }

    Words WaitForRecord() const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!fs::exists(dir_ / "out") && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::ifstream in(dir_ / "out");
        Words lines;
        for (std::string l; std::getline(in, l);) {
            lines.push_back(l);
        }
        return lines;
    }

    test::TempFolder folder_{"tabellan-run"};
    const std::filesystem::path dir_ = folder_.Path();
    fs::path recorder_;
};

TEST_F(CommandRunnerTest, ProgramGetsItsParametersLiterallyWithoutAShell) {
    const CommandRunner runner;
    const auto error = runner.Run(recorder_.string(), "$HOME ';' \"a b\" `id` > x");
    ASSERT_FALSE(error.has_value()) << *error;
    EXPECT_EQ(WaitForRecord(), (Words{"$HOME", ";", "a b", "`id`", ">", "x"}));
    EXPECT_FALSE(fs::exists(dir_ / "x"));  // no redirection happened
}

TEST_F(CommandRunnerTest, DocumentsAndAddressesGoToTheOpenerAsOneArgument) {
    const CommandRunner runner(recorder_.string());
    const fs::path doc = dir_ / "notes with blanks.txt";
    std::ofstream(doc) << "x";
    ASSERT_FALSE(runner.Run(doc.string(), "ignored params").has_value());
    EXPECT_EQ(WaitForRecord(), (Words{doc.string()}));
    fs::remove(dir_ / "out");
    ASSERT_FALSE(runner.Run("http://example.org/?a=1;b=2", "").has_value());
    EXPECT_EQ(WaitForRecord(), (Words{"http://example.org/?a=1;b=2"}));
}

TEST_F(CommandRunnerTest, AnOpenerStarterTakesDocumentsAndAddressesButNoPrograms) {
    std::vector<Words> started;
    std::vector<std::string> files;
    const CommandRunner runner("opener", [&](const Words& args, const std::string& file) {
        started.push_back(args);
        files.push_back(file);
    });
    ASSERT_FALSE(runner.Run(dir_.string(), "x").has_value());  // a folder is a document
    ASSERT_FALSE(runner.Run("https://example.org", "").has_value());
    EXPECT_EQ(started,
              (std::vector<Words>{{"opener", dir_.string()}, {"opener", "https://example.org"}}));
    EXPECT_EQ(files, (Words{dir_.string(), "https://example.org"}));
    ASSERT_FALSE(runner.Run(recorder_.string(), "p").has_value());  // a program starts itself
    EXPECT_EQ(WaitForRecord(), (Words{"p"}));
    EXPECT_EQ(started.size(), 2u);
}

TEST_F(CommandRunnerTest, AMissingOpenerIsNamedNotTheDocument) {
    const CommandRunner runner((dir_ / "no-opener").string());
    const auto error = runner.Run(dir_.string(), "");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error, "Error running:\r\n" + dir_.string() + ".\r\n\r\n" +
                          (dir_ / "no-opener").string() +
                          ", the program that opens documents and web addresses, is not "
                          "installed.");
    EXPECT_EQ(error->find("No such file"), std::string::npos);
}

TEST(OpenerFailureTest, TheOpenersOwnWordsElseItsExitStatus) {
    EXPECT_EQ(OpenerFailureReason("xdg-open", 3,
                                  "xdg-open: no method available for opening '/tmp/x.q'\n"),
              "xdg-open: no method available for opening '/tmp/x.q'");
    // What it tried on the way is left out when it gives its verdict in its own name.
    EXPECT_EQ(OpenerFailureReason("/usr/bin/xdg-open", 3,
                                  "/usr/bin/xdg-open: 882: links: not found\n"
                                  "/usr/bin/xdg-open: 882: w3m: not found\n"
                                  "xdg-open: no method available for opening '/tmp'\n"),
              "xdg-open: no method available for opening '/tmp'");
    EXPECT_EQ(OpenerFailureReason("xdg-open", 4, ""), "xdg-open ended with exit status 4");
    EXPECT_EQ(OpenerFailureReason("xdg-open", 4, " \r\n\n"), "xdg-open ended with exit status 4");
    // Only the last lines of a long complaint.
    std::string chatty;
    for (int i = 1; i <= 9; ++i) {
        chatty += "line " + std::to_string(i) + "\r\n\n";
    }
    EXPECT_EQ(OpenerFailureReason("o", 1, chatty), "line 6\r\nline 7\r\nline 8\r\nline 9");
    EXPECT_EQ(OpenerFailureReason("o", 1, std::string(5000, 'x')).size(), 600u);
    EXPECT_EQ(ErrorRunningMessage("/tmp", "gio: no handler"),
              "Error running:\r\n/tmp.\r\n\r\ngio: no handler.");
    EXPECT_EQ(ErrorRunningMessage("/tmp", "Done."), "Error running:\r\n/tmp.\r\n\r\nDone.");
    // Shown as typed: every "&" doubled for the message box.
    EXPECT_EQ(ErrorRunningMessage("/tmp/R&D", "gio: no handler for R&D"),
              "Error running:\r\n/tmp/R&&D.\r\n\r\ngio: no handler for R&&D.");
    EXPECT_EQ(OpenerNotStartedReason("xdg-open", EACCES),
              "xdg-open could not be started: Permission denied");
}

TEST_F(CommandRunnerTest, FailuresGiveTheErrorRunningMessage) {
    const CommandRunner runner;
    const auto missing = runner.Run("/nonexistent/program", "");
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(*missing,
              "Error running:\r\n/nonexistent/program.\r\n\r\nNo such file or directory.");
    const auto named = runner.Run("/nonexistent/R&D", "");
    ASSERT_TRUE(named.has_value());
    EXPECT_EQ(named->rfind("Error running:\r\n/nonexistent/R&&D.\r\n", 0), 0u);
    // A selection starting with a blank leaves an empty file name.
    const auto empty = runner.Run("", "x");
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(empty->rfind("Error running:\r\n.\r\n\r\n", 0), 0u);
}

TEST_F(CommandRunnerTest, ExecuteSplitsTheCardCommandAndSpeaksTheSystemsEncoding) {
    const CommandRunner runner;
    test::ScriptedPrompter prompter;
    // Card text in Windows-1252: the blank after the program ends its name; the rest is its
    // parameters, which reach it in UTF-8.
    runner.Execute(recorder_.string() + " caf\xE9 \"two words\"", CodePage::Windows1252, prompter);
    EXPECT_EQ(WaitForRecord(), (Words{"caf\xC3\xA9", "two words"}));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(prompter.busyCalls, 2);
    EXPECT_EQ(prompter.busyDepth, 0);
}

TEST_F(CommandRunnerTest, ExecuteFailureIsTheErrorBoxInTheCardCodePage) {
    const CommandRunner runner;
    test::ScriptedPrompter prompter;
    runner.Execute("/nonexistent/caf\xE9 x", CodePage::Windows1252, prompter);
    ASSERT_EQ(prompter.shown.size(), 1u);
    const auto& box = prompter.shown[0];
    EXPECT_EQ(box.kind, MsgKind::Error);
    EXPECT_EQ(box.buttons, Buttons::OkHelp);
    EXPECT_EQ(box.helpContext, 480);
    EXPECT_EQ(box.text,
              "Error running:\r\n/nonexistent/caf\xE9.\r\n\r\nNo such file or directory.");
    EXPECT_EQ(prompter.busyDepth, 0);
}

}  // namespace
}  // namespace tabellan
