// Shots shown while another program holds the library wait beside it, survive the program's end
// (here: the recorder let go without a word, as a kill does), and go into the library once, when
// it frees or at the next start; the next program shows them at once even while the library is
// still held.

#include "library/SeriesRecorder.h"
#include "library/SeriesStore.h"
#include "library/Sqlite.h"
#include "platform/DurableFiles.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ShotSpeeds.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace {

using namespace std::chrono_literals;
using tests::Speeds;

void Receive(TSeries& Series, TSeriesRecorder& Recorder, std::initializer_list<double> Speeds) {
    for (const double Speed : Speeds)
        Series.Append(TData("M/S", Speed));
    Recorder.ShotsReceived();
    Recorder.FlushForDisplay();
}

class WaitingShotsTest : public testing::Test {
protected:
    tests::TTempFolder Folder;
    std::string Path = Folder.File("series.db");
    std::optional<TSqliteDatabase> Holder;

    std::unique_ptr<TSeriesRecorder> Program(TSeries& Series) {
        auto Recorder =
            std::make_unique<TSeriesRecorder>(Series, std::make_unique<TSeriesStore>(Path));
        Recorder->ResumeLastSeries();
        return Recorder;
    }
    void Hold() {
        Holder.emplace(Path, TSqliteDatabase::ReadWrite, 1s);
        Holder->Execute("BEGIN IMMEDIATE");
    }
    bool JournalLeft() const {
        return !platform::FilesStartingWith(Folder.Path().string(), "series.db.waiting-").empty();
    }
};

TEST_F(WaitingShotsTest, ShotsShownWhileTheLibraryIsHeldSurviveTheProgramsEnd) {
    const struct {
        const char* Case;
        // What the user does while the library is held, after shots 175 to 179 were shown.
        std::function<void(TSeries&, TSeriesRecorder&)> Meanwhile;
        std::vector<double> Expected;
        double Weight;
    } Cases[] = {
        {"shown", [](TSeries&, TSeriesRecorder&) {}, {170, 171, 175, 176, 177, 178, 179}, 0.547},
        {"one deleted",
         [](TSeries& Series, TSeriesRecorder& Recorder) {
             ASSERT_TRUE(Recorder.DeleteShots({3, 5}));
             Series.Delete({3, 5});
         },
         {170, 171, 175, 177, 179},
         0.547},
        {"weight set",
         [](TSeries& Series, TSeriesRecorder& Recorder) {
             Series.SetPeletWeight(0.6);
             Recorder.FlushForDisplay();
         },
         {170, 171, 175, 176, 177, 178, 179},
         0.6},
        {"more after a retry",
         [](TSeries& Series, TSeriesRecorder& Recorder) {
             EXPECT_TRUE(Recorder.RetryWaiting());
             Receive(Series, Recorder, {180});
         },
         {170, 171, 175, 176, 177, 178, 179, 180},
         0.547},
    };
    for (const bool HeldAtNextStart : {false, true}) {
        for (const auto& C : Cases) {
            SCOPED_TRACE(std::string(C.Case) + (HeldAtNextStart ? ", held at the next start" : ""));
            std::filesystem::remove_all(Folder.Path());
            std::filesystem::create_directories(Folder.Path());
            {
                TSeries Series;
                const auto Recorder = Program(Series);
                std::vector<std::size_t> Told;
                Recorder->WaitingChanged = [&](std::size_t Waiting) { Told.push_back(Waiting); };
                Receive(Series, *Recorder, {170, 171});
                Hold();
                Receive(Series, *Recorder, {175, 176, 177, 178, 179});
                EXPECT_EQ(Recorder->Committed(), 2U);
                EXPECT_EQ(Told, std::vector<std::size_t>{5});
                C.Meanwhile(Series, *Recorder);
            }
            if (!HeldAtNextStart)
                Holder.reset();
            TSeries Series;
            const auto Next = Program(Series);
            EXPECT_EQ(Speeds(Series.Shots()), C.Expected);
            EXPECT_DOUBLE_EQ(Series.PeletWeight(), C.Weight);
            EXPECT_EQ(Next->WaitingForLibrary(), HeldAtNextStart);
            Holder.reset();
            EXPECT_FALSE(Next->RetryWaiting());
            EXPECT_FALSE(JournalLeft());
            const TSeriesEntry Entry = Next->Store()->ListSeries().front();
            EXPECT_EQ(Next->Store()->Count(), 1U);
            EXPECT_EQ(Entry.ShotCount, C.Expected.size());
            EXPECT_NEAR(*Entry.Notes.PeletWeight, C.Weight, 1e-12);
        }
    }
}

// The first shots of a new series may wait too, before the series is in the library; a journal
// put in twice (the program ended between putting it in and removing it) adds nothing.
TEST_F(WaitingShotsTest, ANewSeriesThatWaitedIsMadeOnce) {
    {
        TSeries Series;
        const auto Recorder = Program(Series);
        Hold();
        Receive(Series, *Recorder, {170, 171});
        EXPECT_EQ(Recorder->CurrentSeries(), std::nullopt);
        EXPECT_EQ(Recorder->Waiting(), 2U);
    }
    const std::string Journal =
        Folder.File(platform::FilesStartingWith(Folder.Path().string(), "series.db.waiting-")[0]);
    const std::string Kept = tests::ReadFileText(Journal);
    Holder.reset();
    for (int Start = 0; Start < 2; ++Start) {
        TSeries Series;
        const auto Next = Program(Series);
        EXPECT_EQ(Speeds(Series.Shots()), (std::vector<double>{170, 171})) << Start;
        EXPECT_EQ(Next->Store()->Count(), 1U) << Start;
        tests::WriteFileText(Journal, Kept);
    }
}

// Shots in the held library are not deleted, nor is the series changed as a whole (a new one,
// another opened), until it frees; then a deletion of shots in it and waiting beside it keeps
// the library equal to the window.
TEST_F(WaitingShotsTest, TheHeldLibraryRefusesChangesUntilItFrees) {
    TSeries Series;
    const auto Recorder = Program(Series);
    Receive(Series, *Recorder, {170, 171});
    Hold();
    EXPECT_FALSE(Recorder->LibraryFree());
    Receive(Series, *Recorder, {172, 173});
    EXPECT_FALSE(Recorder->DeleteShots({0}));
    EXPECT_FALSE(Recorder->OpenSeries(*Recorder->CurrentSeries() + 1));
    EXPECT_TRUE(Recorder->Recording());
    EXPECT_EQ(Recorder->Committed(), 2U);
    Holder.reset();
    EXPECT_TRUE(Recorder->DeleteShots({0, 3}));
    Series.Delete({0, 3});
    Receive(Series, *Recorder, {174});
    EXPECT_EQ(Speeds(Recorder->Store()->LoadShots(*Recorder->CurrentSeries(), 10).Shots),
              (std::vector<double>{171, 172, 174}));
}

} // namespace
