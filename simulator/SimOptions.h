#pragma once

// The command line of the chronograph simulator.

#include "simulator/RecordGenerator.h"
#include "simulator/Sender.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace chronosim {

// A command line that cannot be followed; the message says which option and why.
class EUsageError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

struct TSimOptions {
    TRecordOptions Records;
    TSendOptions Sending;
    std::string Device; // empty: a new pseudo-terminal pair
    int Baud = 19200;
    bool WaitForReader = false;
    std::string TimestampsFile;
    bool Help = false;
};

// Args without the program name. Without --seed, a seed from the system's random source.
TSimOptions ParseSimOptions(const std::vector<std::string>& Args);

std::string UsageText();

} // namespace chronosim
