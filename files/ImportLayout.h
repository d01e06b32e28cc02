#pragma once

// Where an imported file's table is: its separator, its header row and the column of speeds, with
// the units that the header and the lines before it name.
#include "files/ImportText.h"

#include <optional>
#include <string>
#include <string_view>

namespace importfile {

struct TLayout {
    char Separator = '\0';
    std::size_t RowsStart = 0; // where the rows under the header begin
    TFields Header;
    std::size_t SpeedColumn = 0;
    std::string HeaderUnit;    // the unit that the speed column's header names, if any
    std::string UnitsLineUnit; // the unit that a units line before the header names, if any
};

// The first column of Header whose name, without its unit, IsName takes.
std::optional<std::size_t> FindColumn(const TFields& Header, bool (*IsName)(std::string_view));

// The header row (the first line in which a field names a speed) with its separator; the lines
// before it are device, title and summary lines, of which a units line tells the speed unit.
std::optional<TLayout> FindLayout(std::string_view Text);

} // namespace importfile
