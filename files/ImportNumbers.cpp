#include "files/ImportNumbers.h"

#include "files/ImportMessages.h"
#include "files/ImportNames.h"
#include "files/ImportText.h"
#include "files/UImportFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace importfile {
namespace {

// The digits of an integer part, which may group them by threes from the right ("1.234",
// "12,345,678").
bool IntegerDigits(std::string_view Integer, char Grouping, std::string& Digits) {
    if (Integer.find(Grouping) == std::string_view::npos) {
        Digits = Integer;
        return AllDigits(Integer);
    }
    for (std::size_t FromRight = 0; FromRight < Integer.size(); ++FromRight) {
        const char C = Integer[Integer.size() - 1 - FromRight];
        const bool Valid =
            FromRight % 4 == 3 ? C == Grouping && FromRight + 1 < Integer.size() : IsDigit(C);
        if (!Valid)
            return false;
    }
    std::copy_if(Integer.begin(), Integer.end(), std::back_inserter(Digits), IsDigit);
    return true;
}

std::optional<double> PlainNumber(const std::string& Plain) {
    double Value = 0;
    const char* End = Plain.data() + Plain.size();
    const auto [Stop, Error] = std::from_chars(Plain.data(), End, Value);
    if (Error != std::errc() || Stop != End || !std::isfinite(Value))
        return std::nullopt;
    return Value;
}

// Sets how Integer, Separator and Fraction (the digits after it) use the separator.
void ClassifySeparator(std::string_view Integer, char Separator, std::string_view Fraction,
                       char Other, TWrittenSpeed& Written) {
    if (Integer.find(Other) != std::string_view::npos) {
        Written.Decimal = Separator;
        Written.Grouping = Other;
    } else if (Fraction.size() == 3 && Integer.size() <= 3 && Integer.front() != '0') {
        Written.Ambiguous = Separator;
        Written.LeadingDigits = Integer.size();
        const std::optional<double> Grouped = PlainNumber(std::string(Integer) += Fraction);
        Written.Grouped = Grouped.value_or(0);
    } else {
        Written.Decimal = Separator;
    }
}

std::optional<TWrittenSpeed> ReadNumber(std::string_view Text) {
    const std::size_t Point = Text.find_last_of(".,");
    const char Other = Point != std::string_view::npos && Text[Point] == '.' ? ',' : '.';
    std::string Plain;
    if (!IntegerDigits(Text.substr(0, Point), Other, Plain))
        return std::nullopt;
    TWrittenSpeed Written;
    if (Point != std::string_view::npos) {
        const std::string_view Fraction = Text.substr(Point + 1);
        if (!AllDigits(Fraction))
            return std::nullopt;
        ClassifySeparator(Text.substr(0, Point), Text[Point], Fraction, Other, Written);
        (Plain += '.') += Fraction;
    }
    const std::optional<double> Speed = PlainNumber(Plain);
    if (!Speed)
        return std::nullopt;
    Written.Speed = *Speed;
    return Written;
}

} // namespace

std::optional<TSpeedCell> ReadSpeedCell(std::string_view Field) {
    Field = Trimmed(Field);
    const auto End = std::find_if_not(Field.begin(), Field.end(),
                                      [](char C) { return IsDigit(C) || C == '.' || C == ','; });
    TSpeedCell Cell{std::string_view(Field.begin(), End), {}, Trimmed({End, Field.end()})};
    const std::optional<TWrittenSpeed> Speed = ReadNumber(Cell.Number);
    if (!Speed || (!Cell.Unit.empty() && !LooksLikeSpeedUnit(Cell.Unit)))
        return std::nullopt;
    Cell.Speed = *Speed;
    return Cell;
}

void TSeparatorRoles::Note(const TSpeedCell& Cell, std::size_t ShotIndex) {
    const TWrittenSpeed& Speed = Cell.Speed;
    if (Speed.Decimal != '\0')
        Of(Speed.Decimal).Decimal = true;
    if (Speed.Grouping != '\0')
        Of(Speed.Grouping).Grouping = true;
    if (Speed.Ambiguous == '\0')
        return;
    TUses& Uses = Of(Speed.Ambiguous);
    (Speed.LeadingDigits == 1 ? Uses.OneLeadingDigit : Uses.MoreLeadingDigits) = true;
    if (Uses.Example.empty())
        Uses.Example = Cell.Number;
    Uses.Grouped.emplace_back(ShotIndex, Speed.Grouped);
}

void TSeparatorRoles::Apply(std::vector<TData>& Shots, const std::string& SourceName) const {
    for (const char Separator : {'.', ','}) {
        const TUses& Uses = Of(Separator);
        if (Uses.Grouped.empty() || !GroupsThousands(Separator, SourceName))
            continue;
        for (const auto& [Index, Speed] : Uses.Grouped)
            Shots[Index] = TData(Shots[Index].SpeedUnit(), Speed);
    }
}

bool TSeparatorRoles::GroupsThousands(char Separator, const std::string& SourceName) const {
    const TUses& Own = Of(Separator);
    const TUses& Other = Of(Separator == '.' ? ',' : '.');
    const bool DecimalShown = Own.Decimal || Other.Grouping;
    const bool GroupingShown = Own.Grouping || Other.Decimal;
    if (DecimalShown != GroupingShown)
        return GroupingShown;
    if (!DecimalShown && Own.OneLeadingDigit != Own.MoreLeadingDigits)
        return Own.OneLeadingDigit;
    throw EImportError(AmbiguousSeparator, {SourceName, FileText(Own.Example)});
}

} // namespace importfile
