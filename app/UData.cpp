#include "app/UData.h"

#include "platform/NumberFormats.h"
#include "text/StringUtils.h"

namespace {

// Feet per second in one metre per second: the double nearest 1 / 0.3048.
constexpr double FpsPerMetrePerSecond = 3.280839895013123;

} // namespace

TData::TData(const std::string& Unit, double Speed)
    : FSpeed(Speed), FSpeedUnit(UpperCaseNational(Unit)) {}

double TData::SpeedIn(const std::string& TargetUnit) const {
    const std::string Target = UpperCaseNational(TargetUnit);
    double Factor = 1.0;
    if (Target == "M/S" && FSpeedUnit == "FPS")
        Factor = 1.0 / FpsPerMetrePerSecond;
    else if (Target == "FPS" && FSpeedUnit == "M/S")
        Factor = FpsPerMetrePerSecond;
    return FSpeed * Factor;
}

double ShotEnergy(double Speed, double PeletWeight, const TUnitSystem& Units) {
    const double MetresPerSecond = Speed / Units.SpeedFactor;
    const double Grams = PeletWeight / Units.WeightFactor;
    return MetresPerSecond * MetresPerSecond * (Grams / 1000 / 2) / Units.EnergyFactor;
}

std::string FormatValue(double Value) {
    return platform::FormatFloat("#####0.00", Value);
}
