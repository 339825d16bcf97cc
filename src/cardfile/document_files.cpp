#include "cardfile/document_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "cardfile/system_calls.h"

namespace tabellan {

namespace {

std::size_t FinalComponentStart(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// The position of the extension's "." or npos.
std::size_t ExtensionStart(const std::string& path) {
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < FinalComponentStart(path)) {
        return std::string::npos;
    }
    return dot;
}

// Closes the descriptor however the copy ends.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    bool Close() {
        if (fd_ < 0) {
            return true;
        }
        const bool ok = ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }

  private:
    int fd_;
};

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string ExtractFileExt(const std::string& path) {
    const auto dot = ExtensionStart(path);
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string ExtractFileName(const std::string& path) {
    return path.substr(FinalComponentStart(path));
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
    const auto dot = ExtensionStart(path);
    return (dot == std::string::npos ? path : path.substr(0, dot)) + ext;
}

std::string ExpandFileName(const std::string& path) {
    if (path.empty()) {
        return path;
    }
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<unsigned> FilePermissions(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return st.st_mode & 0777;
}

std::string FindFileIgnoringExtCase(const std::string& path) {
    if (FileExists(path)) {
        return path;
    }
    const auto dot = ExtensionStart(path);
    if (dot == std::string::npos) {
        return {};
    }
    const std::size_t start = FinalComponentStart(path);
    const std::string folder = start == 0 ? std::string(".") : path.substr(0, start);
    const std::string stem = path.substr(start, dot - start);
    const std::string ext = path.substr(dot);
    std::string found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != stem.size() + ext.size() || name.compare(0, stem.size(), stem) != 0 ||
            !EqualIgnoringAsciiCase(std::string_view(name).substr(stem.size()), ext)) {
            continue;
        }
        const std::string candidate = path.substr(0, start) + name;
        // Several variants: take one deterministically.
        if (FileExists(candidate) && (found.empty() || candidate < found)) {
            found = candidate;
        }
    }
    return found;
}

void DeleteFileQuietly(const std::string& path) {
    if (!path.empty()) {
        sys::Unlink(path.c_str());
    }
}

bool RenameFileQuietly(const std::string& from, const std::string& to) {
    return sys::Rename(from.c_str(), to.c_str()) == 0;
}

bool LinkFileQuietly(const std::string& from, const std::string& to) {
    return sys::Link(from.c_str(), to.c_str()) == 0;
}

bool ReadFilePrefix(const std::string& path, std::size_t maxBytes, std::string& data) {
    data.clear();
    FileDescriptor fd(sys::Open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) {
        return false;
    }
    char buffer[65536];
    while (data.size() < maxBytes) {
        const ssize_t n =
            sys::Read(fd.Get(), buffer, std::min(sizeof buffer, maxBytes - data.size()));
        if (n == 0) {
            return true;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int err = errno;
            fd.Close();
            errno = err;
            return false;
        }
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace tabellan
