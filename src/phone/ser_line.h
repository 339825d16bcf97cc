#pragma once
// Line settings on a terminal device: raw 8-bit mode with the component's speed, framing,
// flow control and control characters; and the DTR and RTS lines. Bytes received with a
// framing or parity error, and breaks, are left out of the data (the driver still counts
// them, and the component reports them as line errors) instead of arriving as zero bytes.
#include <cstdint>
#include <optional>

#include "phone/ser_settings.h"
#include "phone/ser_types.h"

namespace tabellan {

struct LineSettings {
    std::uint32_t baudrate = 9600;
    TSerParity parity = TSerParity::paNone;
    TSerDatabits databits = TSerDatabits::db8;
    TSerStopbits stopbits = TSerStopbits::sb1;
    TSerFlowControl::Values flow;
    TSerCommOptions options;
    TSerEventChars::Values chars;
};

// 0 when the driver took the settings, else the error code.
int ApplyLineSettings(int fd, const LineSettings& settings);

// What the flow control asks of the DTR and RTS lines while the port is open: raised,
// dropped, or (RTS under hardware handshake) left to the driver.
enum class LineLevel { Raise, Drop, Driver };
struct ModemLineLevels {
    LineLevel dtr = LineLevel::Drop;
    LineLevel rts = LineLevel::Drop;
    bool operator==(const ModemLineLevels&) const = default;
};
ModemLineLevels ModemLinesFor(const TSerFlowControl::Values& flow);

// Raises or drops DTR and RTS as the flow control says. A device without modem lines (a
// pseudo-terminal) refuses the request; that is not a failure.
void ApplyModemLines(int fd, const TSerFlowControl::Values& flow);
// Drops DTR and RTS, as when the port is closed.
void DropModemLines(int fd);

// The kernel's counts of received line errors; nullopt when the driver keeps none.
struct LineErrorCounts {
    int frame = 0;
    int overrun = 0;
    int parity = 0;
    int brk = 0;
    int bufOverrun = 0;
};
std::optional<LineErrorCounts> ReadLineErrorCounts(int fd);
// The error flags for the errors counted between two readings.
std::uint32_t LineErrorFlags(const LineErrorCounts& before, const LineErrorCounts& after);

// A rate without a B-constant, through the driver's arbitrary-rate request; 0 or the error.
int SetArbitraryBaudrate(int fd, std::uint32_t rate);

}  // namespace tabellan
