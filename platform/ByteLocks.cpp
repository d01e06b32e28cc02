#include "platform/ByteLocks.h"

#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace {

struct flock ByteRange(short Type, std::int64_t Index) {
    struct flock Range {};
    Range.l_type = Type;
    Range.l_whence = SEEK_SET;
    Range.l_start = static_cast<off_t>(Index);
    Range.l_len = 1;
    return Range;
}

} // namespace

TByteLockFile::TByteLockFile(const std::string& LockPath) : FPath(LockPath) {
    // Never waiting for a FIFO's other end.
    do
        FFd =
            ::open(LockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    while (FFd < 0 && errno == EINTR);
    if (FFd < 0)
        throw std::system_error(errno, std::system_category(),
                                "Cannot open the lock file '" + LockPath + "'");
}

TByteLockFile::~TByteLockFile() {
    ::close(FFd);
}

bool TByteLockFile::TryLock(std::int64_t Index) {
    struct flock Range = ByteRange(F_WRLCK, Index);
    int Result;
    do
        Result = ::fcntl(FFd, F_OFD_SETLK, &Range);
    while (Result != 0 && errno == EINTR);
    if (Result != 0 && errno != EAGAIN && errno != EACCES)
        throw std::system_error(errno, std::system_category(),
                                "Cannot lock a byte of '" + FPath + "'");
    return Result == 0;
}

void TByteLockFile::Unlock(std::int64_t Index) {
    struct flock Range = ByteRange(F_UNLCK, Index);
    while (::fcntl(FFd, F_OFD_SETLK, &Range) != 0 && errno == EINTR) {
    }
}

bool TByteLockFile::HeldElsewhere(std::int64_t Index) const {
    struct flock Range = ByteRange(F_WRLCK, Index);
    return ::fcntl(FFd, F_OFD_GETLK, &Range) == 0 && Range.l_type != F_UNLCK;
}

} // namespace platform
