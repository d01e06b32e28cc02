#include "files/UImportFile.h"

#include "tests/platform/PlatformTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <random>
#include <system_error>

using testing::ElementsAre;
using testing::HasSubstr;
using namespace std::literals;

namespace {

// A shot's unit and speed.
using TShot = std::pair<std::string, double>;

std::vector<TShot> ShotsOf(const TImportedSeries& Series) {
    std::vector<TShot> Shots;
    for (const TData& Shot : Series.Shots)
        Shots.push_back({Shot.SpeedUnit(), Shot.Speed()});
    return Shots;
}

std::vector<TShot> InUnit(const std::string& Unit, const std::vector<double>& Speeds) {
    std::vector<TShot> Shots;
    for (const double Speed : Speeds)
        Shots.push_back({Unit, Speed});
    return Shots;
}

std::string Sample(const std::string& Name) {
    return std::string(TARVEX_IMPORT_SAMPLES) + "/" + Name;
}

TImportedSeries Import(std::string_view Text, const std::string& DisplayUnit = "m/s") {
    return ImportSeriesText(Text, DisplayUnit, "shots.csv");
}

// The error of an import that must fail.
EImportError ImportError(std::string_view Text, const std::string& DisplayUnit = "m/s") {
    try {
        Import(Text, DisplayUnit);
    } catch (const EImportError& Error) {
        return Error;
    }
    ADD_FAILURE() << "imported: " << Text.substr(0, 80);
    return EImportError("", {});
}

constexpr const char* NoSpeedColumn = "No column of speeds was found in %s.";

struct TLayoutCase {
    std::string Text;
    std::vector<TShot> Shots;
    int Skipped;
};

void ExpectShots(const TLayoutCase& Case, const std::string& DisplayUnit) {
    try {
        const TImportedSeries Series = Import(Case.Text, DisplayUnit);
        EXPECT_EQ(ShotsOf(Series), Case.Shots) << Case.Text;
        EXPECT_EQ(Series.SkippedLines, Case.Skipped) << Case.Text;
    } catch (const EImportError& Error) {
        ADD_FAILURE() << Case.Text << ": " << Error.what();
    }
}

} // namespace

TEST(ImportFileTest, SampleLayoutsGiveTheirShotsUnitsAndSkippedRows) {
    const struct {
        const char* File;
        const char* DisplayUnit;
        std::vector<TShot> Shots;
        int Skipped;
    } Cases[] = {
        {"german-spreadsheet.csv", "fps", InUnit("M/S", {175.52, 176.1, 174.87, 175.3, 176.02}), 2},
        {"radar-export.csv", "m/s", InUnit("FPS", {901.37, 898.04, 903.66, 899.90, 900.51}), 6},
        {"comma-export.csv", "m/s", InUnit("FPS", {902.4, 899.1, 1001.5, 898.7, 900.3}), 6},
        {"unicode-text.txt", "m/s", InUnit("FPS", {575.9, 580.2, 577.4, 579.0}), 1},
        {"czech.csv", "fps", InUnit("M/S", {172.4, 171.9, 173.0, 172.2}), 2},
        {"excel-thousands.csv", "m/s", InUnit("FPS", {998, 1050, 1012, 1003, 987}), 2},
        {"units-row.csv", "fps", InUnit("M/S", {175.4, 176.0, 174.9}), 2},
        {"time-table.csv", "fps", InUnit("M/S", {172.4, 171.9, 173.0}), 2},
    };
    for (const auto& Case : Cases) {
        const TImportedSeries Series = ImportSeries(Sample(Case.File), Case.DisplayUnit);
        EXPECT_EQ(ShotsOf(Series), Case.Shots) << Case.File;
        EXPECT_EQ(Series.SkippedLines, Case.Skipped) << Case.File;
    }
}

TEST(ImportFileTest, FpsShotsComeOutConvertedToMetresPerSecond) {
    const TImportedSeries Series = ImportSeries(Sample("radar-export.csv"), "m/s");
    EXPECT_DOUBLE_EQ(Series.Shots.at(0).SpeedIn("fps"), 901.37);
    EXPECT_NEAR(Series.Shots.at(0).SpeedIn("m/s"), 901.37 * 0.3048, 1e-9);
}

TEST(ImportFileTest, UnicodeTextReadsInEitherByteOrder) {
    std::string Swapped = tests::ReadFileText(Sample("unicode-text.txt"));
    for (std::size_t At = 0; At + 1 < Swapped.size(); At += 2)
        std::swap(Swapped[At], Swapped[At + 1]);
    EXPECT_EQ(ShotsOf(Import(Swapped)), InUnit("FPS", {575.9, 580.2, 577.4, 579.0}));
}

TEST(ImportFileTest, UnitComesFromUnitColumnHeaderUnitsLineOrDisplay) {
    const struct {
        const char* Text;
        const char* DisplayUnit;
        std::vector<TShot> Shots;
    } Cases[] = {
        {"Speed (m/s)\n175", "fps", {{"M/S", 175}}},
        {"SPEED (FPS)\n575", "m/s", {{"FPS", 575}}},
        {"Rychlost [M/S]\n175", "fps", {{"M/S", 175}}},
        {"Velocity ft/s\n575", "m/s", {{"FPS", 575}}},
        {"V0 ( fps )\n575", "m/s", {{"FPS", 575}}},
        {"Velocity unit: m/s\nSpeed\n175", "fps", {{"M/S", 175}}},
        {"Units;ft/s\nSpeed\n575", "m/s", {{"FPS", 575}}},
        {"Units velocity;fps\nSpeed (m/s)\n175", "fps", {{"M/S", 175}}},
        {"Speed\n175", "m/s", {{"M/S", 175}}},
        {"Schuss;\"Geschwindigkeit\r\n(m/s)\";Energie\r\n1;175,5;8", "fps", {{"M/S", 175.5}}},
        {"speed;speed_unit\n175;m/s\n575;FPS\n176;",
         "fps",
         {{"M/S", 175}, {"FPS", 575}, {"FPS", 176}}},
        // A units row under the header, which is no skipped row.
        {"Shot;Speed;Energy\n;m/s;J\n1;175;8", "fps", {{"M/S", 175}}},
        {"Speed\n[m/s]\n175", "fps", {{"M/S", 175}}},
        {"Shot;Velocity\n;( fps )\n\n1;575", "m/s", {{"FPS", 575}}},
        {"Speed (m/s)\nm/s\n175", "fps", {{"M/S", 175}}},
        // Remarks in brackets, which name no unit.
        {"Speed (avg)\n175", "fps", {{"FPS", 175}}},
        {"Speed (mean of 3)\n175", "m/s", {{"M/S", 175}}},
        {"Rychlost [pr\xC5\xAFm\xC4\x9Br]\n175", "fps", {{"FPS", 175}}},
        {"Speed (m/s) (mean of 3)\n175", "fps", {{"M/S", 175}}},
        // Units spelled out, after a comma or in the speed cells.
        {"Velocity (feet per second)\n575", "m/s", {{"FPS", 575}}},
        {"\"Speed, m/s\",Energy\n\"175,5\",8", "fps", {{"M/S", 175.5}}},
        {"Speed\n175.5 m/s\n575fps\n176", "fps", {{"M/S", 175.5}, {"FPS", 575}, {"FPS", 176}}},
    };
    for (const auto& Case : Cases) {
        const TImportedSeries Series = Import(Case.Text, Case.DisplayUnit);
        EXPECT_EQ(ShotsOf(Series), Case.Shots) << Case.Text;
        EXPECT_EQ(Series.SkippedLines, 0) << Case.Text;
    }
    EXPECT_EQ(std::string(ImportError("Speed (fps)\n(m/s)\n175").what()),
              "The speeds in shots.csv are marked both \"fps\" and \"m/s\".");
}

TEST(ImportFileTest, SpeedsInOtherUnitsAreRefusedNamingTheUnit) {
    for (const auto& [Text, Unit] : {std::pair{"Speed (km/h)\n630", "km/h"},
                                     {"Velocity MPH\n390", "MPH"},
                                     {"Units;kph\nSpeed\n630", "kph"},
                                     {"speed;unit\n175;m/s\n630;km/h", "km/h"},
                                     {"Speed\n[km/h]\n630", "km/h"},
                                     {"Shot;Speed\n;mph\n1;390", "mph"},
                                     {"Speed (yd/s)\n175", "yd/s"},
                                     {"Speed [knots]\n340", "knots"},
                                     {"Speed, mph;x\n390;x", "mph"},
                                     {"Speed\n175\n630 km/h", "km/h"}}) {
        const EImportError Error = ImportError(Text);
        EXPECT_THAT(Error.Arguments(), ElementsAre("shots.csv", Unit)) << Text;
        EXPECT_EQ(Error.what(), "The speeds in shots.csv are in \"" + std::string(Unit) +
                                    "\": only m/s and fps (ft/s) can be imported.");
    }
}

TEST(ImportFileTest, HeaderIsTheFirstWholeSpeedNameInAnyLanguageAndEncoding) {
    const struct {
        std::string Text;
        double Speed;
    } Cases[] = {
        {"Avg speed;Speed SD;\xCE\x94 AVG (FPS);\xC3\x98 Speed;Velocity\n1;2;3;4;5", 5},
        {"Shot ID;V0;V10\n1;901;884", 901},
        {"Nr;M\xC3\x9CNDUNGSGESCHWINDIGKEIT (m/s)\n1;175", 175},
        {"Nr;M\xFCndungsgeschwindigkeit (m/s)\n1;175", 175},
        {"\xDAs\x9Dov\xE1 rychlost [m/s]\n175", 175},
        {"x\tmuzzle velocity (m/s)\tgeschwindigkeit\n1\t175\t176", 175},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(ShotsOf(Import(Case.Text)), InUnit("M/S", {Case.Speed})) << Case.Text;
}

TEST(ImportFileTest, NumbersTakeEitherDecimalSeparatorAndNothingElse) {
    const struct {
        const char* Field;
        double Speed;
    } Numbers[] = {
        {"175.5", 175.5},    {"175,5", 175.5}, {" 175 ", 175}, {"1.234,5", 1234.5},
        {"1,234.5", 1234.5}, {"0,234", 0.234}, {"0", 0},       {"12.345.678,9", 12345678.9}};
    for (const auto& Number : Numbers)
        EXPECT_EQ(ShotsOf(Import("Speed;x\n" + std::string(Number.Field) + ";x")),
                  InUnit("M/S", {Number.Speed}))
            << Number.Field;
    for (const char* Field : {"", "175.5 m", "1.2.3", "+175", "-175", "1e3", ".5", "175.",
                              "12,34.5", "1.234.567", "0x1A", "nan", "inf", "1 234", "9999e999"}) {
        const TImportedSeries Series = Import("Speed;x\n" + std::string(Field) + ";x\n1;x");
        EXPECT_EQ(ShotsOf(Series), InUnit("M/S", {1})) << Field;
        EXPECT_EQ(Series.SkippedLines, 1) << Field;
    }
}

TEST(ImportFileTest, SeparatorsQuotesAndLineEndsAsSpreadsheetsWriteThem) {
    const struct {
        const char* Text;
        std::vector<double> Speeds;
    } Cases[] = {
        {"\"Shot\",\"Speed (m/s)\"\r\n\"1\",\"175,5\"\r\n2,176\r\n", {175.5, 176}},
        {"\"Shot, no.\";\"a \"\"b\"\"\";Speed\n1;\"x;y\";175\n", {175}},
        {"Note,Speed\n\"two\nlines\",175\n\"x\"\"\",176\n", {175, 176}},
        {"\xEF\xBB\xBFsep=,\r\nSpeed,x\r\n176,1\r\n", {176}},
        {"Speed\r\n176,1\r\n", {176.1}},
        {"sep=\t\nNote\tSpeed\na;b,c\t175\n", {175}},
        {"Speed\r175\r176", {175, 176}},
        {"Speed\r\r\n175\r\r\n176\r\r\r\n", {175, 176}},
        {"Speed\n\n\r\n175\n176\n", {175, 176}},
    };
    for (const auto& Case : Cases) {
        const TImportedSeries Series = Import(Case.Text);
        EXPECT_EQ(ShotsOf(Series), InUnit("M/S", Case.Speeds)) << Case.Text;
        EXPECT_EQ(Series.SkippedLines, 0) << Case.Text;
    }
}

// A row without a number in a numbered table is where spreadsheets put their formulas.
TEST(ImportFileTest, SummaryRowsNamedInTheShotColumnAreSkipped) {
    const TImportedSeries Series =
        Import("#;Speed\n1;175\n#2;176\nAvg;175.5\n-;\nSD;0.7\n;175.5\n");
    EXPECT_EQ(ShotsOf(Series), InUnit("M/S", {175, 176}));
    EXPECT_EQ(Series.SkippedLines, 4);
}

TEST(ImportFileTest, FilesWithoutSpeedColumnOrShotsAreErrors) {
    const std::string Missing = Sample("no-speed-column.csv");
    try {
        ImportSeries(Missing, "m/s");
        ADD_FAILURE();
    } catch (const EImportError& Error) {
        EXPECT_EQ(Error.Pattern(), NoSpeedColumn);
        EXPECT_EQ(Error.what(), "No column of speeds was found in " + Missing + ".");
    }
    for (const char* Text : {"", "\r\n\r\n", "\xEF\xBB\xBF", "\xFF\xFE"})
        EXPECT_EQ(ImportError(Text).Pattern(), NoSpeedColumn);
    const EImportError NoShot = ImportError("Title\r\n Speed (m/s) ;x\r\n\r\nAverage;x\r\n");
    EXPECT_THAT(NoShot.Arguments(), ElementsAre("Speed (m/s)", "shots.csv"));
    EXPECT_EQ(NoShot.FilledIn("Die Spalte \"%s\" in %s enth\xC3\xA4lt keine Geschwindigkeit."),
              "Die Spalte \"Speed (m/s)\" in shots.csv enth\xC3\xA4lt keine Geschwindigkeit.");
    try {
        ImportSeries(Sample("not-there.csv"), "m/s");
        ADD_FAILURE();
    } catch (const std::system_error& Error) {
        EXPECT_THAT(Error.what(), HasSubstr(Sample("not-there.csv")));
    }
}

TEST(ImportFileTest, GarbageFindsNoSpeedColumn) {
    std::mt19937 Random(7);
    constexpr std::string_view Alphabet = "\";,\t\r\n \xC3\xFF\0001.5ax("sv;
    for (const std::string Start : {"", "\xFF\xFE", "\xFE\xFF", "\x89PNG\r\n\x1A\n"}) {
        std::string Bytes = Start, Chosen = Start;
        for (int Index = 0; Index < 200000; ++Index) {
            Bytes += static_cast<char>(Random());
            Chosen += Alphabet[Random() % Alphabet.size()];
        }
        EXPECT_EQ(ImportError(Bytes).Pattern(), NoSpeedColumn);
        EXPECT_EQ(ImportError(Chosen).Pattern(), NoSpeedColumn);
    }
}

TEST(ImportFileTest, MillionRowsAllArrive) {
    std::string Text = "Shot;Speed (fps)\r\n";
    for (int Shot = 1; Shot <= 1000000; ++Shot)
        Text += std::to_string(Shot) + ";" + std::to_string(500 + Shot % 400) + ",25\r\n";
    const TImportedSeries Series = Import(Text);
    ASSERT_EQ(Series.Shots.size(), 1000000u);
    EXPECT_EQ(ShotsOf(Series).back(), (TShot{"FPS", 500.25}));
}

TEST(ImportFileTest, NumberedShotsAreTheRowsWithANumberOrTime) {
    const TLayoutCase Cases[] = {
        {"#;Speed (m/s)\n1;175\n2;176\nAverage (2 shots);175.5\nES 1-2;1",
         InUnit("M/S", {175, 176}), 2},
        {"Shot;Speed\nSD(n-1);0.7\n1;175\n\n2;176\nSD(n-1);0.7", InUnit("M/S", {175, 176}), 2},
        {"Time;Speed\n10:21:07;175\n10:21:40 PM;176\nAverage;175.5\nSD;0.7",
         InUnit("M/S", {175, 176}), 2},
        {"Schuss-Nr.;Geschwindigkeit\n1;175\n2;176\nMittelwert;175,5\nStandardabweichung;0,7",
         InUnit("M/S", {175, 176}), 2},
        {"Lfd. Nr.;V0\n1.;175\n2.;176\n\nMittel;175,5", InUnit("M/S", {175, 176}), 1},
        {"Number,Velocity (fps)\n1,901\n2,899\nAverage,900\nSD,1.4", InUnit("FPS", {901, 899}), 2},
        {"Nummer;Speed\n1;175\nx;176", InUnit("M/S", {175}), 1},
        {"Shot number;Speed\n1;175\n2-3;176", InUnit("M/S", {175}), 1},
        {"\xC4\x8C\xC3\xADslo v\xC3\xBDst\xC5\x99\x65lu;Rychlost\n1;175\nPr\xC5\xAFm\xC4\x9Br;175",
         InUnit("M/S", {175}), 1},
        {"Datum;\xC4\x8C.;Rychlost\n3.5.2024;1;175\n;Pr\xC5\xAFm\xC4\x9Br;175\n3.5.2024;2;176",
         InUnit("M/S", {175, 176}), 1},
        {"Nr.;Speed\n;175", {}, 0},
        // Numbers in the first column number the shots though it is not named for them.
        {"x;Speed\n1;175\n2;176\n;175.5\nn=2;175.5", InUnit("M/S", {175, 176}), 2},
    };
    for (const auto& Case : Cases) {
        if (Case.Shots.empty())
            EXPECT_THAT(ImportError(Case.Text).Pattern(), HasSubstr("holds no speed"));
        else
            ExpectShots(Case, "m/s");
    }
}

TEST(ImportFileTest, TableWithoutNumbersEndsAtABlankOrDifferentlyLabelledRow) {
    const TLayoutCase Cases[] = {
        {"Speed\n175\n176\n\n175.5\n0.7", InUnit("M/S", {175, 176}), 2},
        {"Speed\r175\r\r\r175.5", InUnit("M/S", {175}), 1},
        {"Speed\n175\nm/s\n176", InUnit("M/S", {175, 176}), 1},
        {"Speed;Energy\n175;8\nERR;\n176;8\n\n175.5;8", InUnit("M/S", {175, 176}), 2},
        {"Note;Speed\n;175\n;176\nAverage;175.5\n;177", InUnit("M/S", {175, 176}), 2},
        {"Date;Speed\n03.05.2024;175\n03.05.2024;176\nAverage;175.5\n03.05.2024;177",
         InUnit("M/S", {175, 176}), 2},
        {"Pellet;Speed\nJSB;175\nJSB;176\n;175.5", InUnit("M/S", {175, 176}), 1},
    };
    for (const auto& Case : Cases)
        ExpectShots(Case, "m/s");
}

TEST(ImportFileTest, SeparatorBeforeThreeDigitsIsReadAsTheWholeColumnShows) {
    const TLayoutCase Cases[] = {
        {"Speed (fps)\n998\n1,050\n1,002", InUnit("FPS", {998, 1050, 1002}), 0},
        {"Speed (fps)\n1,050\n1,048", InUnit("FPS", {1050, 1048}), 0},
        {"Geschwindigkeit (fps)\n998\n1.050", InUnit("FPS", {998, 1050}), 0},
        {"Speed\n175.523\n176.001\n175", InUnit("M/S", {175.523, 176.001, 175}), 0},
        {"Speed\n1,050\n998,5", InUnit("M/S", {1.05, 998.5}), 0},
        {"Speed\n1.050\n998,5", InUnit("M/S", {1050, 998.5}), 0},
        {"Speed\n1,050\n1,234.5", InUnit("M/S", {1050, 1234.5}), 0},
        {"Speed\n175,523\n1.050", InUnit("M/S", {175.523, 1050}), 0},
        {"Number,Velocity\n1,\"1,050\"\n2,998", InUnit("M/S", {1050, 998}), 0},
    };
    for (const auto& Case : Cases)
        ExpectShots(Case, "m/s");
    for (const auto& [Text, Example] :
         {std::pair{"Speed\n1,050\n175,523", "1,050"}, {"Speed\n1.050\n175.5\n175,5", "1.050"}}) {
        const EImportError Error = ImportError(Text);
        EXPECT_THAT(Error.Arguments(), ElementsAre("shots.csv", Example)) << Text;
        EXPECT_THAT(Error.what(), HasSubstr("marks decimals or thousands"));
    }
}

TEST(ImportFileTest, DecimalCommasSplitByTheCommaSeparatorGiveNoShot) {
    const TLayoutCase Cases[] = {
        {"Shot,Speed\n1,175,5\n2,176", InUnit("M/S", {176}), 1},
        {"Shot,Energy,Speed\n1,8,4,175\n2,8,176", InUnit("M/S", {176}), 1},
        {"Shot,Speed,,\n1,175,,\n2,176.5,note,x", InUnit("M/S", {175, 176.5}), 0},
    };
    for (const auto& Case : Cases)
        ExpectShots(Case, "m/s");
    for (const char* Text :
         {"Shot,Speed\n1,175,5\n2,176,0", "sep=,\nSpeed\n176,1", "Speed,Energy\n175,5,8,4"}) {
        const EImportError Error = ImportError(Text);
        EXPECT_EQ(Error.Pattern(),
                  "The speeds in %s have decimal commas, which cannot be told from "
                  "the commas between its columns.")
            << Text;
    }
}

TEST(ImportFileTest, ErrorsQuoteOnlyTheStartOfTextFromTheFile) {
    const std::string Huge(1 << 20, 'x');
    const std::string Blanks(1 << 20, '\n');
    const std::string Texts[] = {
        "speed;unit\n175;" + Huge,         "Speed (" + Huge + ")\nAverage",
        "\"Speed" + Blanks + "(m/s)\"\nx", "Speed (fps)\n" + Huge + "m/s",
        "Shot;Speed\n1;175 " + Huge,       "Units;mph\n" + Huge + ";Speed",
    };
    for (const std::string& Text : Texts) {
        const EImportError Error = ImportError(Text);
        EXPECT_LT(std::string_view(Error.what()).size(), 200u) << Error.what();
        EXPECT_LT(Error.FilledIn(Error.Pattern()).size(), 200u);
    }
    EXPECT_THAT(ImportError(Texts[0]).Arguments(),
                ElementsAre("shots.csv", Huge.substr(0, 40) + "..."));
    EXPECT_THAT(ImportError(Texts[1]).Arguments(),
                ElementsAre("Speed (" + Huge.substr(0, 33) + "...", "shots.csv"));
    EXPECT_THAT(ImportError(Texts[2]).Arguments(), ElementsAre("Speed (m/s)", "shots.csv"));
}

TEST(ImportFileTest, FilesThatAreNoSeriesAreRefusedUnread) {
    const tests::TTempFolder Folder;
    const std::string Large = Folder.File("large.csv");
    tests::WriteFileText(Large, "");
    std::filesystem::resize_file(Large, (64 << 20) + 1); // sparse: it takes no room on the disk
    const struct {
        std::string File;
        std::string Message;
    } Cases[] = {
        {Folder.Path().string(), Folder.Path().string() + " is not a file that can be imported."},
        {"/dev/zero", "/dev/zero is not a file that can be imported."},
        {Large, Large + " is too large to be a series of shots (65 MB)."},
    };
    for (const auto& Case : Cases) {
        try {
            ImportSeries(Case.File, "m/s");
            ADD_FAILURE() << Case.File;
        } catch (const EImportError& Error) {
            EXPECT_EQ(Error.what(), Case.Message);
        }
    }
}
