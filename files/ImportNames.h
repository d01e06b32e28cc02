#pragma once

// The names that the import reader recognises in a file: of the speed and shot-number columns, of
// speed units, and the units that header fields and units lines name.
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace importfile {

// A name as names are compared: ASCII letters upper-cased, blanks trimmed and each run of blanks
// one space, each run of other bytes one "?". An accented letter is one "?" in UTF-8 and in the
// single-byte encodings alike, so "Mündung" compares equal in all of them and "Ø Speed" stays
// apart from "Speed".
std::string ComparableName(std::string_view Name);

bool IsOneOf(const std::string& Name, std::initializer_list<std::string_view> Names);

bool IsSpeedName(std::string_view Name);

// Shot numbers in English, German and Czech, whose rows are shots only where they hold a number.
bool IsShotNumberName(std::string_view Name);

// A known speed unit, or letters around a slash ("m/min", "yd/s"): such a text in brackets is a
// unit, which is refused unless it is m/s or fps, never a remark to pass over.
bool LooksLikeSpeedUnit(std::string_view Text);

// The unit that "m/s", "[m/s]" or "(fps)" names, or nothing for a text that names none.
std::optional<std::string_view> UnitInBrackets(std::string_view Text);

// The shot unit ("m/s" or "fps") that UnitText names; raises EImportError for any other unit.
std::string ShotUnitOrFail(std::string_view UnitText, const std::string& SourceName);

struct TNameAndUnit {
    std::string_view Name;
    std::string_view Unit;
};

// "Speed (m/s)", "Rychlost [m/s]", "Velocity ft/s", "Speed, m/s": the name and the unit that a
// header field adds to it, if any. Other text in brackets is a remark ("Speed (mean of 3)") and
// left out of the name.
TNameAndUnit SplitUnit(std::string_view Field);

// "Units velocity;fps", "Velocity unit: m/s", "Units;ft/s": the speed unit that a line before the
// header names, or nothing when it is no units line.
std::string UnitOfUnitsLine(std::string_view Line);

} // namespace importfile
