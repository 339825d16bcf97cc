#pragma once
// The serial port component's enumerations, and the event and line error bits it reports
// (the values of the classic communications API, which the program's handlers test).
#include <cstdint>
#include <set>

namespace tabellan {

enum class TSerBaudrate {
    brUser,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
};

// The rate in bits per second a named value stands for; 0 for brUser.
std::uint32_t BaudrateValue(TSerBaudrate rate);

enum class TSerParity { paNone, paOdd, paEven, paMark, paSpace };
enum class TSerDatabits { db4, db5, db6, db7, db8 };
enum class TSerStopbits { sb1, sb15, sb2 };
enum class TSerDtrControl { dtrDisabled, dtrEnabled, dtrHandshake };
enum class TSerRtsControl { rtsDisabled, rtsEnabled, rtsHandshake, rtsToggle };

enum class TSerCommOption { coErrorChar, coNullStrip, coParityCheck };
using TSerCommOptions = std::set<TSerCommOption>;

enum class TSerCommEvent {
    ceBreak,
    ceCts,
    ceDsr,
    ceError,
    ceRing,
    ceRlsd,
    ceRxChar,
    ceTxEmpty,
    ceRxFlag,
    cePErr,
    ceRx80Full,
    ceEvent1,
    ceEvent2,
};
using TSerCommEvents = std::set<TSerCommEvent>;

enum class TSerThreadPriority { Idle, Lowest, Lower, Normal, Higher, Highest, TimeCritical };

// Event mask bits.
inline constexpr std::uint32_t EV_RXCHAR = 0x0001;
inline constexpr std::uint32_t EV_RXFLAG = 0x0002;
inline constexpr std::uint32_t EV_TXEMPTY = 0x0004;
inline constexpr std::uint32_t EV_CTS = 0x0008;
inline constexpr std::uint32_t EV_DSR = 0x0010;
inline constexpr std::uint32_t EV_RLSD = 0x0020;
inline constexpr std::uint32_t EV_BREAK = 0x0040;
inline constexpr std::uint32_t EV_ERR = 0x0080;
inline constexpr std::uint32_t EV_RING = 0x0100;
inline constexpr std::uint32_t EV_PERR = 0x0200;
inline constexpr std::uint32_t EV_RX80FULL = 0x0400;
inline constexpr std::uint32_t EV_EVENT1 = 0x0800;
inline constexpr std::uint32_t EV_EVENT2 = 0x1000;

std::uint32_t EventBit(TSerCommEvent event);
std::uint32_t EventMask(const TSerCommEvents& events);

// Line error flags passed to OnError.
inline constexpr std::uint32_t CE_RXOVER = 0x0001;
inline constexpr std::uint32_t CE_OVERRUN = 0x0002;
inline constexpr std::uint32_t CE_RXPARITY = 0x0004;
inline constexpr std::uint32_t CE_FRAME = 0x0008;
inline constexpr std::uint32_t CE_BREAK = 0x0010;
inline constexpr std::uint32_t CE_TXFULL = 0x0100;
inline constexpr std::uint32_t CE_PTO = 0x0200;
inline constexpr std::uint32_t CE_IOE = 0x0400;
inline constexpr std::uint32_t CE_DNS = 0x0800;
inline constexpr std::uint32_t CE_OOP = 0x1000;
inline constexpr std::uint32_t CE_MODE = 0x8000;

// What ReadErrors returns: the pending line error flags and the queue status.
struct TSerCommStatus {
    std::uint32_t errors = 0;
    std::uint32_t inQueue = 0;
    std::uint32_t outQueue = 0;
};

}  // namespace tabellan
