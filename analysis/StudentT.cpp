#include "analysis/StudentT.h"

#include <algorithm>
#include <boost/math/distributions/students_t.hpp>
#include <charconv>
#include <cmath>
#include <string>

namespace {

// Boost's own argument errors cannot arise: every argument is checked here first. A quantile
// beyond the largest double is infinite instead of an error, and doubles are not promoted to
// long double, whose extra digits the program neither needs nor shows.
using TPolicy = boost::math::policies::policy<
    boost::math::policies::overflow_error<boost::math::policies::errno_on_error>,
    boost::math::policies::promote_double<false>>;
using TDistribution = boost::math::students_t_distribution<double, TPolicy>;

// The shortest form that reads back as Value, independent of the C library's locale.
std::string NumberText(double Value) {
    char Buffer[32];
    return std::string(Buffer, std::to_chars(Buffer, Buffer + sizeof Buffer, Value).ptr);
}

void CheckNumber(double Value, const char* What) {
    if (std::isnan(Value))
        throw EStatisticsError(std::string(What) + " is not a number");
}

// Infinite degrees of freedom give the normal distribution.
TDistribution Distribution(double DegreesOfFreedom) {
    if (!(DegreesOfFreedom > 0))
        throw EStatisticsError("The degrees of freedom must be positive, not " +
                               NumberText(DegreesOfFreedom));
    return TDistribution(DegreesOfFreedom);
}

// P(T > Value) for Value >= 0, computed as the tail itself: 1 minus the distribution function
// would round the small p-values of a clear difference to 0.
double UpperTail(double Value, double DegreesOfFreedom) {
    const TDistribution T = Distribution(DegreesOfFreedom);
    return std::isinf(Value) ? 0 : boost::math::cdf(boost::math::complement(T, Value));
}

} // namespace

void RequireFiniteSpeeds(std::span<const double> Speeds) {
    if (!std::ranges::all_of(Speeds, [](double Speed) { return std::isfinite(Speed); }))
        throw EStatisticsError("A speed is not a finite number");
}

void RequireFiniteFigures(std::initializer_list<double> Figures) {
    if (!std::ranges::all_of(Figures, [](double Figure) { return std::isfinite(Figure); }))
        throw EStatisticsError("The speeds are too far apart for their statistics");
}

double MeanSpeed(std::span<const double> Speeds) {
    const double First = Speeds.front();
    double Deviations = 0;
    for (const double Speed : Speeds)
        Deviations += Speed - First;
    return First + Deviations / static_cast<double>(Speeds.size());
}

void RequireConfidenceLevel(double Level) {
    if (!(Level > 0 && Level < 1))
        throw EStatisticsError("A confidence level lies strictly between 0 and 1");
}

double StudentTCdf(double Value, double DegreesOfFreedom) {
    CheckNumber(Value, "The t value");
    const double Tail = UpperTail(std::fabs(Value), DegreesOfFreedom);
    return Value < 0 ? Tail : 1 - Tail;
}

double StudentTTwoSidedP(double Value, double DegreesOfFreedom) {
    CheckNumber(Value, "The t value");
    return 2 * UpperTail(std::fabs(Value), DegreesOfFreedom);
}

double StudentTQuantile(double Probability, double DegreesOfFreedom) {
    const TDistribution T = Distribution(DegreesOfFreedom);
    if (!(Probability > 0 && Probability < 1))
        throw EStatisticsError("A quantile needs a probability between 0 and 1, not " +
                               NumberText(Probability));
    return boost::math::quantile(T, Probability);
}
