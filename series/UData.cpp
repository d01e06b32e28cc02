#include "series/UData.h"

#include "platform/NumberFormats.h"
#include "text/StringUtils.h"

#include <cmath>
#include <cstdio>
#include <string_view>

namespace {

// Feet per second in one metre per second: the double nearest 1 / 0.3048.
constexpr double FpsPerMetrePerSecond = 3.280839895013123;

} // namespace

TData::TData(const std::string& Unit, double Speed, std::optional<platform::TLocalTime> Received)
    : FSpeed(Speed), FSpeedUnit(UpperCaseNational(Unit)), FReceived(Received) {}

double TData::SpeedIn(const std::string& TargetUnit) const {
    const std::string Target = UpperCaseNational(TargetUnit);
    double Factor = 1.0;
    if (Target == "M/S" && FSpeedUnit == "FPS")
        Factor = 1.0 / FpsPerMetrePerSecond;
    else if (Target == "FPS" && FSpeedUnit == "M/S")
        Factor = FpsPerMetrePerSecond;
    return FSpeed * Factor;
}

bool IsImperial(const TUnitSystem& Units) {
    return std::string_view(Units.Name) == ImperialUnits.Name;
}

double ShotEnergy(double Speed, double PeletWeight, const TUnitSystem& Units) {
    const double MetresPerSecond = Speed / Units.SpeedFactor;
    const double Grams = PeletWeight / Units.WeightFactor;
    return MetresPerSecond * MetresPerSecond * (Grams / 1000 / 2) / Units.EnergyFactor;
}

std::string FormatValue(double Value) {
    return platform::FormatFloat("#####0.00", Value);
}

std::string FormatAgainstLimit(double Value, double Limit, int Decimals) {
    constexpr int MostDecimals = 6;
    const bool Over = AtLimit(Value, Limit);
    for (int Shown = Decimals; Shown <= MostDecimals; ++Shown) {
        const std::string Text = platform::FormatDecimals(Value, Shown);
        if (AtLimit(platform::StrToFloat(Text), Limit) == Over)
            return Text;
    }
    const double Scale = std::pow(10.0, MostDecimals);
    const double Away = Over ? std::ceil(Value * Scale) : std::floor(Value * Scale);
    return platform::FormatDecimals(Away / Scale, MostDecimals);
}

std::string ReceivedText(const TData& Shot) {
    return Shot.Received() ? LocalTimeText(*Shot.Received()) : std::string();
}

std::string LocalTimeText(const platform::TLocalTime& Time) {
    char Text[32];
    std::snprintf(Text, sizeof Text, "%04d-%02d-%02d %02d:%02d:%02d", Time.Year, Time.Month,
                  Time.Day, Time.Hour, Time.Minute, Time.Second);
    return Text;
}
