// The current series: each running program records into a series of its own, and a program
// starts again with the series it was recording, however it ended.

#include "library/Schema.h"
#include "library/SeriesStore.h"
#include "library/Sqlite.h"
#include "platform/ScopeGuard.h"
#include "series/USeries.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ShotSpeeds.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using tests::Speeds;

TEST(SeriesClaimTest, StoresOnOneFileClaimDifferentSeriesLatestFirst) {
    const tests::TTempFolder Folder;
    const std::string Path = Folder.File("series.db");
    TSeriesStore First(Path), Second(Path), Third(Path);
    const std::int64_t Older = First.CreateSeries("older");
    const std::int64_t Newer = First.CreateSeries("newer");
    // Recording into the older one makes it the last used.
    First.AppendShots(Older, {{"M/S", 175}}, 0);
    EXPECT_EQ(First.ClaimLastSeries(), Older);
    EXPECT_EQ(Second.ClaimLastSeries(), Newer);
    EXPECT_EQ(Third.ClaimLastSeries(), std::nullopt);
    EXPECT_TRUE(Third.ClaimedElsewhere(Older));
    EXPECT_FALSE(First.ClaimedElsewhere(Older));
    // A program that ended normally leaves its series to the next one.
    First.Release(Older);
    EXPECT_EQ(Third.ClaimLastSeries(), Older);
    // A series started is claimed before anyone else can see it.
    const std::int64_t Started = First.StartSeries("started");
    EXPECT_TRUE(First.Holds(Started));
    EXPECT_FALSE(Second.Claim(Started));
}

TEST(SeriesClaimTest, AClaimedSeriesIsNotDeletedByAnotherStore) {
    const tests::TTempFolder Folder;
    const std::string Path = Folder.File("series.db");
    TSeriesStore Recorder(Path), Other(Path);
    const std::int64_t Current = Recorder.StartSeries("current");
    EXPECT_THROW(Other.DeleteSeries(Current), EStore);
    EXPECT_FALSE(Other.PutAway(Current));
    EXPECT_EQ(Other.Count(), 1u);
    // Its own program drops it when a new series starts without a shot in this one.
    const std::int64_t Next = Recorder.StartSeries("next");
    EXPECT_TRUE(Recorder.PutAway(Current));
    EXPECT_FALSE(Recorder.Holds(Current));
    EXPECT_EQ(Other.ListSeries().at(0).Id, Next);
    EXPECT_EQ(Other.Count(), 1u);
}

TEST(SeriesClaimTest, AKilledProgramsSeriesIsClaimedByTheNextOne) {
    const tests::TTempFolder Folder;
    const std::string Path = Folder.File("series.db");
    int Ready[2], Hold[2];
    ASSERT_EQ(::pipe(Ready), 0);
    ASSERT_EQ(::pipe(Hold), 0);
    const pid_t Child = ::fork();
    ASSERT_GE(Child, 0);
    if (Child == 0) {
        // The child records into a series of its own until it is killed, or until the test
        // ends and the hold pipe closes.
        char Answer = '0';
        try {
            TSeriesStore Store(Path);
            Store.AppendShots(Store.StartSeries("child"), {{"M/S", 175}}, 0);
            Answer = '1';
            (void)::write(Ready[1], &Answer, 1);
            ::close(Hold[1]);
            (void)::read(Hold[0], &Answer, 1);
        } catch (...) {
            (void)::write(Ready[1], &Answer, 1);
        }
        ::_exit(0);
    }
    bool Reaped = false;
    // Never a second kill: the number may belong to another process by then.
    const platform::TScopeGuard Reap([Child, &Reaped] {
        if (!Reaped) {
            ::kill(Child, SIGKILL);
            ::waitpid(Child, nullptr, 0);
        }
    });
    ::close(Ready[1]);
    ::close(Hold[0]);
    ASSERT_EQ(tests::ReadUntil(Ready[0], tests::AtLeastBytes(1)), "1");
    TSeriesStore Store(Path);
    const std::int64_t Series = Store.ListSeries().at(0).Id;
    EXPECT_TRUE(Store.ClaimedElsewhere(Series));
    EXPECT_EQ(Store.ClaimLastSeries(), std::nullopt);
    ASSERT_EQ(::kill(Child, SIGKILL), 0);
    ASSERT_EQ(::waitpid(Child, nullptr, 0), Child);
    Reaped = true;
    EXPECT_EQ(Store.ClaimLastSeries(), Series);
    EXPECT_EQ(Store.LoadShots(Series, TSeries::MaxShots).Shots.size(), 1u);
    ::close(Ready[0]);
    ::close(Hold[1]);
}

} // namespace

namespace {

// A series put away (cleared, or left for another) is not taken up at the next start, even by a
// second program, but can be opened again; shots carried into the next series are in one only.
TEST(SeriesClaimTest, ASeriesPutAwayIsNotTakenUpButCanBeOpened) {
    const tests::TTempFolder Folder;
    const std::string Path = Folder.File("series.db");
    TSeriesStore First(Path);
    const std::int64_t Old = First.StartSeries("old");
    First.AppendShots(Old, {{"M/S", 170}, {"M/S", 171}, {"M/S", 300}}, 0);
    const std::int64_t New = First.StartSeries("new");
    First.MoveShots(Old, 2, New);
    EXPECT_TRUE(First.PutAway(Old));
    First.AppendShots(New, {{"M/S", 50}}, 1);
    EXPECT_EQ(Speeds(First.LoadShots(Old, TSeries::MaxShots).Shots),
              (std::vector<double>{170, 171}));
    EXPECT_EQ(Speeds(First.LoadShots(New, TSeries::MaxShots).Shots),
              (std::vector<double>{300, 50}));
    TSeriesStore Second(Path);
    EXPECT_EQ(Second.ClaimLastSeries(), std::nullopt);
    First.Release(New);
    EXPECT_EQ(Second.ClaimLastSeries(), New);
    ASSERT_TRUE(First.Claim(Old));
    First.Release(Old);
    TSeriesStore Third(Path);
    EXPECT_EQ(Third.ClaimLastSeries(), Old);
}

// A library of the first format, as TARVEX wrote it, opens in the present one with every series,
// note and shot, and its series are taken up as before.
TEST(SeriesClaimTest, ALibraryOfTheFirstFormatKeepsEverything) {
    const tests::TTempFolder Folder;
    const std::string Path = Folder.File("series.db");
    std::filesystem::copy_file(TARVEX_LIBRARY_FIXTURES "/series-v1.db", Path);
    TSeriesStore Store(Path);
    EXPECT_EQ(Store.Opening(), TSeriesStore::Opened);
    const std::vector<TSeriesEntry> Series = Store.ListSeries();
    ASSERT_EQ(Series.size(), 2U);
    EXPECT_EQ(Series[1].Name, "H&N Baracuda");
    EXPECT_EQ(Series[1].Notes.Pellet, "H&N Baracuda 1.03");
    EXPECT_EQ(Series[1].Notes.PressureStart, 200);
    EXPECT_EQ(Series[1].ShotCount, 15U);
    const std::vector<TData> Shots = Store.LoadShots(Series[1].Id, TSeries::MaxShots).Shots;
    EXPECT_EQ(Shots[1].Speed(), 180.44);
    EXPECT_EQ(ReceivedText(Shots[1]), "2026-12-09 20:57:31");
    // Only the series used last was being recorded: the other one had been put away.
    EXPECT_EQ(Store.ClaimLastSeries(), Series[1].Id);
    EXPECT_EQ(TSeriesStore(Path).ClaimLastSeries(), std::nullopt);
    TSqliteDatabase Upgraded(Path, TSqliteDatabase::ReadOnly, std::chrono::seconds(1));
    EXPECT_EQ(Upgraded.QueryInteger("PRAGMA user_version"), LatestVersion(SeriesSchema()));
    EXPECT_EQ(Upgraded.QueryInteger("PRAGMA application_id"), LibraryApplicationId);
}

} // namespace
