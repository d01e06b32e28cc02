#include "simulator/Sender.h"

#include "platform/PseudoTerminal.h"
#include "tests/platform/PlatformTestSupport.h"

#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <set>
#include <vector>

using chronosim::RunSender;
using chronosim::TLineEnd;
using chronosim::TPauses;
using chronosim::TPtyLineWriter;
using chronosim::TRecordGenerator;
using chronosim::TRecordOptions;
using chronosim::TSendOptions;
using chronosim::TSentRecord;
using chronosim::TStopSignal;
using std::chrono::milliseconds;

namespace {

TSendOptions AtOnce(std::uint64_t Count, TLineEnd LineEnd = TLineEnd::CrLf) {
    TSendOptions Options;
    Options.Count = Count;
    Options.PauseMin = Options.PauseMax = milliseconds(0);
    Options.LineEnd = LineEnd;
    return Options;
}

struct TCollected {
    std::vector<std::string> Lines;
    std::vector<TSentRecord> Sent;
    std::vector<std::string> SentTexts;
};

TCollected Send(TRecordOptions Records, const TSendOptions& Options, TStopSignal& Stop) {
    TCollected Result;
    TRecordGenerator Generator(std::move(Records));
    RunSender(
        Generator, Options, [&](std::string_view Line) { Result.Lines.emplace_back(Line); }, Stop,
        [&](const TSentRecord& Sent) {
            Result.Sent.push_back(Sent);
            Result.SentTexts.emplace_back(Sent.Text);
        });
    return Result;
}

} // namespace

TEST(Sender, SendsTheCountOfGeneratorRecordsWithTheLineEnd) {
    TRecordOptions Records;
    Records.Seed = 5;
    TRecordGenerator Reference(Records);
    for (const auto& [LineEnd, Text] :
         {std::pair{TLineEnd::CrLf, "\r\n"}, std::pair{TLineEnd::Cr, "\r"},
          std::pair{TLineEnd::Lf, "\n"}}) {
        TStopSignal Stop;
        const TCollected Result = Send(Records, AtOnce(4, LineEnd), Stop);
        ASSERT_EQ(Result.Lines.size(), 4u);
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(Result.Lines[i], Result.SentTexts[i] + Text);
            EXPECT_EQ(Result.Sent[i].Number, i + 1);
        }
    }
    TStopSignal Stop;
    const TCollected Result = Send(Records, AtOnce(3), Stop);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(Result.SentTexts[i], Reference.Next());
}

TEST(Sender, PausesBetweenRecords) {
    TSendOptions Options = AtOnce(3);
    Options.PauseMin = Options.PauseMax = milliseconds(30);
    TStopSignal Stop;
    const TCollected Result = Send({}, Options, Stop);
    ASSERT_EQ(Result.Sent.size(), 3u);
    for (std::size_t i = 1; i < 3; ++i)
        EXPECT_GE(Result.Sent[i].MonotonicNs - Result.Sent[i - 1].MonotonicNs, 30'000'000);
}

TEST(Sender, AStopEndsAnEndlessRunDuringAPause) {
    TSendOptions Options = AtOnce(0);
    Options.PauseMin = Options.PauseMax = milliseconds(3'600'000);
    TStopSignal Stop;
    std::atomic<int> Written{0};
    TRecordGenerator Generator({});
    auto Run = std::async(std::launch::async, [&] {
        return RunSender(
            Generator, Options, [&](std::string_view) { ++Written; }, Stop);
    });
    ASSERT_TRUE(tests::WaitUntil([&] { return Written == 1; }));
    Stop.RequestStop();
    ASSERT_EQ(Run.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(Run.get(), 1u);

    EXPECT_EQ(Send({}, AtOnce(5), Stop).Lines.size(), 0u); // stopped before the start
}

TEST(Pauses, DrawsEvenlyWithinTheRangeRepeatably) {
    TPauses Pauses(milliseconds(1000), milliseconds(1002), 9);
    TPauses Again(milliseconds(1000), milliseconds(1002), 9);
    std::set<long long> Seen;
    for (int i = 0; i < 300; ++i) {
        const milliseconds Pause = Pauses.Next();
        EXPECT_EQ(Pause, Again.Next());
        Seen.insert(Pause.count());
    }
    EXPECT_EQ(Seen, (std::set<long long>{1000, 1001, 1002}));
    TPauses Fixed(milliseconds(2000), milliseconds(2000), 1);
    EXPECT_EQ(Fixed.Next(), milliseconds(2000));
}

TEST(PtyLineWriter, DropsRecordsWhileNobodyListensLikeASerialLine) {
    platform::TPseudoTerminal Pty;
    TPtyLineWriter Write(Pty, milliseconds(0));
    Write("lost\r\n");
    EXPECT_EQ(Pty.Unread(), 0u);

    const int Reader = ::open(Pty.SlavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(Reader, 0);
    Write("175.52;m/s\r\n");
    EXPECT_EQ(tests::ReadUntil(Reader, tests::AtLeastBytes(12)), "175.52;m/s\r\n");
    ::close(Reader);
}
