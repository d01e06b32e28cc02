#include "app/CommandLine.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace {

using TSwitch = std::pair<std::string_view, bool TCommandLine::*>;

const TSwitch Switches[] = {
    {"--help", &TCommandLine::Help},         {"-h", &TCommandLine::Help},
    {"--version", &TCommandLine::Version},   {"--debug", &TCommandLine::Debug},
    {"--simulate", &TCommandLine::Simulate},
};

// The options QApplication takes for itself, such as the "-session" a desktop restores the
// program with; Qt also accepts them with "--" and with "=value".
constexpr std::string_view QtOptions[] = {
    "-platform",      "-platformpluginpath",
    "-platformtheme", "-plugin",
    "-qmljsdebugger", "-qwindowgeometry",
    "-qwindowicon",   "-qwindowtitle",
    "-reverse",       "-session",
    "-display",       "-geometry",
    "-style",         "-stylesheet",
    "-widgetcount",   "-title",
    "-icon",          "-name",
    "-visual",        "-nograb",
    "-dograb",        "-testability",
};

bool IsQtOption(std::string_view Argument) {
    if (Argument.starts_with("--"))
        Argument.remove_prefix(1);
    return std::ranges::find(QtOptions, Argument.substr(0, Argument.find('='))) !=
           std::end(QtOptions);
}

} // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& Arguments) {
    TCommandLine Options;
    for (const std::string& Argument : Arguments) {
        const auto Switch =
            std::ranges::find(Switches, std::string_view(Argument), &TSwitch::first);
        if (Switch != std::end(Switches))
            Options.*Switch->second = true;
        else if (Argument.starts_with('-') && !IsQtOption(Argument) && Options.Unknown.empty())
            Options.Unknown = Argument;
    }
    return Options;
}

std::string UsageText() {
    return "Usage: tarvex [OPTION]...\n"
           "A companion program for air-gun chronographs: shots from the chronograph's serial\n"
           "port in a table with statistics, a chart and a full-screen read-out.\n"
           "\n"
           "  --debug      write a diagnostic log (tarvex.log in the settings folder)\n"
           "  --simulate   offer a simulated chronograph in the port list\n"
           "  --help       show this text and exit\n"
           "  --version    show the version and exit\n"
           "\n"
           "Settings and log: $XDG_CONFIG_HOME/tarvex, else ~/.config/tarvex.\n"
           "More ports: TARVEX_PORTS=/dev/pts/3:/dev/ttyS4 (device paths, colon-separated).\n";
}

std::string VersionText() {
    return std::string("TARVEX ") + TARVEX_VERSION + "\n";
}
