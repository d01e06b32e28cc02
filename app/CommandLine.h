#pragma once

// The program's command line.

#include <string>
#include <vector>

struct TCommandLine {
    bool Help = false;
    bool Version = false;
    bool Debug = false;
    bool Simulate = false;
    // The first argument that begins with "-" but is no option of the program or of Qt; empty
    // when there is none.
    std::string Unknown;
};

// Any other argument, one that does not begin with "-", is ignored, as it always was. An option
// may be given more than once.
TCommandLine ParseCommandLine(const std::vector<std::string>& Arguments);

std::string UsageText();
std::string VersionText();
