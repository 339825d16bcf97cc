// tabellan-cli phonebook against the simulated phone, through the real serial component.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "phonesim_process.h"
#include "pty_fixture.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using Clock = std::chrono::steady_clock;

const char* const kBook = R"({"SM": {"capacity": 50, "entries": [
    {"index": 1, "number": "+4930123", "type": 145, "text": "Ann"},
    {"index": 2, "number": "0301", "type": 129, "text": "D\u00e9sir\u00e9e"},
    {"index": 5, "number": "0302", "type": 129, "text": "Cy"}]},
  "ME": {"capacity": 10, "entries": [{"index": 3, "number": "555", "text": "Me"}]}})";

const std::string kEntries =
    "1,\"+4930123\",145,\"Ann\"\n2,\"0301\",129,\"D\xC3\xA9sir\xC3\xA9"
    "e\"\n5,\"0302\",129,\"Cy\"\n";

using testing::CliRun;

std::string Slurp(const fs::path& path) {
    return test::ReadBytes(path.string());
}

class PhonebookCli : public ::testing::Test {
  protected:
    void SetUp() override { std::ofstream(dir_ / "book.json") << kBook; }

    void Start(std::vector<std::string> quirks = {}) {
        quirks.push_back("--phonebook");
        quirks.push_back(Book().string());
        sim_.emplace(std::move(quirks));
        device_ = sim_->firstLine();
        ASSERT_FALSE(device_.empty());
    }

    fs::path Book() const { return dir_ / "book.json"; }
    fs::path BackupFolder() const { return dir_ / "data" / "Velmorn" / "Tabellan"; }

    // The tool with the phone's waits shortened unless realTiming; standard streams through
    // files, the data folder inside the test's folder.
    CliRun Run(const std::vector<std::string>& args, const std::string& input = "",
               bool realTiming = false) {
        std::ofstream(dir_ / "stdin", std::ios::binary) << input;
        std::vector<std::string> argvStrings = {TABELLAN_BINARY_DIR "/src/cli/tabellan-cli",
                                                "phonebook"};
        argvStrings.insert(argvStrings.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : argvStrings) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        const std::string dataHome = (dir_ / "data").string();
        const auto start = Clock::now();
        const pid_t pid = ::fork();
        if (pid == 0) {
            const auto redirect = [&](const char* name, int flags, int target) {
                const int fd = ::open((dir_ / name).c_str(), flags, 0600);
                ::dup2(fd, target);
                ::close(fd);
            };
            redirect("stdin", O_RDONLY, 0);
            redirect("stdout", O_WRONLY | O_CREAT | O_TRUNC, 1);
            redirect("stderr", O_WRONLY | O_CREAT | O_TRUNC, 2);
            ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
            if (realTiming) {
                ::unsetenv("TABELLAN_PHONE_TIMING");
            } else {
                ::setenv("TABELLAN_PHONE_TIMING", "10,20,10", 1);
            }
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        CliRun run;
        run.took = Clock::now() - start;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = Slurp(dir_ / "stdout");
        run.err = Slurp(dir_ / "stderr");
        return run;
    }

    test::TempFolder folder_;
    const fs::path dir_ = folder_.Path();
    std::optional<testing::PhonesimProcess> sim_;
    std::string device_;
};

TEST_F(PhonebookCli, ReadPrintsTheEntryLinesInUtf8AtTheRealPace) {
    Start({"--no-blank", "--ring"});
    const CliRun run = Run({"read", "--device", device_}, "", true);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kEntries);
    EXPECT_EQ(run.err, "");
    EXPECT_GE(run.took, 2s) << "the wait after opening the port";

    const CliRun me = Run({"read", "--device=" + device_, "--storage", "ME"});
    EXPECT_EQ(me.status, 0) << me.err;
    EXPECT_EQ(me.out, "3,\"555\",129,\"Me\"\n");
    EXPECT_LT(me.took, 2s);
}

TEST_F(PhonebookCli, ReadFailures) {
    Start({"--cme", "11"});
    const CliRun locked = Run({"read", "--device", device_});
    EXPECT_EQ(locked.status, 1);
    EXPECT_EQ(locked.out, "");
    EXPECT_THAT(locked.err, HasSubstr("Action: Setting Memory Storage...\n\nInvalid or incomplete "
                                      "response from phone: +CME ERROR: 11"));
    sim_.reset();
    Start();
    const CliRun unknown = Run({"read", "--device", device_, "--storage", "XY"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.out, "");
}

TEST_F(PhonebookCli, InfoPrintsTheInformationText) {
    Start();
    const CliRun run = Run({"info", "--device", device_});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, StartsWith("MOBILE PHONE INFORMATION:\n\nManufacturer Id:       \t"
                                    "    Phonesim\nModel Id:"));
    EXPECT_THAT(run.out, HasSubstr("\nSignal Quality:        \t     15,99\n"));
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 14);
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
    EXPECT_EQ(run.err, "");

    // A phone that refuses every query.
    std::ofstream(dir_ / "error.dump") << "\r\nERROR\r\n";
    sim_.reset();
    Start({"--replay", (dir_ / "error.dump").string()});
    const CliRun none = Run({"info", "--device", device_});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "error: Unable to get mobile information!\n");
}

TEST_F(PhonebookCli, UpdateWithoutYesOnlyPrintsThePlan) {
    Start();
    const std::string before = Slurp(Book());
    const CliRun same = Run({"update", "--device", device_}, kEntries);
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "No update is necessary.\n");

    const std::string card =
        "1,\"+4930123\",145,\"Ann Lee\"\n,\"0303\",129,\"Z\xC3\xBC"
        "a\"\n";
    const CliRun plan = Run({"update", "--device", device_}, card);
    EXPECT_EQ(plan.status, 0) << plan.err;
    EXPECT_EQ(plan.out,
              "Items to be added or replaced:\n1,\"+4930123\",145,\"Ann Lee\"\n,\"0303\",129,"
              "\"Z\xC3\xBC"
              "a\"\nItems to be deleted:\n2,\"0301\",129,\"D\xC3\xA9sir\xC3\xA9"
              "e\"\n5,\"0302\",129,\"Cy\"\n");
    EXPECT_THAT(plan.err, HasSubstr("Mobile phonebook not updated!"));
    EXPECT_EQ(Slurp(Book()), before);
    EXPECT_FALSE(fs::exists(BackupFolder()));
}

TEST_F(PhonebookCli, UpdateWithYesKeepsABackupAndSends) {
    Start({"--nul-at"});
    fs::create_directories(dir_ / "cards");
    const fs::path file = dir_ / "cards" / "phone.txt";
    std::ofstream(file, std::ios::binary)
        << "1,\"+4930123\",145,\"Ann@Home\"\r\n5,\"0302\",129,\"Cy\"\r\n,\"0303\",129,\"Z\xC3\xBC"
           "a\"\r\n";
    const CliRun run = Run({"update", "--yes", "--device", device_, file.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, StartsWith("Items to be added or replaced:\n"));
    EXPECT_THAT(run.out, HasSubstr("The phone's entries as read are kept in " +
                                   BackupFolder().string() + "/phonebook-"));
    const std::string path =
        run.out.substr(run.out.rfind(" in ") + 4, run.out.size() - run.out.rfind(" in ") - 5);
    ASSERT_TRUE(fs::exists(path)) << path;
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_THAT(Slurp(path), HasSubstr("\r\n\r\n1,\"+4930123\",145,\"Ann\"\r\n2,\"0301\",129,"
                                       "\"D\xE9sir\xE9"
                                       "e\"\r\n5,\"0302\",129,\"Cy\"\r\n"));

    const CliRun read = Run({"read", "--device", device_});
    EXPECT_EQ(read.out,
              "1,\"+4930123\",145,\"Ann@Home\"\n2,\"0303\",129,\"Z\xC3\xBC"
              "a\"\n"
              "5,\"0302\",129,\"Cy\"\n");
}

TEST_F(PhonebookCli, UpdateRefusesLinesItCannotWriteAndSendsNothing) {
    Start();
    const std::string before = Slurp(Book());
    const CliRun run = Run({"update", "--yes", "--device", device_},
                           "1,\"+4930123\",145,\"Ann\"\nRing Cy on Monday\n51,\"1\",129,\"X\"\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, HasSubstr("These lines cannot be written to the phone:\n\n"
                                   "Ring Cy on Monday\n51,\"1\",129,\"X\"\n"));
    EXPECT_THAT(run.err, HasSubstr("from 1 to 50"));
    EXPECT_EQ(Slurp(Book()), before);
    EXPECT_FALSE(fs::exists(BackupFolder()));
}

TEST_F(PhonebookCli, FailedWritesAreReportedWithTheBackupAndTheRestGoOut) {
    Start();
    const CliRun run =
        Run({"update", "--yes", "--device", device_},
            kEntries + "6,\"7\",129,\"A name that is too long\"\n7,\"8\",129,\"Ok\"\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("Action: Inserting 6,\"7\",129,\"A name that is too long\"\n\n"
                                   "Invalid or incomplete response from phone: ERROR\n"));
    EXPECT_THAT(run.err, HasSubstr("The phone's entries as they were before this update are "
                                   "kept in " +
                                   BackupFolder().string() + "/phonebook-"));
    EXPECT_EQ(Run({"read", "--device", device_}).out, kEntries + "7,\"8\",129,\"Ok\"\n");
}

TEST_F(PhonebookCli, UsageAndPortFailures) {
    const CliRun help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, HasSubstr("read|info|update"));
    EXPECT_THAT(help.out, HasSubstr("3 the port could not be opened"));
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"dial"},
                                                 {"read", "--yes"},
                                                 {"info", "--storage", "SM"},
                                                 {"read", "extra"},
                                                 {"update", "a", "b"},
                                                 {"read", "--port", "2", "--device", "/x"},
                                                 {"read", "--port", "zero"},
                                                 {"read", "--storage", ""}}) {
        const CliRun run = Run(args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args) << run.err;
        EXPECT_THAT(run.err, HasSubstr("usage: tabellan-cli phonebook"));
    }
    const CliRun missing = Run({"read", "--device", "/dev/tabellan-no-such-tty"});
    EXPECT_EQ(missing.status, 3);
    EXPECT_THAT(missing.err, HasSubstr("/dev/tabellan-no-such-tty"));
    const CliRun noFile =
        Run({"update", "--device", "/dev/tabellan-no-such-tty", (dir_ / "none.txt").string()});
    EXPECT_EQ(noFile.status, 1);
    EXPECT_THAT(noFile.err, HasSubstr("none.txt: No such file or directory"));

    const CliRun top = [&] {
        std::string out = (dir_ / "top.out").string();
        const std::string command =
            std::string(TABELLAN_BINARY_DIR) + "/src/cli/tabellan-cli --help >" + out + " 2>&1";
        CliRun r;
        r.status = WEXITSTATUS(std::system(command.c_str()));
        r.out = Slurp(out);
        return r;
    }();
    EXPECT_THAT(top.out, HasSubstr("tabellan-cli phonebook read|info|update"));
}

}  // namespace
}  // namespace tabellan
