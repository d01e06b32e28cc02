// Loading data files of 10,000, 100,000 and 1,000,000 lines: the reader alone, and through the
// main window (table, statistics and chart rebuilt, the window offscreen). Beside the time, each
// reports its peak memory above what the process held before the load, in all and per line:
// both must grow no faster than the line count.

#include "app/UDataFile.h"
#include "app/UMainForm.h"
#include "platform/FormatSettings.h"
#include "tests/support/ScriptedDialogs.h"

#include <QApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <map>

namespace {

const std::filesystem::path& BenchFolder() {
    static const std::filesystem::path Folder =
        std::filesystem::temp_directory_path() / ("tarvex-bench-" + std::to_string(::getpid()));
    return Folder;
}

// A file as the program saves it, Lines shots long; written once for each size.
std::string DataFile(std::int64_t Lines) {
    static std::map<std::int64_t, std::string> Written;
    auto [Entry, New] = Written.try_emplace(Lines);
    if (New) {
        Entry->second = (BenchFolder() / ("shots-" + std::to_string(Lines) + ".csv")).string();
        std::vector<TTableRow> Rows;
        for (std::int64_t i = 0; i < Lines; ++i)
            Rows.push_back(
                {std::to_string(170 + i % 20) + "." + std::to_string(10 + i % 90), "8.38"});
        SaveDataFile(Entry->second, Rows, "m/s", "J", "0.547", "g");
    }
    return Entry->second;
}

// A field of /proc/self/status in KiB.
long StatusKiB(const std::string& Field) {
    std::ifstream Status("/proc/self/status");
    for (std::string Line; std::getline(Status, Line);)
        if (Line.starts_with(Field + ":"))
            return std::atol(Line.c_str() + Field.size() + 1);
    return 0;
}

// Measures the peak resident memory that Load adds to what the process holds now.
class TPeakMemory {
public:
    TPeakMemory() {
        // Memory freed earlier goes back to the system first, or the load would reuse it unseen.
        ::malloc_trim(0);
        // Writing 5 sets the kernel's peak (VmHWM) back to the current resident size.
        std::ofstream("/proc/self/clear_refs") << "5";
        FBefore = StatusKiB("VmRSS");
    }
    long AddedKiB() const { return StatusKiB("VmHWM") - FBefore; }

private:
    long FBefore;
};

void ReportPeak(benchmark::State& State, long PeakKiB) {
    State.SetItemsProcessed(State.iterations() * State.range(0));
    State.counters["peak_MiB"] = static_cast<double>(PeakKiB) / 1024;
    State.counters["peak_bytes_per_line"] = static_cast<double>(PeakKiB) * 1024 / State.range(0);
}

void BM_LoadDataFile(benchmark::State& State) {
    const std::string FileName = DataFile(State.range(0));
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

void BM_LoadThroughMainWindow(benchmark::State& State) {
    const std::string FileName = DataFile(State.range(0));
    TScriptedDialogs Dialogs;
    long PeakKiB = 0;
    for (auto _ : State) {
        TMainForm Form({});
        Form.show();
        QApplication::processEvents();
        const TPeakMemory Peak;
        Dialogs.FileNames = {FileName};
        Form.btnLoadDataClick();
        QApplication::processEvents();
        PeakKiB = std::max(PeakKiB, Peak.AddedKiB());
        if (Form.Shots().size() != static_cast<std::size_t>(State.range(0)))
            State.SkipWithError("not every line was loaded");
        Form.close();
    }
    ReportPeak(State, PeakKiB);
}

BENCHMARK(BM_LoadDataFile)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadThroughMainWindow)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The window keeps its settings and log, and the data files, in a folder of the benchmark's
    // own.
    std::filesystem::create_directories(BenchFolder());
    setenv("XDG_CONFIG_HOME", BenchFolder().c_str(), 1);
    QApplication Application(argc, argv);
    platform::TFormatSettings Point = platform::FormatSettings();
    Point.DecimalSeparator = ".";
    Point.ThousandSeparator = "";
    platform::SetFormatSettings(Point);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(BenchFolder());
    return 0;
}
