#include "files/ImportLayout.h"

#include "files/ImportNames.h"

#include <algorithm>
#include <vector>

namespace importfile {
namespace {

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

} // namespace

std::optional<std::size_t> FindColumn(const TFields& Header, bool (*IsName)(std::string_view)) {
    for (std::size_t Column = 0; Column < Header.size(); ++Column)
        if (IsName(SplitUnit(Header[Column]).Name))
            return Column;
    return std::nullopt;
}

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

} // namespace importfile
