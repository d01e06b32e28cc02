// Lines per second through the line loop, ParseLine and AddShot, for chronograph records
// arriving in reads of various sizes. A fast serial line carries about 2,000 records a second;
// parsing must never be what limits reception.

#include "series/ShotReceiver.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

constexpr int LinesPerBatch = 10000;

void BM_ReceiveRecords(benchmark::State& State) {
    const auto ReadSize = static_cast<std::size_t>(State.range(0));
    std::string Stream;
    for (int i = 0; i < LinesPerBatch; ++i)
        Stream += "175.52;m/s\r\n";
    TSeries Series;
    const std::vector<TData>& Shots = Series.Shots();
    TShotReceiver Receiver(Series);
    Receiver.Log = [](const std::string& Line) { benchmark::DoNotOptimize(Line.data()); };
    Receiver.RestartRecalculateTimer = [] {};
    for (auto _ : State) {
        Series.Clear();
        for (std::size_t At = 0; At < Stream.size(); At += ReadSize)
            Receiver.ReceiveText(std::string_view(Stream).substr(At, ReadSize));
        benchmark::DoNotOptimize(Shots.data());
    }
    if (Shots.size() != LinesPerBatch)
        State.SkipWithError("records were lost");
    State.SetItemsProcessed(State.iterations() * LinesPerBatch);
    State.SetLabel("items = lines");
}

BENCHMARK(BM_ReceiveRecords)->Arg(1)->Arg(16)->Arg(4096)->Unit(benchmark::kMillisecond);

} // namespace
