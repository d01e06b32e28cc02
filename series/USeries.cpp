#include "series/USeries.h"

#include "platform/NumberFormats.h"

#include <algorithm>
#include <filesystem>

namespace {

// A statistic for a spreadsheet: a number, or an empty cell where the series gives none.
std::string SheetValue(bool Defined, double Value) {
    return Defined ? FormatValue(Value) : std::string();
}

} // namespace

std::string TranslateWith(const TTranslate& Translate, const std::string& Pattern,
                          const std::string& Value) {
    return platform::Format(Translate(Pattern), {Value});
}

std::string SeriesNameOfFile(const std::string& FileName) {
    const std::filesystem::path Path(FileName);
    const std::string Stem = Path.stem().string();
    return Stem.empty() ? Path.filename().string() : Stem;
}

std::string FileNameWithoutFolder(const std::string& FileName) {
    return std::filesystem::path(FileName).filename().string();
}

bool TSeries::Append(TData Shot) {
    if (Full())
        return false;
    FValues.push_back(ValuesOf(Shot));
    try {
        FShots.push_back(std::move(Shot));
    } catch (...) {
        // Shots and values stay the same length, whatever runs out.
        FValues.pop_back();
        throw;
    }
    FStatistics.Add(FValues.back());
    Notify(TSeriesChange::Appended, FShots.size() - 1);
    return true;
}

void TSeries::AppendAll(std::vector<TData> Shots) {
    CheckRoom(FShots.size() + Shots.size());
    const std::size_t First = FShots.size();
    FShots.reserve(First + Shots.size());
    FValues.reserve(First + Shots.size());
    for (TData& Shot : Shots) {
        FValues.push_back(ValuesOf(Shot));
        FStatistics.Add(FValues.back());
        FShots.push_back(std::move(Shot));
    }
    Notify(TSeriesChange::Appended, First);
}

void TSeries::CheckRoom(std::size_t Count) {
    if (Count > MaxShots)
        throw ESeriesFull("A series holds at most " + std::to_string(MaxShots) + " shots; " +
                          std::to_string(Count) + " are too many.");
}

void TSeries::Delete(const std::vector<std::size_t>& Indexes) {
    // The test sees each shot in its old place, before any kept shot moves over it; a kept shot
    // is never moved onto itself, which would empty its unit.
    const TData* const First = FShots.data();
    std::erase_if(FShots, [&](const TData& Shot) {
        return std::binary_search(Indexes.begin(), Indexes.end(),
                                  static_cast<std::size_t>(&Shot - First));
    });
    Recompute();
}

void TSeries::Replace(std::vector<TData> Shots) {
    CheckRoom(Shots.size());
    FShots = std::move(Shots);
    // A series read from a file grew by doubling: what it did not fill goes back.
    FShots.shrink_to_fit();
    Recompute();
}

void TSeries::Clear() {
    FShots.clear();
    FShots.shrink_to_fit();
    Recompute();
}

void TSeries::SetUnits(const TUnitSystem& Units) {
    FUnits = &Units;
    Recompute();
}

void TSeries::SetPeletWeight(double Value) {
    FPeletWeight = Value;
    Recompute();
}

TShotValues TSeries::ValuesOf(const TData& Shot) const {
    const double Speed = Shot.SpeedIn(FUnits->SpeedUnit);
    return {Speed, ShotEnergy(Speed, FPeletWeight, *FUnits)};
}

void TSeries::Recompute() {
    FValues.clear();
    FValues.reserve(FShots.size());
    FStatistics = {};
    for (const TData& Shot : FShots) {
        FValues.push_back(ValuesOf(Shot));
        FStatistics.Add(FValues.back());
    }
    Notify(TSeriesChange::Reset, 0);
}

void TSeries::Notify(TSeriesChange Change, std::size_t First) const {
    if (OnChange)
        OnChange(Change, First);
}

TSeriesFigures TSeries::Figures(const TTranslate& Translate) const {
    const int Count = FStatistics.Count();
    const double MeanSpeed = Count > 0 ? FStatistics.Speed.Average() : 0;
    TSeriesFigures Figures;
    Figures.Header = {Translate("Shot"), Translate("Time"),
                      TranslateWith(Translate, "Speed [%s]", FUnits->SpeedUnit),
                      TranslateWith(Translate, "Difference from mean [%s]", FUnits->SpeedUnit),
                      TranslateWith(Translate, "Energy [%s]", FUnits->EnergyUnit)};
    Figures.Shots.reserve(FShots.size());
    for (std::size_t i = 0; i < FShots.size(); ++i)
        Figures.Shots.push_back(
            {std::to_string(i + 1), ReceivedText(FShots[i]), FormatValue(FValues[i].Speed),
             FormatValue(FValues[i].Speed - MeanSpeed), FormatValue(FValues[i].Energy)});
    const auto Add = [&](const char* Caption, bool Defined, auto Value) {
        Figures.Statistics.push_back({Translate(Caption),
                                      SheetValue(Defined, Value(FStatistics.Speed)),
                                      SheetValue(Defined, Value(FStatistics.Energy))});
    };
    Add("Maximum", Count > 0, [](const TRunningValues& V) { return V.Maximum; });
    Add("Mean", Count > 0, [](const TRunningValues& V) { return V.Average(); });
    Add("Minimum", Count > 0, [](const TRunningValues& V) { return V.Minimum; });
    Add("Extreme spread", Count > 1, [](const TRunningValues& V) { return V.ExtremeSpread(); });
    Add("Standard deviation", Count > 1,
        [](const TRunningValues& V) { return V.StandardDeviation(); });
    Figures.Count = {Translate("Shots"), std::to_string(Count)};
    Figures.PeletWeight = {TranslateWith(Translate, "Pelet Weight [%s]", FUnits->WeightUnit),
                           platform::FormatFloat("0.000", FPeletWeight)};
    return Figures;
}
