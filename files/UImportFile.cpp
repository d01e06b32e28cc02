#include "files/UImportFile.h"

#include "files/ImportLayout.h"
#include "files/ImportMessages.h"
#include "files/ImportNames.h"
#include "files/ImportNumbers.h"
#include "files/ImportShotTable.h"
#include "files/ImportText.h"
#include "files/UDataFile.h"
#include "platform/FileIO.h"
#include "platform/NumberFormats.h"

#include <algorithm>
#include <optional>

using namespace importfile;

namespace {

// A column of units right beside the speeds gives each row its own unit, as in TARVEX's own
// files ("speed;speed_unit").
std::optional<std::size_t> UnitColumn(const TFields& Header, std::size_t SpeedColumn) {
    const std::size_t Column = SpeedColumn + 1;
    if (Column < Header.size() &&
        IsOneOf(ComparableName(Header[Column]),
                {"SPEED_UNIT", "SPEED UNIT", "UNIT", "UNITS", "EINHEIT", "JEDNOTKA"}))
        return Column;
    return std::nullopt;
}

// The fields up to the last one that is not blank.
std::size_t FilledFields(const TFields& Fields) {
    std::size_t Count = Fields.size();
    while (Count > 0 && Trimmed(Fields[Count - 1]).empty())
        --Count;
    return Count;
}

// Reads the rows under the header into shots, with the unit each takes.
class TRowReader {
public:
    TRowReader(const TLayout& Layout, const std::string& DisplaySpeedUnit,
               const std::string& SourceName)
        : FLayout(Layout), FSourceName(SourceName),
          FUnitColumn(UnitColumn(Layout.Header, Layout.SpeedColumn)),
          FHeaderFields(FilledFields(Layout.Header)), FTable(Layout.Header, Layout.SpeedColumn) {
        if (!Layout.HeaderUnit.empty())
            SetColumnUnit(Layout.HeaderUnit);
        else
            FUnit = ShotUnitOrFail(
                Layout.UnitsLineUnit.empty() ? DisplaySpeedUnit : Layout.UnitsLineUnit, SourceName);
    }

    void Read(const TFields& Row) {
        if (IsBlank(Row))
            return FTable.PassBlankRow();
        if (!FTable.Started() && ReadUnitsRow(Row))
            return;
        std::optional<TSpeedCell> Cell;
        if (FLayout.SpeedColumn < Row.size())
            Cell = ReadSpeedCell(Row[FLayout.SpeedColumn]);
        if (Cell && MayHoldSplitDecimal(Row)) {
            ++FSplitRows;
            Cell.reset();
        }
        if (!FTable.Admits(Row, Cell.has_value())) {
            ++FSeries.SkippedLines;
            return;
        }
        FRoles.Note(*Cell, FSeries.Shots.size());
        FSeries.Shots.emplace_back(UnitOf(Row, *Cell), Cell->Speed.Speed);
    }

    TImportedSeries Finish() {
        if (FSeries.Shots.empty() && FSplitRows > 0)
            throw EImportError(DecimalCommaClash, {FSourceName});
        if (FSeries.Shots.empty())
            throw EImportError(NoShot,
                               {FileText(FLayout.Header[FLayout.SpeedColumn]), FSourceName});
        FRoles.Apply(FSeries.Shots, FSourceName);
        return std::move(FSeries);
    }

private:
    // A row under the header whose speed cell is a unit ("m/s", "[fps]") tells the unit of the
    // column.
    bool ReadUnitsRow(const TFields& Row) {
        if (FLayout.SpeedColumn >= Row.size())
            return false;
        const std::optional<std::string_view> Unit = UnitInBrackets(Row[FLayout.SpeedColumn]);
        if (Unit)
            SetColumnUnit(*Unit);
        return Unit.has_value();
    }

    void SetColumnUnit(std::string_view UnitText) {
        const std::string Unit = ShotUnitOrFail(UnitText, FSourceName);
        if (!FColumnUnitText.empty() && Unit != FUnit)
            throw EImportError(UnitsDisagree,
                               {FSourceName, FileText(FColumnUnitText), FileText(UnitText)});
        FUnit = Unit;
        FColumnUnitText = UnitText;
    }

    // In a comma-separated file a decimal comma splits a number into two fields ("175,5"), which
    // moves every later field one column on. A row with more fields than the header names, in
    // which a number is followed by a field of digits up to where the speed may have moved, may
    // be such a row: its speed cannot be trusted.
    bool MayHoldSplitDecimal(const TFields& Row) const {
        if (FLayout.Separator != ',')
            return false;
        const std::size_t Fields = FilledFields(Row);
        if (Fields <= FHeaderFields)
            return false;
        const std::size_t Last = std::min(FLayout.SpeedColumn + Fields - FHeaderFields, Fields - 1);
        for (std::size_t Column = 1; Column <= Last; ++Column) {
            const std::string_view Before = Trimmed(Row[Column - 1]);
            if (!Before.empty() && IsDigit(Before.back()) && AllDigits(Trimmed(Row[Column])))
                return true;
        }
        return false;
    }

    std::string UnitOf(const TFields& Row, const TSpeedCell& Cell) const {
        if (FUnitColumn && *FUnitColumn < Row.size() && !Trimmed(Row[*FUnitColumn]).empty())
            return ShotUnitOrFail(Trimmed(Row[*FUnitColumn]), FSourceName);
        return Cell.Unit.empty() ? FUnit : ShotUnitOrFail(Cell.Unit, FSourceName);
    }

    const TLayout& FLayout;
    const std::string& FSourceName;
    std::optional<std::size_t> FUnitColumn;
    std::size_t FHeaderFields;
    std::string FUnit;           // of the rows that do not name their own
    std::string FColumnUnitText; // as the header or a units row names it, if either does
    TShotTable FTable;
    TSeparatorRoles FRoles;
    TImportedSeries FSeries;
    int FSplitRows = 0;
};

// The format functions take a fixed list; a pattern leaves the arguments it does not name unused.
std::string FillIn(std::string_view Pattern, const std::vector<std::string>& Arguments) {
    const auto At = [&Arguments](std::size_t Index) {
        return Index < Arguments.size() ? Arguments[Index] : std::string();
    };
    return platform::Format(Pattern, {At(0), At(1), At(2)});
}

// The bytes of a file the user picked, which may be anything.
std::string ReadImportFile(const std::string& FileName) {
    try {
        return platform::ReadRegularFileBytes(FileName, MaxSeriesFileBytes);
    } catch (const platform::EFileRefused& Refused) {
        if (Refused.Reason() == platform::EFileRefused::NotRegularFile)
            throw EImportError(NotAFile, {FileName});
        constexpr std::uintmax_t Megabyte = 1 << 20;
        throw EImportError(TooLarge,
                           {FileName, std::to_string((Refused.Size() + Megabyte - 1) / Megabyte)});
    }
}

} // namespace

EImportError::EImportError(std::string Pattern, std::vector<std::string> Arguments)
    : std::runtime_error(FillIn(Pattern, Arguments)), FPattern(std::move(Pattern)),
      FArguments(std::move(Arguments)) {}

std::string EImportError::FilledIn(std::string_view TranslatedPattern) const {
    return FillIn(TranslatedPattern, FArguments);
}

TImportedSeries ImportSeries(const std::string& FileName, const std::string& DisplaySpeedUnit) {
    return ImportSeriesText(ReadImportFile(FileName), DisplaySpeedUnit, FileName);
}

TImportedSeries ImportSeriesText(std::string_view Bytes, const std::string& DisplaySpeedUnit,
                                 const std::string& SourceName) {
    std::string Storage;
    const std::string_view Text = DecodedText(Bytes, Storage);
    const std::optional<TLayout> Layout = FindLayout(Text);
    if (!Layout)
        throw EImportError(NoSpeedColumn, {SourceName});
    TRowReader Reader(*Layout, DisplaySpeedUnit, SourceName);
    TFields Row;
    for (std::size_t Pos = Layout->RowsStart; Pos < Text.size();) {
        ReadRecord(Text, Pos, Layout->Separator, Row);
        Reader.Read(Row);
    }
    return Reader.Finish();
}
