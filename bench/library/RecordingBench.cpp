// Receiving a burst of 100,000 chronograph records as the window does (the port's events, the
// receiver, the series) with every shot committed to the series library, against the same
// without a library, in one run: the throughput ratio and the shots lost.

#include "bench/BenchMain.h"
#include "bench/ChronographBurst.h"
#include "library/SeriesRecorder.h"
#include "library/SeriesStore.h"
#include "platform/PseudoTerminal.h"
#include "serial/CPort.h"
#include "series/ShotReceiver.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <thread>

namespace {

using namespace std::chrono;

constexpr std::size_t BurstRecords = 100000;
constexpr milliseconds ReceptionLimit{120000};

struct TBurst {
    double Seconds = 0;
    std::size_t Shots = 0, Committed = 0;
};

// The burst received into a series, recorded into a library at Library unless it is empty.
TBurst ReceiveBurst(const std::string& Library) {
    TSeries Series;
    TSeriesRecorder Recorder(Series,
                             Library.empty() ? nullptr : std::make_unique<TSeriesStore>(Library));
    TShotReceiver Receiver(Series);
    platform::TPseudoTerminal Device;
    TComPort Port;
    Port.SetPort(Device.SlavePath());
    Port.SetBaudRate(br19200);
    QEventLoop Loop;
    Port.OpenPort();
    Port.OnRxChar = [&](QObject*, int Bytes) {
        Receiver.ReceiveText(Port.ReadText(Bytes));
        Recorder.ShotsReceived();
        if (Series.Count() >= BurstRecords)
            Loop.quit();
    };
    const auto Start = steady_clock::now();
    std::thread Chronograph([&Device] { bench::SendBurst(Device, BurstRecords, 11); });
    QTimer::singleShot(ReceptionLimit, &Loop, &QEventLoop::quit);
    Loop.exec();
    // The display's recalculation after the burst commits the rest.
    Recorder.Flush();
    const auto End = steady_clock::now();
    Chronograph.join();
    return {duration<double>(End - Start).count(), Series.Count(), Recorder.Committed()};
}

void BM_BurstWithLibraryAgainstWithout(benchmark::State& State) {
    const std::filesystem::path Folder =
        std::filesystem::temp_directory_path() /
        ("tarvex-recording-bench-" + std::to_string(QCoreApplication::applicationPid()));
    std::filesystem::create_directories(Folder);
    for (auto _ : State) {
        const TBurst Without = ReceiveBurst("");
        const TBurst With = ReceiveBurst((Folder / "series.db").string());
        State.counters["records_per_s_without"] =
            static_cast<double>(Without.Shots) / Without.Seconds;
        State.counters["records_per_s_with_library"] =
            static_cast<double>(With.Shots) / With.Seconds;
        State.counters["throughput_ratio"] = Without.Seconds / With.Seconds;
        State.counters["lost_without"] = static_cast<double>(BurstRecords - Without.Shots);
        State.counters["lost_with_library"] = static_cast<double>(BurstRecords - With.Committed);
    }
    std::filesystem::remove_all(Folder);
}

BENCHMARK(BM_BurstWithLibraryAgainstWithout)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    // The port hands its events to the user-interface thread through the application object.
    return bench::RunWithApplication<QCoreApplication>(argc, argv);
}
