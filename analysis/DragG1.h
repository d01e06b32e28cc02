#pragma once

// The G1 drag function, the drag coefficient of the G1 standard projectile (Ingalls' flat-based
// bullet, 1 lb, 1 in across) against Mach number, and the deceleration it gives a pellet of a
// given ballistic coefficient in the air of the day. G1 is the function pellet makers quote
// their BC against.

#include "analysis/Atmosphere.h"

// The coefficient at Mach (not negative, else EStatisticsError): the table's points linearly
// interpolated; beyond its last point, Mach 5, its last value, where the curve has flattened.
double G1DragCoefficient(double Mach);

// A BC in lb/in² is a mass per area: 1 lb/in² = 0.45359237 kg / 0.0254² m² = 703.07 kg/m².
inline constexpr double KilogramsPerSquareMetrePerBc = 0.45359237 / (0.0254 * 0.0254);

// The drag of a pellet with a G1 BallisticCoefficient (lb/in²) in Air. The drag force is
// rho v² Cd A / 2; a pellet of form factor i has the drag coefficient i Cd_G1(Mach), and its BC
// is its mass over i d², d its diameter. Its deceleration is therefore
//     a = rho v² Cd_G1(v / c) (pi / 8) / BC,   BC in kg/m²,
// with rho the day's air density: the BC is a property of the pellet alone. Calculators that
// scale a standard retardation by the density's ratio to a reference air agree with this where
// the reference is the ICAO standard atmosphere (1.2250 kg/m³), which is what "referred to the
// ICAO standard atmosphere" means here; referred to the Army Standard Metro air (1.2034 kg/m³)
// the same pellet's BC is 1.8 % larger.
class TG1Drag {
public:
    TG1Drag(double BallisticCoefficient, const TAir& Air);

    // The share of its speed a pellet flying at AirSpeed through the air loses per metre of its
    // path, 1/m: the deceleration is DecayPerMetre(|v|) |v| v, opposite to v.
    double DecayPerMetre(double AirSpeed) const;

private:
    double Factor;
    double SoundSpeed;
};
