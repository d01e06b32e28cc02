#include "analysis/SeriesComparison.h"

#include "analysis/StudentT.h"
#include "platform/NumberFormats.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The verdict's interval is a 95 % one, so a difference counts when p is below 5 %: exactly
// then the interval leaves out zero.
constexpr double VerdictLevel = 0.95;
constexpr double Significance = 0.05;

// Smaller p-values are shown as "< 0.001" (see PValueText).
constexpr double SmallestShownP = 0.001;

void CheckSpeeds(const std::vector<double>& Speeds) {
    if (Speeds.empty())
        throw EStatisticsError("A summary needs at least one shot");
    RequireFiniteSpeeds(Speeds);
}

// The half width of the interval around an estimate with StandardError and DegreesOfFreedom,
// from the lower tail (1 - Level) / 2, which stays exact where 0.5 + Level / 2 would round.
double HalfWidth(double StandardError, double DegreesOfFreedom, double Level) {
    return -StudentTQuantile((1 - Level) / 2, DegreesOfFreedom) * StandardError;
}

// s / sqrt(n), the standard error of the mean; raises when the series is too short.
double StandardErrorOf(const TSampleSummary& Summary) {
    if (Summary.Count < 2 || !Summary.StandardDeviation)
        throw EStatisticsError("Welch's test needs two shots or more in each series");
    return *Summary.StandardDeviation / std::sqrt(static_cast<double>(Summary.Count));
}

TWelchResult WithoutScatter(TWelchResult Result, const TSampleSummary& A, const TSampleSummary& B) {
    Result.DegreesOfFreedom = static_cast<double>(A.Count + B.Count - 2);
    const bool Equal = Result.Difference == 0;
    Result.T =
        Equal ? 0 : std::copysign(std::numeric_limits<double>::infinity(), Result.Difference);
    Result.P = Equal ? 1 : 0;
    Result.Interval = {Result.Difference, Result.Difference};
    return Result;
}

} // namespace

TSampleSummary Summarize(const std::vector<double>& Speeds, double Level) {
    RequireConfidenceLevel(Level);
    CheckSpeeds(Speeds);
    TSampleSummary Summary;
    Summary.Count = Speeds.size();
    const double Count = static_cast<double>(Summary.Count);
    Summary.Mean = MeanSpeed(Speeds);
    const auto [Minimum, Maximum] = std::minmax_element(Speeds.begin(), Speeds.end());
    Summary.ExtremeSpread = *Maximum - *Minimum;
    RequireFiniteFigures({Summary.Mean, Summary.ExtremeSpread});
    if (Summary.Count < 2)
        return Summary;
    // Deviations from the mean, not the sum of squares minus the squared sum, which cancels
    // every digit for shots of nearly equal speed.
    double Squares = 0;
    for (const double Speed : Speeds)
        Squares += (Speed - Summary.Mean) * (Speed - Summary.Mean);
    const double Deviation = std::sqrt(Squares / (Count - 1));
    Summary.StandardDeviation = Deviation;
    const double Half = HalfWidth(Deviation / std::sqrt(Count), Count - 1, Level);
    Summary.MeanInterval = TInterval{Summary.Mean - Half, Summary.Mean + Half};
    RequireFiniteFigures({Deviation, Summary.MeanInterval->Lower, Summary.MeanInterval->Upper});
    return Summary;
}

TWelchResult WelchTest(const TSampleSummary& A, const TSampleSummary& B, double Level) {
    RequireConfidenceLevel(Level);
    const double ErrorA = StandardErrorOf(A);
    const double ErrorB = StandardErrorOf(B);
    TWelchResult Result;
    Result.Difference = A.Mean - B.Mean;
    RequireFiniteFigures({Result.Difference});
    Result.Level = Level;
    const double Largest = std::max(ErrorA, ErrorB);
    if (Largest == 0)
        return WithoutScatter(Result, A, B);
    // The variances relative to the larger one, so that neither their squares nor s^4 / n^2
    // underflow or overflow.
    const double ShareA = (ErrorA / Largest) * (ErrorA / Largest);
    const double ShareB = (ErrorB / Largest) * (ErrorB / Largest);
    Result.DegreesOfFreedom = (ShareA + ShareB) * (ShareA + ShareB) /
                              (ShareA * ShareA / static_cast<double>(A.Count - 1) +
                               ShareB * ShareB / static_cast<double>(B.Count - 1));
    const double StandardError = Largest * std::sqrt(ShareA + ShareB);
    Result.T = Result.Difference / StandardError;
    Result.P = StudentTTwoSidedP(Result.T, Result.DegreesOfFreedom);
    const double Half = HalfWidth(StandardError, Result.DegreesOfFreedom, Level);
    Result.Interval = {Result.Difference - Half, Result.Difference + Half};
    RequireFiniteFigures({Result.Interval.Lower, Result.Interval.Upper});
    return Result;
}

std::string FillPlaceholders(const std::string& Pattern, const std::vector<std::string>& Values) {
    std::string Result;
    auto Next = Values.begin();
    for (std::size_t i = 0; i < Pattern.size(); ++i) {
        if (Pattern.compare(i, 2, "%s") == 0 && Next != Values.end()) {
            Result += *Next++;
            ++i;
        } else {
            Result += Pattern[i];
        }
    }
    return Result;
}

std::string PValueText(double P) {
    if (!(P >= 0 && P <= 1))
        throw EStatisticsError("A probability lies between 0 and 1");
    if (P < SmallestShownP)
        // A no-break space keeps the sign with its number when a sentence is wrapped.
        return "<\u00A0" + platform::FormatFloat("0.000", SmallestShownP);
    // Two digits from the first significant one; '#' digits drop trailing zeros.
    const int Decimals = 1 - static_cast<int>(std::floor(std::log10(P)));
    return platform::FormatFloat("0." + std::string(Decimals, '#'), P);
}

std::string ComparisonVerdict(const TWelchResult& Result, const std::string& NameA,
                              const std::string& NameB, const TSpeedFormat& Speeds,
                              const TTranslate& Translate) {
    if (Result.Level != VerdictLevel)
        throw EStatisticsError("The verdict speaks of a 95 % interval");
    if (Speeds.Decimals < 0 || Speeds.Decimals > 15)
        throw EStatisticsError("Speeds are written with 0 to 15 decimals");
    const auto Speed = [&](double Value) {
        return platform::FormatDecimals(Value, Speeds.Decimals);
    };
    const std::string Size = Speed(std::fabs(Result.Difference));
    if (!(Result.P < Significance))
        return FillPlaceholders(Translate(ChanceVerdictPattern),
                                {Size, Speeds.Unit, PValueText(Result.P)});
    // The interval as a gain of the faster series.
    const bool AFaster = Result.Difference > 0;
    const TInterval Gain =
        AFaster ? Result.Interval : TInterval{-Result.Interval.Upper, -Result.Interval.Lower};
    return FillPlaceholders(Translate(FasterVerdictPattern),
                            {AFaster ? NameA : NameB, Size, Speeds.Unit, Speed(Gain.Lower),
                             Speed(Gain.Upper), PValueText(Result.P)});
}
