#include "series/TrajectoryTexts.h"

#include "platform/NumberFormats.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double MetresPerInch = 0.0254;
constexpr double MetresPerYard = 0.9144;
constexpr double MetresPerSecondPerMph = 0.44704;
constexpr double HectopascalsPerInchOfMercury = 33.8639;
// Marks the energies below the hunting minimum in the table.
constexpr const char* BelowMinimumMark = " \u2193";

// Of the quantities whose units the unit system does not name; the last is the pressure.
TBallisticUnit Metric(TBallisticQuantity Quantity) {
    switch (Quantity) {
    case TBallisticQuantity::Height:
        return {"cm", 100, 0, 1};
    case TBallisticQuantity::Range:
        return {"m", 1, 0, 0};
    case TBallisticQuantity::Wind:
        return {"m/s", 1, 0, 1};
    case TBallisticQuantity::KillZone:
        return {"mm", 1000, 0, 0};
    case TBallisticQuantity::Temperature:
        return {"\u00B0C", 1, 0, 0};
    default:
        return {"hPa", 1, 0, 2};
    }
}

TBallisticUnit Imperial(TBallisticQuantity Quantity) {
    switch (Quantity) {
    case TBallisticQuantity::Height:
    case TBallisticQuantity::KillZone:
        return {"in", 1 / MetresPerInch, 0, 2};
    case TBallisticQuantity::Range:
        return {"yd", 1 / MetresPerYard, 0, 0};
    case TBallisticQuantity::Wind:
        return {"mph", 1 / MetresPerSecondPerMph, 0, 1};
    case TBallisticQuantity::Temperature:
        return {"\u00B0F", 1.8, 32, 0};
    default:
        return {"inHg", 1 / HectopascalsPerInchOfMercury, 0, 2};
    }
}

std::string WithUnit(const TBallisticUnit& Unit, double Value) {
    return Unit.Text(Value) + " " + Unit.Name;
}

std::string Caption(const TTranslate& Translate, const char* Pattern, const std::string& Unit) {
    return FillPlaceholders(Translate(Pattern), {Unit});
}

} // namespace

TTrajectoryInput StartingTrajectory(std::optional<double> MuzzleSpeed,
                                    std::optional<double> PeletWeight,
                                    std::optional<double> BallisticCoefficient,
                                    std::optional<double> SightHeight,
                                    std::optional<double> ZeroRange) {
    TTrajectoryInput Input;
    Input.MuzzleSpeed = MuzzleSpeed.value_or(240);
    Input.PelletMass = PeletWeight.value_or(0.547) / 1000;
    Input.BallisticCoefficient = BallisticCoefficient.value_or(0.025);
    Input.SightHeight = SightHeight.value_or(0.045);
    Input.ZeroRange = ZeroRange.value_or(30);
    Input.LastRange = 50;
    Input.RangeStep = 5;
    return Input;
}

std::string TBallisticUnit::Text(double Value) const {
    return platform::FormatDecimals(Shown(Value), Decimals);
}

std::optional<double> TBallisticUnit::Read(const std::string& Text) const {
    double Typed = 0;
    if (!platform::TryStrToFloat(Text, Typed))
        return std::nullopt;
    return Value(Typed);
}

TBallisticUnit BallisticUnit(TBallisticQuantity Quantity, const TUnitSystem& Units) {
    switch (Quantity) {
    case TBallisticQuantity::Speed:
        return {Units.SpeedUnit, Units.SpeedFactor, 0, 1};
    case TBallisticQuantity::Coefficient:
        return {"lb/in\u00B2", 1, 0, 3};
    case TBallisticQuantity::Energy:
        return {Units.EnergyUnit, 1 / Units.EnergyFactor, 0, 1};
    case TBallisticQuantity::Weight:
        return {Units.WeightUnit, Units.WeightFactor * 1000, 0, IsImperial(Units) ? 2 : 3};
    case TBallisticQuantity::Humidity:
        return {"%", 100, 0, 0};
    default:
        return IsImperial(Units) ? Imperial(Quantity) : Metric(Quantity);
    }
}

TTrajectoryTable TrajectoryTable(const TTrajectory& Trajectory, const TUnitSystem& Units,
                                 const TTranslate& Translate) {
    const auto Unit = [&Units](TBallisticQuantity Quantity) {
        return BallisticUnit(Quantity, Units);
    };
    const TBallisticUnit Range = Unit(TBallisticQuantity::Range);
    const TBallisticUnit Height = Unit(TBallisticQuantity::Height);
    const TBallisticUnit Speed = Unit(TBallisticQuantity::Speed);
    const TBallisticUnit Energy = Unit(TBallisticQuantity::Energy);
    TTrajectoryTable Table;
    Table.Header = {Caption(Translate, "Range [%s]", Range.Name),
                    Caption(Translate, "Drop [%s]", Height.Name),
                    Translate("Holdover [mrad]"),
                    Translate("Holdover [MOA]"),
                    Caption(Translate, "Speed [%s]", Speed.Name),
                    Caption(Translate, "Energy [%s]", Energy.Name),
                    Translate("Time [s]"),
                    Caption(Translate, "Wind drift [%s]", Height.Name)};
    for (const TTrajectoryPoint& Point : Trajectory.Points)
        Table.Rows.push_back(
            {Range.Text(Point.Range), Height.Text(Point.Drop),
             platform::FormatFloat("0.00", Point.HoldoverMrad),
             platform::FormatFloat("0.0", Point.HoldoverMoa), Speed.Text(Point.Speed),
             Energy.Text(Point.Energy) + (Point.BelowMinimumEnergy ? BelowMinimumMark : ""),
             platform::FormatFloat("0.000", Point.Time), Height.Text(Point.WindDrift)});
    return Table;
}

std::string PointBlankText(const TPointBlank& Range, double KillZone, const TUnitSystem& Units,
                           const TTranslate& Translate) {
    const TBallisticUnit Zone = BallisticUnit(TBallisticQuantity::KillZone, Units);
    const TBallisticUnit Distance = BallisticUnit(TBallisticQuantity::Range, Units);
    return FillPlaceholders(
        Translate("Point-blank range for a %s kill zone: %s to %s %s; a zero at %s %s makes it "
                  "reach %s %s"),
        {WithUnit(Zone, KillZone), Distance.Text(Range.Near), Distance.Text(Range.Far),
         Distance.Name, Distance.Text(Range.BestZero), Distance.Name, Distance.Text(Range.BestFar),
         Distance.Name});
}

std::string MinimumEnergyText(const TTrajectory& Trajectory, double MinimumEnergy,
                              const TUnitSystem& Units, const TTranslate& Translate) {
    const auto Below = std::ranges::find_if(
        Trajectory.Points, [](const TTrajectoryPoint& Point) { return Point.BelowMinimumEnergy; });
    if (MinimumEnergy <= 0 || Below == Trajectory.Points.end())
        return {};
    const TBallisticUnit Range = BallisticUnit(TBallisticQuantity::Range, Units);
    return FillPlaceholders(
        Translate("The energy falls below %s from %s %s on (\u2193 in the table)"),
        {WithUnit(BallisticUnit(TBallisticQuantity::Energy, Units), MinimumEnergy),
         Range.Text(Below->Range), Range.Name});
}

std::string BallisticCoefficientText(const TBcEstimate& Estimate, const TUnitSystem& Units,
                                     const TTranslate& Translate) {
    const TBallisticUnit Coefficient = BallisticUnit(TBallisticQuantity::Coefficient, Units);
    const std::string Shots = std::to_string(Estimate.NearShots);
    const std::string FarShots = std::to_string(Estimate.FarShots);
    const std::string Distance =
        WithUnit(BallisticUnit(TBallisticQuantity::Range, Units), Estimate.Distance);
    if (std::isinf(Estimate.Interval.Upper))
        return FillPlaceholders(
            Translate("BC %s %s (95 % interval from %s up: the two series' speeds overlap), from "
                      "%s shots at the muzzle and %s at %s"),
            {Coefficient.Text(Estimate.Bc), Coefficient.Name,
             Coefficient.Text(Estimate.Interval.Lower), Shots, FarShots, Distance});
    return FillPlaceholders(
        Translate("BC %s %s (95 % interval %s to %s), from %s shots at the muzzle and %s at %s"),
        {Coefficient.Text(Estimate.Bc), Coefficient.Name, Coefficient.Text(Estimate.Interval.Lower),
         Coefficient.Text(Estimate.Interval.Upper), Shots, FarShots, Distance});
}
