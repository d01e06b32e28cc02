#include "app/UImportFile.h"

#include "platform/FileIO.h"
#include "platform/NumberFormats.h"
#include "text/StringUtils.h"
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
constexpr const char* UnitsDisagree = "The speeds in %s are marked both \"%s\" and \"%s\".";
constexpr const char* AmbiguousSeparator = "In %s it cannot be told whether the separator in "
                                           "speeds such as \"%s\" marks decimals or thousands.";
constexpr const char* DecimalCommaClash = "The speeds in %s have decimal commas, which cannot be "
                                          "told from the commas between its columns.";
constexpr const char* NotAFile = "%s is not a file that can be imported.";
constexpr const char* TooLarge = "%s is too large to be a series of shots (%s MB).";

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

// Moves Pos past one line end: LF, CR or CR LF. The CRs before an LF all belong to it, since a
// file whose CR LF line ends were converted once more ends its lines with CR CR LF; those of a
// run without an LF stand for one line end and a blank line, which is all a blank line tells.
void SkipLineEnd(std::string_view Text, std::size_t& Pos) {
    const std::size_t Crs = std::min(Text.find_first_not_of('\r', Pos), Text.size());
    if (Crs < Text.size() && Text[Crs] == '\n')
        Pos = Crs + 1;
    else if (Crs > Pos)
        Pos = std::max(Pos + 1, Crs - 1);
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
bool IsBlankChar(char C) {
    return C == ' ' || C == '\t' || C == '\r' || C == '\n';
}

// Lambdas rather than function pointers, so that the searches of every cell are inlined.
constexpr auto Blank = [](char C) { return IsBlankChar(C); };
constexpr auto Digit = [](char C) { return IsDigit(C); };

std::string_view Trimmed(std::string_view Text) {
    const auto Start = std::find_if_not(Text.begin(), Text.end(), Blank);
    const auto End = std::find_if_not(Text.rbegin(), Text.rend(), Blank).base();
    return Start < End ? std::string_view(Start, End) : std::string_view();
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
        if (IsBlankChar(C) || (Other && InOther)) {
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

// A name without its blanks and hyphens, so that "Schuss-Nr." and "Lfd. Nr." compare as written
// in any spacing.
std::string PackedName(std::string_view Name) {
    std::string Key = ComparableName(Name);
    std::erase_if(Key, [](char C) { return C == ' ' || C == '-'; });
    return Key;
}

bool IsOneOf(const std::string& Name, std::initializer_list<std::string_view> Names) {
    return std::find(Names.begin(), Names.end(), Name) != Names.end();
}

bool IsSpeedName(std::string_view Name) {
    return IsOneOf(ComparableName(Name), {"SPEED", "VELOCITY", "MUZZLE VELOCITY", "MUZZLE SPEED",
                                          "V0", "RYCHLOST", "?S?OV? RYCHLOST", "GESCHWINDIGKEIT",
                                          "M?NDUNGSGESCHWINDIGKEIT", "MUENDUNGSGESCHWINDIGKEIT"});
}

// Shot numbers in English, German and Czech, whose rows are shots only where they hold a number.
bool IsShotNumberName(std::string_view Name) {
    return IsOneOf(PackedName(Name),
                   {"#",          "NO",           "NO.",           "NR",       "NR.",
                    "ID",         "NUMBER",       "NUMMER",        "SHOT",     "SHOTID",
                    "SHOT#",      "SHOTNO",       "SHOTNO.",       "SHOTNR",   "SHOTNR.",
                    "SHOTNUMBER", "SCHUSS",       "SCHU?",         "SCHUSSNR", "SCHUSSNR.",
                    "SCHU?NR.",   "SCHUSSNUMMER", "LFDNR",         "LFD.NR",   "LFD.NR.",
                    "V?ST?EL",    "?ISLO",        "?ISLOV?ST?ELU", "?.",       "?.V?ST?ELU"});
}

// The shot unit ("m/s" or "fps") that a unit text names, or none.
std::optional<std::string> ShotUnit(std::string_view UnitText) {
    const std::string Key = PackedName(UnitText);
    if (IsOneOf(Key, {"M/S", "MPS", "M/SEC", "METERSPERSECOND", "METRESPERSECOND",
                      "METERPROSEKUNDE", "METR?ZASEKUNDU"}))
        return "m/s";
    if (IsOneOf(Key, {"FPS", "FT/S", "FT/SEC", "F/S", "FEETPERSECOND", "FOOTPERSECOND"}))
        return "fps";
    return std::nullopt;
}

// Speed units, those that can be imported and those that cannot.
bool IsSpeedUnit(std::string_view Word) {
    return ShotUnit(Word) ||
           IsOneOf(PackedName(Word), {"KM/H", "KMH", "KPH", "MPH", "MI/H", "KNOTS", "KTS",
                                      "MILESPERHOUR", "KILOMETERSPERHOUR", "KILOMETRESPERHOUR"});
}

bool IsLetter(char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') ||
           static_cast<unsigned char>(C) >= 0x80;
}

// Longer text is a remark, not a unit.
constexpr std::size_t UnitTextLimit = 24;

// A known speed unit, or letters around a slash ("m/min", "yd/s"): such a text in brackets is a
// unit, which is refused unless it is m/s or fps, never a remark to pass over.
bool LooksLikeSpeedUnit(std::string_view Text) {
    if (Text.size() > UnitTextLimit)
        return false;
    if (IsSpeedUnit(Text))
        return true;
    const std::size_t Slash = Text.find('/');
    return Slash != std::string_view::npos && Slash > 0 && Slash + 1 < Text.size() &&
           std::all_of(Text.begin(), Text.begin() + Slash, IsLetter) &&
           std::all_of(Text.begin() + Slash + 1, Text.end(), IsLetter);
}

// The unit that "m/s", "[m/s]" or "(fps)" names, or nothing for a text that names none.
std::optional<std::string_view> UnitInBrackets(std::string_view Text) {
    Text = Trimmed(Text);
    if (Text.size() >= 2 && ((Text.front() == '(' && Text.back() == ')') ||
                             (Text.front() == '[' && Text.back() == ']')))
        Text = Trimmed(Text.substr(1, Text.size() - 2));
    if (!LooksLikeSpeedUnit(Text))
        return std::nullopt;
    return Text;
}

// Text of the file quoted in a message: its blanks and line ends one space and no more than its
// start, since a cell can be megabytes long.
std::string FileText(std::string_view Text) {
    std::string Collapsed;
    for (const char C : Trimmed(Text)) {
        if (!IsBlankChar(C))
            Collapsed += C;
        else if (Collapsed.back() != ' ')
            Collapsed += ' ';
    }
    return QuotedStart(Collapsed);
}

std::string ShotUnitOrFail(std::string_view UnitText, const std::string& SourceName) {
    const std::optional<std::string> Unit = ShotUnit(UnitText);
    if (!Unit)
        throw EImportError(UnknownUnit, {SourceName, FileText(UnitText)});
    return *Unit;
}

struct TNameAndUnit {
    std::string_view Name;
    std::string_view Unit;
};

std::string_view NameBefore(std::string_view Field, std::size_t End) {
    Field = Field.substr(0, End);
    return Trimmed(Field.substr(0, Field.find_last_not_of(" \t\r\n,") + 1));
}

// "Speed (m/s)", "Rychlost [m/s]", "Velocity ft/s", "Speed, m/s": the name and the unit that a
// header field adds to it, if any. Other text in brackets is a remark ("Speed (mean of 3)") and
// left out of the name.
TNameAndUnit SplitUnit(std::string_view Field) {
    Field = Trimmed(Field);
    while (!Field.empty() && (Field.back() == ')' || Field.back() == ']')) {
        const std::size_t Open = Field.rfind(Field.back() == ')' ? '(' : '[');
        if (Open == std::string_view::npos)
            break;
        const std::optional<std::string_view> Unit = UnitInBrackets(Field.substr(Open));
        if (Unit)
            return {NameBefore(Field, Open), *Unit};
        Field = NameBefore(Field, Open);
    }
    const std::size_t Cut = Field.find_last_of(" \t\r\n,");
    if (Cut != std::string_view::npos && LooksLikeSpeedUnit(Field.substr(Cut + 1)))
        return {NameBefore(Field, Cut), Field.substr(Cut + 1)};
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
    return !Text.empty() && std::all_of(Text.begin(), Text.end(), Digit);
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

std::optional<double> PlainNumber(const std::string& Plain) {
    double Value = 0;
    const char* End = Plain.data() + Plain.size();
    const auto [Stop, Error] = std::from_chars(Plain.data(), End, Value);
    if (Error != std::errc() || Stop != End || !std::isfinite(Value))
        return std::nullopt;
    return Value;
}

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

// A speed cell: the number, and the unit written after it, if any ("175.5 m/s").
struct TSpeedCell {
    std::string_view Number;
    TWrittenSpeed Speed;
    std::string_view Unit;
};

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
    void Note(const TSpeedCell& Cell, std::size_t ShotIndex) {
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

    // Gives the speeds whose separator groups thousands their value.
    void Apply(std::vector<TData>& Shots, const std::string& SourceName) const {
        for (const char Separator : {'.', ','}) {
            const TUses& Uses = Of(Separator);
            if (Uses.Grouped.empty() || !GroupsThousands(Separator, SourceName))
                continue;
            for (const auto& [Index, Speed] : Uses.Grouped)
                Shots[Index] = TData(Shots[Index].SpeedUnit(), Speed);
        }
    }

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

    bool GroupsThousands(char Separator, const std::string& SourceName) const {
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

    TUses FPoint;
    TUses FComma;
};

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

// ---- Shot labels

// What the cell that labels a row holds.
enum class TLabel { Empty, Number, Text, Other };

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

// Which rows under the header are shots, told by the cell that labels each row: the shot-number
// column, else the first column where that is not the speeds. Where the shots are numbered (a
// number or a time of day; in a shot-number column they must be), every shot is: devices and
// spreadsheets label their averages and deviations with words ("Average (2 shots)", "ES 1-2") or
// not at all. A table that is not numbered ends at its first blank row or at the first row
// labelled otherwise than its first shot, since what follows is a summary.
class TShotTable {
public:
    TShotTable(const TFields& Header, std::size_t SpeedColumn)
        : FLabelColumn(FindColumn(Header, IsShotNumberName)),
          FNumbersRequired(FLabelColumn.has_value()) {
        if (!FLabelColumn && SpeedColumn != 0)
            FLabelColumn = 0;
    }

    // Whether a row is a shot; HasSpeed tells whether its speed cell holds a speed.
    bool Admits(const TFields& Row, bool HasSpeed) {
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

    void PassBlankRow() { FEnded = FEnded || (FKind && *FKind != TLabel::Number); }

    bool Started() const { return FKind.has_value(); }

private:
    TLabel LabelOf(const TFields& Row) const {
        return FLabelColumn && *FLabelColumn < Row.size() ? LabelKind(Row[*FLabelColumn])
                                                          : TLabel::Empty;
    }

    std::optional<std::size_t> FLabelColumn;
    bool FNumbersRequired;       // in a column named for shot numbers
    std::optional<TLabel> FKind; // the label of the first shot
    bool FEnded = false;
};

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

// Far more than any series of shots takes, and little enough to hold in memory.
constexpr std::uintmax_t MaxFileBytes = std::uintmax_t{64} << 20;

// The bytes of a file the user picked, which may be anything.
std::string ReadImportFile(const std::string& FileName) {
    try {
        return platform::ReadRegularFileBytes(FileName, MaxFileBytes);
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
