#pragma once

// What the benchmarks of the main window and the data files share: a folder of their own for the
// window's settings and for data files as the program saves them, and the set-up of main().

#include "files/UDataFile.h"
#include "platform/FormatSettings.h"
#include "series/UData.h"
#include "tests/support/ProcessStatus.h"

#include <QApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace bench {

inline const std::filesystem::path& BenchFolder() {
    static const std::filesystem::path Folder =
        std::filesystem::temp_directory_path() / ("tarvex-bench-" + std::to_string(::getpid()));
    return Folder;
}

// A file as the program saves it, Lines shots long; written once for each size.
inline std::string DataFile(std::int64_t Lines) {
    const std::string FileName =
        (BenchFolder() / ("shots-" + std::to_string(Lines) + ".csv")).string();
    if (!std::filesystem::exists(FileName)) {
        std::vector<TTableRow> Rows;
        for (std::int64_t i = 0; i < Lines; ++i)
            Rows.push_back(
                {std::to_string(170 + i % 20) + "." + std::to_string(10 + i % 90), "8.38"});
        SaveDataFile(FileName, Rows, "m/s", "J", "0.547", "g");
    }
    return FileName;
}

using tests::StatusKiB;

// The quickest of a few runs of Action, in seconds: the least disturbed by the machine.
template <typename TAction>
double Quickest(int Runs, TAction Action) {
    double Best = 1e300;
    for (int Run = 0; Run < Runs; ++Run) {
        const auto Start = std::chrono::steady_clock::now();
        Action();
        Best = std::min(
            Best, std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count());
    }
    return Best;
}

// Runs the benchmarks offscreen, with "." as the decimal point and the window's settings, log
// and data files in the benchmark's folder, which goes afterwards.
inline int RunBenchmarks(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::filesystem::create_directories(BenchFolder());
    setenv("XDG_CONFIG_HOME", BenchFolder().c_str(), 1);
    setenv("XDG_DATA_HOME", (BenchFolder() / "data").c_str(), 1);
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

} // namespace bench
