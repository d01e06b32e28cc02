#include "platform/IniFile.h"

#include "platform/NumberFormats.h"

// Only the narrow UTF-8 form is used; without a wide-character converter, sections and keys
// are compared with ASCII letters folded, like the platform's private-profile files. The
// library's code is compiled here, from its header, so that nothing needs to be linked.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

[[noreturn]] void RaiseFileError(const std::string& What, const std::string& Path, int Error) {
    throw EIniFileError(What + " '" + Path + "': " + std::system_category().message(Error));
}

// Closes a descriptor on every way out of a function.
class TFd {
public:
    explicit TFd(int Fd) : FFd(Fd) {}
    ~TFd() {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }
    int Release() { return std::exchange(FFd, -1); }

private:
    int FFd;
};

// The file's bytes, or nothing when there is no such file.
std::optional<std::string> ReadWholeFile(const std::string& Path) {
    const TFd Fd(::open(Path.c_str(), O_RDONLY | O_CLOEXEC));
    if (Fd.Get() < 0 && (errno == ENOENT || errno == ENOTDIR))
        return std::nullopt;
    if (Fd.Get() < 0)
        RaiseFileError("Cannot read file", Path, errno);
    std::string Text;
    char Buffer[8192];
    for (;;) {
        const ssize_t Count = ::read(Fd.Get(), Buffer, sizeof Buffer);
        if (Count < 0 && errno == EINTR)
            continue;
        if (Count < 0)
            RaiseFileError("Cannot read file", Path, errno);
        if (Count == 0)
            return Text;
        Text.append(Buffer, static_cast<std::size_t>(Count));
    }
}

// Written like the platform's private-profile files: "key=value", no blanks around "=".
void LoadIni(const std::string& Path, CSimpleIniA& Ini) {
    Ini.SetSpaces(false);
    const std::optional<std::string> Text = ReadWholeFile(Path);
    if (Text && Ini.LoadData(*Text) < 0)
        throw EIniFileError("Cannot read file '" + Path + "': out of memory");
}

void WriteAll(int Fd, std::string_view Data, const std::string& Path) {
    while (!Data.empty()) {
        const ssize_t Count = ::write(Fd, Data.data(), Data.size());
        if (Count < 0 && errno == EINTR)
            continue;
        if (Count < 0)
            RaiseFileError("Cannot write file", Path, errno);
        Data.remove_prefix(static_cast<std::size_t>(Count));
    }
}

// A new file beside Path, with the permissions of Path when it exists.
int CreateTemporaryBeside(const std::string& Path, std::string& TempPath) {
    static std::atomic<unsigned> Counter{0};
    for (;;) {
        TempPath = Path + ".~" + std::to_string(::getpid()) + "-" + std::to_string(++Counter);
        const int Fd = ::open(TempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (Fd < 0 && errno == EEXIST)
            continue;
        if (Fd < 0)
            RaiseFileError("Cannot write file", Path, errno);
        struct stat Original {};
        if (::stat(Path.c_str(), &Original) == 0)
            ::fchmod(Fd, Original.st_mode & 07777);
        return Fd;
    }
}

// A file without any write permission is read-only for this program too, even for a user whom
// the system would let write it.
void CheckNotReadOnly(const std::string& Path) {
    struct stat Status {};
    if (::stat(Path.c_str(), &Status) == 0 && (Status.st_mode & 0222) == 0)
        RaiseFileError("Cannot write file", Path, EACCES);
}

// Readers see either the old or the new complete file, never a half-written one.
void ReplaceFile(const std::string& Path, std::string_view Data) {
    CheckNotReadOnly(Path);
    std::string TempPath;
    TFd Fd(CreateTemporaryBeside(Path, TempPath));
    try {
        WriteAll(Fd.Get(), Data, Path);
        if (::fsync(Fd.Get()) != 0 || ::close(Fd.Release()) != 0)
            RaiseFileError("Cannot write file", Path, errno);
        if (::rename(TempPath.c_str(), Path.c_str()) != 0)
            RaiseFileError("Cannot write file", Path, errno);
    } catch (...) {
        ::unlink(TempPath.c_str());
        throw;
    }
}

bool HasLineBreakOrNull(std::string_view Text) {
    return Text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool HasOuterBlank(std::string_view Text) {
    const auto IsBlank = [](char c) { return c == ' ' || c == '\t'; };
    return Text.empty() || IsBlank(Text.front()) || IsBlank(Text.back());
}

// A name that would not read back as itself: the line syntax would split, trim or swallow it.
bool IsStorableName(std::string_view Name, bool IsKey) {
    if (HasLineBreakOrNull(Name) || HasOuterBlank(Name))
        return false;
    if (!IsKey)
        return Name.find(']') == std::string_view::npos;
    return Name.find('=') == std::string_view::npos &&
           std::string_view(";#[").find(Name.front()) == std::string_view::npos;
}

void CheckStorable(const std::string& Path, const std::string& Section, const std::string* Ident,
                   const std::string* Value) {
    const char* Problem = nullptr;
    if (!IsStorableName(Section, false))
        Problem = "section name";
    else if (Ident && !IsStorableName(*Ident, true))
        Problem = "key name";
    else if (Value && HasLineBreakOrNull(*Value))
        Problem = "value with a line break";
    if (Problem)
        throw EIniFileError("Cannot write file '" + Path + "': invalid " + Problem + " in [" +
                            Section + "]" + (Ident ? " " + *Ident : std::string()));
}

// Holds an exclusive lock on the file's folder, so that writers that read, change and replace
// the file one after the other (threads or programs using this class) do not lose each other's
// keys. The folder is locked, not the file, because the file is replaced on every write. A
// folder that cannot be opened is not locked; writing there fails with its own message.
class TFolderLock {
public:
    explicit TFolderLock(const std::string& Path)
        : FFd(::open(FolderOf(Path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        while (FFd.Get() >= 0 && ::flock(FFd.Get(), LOCK_EX) != 0 && errno == EINTR) {
        }
    }

private:
    static std::string FolderOf(const std::string& Path) {
        const std::filesystem::path Folder = std::filesystem::path(Path).parent_path();
        return Folder.empty() ? "." : Folder.string();
    }
    TFd FFd;
};

// Reads the file as it is now, applies one change and writes the file back when the change
// reports that it changed something.
void Update(const std::string& Path, const std::function<bool(CSimpleIniA&)>& Change) {
    const TFolderLock Lock(Path);
    CSimpleIniA Ini(true);
    LoadIni(Path, Ini);
    if (!Change(Ini))
        return;
    std::string Text;
    if (Ini.Save(Text, false) < 0)
        throw EIniFileError("Cannot write file '" + Path + "': out of memory");
    ReplaceFile(Path, Text);
}

} // namespace

TIniFile::TIniFile(std::string Path) : FPath(std::move(Path)) {}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) const {
    CSimpleIniA Ini(true);
    LoadIni(FPath, Ini);
    const char* Value = Ini.GetValue(Section.c_str(), Ident.c_str(), nullptr);
    return Value ? std::string(Value) : Default;
}

int TIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) const {
    int Value = 0;
    return TryStrToInt(ReadString(Section, Ident, ""), Value) ? Value : Default;
}

bool TIniFile::SectionExists(const std::string& Section) const {
    CSimpleIniA Ini(true);
    LoadIni(FPath, Ini);
    return Ini.SectionExists(Section.c_str());
}

bool TIniFile::ValueExists(const std::string& Section, const std::string& Ident) const {
    CSimpleIniA Ini(true);
    LoadIni(FPath, Ini);
    return Ini.KeyExists(Section.c_str(), Ident.c_str());
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident,
                           const std::string& Value) {
    CheckStorable(FPath, Section, &Ident, &Value);
    Update(FPath, [&](CSimpleIniA& Ini) {
        return Ini.SetValue(Section.c_str(), Ident.c_str(), Value.c_str()) >= 0;
    });
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

void TIniFile::AddSection(const std::string& Section) {
    CheckStorable(FPath, Section, nullptr, nullptr);
    Update(FPath, [&](CSimpleIniA& Ini) {
        return !Ini.SectionExists(Section.c_str()) &&
               Ini.SetValue(Section.c_str(), nullptr, nullptr) >= 0;
    });
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    Update(FPath, [&](CSimpleIniA& Ini) { return Ini.Delete(Section.c_str(), Ident.c_str()); });
}

void TIniFile::EraseSection(const std::string& Section) {
    Update(FPath, [&](CSimpleIniA& Ini) { return Ini.Delete(Section.c_str(), nullptr); });
}

} // namespace platform
