#include "windows/USeriesSummary.h"

#include "platform/NumberFormats.h"

#include <cmath>

namespace {

// Pounds per square inch in one bar.
constexpr double PsiPerBar = 14.5038;

} // namespace

// Converted as the main window converts a shot, so both show the same figure.
double DisplaySpeed(double MetresPerSecond, const TUnitSystem& Units) {
    return TData(MetricUnits.SpeedUnit, MetresPerSecond).SpeedIn(Units.SpeedUnit);
}

double DisplaySpeed(const TData& Shot, const TUnitSystem& Units) {
    return Shot.SpeedIn(Units.SpeedUnit);
}

std::optional<double> SeriesPeletWeight(const TSeriesNotes& Notes, const TUnitSystem& Units) {
    if (!Notes.PeletWeight)
        return std::nullopt;
    return NoteToDisplay(TNoteQuantity::PeletWeight, *Notes.PeletWeight, Units);
}

double MeanEnergy(std::size_t Count, double Mean, std::optional<double> Deviation,
                  double PeletWeight, const TUnitSystem& Units) {
    const double Shots = static_cast<double>(Count);
    const double Deviations = Count > 1 ? Deviation.value_or(0) : 0;
    const double MeanSquare = Mean * Mean + Deviations * Deviations * (Shots - 1) / Shots;
    return ShotEnergy(std::sqrt(MeanSquare), PeletWeight, Units);
}

std::optional<double> MeanEnergy(const TSeriesEntry& Entry, const TUnitSystem& Units) {
    const std::optional<double> PeletWeight = SeriesPeletWeight(Entry.Notes, Units);
    if (Entry.ShotCount == 0 || !Entry.Mean || !PeletWeight)
        return std::nullopt;
    const std::optional<double> Deviation =
        Entry.Deviation ? std::optional(DisplaySpeed(*Entry.Deviation, Units)) : std::nullopt;
    return MeanEnergy(Entry.ShotCount, DisplaySpeed(*Entry.Mean, Units), Deviation, *PeletWeight,
                      Units);
}

std::string NoteUnit(TNoteQuantity Quantity, const TUnitSystem& Units) {
    const bool Imperial = IsImperial(Units);
    switch (Quantity) {
    case TNoteQuantity::PeletWeight:
        return Units.WeightUnit;
    case TNoteQuantity::Pressure:
        return Imperial ? "psi" : "bar";
    case TNoteQuantity::Temperature:
        return Imperial ? "\u00B0F" : "\u00B0C";
    }
    return {};
}

double NoteToDisplay(TNoteQuantity Quantity, double Stored, const TUnitSystem& Units) {
    const bool Imperial = IsImperial(Units);
    switch (Quantity) {
    case TNoteQuantity::PeletWeight:
        return Stored * Units.WeightFactor;
    case TNoteQuantity::Pressure:
        return Imperial ? Stored * PsiPerBar : Stored;
    case TNoteQuantity::Temperature:
        return Imperial ? Stored * 9 / 5 + 32 : Stored;
    }
    return Stored;
}

double NoteFromDisplay(TNoteQuantity Quantity, double Shown, const TUnitSystem& Units) {
    const bool Imperial = IsImperial(Units);
    switch (Quantity) {
    case TNoteQuantity::PeletWeight:
        return Shown / Units.WeightFactor;
    case TNoteQuantity::Pressure:
        return Imperial ? Shown / PsiPerBar : Shown;
    case TNoteQuantity::Temperature:
        return Imperial ? (Shown - 32) * 5 / 9 : Shown;
    }
    return Shown;
}

// Weights as the main window writes them; pressures and temperatures to the tenth that gauges
// and thermometers show.
std::string NoteText(TNoteQuantity Quantity, const std::optional<double>& Stored,
                     const TUnitSystem& Units) {
    if (!Stored)
        return {};
    const char* Pattern = Quantity == TNoteQuantity::PeletWeight ? "0.000" : "0.#";
    return platform::FormatFloat(Pattern, NoteToDisplay(Quantity, *Stored, Units));
}
