#include "platform/DeviceAccess.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

std::string DevicePath(const std::string& PortName) {
    return PortName.find('/') == std::string::npos ? "/dev/" + PortName : PortName;
}

std::string DeviceGroupName(const std::string& PortName) {
    struct stat Status {};
    if (stat(DevicePath(PortName).c_str(), &Status) != 0)
        return {};
    group Entry{};
    group* Found = nullptr;
    std::vector<char> Buffer(16384);
    if (getgrgid_r(Status.st_gid, &Entry, Buffer.data(), Buffer.size(), &Found) != 0 || !Found)
        return std::to_string(Status.st_gid);
    return Found->gr_name;
}

std::string CurrentUserName() {
    passwd Entry{};
    passwd* Found = nullptr;
    std::vector<char> Buffer(16384);
    if (getpwuid_r(getuid(), &Entry, Buffer.data(), Buffer.size(), &Found) != 0 || !Found)
        return "$USER";
    return Found->pw_name;
}

} // namespace platform
