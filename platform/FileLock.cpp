#include "platform/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::chrono::milliseconds RetryEvery{10};

std::string Reason(const std::string& LockPath, int Error) {
    return "Cannot lock '" + LockPath + "': " + std::system_category().message(Error);
}

} // namespace

TFileLock::TFileLock(const std::string& LockPath, std::chrono::milliseconds Timeout) {
    // Never through a link, never waiting for a FIFO's other end.
    FFd = ::open(LockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (FFd < 0) {
        FFailure = Reason(LockPath, errno);
        return;
    }
    const auto Deadline = std::chrono::steady_clock::now() + Timeout;
    for (;;) {
        if (::flock(FFd, LOCK_EX | LOCK_NB) == 0) {
            FLocked = true;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            FFailure = Reason(LockPath, errno);
            return;
        }
        if (std::chrono::steady_clock::now() >= Deadline) {
            FFailure = "Cannot lock '" + LockPath + "': another program holds it";
            return;
        }
        std::this_thread::sleep_for(RetryEvery);
    }
}

TFileLock::~TFileLock() {
    if (FFd >= 0)
        ::close(FFd);
}

} // namespace platform
