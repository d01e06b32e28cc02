#include "app/UImportFile.h"

#include "platform/FileIO.h"
#include "platform/NumberFormats.h"
#include "text/Utf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace {

constexpr const char* NoSpeedColumn = "No column of speeds was found in %s.";
constexpr const char* NoShot = "The column \"%s\" in %s holds no speed.";
constexpr const char* UnknownUnit =
    "The speeds in %s are in \"%s\": only m/s and fps (ft/s) can be imported.";

using TFields = std::vector<std::string>;

// ---- Encodings

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeMark = "\xFF\xFE";
constexpr std::string_view Utf16BeMark = "\xFE\xFF";

char32_t Utf16Unit(std::string_view Bytes, std::size_t At, bool BigEndian) {
    const auto First = static_cast<unsigned char>(Bytes[At]);
    const auto Second = static_cast<unsigned char>(Bytes[At + 1]);
    return BigEndian ? (First << 8 | Second) : (Second << 8 | First);
}

bool IsSurrogate(char32_t Unit, char32_t First) {
    return Unit >= First && Unit <= First + 0x3FF;
}

// A surrogate without its partner becomes U+FFFD; an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view Bytes, bool BigEndian) {
    std::u32string Text;
    Text.reserve(Bytes.size() / 2);
    for (std::size_t At = 0; At + 1 < Bytes.size(); At += 2) {
        char32_t Unit = Utf16Unit(Bytes, At, BigEndian);
        const char32_t Next = At + 3 < Bytes.size() ? Utf16Unit(Bytes, At + 2, BigEndian) : 0;
        if (IsSurrogate(Unit, 0xD800) && IsSurrogate(Next, 0xDC00)) {
            Unit = 0x10000 + ((Unit - 0xD800) << 10) + (Next - 0xDC00);
            At += 2;
        } else if (IsSurrogate(Unit, 0xD800) || IsSurrogate(Unit, 0xDC00)) {
            Unit = 0xFFFD;
        }
        Text += Unit;
    }
    return EncodeUtf8(Text);
}

// UTF-16 (the "Unicode text" of spreadsheets) becomes UTF-8, kept in Storage. Any other text
// stays as it is: the separators, digits and names that the reader looks for are ASCII, which
// UTF-8 and the single-byte encodings share.
std::string_view DecodedText(std::string_view Bytes, std::string& Storage) {
    if (Bytes.starts_with(Utf16LeMark))
        return Storage = Utf16ToUtf8(Bytes.substr(Utf16LeMark.size()), false);
    if (Bytes.starts_with(Utf16BeMark))
        return Storage = Utf16ToUtf8(Bytes.substr(Utf16BeMark.size()), true);
    if (Bytes.starts_with(Utf8Mark))
        Bytes.remove_prefix(Utf8Mark.size());
    return Bytes;
}

// ---- Lines and records

bool IsLineEnd(char C) {
    return C == '\n' || C == '\r';
}

bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

// Moves Pos past one line end: CR LF, LF or CR.
void SkipLineEnd(std::string_view Text, std::size_t& Pos) {
    if (Pos < Text.size() && Text[Pos] == '\r')
        ++Pos;
    if (Pos < Text.size() && Text[Pos] == '\n')
        ++Pos;
}

// The line that starts at Pos; Pos moves to the start of the next one.
std::string_view NextLine(std::string_view Text, std::size_t& Pos) {
    const std::size_t Start = Pos;
    Pos = std::min(Text.find_first_of("\r\n", Start), Text.size());
    const std::string_view Line = Text.substr(Start, Pos - Start);
    SkipLineEnd(Text, Pos);
    return Line;
}

// More columns than any chronograph or spreadsheet writes. The fields past them are read over and
// dropped, so that a line of nothing but separators cannot fill the memory.
constexpr std::size_t MaxColumns = 1024;

// Reads the record at Pos into Fields as spreadsheets write it: a field that starts with a double
// quote runs to the next lone quote, "" inside stands for one quote, and separators and line ends
// inside the quotes belong to the field. Pos moves past the record's line end.
void ReadRecord(std::string_view Text, std::size_t& Pos, char Separator, TFields& Fields) {
    Fields.assign(1, std::string());
    std::string Dropped;
    bool Quoted = false;
    for (; Pos < Text.size(); ++Pos) {
        const char C = Text[Pos];
        std::string& Field = Fields.size() < MaxColumns ? Fields.back() : Dropped;
        if (Quoted && C == '"' && Pos + 1 < Text.size() && Text[Pos + 1] == '"')
            Field += Text[Pos++];
        else if (C == '"' && (Quoted || Field.empty()))
            Quoted = !Quoted;
        else if (!Quoted && C == Separator && Fields.size() < MaxColumns)
            Fields.emplace_back();
        else if (!Quoted && C == Separator)
            Dropped.clear();
        else if (!Quoted && IsLineEnd(C))
            break;
        else
            Field += C;
    }
    SkipLineEnd(Text, Pos);
}

// Blanks, and the line ends that a quoted header cell may hold ("Speed\n(m/s)").
constexpr const char* Blanks = " \t\r\n";

std::string_view Trimmed(std::string_view Text) {
    const std::size_t Start = std::min(Text.find_first_not_of(Blanks), Text.size());
    const std::size_t End = Text.find_last_not_of(Blanks);
    return Text.substr(Start, End == std::string_view::npos ? 0 : End + 1 - Start);
}

bool IsBlank(const TFields& Fields) {
    return std::all_of(Fields.begin(), Fields.end(),
                       [](const std::string& Field) { return Trimmed(Field).empty(); });
}

// ---- Names and units

// A name as names are compared: ASCII letters upper-cased, blanks trimmed and each run of blanks
// one space, each run of other bytes one "?". An accented letter is one "?" in UTF-8 and in the
// single-byte encodings alike, so "Mündung" compares equal in all of them and "Ø Speed" stays
// apart from "Speed".
std::string ComparableName(std::string_view Name) {
    std::string Result;
    bool BlankBefore = false;
    bool InOther = false;
    for (const char C : Trimmed(Name)) {
        const bool Other = static_cast<unsigned char>(C) >= 0x80;
        if (std::string_view(Blanks).find(C) != std::string_view::npos || (Other && InOther)) {
            BlankBefore = BlankBefore || !Other;
            InOther = InOther && Other;
            continue;
        }
        if (BlankBefore)
            Result += ' ';
        BlankBefore = false;
        InOther = Other;
        Result += Other ? '?' : (C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C);
    }
    return Result;
}

bool IsOneOf(const std::string& Name, std::initializer_list<std::string_view> Names) {
    return std::find(Names.begin(), Names.end(), Name) != Names.end();
}

bool IsSpeedName(std::string_view Name) {
    return IsOneOf(ComparableName(Name), {"SPEED", "VELOCITY", "MUZZLE VELOCITY", "MUZZLE SPEED",
                                          "V0", "RYCHLOST", "?S?OV? RYCHLOST", "GESCHWINDIGKEIT",
                                          "M?NDUNGSGESCHWINDIGKEIT", "MUENDUNGSGESCHWINDIGKEIT"});
}

// Shot numbers, whose rows are shots only where they hold a number.
bool IsShotNumberName(std::string_view Name) {
    return IsOneOf(ComparableName(Name), {"#", "NO", "NO.", "NR", "NR.", "ID", "SHOT", "SHOT ID",
                                          "SHOT #", "SHOT NO", "SHOT NO.", "SCHUSS", "SCHU?",
                                          "SCHUSS NR", "SCHUSS NR.", "V?ST?EL", "?ISLO", "?."});
}

// The shot unit ("m/s" or "fps") that a unit text names, or none.
std::optional<std::string> ShotUnit(std::string_view UnitText) {
    std::string Key = ComparableName(UnitText);
    std::erase(Key, ' ');
    if (IsOneOf(Key, {"M/S", "MPS", "M/SEC"}))
        return "m/s";
    if (IsOneOf(Key, {"FPS", "FT/S", "FT/SEC", "F/S"}))
        return "fps";
    return std::nullopt;
}

// Speed units, those that can be imported and those that cannot.
bool IsSpeedUnit(std::string_view Word) {
    return ShotUnit(Word) || IsOneOf(ComparableName(Word), {"KM/H", "KMH", "KPH", "MPH", "MI/H"});
}

std::string ShotUnitOrFail(std::string_view UnitText, const std::string& SourceName) {
    const std::optional<std::string> Unit = ShotUnit(UnitText);
    if (!Unit)
        throw EImportError(UnknownUnit, {SourceName, std::string(UnitText)});
    return *Unit;
}

struct TNameAndUnit {
    std::string_view Name;
    std::string_view Unit;
};

// Longer text in parentheses is a remark, not a unit.
constexpr std::size_t UnitTextLimit = 16;

// "Speed (m/s)", "Rychlost [m/s]", "Velocity ft/s": the name and the unit that a header field
// adds to it, if any.
TNameAndUnit SplitUnit(std::string_view Field) {
    Field = Trimmed(Field);
    const char Close = Field.empty() ? '\0' : Field.back();
    const std::size_t Open = Field.rfind(Close == ')' ? '(' : '[');
    if ((Close == ')' || Close == ']') && Open != std::string_view::npos &&
        Field.size() - Open - 2 <= UnitTextLimit)
        return {Trimmed(Field.substr(0, Open)),
                Trimmed(Field.substr(Open + 1, Field.size() - Open - 2))};
    const std::size_t Blank = Field.find_last_of(Blanks);
    if (Blank != std::string_view::npos && IsSpeedUnit(Field.substr(Blank + 1)))
        return {Trimmed(Field.substr(0, Blank)), Field.substr(Blank + 1)};
    return {Field, {}};
}

// "Units velocity;fps", "Velocity unit: m/s", "Units;ft/s": the speed unit that a line before the
// header names, or nothing when it is no units line.
std::string UnitOfUnitsLine(std::string_view Line) {
    const std::string Key = ComparableName(Line);
    if (Key.find("UNIT") == std::string::npos && Key.find("EINHEIT") == std::string::npos &&
        Key.find("JEDNOTK") == std::string::npos)
        return {};
    for (std::size_t Start = 0; Start < Line.size();) {
        const std::size_t End = std::min(Line.find_first_of(" \t;,:=", Start), Line.size());
        const std::string_view Word = Line.substr(Start, End - Start);
        if (IsSpeedUnit(Word))
            return std::string(Word);
        Start = End + 1;
    }
    return {};
}

// ---- Numbers

bool AllDigits(std::string_view Text) {
    return !Text.empty() && std::all_of(Text.begin(), Text.end(), IsDigit);
}

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

// An unsigned decimal number with "." or "," as the decimal separator. Where both appear, the
// last is the decimal separator and the other may only group the digits by threes before it. A
// lone separator is always the decimal one: "1,234" is 1.234, since air-gun speeds seldom reach
// a thousand and, where they do, whoever groups the thousands also writes decimals after them.
bool ParseSpeed(std::string_view Field, double& Speed) {
    Field = Trimmed(Field);
    const std::size_t Point = Field.find_last_of(".,");
    const char Grouping = Point != std::string_view::npos && Field[Point] == '.' ? ',' : '.';
    std::string Plain;
    if (!IntegerDigits(Field.substr(0, Point), Grouping, Plain))
        return false;
    if (Point != std::string_view::npos) {
        const std::string_view Fraction = Field.substr(Point + 1);
        if (!AllDigits(Fraction))
            return false;
        Plain += '.';
        Plain += Fraction;
    }
    const char* End = Plain.data() + Plain.size();
    const auto [Stop, Error] = std::from_chars(Plain.data(), End, Speed);
    return Error == std::errc() && Stop == End && std::isfinite(Speed);
}

// ---- Layout

// The separators to try on a line before the header: the one the file declares, else those the
// line holds, most frequent first. A line without any is one field.
std::vector<char> CandidateSeparators(std::string_view Line, char Declared) {
    if (Declared != '\0')
        return {Declared};
    std::vector<char> Candidates;
    for (const char Separator : {';', ',', '\t'})
        if (Line.find(Separator) != std::string_view::npos)
            Candidates.push_back(Separator);
    std::stable_sort(Candidates.begin(), Candidates.end(), [Line](char Left, char Right) {
        return std::count(Line.begin(), Line.end(), Left) >
               std::count(Line.begin(), Line.end(), Right);
    });
    return Candidates.empty() ? std::vector<char>{';'} : Candidates;
}

// Spreadsheets declare the separator with a first line "sep=;"; Pos moves past it.
char DeclaredSeparator(std::string_view Text, std::size_t& Pos) {
    constexpr std::size_t Length = 4;
    if (Text.size() <= Length || ComparableName(Text.substr(0, Length)) != "SEP=" ||
        IsLineEnd(Text[Length]))
        return '\0';
    NextLine(Text, Pos);
    return Text[Length];
}

struct TLayout {
    char Separator = '\0';
    std::size_t RowsStart = 0; // where the rows under the header begin
    TFields Header;
    std::size_t SpeedColumn = 0;
    std::string HeaderUnit;    // the unit that the speed column's header names, if any
    std::string UnitsLineUnit; // the unit that a units line before the header names, if any
};

std::optional<std::size_t> FindColumn(const TFields& Header, bool (*IsName)(std::string_view)) {
    for (std::size_t Column = 0; Column < Header.size(); ++Column)
        if (IsName(SplitUnit(Header[Column]).Name))
            return Column;
    return std::nullopt;
}

// Whether Line, which starts at LineStart, is the header row; Layout takes it if so. The line
// alone tells, so that a stray quote before the header never makes the search read further; the
// header is then read again as a whole record, since its quoted cells may hold line ends.
bool ReadHeader(std::string_view Text, std::size_t LineStart, std::string_view Line, char Separator,
                TLayout& Layout) {
    std::size_t End = 0;
    ReadRecord(Line, End, Separator, Layout.Header);
    if (!FindColumn(Layout.Header, IsSpeedName))
        return false;
    End = LineStart;
    ReadRecord(Text, End, Separator, Layout.Header);
    const std::optional<std::size_t> Column = FindColumn(Layout.Header, IsSpeedName);
    if (!Column)
        return false;
    Layout.Separator = Separator;
    Layout.RowsStart = End;
    Layout.SpeedColumn = *Column;
    Layout.HeaderUnit = SplitUnit(Layout.Header[*Column]).Unit;
    return true;
}

// The header row (the first line in which a field names a speed) with its separator; the lines
// before it are device, title and summary lines, of which a units line tells the speed unit.
std::optional<TLayout> FindLayout(std::string_view Text) {
    TLayout Layout;
    std::size_t Pos = 0;
    const char Declared = DeclaredSeparator(Text, Pos);
    while (Pos < Text.size()) {
        const std::size_t LineStart = Pos;
        const std::string_view Line = NextLine(Text, Pos);
        for (const char Separator : CandidateSeparators(Line, Declared))
            if (ReadHeader(Text, LineStart, Line, Separator, Layout))
                return Layout;
        if (Layout.UnitsLineUnit.empty())
            Layout.UnitsLineUnit = UnitOfUnitsLine(Line);
    }
    return std::nullopt;
}

// ---- Rows

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

// Where the fields of a row are, and the unit of rows that do not name their own.
class TRowReader {
public:
    TRowReader(const TLayout& Layout, const std::string& DisplaySpeedUnit,
               const std::string& SourceName)
        : FSpeedColumn(Layout.SpeedColumn), FSourceName(SourceName) {
        const std::string& Unit = !Layout.HeaderUnit.empty()      ? Layout.HeaderUnit
                                  : !Layout.UnitsLineUnit.empty() ? Layout.UnitsLineUnit
                                                                  : DisplaySpeedUnit;
        FUnit = ShotUnitOrFail(Unit, SourceName);
        FShotNumberColumn = FindColumn(Layout.Header, IsShotNumberName);
        FUnitColumn = UnitColumn(Layout.Header, FSpeedColumn);
    }

    // Adds the shot of a row that gives one; false for a row that does not.
    bool Read(const TFields& Row, std::vector<TData>& Shots) const {
        double Speed = 0;
        if (FSpeedColumn >= Row.size() || !ParseSpeed(Row[FSpeedColumn], Speed) || IsSummary(Row))
            return false;
        Shots.emplace_back(UnitOf(Row), Speed);
        return true;
    }

private:
    // A row whose shot number is text ("AVERAGE SPEED", "Mittelwert") is a summary line, even
    // where its speed column holds a number.
    bool IsSummary(const TFields& Row) const {
        if (!FShotNumberColumn || *FShotNumberColumn >= Row.size())
            return false;
        const std::string& Number = Row[*FShotNumberColumn];
        return !Trimmed(Number).empty() && std::none_of(Number.begin(), Number.end(), IsDigit);
    }

    std::string UnitOf(const TFields& Row) const {
        if (!FUnitColumn || *FUnitColumn >= Row.size() || Trimmed(Row[*FUnitColumn]).empty())
            return FUnit;
        return ShotUnitOrFail(Trimmed(Row[*FUnitColumn]), FSourceName);
    }

    std::size_t FSpeedColumn;
    const std::string& FSourceName;
    std::string FUnit;
    std::optional<std::size_t> FShotNumberColumn;
    std::optional<std::size_t> FUnitColumn;
};

// The format functions take a fixed list; a pattern leaves the arguments it does not name unused.
std::string FillIn(std::string_view Pattern, const std::vector<std::string>& Arguments) {
    const auto At = [&Arguments](std::size_t Index) {
        return Index < Arguments.size() ? Arguments[Index] : std::string();
    };
    return platform::Format(Pattern, {At(0), At(1)});
}

} // namespace

EImportError::EImportError(std::string Pattern, std::vector<std::string> Arguments)
    : std::runtime_error(FillIn(Pattern, Arguments)), FPattern(std::move(Pattern)),
      FArguments(std::move(Arguments)) {}

std::string EImportError::FilledIn(std::string_view TranslatedPattern) const {
    return FillIn(TranslatedPattern, FArguments);
}

TImportedSeries ImportSeries(const std::string& FileName, const std::string& DisplaySpeedUnit) {
    return ImportSeriesText(platform::ReadFileBytes(FileName), DisplaySpeedUnit, FileName);
}

TImportedSeries ImportSeriesText(std::string_view Bytes, const std::string& DisplaySpeedUnit,
                                 const std::string& SourceName) {
    std::string Storage;
    const std::string_view Text = DecodedText(Bytes, Storage);
    const std::optional<TLayout> Layout = FindLayout(Text);
    if (!Layout)
        throw EImportError(NoSpeedColumn, {SourceName});
    const TRowReader Reader(*Layout, DisplaySpeedUnit, SourceName);
    TImportedSeries Series;
    TFields Row;
    for (std::size_t Pos = Layout->RowsStart; Pos < Text.size();) {
        ReadRecord(Text, Pos, Layout->Separator, Row);
        if (!IsBlank(Row) && !Reader.Read(Row, Series.Shots))
            ++Series.SkippedLines;
    }
    if (Series.Shots.empty())
        throw EImportError(NoShot,
                           {std::string(Trimmed(Layout->Header[Layout->SpeedColumn])), SourceName});
    return Series;
}
