#include "app/UDiagnosticLog.h"

#include "platform/FormatSettings.h"
#include "tests/platform/PlatformTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>

using tests::ReadFileText;

namespace {

class DiagnosticLogTest : public testing::Test {
protected:
    ~DiagnosticLogTest() override { platform::SetFormatSettings(Saved); }

    void UseTimeSeparator(const std::string& Separator) {
        platform::TFormatSettings Settings = Saved;
        Settings.TimeSeparator = Separator;
        platform::SetFormatSettings(Settings);
    }

    const platform::TFormatSettings Saved = platform::FormatSettings();
    tests::TTempFolder Folder;
    std::string Path = Folder.File("tarvex.log");
    platform::TLocalTime Now{2024, 5, 1, 14, 3, 7, 125};
    TDiagnosticLog Log{Path, [this] { return Now; }};
};

} // namespace

TEST_F(DiagnosticLogTest, LinesAreAppendedWithTimeStampAndCrLf) {
    UseTimeSeparator(":");
    tests::WriteFileText(Path, "earlier\r\n");
    Log.Enabled = true;
    Log.Log("Opening COM port...");
    Now = {987, 12, 31, 3, 4, 5, 6};
    Log.Log("");
    EXPECT_EQ(ReadFileText(Path), "earlier\r\n"
                                  "2024-05-01 14:03:07.125 - Opening COM port...\r\n"
                                  "0987-12-31 03:04:05.006 - \r\n");
}

TEST_F(DiagnosticLogTest, TimeSeparatorOfTheLocaleJoinsHoursMinutesAndSeconds) {
    UseTimeSeparator(".");
    EXPECT_EQ(TDiagnosticLog::TimeStamp(Now), "2024-05-01 14.03.07.125");
}

TEST_F(DiagnosticLogTest, NothingIsWrittenWhileOff) {
    Log.Log("Tarvex is starting...");
    EXPECT_FALSE(std::filesystem::exists(Path));
    Log.Enabled = true;
    Log.Log("on");
    Log.Enabled = false;
    Log.Log("off");
    EXPECT_EQ(ReadFileText(Path).find("off"), std::string::npos);
}

TEST_F(DiagnosticLogTest, FailuresAreDroppedWithoutThrowing) {
    TDiagnosticLog Missing(Folder.File("missing/tarvex.log"), [this] { return Now; });
    TDiagnosticLog BrokenClock(
        Path, []() -> platform::TLocalTime { throw std::runtime_error("no clock"); });
    Missing.Enabled = BrokenClock.Enabled = true;
    Missing.Log("lost");
    BrokenClock.Log("lost");
    EXPECT_FALSE(std::filesystem::exists(Folder.File("missing")));
    EXPECT_FALSE(std::filesystem::exists(Path));
}

TEST_F(DiagnosticLogTest, AFullFileIsMovedAsideReplacingTheOlderOne) {
    UseTimeSeparator(":");
    const auto Line = [](int Number) {
        return "2024-05-01 14:03:07.125 - line " + std::to_string(Number) + "\r\n";
    };
    TDiagnosticLog Small(
        Path, [this] { return Now; }, 3 * Line(0).size() - 1);
    tests::WriteFileText(Path + ".1", "oldest\r\n");
    Small.Enabled = true;
    for (int Number = 1; Number <= 5; ++Number)
        Small.Log("line " + std::to_string(Number));
    EXPECT_EQ(ReadFileText(Path + ".1"), Line(3) + Line(4));
    EXPECT_EQ(ReadFileText(Path), Line(5));
    // Where the older file cannot be kept, the log starts afresh.
    std::filesystem::remove(Path + ".1");
    std::filesystem::create_directory(Path + ".1");
    for (int Number = 6; Number <= 8; ++Number)
        Small.Log("line " + std::to_string(Number));
    EXPECT_EQ(ReadFileText(Path), Line(7) + Line(8));
}
