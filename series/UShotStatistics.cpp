#include "series/UShotStatistics.h"

#include "platform/FormatSettings.h"

#include <algorithm>
#include <cmath>

void TRunningValues::Add(double Value) {
    Maximum = std::max(Maximum, Value);
    Minimum = std::min(Minimum, Value);
    Sum += Value;
    ++Count;
    const double Deviation = Value - Mean;
    Mean += Deviation / Count;
    SquaredDeviations += Deviation * (Value - Mean);
}

double TRunningValues::StandardDeviation() const {
    return std::sqrt(SquaredDeviations / (Count - 1));
}

void TShotStatistics::Add(const TShotValues& Shot) {
    Speed.Add(Shot.Speed);
    Energy.Add(Shot.Energy);
}

TStatisticsTexts StatisticsTexts(const TRunningValues& Values) {
    if (Values.Count == 0) {
        const std::string& Separator = platform::FormatSettings().DecimalSeparator;
        const std::string Value = "\u2013\u2013\u2013\u2013" + Separator + " \u2013\u2013";
        const std::string Diff = "\u2013\u2013" + Separator + " \u2013\u2013";
        return {Value, Value, Value, Diff, Diff};
    }
    const double Average = Values.Average();
    return {FormatValue(Values.Maximum), FormatValue(Average), FormatValue(Values.Minimum),
            FormatValue(Values.Maximum - Average), FormatValue(Values.Minimum - Average)};
}

TSpreadTexts SpreadTexts(const TRunningValues& Values) {
    if (Values.Count < 2)
        return {"\u2013\u2013", "\u2013\u2013"};
    return {FormatValue(Values.ExtremeSpread()), FormatValue(Values.StandardDeviation())};
}
