#include "files/ImportNames.h"

#include "files/ImportMessages.h"
#include "files/ImportText.h"
#include "files/UImportFile.h"

#include <algorithm>

namespace importfile {
namespace {

// A name without its blanks and hyphens, so that "Schuss-Nr." and "Lfd. Nr." compare as written
// in any spacing.
std::string PackedName(std::string_view Name) {
    std::string Key = ComparableName(Name);
    std::erase_if(Key, [](char C) { return C == ' ' || C == '-'; });
    return Key;
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

// Longer text is a remark, not a unit.
constexpr std::size_t UnitTextLimit = 24;

std::string_view NameBefore(std::string_view Field, std::size_t End) {
    Field = Field.substr(0, End);
    return Trimmed(Field.substr(0, Field.find_last_not_of(" \t\r\n,") + 1));
}

} // namespace

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

bool IsOneOf(const std::string& Name, std::initializer_list<std::string_view> Names) {
    return std::find(Names.begin(), Names.end(), Name) != Names.end();
}

bool IsSpeedName(std::string_view Name) {
    return IsOneOf(ComparableName(Name), {"SPEED", "VELOCITY", "MUZZLE VELOCITY", "MUZZLE SPEED",
                                          "V0", "RYCHLOST", "?S?OV? RYCHLOST", "GESCHWINDIGKEIT",
                                          "M?NDUNGSGESCHWINDIGKEIT", "MUENDUNGSGESCHWINDIGKEIT"});
}

bool IsShotNumberName(std::string_view Name) {
    return IsOneOf(PackedName(Name),
                   {"#",          "NO",           "NO.",           "NR",       "NR.",
                    "ID",         "NUMBER",       "NUMMER",        "SHOT",     "SHOTID",
                    "SHOT#",      "SHOTNO",       "SHOTNO.",       "SHOTNR",   "SHOTNR.",
                    "SHOTNUMBER", "SCHUSS",       "SCHU?",         "SCHUSSNR", "SCHUSSNR.",
                    "SCHU?NR.",   "SCHUSSNUMMER", "LFDNR",         "LFD.NR",   "LFD.NR.",
                    "V?ST?EL",    "?ISLO",        "?ISLOV?ST?ELU", "?.",       "?.V?ST?ELU"});
}

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

std::optional<std::string_view> UnitInBrackets(std::string_view Text) {
    Text = Trimmed(Text);
    if (Text.size() >= 2 && ((Text.front() == '(' && Text.back() == ')') ||
                             (Text.front() == '[' && Text.back() == ']')))
        Text = Trimmed(Text.substr(1, Text.size() - 2));
    if (!LooksLikeSpeedUnit(Text))
        return std::nullopt;
    return Text;
}

std::string ShotUnitOrFail(std::string_view UnitText, const std::string& SourceName) {
    const std::optional<std::string> Unit = ShotUnit(UnitText);
    if (!Unit)
        throw EImportError(UnknownUnit, {SourceName, FileText(UnitText)});
    return *Unit;
}

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

} // namespace importfile
