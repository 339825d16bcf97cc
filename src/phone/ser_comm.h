#pragma once
// The serial port component: opens a port, applies the line settings, queues outgoing bytes
// to a write thread, reads whatever has arrived, and has an event thread report line events
// to handlers on the owner's thread (through an EventDispatcher).
//
// DeviceName is a device path used as it stands (a relative one from the current folder), or
// a pattern with "%d" that PortNum replaces (such as /dev/ttyUSB%d). The component's own
// pattern, "COM%d" (also with the "\\.\" prefix), means the device the user assigned to the
// port number (see PortDevicePath).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phone/ser_comm_threads.h"
#include "phone/ser_line.h"
#include "phone/ser_settings.h"
#include "phone/ser_types.h"
#include "phone/unique_fd.h"

namespace tabellan {

class EventDispatcher;
class TSerCustomComm;

using TSerNotifyEvent = std::function<void(TSerCustomComm& sender)>;
using TSerCommErrorEvent = std::function<void(TSerCustomComm& sender, std::uint32_t errors)>;
using TSerCommRxCharEvent = std::function<void(TSerCustomComm& sender, int count)>;
using TSerCommRxBufEvent =
    std::function<void(TSerCustomComm& sender, const std::uint8_t* data, int count)>;

// Another component that wants the received data and the events.
class TSerDataConsumer {
  public:
    virtual ~TSerDataConsumer() = default;
    virtual void DataReceived(const std::uint8_t* data, int count) = 0;
    virtual void EventsOccurred(std::uint32_t mask) = 0;
};

class TSerCustomComm : private TSerPersistentOwner, private SerCommHost {
  public:
    TSerCustomComm();
    virtual ~TSerCustomComm();
    TSerCustomComm(const TSerCustomComm&) = delete;
    TSerCustomComm& operator=(const TSerCustomComm&) = delete;

    void Open();
    void Close();
    bool IsOpen() const { return fd_.Valid(); }
    int WriteBuffer(const void* data, int count);
    bool WriteText(std::string_view text);
    int ReadBuffer(void* buffer, int count);
    std::string ReadText();
    int InQueueCount();
    TSerCommStatus ReadErrors();

    // The device Open uses; empty when the port number has none.
    std::string DevicePath() const;
    // The device as messages show it: the path, and the port number when it came from one
    // ("/dev/ttyS0 for port 1").
    std::string DeviceDisplayName() const;
    // Runs AutoOpen once the owner has loaded its settings.
    void Loaded();

    void SetDispatcher(EventDispatcher* dispatcher) { dispatcher_ = dispatcher; }
    EventDispatcher* Dispatcher() const { return dispatcher_; }
    void AttachConsumer(TSerDataConsumer* consumer);
    void DetachConsumer(TSerDataConsumer* consumer);

    bool AutoOpen() const { return autoOpen_; }
    void SetAutoOpen(bool v) { autoOpen_ = v; }
    TSerBaudrate Baudrate() const { return baudrate_; }
    void SetBaudrate(TSerBaudrate v);
    std::uint32_t UserBaudrate() const { return userBaudrate_; }
    void SetUserBaudrate(std::uint32_t v);
    TSerParity Parity() const { return parity_; }
    void SetParity(TSerParity v);
    TSerDatabits Databits() const { return databits_; }
    void SetDatabits(TSerDatabits v);
    TSerStopbits Stopbits() const { return stopbits_; }
    void SetStopbits(TSerStopbits v);
    TSerEventChars& EventChars() { return eventChars_; }
    void SetEventChars(const TSerEventChars& v) { eventChars_ = v; }
    TSerFlowControl& FlowControl() { return flowControl_; }
    void SetFlowControl(const TSerFlowControl& v) { flowControl_ = v; }
    const TSerCommOptions& Options() const { return options_; }
    void SetOptions(const TSerCommOptions& v);
    int PortNum() const { return portNum_; }
    void SetPortNum(int v);
    const std::string& DeviceName() const { return deviceName_; }
    void SetDeviceName(const std::string& v);
    const TSerCommEvents& MonitorEvents() const { return monitorEvents_; }
    void SetMonitorEvents(const TSerCommEvents& v);
    TSerBuffers& Buffers() { return buffers_; }
    void SetBuffers(const TSerBuffers& v) { buffers_ = v; }
    TSerThreadPriority EventPriority() const { return eventPriority_; }
    void SetEventPriority(TSerThreadPriority v) { eventPriority_ = v; }
    TSerThreadPriority WritePriority() const { return writePriority_; }
    void SetWritePriority(TSerThreadPriority v) { writePriority_ = v; }
    bool DirectWrite() const { return directWrite_; }
    void SetDirectWrite(bool v);
    bool UpdateDCB() const { return updateDcb_; }
    void SetUpdateDCB(bool v);
    // The event bits given to the driver: MonitorEvents less transmit-empty when the write
    // thread reports it.
    std::uint32_t WaitMask() const;

    TSerNotifyEvent OnOpen, OnClose, OnCts, OnDsr, OnRlsd, OnRing, OnBreak, OnRxFlag, OnTxEmpty,
        OnPErr, OnRx80Full, OnEvent1, OnEvent2;
    TSerCommErrorEvent OnError;
    TSerCommRxCharEvent OnRxChar;
    TSerCommRxBufEvent OnRxBuf;

  protected:
    // Closes without the OnClose event; a destructor's first step.
    void CloseForDestruction();
    virtual void OpenDevice();
    virtual void StartThreads();
    virtual void HandleRxChar();
    virtual void DoEvents(std::uint32_t mask);
    virtual void NotifyConsumers(std::uint32_t mask);
    virtual void DeliverBlock(const std::uint8_t* data, int count);

  private:
    void GroupChanging(const TSerPersistent& group) override;
    void GroupChanged(const TSerPersistent& group) override;
    void DoEvent(std::uint32_t mask) override;
    void NoteLineError(std::uint32_t flags) override;

    SerCommHost& Host() { return *this; }
    void CheckClosed() const;
    void ApplyLineSettings();
    void ConfigureOpenDevice();
    void StopThreads();
    // Waits a short, bounded time for queued output to leave (the last command must go out),
    // then discards what is left, so that closing a device that stopped reading never
    // blocks.
    void DrainOutput();
    void CloseHandle();
    [[noreturn]] void RaiseSystem(const char* format, int code) const;
    std::uint32_t TakeLineErrors();
    int DirectWriteBytes(const std::uint8_t* data, std::size_t count);
    void ReportHandlerError(const char* message);

    bool autoOpen_ = false;
    TSerBaudrate baudrate_ = TSerBaudrate::br1200;
    std::uint32_t userBaudrate_ = 0;
    TSerParity parity_ = TSerParity::paNone;
    TSerDatabits databits_ = TSerDatabits::db8;
    TSerStopbits stopbits_ = TSerStopbits::sb1;
    TSerEventChars eventChars_{this};
    TSerFlowControl flowControl_{this};
    TSerCommOptions options_;
    int portNum_ = 0;
    std::string deviceName_ = "COM%d";
    TSerCommEvents monitorEvents_{TSerCommEvent::ceError, TSerCommEvent::ceRxChar,
                                  TSerCommEvent::ceTxEmpty};
    TSerBuffers buffers_{this};
    TSerThreadPriority eventPriority_ = TSerThreadPriority::Normal;
    TSerThreadPriority writePriority_ = TSerThreadPriority::Highest;
    bool directWrite_ = false;
    bool updateDcb_ = true;
    bool destroying_ = false;

    UniqueFd fd_;
    std::mutex writeLock_;
    std::mutex readLock_;
    std::mutex errorLock_;
    std::uint32_t pendingErrors_ = 0;
    std::optional<LineErrorCounts> errorCounts_;
    EventDispatcher* dispatcher_ = nullptr;
    std::unique_ptr<TSerCommEventThread> eventThread_;
    std::unique_ptr<TSerCommWriteThread> writeThread_;
    std::vector<TSerDataConsumer*> consumers_;
};

// The settings both of the program's ports use, the phone's and the modem's: port 1,
// 9600 baud, 8 data bits, no parity, 1 stop bit with the parity check flag, no flow control,
// line events watched, and DTR and RTS raised while the port is open (many modems ignore
// commands or hang up while DTR is low, and some USB phones do not answer without it).
void SetProgramPortSettings(TSerCustomComm& comm);

class TSerComm final : public TSerCustomComm {
  public:
    using TSerCustomComm::TSerCustomComm;
    // The port threads call into this object through its virtual functions, so they stop
    // here, before any base destructor runs.
    ~TSerComm() override { CloseForDestruction(); }
};

}  // namespace tabellan
