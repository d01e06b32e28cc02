#pragma once

// A chronograph that sends Count records as fast as the device takes them, from a seeded
// generator, so that the benchmarks that receive a burst receive the same one every run.

#include "platform/PseudoTerminal.h"
#include "simulator/RecordGenerator.h"
#include "simulator/Sender.h"

#include <chrono>
#include <cstdint>
#include <string_view>

namespace bench {

inline void SendBurst(platform::TPseudoTerminal& Device, std::size_t Count, std::uint64_t Seed) {
    chronosim::TRecordOptions RecordOptions;
    RecordOptions.Seed = Seed;
    chronosim::TRecordGenerator Records(RecordOptions);
    chronosim::TSendOptions Options;
    Options.Count = static_cast<int>(Count);
    Options.PauseMin = Options.PauseMax = std::chrono::milliseconds(0);
    chronosim::TStopSignal Stop;
    chronosim::RunSender(
        Records, Options, [&Device](std::string_view Line) { Device.Write(Line); }, Stop,
        [](const chronosim::TSentRecord&) {});
}

} // namespace bench
