#include "analysis/Atmosphere.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

// The ICAO standard atmosphere: sea-level temperature and pressure, lapse rate of the
// troposphere, standard gravity, the gas constant of dry air and its ratio of specific heats,
// and the Earth's radius that turns a height above sea level into a geopotential one.
constexpr double SeaLevelKelvin = 288.15;
constexpr double SeaLevelHpa = 1013.25;
constexpr double LapseRate = 0.0065;
constexpr double StandardGravity = 9.80665;
constexpr double DryAirGasConstant = 287.05287;
constexpr double HeatCapacityRatio = 1.4;
constexpr double EarthRadius = 6356766;
// Of water vapour, J/(kg K).
constexpr double VapourGasConstant = 461.5;
constexpr double ZeroCelsius = 273.15;

std::string NumberText(double Value) {
    char Buffer[32];
    return std::string(Buffer, std::to_chars(Buffer, Buffer + sizeof Buffer, Value).ptr);
}

// The air a rifle is shot in, and what the formulas hold for: Buck's saturation pressure to
// 60 °C stays below the lowest pressure allowed, so the dry air's share is never negative.
void RequireTemperature(double TemperatureC) {
    RequireBetween(TemperatureC, -60, 60, "The temperature in °C");
}

void RequireAir(const TAir& Air) {
    RequireTemperature(Air.TemperatureC);
    RequireBetween(Air.PressureHpa, 300, 1100, "The air pressure in hPa");
    RequireBetween(Air.RelativeHumidity, 0, 1, "The relative humidity");
}

double VapourPressureHpa(const TAir& Air) {
    return Air.RelativeHumidity * SaturationVapourPressure(Air.TemperatureC);
}

} // namespace

void RequirePositive(double Value, const char* What) {
    if (!(std::isfinite(Value) && Value > 0))
        throw EStatisticsError(std::string(What) + " must be a positive number, not " +
                               NumberText(Value));
}

void RequireNotNegative(double Value, const char* What) {
    if (!(std::isfinite(Value) && Value >= 0))
        throw EStatisticsError(std::string(What) + " must be a number not below 0, not " +
                               NumberText(Value));
}

void RequireBetween(double Value, double Lowest, double Highest, const char* What) {
    if (!(Value >= Lowest && Value <= Highest))
        throw EStatisticsError(std::string(What) + " must be from " + NumberText(Lowest) + " to " +
                               NumberText(Highest) + ", not " + NumberText(Value));
}

double StationPressureAtAltitude(double AltitudeM) {
    RequireBetween(AltitudeM, -500, 9000, "The altitude in m");
    const double Geopotential = EarthRadius * AltitudeM / (EarthRadius + AltitudeM);
    const double Exponent = StandardGravity / (DryAirGasConstant * LapseRate);
    return SeaLevelHpa * std::pow(1 - LapseRate * Geopotential / SeaLevelKelvin, Exponent);
}

double SaturationVapourPressure(double TemperatureC) {
    RequireTemperature(TemperatureC);
    const double T = TemperatureC;
    return 6.1121 * std::exp((18.678 - T / 234.5) * (T / (257.14 + T)));
}

double AirDensity(const TAir& Air) {
    RequireAir(Air);
    const double Kelvin = Air.TemperatureC + ZeroCelsius;
    const double Vapour = 100 * VapourPressureHpa(Air);
    const double DryAir = 100 * Air.PressureHpa - Vapour;
    return DryAir / (DryAirGasConstant * Kelvin) + Vapour / (VapourGasConstant * Kelvin);
}

double SpeedOfSound(const TAir& Air) {
    RequireAir(Air);
    const double VapourShare = VapourPressureHpa(Air) / Air.PressureHpa;
    const double VirtualKelvin = (Air.TemperatureC + ZeroCelsius) /
                                 (1 - VapourShare * (1 - DryAirGasConstant / VapourGasConstant));
    return std::sqrt(HeatCapacityRatio * DryAirGasConstant * VirtualKelvin);
}
