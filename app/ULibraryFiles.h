#pragma once

// The files the library writes of its series: the program's own data files and spreadsheets,
// one file a series, each holding what the main window would write after opening the series.

#include "app/USeries.h"
#include "library/SeriesStore.h"

#include <string>
#include <vector>

// The shots of a listed series in Units, their energies from the pellet weight noted with the
// series or, where none was noted, from CurrentWeight (display unit).
TSeries LoadSeries(const TSeriesStore& Store, const TSeriesEntry& Entry, const TUnitSystem& Units,
                   double CurrentWeight);

// The files of the series named SeriesNames, from the one name Chosen that the user gave. A
// single series takes Chosen itself; several take "<Chosen's stem> - <series name>" with
// Chosen's extension in Chosen's folder, characters that a file name (or a memory stick) cannot
// hold replaced by "_" and " (2)", " (3)"... appended where series share a name.
std::vector<std::string> SeriesFileNames(const std::string& Chosen,
                                         const std::vector<std::string>& SeriesNames);

// The series as a data file, in its units and with its pellet weight.
void WriteDataFile(const std::string& FileName, const TSeries& Series);

// The series as a spreadsheet whose summary starts with the series' name and date.
void WriteSpreadsheet(const std::string& FileName, const TSeries& Series, const TSeriesEntry& Entry,
                      const TTranslate& Translate);
