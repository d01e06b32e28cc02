#include "platform/Environment.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace platform {
namespace {

// Characters, not bytes: a UTF-8 continuation byte does not start a character.
std::size_t CharacterCount(const std::string& Text) {
    std::size_t Count = 0;
    for (const char c : Text)
        Count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return Count;
}

} // namespace

std::string GetEnvValue(const std::string& Name) {
    // getenv would match "A=B" against the variable "A" whose value starts with "B=".
    if (Name.find('=') != std::string::npos)
        return Name;
    const char* Value = std::getenv(Name.c_str());
    return Value ? std::string(Value) : Name;
}

std::string ExpandEnvPrefix(const std::string& Path) {
    if (CharacterCount(Path) < 3 || Path.front() != '%')
        return Path;
    const std::size_t Closing = Path.find('%', 1);
    if (Closing == std::string::npos)
        return GetEnvValue(Path.substr(1));
    return GetEnvValue(Path.substr(1, Closing - 1)) + Path.substr(Closing + 1);
}

std::string XdgProgramFolder(const char* Variable, const std::string& HomeFallback) {
    const char* Base = std::getenv(Variable);
    // A relative one would put the files wherever the program happens to be started.
    const std::string Folder = Base && *Base == '/' ? std::string(Base) + "/tarvex"
                                                    : ExpandEnvPrefix("%HOME%/" + HomeFallback);
    // The parents as the system makes them; the program's own folder for its user alone, since it
    // holds every shot and setting.
    std::error_code Ignored;
    std::filesystem::create_directories(std::filesystem::path(Folder).parent_path(), Ignored);
    ::mkdir(Folder.c_str(), 0700);
    return Folder;
}

std::string DataFolder() {
    return XdgProgramFolder("XDG_CONFIG_HOME", ".config/tarvex");
}

} // namespace platform
