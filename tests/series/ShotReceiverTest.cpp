#include "series/ShotReceiver.h"

#include "platform/NumberFormats.h"
#include "tests/support/ScopedFormatSettings.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

class ShotReceiverTest : public testing::Test {
protected:
    ShotReceiverTest() : Receiver(Series) {
        Receiver.Log = [this](const std::string& Line) { LogLines.push_back(Line); };
        Receiver.RestartRecalculateTimer = [this] { ++TimerRestarts; };
    }

    TScopedFormatSettings Point{"."};
    TSeries Series;
    const std::vector<TData>& Shots = Series.Shots();
    std::vector<std::string> LogLines;
    int TimerRestarts = 0;
    TShotReceiver Receiver;
};

TEST_F(ShotReceiverTest, RecordsBecomeShotsWithTheirUnits) {
    Receiver.ReceiveText("175.52;m/s\r\n575.9;fps;8.44;gr\n175.5;FPS\r");
    ASSERT_EQ(Shots.size(), 3u);
    EXPECT_EQ(Shots[0].Speed(), 175.52);
    EXPECT_EQ(Shots[0].SpeedUnit(), "M/S");
    EXPECT_EQ(Shots[1].Speed(), 575.9);
    EXPECT_EQ(Shots[1].SpeedUnit(), "FPS");
    EXPECT_EQ(Shots[2].SpeedUnit(), "FPS");
    EXPECT_EQ(TimerRestarts, 3);
    EXPECT_EQ(Receiver.LineBuffer(), "");
}

TEST_F(ShotReceiverTest, LineSplitAcrossReadsGivesOneShot) {
    for (const char* Piece : {"17", "5.", "5\r"})
        Receiver.ReceiveText(Piece);
    ASSERT_EQ(Shots.size(), 1u);
    EXPECT_EQ(Shots[0].Speed(), 175.5);
    EXPECT_EQ(Shots[0].SpeedUnit(), "M/S");
}

TEST_F(ShotReceiverTest, CrLfLogsTheBufferTwiceAndAddsOneShot) {
    Receiver.ReceiveText("175.52;m/s\r\n");
    EXPECT_EQ(LogLines,
              (std::vector<std::string>{"COM Buffer: \"175.52;m/s\"", "Add new speed: 175.52 m/s",
                                        "COM Buffer: \"\""}));
    EXPECT_EQ(Shots.size(), 1u);
}

TEST_F(ShotReceiverTest, BareNumberTakesTheDisplayUnitOfTheMomentForGood) {
    Series.SetUnits(ImperialUnits);
    Receiver.ReceiveText("575.9\n");
    Series.SetUnits(MetricUnits);
    Receiver.ReceiveText("175.5\n");
    ASSERT_EQ(Shots.size(), 2u);
    EXPECT_EQ(Shots[0].SpeedUnit(), "FPS");
    EXPECT_EQ(Shots[1].SpeedUnit(), "M/S");
}

TEST_F(ShotReceiverTest, UnitFieldIsTakenAsItStands) {
    Receiver.ReceiveText("175.5; m/s\n175.5;\n  175.5 ;km/h\n");
    ASSERT_EQ(Shots.size(), 3u);
    EXPECT_EQ(Shots[0].SpeedUnit(), " M/S");
    EXPECT_EQ(Shots[0].SpeedIn("fps"), 175.5);
    EXPECT_EQ(Shots[1].SpeedUnit(), "");
    EXPECT_EQ(Shots[2].Speed(), 175.5);
    EXPECT_EQ(Shots[2].SpeedUnit(), "KM/H");
}

TEST_F(ShotReceiverTest, BadLinesAreDroppedQuietlyAndReceptionGoesOn) {
    Receiver.ReceiveText("abc;m/s\n;m/s\n1.2.3\n1e999\nnan\ninf;fps\n-\n176.2;m/s\n");
    ASSERT_EQ(Shots.size(), 1u);
    EXPECT_EQ(Shots[0].Speed(), 176.2);
    EXPECT_EQ(TimerRestarts, 1);
    EXPECT_EQ(Receiver.LineBuffer(), "");
    for (const std::string& Line : LogLines)
        EXPECT_TRUE(Line.starts_with("COM Buffer: ") || Line == "Add new speed: 176.2 m/s") << Line;
}

TEST_F(ShotReceiverTest, BlankLinesAddNothingAndTheirBlanksAreTrimmedAway) {
    Receiver.ReceiveText("  \r\n\t\n");
    EXPECT_TRUE(Shots.empty());
    EXPECT_EQ(TimerRestarts, 0);
    EXPECT_EQ(Receiver.LineBuffer(), "  \t");
    Receiver.ReceiveText("175.5\n");
    ASSERT_EQ(Shots.size(), 1u);
    EXPECT_EQ(LogLines.at(LogLines.size() - 2), "COM Buffer: \"  \t175.5\"");
}

TEST_F(ShotReceiverTest, CommaSeparatorAcceptsBothDecimalMarks) {
    const TScopedFormatSettings Comma(",");
    Receiver.ReceiveText("175,5;m/s\n175.5;m/s\n");
    ASSERT_EQ(Shots.size(), 2u);
    EXPECT_EQ(Shots[0].Speed(), 175.5);
    EXPECT_EQ(Shots[1].Speed(), 175.5);
    EXPECT_EQ(LogLines[1], "Add new speed: 175,5 m/s");
}

TEST_F(ShotReceiverTest, PointSeparatorRejectsComma) {
    Receiver.ReceiveText("175,5;m/s\n");
    EXPECT_TRUE(Shots.empty());
}

TEST_F(ShotReceiverTest, EndlessLineIsCappedDiscardedAndReceptionGoesOn) {
    const std::string Noise(1000, '7');
    for (int i = 0; i < 20; ++i) {
        Receiver.ReceiveText(Noise);
        EXPECT_LE(Receiver.LineBuffer().size(), TShotReceiver::LineBufferCap);
    }
    Receiver.ReceiveText("\n176.2;m/s\n");
    ASSERT_EQ(Shots.size(), 1u);
    EXPECT_EQ(Shots[0].Speed(), 176.2);
    EXPECT_EQ(std::count_if(LogLines.begin(), LogLines.end(),
                            [](const std::string& Line) {
                                return Line.find("overflow") != std::string::npos;
                            }),
              1);
}

TEST_F(ShotReceiverTest, TailOfAnOverlongLineNeverBecomesAShot) {
    Receiver.ReceiveText(std::string(TShotReceiver::LineBufferCap, 'x'));
    Receiver.ReceiveText("175.5;m/s\n");
    EXPECT_TRUE(Shots.empty());
    Receiver.ReceiveText("175.5;m/s\n");
    EXPECT_EQ(Shots.size(), 1u);
}

TEST_F(ShotReceiverTest, LeftoverBlanksNeverPushARecordOut) {
    for (std::size_t i = 0; i < TShotReceiver::LineBufferCap; ++i)
        Receiver.ReceiveText(" \n");
    Receiver.ReceiveText("175.5;m/s\n");
    ASSERT_EQ(Shots.size(), 1u);
    EXPECT_EQ(Shots[0].Speed(), 175.5);
}

TEST_F(ShotReceiverTest, ParseLineRaisesOnSpeedThatIsNotANumber) {
    std::string Unit = "unchanged";
    EXPECT_THROW(Receiver.ParseLine("abc;fps", Unit), platform::EConvertError);
    EXPECT_EQ(Unit, "unchanged");
    EXPECT_EQ(Receiver.ParseLine(" -12.5e1 ;fps;8.44;gr", Unit), -125.0);
    EXPECT_EQ(Unit, "fps");
    EXPECT_THROW(TShotReceiver::ParseNumber("1e999"), platform::EConvertError);
    EXPECT_THROW(TShotReceiver::ParseNumber("NaN"), platform::EConvertError);
}

TEST_F(ShotReceiverTest, MultibyteTextSurvivesAndLineEndsAreFoundByCharacter) {
    Receiver.ReceiveText("175.5;m\xC2");
    Receiver.ReceiveText("\xB7s\r");
    ASSERT_EQ(Shots.size(), 1u);
    EXPECT_EQ(Shots[0].SpeedUnit(), "M\xC2\xB7S");
}

TEST_F(ShotReceiverTest, HeaderMapNamesTheChronographFields) {
    EXPECT_EQ(Receiver.HeaderMap().GetValue("speed"), TVariant(std::int64_t{0}));
    EXPECT_EQ(Receiver.HeaderMap().GetValue("pelet_weight_unit"), TVariant(std::int64_t{3}));
}

} // namespace
