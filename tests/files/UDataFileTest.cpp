#include "files/UDataFile.h"

#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ScopedFormatSettings.h"

#include <csignal>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

using testing::ElementsAre;
using testing::HasSubstr;
using tests::ReadFileText;
using tests::WriteFileText;

namespace {

struct TShot {
    std::string Unit;
    double Speed;
    bool operator==(const TShot&) const = default;
};

void PrintTo(const TShot& Shot, std::ostream* Out) {
    *Out << Shot.Speed << " " << Shot.Unit;
}

class DataFileTest : public testing::Test {
protected:
    // Loads a file with the given bytes; returns the error message, "" after a complete load.
    std::string Load(const std::string& Bytes, const std::string& SpeedUnit = "m/s") {
        WriteFileText(Path, Bytes);
        return LoadFile(SpeedUnit);
    }

    std::string LoadFile(const std::string& SpeedUnit = "m/s") {
        Shots.clear();
        LogLines.clear();
        try {
            LoadDataFile(
                Path, SpeedUnit,
                [this](const std::string& Unit, double Speed) {
                    Shots.push_back({Unit, Speed});
                },
                [this](const std::string& Line) { LogLines.push_back(Line); });
        } catch (const std::exception& Error) {
            return Error.what();
        }
        return "";
    }

    void Save(const std::vector<TTableRow>& Rows, const std::string& WeightText = "0.547") {
        SaveDataFile(Path, Rows, "m/s", "J", WeightText, "g");
    }

    tests::TTempFolder Folder;
    std::string Path = Folder.File("shots.csv");
    std::vector<TShot> Shots;
    std::vector<std::string> LogLines;
};

constexpr const char* Header = "speed;speed_unit;energy;energy_unit;pelet_weight;pelet_weight_unit";

} // namespace

TEST_F(DataFileTest, SaveWritesPointDecimalsAndLoadsBackInEitherLocale) {
    const struct {
        const char* Decimal;
        const char* Thousands;
        std::vector<TTableRow> Rows;
        const char* Weight;
    } Cases[] = {
        {".", "", {{"175.00", "8.38"}, {"1176.20", "8.49"}}, "0.547"},
        {",", "", {{"175,00", "8,38"}, {"1176,20", "8,49"}}, "0,547"},
        {",", ".", {{"175,00", "8,38"}, {"1.176,20", "8,49"}}, "0,547"},
    };
    for (const auto& Case : Cases) {
        const TScopedFormatSettings Saving(Case.Decimal, Case.Thousands);
        Save(Case.Rows, Case.Weight);
        EXPECT_EQ(ReadFileText(Path), std::string(Header) + "\r\n175.00;m/s;8.38;J;0.547;g\r\n" +
                                          "1176.20;m/s;8.49;J;0.547;g\r\n");
        for (const char* Loading : {".", ","}) {
            const TScopedFormatSettings Separator(Loading);
            EXPECT_EQ(LoadFile(), "");
            EXPECT_THAT(Shots, ElementsAre(TShot{"m/s", 175.0}, TShot{"m/s", 1176.2}));
        }
    }
}

TEST_F(DataFileTest, LenientReaderTakesWhatOtherToolsWrite) {
    const TScopedFormatSettings Point(".");
    const struct {
        const char* Bytes;
        std::vector<TShot> Expected;
    } Cases[] = {
        {"175\n176.5", {{"fps", 175}, {"fps", 176.5}}},
        {"175.5;m/s\r\n", {{"fps", 175.5}}},
        {"speed_unit;x;speed\nm/s;1;175.5\n", {{"m/s", 175.5}}},
        {"---\nnr=3;x\n175\n--;m/s\r\n", {{"fps", 175}}},
        {"speed ; speed_unit\n\n   \r\n 17 5.0 ; m/s \n", {{"m/s", 175}}},
        {"\xEF\xBB\xBFspeed;speed_unit\r\n175;m/s\r\n", {{"m/s", 175}}},
        {"speed;speed_unit\n175;m/s\n176", {{"m/s", 175}, {"fps", 176}}},
        // Older spreadsheet and Mac exports end their lines with CR alone.
        {"175\r176\r", {{"fps", 175}, {"fps", 176}}},
        {"speed;speed_unit\r175;m/s\r\r176;m/s\n177\r\n",
         {{"m/s", 175}, {"m/s", 176}, {"fps", 177}}},
        {"", {}},
    };
    for (const auto& Case : Cases) {
        EXPECT_EQ(Load(Case.Bytes, "fps"), "") << Case.Bytes;
        EXPECT_EQ(Shots, Case.Expected) << Case.Bytes;
    }
}

TEST_F(DataFileTest, BadLinesStopTheLoadWithTheirMessage) {
    const TScopedFormatSettings Comma(",");
    const struct {
        std::string Bytes;
        const char* Message;
        std::size_t ShotsBefore;
    } Cases[] = {
        {"\nspeed;speed_unit\n175;m/s\n", "String \"speed\" is not valid number.", 0},
        {"175\nabc\n176\n", "String \"abc\" is not valid number.", 1},
        {"175\n1.2.3\n", "String \"1,2,3\" is not valid number.", 1},
        {"energy;speed_unit\n175;m/s\n", "Key [speed] not found.", 0},
        {"speed;unit;speed\n175;m/s\n", "Cannot add. Key [speed] just exists.", 0},
        {std::string(Header) + "\r\n;m/s;;J;0.547;g\r\n", "String \"\" is not valid number.", 0},
    };
    for (const auto& Case : Cases) {
        EXPECT_EQ(Load(Case.Bytes), Case.Message);
        EXPECT_EQ(Shots.size(), Case.ShotsBefore) << Case.Bytes;
        EXPECT_EQ(LogLines.back(), "...file closed.") << Case.Bytes;
    }
}

TEST_F(DataFileTest, EmptyTableSavesALineThatStopsTheLoadAtLineTwo) {
    const TScopedFormatSettings Point(".");
    Save({{"", ""}});
    EXPECT_EQ(ReadFileText(Path), std::string(Header) + "\r\n;m/s;;J;0.547;g\r\n");
    EXPECT_EQ(LoadFile(), "String \"\" is not valid number.");
    EXPECT_THAT(LogLines,
                ElementsAre("Loading file: " + Path, "Loaded line: \"" + std::string(Header) + "\"",
                            "Loaded line: \";m/s;;J;0.547;g\"", "...file closed."));
}

TEST_F(DataFileTest, MissingFileIsNamedWithTheReason) {
    EXPECT_THAT(LoadFile(), HasSubstr("'" + Path + "': No such file or directory"));
    EXPECT_THAT(LogLines, ElementsAre("Loading file: " + Path));
}

// A file-size limit makes writes fail part-way, as a full disk does.
TEST_F(DataFileTest, SaveThatFailsPartWayKeepsTheOldFile) {
    const TScopedFormatSettings Point(".");
    Save({{"175.00", "8.38"}});
    const std::string Old = ReadFileText(Path);
    rlimit Saved{};
    ::getrlimit(RLIMIT_FSIZE, &Saved);
    const auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit Small = Saved;
    Small.rlim_cur = 100;
    ::setrlimit(RLIMIT_FSIZE, &Small);
    EXPECT_THROW(Save(std::vector<TTableRow>(50, {"175.00", "8.38"})), std::runtime_error);
    ::setrlimit(RLIMIT_FSIZE, &Saved);
    std::signal(SIGXFSZ, OldHandler);
    EXPECT_EQ(ReadFileText(Path), Old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder.Path()), {}), 1);
}
