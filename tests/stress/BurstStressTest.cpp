// Records as fast as the pseudo-terminal takes them: every one must become a shot, in order,
// exactly once.

#include "tests/stress/StressSupport.h"
#include "tests/support/WaitUntil.h"

namespace stress {
namespace {

TEST_F(StressTest, ABurstOfRecordsIsAddedCompletelyInOrderAndOnce) {
    auto Form = StartForm();
    platform::TPseudoTerminal Device;
    Connect(*Form, Device);
    ASSERT_TRUE(Form->pnlConnection->ComPort().Connected());
    const auto Count = static_cast<std::size_t>(Sizes.BurstRecords);
    TDeviceWriter Writer(Device, Records(0, Sizes.BurstRecords));
    ASSERT_TRUE(WaitUntil(
        [&] { return Writer.Done() && Device.Unread() == 0 && Form->Shots().size() >= Count; },
        std::chrono::minutes(2)))
        << Writer.Error() << "; shots: " << Form->Shots().size();
    EXPECT_EQ(Form->Shots().size(), Count);
    EXPECT_EQ(MatchingRecords(Form->Shots(), 0, 0), Count);
    EXPECT_TRUE(Form->Receiver().LineBuffer().empty());
    Report(std::to_string(Count) + " records sent; " +
           std::to_string(Count - MatchingRecords(Form->Shots(), 0, 0)) + " lost");
}

} // namespace
} // namespace stress
