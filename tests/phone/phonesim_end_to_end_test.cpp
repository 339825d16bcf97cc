#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const char* const kProgram = TABELLAN_BINARY_DIR "/tools/tabellan-phonesim";

// The simulator as a child process, its stdin and stdout on pipes.
class Simulator {
  public:
    explicit Simulator(std::vector<std::string> args) {
        int in[2];
        int out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], STDIN_FILENO);
            ::dup2(out[1], STDOUT_FILENO);
            ::close(in[0]);
            ::close(in[1]);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv{const_cast<char*>(kProgram)};
            for (std::string& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            ::execv(kProgram, argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        stdin_ = in[1];
        stdout_ = out[0];
    }
    ~Simulator() {
        closeStdin();
        if (stdout_ >= 0) {
            ::close(stdout_);
        }
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    // The first line of the output: the device path.
    std::string firstLine() {
        std::string line;
        char c = 0;
        while (waitReadable(stdout_, 5000) && ::read(stdout_, &c, 1) == 1 && c != '\n') {
            line += c;
        }
        return line;
    }

    void closeStdin() {
        if (stdin_ >= 0) {
            ::close(stdin_);
            stdin_ = -1;
        }
    }

    void signal(int sig) { ::kill(pid_, sig); }

    // The exit status, or nullopt when the program is still running after the timeout.
    std::optional<int> waitExit(std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                return status;
            }
            ::poll(nullptr, 0, 20);
        }
        return std::nullopt;
    }

    static bool waitReadable(int fd, int ms) {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, ms) == 1;
    }

  private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    bool exited_ = false;
};

int openPort(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd >= 0) {
        termios tio{};
        ::tcgetattr(fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    return fd;
}

// Sends the command and reads until the text ends with `until` or 5 s pass.
std::string exchange(int fd, const std::string& command, const std::string& until) {
    EXPECT_EQ(::write(fd, command.data(), command.size()), static_cast<ssize_t>(command.size()));
    std::string reply;
    while (!reply.ends_with(until) && Simulator::waitReadable(fd, 5000)) {
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        reply.append(buffer, static_cast<std::size_t>(n));
    }
    return reply;
}

TEST(PhonesimEndToEnd, AnswersOnThePtyAndStopsWhenStdinCloses) {
    const fs::path link =
        fs::temp_directory_path() / ("phonesim-e2e-" + std::to_string(::getpid()));
    Simulator sim({"--link", link.string()});
    const std::string path = sim.firstLine();
    ASSERT_TRUE(path.starts_with("/dev/pts/")) << path;
    EXPECT_EQ(fs::read_symlink(link), path);

    int fd = openPort(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(exchange(fd, "AT\r", "OK\r\n"), "AT\r\r\nOK\r\n");
    ::close(fd);
    // A client that closes and opens the port again finds the phone still answering.
    fd = openPort(link.string());
    ASSERT_GE(fd, 0);
    EXPECT_EQ(exchange(fd, "AT+CSQ\r\n", "OK\r\n"), "AT+CSQ\r\r\n+CSQ: 15,99\r\n\r\nOK\r\n");
    ::close(fd);

    sim.closeStdin();
    const std::optional<int> status = sim.waitExit(5s);
    ASSERT_TRUE(status.has_value()) << "still running after stdin closed";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    EXPECT_FALSE(fs::is_symlink(link)) << "the link is removed at exit";
}

TEST(PhonesimEndToEnd, TrickleAndTermination) {
    Simulator sim({"--trickle", "5", "--no-echo"});
    const std::string path = sim.firstLine();
    const int fd = openPort(path);
    ASSERT_GE(fd, 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(exchange(fd, "AT\r", "OK\r\n"), "\r\nOK\r\n");
    EXPECT_GE(std::chrono::steady_clock::now() - start, 25ms) << "six bytes, 5 ms apart";
    ::close(fd);
    sim.signal(SIGTERM);
    const std::optional<int> status = sim.waitExit(5s);
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
}

TEST(PhonesimEndToEnd, BadPhonebookFileIsReportedNotServed) {
    Simulator sim({"--phonebook", "/nonexistent/book.json"});
    EXPECT_EQ(sim.firstLine(), "");
    const std::optional<int> status = sim.waitExit(5s);
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1);
}

}  // namespace
