#pragma once

// The program's command line.

#include <string>
#include <vector>

struct TCommandLine {
    bool Help = false;
    bool Version = false;
    bool Debug = false;
    bool Simulate = false;
};

// Any argument that is not an option of the program is ignored, as it always was.
TCommandLine ParseCommandLine(const std::vector<std::string>& Arguments);

std::string UsageText();
std::string VersionText();
