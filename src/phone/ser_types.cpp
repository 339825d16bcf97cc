#include "phone/ser_types.h"

#include <array>

namespace tabellan {

std::uint32_t BaudrateValue(TSerBaudrate rate) {
    static constexpr std::array<std::uint32_t, 16> kRates = {
        0,     110,   300,   600,   1200,  2400,   4800,   9600,
        14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return kRates[static_cast<std::size_t>(rate)];
}

std::uint32_t EventBit(TSerCommEvent event) {
    switch (event) {
        case TSerCommEvent::ceBreak:
            return EV_BREAK;
        case TSerCommEvent::ceCts:
            return EV_CTS;
        case TSerCommEvent::ceDsr:
            return EV_DSR;
        case TSerCommEvent::ceError:
            return EV_ERR;
        case TSerCommEvent::ceRing:
            return EV_RING;
        case TSerCommEvent::ceRlsd:
            return EV_RLSD;
        case TSerCommEvent::ceRxChar:
            return EV_RXCHAR;
        case TSerCommEvent::ceTxEmpty:
            return EV_TXEMPTY;
        case TSerCommEvent::ceRxFlag:
            return EV_RXFLAG;
        case TSerCommEvent::cePErr:
            return EV_PERR;
        case TSerCommEvent::ceRx80Full:
            return EV_RX80FULL;
        case TSerCommEvent::ceEvent1:
            return EV_EVENT1;
        case TSerCommEvent::ceEvent2:
            return EV_EVENT2;
    }
    return 0;
}

std::uint32_t EventMask(const TSerCommEvents& events) {
    std::uint32_t mask = 0;
    for (const TSerCommEvent e : events) {
        mask |= EventBit(e);
    }
    return mask;
}

}  // namespace tabellan
