#include "cardfile/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cardfile/errors.h"
#include "cardfile/text_util.h"

namespace tabellan {

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

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

AtomicFile::AtomicFile(std::string targetPath) : target_(std::move(targetPath)) {
    if (target_.empty()) {
        throw EInOutError(SystemMessage(target_, ENOENT));
    }
    realTarget_ = target_;
    struct stat lst {};
    if (::lstat(target_.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        char* resolved = ::realpath(target_.c_str(), nullptr);
        if (resolved != nullptr) {
            realTarget_ = resolved;
            std::free(resolved);
        }
    }
    struct stat st {};
    bool exists = ::stat(realTarget_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        throw EInOutError(SystemMessage(target_, EISDIR));
    }
    std::string pattern = realTarget_ + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) {
        throw EInOutError(SystemMessage(target_, errno));
    }
    temp_ = name.data();
    mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
    (void)::fchmod(fd_, mode);
    buffer_.reserve(kBufferSize);
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
        ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
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

void AtomicFile::Finish() {
    if (finished_) {
        return;
    }
    if (fd_ < 0) {
        throw EInOutError(SystemMessage(target_, EBADF));
    }
    FlushBuffer();
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        Fail(errno);
    }
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        Fail(errno);
    }
    finished_ = true;
}

void AtomicFile::Commit() {
    if (committed_) {
        return;
    }
    Finish();
    if (::rename(temp_.c_str(), realTarget_.c_str()) != 0) {
        Fail(errno);
    }
    committed_ = true;
    // Make the rename itself durable; a failure here changes nothing for the caller.
    int dfd = ::open(DirectoryOf(realTarget_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        (void)::fsync(dfd);
        ::close(dfd);
    }
}

}  // namespace tabellan
