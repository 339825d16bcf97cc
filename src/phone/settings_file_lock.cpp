#include "phone/settings_file_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "cardfile/atomic_file.h"
#include "cardfile/errors.h"

namespace tabellan {
namespace {

using namespace std::chrono_literals;

constexpr auto kWaitLimit = 5s;
constexpr auto kStaleAge = 30s;

std::string FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string Contents() {
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    std::error_code error;
    const std::string program =
        std::filesystem::read_symlink("/proc/self/exe", error).filename().string();
    return std::to_string(::getpid()) + "\n" + program + "\n" + host + "\n" +
           FirstLine("/etc/machine-id") + "\n" + FirstLine("/proc/sys/kernel/random/boot_id") +
           "\n";
}

}  // namespace

SettingsFileLock::SettingsFileLock(std::string path) : path_(std::move(path)) {
    const auto giveUp = std::chrono::steady_clock::now() + kWaitLimit;
    while (!TryCreate()) {
        if (errno != EEXIST) {
            throw EInOutError(SystemMessage(path_, errno));
        }
        RemoveIfStale();
        if (std::chrono::steady_clock::now() > giveUp) {
            throw EInOutError(path_ + ": the settings file is locked by another program");
        }
        std::this_thread::sleep_for(20ms);
    }
}

SettingsFileLock::~SettingsFileLock() {
    ::unlink(path_.c_str());
}

bool SettingsFileLock::TryCreate() {
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    fd_ = UniqueFd(fd);
    ::flock(fd, LOCK_EX | LOCK_NB);
    const std::string text = Contents();
    [[maybe_unused]] const ssize_t n = ::write(fd, text.data(), text.size());
    return true;
}

void SettingsFileLock::RemoveIfStale() const {
    const UniqueFd other(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
    if (!other.Valid() || ::flock(other.Get(), LOCK_EX | LOCK_NB) != 0) {
        return;  // gone already, or its holder is alive
    }
    struct stat st {};
    const bool old =
        ::fstat(other.Get(), &st) == 0 &&
        std::chrono::system_clock::now() - std::chrono::system_clock::from_time_t(st.st_mtime) >
            kStaleAge;
    // A lock without a process id yet may be one its holder is just writing.
    const long pid = std::strtol(FirstLine(path_).c_str(), nullptr, 10);
    const bool holderGone = pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
    if (old || holderGone) {
        ::unlink(path_.c_str());
    }
}

}  // namespace tabellan
