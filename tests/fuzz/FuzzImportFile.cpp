// The import reader: arbitrary bytes, read with "m/s" and with "fps" as the display unit. It
// gives shots in "M/S" or "FPS" with finite speeds that are not negative, no more rows than the
// text has lines, or an EImportError with a message; nothing else. The display unit decides only
// the unit of the shots whose file names none. Line ends and byte-order marks do not change what
// is read: the text with its CR LF made LF, and UTF-8 text with a byte-order mark put in front,
// read the same.

#include "files/UImportFile.h"
#include "tests/fuzz/FuzzFile.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeMark = "\xFF\xFE";
constexpr std::string_view Utf16BeMark = "\xFE\xFF";

struct TReading {
    std::vector<std::pair<std::string, double>> Shots;
    int SkippedLines = 0;
    bool Failed = false;
    std::string Pattern;
    std::vector<std::string> Arguments;

    bool operator==(const TReading&) const = default;
};

// Control characters in caret notation ("^M^J" for CR LF), so that line ends show.
std::string Escaped(std::string_view Text) {
    std::string Result;
    for (const char C : Text)
        Result += static_cast<unsigned char>(C) < 0x20
                      ? "^" + std::string(1, static_cast<char>(C + '@'))
                      : std::string(1, C);
    return Result;
}

std::string Described(const TReading& Reading) {
    if (Reading.Failed) {
        std::string Text = "the error \"" + Reading.Pattern + "\" with";
        for (const std::string& Argument : Reading.Arguments)
            Text += " \"" + Escaped(Argument) + "\"";
        return Text;
    }
    std::string Text = std::to_string(Reading.Shots.size()) + " shots, " +
                       std::to_string(Reading.SkippedLines) + " skipped:";
    for (const auto& [Unit, Speed] : Reading.Shots)
        Text += " " + std::to_string(Speed) + " " + Unit;
    return Text;
}

// Every row under the header ends at a line end or at the end of the text; in UTF-16 a line end
// still holds a byte CR or LF.
std::size_t LineCount(std::string_view Bytes) {
    return 1 + static_cast<std::size_t>(std::count_if(
                   Bytes.begin(), Bytes.end(), [](char C) { return C == '\r' || C == '\n'; }));
}

void CheckShots(const TImportedSeries& Series, std::string_view Bytes) {
    for (const TData& Shot : Series.Shots) {
        if (Shot.SpeedUnit() != "M/S" && Shot.SpeedUnit() != "FPS")
            FuzzFailure("a shot in the unit \"" + Shot.SpeedUnit() + "\"");
        if (!std::isfinite(Shot.Speed()) || Shot.Speed() < 0)
            FuzzFailure("a shot with the speed " + std::to_string(Shot.Speed()));
    }
    if (Series.SkippedLines < 0)
        FuzzFailure(std::to_string(Series.SkippedLines) + " skipped lines");
    if (Series.Shots.size() + static_cast<std::size_t>(Series.SkippedLines) > LineCount(Bytes))
        FuzzFailure(std::to_string(Series.Shots.size()) + " shots and " +
                    std::to_string(Series.SkippedLines) + " skipped lines from " +
                    std::to_string(LineCount(Bytes)) + " lines");
}

TReading Read(std::string_view Bytes, const std::string& DisplayUnit) {
    TReading Reading;
    try {
        const TImportedSeries Series = ImportSeriesText(Bytes, DisplayUnit, "fuzz.csv");
        CheckShots(Series, Bytes);
        for (const TData& Shot : Series.Shots)
            Reading.Shots.emplace_back(Shot.SpeedUnit(), Shot.Speed());
        Reading.SkippedLines = Series.SkippedLines;
    } catch (const EImportError& Error) {
        if (std::string_view(Error.what()).empty())
            FuzzFailure("an import error without a message");
        Reading = {{}, 0, true, Error.Pattern(), Error.Arguments()};
    } catch (const std::exception& Raised) {
        FuzzFailure("the reader raised another exception than an import error: " +
                    std::string(Raised.what()));
    } catch (...) {
        FuzzFailure("the reader raised something that is not an exception");
    }
    return Reading;
}

// The reading with m/s shown and the one with fps shown differ only where a shot took the unit
// shown.
void CheckDisplayUnitOnlyFillsIn(TReading Metric, TReading Imperial) {
    for (std::size_t i = 0; i < std::min(Metric.Shots.size(), Imperial.Shots.size()); ++i)
        if (Metric.Shots[i].first == "M/S" && Imperial.Shots[i].first == "FPS")
            Metric.Shots[i].first = Imperial.Shots[i].first = "shown";
    if (Metric != Imperial)
        FuzzFailure("with m/s shown the file gives " + Described(Metric) + ", with fps shown " +
                    Described(Imperial));
}

// The text's code units: one byte wide, or two after a UTF-16 byte-order mark.
class TCodeUnits {
public:
    static TCodeUnits Of(std::string_view Bytes) {
        if (Bytes.starts_with(Utf16LeMark) || Bytes.starts_with(Utf16BeMark))
            return TCodeUnits(Bytes.substr(0, 2), Bytes.starts_with(Utf16BeMark));
        return TCodeUnits();
    }
    TCodeUnits() = default;

    std::string_view Mark() const { return FMark; }
    std::size_t Width() const { return FMark.empty() ? 1 : 2; }
    std::string Unit(char C) const {
        if (FMark.empty())
            return std::string(1, C);
        return FBigEndian ? std::string{'\0', C} : std::string{C, '\0'};
    }

private:
    TCodeUnits(std::string_view Mark, bool BigEndian) : FMark(Mark), FBigEndian(BigEndian) {}

    std::string_view FMark;
    bool FBigEndian = false;
};

// The bytes with every CR LF made LF, in the text's own code units.
std::string WithLfLineEnds(std::string_view Bytes, const TCodeUnits& Units) {
    const std::string CrLf = Units.Unit('\r') + Units.Unit('\n');
    std::string Result(Units.Mark());
    for (std::size_t At = Result.size(); At < Bytes.size();) {
        if (Bytes.substr(At, CrLf.size()) == CrLf)
            At += Units.Width();
        Result += Bytes.substr(At, Units.Width());
        At += Units.Width();
    }
    return Result;
}

// An error may quote a header cell, whose quotes may hold line ends. Its text is compared with
// every CR before an LF dropped, since one pass over "\r\r\n" leaves a CR LF behind.
TReading WithoutCrBeforeLf(TReading Reading) {
    for (std::string& Argument : Reading.Arguments) {
        std::string Kept;
        bool BeforeLf = false;
        for (auto C = Argument.rbegin(); C != Argument.rend(); ++C) {
            BeforeLf = *C == '\n' || (BeforeLf && *C == '\r');
            if (*C != '\r' || !BeforeLf)
                Kept += *C;
        }
        Argument.assign(Kept.rbegin(), Kept.rend());
    }
    return Reading;
}

void CheckSameReading(const TReading& Original, const TReading& Changed, const char* Change) {
    if (Changed != Original)
        FuzzFailure(std::string("the file gives ") + Described(Original) + ", with " + Change +
                    " " + Described(Changed));
}

void CheckUnchangedByLineEndsAndMark(std::string_view Bytes, const std::string& DisplayUnit,
                                     const TReading& Original) {
    const TCodeUnits Units = TCodeUnits::Of(Bytes);
    const std::string WithLf = WithLfLineEnds(Bytes, Units);
    if (WithLf.size() != Bytes.size())
        CheckSameReading(WithoutCrBeforeLf(Original), WithoutCrBeforeLf(Read(WithLf, DisplayUnit)),
                         "LF for CR LF");
    if (!Bytes.starts_with(Utf8Mark) && Units.Mark().empty())
        CheckSameReading(Original, Read(std::string(Utf8Mark).append(Bytes), DisplayUnit),
                         "a byte-order mark");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
    std::vector<TReading> Readings;
    for (const std::string DisplayUnit : {"m/s", "fps"}) {
        Readings.push_back(Read(Bytes, DisplayUnit));
        CheckUnchangedByLineEndsAndMark(Bytes, DisplayUnit, Readings.back());
    }
    CheckDisplayUnitOnlyFillsIn(Readings[0], Readings[1]);
    return 0;
}
