#pragma once

// What the kernel tells of this process, for the stress tests and benchmarks that watch its
// memory.

#include <cstdlib>
#include <fstream>
#include <string>

namespace tests {

// A line of /proc/self/status in KiB ("VmRSS", "VmHWM"), 0 when the kernel has none.
inline long StatusKiB(const std::string& Field) {
    std::ifstream Status("/proc/self/status");
    for (std::string Line; std::getline(Status, Line);)
        if (Line.starts_with(Field + ":"))
            return std::atol(Line.c_str() + Field.size() + 1);
    return 0;
}

} // namespace tests
