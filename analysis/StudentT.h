#pragma once

// Student's t distribution for any real, positive number of degrees of freedom: the distribution
// of a mean's distance from the true mean in units of its estimated standard error. The
// comparison of two series takes its p-values and confidence intervals from here. The
// distribution itself is Boost.Math's, kept and tested against published values; this module
// checks the arguments and speaks the program's errors.

#include <initializer_list>
#include <span>
#include <stdexcept>

// An argument the statistics cannot work with: a NaN, degrees of freedom that are not positive,
// a probability outside (0, 1), a sample too small for what is asked of it.
class EStatisticsError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Raises EStatisticsError unless every speed is a finite number.
void RequireFiniteSpeeds(std::span<const double> Speeds);
// Raises EStatisticsError unless every figure computed from finite speeds is finite too: speeds
// near the largest double (a misread line can give 1e300) overflow their squares and
// differences, and an infinite deviation is no answer.
void RequireFiniteFigures(std::initializer_list<double> Figures);
// The mean of Speeds (at least one), summed as deviations from the first: equal readings have
// exactly their own value as mean, and so no scatter and no drift at all, where a plain sum
// rounds 250.1 repeated into a mean a few 1e-14 away and a scatter that is only noise.
double MeanSpeed(std::span<const double> Speeds);
// Raises EStatisticsError unless 0 < Level < 1.
void RequireConfidenceLevel(double Level);

// P(T <= Value) for T with DegreesOfFreedom > 0; infinite degrees of freedom give the normal
// distribution. Value may be infinite.
double StudentTCdf(double Value, double DegreesOfFreedom);

// P(|T| >= |Value|): the probability that chance alone gives a t statistic at least this large
// in either direction. It is computed as a tail, not as 1 minus the distribution function, so
// that small p-values keep their digits.
double StudentTTwoSidedP(double Value, double DegreesOfFreedom);

// The Value with StudentTCdf(Value, DegreesOfFreedom) == Probability, for Probability strictly
// between 0 and 1 (t_{0.975, 10} = 2.228...). A quantile beyond the largest double is infinite.
double StudentTQuantile(double Probability, double DegreesOfFreedom);
