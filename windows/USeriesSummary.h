#pragma once

// What the library's windows show of a recorded series, in the display units. The store keeps
// speeds in m/s, pellet weights in grams, pressures in bar and temperatures in degrees Celsius,
// whatever the display showed when they were noted; the windows convert on the way out and, for
// what the user types, on the way back. No widget is involved.

#include "library/SeriesStore.h"
#include "series/UData.h"

#include <cstddef>
#include <optional>
#include <string>

// A speed of the store (m/s) in the display speed unit. The library converts with the unit
// system's factor, as the energies do, so that a series reads alike in all its windows.
double DisplaySpeed(double MetresPerSecond, const TUnitSystem& Units);
double DisplaySpeed(const TData& Shot, const TUnitSystem& Units);

// The pellet weight (display unit) that the energies of a series use: its own, the one it was
// shot with or noted with it. None for a series that has none: its energies are unknown, since the
// weight the main window has in force now need not be the one it was shot with.
std::optional<double> SeriesPeletWeight(const TSeriesNotes& Notes, const TUnitSystem& Units);

// The mean of the shots' energies (display unit) of Count shots whose speeds (display unit) have
// Mean and the sample deviation Deviation (none for a single shot). The mean of m v^2 / 2 is
// m (mean^2 + s^2 (n - 1) / n) / 2: the squares' mean follows from the two figures the library
// keeps, so no shot needs to be read.
double MeanEnergy(std::size_t Count, double Mean, std::optional<double> Deviation,
                  double PeletWeight, const TUnitSystem& Units);
// The same of a listed series; none without shots or without a pellet weight.
std::optional<double> MeanEnergy(const TSeriesEntry& Entry, const TUnitSystem& Units);

// The figures noted with a series that have a unit.
enum class TNoteQuantity { PeletWeight, Pressure, Temperature };

// g or gr, bar or psi, degrees Celsius or Fahrenheit.
std::string NoteUnit(TNoteQuantity Quantity, const TUnitSystem& Units);
double NoteToDisplay(TNoteQuantity Quantity, double Stored, const TUnitSystem& Units);
double NoteFromDisplay(TNoteQuantity Quantity, double Shown, const TUnitSystem& Units);
// As the notes box shows it; empty when not noted.
std::string NoteText(TNoteQuantity Quantity, const std::optional<double>& Stored,
                     const TUnitSystem& Units);
