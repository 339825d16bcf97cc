// The built tabellan-phonesim as a child process, for tests that talk to it on its pty.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tabellan::testing {

inline const char* const kPhonesimProgram = TABELLAN_BINARY_DIR "/tools/tabellan-phonesim";

// What a run of a built program gave: its exit status, its output and how long it took.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
    std::chrono::steady_clock::duration took{};
};

// The simulator as a child process, its stdin and stdout on pipes.
class PhonesimProcess {
  public:
    explicit PhonesimProcess(std::vector<std::string> args) {
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        // Built before fork: the child of a threaded process may only exec.
        std::vector<char*> argv{const_cast<char*>(kPhonesimProgram)};
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], STDIN_FILENO);
            ::dup2(out[1], STDOUT_FILENO);
            ::close(in[0]);
            ::close(in[1]);
            ::close(out[0]);
            ::close(out[1]);
            ::execv(kPhonesimProgram, argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        stdin_ = in[1];
        stdout_ = out[0];
    }
    ~PhonesimProcess() {
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

}  // namespace tabellan::testing
