#pragma once

// The figures the library keeps with each series, so that listing it reads no shot: how many
// shots it has and, in m/s, the sums of their speeds' deviations from the series' first speed,
// with the slowest and the fastest. Sums about a speed of the series keep the digits of
// near-equal speeds (equal ones give exactly no deviation), and they can give a shot back, as a
// deletion needs.

#include <cstdint>
#include <optional>

struct TSpeedFigures {
    std::int64_t Count = 0;
    // The speed the sums are taken about; none without shots.
    std::optional<double> Origin;
    double Sum = 0;
    double Squares = 0;
    std::optional<double> Minimum, Maximum;

    void Add(double Speed);
    // Takes Speed, which was added, away. The slowest and fastest stay as they were: the caller
    // looks them up again among the shots that remain.
    void Remove(double Speed);

    std::optional<double> Mean() const;
    // The deviation of the sample (divisor n - 1); none below two shots.
    std::optional<double> Deviation() const;
};
