#include "chart/AxisScaling.h"

#include "platform/NumberFormats.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

TAxisStep ChooseAxisStep(int TickCount, double Min, double Max) {
    const int Intervals = std::max(2, TickCount - 1);
    const double Raw = std::fabs(Max - Min) / Intervals;
    const double Magnitude = DecimalMagnitude(Raw);
    // A range too wide to count in steps (an infinite value) is scaled like equal values.
    const bool Countable = std::isfinite(Raw);
    TAxisStep Result;
    while (Countable && Result.Step < Raw)
        Result.Step += 0.5 * Magnitude;
    if (Result.Step == 0) {
        Result.Step = 1;
        Result.Start = Min - TickCount / 2;
        return Result;
    }
    for (;;) {
        Result.Start = std::trunc(Min / Result.Step) * Result.Step;
        if (Result.Start > Min)
            Result.Start -= Result.Step;
        if (Result.Start + Result.Step * Intervals >= Max)
            return Result;
        Result.Step += 0.5 * Magnitude;
    }
}

long long RoundLabelStep(double SlotWidth, double LabelWidth) {
    // A ratio beyond any screen (or no number) would outrun the count.
    if (!(SlotWidth > 0) || !(LabelWidth / SlotWidth <= 1e15))
        return 1;
    for (long long Magnitude = 1;; Magnitude *= 10)
        for (const long long Step : {Magnitude, 2 * Magnitude, 5 * Magnitude})
            if (double(Step) * SlotWidth >= LabelWidth)
                return Step;
}

// The exponent is taken from the scientific form with 15 significant digits, so that a value
// that rounds up to the next power of ten there, such as 9.9999999999999999, counts as that power.
double DecimalMagnitude(double X) {
    char Text[64];
    const auto End = std::to_chars(Text, Text + sizeof Text, X, std::chars_format::scientific, 14);
    const std::string_view Scientific(Text, End.ptr);
    const std::size_t E = Scientific.find('e');
    const std::string Power =
        "1" + std::string(E == std::string_view::npos ? "" : Scientific.substr(E));
    double Result = 1;
    std::from_chars(Power.data(), Power.data() + Power.size(), Result);
    return Result;
}

std::string FormatAxisValue(double X) {
    if (X == NoValue)
        return "~";
    return platform::FormatFloat("0.##", X);
}
