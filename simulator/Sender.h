#pragma once

// The sending loop of the simulator: one record after another, with pauses between them, until
// the count is reached or a stop is requested, into any writer of bytes.

#include "simulator/RecordGenerator.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <random>
#include <string_view>

namespace platform {
class TPseudoTerminal;
}

namespace chronosim {

struct TSendOptions {
    std::uint64_t Count = 0; // 0: endless
    // The pause between two records, drawn evenly from this range (equal ends: a fixed pause).
    std::chrono::milliseconds PauseMin{2000};
    std::chrono::milliseconds PauseMax{2000};
    TLineEnd LineEnd = TLineEnd::CrLf;
    std::uint64_t Seed = 0;
};

// A stop request that any thread may make and that ends a pause at once.
class TStopSignal {
public:
    void RequestStop();
    bool StopRequested() const;
    // Waits for Pause or a stop request; true when stopped.
    bool WaitFor(std::chrono::milliseconds Pause);

private:
    mutable std::mutex FLock;
    std::condition_variable FChanged;
    bool FStopped = false;
};

// The pauses between records; a seed of its own keeps the records the same whatever the pauses.
class TPauses {
public:
    TPauses(std::chrono::milliseconds Min, std::chrono::milliseconds Max, std::uint64_t Seed);
    std::chrono::milliseconds Next();

private:
    std::mt19937_64 FEngine;
    std::uniform_int_distribution<std::int64_t> FRange;
};

struct TSentRecord {
    std::uint64_t Number;     // from 1
    std::int64_t MonotonicNs; // steady clock, taken just before the write
    std::string_view Text;    // without line end
};

using TWriter = std::function<void(std::string_view Line)>;
using TSentHandler = std::function<void(const TSentRecord&)>;

// Sends records until Options.Count or a stop; returns the number sent.
std::uint64_t RunSender(TRecordGenerator& Records, const TSendOptions& Options,
                        const TWriter& Write, TStopSignal& Stop, const TSentHandler& Sent = {});

// Writes to a pseudo-terminal as to a serial line: what is sent while no reader has the slave
// open is lost, as a chronograph's records are when no program listens, instead of piling up
// for the next reader. Whether a reader is there is looked up at most every Recheck.
class TPtyLineWriter {
public:
    explicit TPtyLineWriter(platform::TPseudoTerminal& Pty,
                            std::chrono::milliseconds Recheck = std::chrono::milliseconds(100));
    void operator()(std::string_view Line);

private:
    platform::TPseudoTerminal& FPty;
    std::chrono::milliseconds FRecheck;
    std::chrono::steady_clock::time_point FCheckedAt{};
    bool FReaderPresent = false;
};

} // namespace chronosim
