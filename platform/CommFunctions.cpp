#include "platform/CommFunctions.h"

#include "platform/ByteQueue.h"
#include "platform/DeviceAccess.h"

// The kernel's termios2 is used throughout (any baud rate through BOTHER), so glibc's
// <termios.h> is not included: the two declare the same structures.
#include <algorithm>
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <asm/termios.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <memory>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

extern "C" int ioctl(int Descriptor, unsigned long Request, ...) noexcept;

namespace platform {
namespace {

thread_local std::uint32_t LastError = 0;

// How often line signals and error counters are looked at while waiting: the kernel has no
// poll for them.
constexpr int LinePollMs = 50;
// How often a waiting timed read looks for bytes that the event thread took in meanwhile.
constexpr int ReadSliceMs = 10;

bool Fail(int Code) {
    LastError = static_cast<std::uint32_t>(Code);
    return false;
}

struct TLineCounters {
    int Frame = 0, Overrun = 0, Parity = 0, Break = 0, BufferOverrun = 0, Ring = 0;
};

} // namespace

class TCommDevice {
public:
    explicit TCommDevice(int Descriptor) : Descriptor(Descriptor) {}
    // The exclusive mode stays on the terminal while any descriptor is open (the other end of
    // a pseudo-terminal keeps one), so it is switched off before closing.
    ~TCommDevice() {
        if (Exclusive)
            ioctl(Descriptor, TIOCNXCL);
        close(Descriptor);
    }

    const int Descriptor;
    bool Exclusive = false;
    bool HasModemLines = false;
    bool HasCounters = false;

    std::mutex Lock;
    // Received bytes not yet read: the device's input queue. Guarded by Lock.
    TByteQueue Input;
    std::uint32_t InputSize = 4096;
    std::uint32_t EventMask = 0;
    TCommTimeouts Timeouts;
    bool DiscardNull = false;
    bool HungUp = false;
    // Bytes came in since the waiting thread last reported them; whoever takes bytes in (a
    // read or a status query too) sets Arrivals so that the waiting thread wakes up for them.
    bool NewArrivals = false;
    TEventObject Arrivals;
    bool Rx80Reported = false;
    std::uint32_t PendingErrors = 0;
    std::uint32_t LastModemStatus = 0;
    TLineCounters EventCounters;
    TLineCounters ErrorCounters;
    std::atomic<unsigned> AbortGeneration{0};
};

namespace {

int Control(THandle Handle, unsigned long Request, void* Argument) {
    int Result;
    do
        Result = ioctl(Handle->Descriptor, Request, Argument);
    while (Result < 0 && errno == EINTR);
    return Result;
}

bool ReadCounters(THandle Handle, TLineCounters& Counters) {
    serial_icounter_struct Raw{};
    if (!Handle->HasCounters || Control(Handle, TIOCGICOUNT, &Raw) < 0)
        return false;
    Counters = {Raw.frame, Raw.overrun, Raw.parity, Raw.brk, Raw.buf_overrun, Raw.rng};
    return true;
}

bool ReadModemStatus(THandle Handle, std::uint32_t& Status) {
    Status = 0;
    if (!Handle->HasModemLines)
        return true;
    int Lines = 0;
    if (Control(Handle, TIOCMGET, &Lines) < 0)
        return false;
    Status = (Lines & TIOCM_CTS ? MS_CTS_ON : 0) | (Lines & TIOCM_DSR ? MS_DSR_ON : 0) |
             (Lines & TIOCM_RNG ? MS_RING_ON : 0) | (Lines & TIOCM_CAR ? MS_RLSD_ON : 0);
    return true;
}

// Adds received bytes to the input queue: without the null bytes when those are discarded, and
// only as many as fit, the rest counting as an overflow. Lock must be held.
void Enqueue(THandle Handle, char* Bytes, std::size_t Count) {
    if (Handle->DiscardNull)
        Count = static_cast<std::size_t>(std::remove(Bytes, Bytes + Count, '\0') - Bytes);
    const std::size_t Room = InputQueueLimit - Handle->Input.Size();
    if (Count > Room)
        Handle->PendingErrors |= CE_RXOVER;
    const std::size_t Kept = std::min(Count, Room);
    Handle->Input.Append(Bytes, Kept);
    if (Kept == 0)
        return;
    Handle->NewArrivals = true;
    Handle->Arrivals.Set();
}

// Moves what the kernel holds into the input queue, where no hang-up can lose it.
// Lock must be held.
void TakeIn(THandle Handle) {
    char Chunk[4096];
    for (;;) {
        const ssize_t Count = read(Handle->Descriptor, Chunk, sizeof Chunk);
        if (Count < 0 && errno == EINTR)
            continue;
        if (Count <= 0) {
            // A raw terminal answers 0 when nothing waits; a hang-up shows as an I/O error
            // here, or as POLLHUP to the waiting thread.
            if (Count < 0 && (errno == EIO || errno == ENXIO || errno == ENODEV))
                Handle->HungUp = true;
            return;
        }
        Enqueue(Handle, Chunk, static_cast<std::size_t>(Count));
    }
}

std::uint32_t ErrorFlags(const TLineCounters& Now, const TLineCounters& Before) {
    return (Now.Frame != Before.Frame ? CE_FRAME : 0) |
           (Now.Overrun != Before.Overrun ? CE_OVERRUN : 0) |
           (Now.Parity != Before.Parity ? CE_RXPARITY : 0) |
           (Now.Break != Before.Break ? CE_BREAK : 0) |
           (Now.BufferOverrun != Before.BufferOverrun ? CE_RXOVER : 0);
}

// Line events since the last look: signal changes, errors, breaks, rings. Lock must be held.
std::uint32_t LineEvents(THandle Handle) {
    std::uint32_t Events = 0;
    std::uint32_t Status = 0;
    if (Handle->HasModemLines && ReadModemStatus(Handle, Status)) {
        const std::uint32_t Changed = Status ^ Handle->LastModemStatus;
        Events |= (Changed & MS_CTS_ON ? EV_CTS : 0) | (Changed & MS_DSR_ON ? EV_DSR : 0) |
                  (Changed & MS_RLSD_ON ? EV_RLSD : 0);
        Handle->LastModemStatus = Status;
    }
    TLineCounters Now;
    if (ReadCounters(Handle, Now)) {
        const std::uint32_t Errors = ErrorFlags(Now, Handle->EventCounters);
        Events |= (Errors & ~CE_BREAK ? EV_ERR : 0) | (Errors & CE_BREAK ? EV_BREAK : 0) |
                  (Now.Ring != Handle->EventCounters.Ring ? EV_RING : 0);
        Handle->EventCounters = Now;
    }
    return Events;
}

// Bytes that a reader has taken already are not reported. Lock must be held.
std::uint32_t QueueEvents(THandle Handle) {
    const bool Arrived = Handle->NewArrivals && Handle->Input.Size() > 0;
    Handle->NewArrivals = false;
    Handle->Arrivals.Reset();
    const bool Full = Handle->Input.Size() * 5 >= std::size_t{Handle->InputSize} * 4;
    const bool NewlyFull = Full && !Handle->Rx80Reported;
    Handle->Rx80Reported = Full;
    return (Arrived ? EV_RXCHAR : 0) | (NewlyFull ? EV_RX80FULL : 0);
}

bool RetryingPoll(pollfd* Entries, nfds_t Count, int TimeoutMs) {
    int Result;
    do
        Result = poll(Entries, Count, TimeoutMs);
    while (Result < 0 && errno == EINTR);
    return Result >= 0;
}

// Refuses a second opening of the same device, also by root, whom TIOCEXCL does not stop. The
// lock comes first, so that a refused opening leaves the holder's exclusive mode alone.
bool LockExclusively(THandle Handle) {
    if (flock(Handle->Descriptor, LOCK_EX | LOCK_NB) != 0) {
        errno = errno == EWOULDBLOCK ? EBUSY : errno;
        return false;
    }
    Handle->Exclusive = ioctl(Handle->Descriptor, TIOCEXCL) == 0;
    return Handle->Exclusive;
}

} // namespace

std::uint32_t GetLastError() {
    return LastError;
}

void SetLastError(std::uint32_t Code) {
    LastError = Code;
}

THandle CreateFile(const std::string& PortName) {
    const int Descriptor =
        open(DevicePath(PortName).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (Descriptor < 0) {
        Fail(errno);
        return INVALID_HANDLE_VALUE;
    }
    // From here the device object owns the descriptor, also when something below fails.
    auto Handle = std::make_unique<TCommDevice>(Descriptor);
    termios2 Settings{};
    if (ioctl(Descriptor, TCGETS2, &Settings) < 0 || !LockExclusively(Handle.get())) {
        Fail(errno);
        return INVALID_HANDLE_VALUE;
    }
    int Lines = 0;
    Handle->HasModemLines = ioctl(Descriptor, TIOCMGET, &Lines) == 0;
    serial_icounter_struct Counters{};
    Handle->HasCounters = ioctl(Descriptor, TIOCGICOUNT, &Counters) == 0;
    ReadModemStatus(Handle.get(), Handle->LastModemStatus);
    ReadCounters(Handle.get(), Handle->EventCounters);
    Handle->ErrorCounters = Handle->EventCounters;
    return Handle.release();
}

bool CloseHandle(THandle Handle) {
    if (Handle == INVALID_HANDLE_VALUE)
        return Fail(EBADF);
    delete Handle;
    return true;
}

bool SetupComm(THandle Handle, std::uint32_t InQueue, std::uint32_t) {
    if (Handle == INVALID_HANDLE_VALUE)
        return Fail(EBADF);
    const std::lock_guard Guard(Handle->Lock);
    Handle->InputSize = std::max<std::uint32_t>(InQueue, 1);
    return true;
}

namespace {

bool DataBitsFlags(std::uint8_t ByteSize, tcflag_t& Flags) {
    switch (ByteSize) {
    case 5:
        Flags |= CS5;
        return true;
    case 6:
        Flags |= CS6;
        return true;
    case 7:
        Flags |= CS7;
        return true;
    case 8:
        Flags |= CS8;
        return true;
    default:
        return false;
    }
}

bool ParityFlags(std::uint8_t Parity, tcflag_t& Flags) {
    switch (Parity) {
    case NOPARITY:
        return true;
    case ODDPARITY:
        Flags |= PARENB | PARODD;
        return true;
    case EVENPARITY:
        Flags |= PARENB;
        return true;
    case MARKPARITY:
        Flags |= PARENB | CMSPAR | PARODD;
        return true;
    case SPACEPARITY:
        Flags |= PARENB | CMSPAR;
        return true;
    default:
        return false;
    }
}

// A UART sends 1.5 stop bits only with five data bits, where CSTOPB means just that.
bool StopBitsFlags(std::uint8_t StopBits, std::uint8_t ByteSize, tcflag_t& Flags) {
    if (StopBits == ONESTOPBIT)
        return true;
    if (StopBits == TWOSTOPBITS || (StopBits == ONE5STOPBITS && ByteSize == 5)) {
        Flags |= CSTOPB;
        return true;
    }
    return false;
}

// The standard rates go by their own codes, which every driver knows and tcgetattr reports;
// any other rate is passed as a number (BOTHER).
tcflag_t SpeedCode(std::uint32_t BaudRate) {
    static constexpr std::pair<std::uint32_t, tcflag_t> Standard[] = {
        {50, B50},         {75, B75},         {110, B110},       {134, B134},
        {150, B150},       {200, B200},       {300, B300},       {600, B600},
        {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
        {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
        {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600}};
    for (const auto& [Rate, Code] : Standard)
        if (Rate == BaudRate)
            return Code;
    return BOTHER;
}

bool BuildTermios(const TDCB& DCB, termios2& Settings) {
    const unsigned Dtr = (DCB.Flags >> fDtrControlShift) & 3;
    const unsigned Rts = (DCB.Flags >> fRtsControlShift) & 3;
    // The kernel has no DTR/DSR handshake and no RTS toggling.
    if (DCB.BaudRate == 0 || Dtr == 2 || Rts == 3)
        return false;
    Settings = termios2{};
    const tcflag_t Speed = SpeedCode(DCB.BaudRate);
    Settings.c_cflag = CREAD | CLOCAL | Speed | (Speed << IBSHIFT);
    Settings.c_ispeed = Settings.c_ospeed = DCB.BaudRate;
    if (!DataBitsFlags(DCB.ByteSize, Settings.c_cflag) ||
        !ParityFlags(DCB.Parity, Settings.c_cflag) ||
        !StopBitsFlags(DCB.StopBits, DCB.ByteSize, Settings.c_cflag))
        return false;
    if (DCB.Flags & fOutxCtsFlow || Rts == 2)
        Settings.c_cflag |= CRTSCTS;
    // Without IGNPAR a byte received with an error still arrives (as a zero byte).
    // A break is a line condition, not a byte of data.
    Settings.c_iflag = IGNBRK | (DCB.Flags & fParity ? INPCK : 0) | (DCB.Flags & fOutX ? IXON : 0) |
                       (DCB.Flags & fInX ? IXOFF : 0);
    Settings.c_cc[VSTART] = static_cast<cc_t>(DCB.XonChar);
    Settings.c_cc[VSTOP] = static_cast<cc_t>(DCB.XoffChar);
    Settings.c_cc[VMIN] = 0;
    Settings.c_cc[VTIME] = 0;
    return true;
}

bool SetControlLine(THandle Handle, int Line, bool On) {
    return Control(Handle, On ? TIOCMBIS : TIOCMBIC, &Line) == 0;
}

} // namespace

bool SetCommState(THandle Handle, const TDCB& DCB) {
    if (Handle == INVALID_HANDLE_VALUE)
        return Fail(EBADF);
    termios2 Settings;
    if (!BuildTermios(DCB, Settings))
        return Fail(EINVAL);
    if (Control(Handle, TCSETS2, &Settings) < 0)
        return Fail(errno);
    const unsigned Dtr = (DCB.Flags >> fDtrControlShift) & 3;
    const unsigned Rts = (DCB.Flags >> fRtsControlShift) & 3;
    if (Handle->HasModemLines && (!SetControlLine(Handle, TIOCM_DTR, Dtr == 1) ||
                                  (Rts != 2 && !SetControlLine(Handle, TIOCM_RTS, Rts == 1))))
        return Fail(errno);
    const std::lock_guard Guard(Handle->Lock);
    Handle->DiscardNull = (DCB.Flags & fNull) != 0;
    return true;
}

bool SetCommTimeouts(THandle Handle, const TCommTimeouts& Timeouts) {
    if (Handle == INVALID_HANDLE_VALUE)
        return Fail(EBADF);
    const std::lock_guard Guard(Handle->Lock);
    Handle->Timeouts = Timeouts;
    return true;
}

bool SetCommMask(THandle Handle, std::uint32_t EventMask) {
    if (Handle == INVALID_HANDLE_VALUE)
        return Fail(EBADF);
    const std::lock_guard Guard(Handle->Lock);
    Handle->EventMask = EventMask;
    return true;
}

namespace {

// What one look at the device found: the events of the mask, a hang-up, and whether line
// signals and error counters must be looked at again while waiting.
struct TDeviceLook {
    std::uint32_t Events = 0;
    bool HungUp = false;
    bool WatchLines = false;
};

// Takes the kernel's bytes in and collects the events since the last look.
TDeviceLook LookAtDevice(THandle Handle) {
    const std::lock_guard Guard(Handle->Lock);
    TakeIn(Handle);
    TDeviceLook Look;
    Look.Events = (QueueEvents(Handle) | LineEvents(Handle)) & Handle->EventMask;
    Look.HungUp = Handle->HungUp;
    const bool Watching =
        Handle->EventMask & (EV_CTS | EV_DSR | EV_RLSD | EV_ERR | EV_BREAK | EV_RING);
    Look.WatchLines = Watching && (Handle->HasModemLines || Handle->HasCounters);
    return Look;
}

} // namespace

TCommWaitResult WaitCommEvent(THandle Handle, const TEventObject& Stop, std::uint32_t& Mask) {
    if (Handle == INVALID_HANDLE_VALUE) {
        Fail(EBADF);
        return TCommWaitResult::Failed;
    }
    for (;;) {
        const TDeviceLook Look = LookAtDevice(Handle);
        if (Look.Events != 0) {
            Mask = Look.Events;
            return TCommWaitResult::Events;
        }
        if (Look.HungUp) {
            Fail(EIO);
            return TCommWaitResult::Failed;
        }
        pollfd Entries[3] = {{Stop.Descriptor(), POLLIN, 0},
                             {Handle->Descriptor, POLLIN, 0},
                             {Handle->Arrivals.Descriptor(), POLLIN, 0}};
        if (!RetryingPoll(Entries, 3, Look.WatchLines ? LinePollMs : -1)) {
            Fail(errno);
            return TCommWaitResult::Failed;
        }
        if (Entries[0].revents & POLLIN)
            return TCommWaitResult::Stopped;
        if (Entries[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            const std::lock_guard HangUpGuard(Handle->Lock);
            // Bytes that came before the hang-up are still taken in on the next round.
            Handle->HungUp = true;
        }
    }
}

namespace {

using TClock = std::chrono::steady_clock;

// When a read of Count bytes must end, as the time-outs say; the interval limit is checked
// separately, from the last byte received.
struct TReadLimits {
    bool ReturnAtOnce = false;
    bool ReturnOnFirstByte = false;
    bool HasDeadline = false;
    TClock::time_point Deadline;
    std::uint32_t IntervalMs = 0;
};

TReadLimits LimitsFor(const TCommTimeouts& Timeouts, std::uint32_t Count) {
    TReadLimits Limits;
    const auto Interval = Timeouts.ReadIntervalTimeout;
    const auto Multiplier = Timeouts.ReadTotalTimeoutMultiplier;
    const auto Constant = Timeouts.ReadTotalTimeoutConstant;
    if (Interval == MAXDWORD && Multiplier == 0 && Constant == 0) {
        Limits.ReturnAtOnce = true;
        return Limits;
    }
    Limits.ReturnOnFirstByte = Interval == MAXDWORD && Multiplier == MAXDWORD;
    const std::uint64_t Total =
        Limits.ReturnOnFirstByte ? Constant : std::uint64_t{Multiplier} * Count + Constant;
    Limits.HasDeadline = Total > 0;
    Limits.Deadline = TClock::now() + std::chrono::milliseconds(Total);
    Limits.IntervalMs = Interval == MAXDWORD ? 0 : Interval;
    return Limits;
}

} // namespace

bool ReadFile(THandle Handle, void* Buffer, std::uint32_t Count, std::uint32_t& BytesRead,
              TOverlapped& Overlapped) {
    BytesRead = 0;
    if (Handle == INVALID_HANDLE_VALUE)
        return Fail(EBADF);
    Overlapped.hEvent.Reset();
    const unsigned Generation = Handle->AbortGeneration;
    std::unique_lock Guard(Handle->Lock);
    const TReadLimits Limits = LimitsFor(Handle->Timeouts, Count);
    auto LastByte = TClock::now();
    for (;;) {
        // The kernel's bytes are needed only when the queue cannot fill the read alone.
        if (Handle->Input.Size() < Count - BytesRead)
            TakeIn(Handle);
        const std::size_t Taken =
            Handle->Input.Take(static_cast<char*>(Buffer) + BytesRead, Count - BytesRead);
        BytesRead += static_cast<std::uint32_t>(Taken);
        const auto Now = TClock::now();
        LastByte = Taken > 0 ? Now : LastByte;
        const bool IntervalOver = Limits.IntervalMs > 0 && BytesRead > 0 &&
                                  Now - LastByte >= std::chrono::milliseconds(Limits.IntervalMs);
        if (BytesRead == Count || Limits.ReturnAtOnce || (Limits.ReturnOnFirstByte && BytesRead) ||
            (Limits.HasDeadline && Now >= Limits.Deadline) || IntervalOver || Handle->HungUp ||
            Handle->AbortGeneration != Generation)
            break;
        Guard.unlock();
        pollfd Entry{Handle->Descriptor, POLLIN, 0};
        RetryingPoll(&Entry, 1, ReadSliceMs);
        Guard.lock();
        // A hung-up terminal reads as empty for ever; only poll tells that it is gone.
        if (Entry.revents & (POLLHUP | POLLERR | POLLNVAL))
            Handle->HungUp = true;
    }
    const bool Lost = Handle->HungUp && BytesRead == 0 && Count > 0;
    Guard.unlock();
    Overlapped.InternalHigh = BytesRead;
    Overlapped.hEvent.Set();
    return Lost ? Fail(EIO) : true;
}

bool GetOverlappedResult(THandle Handle, const TOverlapped& Overlapped,
                         std::uint32_t& Transferred) {
    if (Handle == INVALID_HANDLE_VALUE)
        return Fail(EBADF);
    if (!Overlapped.hEvent.IsSet())
        return Fail(EINPROGRESS);
    Transferred = Overlapped.InternalHigh;
    return true;
}

bool ClearCommError(THandle Handle, std::uint32_t& Errors, TComStat& Stat) {
    if (Handle == INVALID_HANDLE_VALUE)
        return Fail(EBADF);
    const std::lock_guard Guard(Handle->Lock);
    TakeIn(Handle);
    TLineCounters Now;
    Errors = Handle->PendingErrors | (Handle->HungUp ? CE_IOE : 0);
    if (ReadCounters(Handle, Now)) {
        Errors |= ErrorFlags(Now, Handle->ErrorCounters);
        Handle->ErrorCounters = Now;
    }
    Handle->PendingErrors = 0;
    int Outgoing = 0;
    Stat.cbInQue = static_cast<std::uint32_t>(Handle->Input.Size());
    Stat.cbOutQue = Control(Handle, TIOCOUTQ, &Outgoing) == 0 ? Outgoing : 0;
    return true;
}

bool PurgeComm(THandle Handle, std::uint32_t Flags) {
    if (Handle == INVALID_HANDLE_VALUE)
        return Fail(EBADF);
    if (Flags & (PURGE_TXABORT | PURGE_RXABORT))
        ++Handle->AbortGeneration;
    const int Queues = (Flags & PURGE_TXCLEAR ? 1 : 0) | (Flags & PURGE_RXCLEAR ? 2 : 0);
    if (Queues == 0)
        return true;
    const std::lock_guard Guard(Handle->Lock);
    if (Flags & PURGE_RXCLEAR)
        Handle->Input.Clear();
    const long Which = Queues == 3 ? TCIOFLUSH : Queues == 2 ? TCIFLUSH : TCOFLUSH;
    return ioctl(Handle->Descriptor, TCFLSH, Which) == 0 ? true : Fail(errno);
}

bool GetCommModemStatus(THandle Handle, std::uint32_t& ModemStatus) {
    if (Handle == INVALID_HANDLE_VALUE)
        return Fail(EBADF);
    return ReadModemStatus(Handle, ModemStatus) ? true : Fail(errno);
}

std::string SysErrorMessage(std::uint32_t Code) {
    char Buffer[256];
    return strerror_r(static_cast<int>(Code), Buffer, sizeof Buffer);
}

} // namespace platform
