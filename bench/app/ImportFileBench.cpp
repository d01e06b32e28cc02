// Rows per second through the import reader for a radar chronograph's export of 1,000, 100,000
// and 1,000,000 shots: device and units lines, the header, a row a shot with speeds at four
// distances, energy, date and time, then the statistics lines that the reader passes over.

#include "files/UImportFile.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr int StatisticsLines = 2;

template <typename... TValues>
std::string Printed(const char* Format, TValues... Values) {
    char Text[32];
    std::snprintf(Text, sizeof Text, Format, Values...);
    return Text;
}

// The device writes speeds and energies with two decimals.
std::string Hundredths(long Value) {
    return Printed("%ld.%02ld", Value / 100, Value % 100);
}

// The speeds fall by about two percent every ten yards.
std::string RadarRow(long Shot) {
    const long V0 = 90000 + Shot * 37 % 600;
    std::string Row = Printed("%04ld", Shot);
    for (const long Loss : {0, 1727, 3415, 5076})
        Row += ";" + Hundredths(V0 - Loss);
    return Row + ";" + Hundredths(1500 + Shot % 40) + ";03-05-2024;" +
           Printed("10:%02ld:%02ld", Shot / 60 % 60, Shot % 60) + "\r\n";
}

// The export of Rows shots, made once for each size.
const std::string& RadarExport(std::int64_t Rows) {
    static std::map<std::int64_t, std::string> Made;
    auto [Entry, New] = Made.try_emplace(Rows);
    if (New) {
        Entry->second = "sep=;\r\nDevice ID;DR-4471-B;;\r\nFirmware;2.14;;\r\n"
                        "Units velocity;fps;;\r\nUnits energy;ft-lbf;;\r\n;;;\r\n"
                        "Shot ID;V0;V10;V20;V30;E0;Date;Time\r\n";
        for (long Shot = 1; Shot <= Rows; ++Shot)
            Entry->second += RadarRow(Shot);
        Entry->second += "\r\nStats - Average;900.70;;;;;;\r\nStats - Std Dev;1.73;;;;;;\r\n";
    }
    return Entry->second;
}

void BM_ImportRadarExport(benchmark::State& State) {
    const std::string& Text = RadarExport(State.range(0));
    for (auto _ : State) {
        const TImportedSeries Series = ImportSeriesText(Text, "m/s", "radar.csv");
        if (Series.Shots.size() != static_cast<std::size_t>(State.range(0)) ||
            Series.SkippedLines != StatisticsLines)
            State.SkipWithError("the export was not read as written");
        benchmark::DoNotOptimize(Series.Shots.data());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(Text.size()));
    State.SetLabel("items = rows");
}

BENCHMARK(BM_ImportRadarExport)
    ->Arg(1'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);

} // namespace
