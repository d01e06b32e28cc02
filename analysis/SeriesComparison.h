#pragma once

// The comparison of two series of shots: the summary of each (mean, deviation, spread and the
// confidence interval of the mean), Welch's t test of the difference of their means, which does
// not assume that both series scatter alike (two pellets seldom do), and its verdict in words.
// Speeds are in display units; the module knows nothing of units but their name.

// EStatisticsError, which every function here raises for input it cannot work with.
#include "analysis/StudentT.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// English text in, the user's language out; the same type as the program's other translated
// texts use (series/USeries.h), so that one translator serves both.
using TTranslate = std::function<std::string(const std::string&)>;

struct TInterval {
    double Lower = 0;
    double Upper = 0;

    bool operator==(const TInterval&) const = default;
};

struct TSampleSummary {
    std::size_t Count = 0;
    double Mean = 0;
    // The sample standard deviation (divisor n - 1); none for a single shot.
    std::optional<double> StandardDeviation;
    // Maximum - minimum.
    double ExtremeSpread = 0;
    // Mean -+ t_{(1 + Level) / 2, n - 1} s / sqrt(n); none for a single shot.
    std::optional<TInterval> MeanInterval;
};

// The summary of at least one shot at the given confidence Level (0 < Level < 1); an empty
// sample raises EStatisticsError.
TSampleSummary Summarize(const std::vector<double>& Speeds, double Level = 0.95);

struct TWelchResult {
    // Mean of A - mean of B.
    double Difference = 0;
    // Welch-Satterthwaite: (vA + vB)^2 / (vA^2 / (nA - 1) + vB^2 / (nB - 1)), v = s^2 / n.
    double DegreesOfFreedom = 0;
    double T = 0;
    // Two-sided: the probability of a difference at least this large if both means were equal.
    double P = 1;
    double Level = 0.95;
    // Of the difference, at Level.
    TInterval Interval;
};

// Welch's test of A against B; both need two shots or more (EStatisticsError otherwise). When
// neither series scatters at all the standard error is zero and nothing is left to chance:
// equal means give t = 0 and p = 1, different ones an infinite t and p = 0, and the interval is
// the difference itself either way; the degrees of freedom are then nA + nB - 2, those of the
// pooled test, since Welch's formula has no value.
TWelchResult WelchTest(const TSampleSummary& A, const TSampleSummary& B, double Level = 0.95);

// Pattern with each "%s" replaced by the next of Values, in order. Every other "%" stays as it
// is, so that a pattern can say "95 %" (printf-style formatting would read "% i" as a
// directive). A "%s" left without a value stays in the text and values left over are dropped:
// a translation with a wrong count shows its fault instead of losing the sentence.
std::string FillPlaceholders(const std::string& Pattern, const std::vector<std::string>& Values);

// A p-value with at most two significant digits and no trailing zeros ("0.31", "0.004",
// "0.0012"); below 0.001 it is "< 0.001" (with a no-break space). Series of a few dozen shots
// cannot support more: so far out in the tail the probability depends on how normal the scatter is,
// not on the data. Numbers use the program's decimal separator.
std::string PValueText(double P);

// The verdict's English patterns, the keys of their translations: the faster series, the
// difference and its unit, the interval's lower and upper end, the p-value; and the
// difference, its unit, the p-value.
inline constexpr const char* FasterVerdictPattern =
    "%s is faster by %s %s (95 % interval %s to %s); a difference this large arises by chance "
    "with probability %s";
inline constexpr const char* ChanceVerdictPattern =
    "The difference of %s %s could be chance (p = %s)";

// How the verdict writes speeds: Decimals digits after the decimal separator, then Unit.
struct TSpeedFormat {
    std::string Unit;
    int Decimals = 1;
};

// The verdict of a 95 % Welch test (EStatisticsError for another Level) in the user's language.
// With p < 0.05 it names the faster series and gives the difference and its interval as
// positive speeds of that series; otherwise it gives the size of the difference and calls it
// possibly chance. Patterns are translated first and filled afterwards, so that a translation
// may place the values where its language needs them.
std::string ComparisonVerdict(const TWelchResult& Result, const std::string& NameA,
                              const std::string& NameB, const TSpeedFormat& Speeds,
                              const TTranslate& Translate);
