#pragma once

// The ballistic coefficient measured with a chronograph: the speeds of one pellet at two
// positions a known distance apart (one chronograph moved between two series, or two at once)
// give the one G1 BC under which the pellet loses that much speed. Speeds in m/s, distances in
// m; BCs are G1 in lb/in², referred to the ICAO standard atmosphere (see TG1Drag).

#include "analysis/Atmosphere.h"
// TSampleSummary, TInterval.
#include "analysis/SeriesComparison.h"

#include <cstddef>

// The speed after Distance along a level straight path from MuzzleSpeed, the chronographs being
// level; the path's slight curve under gravity would change it by less than 0.03 % over 50 m.
double SpeedAtDistance(double MuzzleSpeed, double BallisticCoefficient, double Distance,
                       const TAir& Air);

// The BC with which NearSpeed becomes FarSpeed over Distance; EStatisticsError unless
// 0 < FarSpeed < NearSpeed and the distance is positive.
double BallisticCoefficientFromSpeeds(double NearSpeed, double FarSpeed, double Distance,
                                      const TAir& Air);

struct TBcEstimate {
    double Bc = 0;
    // 95 %: from the ends of the two means' intervals. Upper is infinite where the intervals
    // overlap (the speeds cannot rule out a pellet that keeps its speed), Lower 0 where the far
    // interval reaches down to 0.
    TInterval Interval;
    std::size_t NearShots = 0;
    std::size_t FarShots = 0;
    double Distance = 0;
};

// From the summaries of the series at the near and far position, speeds in m/s. The lowest BC
// comes from the highest near speed with the lowest far speed, the highest BC from the reverse;
// a series of one shot has no interval and gives its mean at both ends.
TBcEstimate EstimateBallisticCoefficient(const TSampleSummary& Near, const TSampleSummary& Far,
                                         double Distance, const TAir& Air);
