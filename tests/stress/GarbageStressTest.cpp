// A device that spews noise: random bytes with NUL, bytes above 127 and long stretches without a
// line end, then real records. The program must survive it with bounded memory and take every
// record that follows the noise.

#include "series/ShotReceiver.h"
#include "tests/stress/StressSupport.h"
#include "tests/support/WaitUntil.h"

#include <cmath>
#include <random>

namespace stress {
namespace {

// Stretches of any byte at all, and long runs without a line end that would make an unbounded
// line buffer grow: digits (one endless "number") or any byte but CR and LF.
std::string Noise(std::size_t Size, std::mt19937& Random) {
    std::string Bytes;
    std::uniform_int_distribution<int> Byte(0, 255), Kind(0, 2), Length(1, 20'000);
    while (Bytes.size() < Size) {
        const int Run = Length(Random);
        const int Shape = Kind(Random);
        for (int i = 0; i < Run; ++i) {
            char c = static_cast<char>(Byte(Random));
            if (Shape == 1)
                c = static_cast<char>('0' + Byte(Random) % 10);
            else if (Shape == 2 && (c == '\r' || c == '\n'))
                c = '\0';
            Bytes += c;
        }
    }
    Bytes.resize(Size);
    return Bytes;
}

constexpr int ValidRecords = 200;
// Room for the program's own buffers: far below what keeping the noise would take at full size.
constexpr long MemoryAllowanceKiB = 64 * 1024;

TEST_F(StressTest, NoiseNeitherCrashesNorHoldsBackTheRecordsAfterIt) {
    const unsigned Seed = std::random_device()();
    SCOPED_TRACE("noise seed " + std::to_string(Seed));
    std::mt19937 Random(Seed);
    auto Form = StartForm();
    platform::TPseudoTerminal Device;
    Connect(*Form, Device);
    ASSERT_TRUE(Form->pnlConnection->ComPort().Connected());
    const long ResidentBefore = StatusKiB("VmRSS");
    // A real record starts after a line end; the noise's last line is noise.
    TDeviceWriter Writer(Device,
                         Noise(Sizes.GarbageBytes, Random) + "\r\n" + Records(0, ValidRecords));
    const auto LastArrived = [&] {
        return !Form->Shots().empty() &&
               Form->Shots().back().Speed() == RecordSpeed(ValidRecords - 1);
    };
    ASSERT_TRUE(WaitUntil([&] { return Writer.Done() && LastArrived(); }, std::chrono::minutes(2)))
        << Writer.Error();
    const long Growth = StatusKiB("VmRSS") - ResidentBefore;
    EXPECT_LE(Growth, MemoryAllowanceKiB);
    const std::vector<TData>& Shots = Form->Shots();
    ASSERT_GE(Shots.size(), static_cast<std::size_t>(ValidRecords));
    EXPECT_EQ(MatchingRecords(Shots, Shots.size() - ValidRecords, 0),
              static_cast<std::size_t>(ValidRecords));
    for (const TData& Shot : Shots)
        EXPECT_TRUE(std::isfinite(Shot.Speed()));
    EXPECT_LE(Form->Receiver().LineBuffer().size(), TShotReceiver::LineBufferCap);
    EXPECT_TRUE(Form->pnlConnection->ComPort().Connected());
    EXPECT_TRUE(Dialogs.Errors.empty());
    Report(std::to_string(Sizes.GarbageBytes) + " noise bytes; resident memory grew " +
           std::to_string(Growth) + " KiB; " + std::to_string(Shots.size() - ValidRecords) +
           " shots read from the noise");
}

} // namespace
} // namespace stress
