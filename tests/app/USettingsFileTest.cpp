#include "app/USettingsFile.h"

#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScopedFormatSettings.h"

#include <fcntl.h>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

using tests::ReadFileText;
using tests::WriteFileText;

namespace {

class SettingsFileTest : public testing::Test {
protected:
    // The settings read from a file with the given text.
    TSettings ReadFrom(const std::string& Text, TSettings Settings = {}) const {
        WriteFileText(Path, Text);
        ReadSettingsFile(Path, Settings);
        return Settings;
    }

    TScopedFormatSettings Point{"."};
    tests::TTempFolder Folder;
    std::string Path = Folder.File("settings.ini");
};

} // namespace

TEST_F(SettingsFileTest, FirstRunKeepsTheValuesAndWritesAllSevenKeysInOrder) {
    TSettings Settings;
    ReadSettingsFile(Path, Settings);
    EXPECT_EQ(Settings, TSettings());
    EXPECT_FALSE(std::filesystem::exists(Path));
    WriteSettingsFile(Path, Settings, "m/s");
    EXPECT_EQ(ReadFileText(Path), "[data]\n"
                                  "units=metric\n"
                                  "pelet-weight=0.547\n"
                                  "speed-limit=999999\n"
                                  "energy-limit=999999\n"
                                  "\n\n"
                                  "[user-interface]\n"
                                  "language=9\n"
                                  "column_width_01=80\n"
                                  "column_width_02=80\n");
}

TEST_F(SettingsFileTest, WrittenSettingsReadBack) {
    const TSettings Written{7, true, 8.44, 950.5, 12.25, 100, 120};
    WriteSettingsFile(Path, Written, "fps");
    EXPECT_EQ(ReadFrom(ReadFileText(Path)), Written);
}

// A usable spread is written once it differs from its default, and kept after that.
TEST_F(SettingsFileTest, UsableSpreadsAreWrittenOnceChangedAndReadBack) {
    TSettings Written{7, true, 8.44, 950.5, 12.25, 100, 120, 2.5};
    WriteSettingsFile(Path, Written, "fps");
    EXPECT_NE(ReadFileText(Path).find("usable-spread-metric=2.5\n"), std::string::npos);
    EXPECT_EQ(ReadFileText(Path).find("usable-spread-imperial"), std::string::npos);
    EXPECT_EQ(ReadFrom(ReadFileText(Path)), Written);
    Written.UsableSpreadMetric = 3;
    WriteSettingsFile(Path, Written, "fps");
    EXPECT_NE(ReadFileText(Path).find("usable-spread-metric=3\n"), std::string::npos);
    EXPECT_EQ(ReadFrom("[data]\nusable-spread-imperial=x\n").UsableSpreadImperial, 10);
}

// The phone read-out's port and address stay out of a usual file, and a port out of range is
// the default.
TEST_F(SettingsFileTest, ThePhonePortAndAddressAreWrittenOnceSetAndReadBack) {
    TSettings Written;
    WriteSettingsFile(Path, Written, "m/s");
    EXPECT_EQ(ReadFileText(Path).find("[phone]"), std::string::npos);
    Written.PhonePort = 9000;
    Written.PhoneAddress = "192.168.1.20";
    WriteSettingsFile(Path, Written, "m/s");
    EXPECT_EQ(ReadFrom(ReadFileText(Path)), Written);
    for (const char* Port : {"70000", "-1", "x"})
        EXPECT_EQ(ReadFrom(std::string("[phone]\nport=") + Port + "\n").PhonePort, 8520) << Port;
}

TEST_F(SettingsFileTest, UnitsAreReadWithoutRegardToLetterCase) {
    const struct {
        const char* Text;
        bool Imperial;
    } Cases[] = {
        {"[data]\nunits=IMPERIAL\n", true},
        {"[data]\nunits=Imperial\n", true},
        {"[data]\nunits=metric\n", false},
        {"[data]\nunits=imperial2\n", false},
        {"[data]\n", false},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(ReadFrom(Case.Text, {.Imperial = !Case.Imperial}).Imperial, Case.Imperial)
            << Case.Text;
}

TEST_F(SettingsFileTest, AbsentOrUnreadableKeysGiveTheirDefaults) {
    const TSettings Read =
        ReadFrom("[data]\nspeed-limit=fast\nenergy-limit=1,5\n"
                 "[user-interface]\nlanguage=7\ncolumn_width_01=0x40\ncolumn_width_02=wide\n",
                 {5, false, 1.0, 1.0, 1.0, 1, 1});
    EXPECT_EQ(Read, (TSettings{7, false, 0, 999999, 999999, 64, 80}));
    EXPECT_EQ(ReadFrom("[data]\n", {.Language = 5}).Language, 5);
}

TEST_F(SettingsFileTest, DecimalsUseTheLocaleSeparator) {
    const TScopedFormatSettings Comma(",");
    WriteSettingsFile(Path, {.PeletWeight = 0.547, .SpeedLimit = 300.5}, "x");
    EXPECT_EQ(ReadFileText(Path).find("units"), std::string::npos);
    EXPECT_NE(ReadFileText(Path).find("pelet-weight=0,547\nspeed-limit=300,5\n"),
              std::string::npos);
    EXPECT_EQ(ReadFrom(ReadFileText(Path)).PeletWeight, 0.547);
    EXPECT_EQ(ReadFrom("[data]\npelet-weight=0.547\n").PeletWeight, 0);
}

TEST_F(SettingsFileTest, FilesThatCannotBeReadOrWrittenChangeNothing) {
    const TSettings Custom{5, true, 1.5, 2.5, 3.5, 40, 50};
    TSettings Settings = Custom;
    ReadSettingsFile(Folder.Path().string(), Settings);
    EXPECT_EQ(Settings, Custom);
    WriteSettingsFile(Folder.File("missing/settings.ini"), Custom, "m/s");
    EXPECT_FALSE(std::filesystem::exists(Folder.File("missing")));
}

// Another local user can neither redirect nor block the settings: nothing is staged in the
// temporary folder, and a lock held for ever on the data folder or on the settings' own lock
// file delays the write a little and no more.
TEST_F(SettingsFileTest, WriteStaysInItsFolderAndWaitsForNoLockForEver) {
    const tests::TTempFolder Temporary;
    const TScopedEnvironment Tmp("TMPDIR", Temporary.Path().string());
    const int FolderLock = ::open(Folder.Path().c_str(), O_RDONLY | O_DIRECTORY);
    const int FileLock = ::open((Path + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(::flock(FolderLock, LOCK_EX), 0);
    ASSERT_EQ(::flock(FileLock, LOCK_EX), 0);
    std::vector<std::string> Log;
    auto Writing = std::async(std::launch::async, [&] {
        WriteSettingsFile(Path, {.Language = 7}, "m/s",
                          [&Log](const std::string& Line) { Log.push_back(Line); });
    });
    ASSERT_EQ(Writing.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    ::close(FileLock);
    ::close(FolderLock);
    EXPECT_NE(ReadFileText(Path).find("language=7"), std::string::npos);
    ASSERT_EQ(Log.size(), 1u);
    EXPECT_NE(Log[0].find("another program holds it"), std::string::npos) << Log[0];
    EXPECT_TRUE(std::filesystem::is_empty(Temporary.Path()));
}
