#include "files/ImportShotTable.h"

#include "files/ImportLayout.h"
#include "files/ImportNames.h"

#include <algorithm>

namespace importfile {
namespace {

// "12", "0012", "#12", "12.".
bool IsShotNumber(std::string_view Cell) {
    if (Cell.starts_with('#'))
        Cell.remove_prefix(1);
    if (Cell.ends_with('.'))
        Cell.remove_suffix(1);
    return AllDigits(Cell);
}

// "10:21", "10:21:07.5", "10:21:07 PM", "03.05.2024 10:21:07".
bool IsTimeOfDay(std::string_view Cell) {
    const std::string Key = ComparableName(Cell);
    std::string_view Time = Key;
    if (Time.ends_with("AM") || Time.ends_with("PM"))
        Time = Trimmed(Time.substr(0, Time.size() - 2));
    const std::size_t Colon = Time.find(':');
    return Colon != std::string_view::npos && Colon > 0 && IsDigit(Time[Colon - 1]) &&
           Colon + 1 < Time.size() && IsDigit(Time[Colon + 1]) &&
           Time.find_first_not_of("0123456789:.,-/ ") == std::string_view::npos;
}

TLabel LabelKind(std::string_view Cell) {
    Cell = Trimmed(Cell);
    if (Cell.empty())
        return TLabel::Empty;
    if (IsShotNumber(Cell) || IsTimeOfDay(Cell))
        return TLabel::Number;
    return std::any_of(Cell.begin(), Cell.end(), IsLetter) ? TLabel::Text : TLabel::Other;
}

} // namespace

TShotTable::TShotTable(const TFields& Header, std::size_t SpeedColumn)
    : FLabelColumn(FindColumn(Header, IsShotNumberName)),
      FNumbersRequired(FLabelColumn.has_value()) {
    if (!FLabelColumn && SpeedColumn != 0)
        FLabelColumn = 0;
}

bool TShotTable::Admits(const TFields& Row, bool HasSpeed) {
    const TLabel Label = LabelOf(Row);
    if (!FKind) {
        if (HasSpeed && (!FNumbersRequired || Label == TLabel::Number))
            FKind = Label;
        return FKind.has_value();
    }
    if (*FKind == TLabel::Number)
        return HasSpeed && Label == TLabel::Number;
    FEnded = FEnded || Label != *FKind;
    return HasSpeed && !FEnded;
}

TLabel TShotTable::LabelOf(const TFields& Row) const {
    return FLabelColumn && *FLabelColumn < Row.size() ? LabelKind(Row[*FLabelColumn])
                                                      : TLabel::Empty;
}

} // namespace importfile
