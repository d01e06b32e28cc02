// Records per second from a simulated chronograph on a pseudo-terminal through the port
// (OnRxChar, ReadText, the line unit), against a baseline that reads the same device with plain
// blocking reads; and the delay from a record's write to its shot, at one record every 10 ms.

#include "app/ShotReceiver.h"
#include "platform/PseudoTerminal.h"
#include "serial/CPort.h"
#include "tools/chronosim/RecordGenerator.h"
#include "tools/chronosim/Sender.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono;

constexpr int ThroughputRecords = 100000;
constexpr int LatencyRecords = 300;

std::int64_t NowNs() {
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

// Sends Count records into the pseudo-terminal from a thread of its own, noting when each was
// written.
class TSimulatedChronograph {
public:
    TSimulatedChronograph(platform::TPseudoTerminal& Device, int Count, milliseconds Pause)
        : FSentAt(Count), FThread([&Device, Count, Pause, this] {
              chronosim::TRecordOptions RecordOptions;
              RecordOptions.Seed = 7;
              chronosim::TRecordGenerator Records(RecordOptions);
              chronosim::TSendOptions Options;
              Options.Count = Count;
              Options.PauseMin = Options.PauseMax = Pause;
              chronosim::TStopSignal Stop;
              chronosim::RunSender(
                  Records, Options, [&Device](std::string_view Line) { Device.Write(Line); }, Stop,
                  [this](const chronosim::TSentRecord& Sent) {
                      FSentAt[Sent.Number - 1] = Sent.MonotonicNs;
                  });
          }) {}
    ~TSimulatedChronograph() { FThread.join(); }
    const std::vector<std::int64_t>& SentAt() const { return FSentAt; }

private:
    std::vector<std::int64_t> FSentAt;
    std::thread FThread;
};

struct TReception {
    double Seconds = 0;
    std::size_t Shots = 0;
    std::vector<std::int64_t> Delays;
};

TReception ReceiveThroughPort(int Count, milliseconds Pause) {
    platform::TPseudoTerminal Device;
    TComPort Port;
    Port.SetPort(Device.SlavePath());
    Port.SetBaudRate(br19200);
    TSeries Series;
    const std::vector<TData>& Shots = Series.Shots();
    std::vector<std::int64_t> ShotAt;
    TShotReceiver Receiver(Series);
    Receiver.RestartRecalculateTimer = [&ShotAt] { ShotAt.push_back(NowNs()); };
    Port.OnRxChar = [&](QObject*, int Bytes) { Receiver.ReceiveText(Port.ReadText(Bytes)); };
    Port.OpenPort();
    const auto Start = steady_clock::now();
    TReception Result;
    {
        TSimulatedChronograph Chronograph(Device, Count, Pause);
        const auto Deadline = Start + seconds(120);
        while (Shots.size() < static_cast<std::size_t>(Count) && steady_clock::now() < Deadline)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        Result.Seconds = duration<double>(steady_clock::now() - Start).count();
        for (std::size_t i = 0; i < ShotAt.size(); ++i)
            Result.Delays.push_back(ShotAt[i] - Chronograph.SentAt()[i]);
    }
    Result.Shots = Shots.size();
    Port.ClosePort();
    return Result;
}

TReception ReceiveWithBlockingReads(int Count) {
    platform::TPseudoTerminal Device;
    const int Descriptor = open(Device.SlavePath().c_str(), O_RDONLY | O_NOCTTY);
    const auto Start = steady_clock::now();
    TReception Result;
    {
        TSimulatedChronograph Chronograph(Device, Count, milliseconds(0));
        char Buffer[4096];
        while (Result.Shots < static_cast<std::size_t>(Count)) {
            const ssize_t Read = read(Descriptor, Buffer, sizeof Buffer);
            if (Read <= 0)
                break;
            Result.Shots += std::count(Buffer, Buffer + Read, '\n');
        }
        Result.Seconds = duration<double>(steady_clock::now() - Start).count();
    }
    close(Descriptor);
    return Result;
}

double BaselineRate = 0;

void BM_BlockingReadBaseline(benchmark::State& State) {
    for (auto _ : State) {
        const TReception Result = ReceiveWithBlockingReads(ThroughputRecords);
        BaselineRate = Result.Shots / Result.Seconds;
        State.counters["records_per_s"] = BaselineRate;
        State.counters["lost"] = ThroughputRecords - static_cast<double>(Result.Shots);
    }
}

void BM_PortReception(benchmark::State& State) {
    for (auto _ : State) {
        const TReception Result = ReceiveThroughPort(ThroughputRecords, milliseconds(0));
        const double Rate = Result.Shots / Result.Seconds;
        State.counters["records_per_s"] = Rate;
        State.counters["ratio_to_baseline"] = BaselineRate > 0 ? Rate / BaselineRate : 0;
        State.counters["lost"] = ThroughputRecords - static_cast<double>(Result.Shots);
    }
}

double Percentile(std::vector<std::int64_t> Values, double Fraction) {
    if (Values.empty())
        return 0;
    std::sort(Values.begin(), Values.end());
    const auto At = static_cast<std::size_t>(Fraction * static_cast<double>(Values.size() - 1));
    return static_cast<double>(Values[At]) / 1e6;
}

void BM_PortDelayAtOneRecordPer10ms(benchmark::State& State) {
    for (auto _ : State) {
        const TReception Result = ReceiveThroughPort(LatencyRecords, milliseconds(10));
        State.counters["median_delay_ms"] = Percentile(Result.Delays, 0.5);
        State.counters["p99_delay_ms"] = Percentile(Result.Delays, 0.99);
        State.counters["lost"] = LatencyRecords - static_cast<double>(Result.Shots);
    }
}

BENCHMARK(BM_BlockingReadBaseline)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PortReception)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PortDelayAtOneRecordPer10ms)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    // The port hands its events to the user-interface thread through the application object.
    QCoreApplication Application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
