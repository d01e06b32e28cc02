#include "simulator/Sender.h"

#include "platform/PseudoTerminal.h"

namespace chronosim {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

void TStopSignal::RequestStop() {
    {
        const std::lock_guard Guard(FLock);
        FStopped = true;
    }
    FChanged.notify_all();
}

bool TStopSignal::StopRequested() const {
    const std::lock_guard Guard(FLock);
    return FStopped;
}

bool TStopSignal::WaitFor(milliseconds Pause) {
    std::unique_lock Guard(FLock);
    return FChanged.wait_for(Guard, Pause, [this] { return FStopped; });
}

TPauses::TPauses(milliseconds Min, milliseconds Max, std::uint64_t Seed)
    : FEngine(Seed), FRange(Min.count(), Max.count()) {}

milliseconds TPauses::Next() {
    return milliseconds(FRange(FEngine));
}

std::uint64_t RunSender(TRecordGenerator& Records, const TSendOptions& Options,
                        const TWriter& Write, TStopSignal& Stop, const TSentHandler& Sent) {
    // A different seed for the pauses, so that they do not repeat the speeds' random numbers.
    TPauses Pauses(Options.PauseMin, Options.PauseMax, Options.Seed ^ 0x9E3779B97F4A7C15ull);
    const std::string_view LineEnd = LineEndText(Options.LineEnd);
    std::uint64_t Number = 0;
    while (!Stop.StopRequested() && (Options.Count == 0 || Number < Options.Count)) {
        if (Number > 0 && Stop.WaitFor(Pauses.Next()))
            break;
        const std::string Record = Records.Next();
        const auto Now = steady_clock::now().time_since_epoch();
        Write(Record + std::string(LineEnd));
        ++Number;
        if (Sent)
            Sent({Number, std::chrono::duration_cast<std::chrono::nanoseconds>(Now).count(),
                  Record});
    }
    return Number;
}

TPtyLineWriter::TPtyLineWriter(platform::TPseudoTerminal& Pty, milliseconds Recheck)
    : FPty(Pty), FRecheck(Recheck) {}

void TPtyLineWriter::operator()(std::string_view Line) {
    const auto Now = steady_clock::now();
    if (!FReaderPresent || Now - FCheckedAt >= FRecheck) {
        FReaderPresent = FPty.ReaderPresent();
        FCheckedAt = Now;
    }
    if (FReaderPresent)
        FPty.Write(Line);
}

} // namespace chronosim
