// Writes the two alternating sets of settings into the settings file named on the command line,
// one after the other, until it is killed; after each complete write it prints the number of
// writes so far.

#include "platform/FormatSettings.h"
#include "tests/app/AlternatingSettings.h"

#include <cstdio>

int main(int Count, char** Arguments) {
    if (Count != 2)
        return 2;
    platform::TFormatSettings Point = platform::FormatSettings();
    Point.DecimalSeparator = ".";
    Point.ThousandSeparator = "";
    platform::SetFormatSettings(Point);
    for (unsigned long Writes = 1;; ++Writes) {
        const TSettings& Settings = AlternatingSettings[Writes % 2];
        WriteSettingsFile(Arguments[1], Settings, SpeedUnitOf(Settings));
        std::printf("%lu\n", Writes);
        std::fflush(stdout);
    }
}
