// The CPU time that receiving a simulated chronograph's records costs through the port (OnRxChar
// and ReadText, on a pseudo-terminal), per record, against plain blocking reads of the same
// records measured in the same run; and the delay from a record's write to its arrival in the
// handler, at one record every 10 ms.

#include "bench/BenchMain.h"
#include "platform/PseudoTerminal.h"
#include "serial/CPort.h"
#include "simulator/RecordGenerator.h"
#include "simulator/Sender.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono;

constexpr int ThroughputRecords = 100000;
constexpr int LatencyRecords = 300;
constexpr milliseconds ReceptionLimit{120000};

std::int64_t NowNs() {
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

double CpuSeconds(clockid_t Clock) {
    timespec Time{};
    clock_gettime(Clock, &Time);
    return static_cast<double>(Time.tv_sec) + static_cast<double>(Time.tv_nsec) / 1e9;
}

// Sends Count records into the pseudo-terminal from a thread of its own, noting when each was
// written and the CPU time the sending took, which is not the receiver's.
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
              FCpuSeconds = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
          }) {}
    ~TSimulatedChronograph() { Join(); }

    void Join() {
        if (FThread.joinable())
            FThread.join();
    }
    // Once joined.
    const std::vector<std::int64_t>& SentAt() const { return FSentAt; }
    double SenderCpuSeconds() const { return FCpuSeconds; }

private:
    std::vector<std::int64_t> FSentAt;
    double FCpuSeconds = 0;
    std::thread FThread;
};

struct TReception {
    double CpuSeconds = 0;
    int Records = 0;
    std::vector<std::int64_t> Delays;
};

// Runs Receive while the chronograph sends Count records; the CPU time of the whole process
// meanwhile, less the sender's, is the receiver's.
template <typename TReceive>
TReception Measure(platform::TPseudoTerminal& Device, int Count, milliseconds Pause,
                   TReceive Receive) {
    TReception Result;
    std::vector<std::int64_t> ArrivedAt;
    const double Before = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    TSimulatedChronograph Chronograph(Device, Count, Pause);
    Receive(ArrivedAt);
    Chronograph.Join();
    Result.CpuSeconds =
        CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - Before - Chronograph.SenderCpuSeconds();
    Result.Records = static_cast<int>(ArrivedAt.size());
    for (std::size_t i = 0; i < ArrivedAt.size(); ++i)
        Result.Delays.push_back(ArrivedAt[i] - Chronograph.SentAt()[i]);
    return Result;
}

// Notes the arrival time of every record that Text completes.
void NoteRecordEnds(const char* Text, std::size_t Size, std::vector<std::int64_t>& ArrivedAt) {
    const auto Ends = std::count(Text, Text + Size, '\n');
    if (Ends > 0)
        ArrivedAt.insert(ArrivedAt.end(), static_cast<std::size_t>(Ends), NowNs());
}

TReception ReceiveThroughPort(int Count, milliseconds Pause) {
    platform::TPseudoTerminal Device;
    TComPort Port;
    Port.SetPort(Device.SlavePath());
    Port.SetBaudRate(br19200);
    QEventLoop Loop;
    Port.OpenPort();
    return Measure(Device, Count, Pause, [&](std::vector<std::int64_t>& ArrivedAt) {
        Port.OnRxChar = [&](QObject*, int Bytes) {
            const std::string Text = Port.ReadText(Bytes);
            NoteRecordEnds(Text.data(), Text.size(), ArrivedAt);
            if (ArrivedAt.size() >= static_cast<std::size_t>(Count))
                Loop.quit();
        };
        QTimer::singleShot(ReceptionLimit, &Loop, &QEventLoop::quit);
        Loop.exec();
    });
}

TReception ReceiveWithBlockingReads(int Count) {
    platform::TPseudoTerminal Device;
    const int Descriptor = open(Device.SlavePath().c_str(), O_RDONLY | O_NOCTTY);
    const TReception Result =
        Measure(Device, Count, milliseconds(0), [&](std::vector<std::int64_t>& ArrivedAt) {
            char Buffer[4096];
            while (ArrivedAt.size() < static_cast<std::size_t>(Count)) {
                const ssize_t Read = read(Descriptor, Buffer, sizeof Buffer);
                if (Read <= 0)
                    break;
                NoteRecordEnds(Buffer, static_cast<std::size_t>(Read), ArrivedAt);
            }
        });
    close(Descriptor);
    return Result;
}

void BM_PortReceptionCpuPerRecord(benchmark::State& State) {
    for (auto _ : State) {
        const TReception Baseline = ReceiveWithBlockingReads(ThroughputRecords);
        const TReception Port = ReceiveThroughPort(ThroughputRecords, milliseconds(0));
        State.counters["baseline_cpu_us_per_record"] =
            Baseline.CpuSeconds * 1e6 / ThroughputRecords;
        State.counters["port_cpu_us_per_record"] = Port.CpuSeconds * 1e6 / ThroughputRecords;
        State.counters["cpu_ratio_to_blocking_reads"] = Port.CpuSeconds / Baseline.CpuSeconds;
        State.counters["lost_baseline"] = ThroughputRecords - Baseline.Records;
        State.counters["lost_port"] = ThroughputRecords - Port.Records;
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
        State.counters["lost"] = LatencyRecords - Result.Records;
    }
}

BENCHMARK(BM_PortReceptionCpuPerRecord)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PortDelayAtOneRecordPer10ms)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    // The port hands its events to the user-interface thread through the application object.
    return bench::RunWithApplication<QCoreApplication>(argc, argv);
}
