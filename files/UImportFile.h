#pragma once

// Series that other chronograph programs and spreadsheets wrote: separated text in which a header
// row names a column of speeds and the rows under it hold the shots, among the device lines, units
// lines, summary lines and blank lines that devices and spreadsheets put around them.
//
// The reader takes ";", "," or tab as the separator (a spreadsheet's "sep=" line names it, else the
// header row shows it), fields in double quotes as spreadsheets write them, UTF-8 with or without a
// byte-order mark, UTF-16 with one, and other single-byte text, whose names then compare on their
// ASCII letters. The speed unit of a row comes from a column of units beside the speeds
// ("speed;speed_unit"), else from its speed cell ("175.5 m/s"), else from a units row under the
// header (";m/s;J") or the speed column's header ("Speed (m/s)", "Velocity ft/s"), else from a
// units line before the header ("Units velocity;fps"), else it is the unit shown.
//
// A row is a shot where its speed is wholly a number and its label allows: in a table whose shots
// carry numbers or times of day, only rows that carry one; in another, the rows up to the first
// blank row or row labelled differently. Numbers whose one separator may mark decimals or group
// thousands ("1,050") are read as the whole column shows; where it does not, the file is refused.
#include "series/UData.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct TImportedSeries {
    std::vector<TData> Shots; // in file order, each in "M/S" or "FPS"
    int SkippedLines = 0;     // rows under the header that gave no shot; blank rows do not count
};

// An import that cannot give a series. Pattern is the English text with "%s" for each of the
// (at most three) Arguments, so that the window can show it translated; what() is the English text
// filled in.
class EImportError : public std::runtime_error {
public:
    EImportError(std::string Pattern, std::vector<std::string> Arguments);

    const std::string& Pattern() const { return FPattern; }
    const std::vector<std::string>& Arguments() const { return FArguments; }
    // The arguments filled into a translation of Pattern, with platform::Format.
    std::string FilledIn(std::string_view TranslatedPattern) const;

private:
    std::string FPattern;
    std::vector<std::string> FArguments;
};

// The shots of the file. Raises EImportError when the file is no regular file or too large to be
// a series, holds no column of speeds or no shot in it, speeds in a unit other than m/s and fps
// (ft/s) or numbers that cannot be read beyond doubt; a file that cannot be read raises
// std::system_error naming the file. Text from the file is quoted by its first 40 bytes.
TImportedSeries ImportSeries(const std::string& FileName, const std::string& DisplaySpeedUnit);

// The same for bytes already read; SourceName names them in the error messages.
TImportedSeries ImportSeriesText(std::string_view Bytes, const std::string& DisplaySpeedUnit,
                                 const std::string& SourceName);
