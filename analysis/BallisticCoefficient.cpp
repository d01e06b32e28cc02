#include "analysis/BallisticCoefficient.h"

#include "analysis/DragG1.h"
#include "analysis/Trajectory.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Beyond a kilometre the steps grow instead: the logarithm of the speed falls nearly in
// proportion to the distance, which long steps follow as well.
constexpr double MaximumSteps = 4000;

TInterval IntervalOf(const TSampleSummary& Summary) {
    return Summary.MeanInterval.value_or(TInterval{Summary.Mean, Summary.Mean});
}

// The BC of speeds that may lie outside any BC's reach, as its limit there.
double BcOrLimit(double NearSpeed, double FarSpeed, double Distance, const TAir& Air) {
    if (FarSpeed <= 0)
        return 0;
    if (FarSpeed >= NearSpeed)
        return std::numeric_limits<double>::infinity();
    return BallisticCoefficientFromSpeeds(NearSpeed, FarSpeed, Distance, Air);
}

} // namespace

// The logarithm of the speed is integrated: it falls by the drag's decay per metre, which
// depends on the speed only through the drag coefficient and so hardly changes over a step.
double SpeedAtDistance(double MuzzleSpeed, double BallisticCoefficient, double Distance,
                       const TAir& Air) {
    RequirePositive(MuzzleSpeed, "The muzzle speed");
    RequireNotNegative(Distance, "The distance");
    const TG1Drag Drag(BallisticCoefficient, Air);
    const double Steps =
        std::clamp(std::ceil(Distance / DefaultIntegrationStep), 1.0, MaximumSteps);
    const auto Slope = [&Drag](double LogSpeed) { return -Drag.DecayPerMetre(std::exp(LogSpeed)); };
    double LogSpeed = std::log(MuzzleSpeed);
    for (double i = 0; i < Steps; ++i)
        LogSpeed = RungeKuttaStep(LogSpeed, Distance / Steps, Slope);
    return std::exp(LogSpeed);
}

// The search runs on the reciprocal of the BC, in which the far speed's logarithm falls nearly
// in proportion (exactly where the drag coefficient stays constant): the first guess is that
// proportion with the near speed's drag coefficient, and the secant method needs a few steps.
double BallisticCoefficientFromSpeeds(double NearSpeed, double FarSpeed, double Distance,
                                      const TAir& Air) {
    RequirePositive(NearSpeed, "The near speed");
    RequirePositive(FarSpeed, "The far speed");
    RequirePositive(Distance, "The distance");
    if (!(FarSpeed < NearSpeed))
        throw EStatisticsError("The far speed must be lower than the near speed");
    const double LogLoss = std::log(NearSpeed / FarSpeed);
    const auto Shortfall = [&](double PerBc) {
        return std::log(SpeedAtDistance(NearSpeed, 1 / PerBc, Distance, Air) / FarSpeed);
    };
    const double Guess = LogLoss / (Distance * TG1Drag(1, Air).DecayPerMetre(NearSpeed));
    return 1 / SecantRoot(Shortfall, Guess, Guess * 1.01, 1e-12 * Guess,
                          "No ballistic coefficient gives these speeds");
}

TBcEstimate EstimateBallisticCoefficient(const TSampleSummary& Near, const TSampleSummary& Far,
                                         double Distance, const TAir& Air) {
    const TInterval NearSpeeds = IntervalOf(Near);
    const TInterval FarSpeeds = IntervalOf(Far);
    return {BallisticCoefficientFromSpeeds(Near.Mean, Far.Mean, Distance, Air),
            {BcOrLimit(NearSpeeds.Upper, FarSpeeds.Lower, Distance, Air),
             BcOrLimit(NearSpeeds.Lower, FarSpeeds.Upper, Distance, Air)},
            Near.Count,
            Far.Count,
            Distance};
}
