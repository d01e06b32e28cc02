// What the trajectory window and the series library compute on every edit: a trajectory to
// 100 m at 1 m steps with its zero solved (at most 1 ms), its point-blank range, and the BC of two
// series with its interval, three root searches (at most 10 ms).

#include "analysis/BallisticCoefficient.h"
#include "analysis/Trajectory.h"

#include <benchmark/benchmark.h>

namespace {

// A .177 pellet of 0.547 g from a sporting air rifle: 45 mm sight height, 30 m zero.
TTrajectoryInput AirRifle() {
    TTrajectoryInput Input;
    Input.MuzzleSpeed = 250;
    Input.BallisticCoefficient = 0.025;
    Input.PelletMass = 0.000547;
    Input.SightHeight = 0.045;
    Input.ZeroRange = 30;
    Input.LastRange = 100;
    Input.CrossWind = 3;
    return Input;
}

void BM_Trajectory100m(benchmark::State& State) {
    const TTrajectoryInput Input = AirRifle();
    for (auto _ : State)
        benchmark::DoNotOptimize(ComputeTrajectory(Input));
}

void BM_PointBlankRange(benchmark::State& State) {
    const TTrajectoryInput Input = AirRifle();
    for (auto _ : State)
        benchmark::DoNotOptimize(PointBlankRange(Input, 0.025));
}

// Ten shots at the muzzle, ten at 20 m.
void BM_BcEstimate(benchmark::State& State) {
    const TSampleSummary Near{10, 250, 1.5, 5, TInterval{248.9, 251.1}};
    const TSampleSummary Far{10, 222, 1.5, 5, TInterval{220.9, 223.1}};
    for (auto _ : State)
        benchmark::DoNotOptimize(EstimateBallisticCoefficient(Near, Far, 20, StandardAir));
}

BENCHMARK(BM_Trajectory100m)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PointBlankRange)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BcEstimate)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
