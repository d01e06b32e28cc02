#include "analysis/VelocityDrift.h"

#include <algorithm>
#include <cmath>

namespace {

void CheckDriftArguments(std::span<const double> Speeds, double Level) {
    RequireConfidenceLevel(Level);
    if (Speeds.size() < 3)
        throw EStatisticsError("A drift needs at least three shots");
    RequireFiniteSpeeds(Speeds);
}

// The shot number less its mean (n + 1) / 2: a whole or half number, exact.
double CentredShot(std::size_t Index, double MeanShot) {
    return static_cast<double>(Index + 1) - MeanShot;
}

// Sum (x - mean x)^2 over x = 1..n in closed form: n (n^2 - 1) / 12.
double ShotSquares(double Count) {
    return Count * (Count * Count - 1) / 12;
}

// Sum (x - mean x)(y - mean y): deviations from the means, not the sum of products less the
// product of sums, which cancels every digit of a million shots near 250.
double CentredProducts(std::span<const double> Speeds, double MeanShot, double MeanSpeed) {
    double Sum = 0;
    for (std::size_t i = 0; i < Speeds.size(); ++i)
        Sum += CentredShot(i, MeanShot) * (Speeds[i] - MeanSpeed);
    return Sum;
}

// The squared residuals themselves rather than Syy - b Sxy, which cancels for speeds close to
// the line, can turn negative, and leaves a perfect line a little scatter.
double ResidualSquares(std::span<const double> Speeds, double MeanShot, double MeanSpeed,
                       double Slope) {
    double Sum = 0;
    for (std::size_t i = 0; i < Speeds.size(); ++i) {
        const double Residual = Speeds[i] - MeanSpeed - Slope * CentredShot(i, MeanShot);
        Sum += Residual * Residual;
    }
    return Sum;
}

} // namespace

double TDrift::SpeedAt(double ShotNumber) const {
    return Intercept + Slope * ShotNumber;
}

TDrift VelocityDrift(std::span<const double> Speeds, double Level) {
    CheckDriftArguments(Speeds, Level);
    const double Count = static_cast<double>(Speeds.size());
    const double MeanShot = (Count + 1) / 2;
    const double Mean = MeanSpeed(Speeds);
    TDrift Drift;
    Drift.Shots = Speeds.size();
    Drift.Slope = CentredProducts(Speeds, MeanShot, Mean) / ShotSquares(Count);
    Drift.Intercept = Mean - Drift.Slope * MeanShot;
    const double Variance = ResidualSquares(Speeds, MeanShot, Mean, Drift.Slope) / (Count - 2);
    // From the lower tail (1 - Level) / 2, which stays exact where 0.5 + Level / 2 would round.
    const double Half =
        -StudentTQuantile((1 - Level) / 2, Count - 2) * std::sqrt(Variance / ShotSquares(Count));
    Drift.SlopeInterval = {Drift.Slope - Half, Drift.Slope + Half};
    RequireFiniteFigures({Drift.Intercept, Drift.SlopeInterval.Lower, Drift.SlopeInterval.Upper});
    Drift.Significant = Drift.SlopeInterval.Lower > 0 || Drift.SlopeInterval.Upper < 0;
    return Drift;
}
