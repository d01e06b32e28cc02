#pragma once

// The air a pellet flies through: its density scales the drag, its speed of sound sets the Mach
// number the drag coefficient is read at. The default is the ICAO standard atmosphere at sea
// level (15 °C, 1013.25 hPa, dry air), the air the ballistic coefficients here are referred to.
// The older Army Standard Metro air (59 °F, 29.53 inHg, 78 % humidity, 1.2034 kg/m³) is 1.8 %
// thinner, and a BC referred to it is 1.8 % larger for the same pellet.

// EStatisticsError, which every function here raises for input it cannot work with.
#include "analysis/StudentT.h"

struct TAir {
    double TemperatureC = 15;
    // At the range (station pressure), not reduced to sea level as weather reports give it.
    double PressureHpa = 1013.25;
    // 0 to 1.
    double RelativeHumidity = 0;
};

inline constexpr TAir StandardAir{};

// The pressure of the ICAO standard atmosphere, hPa, at AltitudeM above sea level (-500 to
// 9000 m, where the temperature falls by 6.5 K per km), for a range whose barometer is unknown.
double StationPressureAtAltitude(double AltitudeM);

// The saturation pressure of water vapour over liquid water, hPa, at TemperatureC (Buck's
// formula of 1996, within 0.05 % of the steam tables from -40 to 50 °C). Relative humidity is
// reckoned against water even below freezing, as weather services give it.
double SaturationVapourPressure(double TemperatureC);

// Kg/m³: dry air and water vapour as ideal gases at their partial pressures. Damp air is
// thinner than dry air, since a water molecule is lighter than the nitrogen it displaces.
double AirDensity(const TAir& Air);

// M/s: sqrt(gamma R T) of dry air at the virtual temperature, the dry air's temperature of equal
// density; humidity raises it by up to 0.7 % in hot, damp air. The slight change of gamma with
// humidity is left out.
double SpeedOfSound(const TAir& Air);

// The checks of the ballistics' input: EStatisticsError naming What unless Value is a finite
// number above zero, not below zero, or from Lowest to Highest.
void RequirePositive(double Value, const char* What);
void RequireNotNegative(double Value, const char* What);
void RequireBetween(double Value, double Lowest, double Highest, const char* What);
