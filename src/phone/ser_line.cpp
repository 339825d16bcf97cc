#include "phone/ser_line.h"

#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>
#include <optional>

namespace tabellan {
namespace {

std::optional<speed_t> StandardSpeed(std::uint32_t rate) {
    switch (rate) {
        case 50:
            return B50;
        case 75:
            return B75;
        case 110:
            return B110;
        case 134:
            return B134;
        case 150:
            return B150;
        case 200:
            return B200;
        case 300:
            return B300;
        case 600:
            return B600;
        case 1200:
            return B1200;
        case 1800:
            return B1800;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        case 230400:
            return B230400;
        case 460800:
            return B460800;
        case 921600:
            return B921600;
        default:
            return std::nullopt;
    }
}

tcflag_t CharacterSize(TSerDatabits bits) {
    switch (bits) {
        case TSerDatabits::db5:
            return CS5;
        case TSerDatabits::db6:
            return CS6;
        case TSerDatabits::db7:
            return CS7;
        default:
            return CS8;
    }
}

void SetFraming(termios& tio, const LineSettings& s) {
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL);
    tio.c_cflag |= CharacterSize(s.databits) | CREAD | CLOCAL;
    switch (s.parity) {
        case TSerParity::paNone:
            break;
        case TSerParity::paOdd:
            tio.c_cflag |= PARENB | PARODD;
            break;
        case TSerParity::paEven:
            tio.c_cflag |= PARENB;
            break;
        case TSerParity::paMark:
            tio.c_cflag |= PARENB | CMSPAR | PARODD;
            break;
        case TSerParity::paSpace:
            tio.c_cflag |= PARENB | CMSPAR;
            break;
    }
    // The UART sends one and a half stop bits when two are asked for with 5-bit bytes.
    if (s.stopbits != TSerStopbits::sb1) {
        tio.c_cflag |= CSTOPB;
    }
    if (s.flow.outCtsFlow || s.flow.controlRts == TSerRtsControl::rtsHandshake) {
        tio.c_cflag |= CRTSCTS;
    }
}

void SetInputFlags(termios& tio, const LineSettings& s) {
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | PARMRK | BRKINT);
    tio.c_iflag |= IGNBRK | IGNPAR;
    if (s.flow.xonXoffOut) {
        tio.c_iflag |= IXON;
    }
    if (s.flow.xonXoffIn) {
        tio.c_iflag |= IXOFF;
    }
    if (s.options.contains(TSerCommOption::coParityCheck)) {
        tio.c_iflag |= INPCK;
    }
    tio.c_cc[VSTART] = s.chars.xonChar;
    tio.c_cc[VSTOP] = s.chars.xoffChar;
    // Reads return at once with whatever is buffered.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
}

}  // namespace

int ApplyLineSettings(int fd, const LineSettings& settings) {
    if (settings.databits == TSerDatabits::db4) {
        return EINVAL;
    }
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        return errno;
    }
    cfmakeraw(&tio);
    SetFraming(tio, settings);
    SetInputFlags(tio, settings);
    const std::optional<speed_t> speed = StandardSpeed(settings.baudrate);
    if (settings.baudrate == 0) {
        return EINVAL;
    }
    if (speed) {
        cfsetispeed(&tio, *speed);
        cfsetospeed(&tio, *speed);
    }
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        return errno;
    }
    if (!speed) {
        return SetArbitraryBaudrate(fd, settings.baudrate);
    }
    return 0;
}

ModemLineLevels ModemLinesFor(const TSerFlowControl::Values& flow) {
    ModemLineLevels levels;
    levels.dtr =
        flow.controlDtr == TSerDtrControl::dtrDisabled ? LineLevel::Drop : LineLevel::Raise;
    if (flow.controlRts == TSerRtsControl::rtsHandshake || flow.outCtsFlow) {
        levels.rts = LineLevel::Driver;
    } else if (flow.controlRts == TSerRtsControl::rtsDisabled) {
        levels.rts = LineLevel::Drop;
    } else {
        levels.rts = LineLevel::Raise;
    }
    return levels;
}

namespace {

void SetLine(int fd, int bit, LineLevel level) {
    if (level != LineLevel::Driver) {
        ioctl(fd, level == LineLevel::Raise ? TIOCMBIS : TIOCMBIC, &bit);
    }
}

}  // namespace

void ApplyModemLines(int fd, const TSerFlowControl::Values& flow) {
    const ModemLineLevels levels = ModemLinesFor(flow);
    SetLine(fd, TIOCM_DTR, levels.dtr);
    SetLine(fd, TIOCM_RTS, levels.rts);
}

void DropModemLines(int fd) {
    SetLine(fd, TIOCM_DTR | TIOCM_RTS, LineLevel::Drop);
}

std::optional<LineErrorCounts> ReadLineErrorCounts(int fd) {
    serial_icounter_struct ic{};
    if (ioctl(fd, TIOCGICOUNT, &ic) != 0) {
        return std::nullopt;
    }
    return LineErrorCounts{ic.frame, ic.overrun, ic.parity, ic.brk, ic.buf_overrun};
}

std::uint32_t LineErrorFlags(const LineErrorCounts& before, const LineErrorCounts& after) {
    std::uint32_t flags = 0;
    if (after.frame != before.frame) {
        flags |= CE_FRAME;
    }
    if (after.overrun != before.overrun) {
        flags |= CE_OVERRUN;
    }
    if (after.parity != before.parity) {
        flags |= CE_RXPARITY;
    }
    if (after.brk != before.brk) {
        flags |= CE_BREAK;
    }
    if (after.bufOverrun != before.bufOverrun) {
        flags |= CE_RXOVER;
    }
    return flags;
}

}  // namespace tabellan
