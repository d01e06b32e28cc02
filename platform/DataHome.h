#pragma once

// The per-user folder of the series library: data that the user keeps, not settings, so it lives
// under the XDG data home rather than beside settings.ini.

#include <string>

namespace platform {

// "$XDG_DATA_HOME/tarvex", or "$HOME/.local/share/tarvex" when XDG_DATA_HOME is unset, empty or
// relative (the XDG rules ignore a relative one), created with its parents. A folder that cannot
// be created is still returned: opening the library there fails with a message naming it.
std::string LibraryFolder();

} // namespace platform
