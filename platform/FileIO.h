#pragma once

// Whole files read and written in one call. Failures raise std::system_error whose message
// names the file and gives the system's reason.

#include <string>
#include <string_view>

namespace platform {

// Every byte of the file.
std::string ReadFileBytes(const std::string& Path);

// Replaces the file's content with Bytes so that the file is, at every moment and after a power
// cut, either the old one or the complete new one: the bytes go to a temporary file in the same
// folder, reach the disk, and only then take the file's place. On failure the old file stays as
// it was and no temporary file is left. A link is followed and its target replaced; a file
// without any write permission is refused, as it would be refused if written in place.
void WriteFileAtomically(const std::string& Path, std::string_view Bytes);

} // namespace platform
