#include "phone/ser_comm.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include "phone/event_dispatcher.h"
#include "phone/phone_errors.h"
#include "phone/port_device.h"
#include "phone/port_device_advice.h"

namespace tabellan {
namespace {

using namespace std::chrono_literals;

constexpr const char* kPortOpen = "Can't perform this operation while port is open";
// How long closing waits for queued output to leave; at 9600 baud some 400 bytes.
constexpr auto kCloseDrainLimit = 500ms;
constexpr auto kDrainPoll = 5ms;

bool ContainsPattern(const std::string& name) {
    return name.find("%d") != std::string::npos;
}

// The component's own pattern: the port number stands for the device assigned to it.
bool IsPortNumberPattern(const std::string& name) {
    std::string_view text = name;
    if (text.starts_with("\\\\.\\")) {
        text.remove_prefix(4);
    }
    return text.size() == 5 && (text[0] == 'C' || text[0] == 'c') &&
           (text[1] == 'O' || text[1] == 'o') && (text[2] == 'M' || text[2] == 'm') &&
           text.substr(3) == "%d";
}

std::string FormatPattern(const std::string& name, int portNum) {
    std::string out = name;
    const auto at = out.find("%d");
    if (at != std::string::npos) {
        out.replace(at, 2, std::to_string(portNum));
    }
    return out;
}

std::string WithAdvice(std::string message, int code, const std::string& path) {
    const std::string advice = PortOpenAdvice(code, path);
    return advice.empty() ? message : message + "\r\n" + advice;
}

}  // namespace

TSerCustomComm::TSerCustomComm() = default;

TSerCustomComm::~TSerCustomComm() {
    CloseForDestruction();
}

void TSerCustomComm::CloseForDestruction() {
    destroying_ = true;
    Close();
}

std::string TSerCustomComm::DevicePath() const {
    if (IsPortNumberPattern(deviceName_)) {
        return PortDevicePath(portNum_);
    }
    return ContainsPattern(deviceName_) ? FormatPattern(deviceName_, portNum_) : deviceName_;
}

std::string TSerCustomComm::DeviceDisplayName() const {
    if (!ContainsPattern(deviceName_)) {
        return deviceName_;
    }
    const std::string path = DevicePath();
    const std::string port = "port " + std::to_string(portNum_);
    return path.empty() ? "no device for " + port : path + " for " + port;
}

void TSerCustomComm::RaiseSystem(const char* format, int code) const {
    char text[512];
    std::snprintf(text, sizeof text, format, code, SysErrorText(code).c_str());
    throw ESerCommError(std::string(text) + " (" + DeviceDisplayName() + ")");
}

void TSerCustomComm::Loaded() {
    if (autoOpen_ && !IsOpen()) {
        Open();
    }
}

void TSerCustomComm::Open() {
    if (IsOpen()) {
        throw ESerCommError(kPortOpen);
    }
    OpenDevice();
    try {
        ConfigureOpenDevice();
        StartThreads();
    } catch (...) {
        StopThreads();
        CloseHandle();
        throw;
    }
    if (OnOpen) {
        OnOpen(*this);
    }
}

void TSerCustomComm::OpenDevice() {
    const std::string path = DevicePath();
    const std::string shown = DeviceDisplayName();
    const int fd =
        path.empty() ? -1 : ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const auto cannotOpen = [&](int code) {
        char text[1024];
        std::snprintf(text, sizeof text, "Can't open specified device %s (Error %d, %s)",
                      shown.c_str(), code, SysErrorText(code).c_str());
        return ESerCommError(WithAdvice(text, code, path));
    };
    if (fd < 0) {
        const int code = path.empty() ? ENOENT : errno;
        if (code == ENOENT) {
            throw ESerCommError("Specified device not found (" + shown + ").");
        }
        throw cannotOpen(code);
    }
    UniqueFd owned(fd);
    // The advisory lock keeps out other users of this program even where TIOCEXCL does not
    // (a privileged process); a holder makes the device count as busy.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        throw cannotOpen(EBUSY);
    }
    ioctl(fd, TIOCEXCL);
    fd_ = std::move(owned);
}

void TSerCustomComm::ConfigureOpenDevice() {
    ApplyLineSettings();
    if (buffers_.WriteSize() == 0 || buffers_.ReadSize() == 0) {
        RaiseSystem("Error initializing buffers (%d), %s", EINVAL);
    }
    const int flags = fcntl(fd_.Get(), F_GETFL);
    if (flags < 0 || fcntl(fd_.Get(), F_SETFL, flags | O_NONBLOCK) != 0) {
        RaiseSystem("Error setting timeouts (%d), %s", errno);
    }
    {
        const std::lock_guard lock(errorLock_);
        pendingErrors_ = 0;
        errorCounts_ = ReadLineErrorCounts(fd_.Get());
    }
    tcflush(fd_.Get(), TCIOFLUSH);
}

void TSerCustomComm::StartThreads() {
    if (WaitMask() != 0) {
        eventThread_ =
            std::make_unique<TSerCommEventThread>(fd_.Get(), WaitMask(), Host(), dispatcher_);
    }
    if (!directWrite_) {
        const bool reportTxEmpty = monitorEvents_.contains(TSerCommEvent::ceTxEmpty);
        writeThread_ = std::make_unique<TSerCommWriteThread>(fd_.Get(), buffers_.WriteSize(),
                                                             reportTxEmpty, Host(), dispatcher_);
    }
}

void TSerCustomComm::Close() {
    if (!IsOpen()) {
        return;
    }
    DrainOutput();
    {
        const std::lock_guard lock(readLock_);
        StopThreads();
    }
    CloseHandle();
    if (!destroying_ && OnClose) {
        OnClose(*this);
    }
}

void TSerCustomComm::StopThreads() {
    eventThread_.reset();
    writeThread_.reset();
}

void TSerCustomComm::DrainOutput() {
    const auto giveUp = std::chrono::steady_clock::now() + kCloseDrainLimit;
    for (;;) {
        int inDriver = 0;
        if (ioctl(fd_.Get(), TIOCOUTQ, &inDriver) != 0) {
            inDriver = 0;
        }
        const std::size_t queued = writeThread_ ? writeThread_->QueuedCount() : 0;
        if ((queued == 0 && inDriver <= 0) || std::chrono::steady_clock::now() >= giveUp) {
            return;
        }
        std::this_thread::sleep_for(kDrainPoll);
    }
}

void TSerCustomComm::CloseHandle() {
    if (fd_.Valid()) {
        // Output still waiting would hold close() until it is sent (up to 30 s on a UART
        // whose other side stopped reading).
        tcflush(fd_.Get(), TCOFLUSH);
        DropModemLines(fd_.Get());
        // Give up exclusive use, so the device (a pseudo-terminal too) can be opened again.
        ioctl(fd_.Get(), TIOCNXCL);
        flock(fd_.Get(), LOCK_UN);
    }
    fd_.Reset();
}

std::uint32_t TSerCustomComm::WaitMask() const {
    std::uint32_t mask = EventMask(monitorEvents_);
    if (!directWrite_) {
        mask &= ~EV_TXEMPTY;
    }
    return mask;
}

int TSerCustomComm::WriteBuffer(const void* data, int count) {
    if (!IsOpen() || count <= 0) {
        return 0;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    const auto size = static_cast<std::size_t>(count);
    if (directWrite_ || !writeThread_) {
        return DirectWriteBytes(bytes, size);
    }
    if (!writeThread_->Queue(bytes, size, std::chrono::milliseconds(buffers_.WriteTimeout()))) {
        throw ESerCommError("Output buffer is full. Please check comm status. (" +
                            DeviceDisplayName() + ")");
    }
    return count;
}

int TSerCustomComm::DirectWriteBytes(const std::uint8_t* data, std::size_t count) {
    const std::lock_guard lock(writeLock_);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(buffers_.ReadTimeout());
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_.Get(), data + done, count - done);
        if (n >= 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (errno != EAGAIN && errno != EINTR) {
            RaiseSystem("Write error (%d), %s", errno);
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return 0;
        }
        pollfd out{fd_.Get(), POLLOUT, 0};
        poll(&out, 1, static_cast<int>(left.count()));
    }
    return static_cast<int>(done);
}

bool TSerCustomComm::WriteText(std::string_view text) {
    return WriteBuffer(text.data(), static_cast<int>(text.size())) == static_cast<int>(text.size());
}

int TSerCustomComm::ReadBuffer(void* buffer, int count) {
    if (!IsOpen() || count <= 0) {
        return 0;
    }
    const std::lock_guard lock(readLock_);
    const ssize_t n = ::read(fd_.Get(), buffer, static_cast<std::size_t>(count));
    if (n < 0) {
        if (errno == EAGAIN || errno == EINTR) {
            return 0;
        }
        RaiseSystem("Read error (%d), %s", errno);
    }
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    if (options_.contains(TSerCommOption::coNullStrip)) {
        return static_cast<int>(std::remove(bytes, bytes + n, std::uint8_t{0}) - bytes);
    }
    return static_cast<int>(n);
}

std::string TSerCustomComm::ReadText() {
    const int count = InQueueCount();
    if (count <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(count), '\0');
    text.resize(static_cast<std::size_t>(ReadBuffer(text.data(), count)));
    return text;
}

int TSerCustomComm::InQueueCount() {
    if (!IsOpen()) {
        return 0;
    }
    return static_cast<int>(ReadErrors().inQueue);
}

TSerCommStatus TSerCustomComm::ReadErrors() {
    if (!IsOpen()) {
        return {};
    }
    const std::lock_guard lock(readLock_);
    TSerCommStatus status;
    int inQueue = 0;
    if (ioctl(fd_.Get(), FIONREAD, &inQueue) != 0) {
        RaiseSystem("Error retrieving statistics (%d), %s", errno);
    }
    int outQueue = 0;
    if (ioctl(fd_.Get(), TIOCOUTQ, &outQueue) != 0) {
        outQueue = 0;
    }
    status.inQueue = static_cast<std::uint32_t>(std::max(inQueue, 0));
    status.outQueue = static_cast<std::uint32_t>(std::max(outQueue, 0));
    status.errors = TakeLineErrors();
    return status;
}

std::uint32_t TSerCustomComm::TakeLineErrors() {
    const std::lock_guard lock(errorLock_);
    std::uint32_t errors = std::exchange(pendingErrors_, 0);
    if (errorCounts_ && fd_.Valid()) {
        if (const auto now = ReadLineErrorCounts(fd_.Get())) {
            errors |= LineErrorFlags(*errorCounts_, *now);
            errorCounts_ = now;
        }
    }
    return errors;
}

void TSerCustomComm::NoteLineError(std::uint32_t flags) {
    const std::lock_guard lock(errorLock_);
    pendingErrors_ |= flags;
}

void TSerCustomComm::DoEvent(std::uint32_t mask) {
    if (!IsOpen()) {
        return;
    }
    try {
        if ((mask & EV_RXCHAR) != 0) {
            HandleRxChar();
            mask &= ~EV_RXCHAR;
        }
        if (mask != 0) {
            DoEvents(mask);
        }
    } catch (const std::exception& e) {
        ReportHandlerError(e.what());
    }
}

void TSerCustomComm::ReportHandlerError(const char* message) {
    if (dispatcher_ != nullptr) {
        dispatcher_->ReportError(message);
    }
}

void TSerCustomComm::HandleRxChar() {
    const int count = InQueueCount();
    if (count <= 0) {
        return;
    }
    if (!consumers_.empty()) {
        std::vector<std::uint8_t> block(static_cast<std::size_t>(count));
        const int n = ReadBuffer(block.data(), count);
        DeliverBlock(block.data(), n);
    } else if (OnRxChar) {
        OnRxChar(*this, count);
    }
}

void TSerCustomComm::DeliverBlock(const std::uint8_t* data, int count) {
    for (TSerDataConsumer* consumer : consumers_) {
        consumer->DataReceived(data, count);
    }
    if (OnRxBuf) {
        OnRxBuf(*this, data, count);
    }
}

void TSerCustomComm::NotifyConsumers(std::uint32_t mask) {
    for (TSerDataConsumer* consumer : consumers_) {
        consumer->EventsOccurred(mask);
    }
}

void TSerCustomComm::DoEvents(std::uint32_t mask) {
    if ((mask & EV_ERR) != 0) {
        const std::uint32_t errors = TakeLineErrors();
        if (errors != 0 && OnError) {
            try {
                OnError(*this, errors);
            } catch (const std::exception& e) {
                ReportHandlerError(e.what());
            }
        }
    }
    if (!consumers_.empty()) {
        NotifyConsumers(mask);
    }
    const std::pair<std::uint32_t, TSerNotifyEvent*> handlers[] = {
        {EV_RXFLAG, &OnRxFlag}, {EV_CTS, &OnCts},       {EV_DSR, &OnDsr},
        {EV_RING, &OnRing},     {EV_RLSD, &OnRlsd},     {EV_TXEMPTY, &OnTxEmpty},
        {EV_BREAK, &OnBreak},   {EV_PERR, &OnPErr},     {EV_RX80FULL, &OnRx80Full},
        {EV_EVENT1, &OnEvent1}, {EV_EVENT2, &OnEvent2},
    };
    for (const auto& [bit, handler] : handlers) {
        if ((mask & bit) != 0 && *handler) {
            (*handler)(*this);
        }
    }
}

void TSerCustomComm::AttachConsumer(TSerDataConsumer* consumer) {
    if (std::find(consumers_.begin(), consumers_.end(), consumer) == consumers_.end()) {
        consumers_.push_back(consumer);
    }
}

void TSerCustomComm::DetachConsumer(TSerDataConsumer* consumer) {
    std::erase(consumers_, consumer);
}

void TSerCustomComm::CheckClosed() const {
    if (IsOpen()) {
        throw ESerCommError(kPortOpen);
    }
}

void TSerCustomComm::ApplyLineSettings() {
    if (!IsOpen() || !updateDcb_) {
        return;
    }
    LineSettings settings;
    settings.baudrate =
        baudrate_ == TSerBaudrate::brUser ? userBaudrate_ : BaudrateValue(baudrate_);
    settings.parity = parity_;
    settings.databits = databits_;
    settings.stopbits = stopbits_;
    settings.flow = {flowControl_.OutCtsFlow(),     flowControl_.OutDsrFlow(),
                     flowControl_.ControlDtr(),     flowControl_.ControlRts(),
                     flowControl_.XonXoffOut(),     flowControl_.XonXoffIn(),
                     flowControl_.DsrSensitivity(), flowControl_.TxContinueOnXoff()};
    settings.options = options_;
    settings.chars = {eventChars_.XonChar(), eventChars_.XoffChar(), eventChars_.ErrorChar(),
                      eventChars_.EventChar(), eventChars_.EofChar()};
    if (const int code = tabellan::ApplyLineSettings(fd_.Get(), settings); code != 0) {
        RaiseSystem("Error writing dcb (%d), %s", code);
    }
    ApplyModemLines(fd_.Get(), settings.flow);
}

void SetProgramPortSettings(TSerCustomComm& comm) {
    comm.SetBaudrate(TSerBaudrate::br9600);
    comm.SetParity(TSerParity::paNone);
    comm.SetDatabits(TSerDatabits::db8);
    comm.SetStopbits(TSerStopbits::sb1);
    comm.SetOptions({TSerCommOption::coParityCheck});
    comm.FlowControl().SetControlDtr(TSerDtrControl::dtrEnabled);
    comm.FlowControl().SetControlRts(TSerRtsControl::rtsEnabled);
    comm.SetPortNum(1);
    comm.SetMonitorEvents({TSerCommEvent::ceBreak, TSerCommEvent::ceCts, TSerCommEvent::ceDsr,
                           TSerCommEvent::ceError, TSerCommEvent::ceRing, TSerCommEvent::ceRlsd,
                           TSerCommEvent::ceTxEmpty});
}

void TSerCustomComm::GroupChanging(const TSerPersistent& group) {
    if (&group == &buffers_) {
        CheckClosed();
    }
}

void TSerCustomComm::GroupChanged(const TSerPersistent& group) {
    if (&group != &buffers_) {
        ApplyLineSettings();
    }
}

void TSerCustomComm::SetBaudrate(TSerBaudrate v) {
    if (v == baudrate_) {
        return;
    }
    baudrate_ = v;
    if (v != TSerBaudrate::brUser) {
        userBaudrate_ = 0;
    }
    ApplyLineSettings();
}

void TSerCustomComm::SetUserBaudrate(std::uint32_t v) {
    if (v == userBaudrate_) {
        return;
    }
    userBaudrate_ = v;
    baudrate_ = TSerBaudrate::brUser;
    ApplyLineSettings();
}

void TSerCustomComm::SetParity(TSerParity v) {
    if (v != parity_) {
        parity_ = v;
        ApplyLineSettings();
    }
}

void TSerCustomComm::SetDatabits(TSerDatabits v) {
    if (v != databits_) {
        databits_ = v;
        ApplyLineSettings();
    }
}

void TSerCustomComm::SetStopbits(TSerStopbits v) {
    if (v != stopbits_) {
        stopbits_ = v;
        ApplyLineSettings();
    }
}

void TSerCustomComm::SetOptions(const TSerCommOptions& v) {
    if (v != options_) {
        options_ = v;
        ApplyLineSettings();
    }
}

void TSerCustomComm::SetPortNum(int v) {
    if (v != portNum_) {
        CheckClosed();
        portNum_ = std::max(v, 0);
    }
}

void TSerCustomComm::SetDeviceName(const std::string& v) {
    if (v != deviceName_) {
        CheckClosed();
        deviceName_ = v;
    }
}

void TSerCustomComm::SetMonitorEvents(const TSerCommEvents& v) {
    if (v != monitorEvents_) {
        CheckClosed();
        monitorEvents_ = v;
    }
}

void TSerCustomComm::SetDirectWrite(bool v) {
    if (v != directWrite_) {
        CheckClosed();
        directWrite_ = v;
    }
}

void TSerCustomComm::SetUpdateDCB(bool v) {
    if (v != updateDcb_) {
        CheckClosed();
        updateDcb_ = v;
    }
}

}  // namespace tabellan
