// The chronograph's adapter pulled out while shots arrive, again and again: the window must
// recover every time, keep every shot it had received, and leave no thread or descriptor behind.

#include "tests/stress/StressSupport.h"
#include "tests/support/WaitUntil.h"

#include <QPushButton>
#include <sstream>

namespace stress {
namespace {

// Records that reach the program before the unplug, and those still under way when it comes.
constexpr int Delivered = 20;
constexpr int InFlight = 20;

TEST_F(StressTest, UnpluggedWhileShotsArriveTheWindowRecoversAndKeepsEveryReceivedShot) {
    auto Form = StartForm();
    const TProcessResources Before = ProcessResources();
    int Next = 0;
    for (int Cycle = 1; Cycle <= Sizes.Unplugs; ++Cycle) {
        SCOPED_TRACE("unplug " + std::to_string(Cycle));
        const std::size_t First = Form->Shots().size();
        const int FirstRecord = Next;
        {
            platform::TPseudoTerminal Device;
            Connect(*Form, Device);
            ASSERT_TRUE(Form->pnlConnection->ComPort().Connected());
            ASSERT_EQ(Form->pnlConnection->btnConnectToCOM->text(), "Disconnect");
            Device.Write(Records(Next, Delivered));
            ASSERT_TRUE(WaitUntil([&] { return Device.Unread() == 0; }));
            Next += Delivered;
            // The last record is cut off by the unplug.
            Device.Write(Records(Next, InFlight) + "123");
            Next += InFlight;
            Device.CloseMaster();
            ASSERT_TRUE(WaitUntil([&] { return !Form->pnlConnection->ComPort().Connected(); }));
        }
        EXPECT_EQ(Form->pnlConnection->btnConnectToCOM->text(), "Connect");
        EXPECT_EQ(Dialogs.Errors.size(), static_cast<std::size_t>(Cycle));
        // Nothing lost, doubled or garbled: what arrived is the records in order, up to the
        // unplug, and at least all those that were read before it.
        const std::size_t Added = Form->Shots().size() - First;
        EXPECT_EQ(MatchingRecords(Form->Shots(), First, FirstRecord), Added);
        EXPECT_GE(Added, static_cast<std::size_t>(Delivered));
        EXPECT_LE(Added, static_cast<std::size_t>(Delivered + InFlight));
    }
    // A thread that has been joined can still be listed for a moment while the kernel ends it,
    // after the unplugs as before them (a thread of an earlier test): more than before is a leak.
    EXPECT_TRUE(WaitUntil([&] { return ProcessResources().NoMoreThan(Before); }))
        << "before: " << Before << "; after: " << ProcessResources();
    std::ostringstream Figures;
    Figures << Sizes.Unplugs << " unplugs; before: " << Before << "; after: " << ProcessResources();
    Report(Figures.str());
}

} // namespace
} // namespace stress
