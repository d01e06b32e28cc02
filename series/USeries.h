#pragma once

// A series of shots and what follows from it in the display units: the speed and energy of each
// shot, the statistics with spread and deviation, and the figures that the exports and the report
// write. No widget is involved: the window shows what the series tells it.

#include "series/UData.h"
#include "series/UShotStatistics.h"

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// How a series changed: shots were added at its end, or any shot may now differ (a deletion,
// a replacement, other units or another pellet weight).
enum class TSeriesChange { Appended, Reset };

// A series that would hold more shots than a series may.
class ESeriesFull : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One row of a table as the exports and the report write it: every field a finished text.
using TSheetRow = std::vector<std::string>;

// The shots and statistics of a series as the exports and the report write them, every text
// translated and every number formatted; an empty text where the series gives no value.
struct TSeriesFigures {
    // Shot, time received, speed, difference from the mean speed, energy: the captions and one
    // row a shot.
    TSheetRow Header;
    std::vector<TSheetRow> Shots;
    // Caption, speed, energy: maximum, mean, minimum, extreme spread, standard deviation.
    std::vector<TSheetRow> Statistics;
    // Caption and value.
    TSheetRow Count, PeletWeight;
};

// The name of a series loaded or imported from FileName: the file's name without its folder and
// its last extension.
std::string SeriesNameOfFile(const std::string& FileName);
// The file's name with its extension, without its folder: "m1.csv".
std::string FileNameWithoutFolder(const std::string& FileName);

// English text in, the user's language out.
using TTranslate = std::function<std::string(const std::string&)>;

// Pattern in the user's language, its "%s" filled with Value: patterns are translated first and
// filled afterwards, so that a translation may place the value where its language needs it.
std::string TranslateWith(const TTranslate& Translate, const std::string& Pattern,
                          const std::string& Value);

class TSeries {
public:
    // Far beyond any string of shots, and what the memory of a laptop holds with room to spare.
    static constexpr std::size_t MaxShots = 1'000'000;

    // Told after every change; First is the first new shot of an append.
    std::function<void(TSeriesChange Change, std::size_t First)> OnChange;

    const std::vector<TData>& Shots() const { return FShots; }
    std::size_t Count() const { return FShots.size(); }
    bool Empty() const { return FShots.empty(); }
    bool Full() const { return FShots.size() >= MaxShots; }

    // Adds a shot at the end; a full series adds nothing and gives false.
    bool Append(TData Shot);
    // Removes the shots at Indexes (in increasing order); every other shot stays as it was.
    void Delete(const std::vector<std::size_t>& Indexes);
    // Adds Shots at the end; more than the series has room for raise ESeriesFull and add none.
    void AppendAll(std::vector<TData> Shots);
    // The series becomes Shots; more than MaxShots raise ESeriesFull and change nothing.
    void Replace(std::vector<TData> Shots);
    void Clear();

    const TUnitSystem& Units() const { return *FUnits; }
    void SetUnits(const TUnitSystem& Units);
    // In the display weight unit.
    double PeletWeight() const { return FPeletWeight; }
    void SetPeletWeight(double Value);
    // In the display units; a shot at or over a limit is shown red (AtLimit).
    double SpeedLimit() const { return FSpeedLimit; }
    double EnergyLimit() const { return FEnergyLimit; }
    void SetSpeedLimit(double Value) { FSpeedLimit = Value; }
    void SetEnergyLimit(double Value) { FEnergyLimit = Value; }

    // The shot at Index as the display shows it.
    const TShotValues& Values(std::size_t Index) const { return FValues[Index]; }
    const TShotStatistics& Statistics() const { return FStatistics; }

    TSeriesFigures Figures(const TTranslate& Translate) const;

private:
    static void CheckRoom(std::size_t Count);
    TShotValues ValuesOf(const TData& Shot) const;
    void Recompute();
    void Notify(TSeriesChange Change, std::size_t First) const;

    std::vector<TData> FShots;
    std::vector<TShotValues> FValues;
    TShotStatistics FStatistics;
    const TUnitSystem* FUnits = &MetricUnits;
    double FPeletWeight = 0.547;
    double FSpeedLimit = NoLimit;
    double FEnergyLimit = NoLimit;
};
