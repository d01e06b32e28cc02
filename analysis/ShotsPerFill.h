#pragma once

// Shots per fill of a pre-charged air gun: the longest stretch of a series from one fill whose
// speeds stay within a band, and the pressures between which the gun shot it, so that the user
// knows to which pressure to fill and down to which pressure to shoot.

// EStatisticsError, which every function here raises for input it cannot work with.
#include "analysis/StudentT.h"

#include <cstddef>
#include <optional>
#include <span>

// Shots First to Last of a series, 0-based and inclusive.
struct TUsableRun {
    std::size_t First = 0;
    std::size_t Last = 0;
    // Maximum - minimum of the run's speeds.
    double ExtremeSpread = 0;

    std::size_t Count() const { return Last - First + 1; }
    bool operator==(const TUsableRun&) const = default;
};

// The longest run of consecutive shots whose extreme spread is at most Band (>= 0), the earliest
// of equally long ones; none for no shots. A spread within 1e-9 of Band, relative to it, counts
// as inside, so that speeds read with one decimal span the band they appear to span.
std::optional<TUsableRun> LongestRunWithin(std::span<const double> Speeds, double Band);

struct TPressureWindow {
    // Just before the run's first shot.
    double AtStart = 0;
    // Just after the run's last shot.
    double AtEnd = 0;
};

// The pressures around Run if the pressure fell evenly from FillPressure before the first of
// Shots shots to EndPressure after the last. A run of the whole series gives both exactly.
TPressureWindow PressureWindow(double FillPressure, double EndPressure, std::size_t Shots,
                               const TUsableRun& Run);
