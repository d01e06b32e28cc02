// The recorder keeps the library's copy of the series equal to the series, whatever was committed
// when shots were deleted, and a full disk stops recording without costing the series a shot.

#include "library/SeriesRecorder.h"

#include "library/SeriesStore.h"
#include "library/Sqlite.h"
#include "tests/library/SmallDisk.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ShotSpeeds.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

using tests::Speeds;

void Append(TSeries& Series, std::initializer_list<double> Speeds) {
    for (const double Speed : Speeds)
        Series.Append(TData("M/S", Speed));
}

TEST(SeriesRecorderTest, DeletingKeepsTheLibraryEqualToTheSeries) {
    const struct {
        const char* Case;
        std::vector<std::size_t> Deleted;
    } Cases[] = {
        {"committed only", {0, 2}},
        {"waiting only", {3, 4}},
        {"both", {1, 3}},
        {"all", {0, 1, 2, 3, 4}},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Case);
        const tests::TTempFolder Folder;
        TSeries Series;
        TSeriesRecorder Recorder(Series, std::make_unique<TSeriesStore>(Folder.File("series.db")));
        Append(Series, {170, 171, 172});
        Recorder.Flush();
        // Two shots not committed yet, as between a burst and the display.
        Append(Series, {173, 174});
        ASSERT_TRUE(Recorder.DeleteShots(C.Deleted));
        Series.Delete(C.Deleted);
        Recorder.Flush();
        const TSeriesStore& Store = *Recorder.Store();
        EXPECT_EQ(Speeds(Store.LoadShots(*Recorder.CurrentSeries(), TSeries::MaxShots).Shots),
                  Speeds(Series.Shots()));
    }
}

TEST(SeriesRecorderTest, AFullDiskStopsRecordingOnceAndLosesNoShotOfTheSeries) {
    const tests::TTempFolder Folder;
    const tests::TSmallDisk Disk(Folder.Path().string());
    if (!Disk.Mounted())
        GTEST_SKIP() << "no tmpfs can be mounted here";
    TSeries Series;
    TSeriesRecorder Recorder(Series, std::make_unique<TSeriesStore>(Folder.File("series.db")));
    int Failures = 0;
    std::string Reason;
    Recorder.Failed = [&](const std::string& Why) {
        ++Failures;
        Reason = Why;
    };
    std::size_t Sent = 0;
    for (int Burst = 0; Burst < 200 && Recorder.Recording(); ++Burst) {
        for (int i = 0; i < 100; ++i)
            Series.Append(TData("M/S", 100.0 + static_cast<double>(Sent++)));
        Recorder.Flush();
    }
    ASSERT_FALSE(Recorder.Recording()) << "256 KiB held " << Sent << " shots";
    EXPECT_EQ(Failures, 1);
    EXPECT_NE(Reason.find("series.db"), std::string::npos) << Reason;
    // Recording on goes to memory alone.
    Series.Append(TData("M/S", 99));
    Recorder.Flush();
    EXPECT_EQ(Failures, 1);
    EXPECT_EQ(Series.Count(), Sent + 1);
}

} // namespace

namespace {

TEST(SeriesRecorderTest, ALibraryBusyForAWhileDelaysShotsWithoutStoppingRecording) {
    const tests::TTempFolder Folder;
    const std::string Path = Folder.File("series.db");
    TSeries Series;
    TSeriesRecorder Recorder(Series,
                             std::make_unique<TSeriesStore>(Path, std::chrono::milliseconds(20)));
    Append(Series, {170});
    Recorder.Flush();
    {
        TSqliteDatabase Other(Path, TSqliteDatabase::ReadWrite, std::chrono::milliseconds(20));
        const TSqliteTransaction Holding(Other);
        Append(Series, {171});
        Recorder.Flush();
        EXPECT_TRUE(Recorder.Recording());
        EXPECT_EQ(Recorder.Committed(), 1U);
    }
    Recorder.Flush();
    EXPECT_EQ(
        Speeds(Recorder.Store()->LoadShots(*Recorder.CurrentSeries(), TSeries::MaxShots).Shots),
        (std::vector<double>{170, 171}));
}

} // namespace

namespace {

TEST(SeriesRecorderTest, ALoadedFileGoesInByBurstsAndInOrder) {
    const tests::TTempFolder Folder;
    TSeries Series;
    TSeriesRecorder Recorder(Series, std::make_unique<TSeriesStore>(Folder.File("series.db")));
    std::vector<TData> Loaded;
    for (std::size_t i = 0; i < 2 * TSeriesRecorder::LongestBurst + 5; ++i)
        Loaded.emplace_back("M/S", static_cast<double>(i));
    Series.AppendAll(Loaded);
    Recorder.StartSeries("file");
    EXPECT_EQ(Recorder.Committed(), TSeriesRecorder::LongestBurst);
    EXPECT_TRUE(Recorder.FlushBurst());
    // A shot from the chronograph is committed, behind the file's, before it is shown.
    Series.Append(TData("M/S", -1));
    Recorder.ShotsReceived();
    EXPECT_FALSE(Recorder.FlushForDisplay());
    EXPECT_EQ(Recorder.Committed(), Series.Count());
    Loaded.emplace_back("M/S", -1);
    EXPECT_EQ(
        Speeds(Recorder.Store()->LoadShots(*Recorder.CurrentSeries(), TSeries::MaxShots).Shots),
        Speeds(Loaded));
}

} // namespace

namespace {

// Load data keeps the shots received during its questions (here 300) and puts them in the file's
// series, whether the library had them already or was busy then.
TEST(SeriesRecorderTest, ShotsCarriedIntoTheNextSeriesAreInItAlone) {
    for (const bool Busy : {false, true}) {
        SCOPED_TRACE(Busy ? "busy" : "free");
        const tests::TTempFolder Folder;
        const std::string Path = Folder.File("series.db");
        TSeries Series;
        TSeriesRecorder Recorder(
            Series, std::make_unique<TSeriesStore>(Path, std::chrono::milliseconds(20)));
        Append(Series, {170, 171, 172});
        Recorder.Flush();
        const std::int64_t Old = *Recorder.CurrentSeries();
        {
            std::optional<TSqliteDatabase> Other;
            std::optional<TSqliteTransaction> Holding;
            if (Busy) {
                Other.emplace(Path, TSqliteDatabase::ReadWrite, std::chrono::milliseconds(20));
                Holding.emplace(*Other);
            }
            Append(Series, {300});
            Recorder.Flush();
        }
        Series.Delete({0, 1, 2});
        Series.AppendAll({TData("M/S", 50), TData("M/S", 51)});
        Recorder.StartSeries("file", 3);
        Recorder.Flush();
        const TSeriesStore& Store = *Recorder.Store();
        EXPECT_EQ(Speeds(Store.LoadShots(Old, TSeries::MaxShots).Shots),
                  (std::vector<double>{170, 171, 172}));
        EXPECT_EQ(Speeds(Store.LoadShots(*Recorder.CurrentSeries(), TSeries::MaxShots).Shots),
                  (std::vector<double>{300, 50, 51}));
    }
}

} // namespace

namespace {

// A series keeps the pellet weight last set while it was the current one, in the unit it was
// set in, through a change of weight, a new series and opening it again.
TEST(SeriesRecorderTest, ASeriesKeepsTheWeightItWasShotWith) {
    const tests::TTempFolder Folder;
    TSeries Series;
    TSeriesRecorder Recorder(Series, std::make_unique<TSeriesStore>(Folder.File("series.db")));
    Series.SetPeletWeight(0.547);
    Append(Series, {170, 171});
    Recorder.Flush();
    const std::int64_t First = *Recorder.CurrentSeries();
    Series.SetPeletWeight(0.541);
    Recorder.FlushForDisplay();
    Recorder.StartSeries();
    Series.SetUnits(ImperialUnits);
    Series.SetPeletWeight(8.44);
    Append(Series, {600});
    Recorder.Flush();
    const TSeriesStore& Store = *Recorder.Store();
    const TSeriesNotes Shot = *Store.Notes(First);
    const TSeriesNotes Imperial = *Store.Notes(*Recorder.CurrentSeries());
    EXPECT_DOUBLE_EQ(*Shot.PeletWeight, 0.541);
    EXPECT_EQ(Shot.PeletWeightUnit, "g");
    EXPECT_DOUBLE_EQ(*Imperial.PeletWeight, 8.44 / ImperialUnits.WeightFactor);
    EXPECT_EQ(Imperial.PeletWeightUnit, "gr");
    Series.SetUnits(MetricUnits);
    ASSERT_TRUE(Recorder.OpenSeries(First));
    EXPECT_DOUBLE_EQ(Series.PeletWeight(), 0.541);
}

// A file whose shots did not all go in before the program ended says so when its series is
// taken up; once they are all in, it no longer does.
TEST(SeriesRecorderTest, AFileCutShortByTheProgramsEndIsToldWhenTakenUp) {
    const tests::TTempFolder Folder;
    const std::size_t FileShots = 2 * TSeriesRecorder::LongestBurst + 5;
    {
        TSeries Series;
        TSeriesRecorder Recorder(Series, std::make_unique<TSeriesStore>(Folder.File("series.db")));
        Series.AppendAll(std::vector<TData>(FileShots, TData("M/S", 175)));
        Recorder.StartSeries("m1", std::nullopt, "m1.csv");
        EXPECT_EQ(Recorder.Committed(), TSeriesRecorder::LongestBurst);
    }
    for (const bool Whole : {false, true}) {
        TSeries Series;
        TSeriesRecorder Recorder(Series, std::make_unique<TSeriesStore>(Folder.File("series.db")));
        std::optional<TSeriesEntry> Told;
        Recorder.SeriesTaken = [&](const TSeriesEntry& Entry, std::size_t) { Told = Entry; };
        ASSERT_TRUE(Recorder.ResumeLastSeries());
        ASSERT_TRUE(Told);
        EXPECT_EQ(Told->Incomplete(), !Whole);
        EXPECT_EQ(Told->SourceName, "m1.csv");
        if (!Whole) {
            EXPECT_EQ(Told->ShotCount, TSeriesRecorder::LongestBurst);
            EXPECT_EQ(Told->SourceShots, FileShots);
            Series.AppendAll(std::vector<TData>(FileShots - Series.Count(), TData("M/S", 175)));
            Recorder.Flush();
        }
    }
}

} // namespace

namespace {

// After a pause the library's file alone holds the shots: a copy of series.db without its log
// (a backup that copies one file) loses none.
TEST(SeriesRecorderTest, APauseBringsTheShotsIntoTheLibrarysFile) {
    const tests::TTempFolder Folder;
    TSeries Series;
    TSeriesRecorder Recorder(Series, std::make_unique<TSeriesStore>(Folder.File("series.db")));
    Append(Series, {170, 171, 172});
    Recorder.Flush();
    Recorder.Checkpoint();
    std::filesystem::create_directory(Folder.File("copy"));
    std::filesystem::copy_file(Folder.File("series.db"), Folder.File("copy/series.db"));
    const TSeriesStore Copy(Folder.File("copy/series.db"));
    ASSERT_EQ(Copy.Count(), 1U);
    EXPECT_EQ(Copy.ListSeries().front().ShotCount, 3U);
}

} // namespace
