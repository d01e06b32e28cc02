// The communication functions on a pseudo-terminal: the test writes into the master side and
// the functions under test work on the slave side, as a port does on a chronograph's line.

#include "platform/CommFunctions.h"

#include "platform/PseudoTerminal.h"
#include "tests/platform/PlatformTestSupport.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <string>
#include <thread>

using namespace platform;
using namespace std::chrono;
using tests::WaitUntil;

namespace {

class CommOnPseudoTerminal : public testing::Test {
protected:
    CommOnPseudoTerminal() : Handle(CreateFile(Device.SlavePath())) {}
    ~CommOnPseudoTerminal() override { CloseHandle(Handle); }

    // Writes Bytes and waits until the slave side holds them all.
    void Send(const std::string& Bytes) {
        const std::size_t Before = Device.Unread();
        Device.Write(Bytes);
        ASSERT_TRUE(WaitUntil([&] { return Device.Unread() >= Before + Bytes.size(); }));
    }

    std::uint32_t BytesWaiting() {
        std::uint32_t Errors = 0;
        TComStat Stat;
        EXPECT_TRUE(ClearCommError(Handle, Errors, Stat));
        return Stat.cbInQue;
    }

    struct TRead {
        bool Returned = false;
        bool Succeeded = false;
        std::uint32_t Error = 0;
        std::string Bytes;
        milliseconds Took{};
    };

    // Reads Count bytes on a thread of its own; a read still waiting after Bound is ended by a
    // purge and reported as not returned, so that a fault fails the test instead of hanging it.
    TRead ReadWithin(std::uint32_t Count, milliseconds Bound = seconds(5)) {
        TRead Result;
        std::string Buffer(Count, '\0');
        std::uint32_t Read = 0;
        TOverlapped Overlapped;
        const auto Start = steady_clock::now();
        auto Reading = std::async(std::launch::async, [&] {
            Result.Succeeded = ReadFile(Handle, Buffer.data(), Count, Read, Overlapped);
            Result.Error = GetLastError();
        });
        Result.Returned = Reading.wait_for(Bound) == std::future_status::ready;
        if (!Result.Returned)
            PurgeComm(Handle, PURGE_RXABORT);
        Reading.get();
        Result.Took = duration_cast<milliseconds>(steady_clock::now() - Start);
        Result.Bytes = Buffer.substr(0, Read);
        return Result;
    }

    TPseudoTerminal Device;
    THandle Handle;
};

TEST_F(CommOnPseudoTerminal, ReadsEndAsTheirTimeOutsSay) {
    struct TCase {
        const char* Name;
        TCommTimeouts Timeouts;
        std::uint32_t Count;
        const char* Expected;
        milliseconds AtLeast;
    };
    // "abcdef" waits on the line before each read.
    const TCase Cases[] = {
        {"at once with what has arrived", {MAXDWORD, 0, 0}, 10, "abcdef", milliseconds(0)},
        {"no limit ends at the count", {0, 0, 0}, 4, "abcd", milliseconds(0)},
        {"a total constant", {0, 0, 60}, 10, "abcdef", milliseconds(60)},
        {"a total per byte", {0, 6, 0}, 10, "abcdef", milliseconds(60)},
        {"the first bytes, before the total",
         {MAXDWORD, MAXDWORD, 60000},
         10,
         "abcdef",
         milliseconds(0)},
        {"a pause after the last byte", {60, 0, 0}, 10, "abcdef", milliseconds(60)},
    };
    for (const TCase& Case : Cases) {
        ASSERT_TRUE(PurgeComm(Handle, PURGE_RXCLEAR)) << Case.Name;
        ASSERT_TRUE(SetCommTimeouts(Handle, Case.Timeouts)) << Case.Name;
        Send("abcdef");
        const TRead Read = ReadWithin(Case.Count);
        EXPECT_TRUE(Read.Returned && Read.Succeeded) << Case.Name;
        EXPECT_EQ(Read.Bytes, Case.Expected) << Case.Name;
        EXPECT_GE(Read.Took, Case.AtLeast) << Case.Name;
    }
}

TEST_F(CommOnPseudoTerminal, APurgeEndsAWaitingReadAndClearsTheQueue) {
    ASSERT_TRUE(SetCommTimeouts(Handle, {0, 0, 0}));
    std::string Buffer(10, '\0');
    std::uint32_t Read = 0;
    TOverlapped Overlapped;
    auto Reading = std::async(
        std::launch::async, [&] { return ReadFile(Handle, Buffer.data(), 10, Read, Overlapped); });
    // Without limits the read waits for its ten bytes, which never come; it may not have begun
    // when the first purge comes, so the purge is repeated until the read ends.
    ASSERT_TRUE(WaitUntil([&] {
        PurgeComm(Handle, PURGE_RXABORT);
        return Reading.wait_for(seconds(0)) == std::future_status::ready;
    }));
    EXPECT_TRUE(Reading.get());
    EXPECT_EQ(Read, 0u);

    Send("abc");
    EXPECT_EQ(BytesWaiting(), 3u);
    ASSERT_TRUE(PurgeComm(Handle, PURGE_RXCLEAR));
    EXPECT_EQ(BytesWaiting(), 0u);
}

// Four fifths of the input size: reported when the queue reaches it, and again only after the
// queue has dropped below it.
TEST_F(CommOnPseudoTerminal, TheEightyPercentMarkIsReportedOnItsEdge) {
    ASSERT_TRUE(SetupComm(Handle, 100, 100));
    ASSERT_TRUE(SetCommMask(Handle, EV_RXCHAR | EV_RX80FULL));
    ASSERT_TRUE(SetCommTimeouts(Handle, {MAXDWORD, 0, 0}));
    const TEventObject Stop;
    struct TStep {
        std::uint32_t Read;
        std::size_t Sent;
        std::uint32_t Expected;
    };
    const TStep Steps[] = {
        {0, 79, EV_RXCHAR}, {0, 1, EV_RXCHAR | EV_RX80FULL},  {0, 1, EV_RXCHAR},
        {60, 1, EV_RXCHAR}, {0, 58, EV_RXCHAR | EV_RX80FULL},
    };
    for (const TStep& Step : Steps) {
        EXPECT_EQ(ReadWithin(Step.Read).Bytes.size(), Step.Read);
        Send(std::string(Step.Sent, 'x'));
        std::uint32_t Mask = 0;
        ASSERT_EQ(WaitCommEvent(Handle, Stop, Mask), TCommWaitResult::Events);
        EXPECT_EQ(Mask, Step.Expected) << "with " << BytesWaiting() << " bytes waiting";
    }
}

TEST_F(CommOnPseudoTerminal, TheInputQueueKeepsItsLimitAndReportsTheOverflow) {
    std::string Bytes(InputQueueLimit + 1000, '\0');
    for (std::size_t i = 0; i < Bytes.size(); ++i)
        Bytes[i] = static_cast<char>('a' + i % 23);
    std::atomic<bool> Written{false};
    std::thread Writer([&] {
        Device.Write(Bytes);
        Written = true;
    });
    // Each query takes in what the kernel holds, which lets the writer go on.
    std::uint32_t Errors = 0;
    TComStat Stat;
    const bool AllTakenIn = WaitUntil(
        [&] {
            std::uint32_t Flags = 0;
            ClearCommError(Handle, Flags, Stat);
            Errors |= Flags;
            return Written && Device.Unread() == 0;
        },
        seconds(60));
    Writer.join();
    ASSERT_TRUE(AllTakenIn);
    EXPECT_EQ(Stat.cbInQue, InputQueueLimit);
    EXPECT_NE(Errors & CE_RXOVER, 0u);
    ASSERT_TRUE(ClearCommError(Handle, Errors, Stat));
    EXPECT_EQ(Errors & CE_RXOVER, 0u);
    ASSERT_TRUE(SetCommTimeouts(Handle, {MAXDWORD, 0, 0}));
    EXPECT_EQ(ReadWithin(InputQueueLimit).Bytes, Bytes.substr(0, InputQueueLimit));
}

TEST_F(CommOnPseudoTerminal, AHangUpEndsTheWaitAndReadsAfterTheBytesBeforeIt) {
    ASSERT_TRUE(SetCommMask(Handle, EV_RXCHAR));
    ASSERT_TRUE(SetCommTimeouts(Handle, {MAXDWORD, 0, 0}));
    Send("abc");
    EXPECT_EQ(BytesWaiting(), 3u);
    Device.CloseMaster();
    const TEventObject Stop;
    std::uint32_t Mask = 0;
    // The bytes taken in before the hang-up are reported first.
    EXPECT_EQ(WaitCommEvent(Handle, Stop, Mask), TCommWaitResult::Events);
    EXPECT_EQ(WaitCommEvent(Handle, Stop, Mask), TCommWaitResult::Failed);
    EXPECT_EQ(GetLastError(), std::uint32_t{EIO});
    EXPECT_EQ(ReadWithin(10).Bytes, "abc");
    const TRead Lost = ReadWithin(10);
    EXPECT_FALSE(Lost.Succeeded);
    EXPECT_EQ(Lost.Error, std::uint32_t{EIO});
    std::uint32_t Errors = 0;
    TComStat Stat;
    ASSERT_TRUE(ClearCommError(Handle, Errors, Stat));
    EXPECT_NE(Errors & CE_IOE, 0u);
}

} // namespace
