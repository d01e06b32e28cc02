#pragma once

// The pure arithmetic of the chart's axes: the tick step, decimal magnitudes and tick labels.

#include <string>

// Stands for an absent value in minimum and maximum searches and in tick labels.
inline constexpr double NoValue = 1.7e308;

struct TAxisStep {
    double Step = 0;
    double Start = 0;
};

// The step is the smallest multiple of half the decimal magnitude of the raw interval that lets
// TickCount - 1 intervals (at least 2) from Start cover Min..Max; Start is the largest multiple
// of the step not above Min. Equal Min and Max give step 1 around the value.
TAxisStep ChooseAxisStep(int TickCount, double Min, double Max);

// The fewest slots between two labels, 1, 2 or 5 times a power of ten, that keep labels
// LabelWidth pixels wide apart when neighbouring slots are SlotWidth pixels apart; 1 for slots
// without a width.
long long RoundLabelStep(double SlotWidth, double LabelWidth);

// 10 to the power of the decimal exponent of X: 0.37 gives 0.1, 14.7 gives 10, 0 gives 1.
double DecimalMagnitude(double X);

// "0.##" with the current decimal separator, or "~" for NoValue. The two decimals hide the
// rounding errors that the tick arithmetic accumulates.
std::string FormatAxisValue(double X);
