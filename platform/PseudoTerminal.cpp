#include "platform/PseudoTerminal.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

[[noreturn]] void RaiseSystemError(const std::string& What, int Error) {
    throw ETerminalError(What + ": " + std::system_category().message(Error));
}

void CloseHandle(int& Fd) {
    if (Fd >= 0)
        ::close(Fd);
    Fd = -1;
}

int RemainingMs(steady_clock::time_point Deadline) {
    const auto Left = std::chrono::ceil<milliseconds>(Deadline - steady_clock::now()).count();
    return static_cast<int>(std::clamp<long long>(Left, 0, INT_MAX));
}

// Raw mode: every byte passes as it is, in both directions.
void MakeRaw(int Fd, const std::string& Path, speed_t Speed = B0) {
    termios Settings{};
    if (::tcgetattr(Fd, &Settings) != 0)
        RaiseSystemError("Cannot read the line settings of " + Path, errno);
    ::cfmakeraw(&Settings);
    Settings.c_cflag |= CLOCAL | CREAD;
    Settings.c_cflag &= ~(CSTOPB | CRTSCTS);
    Settings.c_cc[VMIN] = 1;
    Settings.c_cc[VTIME] = 0;
    if (Speed != B0 && (::cfsetispeed(&Settings, Speed) != 0 || ::cfsetospeed(&Settings, Speed)))
        RaiseSystemError("Cannot set the speed of " + Path, errno);
    if (::tcsetattr(Fd, TCSANOW, &Settings) != 0)
        RaiseSystemError("Cannot set the line settings of " + Path, errno);
}

// False when Deadline passed without the device becoming writable.
bool WaitWritable(int Fd, steady_clock::time_point Deadline) {
    pollfd Poll{Fd, POLLOUT, 0};
    for (;;) {
        const int Ready = ::poll(&Poll, 1, RemainingMs(Deadline));
        if (Ready >= 0 || errno != EINTR)
            return Ready != 0;
    }
}

// Writes all of Data to a non-blocking descriptor; Timeout bounds each stretch without progress.
void WriteAll(int Fd, std::string_view Data, milliseconds Timeout, const std::string& Device) {
    if (Fd < 0)
        throw ETerminalError(Device + " is closed");
    auto Deadline = steady_clock::now() + Timeout;
    while (!Data.empty()) {
        const ssize_t Count = ::write(Fd, Data.data(), Data.size());
        if (Count > 0) {
            Data.remove_prefix(static_cast<std::size_t>(Count));
            Deadline = steady_clock::now() + Timeout;
        } else if (Count < 0 && errno != EINTR && errno != EAGAIN) {
            RaiseSystemError("Cannot write to " + Device, errno);
        } else if (Count < 0 && errno == EAGAIN && !WaitWritable(Fd, Deadline)) {
            throw ETerminalError(Device + " took no data for " + std::to_string(Timeout.count()) +
                                 " ms");
        }
    }
}

std::string SlaveNameOf(int Master) {
    std::array<char, 128> Name{};
    if (::grantpt(Master) != 0 || ::unlockpt(Master) != 0 ||
        ::ptsname_r(Master, Name.data(), Name.size()) != 0)
        RaiseSystemError("Cannot prepare a pseudo-terminal", errno);
    return Name.data();
}

// Calls Visit for each entry of Folder until it returns true; entries that vanish meanwhile (a
// process ending) are passed over.
template <typename TVisit>
bool AnyEntry(const std::filesystem::path& Folder, TVisit Visit) {
    std::error_code Error;
    for (std::filesystem::directory_iterator It(Folder, Error), End; !Error && It != End;
         It.increment(Error))
        if (Visit(It->path()))
            return true;
    return false;
}

// Whether a descriptor of any process, other than this process's descriptor Own, has the
// device Path open: /proc/PID/fd/N links name the file each descriptor refers to.
bool OpenedElsewhere(const std::string& Path, int Own) {
    const std::string OwnLink =
        "/proc/" + std::to_string(::getpid()) + "/fd/" + std::to_string(Own);
    return AnyEntry("/proc", [&](const std::filesystem::path& Process) {
        const std::string Pid = Process.filename().string();
        return !Pid.empty() && Pid[0] >= '0' && Pid[0] <= '9' &&
               AnyEntry(Process / "fd", [&](const std::filesystem::path& Fd) {
                   std::error_code Error;
                   return Fd.string() != OwnLink &&
                          std::filesystem::read_symlink(Fd, Error) == Path;
               });
    });
}

speed_t SpeedOf(int Baud) {
    static constexpr std::pair<int, speed_t> Speeds[] = {
        {50, B50},           {75, B75},           {110, B110},         {134, B134},
        {150, B150},         {200, B200},         {300, B300},         {600, B600},
        {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
        {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
        {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
        {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
        {3500000, B3500000}, {4000000, B4000000}};
    for (const auto& [Rate, Speed] : Speeds)
        if (Rate == Baud)
            return Speed;
    throw ETerminalError("Unsupported speed " + std::to_string(Baud) + " baud");
}

} // namespace

TPseudoTerminal::TPseudoTerminal() {
    FMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (FMaster < 0)
        RaiseSystemError("Cannot open a pseudo-terminal", errno);
    try {
        FSlavePath = SlaveNameOf(FMaster);
        if (::fcntl(FMaster, F_SETFL, O_NONBLOCK) != 0)
            RaiseSystemError("Cannot prepare a pseudo-terminal", errno);
        FSlave = ::open(FSlavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (FSlave < 0)
            RaiseSystemError("Cannot open " + FSlavePath, errno);
        MakeRaw(FSlave, FSlavePath);
    } catch (...) {
        CloseMaster();
        throw;
    }
}

TPseudoTerminal::~TPseudoTerminal() {
    CloseMaster();
}

void TPseudoTerminal::Write(std::string_view Data, milliseconds Timeout) {
    WriteAll(FMaster, Data, Timeout, FSlavePath);
}

std::string TPseudoTerminal::ReadAvailable() {
    if (FMaster < 0)
        throw ETerminalError("The pseudo-terminal " + FSlavePath + " is closed");
    std::string Result;
    char Buffer[4096];
    for (;;) {
        const ssize_t Count = ::read(FMaster, Buffer, sizeof Buffer);
        if (Count > 0)
            Result.append(Buffer, static_cast<std::size_t>(Count));
        else if (Count == 0 || errno == EAGAIN || errno == EIO)
            return Result;
        else if (errno != EINTR)
            RaiseSystemError("Cannot read from " + FSlavePath, errno);
    }
}

void TPseudoTerminal::CloseMaster() {
    CloseHandle(FSlave);
    CloseHandle(FMaster);
}

std::size_t TPseudoTerminal::Unread() const {
    if (FSlave < 0)
        return 0;
    // The kernel hands written bytes to the slave's line discipline from a work queue; polling
    // the slave runs that hand-over at once, so the count below includes every byte written.
    pollfd Poll{FSlave, POLLIN, 0};
    ::poll(&Poll, 1, 0);
    int Count = 0;
    return ::ioctl(FSlave, FIONREAD, &Count) == 0 ? static_cast<std::size_t>(Count) : 0;
}

bool TPseudoTerminal::WaitUntilRead(milliseconds Timeout) const {
    // A reader's progress raises no event on this side, so the queue is looked at in short steps.
    const auto Deadline = steady_clock::now() + Timeout;
    while (Unread() > 0) {
        if (steady_clock::now() >= Deadline)
            return false;
        std::this_thread::sleep_for(milliseconds(2));
    }
    return true;
}

bool TPseudoTerminal::ReaderPresent() const {
    return FMaster >= 0 && OpenedElsewhere(FSlavePath, FSlave);
}

bool TPseudoTerminal::WaitForReader(milliseconds Timeout) const {
    // An open of the slave raises no event on the master, so the descriptors are looked at in
    // short steps.
    const auto Deadline = steady_clock::now() + Timeout;
    while (!ReaderPresent()) {
        if (steady_clock::now() >= Deadline)
            return false;
        std::this_thread::sleep_for(milliseconds(10));
    }
    return true;
}

TRawDevice::TRawDevice(const std::string& Path, int Baud) : FPath(Path) {
    FFd = ::open(Path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (FFd < 0)
        RaiseSystemError("Cannot open " + Path, errno);
    try {
        MakeRaw(FFd, Path, SpeedOf(Baud));
    } catch (...) {
        CloseHandle(FFd);
        throw;
    }
}

TRawDevice::~TRawDevice() {
    CloseHandle(FFd);
}

void TRawDevice::Write(std::string_view Data, milliseconds Timeout) {
    WriteAll(FFd, Data, Timeout, FPath);
}

void TRawDevice::Drain() {
    while (::tcdrain(FFd) != 0)
        if (errno != EINTR)
            RaiseSystemError("Cannot drain " + FPath, errno);
}

} // namespace platform
