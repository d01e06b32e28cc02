// Recording survives a kill at any moment: a recording program killed twenty times while shots
// arrive in bursts starts again each time with every shot it had shown, none twice, also when
// another program held the library all the while (the shots shown waited beside it), and also
// when it still holds it as the next program starts.

#include "library/SeriesRecorder.h"
#include "library/SeriesStore.h"
#include "library/Sqlite.h"
#include "platform/PseudoTerminal.h"
#include "series/USeries.h"
#include "tests/platform/PlatformTestSupport.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>

namespace {

// Shot I of the string has its own speed, so a shot kept twice or out of order shows.
double SpeedOf(std::size_t Index) {
    return 100.0 + static_cast<double>(Index);
}

// The highest "shown N" among the lines the program printed; "resumed N" counts as shown.
std::size_t LastShown(const QByteArray& Output, std::size_t Shown) {
    for (const QByteArray& Line : Output.split('\n')) {
        const QList<QByteArray> Words = Line.trimmed().split(' ');
        if (Words.size() == 2 && (Words[0] == "shown" || Words[0] == "resumed"))
            Shown = std::max<std::size_t>(Shown, Words[1].toULongLong());
    }
    return Shown;
}

// The shots of the series the next program takes up, checked against the string sent.
std::size_t CheckStoredString(const std::string& Library, std::size_t Shown, int Round) {
    TSeries Series;
    TSeriesRecorder Next(Series, std::make_unique<TSeriesStore>(Library));
    Next.ResumeLastSeries();
    const std::vector<TData>& Shots = Series.Shots();
    EXPECT_GE(Shots.size(), Shown) << "round " << Round << ": a shown shot was lost";
    for (std::size_t i = 0; i < Shots.size(); ++i)
        EXPECT_EQ(Shots[i].Speed(), SpeedOf(i)) << "round " << Round << ", shot " << i;
    EXPECT_LE(Next.Store()->Count(), 1U) << "round " << Round << ": one series, no copies";
    return Shots.size();
}

TEST(RecordingKillTest, EveryShownShotSurvivesAKillAtARandomMoment) {
    const tests::TTempFolder Folder;
    const std::string Library = Folder.File("series.db");
    const unsigned Seed = std::random_device()();
    SCOPED_TRACE("seed " + std::to_string(Seed));
    std::mt19937 Random(Seed);
    std::uniform_int_distribution<int> Bursts(1, 6), BurstSize(1, 60), PauseMs(0, 8);
    std::size_t Stored = 0;
    for (int Round = 1; Round <= 20; ++Round) {
        // Every third round another program writes the library from before the start until the
        // next program has taken the series up.
        std::optional<TSqliteDatabase> Holder;
        if (Round % 3 == 0) {
            Holder.emplace(Library, TSqliteDatabase::ReadWrite, std::chrono::seconds(10));
            Holder->Execute("BEGIN IMMEDIATE");
        }
        // A terminal of its own each round: lines a killed program did not read stay behind.
        platform::TPseudoTerminal Chronograph;
        QProcess Recorder;
        Recorder.start(TARVEX_RECORDING_CHILD, {QString::fromStdString(Library),
                                                QString::fromStdString(Chronograph.SlavePath())});
        ASSERT_TRUE(Recorder.waitForStarted());
        ASSERT_TRUE(Recorder.waitForReadyRead(10000))
            << Recorder.readAllStandardError().toStdString();
        QByteArray Output = Recorder.readAllStandardOutput();
        ASSERT_EQ(LastShown(Output, 0), Stored) << "round " << Round;
        ASSERT_TRUE(Chronograph.WaitForReader(std::chrono::seconds(10)));
        std::size_t Next = Stored;
        for (int Burst = Bursts(Random); Burst > 0; --Burst) {
            std::string Lines;
            for (int i = BurstSize(Random); i > 0; --i)
                Lines += std::to_string(static_cast<long long>(SpeedOf(Next++))) + "\n";
            Chronograph.Write(Lines);
            Recorder.waitForReadyRead(PauseMs(Random));
            Output += Recorder.readAllStandardOutput();
        }
        Recorder.kill();
        ASSERT_TRUE(Recorder.waitForFinished());
        Output += Recorder.readAllStandardOutput();
        Stored = CheckStoredString(Library, LastShown(Output, Stored), Round);
        ASSERT_LE(Stored, Next);
        Holder.reset();
    }
}

} // namespace
