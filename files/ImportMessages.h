#pragma once

// What the import reader says when a file gives no series: the English patterns of its
// EImportError, which the window shows translated, and the file's text as they quote it.
#include <string>
#include <string_view>

namespace importfile {

inline constexpr const char* NoSpeedColumn = "No column of speeds was found in %s.";
inline constexpr const char* NoShot = "The column \"%s\" in %s holds no speed.";
inline constexpr const char* UnknownUnit =
    "The speeds in %s are in \"%s\": only m/s and fps (ft/s) can be imported.";
inline constexpr const char* UnitsDisagree = "The speeds in %s are marked both \"%s\" and \"%s\".";
inline constexpr const char* AmbiguousSeparator =
    "In %s it cannot be told whether the separator in speeds such as \"%s\" marks decimals or "
    "thousands.";
inline constexpr const char* DecimalCommaClash =
    "The speeds in %s have decimal commas, which cannot be told from the commas between its "
    "columns.";
inline constexpr const char* NotAFile = "%s is not a file that can be imported.";
inline constexpr const char* TooLarge = "%s is too large to be a series of shots (%s MB).";

// Text of the file quoted in a message: its blanks and line ends one space and no more than its
// start, since a cell can be megabytes long.
std::string FileText(std::string_view Text);

} // namespace importfile
