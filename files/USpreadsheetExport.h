#pragma once

// A series as spreadsheets take it: the CSV file of "Export for spreadsheet…" and the
// tab-separated text that copying rows puts on the clipboard.

#include "series/USeries.h"

#include <string>
#include <vector>

// Every text already translated, every number already formatted as the window shows it.
struct TSeriesSheet {
    TSheetRow Header;
    std::vector<TSheetRow> Rows;
    // Written after one empty row, below the shots.
    std::vector<TSheetRow> Summary;
};

// The figures as a spreadsheet: the shots, then the count, the statistics and the pellet weight.
TSeriesSheet SeriesSheet(const TSeriesFigures& Figures);

// The field separator a spreadsheet of the current locale expects: ";" where numbers are written
// with a decimal comma, so that the comma stays inside the number; "," everywhere else.
char SpreadsheetSeparator();

// UTF-8 with a byte-order mark, which spreadsheets need to read accented captions right; rows end
// with CR LF; a field holding the separator, a quote or a line end is quoted, quotes doubled.
std::string SheetCsv(const TSeriesSheet& Sheet, char Separator);

// Rows separated by line feeds, fields by tabs, as spreadsheets paste them.
std::string TabSeparatedText(const std::vector<TSheetRow>& Rows);

// Writes the sheet as CSV with SpreadsheetSeparator(), replacing the file only once the new one
// is complete; a failure leaves the old file and raises an error naming the file.
void ExportSpreadsheet(const std::string& FileName, const TSeriesSheet& Sheet);
