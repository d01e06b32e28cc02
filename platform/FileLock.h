#pragma once

// An exclusive lock that programs writing the same file take one after the other. It is held on a
// lock file of its own beside that file, never on a shared folder, and it is waited for only so
// long: a lock that another program holds for ever must not freeze this one.

#include <chrono>
#include <string>

namespace platform {

// Long enough for another writer of a small file to finish; short enough not to be felt.
inline constexpr std::chrono::seconds LockTimeout{2};

class TFileLock {
public:
    // Takes the lock on LockPath (created when missing, owner-only) within Timeout. Whether it was
    // taken is Locked(); a lock not taken is no error, the caller decides what to do without it.
    TFileLock(const std::string& LockPath, std::chrono::milliseconds Timeout);
    ~TFileLock();
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

    bool Locked() const { return FLocked; }
    // Why the lock was not taken, for a log; empty when it was.
    const std::string& Failure() const { return FFailure; }

private:
    int FFd = -1;
    bool FLocked = false;
    std::string FFailure;
};

} // namespace platform
