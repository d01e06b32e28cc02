// Data files and settings files from other tools, damaged on the way or edited by hand:
// invalid UTF-8, NUL bytes, a line of 10 MB, 10,000 columns. Each gives a clear error or the
// defaults, never a crash or a hang.

#include "app/UMainForm.h"
#include "app/UPeletWeightBox.h"
#include "app/USettingsFile.h"
#include "app/UShotTable.h"
#include "files/UDataFile.h"
#include "platform/HandlerGuard.h"
#include "platform/IniFile.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScopedFormatSettings.h"
#include "tests/support/ScriptedDialogs.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <cmath>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// Long enough for a sentence that names the bad text; short enough for a message box.
constexpr std::size_t ClearMessageLimit = 200;

struct THostileFile {
    const char* Name;
    std::string Bytes;
};

void PrintTo(const THostileFile& File, std::ostream* Stream) {
    *Stream << File.Name;
}

std::string Columns(const std::string& First, int Count) {
    std::string Line = First;
    for (int Column = 1; Column < Count; ++Column)
        Line += ";" + std::to_string(Column);
    return Line + "\r\n";
}

std::vector<THostileFile> HostileDataFiles() {
    using namespace std::string_literals;
    return {
        {"InvalidUtf8Header", "\xC3\x28;\xFF\xFE\r\n175.5;m/s\r\n"},
        {"InvalidUtf8Speed", "175.5;m/s\r\n17\xFF"
                             "5;m/s\r\n"},
        {"NulBytes", "175.5;m/s\r\n\0\0\0;m/s\r\n17\0"
                     "6;m/s\r\n"s},
        {"OnlyNulBytes", std::string(1000, '\0')},
        {"TenMegabyteNumber", "175.5\r\n" + std::string(10 << 20, '7') + "\r\n"},
        {"TenMegabyteText", "175.5\r\n" + std::string(10 << 20, 'x') + "\r\n"},
        {"TenMegabyteLineWithoutEnd", std::string(10 << 20, '9')},
        {"TenThousandColumns", Columns("175.5", 10'000) + Columns("176.5", 10'000)},
        {"TenThousandHeaderColumns", Columns("speed", 10'000) + Columns("175.5", 10'000)},
    };
}

std::string NameOf(const testing::TestParamInfo<THostileFile>& Info) {
    return Info.param.Name;
}

class HostileDataFileTest : public testing::TestWithParam<THostileFile> {
protected:
    std::string WriteHostileFile() const {
        const std::string Path = Folder.File("hostile.csv");
        tests::WriteFileText(Path, GetParam().Bytes);
        return Path;
    }

    TScopedFormatSettings Point{"."};
    tests::TTempFolder Folder;
};

TEST_P(HostileDataFileTest, ReaderAddsFiniteShotsOrGivesAClearError) {
    std::vector<double> Speeds;
    try {
        LoadDataFile(
            WriteHostileFile(), "m/s",
            [&](const std::string&, double Speed) { Speeds.push_back(Speed); }, nullptr);
    } catch (const std::exception& Error) {
        EXPECT_NE(std::string(Error.what()), "");
        EXPECT_LE(std::string(Error.what()).size(), ClearMessageLimit);
    }
    for (const double Speed : Speeds)
        EXPECT_TRUE(std::isfinite(Speed));
}

TEST_P(HostileDataFileTest, WindowShowsWhatItLoadedAndAtMostOneClearError) {
    TScopedEnvironment DataFolder("XDG_CONFIG_HOME", Folder.File("config"));
    TScopedEnvironment LibraryFolder("XDG_DATA_HOME", Folder.File("data"));
    TScriptedDialogs Dialogs;
    TMainForm Form({});
    Form.show();
    Dialogs.FileNames = {WriteHostileFile()};
    RunGuarded(&Form, [&] { Form.btnLoadDataClick(); });
    ASSERT_LE(Dialogs.Errors.size(), 1u);
    for (const std::string& Error : Dialogs.Errors)
        EXPECT_LE(Error.size(), ClearMessageLimit);
    EXPECT_EQ(Form.stringGridLeft->RowCount(),
              static_cast<int>(std::max<std::size_t>(Form.Shots().size(), 1)) + 1);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Files, HostileDataFileTest, testing::ValuesIn(HostileDataFiles()), NameOf);

TEST(DataFileErrorTest, ALongBadValueIsQuotedByItsStartCutBetweenCharacters) {
    const TScopedFormatSettings Point(".");
    const tests::TTempFolder Folder;
    const std::string Start(39, 'a');
    tests::WriteFileText(Folder.File("long.csv"),
                         "175\n" + Start + "\xC3\xA9" + std::string(100, 'b'));
    try {
        LoadDataFile(
            Folder.File("long.csv"), "m/s", [](const std::string&, double) {}, nullptr);
        ADD_FAILURE() << "the bad value was taken";
    } catch (const std::runtime_error& Error) {
        EXPECT_EQ(Error.what(), "String \"" + Start + "...\" is not valid number.");
    }
}

std::vector<THostileFile> HostileSettingsFiles() {
    using namespace std::string_literals;
    return {
        {"InvalidUtf8", "[data]\nunits=\xFF\xFE\npelet-weight=0\xC3\x28"
                        "6\n"
                        "[user-interface\xFF]\nlanguage=\xC3\x28\n"},
        {"InvalidUtf8Names", "[\xFF\xFE]\n\xC3\x28=1\n[data\xC3]\nspeed-limit\xFF=800\n"},
        {"NulBytes", "[data]\n\0pelet-weight=0.6\nspeed-limit=\0"
                     "800\n\0\0\0"s},
        {"OnlyNulBytes", std::string(1000, '\0')},
        {"TenMegabyteLine", "[data]\nspeed-limit=" + std::string(10 << 20, '8') + "\n"},
        {"TenMegabyteSectionName", "[" + std::string(10 << 20, 'd') + "\n"},
        {"TenThousandColumns", "[data]\nenergy-limit=" + Columns("5", 10'000)},
    };
}

class HostileSettingsFileTest : public testing::TestWithParam<THostileFile> {
protected:
    TScopedFormatSettings Point{"."};
    tests::TTempFolder Folder;
};

// The values that reading a file without any usable key gives; a file larger than any settings
// file is not read at all and leaves the values as they were.
TSettings DefaultsAfterReading(const std::string& Bytes) {
    TSettings Settings;
    if (Bytes.size() <= platform::MaxIniFileBytes)
        Settings.PeletWeight = 0;
    return Settings;
}

TEST_P(HostileSettingsFileTest, ReaderGivesTheDefaults) {
    const std::string Path = Folder.File("settings.ini");
    tests::WriteFileText(Path, GetParam().Bytes);
    TSettings Settings;
    ReadSettingsFile(Path, Settings);
    EXPECT_EQ(Settings, DefaultsAfterReading(GetParam().Bytes));
}

TEST_P(HostileSettingsFileTest, WindowStartsWithTheDefaultsAndSavesAWholeFileAtClose) {
    TScopedEnvironment DataFolder("XDG_CONFIG_HOME", Folder.Path().string());
    TScopedEnvironment LibraryFolder("XDG_DATA_HOME", Folder.File("data"));
    std::filesystem::create_directories(Folder.File("tarvex"));
    const std::string Path = Folder.File("tarvex/settings.ini");
    tests::WriteFileText(Path, GetParam().Bytes);
    TScriptedDialogs Dialogs;
    {
        TMainForm Form({});
        Form.show();
        EXPECT_EQ(Form.Settings().SpeedLimit(), 999999);
        EXPECT_TRUE(Form.Settings().IsMetric());
        EXPECT_EQ(Form.Settings().Language(), 9);
        Form.pnlPeletWeight->ePeletWeight->setText("0.6");
        Form.close();
    }
    TSettings Saved;
    ReadSettingsFile(Path, Saved);
    EXPECT_EQ(Saved.PeletWeight, 0.6);
    EXPECT_TRUE(Dialogs.Errors.empty());
}

INSTANTIATE_TEST_SUITE_P(Files, HostileSettingsFileTest, testing::ValuesIn(HostileSettingsFiles()),
                         NameOf);

// Names that lead to something other than a readable file: nothing is read from them and nothing
// waits or fills the memory. The settings keep the values the program has; a data file load ends
// with a message; the settings are written over a regular file only.
TEST(NotAFileTest, SettingsAndDataFilesAreNeitherWaitedForNorReadWithoutEnd) {
    const tests::TTempFolder Folder;
    const auto Fifo = [](const std::string& Path) { ASSERT_EQ(::mkfifo(Path.c_str(), 0600), 0); };
    const auto DevZero = [](const std::string& Path) {
        std::filesystem::create_symlink("/dev/zero", Path);
    };
    const auto Folders = [](const std::string& Path) { std::filesystem::create_directory(Path); };
    const auto Huge = [](const std::string& Path) {
        tests::WriteFileText(Path, "[data]\npelet-weight=1\n");
        std::filesystem::resize_file(Path, MaxSeriesFileBytes + 1);
    };
    const struct {
        const char* Name;
        std::function<void(const std::string&)> Make;
        const char* Reason;
        bool SettingsWritten;
    } Cases[] = {
        {"fifo", Fifo, "not a regular file", false},
        {"zero", DevZero, "not a regular file", false},
        {"folder", Folders, "not a regular file", false},
        {"huge", Huge, "too large", true},
    };
    for (const auto& Case : Cases) {
        const std::string Path = Folder.File(Case.Name);
        Case.Make(Path);
        std::vector<std::string> Log;
        const auto Note = [&Log](const std::string& Line) { Log.push_back(Line); };
        TSettings Settings;
        ReadSettingsFile(Path, Settings, Note);
        EXPECT_EQ(Settings, TSettings()) << Case.Name;
        try {
            LoadDataFile(
                Path, "m/s", [](const std::string&, double) {}, nullptr);
            ADD_FAILURE() << Case.Name << " was read";
        } catch (const std::runtime_error& Error) {
            EXPECT_NE(std::string(Error.what()).find(Case.Reason), std::string::npos)
                << Error.what();
        }
        WriteSettingsFile(Path, TSettings(), "m/s", Note);
        EXPECT_EQ(std::filesystem::is_regular_file(Path), Case.SettingsWritten) << Case.Name;
        ASSERT_FALSE(Log.empty()) << Case.Name;
        EXPECT_NE(Log.front().find(Case.Reason), std::string::npos) << Log.front();
    }
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/zero"));
}

} // namespace
