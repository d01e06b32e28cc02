#pragma once

// The process-wide separators that every number and time conversion of the program uses.

#include <string>
#include <string_view>

namespace platform {

// Each separator is one UTF-8 character; an empty separator means "none".
struct TFormatSettings {
    std::string DecimalSeparator = ".";
    std::string ThousandSeparator;
    std::string TimeSeparator = ":";

    bool operator==(const TFormatSettings&) const = default;
};

// The separators of the named locale; the empty name means the user's environment (LC_ALL,
// LC_NUMERIC, LC_TIME, LANG). A locale that is not installed gives those of the "C" locale.
TFormatSettings ReadLocaleFormatSettings(const std::string& LocaleName = "");

// The time separator of a strftime time format: its first character that is not part of a
// conversion ("%H.%M.%S" gives "."); "%T" and "%R" stand for colons.
std::string TimeSeparatorOf(std::string_view TimeFormat);

// Replaces separators that would make numbers unreadable: a blank or missing decimal separator
// becomes ".", a blank or no-break-space thousands separator becomes none.
TFormatSettings CorrectSeparators(TFormatSettings Settings);

// The separators in force, read from the user's locale on first use.
const TFormatSettings& FormatSettings();
void SetFormatSettings(const TFormatSettings& Settings);

} // namespace platform
