// The main window with large series, each figure a ratio against a baseline measured in the same
// run: the memory the window adds per shot beyond the shot itself, a load of a 1,000,000-line
// data file through the window against the reader alone, and the recalculation after one more
// shot at 100,000 shots against the same at 100 shots; and what the chart's tuning tools add to
// that recalculation near the most shots a series holds. The window is offscreen and painted as
// on a screen.

#include "app/UChartPanel.h"
#include "app/UMainForm.h"
#include "bench/app/BenchDataFiles.h"
#include "tests/support/ScriptedDialogs.h"

#include <algorithm>
#include <chrono>
#include <malloc.h>

namespace {

// An offscreen main window as a user sees it, loaded with the shots of FileName.
struct TLoadedWindow {
    explicit TLoadedWindow(const std::string& FileName = {}) {
        Form.show();
        QApplication::processEvents();
        if (!FileName.empty())
            Load(FileName);
    }
    void Load(const std::string& FileName) {
        Dialogs.FileNames = {FileName};
        Dialogs.YesNoAnswers = {true};
        Form.btnLoadDataClick();
        QApplication::processEvents();
    }
    TScriptedDialogs Dialogs;
    TMainForm Form{{}, std::chrono::milliseconds(0)};
};

void BM_WindowMemoryPerShot(benchmark::State& State) {
    constexpr std::int64_t Shots = 100'000;
    const std::string FileName = bench::DataFile(Shots);
    for (auto _ : State) {
        TLoadedWindow Window;
        ::malloc_trim(0);
        const long Before = bench::StatusKiB("VmRSS");
        Window.Load(FileName);
        ::malloc_trim(0);
        const double Added = static_cast<double>(bench::StatusKiB("VmRSS") - Before) * 1024;
        State.counters["bytes_per_shot_beyond_record"] =
            Added / Shots - static_cast<double>(sizeof(TData));
    }
}

void BM_LoadThroughWindowPerReader(benchmark::State& State) {
    const std::string FileName = bench::DataFile(1'000'000);
    for (auto _ : State) {
        const double Reader = bench::Quickest(3, [&] {
            std::vector<TData> Shots;
            LoadDataFile(
                FileName, "m/s",
                [&](const std::string& Unit, double Speed) { Shots.emplace_back(Unit, Speed); },
                nullptr);
            benchmark::DoNotOptimize(Shots.data());
        });
        TLoadedWindow Window;
        const double Through = bench::Quickest(3, [&] { Window.Load(FileName); });
        State.counters["reader_s"] = Reader;
        State.counters["window_s"] = Through;
        State.counters["ratio"] = Through / Reader;
    }
}

// One more shot received and shown, table, statistics, chart and all painted.
double OneMoreShot(TLoadedWindow& Window) {
    return bench::Quickest(20, [&] {
        Window.Form.Receiver().ReceiveText("175.5\n");
        Window.Form.RecalculateNow();
        Window.Form.repaint();
        QApplication::processEvents();
    });
}

void BM_RecalculationAt100000PerAt100(benchmark::State& State) {
    TLoadedWindow Small(bench::DataFile(100)), Large(bench::DataFile(100'000));
    for (auto _ : State) {
        const double AtSmall = OneMoreShot(Small), AtLarge = OneMoreShot(Large);
        State.counters["at_100_ms"] = AtSmall * 1000;
        State.counters["at_100000_ms"] = AtLarge * 1000;
        State.counters["ratio"] = AtLarge / AtSmall;
    }
}

// The tools go through every shot after each recalculation: the usable run, the drift line and
// the histogram's bins of 990,000 shots.
void BM_TuningToolsAt990000(benchmark::State& State) {
    TLoadedWindow Window(bench::DataFile(990'000));
    TChartPanel& Panel = *Window.Form.pnlMiddleBottom;
    for (auto _ : State) {
        const double Plain = OneMoreShot(Window);
        Panel.actUsableShots->setChecked(true);
        Panel.actSpeedDrift->setChecked(true);
        const double Tools = OneMoreShot(Window);
        Panel.actHistogram->setChecked(true);
        const double Histogram = OneMoreShot(Window);
        for (QAction* Tool : {Panel.actUsableShots, Panel.actSpeedDrift, Panel.actHistogram})
            Tool->setChecked(false);
        State.counters["without_tools_ms"] = Plain * 1000;
        State.counters["usable_and_drift_ms"] = Tools * 1000;
        State.counters["histogram_ms"] = Histogram * 1000;
    }
}

BENCHMARK(BM_WindowMemoryPerShot)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadThroughWindowPerReader)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecalculationAt100000PerAt100)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TuningToolsAt990000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::RunBenchmarks(argc, argv);
}
