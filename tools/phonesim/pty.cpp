#include "phonesim/pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tabellan::phonesim {

namespace {

[[noreturn]] void throwErrno(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = other.release();
    }
    return *this;
}

UniqueFd::~UniqueFd() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

int UniqueFd::release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

Pty::Pty() {
    master_ = UniqueFd(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (master_.get() < 0) {
        throwErrno("posix_openpt");
    }
    if (::grantpt(master_.get()) != 0) {
        throwErrno("grantpt");
    }
    if (::unlockpt(master_.get()) != 0) {
        throwErrno("unlockpt");
    }
    char name[256];
    if (::ptsname_r(master_.get(), name, sizeof name) != 0) {
        throwErrno("ptsname_r");
    }
    slavePath_ = name;
    slave_ = UniqueFd(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (slave_.get() < 0) {
        throwErrno("open pty slave");
    }
    // Raw: the line discipline must neither echo nor turn CR into LF; the phone does that.
    termios tio{};
    if (::tcgetattr(slave_.get(), &tio) != 0) {
        throwErrno("tcgetattr");
    }
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    if (::tcsetattr(slave_.get(), TCSANOW, &tio) != 0) {
        throwErrno("tcsetattr");
    }
    const int flags = ::fcntl(master_.get(), F_GETFL);
    if (flags < 0 || ::fcntl(master_.get(), F_SETFL, flags | O_NONBLOCK) != 0) {
        throwErrno("fcntl O_NONBLOCK");
    }
}

}  // namespace tabellan::phonesim
