#include "phone/ser_comm.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "phone/event_dispatcher.h"
#include "phone/phone_errors.h"
#include "phone/port_device.h"
#include "pty_fixture.h"

namespace tabellan {
namespace {

using namespace std::chrono_literals;
using testing::ProcessCpuTime;
using testing::PtyPair;

constexpr const char* kWhileOpen = "Can't perform this operation while port is open";

std::string ThrownText(const std::function<void()>& action) {
    try {
        action();
    } catch (const ESerCommError& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

// Pumps the dispatcher until the condition holds or the time is up.
bool PumpUntil(PollingDispatcher& dispatcher, const std::function<bool()>& done,
               std::chrono::milliseconds limit = 3000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        dispatcher.Pump();
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

termios SlaveSettings(const std::string& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK));
    termios tio{};
    tcgetattr(fd.Get(), &tio);
    return tio;
}

class SerCommPty : public ::testing::Test {
  protected:
    void SetUp() override {
        comm.SetDeviceName(pty.SlavePath());
        comm.SetBaudrate(TSerBaudrate::br9600);
        comm.SetDispatcher(&dispatcher);
    }
    PtyPair pty;
    PollingDispatcher dispatcher;
    TSerComm comm;
};

TEST(SerCommProperties, DefaultsOfTheComponentAndItsGroups) {
    TSerComm comm;
    EXPECT_FALSE(comm.AutoOpen());
    EXPECT_EQ(comm.Baudrate(), TSerBaudrate::br1200);
    EXPECT_EQ(comm.Parity(), TSerParity::paNone);
    EXPECT_EQ(comm.Databits(), TSerDatabits::db8);
    EXPECT_EQ(comm.Stopbits(), TSerStopbits::sb1);
    EXPECT_TRUE(comm.Options().empty());
    EXPECT_EQ(comm.PortNum(), 0);
    EXPECT_EQ(comm.MonitorEvents(), (TSerCommEvents{TSerCommEvent::ceError, TSerCommEvent::ceRxChar,
                                                    TSerCommEvent::ceTxEmpty}));
    EXPECT_EQ(comm.EventPriority(), TSerThreadPriority::Normal);
    EXPECT_EQ(comm.WritePriority(), TSerThreadPriority::Highest);
    EXPECT_FALSE(comm.DirectWrite());
    EXPECT_TRUE(comm.UpdateDCB());
    EXPECT_EQ(comm.UserBaudrate(), 0u);
    EXPECT_EQ(comm.Buffers().ReadSize(), 4096u);
    EXPECT_EQ(comm.Buffers().WriteSize(), 2048u);
    EXPECT_EQ(comm.Buffers().ReadTimeout(), 1000u);
    EXPECT_EQ(comm.Buffers().WriteTimeout(), 1000u);
    EXPECT_EQ(comm.Buffers().XonLimit(), 1024u);
    EXPECT_EQ(comm.Buffers().XoffLimit(), 1024u);
    EXPECT_EQ(comm.EventChars().XonChar(), 17);
    EXPECT_EQ(comm.EventChars().XoffChar(), 19);
    EXPECT_EQ(comm.EventChars().ErrorChar(), 0);
    EXPECT_EQ(comm.EventChars().EventChar(), 0);
    EXPECT_EQ(comm.EventChars().EofChar(), 0);
    EXPECT_EQ(comm.FlowControl().ControlDtr(), TSerDtrControl::dtrDisabled);
    EXPECT_EQ(comm.FlowControl().ControlRts(), TSerRtsControl::rtsDisabled);
    EXPECT_FALSE(comm.FlowControl().OutCtsFlow() || comm.FlowControl().OutDsrFlow() ||
                 comm.FlowControl().XonXoffIn() || comm.FlowControl().XonXoffOut() ||
                 comm.FlowControl().DsrSensitivity() || comm.FlowControl().TxContinueOnXoff());
    // The write thread reports transmit-empty, so the driver is not asked for it.
    EXPECT_EQ(comm.WaitMask(), EV_ERR | EV_RXCHAR);
}

TEST(SerCommProperties, UserBaudrateAndBaudrateFollowEachOther) {
    TSerComm comm;
    comm.SetUserBaudrate(31250);
    EXPECT_EQ(comm.Baudrate(), TSerBaudrate::brUser);
    comm.SetBaudrate(TSerBaudrate::br9600);
    EXPECT_EQ(comm.UserBaudrate(), 0u);
    EXPECT_EQ(BaudrateValue(TSerBaudrate::br56000), 56000u);
    EXPECT_EQ(BaudrateValue(TSerBaudrate::br256000), 256000u);
}

TEST(SerCommProperties, EventCharsReadBackTheirOwnValues) {
    TSerComm comm;
    comm.EventChars().SetXonChar(1);
    comm.EventChars().SetXoffChar(2);
    comm.EventChars().SetErrorChar(3);
    comm.EventChars().SetEventChar(4);
    comm.EventChars().SetEofChar(5);
    EXPECT_EQ(comm.EventChars().XonChar(), 1);
    EXPECT_EQ(comm.EventChars().XoffChar(), 2);
    EXPECT_EQ(comm.EventChars().ErrorChar(), 3);
    EXPECT_EQ(comm.EventChars().EventChar(), 4);
    EXPECT_EQ(comm.EventChars().EofChar(), 5);
}

TEST(SerCommClosed, OperationsOnAClosedPort) {
    TSerComm comm;
    int closes = 0;
    comm.OnClose = [&](TSerCustomComm&) { ++closes; };
    comm.Close();
    EXPECT_EQ(closes, 0);
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(comm.ReadText(), "");
    EXPECT_FALSE(comm.WriteText("AT"));
    EXPECT_TRUE(comm.WriteText(""));
    char buffer[4];
    EXPECT_EQ(comm.ReadBuffer(buffer, 4), 0);
    EXPECT_EQ(comm.InQueueCount(), 0);
    EXPECT_EQ(comm.ReadErrors().errors, 0u);
}

TEST(SerCommOpenFailures, MissingDeviceAndPortMapping) {
    TSerComm comm;
    comm.SetDeviceName("/dev/tabellan-no-such-tty");
    EXPECT_EQ(ThrownText([&] { comm.Open(); }),
              "Specified device not found (/dev/tabellan-no-such-tty).");
    EXPECT_FALSE(comm.IsOpen());

    comm.SetDeviceName("COM%d");
    SetUserSettingLookup([](std::string_view key) -> std::optional<std::string> {
        if (key == "CommDevice3") {
            return "/dev/tabellan-mapped";
        }
        return std::nullopt;
    });
    comm.SetPortNum(3);
    EXPECT_EQ(comm.DevicePath(), "/dev/tabellan-mapped");
    comm.SetPortNum(2);
    EXPECT_EQ(comm.DevicePath(), "/dev/ttyS1");
    comm.SetPortNum(0);
    EXPECT_EQ(ThrownText([&] { comm.Open(); }),
              "Specified device not found (no device for port 0).");
    SetUserSettingLookup({});

    comm.SetDeviceName("/dev/null");
    const std::string text = ThrownText([&] { comm.Open(); });
    EXPECT_EQ(text.rfind("Error writing dcb (", 0), 0u) << text;
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(SerCommPty, OpenTwiceRaisesAndRefusesPortChangesWhileOpen) {
    int opens = 0;
    int closes = 0;
    comm.OnOpen = [&](TSerCustomComm&) { ++opens; };
    comm.OnClose = [&](TSerCustomComm&) { ++closes; };
    comm.Open();
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(ThrownText([&] { comm.Open(); }), kWhileOpen);
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_EQ(ThrownText([&] { comm.SetPortNum(4); }), kWhileOpen);
    EXPECT_EQ(ThrownText([&] { comm.SetDeviceName("/dev/ttyS0"); }), kWhileOpen);
    EXPECT_EQ(ThrownText([&] { comm.SetMonitorEvents({}); }), kWhileOpen);
    EXPECT_EQ(ThrownText([&] { comm.SetDirectWrite(true); }), kWhileOpen);
    EXPECT_EQ(ThrownText([&] { comm.Buffers().SetWriteSize(10); }), kWhileOpen);
    EXPECT_EQ(comm.Buffers().WriteSize(), 2048u);
    EXPECT_EQ(comm.PortNum(), 0);
    // Line settings are taken over at once.
    comm.SetBaudrate(TSerBaudrate::br19200);
    const termios changed = SlaveSettings(pty.SlavePath());
    EXPECT_EQ(cfgetospeed(&changed), B19200);
    comm.FlowControl().SetXonXoffIn(true);
    EXPECT_NE(SlaveSettings(pty.SlavePath()).c_iflag & IXOFF, 0u);
    comm.Close();
    comm.Close();
    EXPECT_EQ(closes, 1);
    comm.SetPortNum(4);
    EXPECT_EQ(comm.PortNum(), 4);
}

TEST_F(SerCommPty, RawEightBitLineSettings) {
    comm.SetOptions({TSerCommOption::coParityCheck});
    comm.Open();
    const termios tio = SlaveSettings(pty.SlavePath());
    EXPECT_EQ(cfgetospeed(&tio), B9600);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_NE(tio.c_cflag & CLOCAL, 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_iflag & (ICRNL | IXON | IXOFF), 0u);
    EXPECT_NE(tio.c_iflag & INPCK, 0u);
    // Bytes with a parity or framing error and breaks are left out of the data rather than
    // read as zero bytes; they are reported as line errors.
    EXPECT_EQ(tio.c_iflag & (IGNBRK | IGNPAR), static_cast<tcflag_t>(IGNBRK | IGNPAR));
    EXPECT_EQ(tio.c_iflag & (BRKINT | PARMRK), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
}

TEST_F(SerCommPty, BytesPassUnchangedBothWays) {
    comm.Open();
    std::string all;
    for (int c = 0; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    ASSERT_TRUE(comm.WriteText(all));
    EXPECT_EQ(pty.Read(2000ms, all.size()), all);

    pty.Write(all);
    std::string got;
    const auto end = std::chrono::steady_clock::now() + 2s;
    while (got.size() < all.size() && std::chrono::steady_clock::now() < end) {
        got += comm.ReadText();
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(got, all);
    EXPECT_EQ(comm.InQueueCount(), 0);
    EXPECT_EQ(comm.ReadText(), "");
}

TEST_F(SerCommPty, ExclusiveWhileOpenAndReleasedByClose) {
    comm.Open();
    TSerComm other;
    other.SetDeviceName(pty.SlavePath());
    const std::string text = ThrownText([&] { other.Open(); });
    EXPECT_EQ(text.rfind("Can't open specified device " + pty.SlavePath() +
                             " (Error 16, Device or resource busy)\r\n",
                         0),
              0u)
        << text;
    comm.Close();
    other.Open();
    EXPECT_TRUE(other.IsOpen());
    other.Close();
    comm.Open();
    EXPECT_TRUE(comm.IsOpen());
}

TEST_F(SerCommPty, ABlockLongerThanTheWriteQueueFailsAfterTheTimeout) {
    comm.Buffers().SetWriteSize(64);
    comm.Buffers().SetWriteTimeout(300);
    comm.Open();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ThrownText([&] { comm.WriteText(std::string(65, 'x')); }),
              "Output buffer is full. Please check comm status. (" + pty.SlavePath() + ")");
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);
    EXPECT_TRUE(comm.WriteText(std::string(64, 'y')));
    EXPECT_EQ(pty.Read(2000ms, 64), std::string(64, 'y'));
}

TEST_F(SerCommPty, AFullQueueWaitsForRoomWithoutSpinning) {
    // Nobody reads the master, so the driver fills up and the queue stays full. Nobody pumps
    // either, so transmit-empty must not be asked for: its hand-over would hold the thread.
    comm.SetMonitorEvents({TSerCommEvent::ceError});
    comm.Buffers().SetWriteSize(1024);
    comm.Buffers().SetWriteTimeout(500);
    comm.Open();
    const std::string block(1024, 'z');
    std::string failure;
    for (int i = 0; i < 2000 && failure.empty(); ++i) {
        failure = ThrownText([&] { comm.WriteText(block); });
        if (failure == "(nothing thrown)") {
            failure.clear();
        }
    }
    EXPECT_EQ(failure,
              "Output buffer is full. Please check comm status. (" + pty.SlavePath() + ")");
    const auto cpuBefore = ProcessCpuTime();
    EXPECT_THROW(comm.WriteText(block), ESerCommError);
    EXPECT_LT(ProcessCpuTime() - cpuBefore, 200ms);
    // Once the master drains, the queue takes bytes again.
    pty.Read(1000ms);
    EXPECT_TRUE(comm.WriteText("AT\r\n"));
}

TEST_F(SerCommPty, TxEmptyFiresOnceEachTimeTheQueueRunsEmpty) {
    int txEmpty = 0;
    comm.OnTxEmpty = [&](TSerCustomComm&) { ++txEmpty; };
    comm.Open();
    ASSERT_TRUE(comm.WriteText("AT\r\n"));
    EXPECT_TRUE(PumpUntil(dispatcher, [&] { return txEmpty == 1; }));
    ASSERT_TRUE(comm.WriteText("ATI\r\n"));
    EXPECT_TRUE(PumpUntil(dispatcher, [&] { return txEmpty == 2; }));
    dispatcher.Pump();
    EXPECT_EQ(txEmpty, 2);
}

TEST_F(SerCommPty, ReceivedCharactersReachTheHandler) {
    std::string received;
    comm.OnRxChar = [&](TSerCustomComm& sender, int count) {
        EXPECT_GT(count, 0);
        received += sender.ReadText();
    };
    comm.Open();
    pty.Write("RING\r\n");
    EXPECT_TRUE(PumpUntil(dispatcher, [&] { return received == "RING\r\n"; }));
}

TEST_F(SerCommPty, HangUpIsReportedOnceAndNothingSpins) {
    std::uint32_t errors = 0;
    int errorEvents = 0;
    comm.OnError = [&](TSerCustomComm&, std::uint32_t flags) {
        errors |= flags;
        ++errorEvents;
    };
    comm.Open();
    pty.CloseMaster();
    EXPECT_TRUE(PumpUntil(dispatcher, [&] { return errorEvents > 0; }));
    EXPECT_NE(errors & CE_IOE, 0u);
    const auto cpuBefore = ProcessCpuTime();
    for (int i = 0; i < 10; ++i) {
        std::this_thread::sleep_for(50ms);
        dispatcher.Pump();
    }
    EXPECT_LT(ProcessCpuTime() - cpuBefore, 150ms);
    EXPECT_EQ(errorEvents, 1);
    EXPECT_THROW(comm.ReadText(), ESerCommError);
    comm.Close();
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(SerCommPty, CloseDoesNotWaitForAnEventNobodyPumps) {
    int txEmpty = 0;
    comm.OnTxEmpty = [&](TSerCustomComm&) { ++txEmpty; };
    comm.Open();
    ASSERT_TRUE(comm.WriteText("AT\r\n"));
    std::this_thread::sleep_for(100ms);
    const auto start = std::chrono::steady_clock::now();
    comm.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    dispatcher.Pump();
    EXPECT_EQ(txEmpty, 0);
}

TEST_F(SerCommPty, CloseLetsQueuedOutputLeaveFirst) {
    // More than the pseudo-terminal holds: the write thread still has bytes queued when the
    // port is closed, and the other side begins to read only a moment later.
    comm.SetMonitorEvents({TSerCommEvent::ceError});
    comm.Buffers().SetWriteSize(1 << 19);
    comm.Open();
    const std::string block(300000, 'q');
    ASSERT_TRUE(comm.WriteText(block + "\r"));
    std::string received;
    std::thread reader([&] {
        std::this_thread::sleep_for(100ms);
        received = pty.Read(3000ms, block.size() + 1);
    });
    comm.Close();
    reader.join();
    EXPECT_EQ(received.size(), block.size() + 1);
    EXPECT_TRUE(received.ends_with("q\r"));
}

TEST_F(SerCommPty, CloseOfADeviceThatStoppedReadingDoesNotHang) {
    comm.SetMonitorEvents({TSerCommEvent::ceError});
    comm.Buffers().SetWriteTimeout(100);
    comm.Open();
    // Nobody reads the master: the driver and then the write queue fill up.
    const std::string block(1024, 'z');
    for (int i = 0; i < 2000; ++i) {
        if (ThrownText([&] { comm.WriteText(block); }) != "(nothing thrown)") {
            break;
        }
    }
    const auto start = std::chrono::steady_clock::now();
    comm.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_FALSE(comm.IsOpen());
}

TEST(SerCommLines, ProgramPortsRaiseDtrAndRtsWhileOpen) {
    TSerComm comm;
    EXPECT_EQ(ModemLinesFor({}), (ModemLineLevels{LineLevel::Drop, LineLevel::Drop}));
    SetProgramPortSettings(comm);
    const TSerFlowControl::Values flow{
        comm.FlowControl().OutCtsFlow(),     comm.FlowControl().OutDsrFlow(),
        comm.FlowControl().ControlDtr(),     comm.FlowControl().ControlRts(),
        comm.FlowControl().XonXoffOut(),     comm.FlowControl().XonXoffIn(),
        comm.FlowControl().DsrSensitivity(), comm.FlowControl().TxContinueOnXoff()};
    EXPECT_EQ(ModemLinesFor(flow), (ModemLineLevels{LineLevel::Raise, LineLevel::Raise}));
    EXPECT_FALSE(flow.outCtsFlow || flow.outDsrFlow || flow.xonXoffIn || flow.xonXoffOut);
    EXPECT_EQ(comm.Baudrate(), TSerBaudrate::br9600);
    EXPECT_EQ(comm.Options(), TSerCommOptions{TSerCommOption::coParityCheck});
    EXPECT_EQ(comm.PortNum(), 1);
    EXPECT_EQ(comm.WaitMask(), EV_BREAK | EV_CTS | EV_DSR | EV_ERR | EV_RING | EV_RLSD);
    // Under hardware handshake the driver drives RTS.
    TSerFlowControl::Values handshake;
    handshake.controlRts = TSerRtsControl::rtsHandshake;
    EXPECT_EQ(ModemLinesFor(handshake).rts, LineLevel::Driver);
}

TEST_F(SerCommPty, AnExceptionFromAHandlerGoesToTheErrorDisplay) {
    std::string shown;
    PollingDispatcher reporting([&](std::string_view text) { shown = text; });
    comm.SetDispatcher(&reporting);
    comm.OnTxEmpty = [](TSerCustomComm&) { throw ESerCommError("handler failed"); };
    comm.Open();
    ASSERT_TRUE(comm.WriteText("AT\r\n"));
    EXPECT_TRUE(PumpUntil(reporting, [&] { return !shown.empty(); }));
    EXPECT_EQ(shown, "handler failed");
    EXPECT_TRUE(comm.IsOpen());
}

TEST_F(SerCommPty, DirectWriteWritesWithoutTheQueue) {
    comm.SetDirectWrite(true);
    comm.SetMonitorEvents({TSerCommEvent::ceError});
    comm.Open();
    EXPECT_EQ(comm.WriteBuffer("ATZ\r", 4), 4);
    EXPECT_EQ(pty.Read(1000ms, 4), "ATZ\r");
}

}  // namespace
}  // namespace tabellan
