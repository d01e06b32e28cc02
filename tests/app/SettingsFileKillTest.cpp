// A program killed while it writes its settings leaves the old or the new settings file, whole:
// a helper writes two sets of settings in turn and is killed at a random moment, again and again.

#include "tests/app/AlternatingSettings.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ScopedFormatSettings.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr int Rounds = 25;
constexpr int ReportWaitMs = 5000;

// The file that writing Settings into an empty folder gives.
std::string WrittenAlone(const tests::TTempFolder& Folder, int Index) {
    const std::string Path = Folder.File("reference-" + std::to_string(Index) + ".ini");
    WriteSettingsFile(Path, AlternatingSettings[Index], SpeedUnitOf(AlternatingSettings[Index]));
    return tests::ReadFileText(Path);
}

// Waits until the writer has reported Writes complete writes.
bool WaitForWrites(QProcess& Writer, int Writes) {
    int Reported = 0;
    while (Reported < Writes) {
        if (!Writer.canReadLine() && !Writer.waitForReadyRead(ReportWaitMs))
            return false;
        while (Writer.canReadLine() && Reported < Writes)
            Reported = Writer.readLine().trimmed().toInt();
    }
    return true;
}

TEST(SettingsFileKillTest, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewFileWhole) {
    const TScopedFormatSettings Point(".");
    const tests::TTempFolder Folder;
    const std::string Whole[2] = {WrittenAlone(Folder, 0), WrittenAlone(Folder, 1)};
    const std::string Path = Folder.File("settings.ini");
    const unsigned Seed = std::random_device()();
    SCOPED_TRACE("seed " + std::to_string(Seed));
    std::mt19937 Random(Seed);
    std::uniform_int_distribution<int> Writes(1, 3), KillAfterMs(0, 15);
    for (int Round = 1; Round <= Rounds; ++Round) {
        QProcess Writer;
        // What a killed writer leaves in the temporary folder goes with the test's folder.
        QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
        Environment.insert("TMPDIR", QString::fromStdString(Folder.Path().string()));
        Writer.setProcessEnvironment(Environment);
        Writer.start(TARVEX_SETTINGS_WRITER, {QString::fromStdString(Path)});
        ASSERT_TRUE(Writer.waitForStarted());
        ASSERT_TRUE(WaitForWrites(Writer, Writes(Random)));
        // The kill comes at a random moment of one of the next writes.
        Writer.waitForReadyRead(KillAfterMs(Random));
        Writer.kill();
        ASSERT_TRUE(Writer.waitForFinished());
        const std::string Text = tests::ReadFileText(Path);
        EXPECT_TRUE(Text == Whole[0] || Text == Whole[1]) << "round " << Round << ":\n" << Text;
    }
}

} // namespace
