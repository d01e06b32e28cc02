#pragma once

// Whole files read and written in one call. Failures raise std::system_error whose message
// names the file and gives the system's reason.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// A file that ReadRegularFileBytes will not read, and why; the message names the file.
class EFileRefused : public std::runtime_error {
public:
    enum TReason { NotRegularFile, TooLarge };

    EFileRefused(TReason Reason, const std::string& Path, std::uintmax_t Size);

    TReason Reason() const { return FReason; }
    // The file's size in bytes (of a file too large, at least the limit plus one).
    std::uintmax_t Size() const { return FSize; }

private:
    TReason FReason;
    std::uintmax_t FSize;
};

// Every byte of a regular file of at most MaxBytes, for files a user picks: a folder, a FIFO or a
// device is refused before it is opened, so that nothing waits for a writer or reads without end,
// and a larger file is refused before its bytes fill the memory. Both raise EFileRefused; a file
// that cannot be opened or read raises std::system_error.
std::string ReadRegularFileBytes(const std::string& Path, std::uintmax_t MaxBytes);

// Replaces the file's content with Bytes so that the file is, at every moment and after a power
// cut, either the old one or the complete new one: the bytes go to a temporary file in the same
// folder, reach the disk, and only then take the file's place. On failure the old file stays as
// it was and no temporary file is left. A link is followed and its target replaced; a file
// without any write permission is refused, as it would be refused if written in place, and so is
// anything that is not a regular file (a folder, a FIFO, a device).
void WriteFileAtomically(const std::string& Path, std::string_view Bytes);

} // namespace platform
