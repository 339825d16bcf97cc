// tabellan-cli dial against the simulated modem, and tabellan-cli ports.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../phone/phonesim_process.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const char* const kCli = TABELLAN_BINARY_DIR "/src/cli/tabellan-cli";

using test::ReadBytes;

// tabellan-cli as a child process: standard input on a pipe the test writes, output and
// errors on pipes it reads, the settings folder of the test.
class CliProcess {
  public:
    CliProcess(const std::vector<std::string>& args, const std::string& configHome) {
        int in[2];
        int out[2];
        int err[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 ||
            ::pipe2(err, O_CLOEXEC) != 0) {
            return;
        }
        // Everything the child needs is built before fork: the test process has threads.
        std::vector<std::string> argStrings{kCli};
        argStrings.insert(argStrings.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : argStrings) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        std::string xdg = "XDG_CONFIG_HOME=" + configHome;
        std::string path = "PATH=/usr/bin:/bin";
        char* envp[] = {xdg.data(), path.data(), nullptr};
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], STDIN_FILENO);
            ::dup2(out[1], STDOUT_FILENO);
            ::dup2(err[1], STDERR_FILENO);
            ::execve(kCli, argv.data(), envp);
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        ::close(err[1]);
        stdin_ = in[1];
        stdout_ = out[0];
        stderr_ = err[0];
    }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;
    ~CliProcess() {
        CloseStdin();
        ::close(stdout_);
        ::close(stderr_);
        if (pid_ > 0 && !status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    void WriteStdin(const std::string& text) {
        EXPECT_EQ(::write(stdin_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    void CloseStdin() {
        if (stdin_ >= 0) {
            ::close(stdin_);
            stdin_ = -1;
        }
    }
    // Standard output until it holds text, or the time is up.
    bool WaitForOutput(const std::string& text, std::chrono::milliseconds limit) {
        const auto end = Clock::now() + limit;
        while (out.find(text) == std::string::npos && Clock::now() < end) {
            Drain(stdout_, out, 20);
        }
        return out.find(text) != std::string::npos;
    }
    // The exit status (-1 when it did not end within the limit); reads all output.
    int Wait(std::chrono::milliseconds limit = 20s) {
        const auto end = Clock::now() + limit;
        while (!status_ && Clock::now() < end) {
            Drain(stdout_, out, 10);
            Drain(stderr_, err, 10);
            int raw = 0;
            if (::waitpid(pid_, &raw, WNOHANG) == pid_) {
                status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
            }
        }
        while (Drain(stdout_, out, 0) || Drain(stderr_, err, 0)) {
        }
        return status_.value_or(-1);
    }

    std::string out;
    std::string err;

  private:
    static bool Drain(int fd, std::string& into, int waitMs) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, waitMs) != 1) {
            return false;
        }
        char buffer[1024];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        into.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    int stderr_ = -1;
    std::optional<int> status_;
};

class SerialCli : public ::testing::Test {
  protected:
    std::string StartModem(std::vector<std::string> quirks) {
        quirks.insert(quirks.begin(), {"--modem", "--log", Log()});
        sim_.emplace(std::move(quirks));
        return sim_->firstLine();
    }
    std::string Log() const { return (dir_ / "modem.log").string(); }
    std::string Sent(std::size_t expectedSize) const {
        const auto end = Clock::now() + 2s;
        std::string text = ReadBytes(Log());
        while (text.size() < expectedSize && Clock::now() < end) {
            std::this_thread::sleep_for(10ms);
            text = ReadBytes(Log());
        }
        return text;
    }
    void WriteSettings(const std::string& text) {
        fs::create_directories(dir_ / "Velmorn");
        std::ofstream(dir_ / "Velmorn/Quirnel.ini") << text;
    }
    CliProcess Run(std::vector<std::string> args, const std::string& command = "dial") {
        args.insert(args.begin(), command);
        return CliProcess(args, dir_);
    }

    test::TempFolder folder_{"tabellan-dial"};
    const fs::path dir_ = folder_.Path();
    std::optional<testing::PhonesimProcess> sim_;
};

TEST_F(SerialCli, DialsAndWaitsForTheUserBeforeReleasingTheLine) {
    const std::string device = StartModem({});
    CliProcess dial = Run({"--device", device, "0 216 555"});
    ASSERT_TRUE(dial.WaitForOutput("click OK.\n", 10s)) << dial.out;
    EXPECT_EQ(dial.out, "Dialing 0 216 555...\nPlease, pick up the phone and then click OK.\n");
    // The modem dials on until the user answers.
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(Sent(0), "ATZ\rATE1\rATDT0 216 555\r");
    dial.WriteStdin("\n");
    EXPECT_EQ(dial.Wait(), 0) << dial.err;
    EXPECT_EQ(Sent(23), "ATZ\rATE1\rATDT0 216 555\r\r");
    EXPECT_EQ(dial.err, "");
}

TEST_F(SerialCli, TheEndOfInputAnswersTooAndPulseDialsWithP) {
    const std::string device = StartModem({});
    CliProcess dial = Run({"--pulse", "--device", device, "555"});
    dial.CloseStdin();
    EXPECT_EQ(dial.Wait(), 0) << dial.err;
    EXPECT_EQ(Sent(17), "ATZ\rATE1\rATDP555\r\r");
    CliProcess empty = Run({"--device", device, ""});
    empty.CloseStdin();
    EXPECT_EQ(empty.Wait(), 0) << empty.err;
    EXPECT_EQ(Sent(31), "ATZ\rATE1\rATDP555\r\rATZ\rATE1\rATDT\r\r");
}

TEST_F(SerialCli, FailedStepsPrintTheMessageSendTheCrAndExitWithOne) {
    const std::string device = StartModem({"--no-echo"});
    CliProcess dial = Run({"--device", device, "123"});
    EXPECT_EQ(dial.Wait(), 1);
    EXPECT_EQ(dial.out, "") << "no pick-up message";
    EXPECT_EQ(dial.err, "error: No response from modem. Check connection and port number.\n");
    EXPECT_EQ(Sent(19), "ATZ\rATE1\rATDT123\r\r");

    const std::string failing = StartModem({"--reset-error"});
    CliProcess reset = Run({"--device", failing, "123"});
    EXPECT_EQ(reset.Wait(), 1);
    EXPECT_EQ(
        reset.err,
        "error: Invalid or incomplete response from modem: ATZ\n\nERROR\n\nPlease retry...\n");
    EXPECT_EQ(Sent(5), "ATZ\r\r");
}

TEST_F(SerialCli, PortsFromTheSettingsFile) {
    const std::string device = StartModem({});
    WriteSettings("[General]\nCommDevice5=" + device + "\nAutoDialModem=5\\t1\n");
    CliProcess byPort = Run({"--port", "5", "555"});
    byPort.CloseStdin();
    EXPECT_EQ(byPort.Wait(), 0) << byPort.err;
    // The stored modem port, when none is given (its dial type is not used: tone unless
    // --pulse).
    CliProcess stored = Run({"555"});
    stored.CloseStdin();
    EXPECT_EQ(stored.Wait(), 0) << stored.err;
    EXPECT_EQ(Sent(34), "ATZ\rATE1\rATDT555\r\rATZ\rATE1\rATDT555\r\r");

    CliProcess unassigned = Run({"--port", "7", "555"});
    EXPECT_EQ(unassigned.Wait(), 3);
    // Not there, or (on a machine with the node) no UART behind it.
    EXPECT_NE(unassigned.err.find("/dev/ttyS6 for port 7"), std::string::npos) << unassigned.err;
}

TEST_F(SerialCli, UsageAndDevicesThatDoNotOpen) {
    CliProcess missing = Run({"--device", "/dev/tabellan-no-such-modem", "555"});
    EXPECT_EQ(missing.Wait(), 3);
    EXPECT_EQ(missing.err, "error: Specified device not found (/dev/tabellan-no-such-modem).\n");
    for (const std::vector<std::string>& wrong :
         std::vector<std::vector<std::string>>{{},
                                               {"1", "2"},
                                               {"--port", "0", "555"},
                                               {"--port", "x", "555"},
                                               {"--port", "1", "--device", "/dev/null", "555"},
                                               {"--tone", "555"},
                                               {"555\r"}}) {
        CliProcess dial = Run(wrong);
        EXPECT_EQ(dial.Wait(), 2) << ::testing::PrintToString(wrong);
        EXPECT_NE(dial.err.find("usage: tabellan-cli dial"), std::string::npos) << dial.err;
    }
}

TEST_F(SerialCli, PortsAreListedAndAssigned) {
    WriteSettings("[General]\nCommDevice1=/dev/ttyS0\nCommPort=2\n");
    CliProcess set =
        Run({"--set", "3=/dev/serial/by-id/usb-Acme, \"Phone\"-if00", "--clear", "1"}, "ports");
    EXPECT_EQ(set.Wait(), 0) << set.err;
    EXPECT_EQ(
        ReadBytes(dir_ / "Velmorn/Quirnel.ini"),
        "[General]\nCommPort=2\nCommDevice3=\"/dev/serial/by-id/usb-Acme, \\\"Phone\\\"-if00\"\n");
    EXPECT_NE(set.out.find("Serial devices:\n"), std::string::npos) << set.out;
    EXPECT_NE(set.out.find("\n  3 = /dev/serial/by-id/usb-Acme, \"Phone\"-if00 (not present)\n"
                           "  any other number n = /dev/ttyS<n-1>\n"),
              std::string::npos)
        << set.out;
    EXPECT_EQ(Run({"--set", "0=/dev/x"}, "ports").Wait(), 2);
    EXPECT_EQ(Run({"--set", "4"}, "ports").Wait(), 2);
    EXPECT_EQ(Run({"--clear", "x"}, "ports").Wait(), 2);
}

}  // namespace
}  // namespace tabellan
