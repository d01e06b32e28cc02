#pragma once

// Environment variables and the per-user data folder that holds settings.ini and the log.

#include <string>

namespace platform {

// The variable's value, which may be empty; the name itself when no such variable is set.
std::string GetEnvValue(const std::string& Name);

// A path that begins with "%NAME%" gets the value of NAME in its place; only that one variable
// at the very start is expanded. Without a closing "%", the name runs to the end of the path.
std::string ExpandEnvPrefix(const std::string& Path);

// "$Variable/tarvex" for an XDG base folder, or "$HOME/HomeFallback" when Variable is unset, empty
// or relative, created with its parents; the folder is returned even when it cannot be created.
std::string XdgProgramFolder(const char* Variable, const std::string& HomeFallback);

// "$XDG_CONFIG_HOME/tarvex", or "$HOME/.config/tarvex" when XDG_CONFIG_HOME is unset, empty or
// relative (the XDG rules ignore a relative one), created with its parents. A folder that cannot be
// created is still returned: settings and log then fail quietly, and the program works otherwise.
std::string DataFolder();

} // namespace platform
