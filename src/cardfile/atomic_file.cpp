#include "cardfile/atomic_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cardfile/errors.h"
#include "cardfile/system_calls.h"
#include "cardfile/text_util.h"

namespace tabellan {

namespace {

constexpr std::size_t kBufferSize = 1 << 16;
constexpr int kMaxLinkDepth = 40;  // as the kernel's own limit on nested links

std::string DirectoryOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    if (slash == 0) {
        return "/";
    }
    return path.substr(0, slash);
}

mode_t CurrentUmask() {
    mode_t m = ::umask(022);
    ::umask(m);
    return m;
}

// An unnamed file can only be given a name through its /proc entry without privileges.
bool ProcFdAvailable() {
    static const bool available = ::access("/proc/self/fd", X_OK) == 0;
    return available;
}

std::string RandomSuffix() {
    static constexpr char kChars[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static unsigned counter = 0;
    unsigned char bytes[8] = {};
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        // Only the name's uniqueness matters; a clash is retried with the next one.
        const unsigned long long value =
            (static_cast<unsigned long long>(::getpid()) << 20) + ++counter;
        std::memcpy(bytes, &value, sizeof bytes);
    }
    std::string s;
    for (unsigned char b : bytes) {
        s += kChars[b % (sizeof kChars - 1)];
    }
    return s;
}

// Makes a naming in the folder durable; a failure changes nothing for the caller.
void SyncFolder(const std::string& path) {
    const int dfd = sys::Open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        (void)sys::Fsync(dfd);
        ::close(dfd);
    }
}

}  // namespace

std::string SystemMessage(const std::string& path, int err) {
    char buf[256];
    const char* text = nullptr;
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
    text = ::strerror_r(err, buf, sizeof buf);
#else
    text = ::strerror_r(err, buf, sizeof buf) == 0 ? buf : "Unknown error";
#endif
    return DoubleAmpersands(path) + ": " + text;
}

std::string ResolveSymbolicLinks(const std::string& path) {
    struct stat lst {};
    if (path.empty() || ::lstat(path.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode)) {
        return path;
    }
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
        std::string real = resolved;
        std::free(resolved);
        return real;
    }
    // A dangling link: follow it by hand to the name that does not exist yet.
    std::string current = path;
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        std::vector<char> buf(PATH_MAX + 1);
        const ssize_t n = ::readlink(current.c_str(), buf.data(), buf.size() - 1);
        if (n < 0) {
            return current;
        }
        std::string next(buf.data(), static_cast<std::size_t>(n));
        if (next.empty() || next[0] != '/') {
            next = DirectoryOf(current) + "/" + next;
        }
        current = next;
        if (::lstat(current.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode)) {
            return current;
        }
    }
    return path;  // a loop: the write will fail on the link with the system's message
}

AtomicFile::AtomicFile(std::string targetPath, std::optional<unsigned> permissionCap)
    : target_(std::move(targetPath)) {
    if (target_.empty()) {
        throw EInOutError(SystemMessage(target_, ENOENT));
    }
    realTarget_ = ResolveSymbolicLinks(target_);
    struct stat st {};
    const bool exists = ::stat(realTarget_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        throw EInOutError(SystemMessage(target_, EISDIR));
    }
    unsigned mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (permissionCap) {
        mode &= *permissionCap & 0777;
    }
    if (!OpenUnnamed(DirectoryOf(realTarget_), mode)) {
        OpenNamed(mode);
    }
    buffer_.reserve(kBufferSize);
}

bool AtomicFile::OpenUnnamed(const std::string& folder, unsigned mode) {
    if (!ProcFdAvailable()) {
        return false;
    }
    // Any failure (a file system without O_TMPFILE among them) falls back to a named file.
    const int fd = sys::Open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    fd_ = fd;
    unnamed_ = true;
    (void)sys::Fchmod(fd_, mode);  // a failure leaves the file private, never more open
    return true;
}

void AtomicFile::OpenNamed(unsigned mode) {
    std::string pattern = realTarget_ + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = sys::MakeTemp(name.data());
    if (fd_ < 0) {
        throw EInOutError(SystemMessage(target_, errno));
    }
    temp_ = name.data();
    (void)sys::Fchmod(fd_, mode);
}

AtomicFile::~AtomicFile() {
    if (!committed_) {
        Abandon();
    }
}

void AtomicFile::Abandon() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty() && !committed_) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
    buffer_.clear();
}

void AtomicFile::Fail(int err) {
    Abandon();
    throw EInOutError(SystemMessage(target_, err));
}

void AtomicFile::FlushBuffer() {
    std::size_t done = 0;
    while (done < buffer_.size()) {
        ssize_t n = sys::Write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(errno);
        }
        if (n == 0) {
            Fail(EIO);
        }
        done += static_cast<std::size_t>(n);
    }
    buffer_.clear();
}

void AtomicFile::Write(std::string_view data) {
    if (fd_ < 0) {
        throw EInOutError(SystemMessage(target_, EBADF));
    }
    if (buffer_.size() + data.size() > kBufferSize) {
        FlushBuffer();
        if (data.size() >= kBufferSize) {
            buffer_.assign(data);
            FlushBuffer();
            return;
        }
    }
    buffer_.append(data);
}

void AtomicFile::CloseDescriptor() {
    const int fd = fd_;
    fd_ = -1;
    if (sys::Close(fd) != 0 && errno != EINTR) {
        Fail(errno);
    }
}

void AtomicFile::Finish() {
    if (finished_) {
        return;
    }
    if (fd_ < 0) {
        throw EInOutError(SystemMessage(target_, EBADF));
    }
    FlushBuffer();
    if (sys::Fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        Fail(errno);
    }
    if (!unnamed_) {
        CloseDescriptor();
    }
    // An unnamed file stays open: closing it now would delete it.
    finished_ = true;
}

// Gives the complete unnamed file a fresh name beside the target, for the rename that
// replaces the target atomically (an unnamed file cannot replace a name directly).
std::string AtomicFile::LinkUnderTemporaryName() {
    const std::string procPath = "/proc/self/fd/" + std::to_string(fd_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = realTarget_ + "." + RandomSuffix();
        if (sys::LinkFollow(procPath.c_str(), name.c_str()) == 0) {
            return name;
        }
        if (errno != EEXIST) {
            Fail(errno);
        }
    }
    Fail(EEXIST);
    return {};
}

void AtomicFile::Commit() {
    if (committed_) {
        return;
    }
    Finish();
    if (unnamed_) {
        temp_ = LinkUnderTemporaryName();
        CloseDescriptor();
    }
    if (sys::Rename(temp_.c_str(), realTarget_.c_str()) != 0) {
        Fail(errno);
    }
    committed_ = true;
    temp_.clear();
    SyncFolder(realTarget_);
}

void AtomicFile::CommitWithoutReplacing() {
    if (committed_) {
        return;
    }
    Finish();
    if (unnamed_) {
        const std::string procPath = "/proc/self/fd/" + std::to_string(fd_);
        if (sys::LinkFollow(procPath.c_str(), realTarget_.c_str()) != 0) {
            Fail(errno);
        }
        committed_ = true;
        const int fd = fd_;
        fd_ = -1;
        (void)sys::Close(fd);  // the file is complete and named; a late error changes nothing
    } else {
        // link() never replaces; file systems without hard links refuse it, so they get the
        // rename that does not replace either.
        if (sys::Link(temp_.c_str(), realTarget_.c_str()) != 0 &&
            (errno == EEXIST || sys::RenameNoReplace(temp_.c_str(), realTarget_.c_str()) != 0)) {
            Fail(errno);
        }
        committed_ = true;
        ::unlink(temp_.c_str());
        temp_.clear();
    }
    SyncFolder(realTarget_);
}

}  // namespace tabellan
