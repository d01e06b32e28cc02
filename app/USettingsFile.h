#pragma once

// settings.ini: the settings that the program keeps between runs. Reading and writing never
// fail: a file that cannot be read or written leaves the program with the values it has.

#include <string>

// The settings and their values before any settings file is read.
struct TSettings {
    int Language = 9;
    bool Imperial = false;
    double PeletWeight = 0.547;
    double SpeedLimit = 999999;
    double EnergyLimit = 999999;
    int ColumnWidth1 = 80;
    int ColumnWidth2 = 80;

    bool operator==(const TSettings&) const = default;
};

// Reads the keys into Settings when the file exists; otherwise Settings stays as it is. A key
// that is absent or not a number gives its default ("pelet-weight" 0, the limits 999999, the
// widths 80, "language" its current value). An error stops the reading; the keys not yet read
// keep their values.
void ReadSettingsFile(const std::string& FileName, TSettings& Settings);

// Writes every key; "units" only when SpeedUnit is "m/s" or "fps". The file is replaced once,
// with all keys written: an error, or the program's end, while it writes leaves the file as it
// was; the other keys of the file stay.
void WriteSettingsFile(const std::string& FileName, const TSettings& Settings,
                       const std::string& SpeedUnit);
