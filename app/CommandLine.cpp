#include "app/CommandLine.h"

TCommandLine ParseCommandLine(const std::vector<std::string>& Arguments) {
    TCommandLine Options;
    for (const std::string& Argument : Arguments) {
        Options.Help = Options.Help || Argument == "--help" || Argument == "-h";
        Options.Version = Options.Version || Argument == "--version";
        Options.Debug = Options.Debug || Argument == "--debug";
        Options.Simulate = Options.Simulate || Argument == "--simulate";
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
