#pragma once

// settings.ini: the settings that the program keeps between runs. Reading and writing never
// fail: a file that cannot be read or written leaves the program with the values it has, and
// the diagnostic log tells why.

#include <functional>
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
    // The widest spread of speed within a fill's usable shots, in m/s and in fps: what shooters
    // usually allow within a fill.
    double UsableSpreadMetric = 3;
    double UsableSpreadImperial = 10;
    // The port at which phones read the live read-out: fixed, so that a firewall rule can name
    // it (0: any free port). The address it listens at: empty for every address of the
    // computer, or one of them (a single network, or loopback).
    int PhonePort = 8520;
    std::string PhoneAddress{};

    bool operator==(const TSettings&) const = default;
};

// Diagnostic lines: why the file was not read or not written.
using TSettingsLog = std::function<void(const std::string&)>;

// Reads the file once, when it exists, into Settings; otherwise Settings stays as it is. A key
// that is absent or not a number gives its default ("pelet-weight" 0, the limits 999999, the
// widths 80, "language" its current value, the usable spreads theirs). A file that cannot be read,
// is not a regular file or is larger than any settings file leaves Settings as it is and is logged.
void ReadSettingsFile(const std::string& FileName, TSettings& Settings,
                      const TSettingsLog& Log = {});

// Writes every key; "units" only when SpeedUnit is "m/s" or "fps", the usable spreads only when
// they differ from their defaults or the file has them already. The other keys of the file
// stay; a file that cannot be read is left alone, one that is far too large is replaced. The file
// is replaced once, complete, from a temporary file in its own folder: an error, or the program's
// end, while it writes leaves the file as it was. A failure is logged.
void WriteSettingsFile(const std::string& FileName, const TSettings& Settings,
                       const std::string& SpeedUnit, const TSettingsLog& Log = {});
