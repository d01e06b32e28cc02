#pragma once

// Files that keep what they are given through a crash or a power cut: a journal that only grows,
// each addition on the disk before the call returns, and the small facts a program needs about
// the files beside it. None follows a symbolic link. Failures raise std::system_error naming the
// file.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Makes Path an empty file that only its owner may read and write, unless something has that
// name already; a file of the owner's that others may read is made the owner's alone. False when
// that cannot be done (a read-only folder, a link): opening the file then tells what is wrong.
bool MakePrivateFile(const std::string& Path);

// The size, modification time and identity of the file Path, as a text that changes whenever
// the file is written or replaced; empty when there is no such file.
std::string FileIdentity(const std::string& Path);

// Whether Path is a file with at least one byte in it.
bool FileHasBytes(const std::string& Path);

// Whether something other than a regular file (a link, a folder, a FIFO, a device) has the name
// Path.
bool OtherThanAFile(const std::string& Path);

// The names (without the folder) in Folder that begin with Prefix; none when the folder cannot
// be read.
std::vector<std::string> FilesStartingWith(const std::string& Folder, const std::string& Prefix);

// Removes the file Path, and makes the removal last through a power cut; a missing file is no
// error.
void RemoveDurably(const std::string& Path);

// A file that only grows: created owner-only when missing (its name reaches the disk with it),
// added to at its end, and every addition on the disk when Append returns.
class TAppendFile {
public:
    explicit TAppendFile(const std::string& Path);
    ~TAppendFile();
    TAppendFile(const TAppendFile&) = delete;
    TAppendFile& operator=(const TAppendFile&) = delete;

    const std::string& Path() const { return FPath; }
    // Adds Bytes; should that fail, the file is cut back to where it was, so that no part of
    // them is left for the next addition to follow.
    void Append(std::string_view Bytes);
    // Cuts the file to its first Length bytes.
    void Truncate(std::size_t Length);

private:
    std::string FPath;
    int FFd = -1;
};

} // namespace platform
