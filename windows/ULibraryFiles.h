#pragma once

// The series the library's windows read, and the files they write of them: the program's own
// data files and spreadsheets, one file a series, each holding what the main window would write
// after opening the series. A series without a pellet weight has no energies: the files leave
// them and the weight empty rather than give figures of a weight it was not shot with.

#include "library/SeriesStore.h"
#include "series/USeries.h"

#include <optional>
#include <string>
#include <vector>

class QWidget;

// Reads series of the library for a window, and tells the user once, when all are read, what
// was not: rows without a readable speed are left out, and a series longer than a series can be
// is refused whole.
class TSeriesReading {
public:
    TSeriesReading(const TSeriesStore& Store, TTranslate Translate);

    // The readable shots of Entry; none when it is refused.
    std::optional<std::vector<TData>> Shots(const TSeriesEntry& Entry);
    // What was noted, in one box over Window: an error when a series was refused.
    void Tell(QWidget* Window) const;

private:
    void Note(const TSeriesEntry& Entry, const std::string& Text);

    const TSeriesStore& FStore;
    TTranslate FTranslate;
    std::string FTold;
    bool FRefused = false;
};

// Series Entry in Units with its own pellet weight, its shots read by Reading; none when it is
// refused. Without a weight of its own its energies mean nothing, and the files below leave them
// out.
std::optional<TSeries> LoadSeries(TSeriesReading& Reading, const TSeriesEntry& Entry,
                                  const TUnitSystem& Units);

// The files of the series named SeriesNames, from the one name Chosen that the user gave. A
// single series takes Chosen itself; several take "<Chosen's stem> - <series name>" with
// Chosen's extension in Chosen's folder, characters that a file name (or a memory stick) cannot
// hold replaced by "_" and " (2)", " (3)"... appended where series share a name.
std::vector<std::string> SeriesFileNames(const std::string& Chosen,
                                         const std::vector<std::string>& SeriesNames);

// Series, loaded from Entry, as a data file in its units and with its pellet weight.
void WriteDataFile(const std::string& FileName, const TSeries& Series, const TSeriesEntry& Entry);

// The series as a spreadsheet whose summary starts with the series' name and date.
void WriteSpreadsheet(const std::string& FileName, const TSeries& Series, const TSeriesEntry& Entry,
                      const TTranslate& Translate);
