#include "files/UDataFile.h"

#include "platform/FileIO.h"
#include "platform/NumberFormats.h"
#include "platform/ScopeGuard.h"
#include "text/StringUtils.h"
#include "text/UAssocArray.h"

#include <stdexcept>
#include <string_view>

namespace {

constexpr std::string_view FileHeader =
    "speed;speed_unit;energy;energy_unit;pelet_weight;pelet_weight_unit";
// The columns of a file that has no header line.
constexpr const char* BareHeader = "speed;energy;pelet_weight";
constexpr std::string_view LineEnd = "\r\n";
// Spreadsheets put it at the start of the UTF-8 files they write.
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// Files always hold "." as the decimal point and no thousands separators.
std::string ToFileNumbers(std::string Line) {
    const platform::TFormatSettings& Format = platform::FormatSettings();
    return ReplaceAll(ReplaceAll(std::move(Line), Format.ThousandSeparator, ""),
                      Format.DecimalSeparator, ".");
}

// Splits at CR, LF or CR LF: spreadsheets and older exports end their lines with any of them. A
// final line end closes the last line instead of opening an empty one.
std::vector<std::string> SplitLines(std::string_view Text) {
    if (Text.starts_with(ByteOrderMark))
        Text.remove_prefix(ByteOrderMark.size());
    std::vector<std::string> Lines;
    while (!Text.empty()) {
        const std::size_t End = std::min(Text.find_first_of("\r\n"), Text.size());
        Lines.emplace_back(Text.substr(0, End));
        const std::size_t LineEnd = Text.substr(End).starts_with("\r\n") ? 2 : 1;
        Text.remove_prefix(std::min(End + LineEnd, Text.size()));
    }
    return Lines;
}

// Reads one file line after another with the header map that the first line may replace.
class TDataFileReader {
public:
    TDataFileReader(const std::string& SpeedUnit,
                    const std::function<void(const std::string&, double)>& AddShot)
        : FSpeedUnit(SpeedUnit), FAddShot(AddShot) {
        MapHeader(BareHeader, FHeaderMap);
    }

    void ReadLine(const std::string& Line, int LineNumber) {
        const std::string Packed = ReplaceAll(Line, " ", "");
        if (Packed.empty())
            return;
        const TArrayOfString Fields = SplitText(Packed, U';');
        const std::string Speed = ReplaceAll(FieldByHeader("speed", Fields, FHeaderMap), ".",
                                             platform::FormatSettings().DecimalSeparator);
        const std::string Unit = FieldByHeader("speed_unit", Fields, FHeaderMap, FSpeedUnit);
        double Value = 0;
        if (platform::TryStrToFloat(Speed, Value))
            FAddShot(Unit, Value);
        else if (!Speed.starts_with("--") && !Speed.starts_with("nr="))
            ReadHeaderOrFail(Fields, Speed, LineNumber);
    }

private:
    void ReadHeaderOrFail(const TArrayOfString& Fields, const std::string& Speed, int LineNumber) {
        if (LineNumber != 1)
            throw std::runtime_error("String \"" + QuotedStart(Speed) + "\" is not valid number.");
        FHeaderMap = TAssocArray();
        MapHeaderFields(Fields, FHeaderMap);
    }

    const std::string& FSpeedUnit;
    const std::function<void(const std::string&, double)>& FAddShot;
    TAssocArray FHeaderMap;
};

} // namespace

void SaveDataFile(const std::string& FileName, const std::vector<TTableRow>& Rows,
                  const std::string& SpeedUnit, const std::string& EnergyUnit,
                  const std::string& WeightText, const std::string& WeightUnit) {
    std::string Bytes(FileHeader);
    Bytes += LineEnd;
    for (const TTableRow& Row : Rows) {
        Bytes += ToFileNumbers(Row.Speed + ";" + SpeedUnit + ";" + Row.Energy + ";" + EnergyUnit +
                               ";" + WeightText + ";" + WeightUnit);
        Bytes += LineEnd;
    }
    platform::WriteFileAtomically(FileName, Bytes);
}

void LoadDataFile(const std::string& FileName, const std::string& SpeedUnit,
                  const std::function<void(const std::string& Unit, double Speed)>& AddShot,
                  const std::function<void(const std::string&)>& Log) {
    const auto Note = [&Log](const std::string& Message) {
        if (Log)
            Log(Message);
    };
    Note("Loading file: " + FileName);
    const std::vector<std::string> Lines =
        SplitLines(platform::ReadRegularFileBytes(FileName, MaxSeriesFileBytes));
    TDataFileReader Reader(SpeedUnit, AddShot);
    const auto Closed = platform::TScopeGuard([&] { Note("...file closed."); });
    for (std::size_t Index = 0; Index < Lines.size(); ++Index) {
        // Built only for a log that takes it: a file can have a million lines.
        if (Log)
            Log("Loaded line: \"" + Lines[Index] + "\"");
        Reader.ReadLine(Lines[Index], static_cast<int>(Index) + 1);
    }
}
