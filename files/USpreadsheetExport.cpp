#include "files/USpreadsheetExport.h"

#include "platform/FileIO.h"
#include "platform/FormatSettings.h"

namespace {

constexpr const char* ByteOrderMark = "\xEF\xBB\xBF";

std::string CsvField(const std::string& Field, char Separator) {
    if (Field.find_first_of(std::string{Separator, '"', '\r', '\n'}) == std::string::npos)
        return Field;
    std::string Quoted = "\"";
    for (const char Character : Field) {
        if (Character == '"')
            Quoted += '"';
        Quoted += Character;
    }
    return Quoted + '"';
}

std::string JoinRow(const TSheetRow& Row, const std::string& Separator,
                    std::string (*Field)(const std::string&, char)) {
    std::string Line;
    for (std::size_t i = 0; i < Row.size(); ++i) {
        if (i > 0)
            Line += Separator;
        Line += Field(Row[i], Separator.front());
    }
    return Line;
}

std::string CsvRow(const TSheetRow& Row, char Separator) {
    return JoinRow(Row, std::string(1, Separator), CsvField) + "\r\n";
}

} // namespace

TSeriesSheet SeriesSheet(const TSeriesFigures& Figures) {
    TSeriesSheet Sheet;
    Sheet.Header = Figures.Header;
    Sheet.Rows = Figures.Shots;
    Sheet.Summary.push_back(Figures.Count);
    for (const TSheetRow& Row : Figures.Statistics)
        Sheet.Summary.push_back({Row[0], "", Row[1], "", Row[2]});
    Sheet.Summary.push_back(Figures.PeletWeight);
    return Sheet;
}

char SpreadsheetSeparator() {
    return platform::FormatSettings().DecimalSeparator == "," ? ';' : ',';
}

std::string SheetCsv(const TSeriesSheet& Sheet, char Separator) {
    std::string Text = ByteOrderMark + CsvRow(Sheet.Header, Separator);
    for (const TSheetRow& Row : Sheet.Rows)
        Text += CsvRow(Row, Separator);
    Text += "\r\n";
    for (const TSheetRow& Row : Sheet.Summary)
        Text += CsvRow(Row, Separator);
    return Text;
}

std::string TabSeparatedText(const std::vector<TSheetRow>& Rows) {
    // Tabs and line ends cannot occur in the table's numbers; nothing needs quoting.
    const auto Plain = [](const std::string& Field, char) { return Field; };
    std::string Text;
    for (const TSheetRow& Row : Rows)
        Text += JoinRow(Row, "\t", Plain) + "\n";
    return Text;
}

void ExportSpreadsheet(const std::string& FileName, const TSeriesSheet& Sheet) {
    platform::WriteFileAtomically(FileName, SheetCsv(Sheet, SpreadsheetSeparator()));
}
