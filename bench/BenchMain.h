#pragma once

// The main function of a benchmark program whose code needs an application object: the port
// hands its events over through one, and windows need one to exist.

#include <benchmark/benchmark.h>

namespace bench {

template <typename TApplication>
int RunWithApplication(int argc, char** argv) {
    TApplication Application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
