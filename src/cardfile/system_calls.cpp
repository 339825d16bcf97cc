#include "cardfile/system_calls.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

namespace tabellan::sys {

namespace {

FaultHook& Hook() {
    static FaultHook hook;
    return hook;
}

// The injected error, or 0 when the call is to run.
int Injected(Call call, std::string_view path) {
    const FaultHook& hook = Hook();
    return hook ? hook(call, path) : 0;
}

template <typename T>
T FailWith(int err) {
    errno = err;
    return static_cast<T>(-1);
}

}  // namespace

const char* CallName(Call call) {
    switch (call) {
        case Call::Open:
            return "open";
        case Call::Write:
            return "write";
        case Call::Read:
            return "read";
        case Call::Fsync:
            return "fsync";
        case Call::Close:
            return "close";
        case Call::Chmod:
            return "fchmod";
        case Call::Rename:
            return "rename";
        case Call::Link:
            return "link";
        case Call::Unlink:
            return "unlink";
    }
    return "?";
}

void SetFaultHook(FaultHook hook) {
    Hook() = std::move(hook);
}

int Open(const char* path, int flags, mode_t mode) {
    if (const int err = Injected(Call::Open, path)) {
        return FailWith<int>(err);
    }
    return ::open(path, flags, mode);
}

int OpenAt(int dirFd, const char* path, int flags, mode_t mode) {
    if (const int err = Injected(Call::Open, path)) {
        return FailWith<int>(err);
    }
    return ::openat(dirFd, path, flags, mode);
}

int MakeTemp(char* pattern) {
    if (const int err = Injected(Call::Open, pattern)) {
        return FailWith<int>(err);
    }
    return ::mkostemp(pattern, O_CLOEXEC);
}

ssize_t Write(int fd, const void* data, std::size_t size) {
    if (const int err = Injected(Call::Write, {})) {
        return FailWith<ssize_t>(err);
    }
    return ::write(fd, data, size);
}

ssize_t Read(int fd, void* data, std::size_t size) {
    if (const int err = Injected(Call::Read, {})) {
        return FailWith<ssize_t>(err);
    }
    return ::read(fd, data, size);
}

int Fsync(int fd) {
    if (const int err = Injected(Call::Fsync, {})) {
        return FailWith<int>(err);
    }
    return ::fsync(fd);
}

int Close(int fd) {
    if (const int err = Injected(Call::Close, {})) {
        ::close(fd);
        return FailWith<int>(err);
    }
    return ::close(fd);
}

int Fchmod(int fd, mode_t mode) {
    if (const int err = Injected(Call::Chmod, {})) {
        return FailWith<int>(err);
    }
    return ::fchmod(fd, mode);
}

int Rename(const char* from, const char* to) {
    if (const int err = Injected(Call::Rename, to)) {
        return FailWith<int>(err);
    }
    return ::rename(from, to);
}

int RenameNoReplace(const char* from, const char* to) {
    if (const int err = Injected(Call::Rename, to)) {
        return FailWith<int>(err);
    }
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

int Link(const char* from, const char* to) {
    if (const int err = Injected(Call::Link, to)) {
        return FailWith<int>(err);
    }
    return ::link(from, to);
}

int LinkFollow(const char* from, const char* to) {
    if (const int err = Injected(Call::Link, to)) {
        return FailWith<int>(err);
    }
    return ::linkat(AT_FDCWD, from, AT_FDCWD, to, AT_SYMLINK_FOLLOW);
}

int Unlink(const char* path) {
    if (const int err = Injected(Call::Unlink, path)) {
        return FailWith<int>(err);
    }
    return ::unlink(path);
}

}  // namespace tabellan::sys
