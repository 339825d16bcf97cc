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

#include "phonesim_process.h"
#include "support/temp_folder.h"

namespace {

using tabellan::testing::PhonesimProcess;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

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
    while (!reply.ends_with(until) && PhonesimProcess::waitReadable(fd, 5000)) {
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
    const tabellan::test::TempFolder dir("phonesim-e2e");
    const fs::path link = dir.File("link");
    PhonesimProcess sim({"--link", link.string()});
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
    PhonesimProcess sim({"--trickle", "5", "--no-echo"});
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
    PhonesimProcess sim({"--phonebook", "/nonexistent/book.json"});
    EXPECT_EQ(sim.firstLine(), "");
    const std::optional<int> status = sim.waitExit(5s);
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1);
}

}  // namespace
