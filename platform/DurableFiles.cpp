#include "platform/DurableFiles.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace {

[[noreturn]] void Raise(const char* Action, const std::string& Path, int Error) {
    throw std::system_error(Error, std::system_category(),
                            std::string(Action) + " file '" + Path + "'");
}

std::string FolderOf(const std::string& Path) {
    const std::size_t Slash = Path.rfind('/');
    if (Slash == std::string::npos)
        return ".";
    return Slash == 0 ? "/" : Path.substr(0, Slash);
}

// A name created or removed lasts through a power cut once its folder is on the disk.
void SyncFolder(const std::string& Path) {
    const int Folder = ::open(FolderOf(Path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Folder < 0)
        Raise("Cannot reach the folder of", Path, errno);
    const int Synced = ::fsync(Folder);
    const int Error = errno;
    ::close(Folder);
    if (Synced != 0)
        Raise("Cannot write the folder of", Path, Error);
}

} // namespace

bool MakePrivateFile(const std::string& Path) {
    // Not blocking: a FIFO in the file's place must not hold the program up.
    const int Fd =
        ::open(Path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (Fd < 0)
        return false;
    struct stat Status {};
    if (::fstat(Fd, &Status) == 0 && S_ISREG(Status.st_mode) && Status.st_uid == ::geteuid() &&
        (Status.st_mode & 077) != 0)
        ::fchmod(Fd, Status.st_mode & 0700);
    ::close(Fd);
    return true;
}

std::string FileIdentity(const std::string& Path) {
    struct stat Status {};
    if (::lstat(Path.c_str(), &Status) != 0)
        return {};
    return std::to_string(Status.st_dev) + ":" + std::to_string(Status.st_ino) + " " +
           std::to_string(Status.st_size) + " " + std::to_string(Status.st_mtim.tv_sec) + "." +
           std::to_string(Status.st_mtim.tv_nsec);
}

bool FileHasBytes(const std::string& Path) {
    struct stat Status {};
    return ::lstat(Path.c_str(), &Status) == 0 && Status.st_size > 0;
}

bool OtherThanAFile(const std::string& Path) {
    struct stat Status {};
    return ::lstat(Path.c_str(), &Status) == 0 && !S_ISREG(Status.st_mode);
}

std::vector<std::string> FilesStartingWith(const std::string& Folder, const std::string& Prefix) {
    std::vector<std::string> Names;
    const std::unique_ptr<DIR, int (*)(DIR*)> Listing(::opendir(Folder.c_str()), ::closedir);
    if (!Listing)
        return Names;
    while (const dirent* Entry = ::readdir(Listing.get())) {
        const std::string Name = Entry->d_name;
        if (Name.starts_with(Prefix))
            Names.push_back(Name);
    }
    return Names;
}

void RemoveDurably(const std::string& Path) {
    if (::unlink(Path.c_str()) != 0) {
        if (errno == ENOENT)
            return;
        Raise("Cannot remove", Path, errno);
    }
    SyncFolder(Path);
}

TAppendFile::TAppendFile(const std::string& Path) : FPath(Path) {
    FFd =
        ::open(Path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    const bool Created = FFd >= 0;
    if (!Created && errno == EEXIST)
        FFd = ::open(Path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
    if (FFd < 0)
        Raise("Cannot write", Path, errno);
    if (Created)
        SyncFolder(Path);
}

TAppendFile::~TAppendFile() {
    ::close(FFd);
}

void TAppendFile::Append(std::string_view Bytes) {
    const off_t Before = ::lseek(FFd, 0, SEEK_END);
    const auto Fail = [&](int Error) {
        if (Before >= 0 && ::ftruncate(FFd, Before) == 0)
            ::fdatasync(FFd);
        Raise("Cannot write", FPath, Error);
    };
    while (!Bytes.empty()) {
        const ssize_t Count = ::write(FFd, Bytes.data(), Bytes.size());
        if (Count < 0) {
            if (errno == EINTR)
                continue;
            Fail(errno);
        }
        Bytes.remove_prefix(static_cast<std::size_t>(Count));
    }
    if (::fdatasync(FFd) != 0)
        Fail(errno);
}

void TAppendFile::Truncate(std::size_t Length) {
    if (::ftruncate(FFd, static_cast<off_t>(Length)) != 0 || ::fdatasync(FFd) != 0)
        Raise("Cannot write", FPath, errno);
}

} // namespace platform
