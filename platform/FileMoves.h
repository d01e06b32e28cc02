#pragma once

// Files renamed within their folder, for putting a damaged file aside under a new name.

#include <string>

namespace platform {

// Whether anything (a file, a folder, a dangling link) has the name Path.
bool PathExists(const std::string& Path);

// Renames From to To, which must not exist yet, so that nothing is ever replaced; false when From
// does not exist. Any other failure raises std::system_error naming both files.
bool MoveIfPresent(const std::string& From, const std::string& To);

} // namespace platform
