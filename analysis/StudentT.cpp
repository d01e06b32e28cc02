#include "analysis/StudentT.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

namespace {

// Beyond this many degrees of freedom the t distribution is the normal one with its corrections
// in 1 / df, 1 / df^2 and 1 / df^3, whose neglected remainder stays below 1e-19. Below it the
// continued fraction, which slowly loses digits as the degrees of freedom grow (its x is within
// t^2 / df of 1), is still accurate to about 1e-10.
constexpr double LargeDegreesOfFreedom = 1e5;

// The fraction needs some sqrt(max(A, B)) steps: this bound is met only by parameters far beyond
// any degrees of freedom a series gives.
constexpr int MaxFractionSteps = 1'000'000;

// A point of the incomplete beta function. Y = 1 - X and the logarithms are passed in with
// full relative precision, as the t distribution knows them, because 1 - X loses every digit
// where X is near 1 and X itself underflows far out in a heavy tail.
struct TBetaPoint {
    double X, Y, LogX, LogY;
};

// The shortest form that reads back as Value, independent of the C library's locale.
std::string NumberText(double Value) {
    char Buffer[32];
    return std::string(Buffer, std::to_chars(Buffer, Buffer + sizeof Buffer, Value).ptr);
}

void CheckNumber(double Value, const char* What) {
    if (std::isnan(Value))
        throw EStatisticsError(std::string(What) + " is not a number");
}

void CheckDegreesOfFreedom(double DegreesOfFreedom) {
    if (!(DegreesOfFreedom > 0))
        throw EStatisticsError("The degrees of freedom must be positive, not " +
                               NumberText(DegreesOfFreedom));
}

// The tail of Stirling's series for ln Gamma(Z), Z >= 20: the terms B_2k / (2k (2k - 1) Z^(2k-1))
// up to k = 4. The first neglected term is below 2e-15 there.
double StirlingCorrection(double Z) {
    const double Z2 = 1 / (Z * Z);
    return (1.0 / 12 - Z2 * (1.0 / 360 - Z2 * (1.0 / 1260 - Z2 / 1680))) / Z;
}

// ln Gamma(Z + D) - ln Gamma(Z) for Z >= 20, without subtracting two large logarithms: at a
// million degrees of freedom each is 1.3e7 and their difference would keep only 9 digits.
double LogGammaRatio(double Z, double D) {
    return (Z - 0.5) * std::log1p(D / Z) + D * std::log(Z + D) - D + StirlingCorrection(Z + D) -
           StirlingCorrection(Z);
}

// ln B(A, B) = ln Gamma(A) + ln Gamma(B) - ln Gamma(A + B).
double LogBeta(double A, double B) {
    const double Small = std::min(A, B);
    const double Large = std::max(A, B);
    if (Large < 20)
        return std::lgamma(A) + std::lgamma(B) - std::lgamma(A + B);
    if (Small < 20)
        return std::lgamma(Small) - LogGammaRatio(Large, Small);
    return 0.5 * std::log(2 * std::numbers::pi) - (A - 0.5) * std::log1p(B / A) -
           (B - 0.5) * std::log1p(A / B) - 0.5 * std::log(A + B) + StirlingCorrection(A) +
           StirlingCorrection(B) - StirlingCorrection(A + B);
}

// Keeps the modified Lentz recurrence away from a division by zero.
double AwayFromZero(double Value) {
    constexpr double Tiny = 1e-300;
    return std::fabs(Value) < Tiny ? Tiny : Value;
}

// The continued fraction of I_X(A, B) after its prefactor, evaluated by the modified Lentz
// method; it converges quickly for X < (A + 1) / (A + B + 2).
double BetaContinuedFraction(double A, double B, double X) {
    double C = 1;
    double D = 1 / AwayFromZero(1 - (A + B) * X / (A + 1));
    double Result = D;
    for (int Step = 1; Step <= MaxFractionSteps; ++Step) {
        const double M = Step;
        const double Even = M * (B - M) * X / ((A + 2 * M - 1) * (A + 2 * M));
        D = 1 / AwayFromZero(1 + Even * D);
        C = AwayFromZero(1 + Even / C);
        Result *= D * C;
        const double Odd = -(A + M) * (A + B + M) * X / ((A + 2 * M) * (A + 2 * M + 1));
        D = 1 / AwayFromZero(1 + Odd * D);
        C = AwayFromZero(1 + Odd / C);
        const double Factor = D * C;
        Result *= Factor;
        if (std::fabs(Factor - 1) < 1e-15)
            return Result;
    }
    throw EStatisticsError("The incomplete beta function does not converge for a = " +
                           NumberText(A) + ", b = " + NumberText(B));
}

// No shortcut for X == 0: far out in a heavy tail X underflows while LogX, and the value, do not.
double IncompleteBeta(double A, double B, const TBetaPoint& Point) {
    const double Front = std::exp(A * Point.LogX + B * Point.LogY - LogBeta(A, B));
    if (Point.X < (A + 1) / (A + B + 2))
        return Front * BetaContinuedFraction(A, B, Point.X) / A;
    return 1 - Front * BetaContinuedFraction(B, A, Point.Y) / B;
}

double NormalDensity(double Value) {
    return std::exp(-0.5 * Value * Value) / std::sqrt(2 * std::numbers::pi);
}

// P(T > Value) for Value >= 0 from the expansion of the t density around the normal one in
// powers of 1 / df, integrated term by term. Its relative error grows far out in the tail
// (1e-8 at Value = 10 and df = 1e5, where the probability is 1e-23).
double NearNormalUpperTail(double Value, double DegreesOfFreedom) {
    const double Normal = 0.5 * std::erfc(Value / std::numbers::sqrt2);
    const double Density = NormalDensity(Value);
    if (Density == 0 || std::isinf(DegreesOfFreedom))
        return Normal;
    const double V2 = Value * Value;
    const double First = Value * (V2 + 1) / 4;
    const double Second = Value * (((3 * V2 - 7) * V2 - 5) * V2 - 3) / 96;
    const double Third = Value * ((((((V2 - 11) * V2 + 14) * V2 + 6) * V2 - 3) * V2) - 15) / 384;
    const double Inverse = 1 / DegreesOfFreedom;
    return Normal + Density * Inverse * (First + Inverse * (Second + Inverse * Third));
}

// P(T > Value) for Value >= 0: half of I_x(df / 2, 1 / 2) with x = df / (df + Value^2).
double UpperTail(double Value, double DegreesOfFreedom) {
    if (DegreesOfFreedom > LargeDegreesOfFreedom)
        return NearNormalUpperTail(Value, DegreesOfFreedom);
    TBetaPoint Point;
    if (Value <= 1) {
        const double Square = Value * Value;
        Point = {DegreesOfFreedom / (DegreesOfFreedom + Square),
                 Square / (DegreesOfFreedom + Square), -std::log1p(Square / DegreesOfFreedom), 0};
        Point.LogY = std::log(Point.Y);
    } else {
        // Value^2 overflows long before the tail of a few degrees of freedom vanishes.
        const double Ratio = DegreesOfFreedom / Value / Value;
        Point = {Ratio / (1 + Ratio), 1 / (1 + Ratio),
                 std::log(DegreesOfFreedom) - 2 * std::log(Value) - std::log1p(Ratio),
                 -std::log1p(Ratio)};
    }
    return 0.5 * IncompleteBeta(DegreesOfFreedom / 2, 0.5, Point);
}

double Density(double Value, double DegreesOfFreedom) {
    if (DegreesOfFreedom > LargeDegreesOfFreedom)
        return NormalDensity(Value);
    return std::exp(-(DegreesOfFreedom + 1) / 2 * std::log1p(Value * Value / DegreesOfFreedom) -
                    0.5 * std::log(DegreesOfFreedom) - LogBeta(DegreesOfFreedom / 2, 0.5));
}

// The Value >= 0 with UpperTail(Value) == Tail, 0 < Tail < 0.5. Newton steps on the tail, which
// is convex for positive values, so that a step from below the root never passes it; a step
// that leaves the bracket is replaced by halving it.
double UpperQuantile(double Tail, double DegreesOfFreedom) {
    double Low = 0;
    double High = 1;
    while (UpperTail(High, DegreesOfFreedom) > Tail) {
        Low = High;
        High *= 2;
        // Beyond the largest double, as very few degrees of freedom and a tiny tail can ask.
        if (std::isinf(High))
            return High;
    }
    double Value = Low;
    for (int Step = 0; Step < 500; ++Step) {
        const double Excess = UpperTail(Value, DegreesOfFreedom) - Tail;
        if (Excess == 0)
            return Value;
        (Excess > 0 ? Low : High) = Value;
        double Next = Value + Excess / Density(Value, DegreesOfFreedom);
        if (!(Next > Low && Next < High))
            Next = Low + (High - Low) / 2;
        const double Tolerance = 1e-14 * std::max(1.0, Next);
        if (std::fabs(Next - Value) <= Tolerance || High - Low <= Tolerance)
            return Next;
        Value = Next;
    }
    return Value;
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

double RegularizedIncompleteBeta(double A, double B, double X) {
    if (!(A > 0 && B > 0 && std::isfinite(A) && std::isfinite(B)))
        throw EStatisticsError("The incomplete beta function needs finite a, b > 0");
    if (!(X >= 0 && X <= 1))
        throw EStatisticsError("The incomplete beta function needs 0 <= x <= 1");
    return IncompleteBeta(A, B, {X, 1 - X, std::log(X), std::log1p(-X)});
}

double StudentTCdf(double Value, double DegreesOfFreedom) {
    CheckNumber(Value, "The t value");
    CheckDegreesOfFreedom(DegreesOfFreedom);
    const double Tail = UpperTail(std::fabs(Value), DegreesOfFreedom);
    return Value < 0 ? Tail : 1 - Tail;
}

double StudentTTwoSidedP(double Value, double DegreesOfFreedom) {
    CheckNumber(Value, "The t value");
    CheckDegreesOfFreedom(DegreesOfFreedom);
    return 2 * UpperTail(std::fabs(Value), DegreesOfFreedom);
}

double StudentTQuantile(double Probability, double DegreesOfFreedom) {
    CheckDegreesOfFreedom(DegreesOfFreedom);
    if (!(Probability > 0 && Probability < 1))
        throw EStatisticsError("A quantile needs a probability between 0 and 1, not " +
                               NumberText(Probability));
    if (Probability == 0.5)
        return 0;
    // 1 - Probability is exact for Probability >= 0.5, so both tails keep their precision.
    const double Tail = Probability < 0.5 ? Probability : 1 - Probability;
    const double Value = UpperQuantile(Tail, DegreesOfFreedom);
    return Probability < 0.5 ? -Value : Value;
}
