#pragma once

// Shot data files: ";"-separated text with "." as the decimal point whatever the locale. A file
// holds one shot a line under the header
//   speed;speed_unit;energy;energy_unit;pelet_weight;pelet_weight_unit
// The reader is lenient: it takes bare numbers, files without a header, another header on the
// first line, comment lines of other tools, blanks anywhere and CR, LF or CR LF line ends.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Far more than any series of shots takes, and little enough to hold in memory: the largest data
// file or import that is read.
inline constexpr std::uintmax_t MaxSeriesFileBytes = std::uintmax_t{64} << 20;

// The texts of one table row as the table shows them ("#####0.00" with the locale's decimal
// separator), or empty.
struct TTableRow {
    std::string Speed;
    std::string Energy;
};

// Writes the header and one line a row. The old file is replaced only once the new one is
// complete on disk; a failure leaves it as it was and raises std::runtime_error naming the file
// and the system's reason.
void SaveDataFile(const std::string& FileName, const std::vector<TTableRow>& Rows,
                  const std::string& SpeedUnit, const std::string& EnergyUnit,
                  const std::string& WeightText, const std::string& WeightUnit);

// Reads the speeds of the file and hands each to AddShot with the unit of its line, or with
// SpeedUnit when the file has no unit column; Log receives the diagnostic lines. A speed that is
// not a number, outside a first-line header, stops the reading with std::runtime_error
// ("String \"abc\" is not valid number."); the shots before it have been added. Errors of the
// header map (a header without "speed", a column named twice) pass on as they are. A file that
// cannot be read raises std::runtime_error naming the file and the system's reason; so does a
// name that is not a regular file (a FIFO, a device) or a file larger than MaxSeriesFileBytes,
// before anything waits or fills the memory.
void LoadDataFile(const std::string& FileName, const std::string& SpeedUnit,
                  const std::function<void(const std::string& Unit, double Speed)>& AddShot,
                  const std::function<void(const std::string&)>& Log);
