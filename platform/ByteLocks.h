#pragma once

// Claims that live exactly as long as the process that holds them: each claim is one byte of a
// shared lock file, locked through an open file description of its own (an OFD lock). The kernel
// drops such a lock when the last descriptor of its description is closed, which a process that
// ends in any way (kill -9 included) does, so a claim never outlives its holder and needs no
// clean-up. Unlike flock on one file per claim, one file serves any number of claims and nothing
// is ever unlinked (unlinking a lock file races with whoever has just opened it); unlike classic
// POSIX record locks, two descriptions in one process exclude each other, and closing some other
// descriptor of the same file does not drop the locks.

#include <cstdint>
#include <string>

namespace platform {

class TByteLockFile {
public:
    // Opens or creates LockPath (owner-only, never through a link). A file that cannot be opened
    // raises std::system_error naming it.
    explicit TByteLockFile(const std::string& LockPath);
    ~TByteLockFile();
    TByteLockFile(const TByteLockFile&) = delete;
    TByteLockFile& operator=(const TByteLockFile&) = delete;

    // Locks byte Index without waiting; false when another description holds it. A file system
    // without such locks raises std::system_error naming the file, rather than passing for a
    // claim held elsewhere. Locking a byte this description holds already succeeds.
    bool TryLock(std::int64_t Index);
    void Unlock(std::int64_t Index);
    // Whether another description (of this process or another) holds byte Index; false also
    // when the file system cannot tell.
    bool HeldElsewhere(std::int64_t Index) const;

private:
    std::string FPath;
    int FFd = -1;
};

} // namespace platform
