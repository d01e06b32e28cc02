#include "library/SpeedFigures.h"

#include <algorithm>
#include <cmath>

void TSpeedFigures::Add(double Speed) {
    if (!Origin)
        Origin = Speed;
    const double Deviation = Speed - *Origin;
    ++Count;
    Sum += Deviation;
    Squares += Deviation * Deviation;
    Minimum = Minimum ? std::min(*Minimum, Speed) : Speed;
    Maximum = Maximum ? std::max(*Maximum, Speed) : Speed;
}

void TSpeedFigures::Remove(double Speed) {
    if (Count <= 1) {
        *this = {};
        return;
    }
    const double Deviation = Speed - Origin.value_or(Speed);
    --Count;
    Sum -= Deviation;
    Squares -= Deviation * Deviation;
}

std::optional<double> TSpeedFigures::Mean() const {
    if (Count == 0 || !Origin)
        return std::nullopt;
    return *Origin + Sum / static_cast<double>(Count);
}

std::optional<double> TSpeedFigures::Deviation() const {
    if (Count < 2)
        return std::nullopt;
    const double N = static_cast<double>(Count);
    // What rounding leaves below zero is no scatter.
    return std::sqrt(std::max(0.0, (Squares - Sum * Sum / N) / (N - 1)));
}
