#include "platform/DataHome.h"

#include "platform/Environment.h"

namespace platform {

std::string LibraryFolder() {
    return XdgProgramFolder("XDG_DATA_HOME", ".local/share/tarvex");
}

} // namespace platform
