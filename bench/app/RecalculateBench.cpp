// A recalculation of the main window (table, statistics labels and chart, the window offscreen)
// with 100, 1,000 and 10,000 shots, beside a baseline that only formats the same speeds and
// energies and computes the statistics.

#include "app/UMainForm.h"
#include "app/UShotStatistics.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>

namespace {

std::vector<TData> Series(std::int64_t Count) {
    std::vector<TData> Shots;
    for (std::int64_t i = 0; i < Count; ++i)
        Shots.emplace_back("m/s", 170.0 + static_cast<double>(i % 100) / 10);
    return Shots;
}

void BM_FormatAndStatisticsBaseline(benchmark::State& State) {
    const std::vector<TData> Shots = Series(State.range(0));
    for (auto _ : State) {
        TShotStatistics Statistics;
        for (const TShotValues& Shot : ShotValues(Shots, 0.547, MetricUnits)) {
            benchmark::DoNotOptimize(FormatValue(Shot.Speed));
            benchmark::DoNotOptimize(FormatValue(Shot.Energy));
            Statistics.Add(Shot);
        }
        benchmark::DoNotOptimize(StatisticsTexts(Statistics.Speed));
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}

void BM_Recalculate(benchmark::State& State) {
    TMainForm Form({});
    Form.show();
    for (const TData& Shot : Series(State.range(0)))
        Form.Receiver().AddShot(Shot.SpeedUnit(), Shot.Speed());
    for (auto _ : State) {
        Form.RecalculateNow();
        QApplication::processEvents();
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
    Form.close();
}

BENCHMARK(BM_FormatAndStatisticsBaseline)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Recalculate)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The window keeps its settings and log in a folder of the benchmark's own.
    const auto Folder = std::filesystem::temp_directory_path() / "tarvex-bench";
    setenv("XDG_CONFIG_HOME", Folder.c_str(), 1);
    QApplication Application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(Folder);
    return 0;
}
