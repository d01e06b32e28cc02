// chronosim: a chronograph on a pseudo-terminal (or on a real serial device), for trying the
// program and for tests and latency measurements without hardware. See --help.

#include "platform/PseudoTerminal.h"
#include "simulator/SimOptions.h"

#include <csignal>
#include <fstream>
#include <iostream>
#include <memory>
#include <pthread.h>
#include <thread>

namespace {

using chronosim::TSimOptions;
using chronosim::TStopSignal;
using std::chrono::milliseconds;

// How long the end of a run waits for a reader to take the last records of a pseudo-terminal.
constexpr milliseconds DrainLimit{2000};

// SIGINT and SIGTERM are taken by one thread with sigwait, which turns them into a stop
// request; SIGUSR1 only wakes that thread at the end of a run.
class TSignalStopper {
public:
    explicit TSignalStopper(TStopSignal& Stop) {
        sigemptyset(&FSignals);
        for (const int Signal : {SIGINT, SIGTERM, SIGUSR1})
            sigaddset(&FSignals, Signal);
        pthread_sigmask(SIG_BLOCK, &FSignals, nullptr);
        FThread = std::thread([this, &Stop] {
            int Signal = 0;
            sigwait(&FSignals, &Signal);
            Stop.RequestStop();
        });
    }
    ~TSignalStopper() {
        pthread_kill(FThread.native_handle(), SIGUSR1);
        FThread.join();
    }
    TSignalStopper(const TSignalStopper&) = delete;
    TSignalStopper& operator=(const TSignalStopper&) = delete;

private:
    sigset_t FSignals{};
    std::thread FThread;
};

chronosim::TSentHandler TimestampWriter(std::ofstream& File) {
    if (!File.is_open())
        return {};
    return [&File](const chronosim::TSentRecord& Sent) {
        File << Sent.MonotonicNs << ' ' << Sent.Text << '\n' << std::flush;
    };
}

void SendToDevice(const TSimOptions& Options, TStopSignal& Stop, std::ofstream& Timestamps) {
    platform::TRawDevice Device(Options.Device, Options.Baud);
    chronosim::TRecordGenerator Records(Options.Records);
    chronosim::RunSender(
        Records, Options.Sending, [&](std::string_view Line) { Device.Write(Line); }, Stop,
        TimestampWriter(Timestamps));
    Device.Drain();
}

void SendToPseudoTerminal(const TSimOptions& Options, TStopSignal& Stop,
                          std::ofstream& Timestamps) {
    platform::TPseudoTerminal Pty;
    std::cout << Pty.SlavePath() << std::endl;
    if (Options.WaitForReader)
        while (!Pty.WaitForReader(milliseconds(100)))
            if (Stop.StopRequested())
                return;
    chronosim::TRecordGenerator Records(Options.Records);
    chronosim::RunSender(Records, Options.Sending, chronosim::TPtyLineWriter(Pty), Stop,
                         TimestampWriter(Timestamps));
    Pty.WaitUntilRead(DrainLimit);
}

void Run(const TSimOptions& Options) {
    std::ofstream Timestamps;
    if (!Options.TimestampsFile.empty()) {
        Timestamps.open(Options.TimestampsFile, std::ios::binary | std::ios::trunc);
        if (!Timestamps)
            throw std::runtime_error("Cannot write " + Options.TimestampsFile);
    }
    TStopSignal Stop;
    const TSignalStopper Stopper(Stop);
    if (Options.Device.empty())
        SendToPseudoTerminal(Options, Stop, Timestamps);
    else
        SendToDevice(Options, Stop, Timestamps);
}

} // namespace

int main(int argc, char** argv) {
    try {
        const TSimOptions Options = chronosim::ParseSimOptions({argv + 1, argv + argc});
        if (Options.Help)
            std::cout << chronosim::UsageText();
        else
            Run(Options);
        return 0;
    } catch (const chronosim::EUsageError& Error) {
        std::cerr << "chronosim: " << Error.what() << '\n';
        return 2;
    } catch (const std::exception& Error) {
        std::cerr << "chronosim: " << Error.what() << '\n';
        return 1;
    }
}
