#pragma once

// The speeds of an imported file: a speed cell read as its number and unit, and the roles of the
// decimal separators decided over the whole column of shots.
#include "series/UData.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace importfile {

// An unsigned decimal number as a file writes it, with "." or "," as the decimal separator.
// Where both appear, the last is the decimal separator and the other groups the digits by threes
// before it. A lone separator before exactly three digits that follow one to three others
// ("1,050", "175.523") may mark decimals or group thousands: TSeparatorRoles decides.
struct TWrittenSpeed {
    double Speed = 0;              // read with the lone or last separator marking decimals
    char Decimal = '\0';           // the separator that marks decimals beyond doubt, if any
    char Grouping = '\0';          // the separator that groups digits beyond doubt, if any
    char Ambiguous = '\0';         // the lone separator that may do either, if any
    std::size_t LeadingDigits = 0; // the digits before the Ambiguous separator
    double Grouped = 0;            // the speed with the Ambiguous separator grouping thousands
};

// A speed cell: the number, and the unit written after it, if any ("175.5 m/s").
struct TSpeedCell {
    std::string_view Number;
    TWrittenSpeed Speed;
    std::string_view Unit;
};

std::optional<TSpeedCell> ReadSpeedCell(std::string_view Field);

// Whether a separator that may mark decimals or group thousands does either, decided over the
// whole column of shots. What the shots show beyond doubt rules: a separator that marks decimals
// in one speed ("175,52") marks them in all and the other one groups thousands, and the other way
// round. Where nothing shows it, the speeds do: read as decimals "1,050" is a speed of about 1,
// which no chronograph measures, and read as thousands "175,523" is one of 175,523, which no shot
// reaches; so one digit before the separator means thousands and two or three mean decimals
// (Excel writes "#,##0" columns as "998" and "1,050"). A column in which these disagree is refused
// rather than guessed.
class TSeparatorRoles {
public:
    // Takes a speed that became the shot at ShotIndex.
    void Note(const TSpeedCell& Cell, std::size_t ShotIndex);

    // Gives the speeds whose separator groups thousands their value.
    void Apply(std::vector<TData>& Shots, const std::string& SourceName) const;

private:
    struct TUses {
        bool Decimal = false;
        bool Grouping = false;
        bool OneLeadingDigit = false;
        bool MoreLeadingDigits = false;
        std::string Example; // the first speed in which the separator may do either
        std::vector<std::pair<std::size_t, double>> Grouped; // shots read with thousands
    };

    TUses& Of(char Separator) { return Separator == '.' ? FPoint : FComma; }
    const TUses& Of(char Separator) const { return Separator == '.' ? FPoint : FComma; }

    bool GroupsThousands(char Separator, const std::string& SourceName) const;

    TUses FPoint;
    TUses FComma;
};

} // namespace importfile
