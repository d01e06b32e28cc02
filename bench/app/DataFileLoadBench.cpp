// Loading data files of 10,000, 100,000 and 1,000,000 lines with the reader alone. Beside the
// time, it reports its peak memory above what the process held before the load, in all and per
// line: both must grow no faster than the line count. The window's load is in
// WindowSeriesBench.

#include "bench/app/BenchDataFiles.h"

#include <algorithm>
#include <fstream>
#include <malloc.h>

namespace {

// Measures the peak resident memory that Load adds to what the process holds now.
class TPeakMemory {
public:
    TPeakMemory() {
        // Memory freed earlier goes back to the system first, or the load would reuse it unseen.
        ::malloc_trim(0);
        // Writing 5 sets the kernel's peak (VmHWM) back to the current resident size.
        std::ofstream("/proc/self/clear_refs") << "5";
        FBefore = bench::StatusKiB("VmRSS");
    }
    long AddedKiB() const { return bench::StatusKiB("VmHWM") - FBefore; }

private:
    long FBefore;
};

void ReportPeak(benchmark::State& State, long PeakKiB) {
    State.SetItemsProcessed(State.iterations() * State.range(0));
    State.counters["peak_MiB"] = static_cast<double>(PeakKiB) / 1024;
    State.counters["peak_bytes_per_line"] = static_cast<double>(PeakKiB) * 1024 / State.range(0);
}

void BM_LoadDataFile(benchmark::State& State) {
    const std::string FileName = bench::DataFile(State.range(0));
    long PeakKiB = 0;
    for (auto _ : State) {
        const TPeakMemory Peak;
        std::vector<TData> Shots;
        LoadDataFile(
            FileName, "m/s",
            [&](const std::string& Unit, double Speed) { Shots.emplace_back(Unit, Speed); },
            nullptr);
        PeakKiB = std::max(PeakKiB, Peak.AddedKiB());
        benchmark::DoNotOptimize(Shots.data());
    }
    ReportPeak(State, PeakKiB);
}

BENCHMARK(BM_LoadDataFile)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    return bench::RunBenchmarks(argc, argv);
}
