#include "platform/FileIO.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

[[noreturn]] void Raise(const char* Action, const std::string& Path, int Error) {
    throw std::system_error(Error, std::system_category(),
                            std::string(Action) + " file '" + Path + "'");
}

// Retries calls that a signal interrupted.
template <typename Call>
auto Retry(Call Function) {
    for (;;) {
        const auto Result = Function();
        if (Result >= 0 || errno != EINTR)
            return Result;
    }
}

// A new file beside the target; removed again unless it took the target's place.
class TTemporaryFile {
public:
    explicit TTemporaryFile(const std::string& Target) : FTarget(Target) {
        static std::atomic<unsigned> Counter{0};
        do {
            FPath = Target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(++Counter);
            FFd = ::open(FPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        } while (FFd < 0 && errno == EEXIST);
        if (FFd < 0)
            Raise("Cannot write", FTarget, errno);
    }
    ~TTemporaryFile() {
        if (FFd >= 0)
            ::close(FFd);
        if (!FCommitted)
            ::unlink(FPath.c_str());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    void Write(std::string_view Bytes) {
        while (!Bytes.empty()) {
            const ssize_t Count = Retry([&] { return ::write(FFd, Bytes.data(), Bytes.size()); });
            if (Count < 0)
                Raise("Cannot write", FTarget, errno);
            Bytes.remove_prefix(static_cast<std::size_t>(Count));
        }
    }

    // Gives the file the target's permissions, brings it to the disk and puts it in its place.
    void Commit(const struct stat* Original) {
        if (Original)
            ::fchmod(FFd, Original->st_mode & 07777);
        const int Closing = std::exchange(FFd, -1);
        if (::fsync(Closing) != 0) {
            const int Error = errno;
            ::close(Closing);
            Raise("Cannot write", FTarget, Error);
        }
        if (::close(Closing) != 0 || ::rename(FPath.c_str(), FTarget.c_str()) != 0)
            Raise("Cannot write", FTarget, errno);
        FCommitted = true;
    }

private:
    std::string FTarget;
    std::string FPath;
    int FFd = -1;
    bool FCommitted = false;
};

std::string FollowLink(const std::string& Path) {
    std::error_code Error;
    if (!std::filesystem::is_symlink(Path, Error))
        return Path;
    const std::filesystem::path Target = std::filesystem::weakly_canonical(Path, Error);
    return Error ? Path : Target.string();
}

// The rename must reach the disk as well; a folder that cannot be synchronised still holds it.
void SyncFolderOf(const std::string& Path) {
    const std::filesystem::path Folder = std::filesystem::path(Path).parent_path();
    const int Fd =
        ::open(Folder.empty() ? "." : Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Fd >= 0) {
        ::fsync(Fd);
        ::close(Fd);
    }
}

} // namespace

std::string ReadFileBytes(const std::string& Path) {
    const int Fd = Retry([&] { return ::open(Path.c_str(), O_RDONLY | O_CLOEXEC); });
    if (Fd < 0)
        Raise("Cannot open", Path, errno);
    std::string Bytes;
    char Buffer[65536];
    ssize_t Count;
    while ((Count = Retry([&] { return ::read(Fd, Buffer, sizeof Buffer); })) > 0)
        Bytes.append(Buffer, static_cast<std::size_t>(Count));
    const int Error = errno;
    ::close(Fd);
    if (Count < 0)
        Raise("Cannot read", Path, Error);
    return Bytes;
}

void WriteFileAtomically(const std::string& Path, std::string_view Bytes) {
    const std::string Target = FollowLink(Path);
    struct stat Original {};
    const bool Exists = ::stat(Target.c_str(), &Original) == 0;
    if (Exists && (Original.st_mode & 0222) == 0)
        Raise("Cannot write", Target, EACCES);
    TTemporaryFile Temporary(Target);
    Temporary.Write(Bytes);
    Temporary.Commit(Exists ? &Original : nullptr);
    SyncFolderOf(Target);
}

} // namespace platform
