#include "platform/FileIO.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
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

// What a file created with the usual 0666 gets under the process's umask. The umask is read from
// the kernel's account of the process, since setting it to read it back races with other threads.
mode_t NewFileMode() {
    std::ifstream Status("/proc/self/status");
    std::string Line;
    while (std::getline(Status, Line))
        if (Line.starts_with("Umask:"))
            return 0666 & ~static_cast<mode_t>(std::stoul(Line.substr(6), nullptr, 8));
    return 0644;
}

// A new file beside the target, readable by its owner alone until it is complete, so that
// nobody reads settings or shots half-written; removed again unless it took the target's place.
class TTemporaryFile {
public:
    explicit TTemporaryFile(const std::string& Target) : FTarget(Target) {
        static std::atomic<unsigned> Counter{0};
        do {
            FPath = Target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(++Counter);
            FFd = ::open(FPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
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

    // Gives the file the target's permissions, or those of a new file, brings it to the disk
    // and puts it in its place.
    void Commit(const struct stat* Original) {
        ::fchmod(FFd, Original ? Original->st_mode & 07777 : NewFileMode());
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

// A file opened for reading, closed again when it goes out of scope.
class TOpenFile {
public:
    TOpenFile(const std::string& Path, int Flags)
        : FFd(Retry([&] { return ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | Flags); })) {
        if (FFd < 0)
            Raise("Cannot open", Path, errno);
    }
    ~TOpenFile() { ::close(FFd); }
    TOpenFile(const TOpenFile&) = delete;
    TOpenFile& operator=(const TOpenFile&) = delete;

    int Fd() const { return FFd; }

private:
    int FFd;
};

// The file's bytes up to its end, but no more than Limit.
std::string ReadAll(const TOpenFile& File, const std::string& Path, std::uintmax_t Limit) {
    std::string Bytes;
    char Buffer[65536];
    while (Bytes.size() < Limit) {
        const auto Wanted =
            static_cast<std::size_t>(std::min<std::uintmax_t>(sizeof Buffer, Limit - Bytes.size()));
        const ssize_t Count = Retry([&] { return ::read(File.Fd(), Buffer, Wanted); });
        if (Count < 0)
            Raise("Cannot read", Path, errno);
        if (Count == 0)
            break;
        Bytes.append(Buffer, static_cast<std::size_t>(Count));
    }
    return Bytes;
}

void RefuseUnsuitable(const struct stat& Info, const std::string& Path, std::uintmax_t MaxBytes) {
    if (!S_ISREG(Info.st_mode))
        throw EFileRefused(EFileRefused::NotRegularFile, Path, 0);
    if (static_cast<std::uintmax_t>(Info.st_size) > MaxBytes)
        throw EFileRefused(EFileRefused::TooLarge, Path, static_cast<std::uintmax_t>(Info.st_size));
}

std::string RefusalMessage(EFileRefused::TReason Reason, const std::string& Path,
                           std::uintmax_t Size) {
    const std::string Start = "Cannot read file '" + Path + "': ";
    if (Reason == EFileRefused::NotRegularFile)
        return Start + "it is not a regular file";
    return Start + "it is too large (" + std::to_string(Size) + " bytes)";
}

} // namespace

EFileRefused::EFileRefused(TReason Reason, const std::string& Path, std::uintmax_t Size)
    : std::runtime_error(RefusalMessage(Reason, Path, Size)), FReason(Reason), FSize(Size) {}

std::string ReadRegularFileBytes(const std::string& Path, std::uintmax_t MaxBytes) {
    struct stat Info {};
    if (::stat(Path.c_str(), &Info) != 0)
        Raise("Cannot open", Path, errno);
    RefuseUnsuitable(Info, Path, MaxBytes);
    // Something else may have taken the file's place since: opened without waiting, it is
    // checked again before a byte is read.
    const TOpenFile File(Path, O_NONBLOCK | O_NOCTTY);
    if (::fstat(File.Fd(), &Info) != 0)
        Raise("Cannot read", Path, errno);
    RefuseUnsuitable(Info, Path, MaxBytes);
    // One byte more than allowed tells that the file grew past the limit since.
    std::string Bytes = ReadAll(File, Path, std::max(MaxBytes, MaxBytes + 1));
    if (Bytes.size() > MaxBytes)
        throw EFileRefused(EFileRefused::TooLarge, Path, Bytes.size());
    return Bytes;
}

void WriteFileAtomically(const std::string& Path, std::string_view Bytes) {
    const std::string Target = FollowLink(Path);
    struct stat Original {};
    const bool Exists = ::stat(Target.c_str(), &Original) == 0;
    // A link to a device or a FIFO must not make its target a file, whoever runs the program.
    if (Exists && S_ISDIR(Original.st_mode))
        Raise("Cannot write", Target, EISDIR);
    if (Exists && !S_ISREG(Original.st_mode))
        throw std::system_error(EINVAL, std::system_category(),
                                "Cannot write file '" + Target + "': it is not a regular file");
    if (Exists && (Original.st_mode & 0222) == 0)
        Raise("Cannot write", Target, EACCES);
    TTemporaryFile Temporary(Target);
    Temporary.Write(Bytes);
    Temporary.Commit(Exists ? &Original : nullptr);
    SyncFolderOf(Target);
}

} // namespace platform
