#include "platform/FileMoves.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>

namespace platform {

bool PathExists(const std::string& Path) {
    struct stat Info {};
    return ::lstat(Path.c_str(), &Info) == 0;
}

bool MoveIfPresent(const std::string& From, const std::string& To) {
    // RENAME_NOREPLACE makes "To is free" and the rename one step, so a name that appeared in
    // between is not overwritten.
    int Result = ::renameat2(AT_FDCWD, From.c_str(), AT_FDCWD, To.c_str(), RENAME_NOREPLACE);
    // File systems without that flag answer EINVAL; there the check and the rename are two steps.
    if (Result != 0 && errno == EINVAL) {
        Result = -1;
        errno = EEXIST;
        if (!PathExists(To))
            Result = ::rename(From.c_str(), To.c_str());
    }
    if (Result == 0)
        return true;
    const int Error = errno;
    if (Error == ENOENT && !PathExists(From))
        return false;
    throw std::system_error(Error, std::system_category(),
                            "Cannot rename '" + From + "' to '" + To + "'");
}

} // namespace platform
