// The main window and the series library: the series carries over from one run to the next,
// Clear, Load data and deleting shots reach the library, and a library that cannot be used never
// stops the window.

#include "app/UChartPanel.h"
#include "app/UMainForm.h"
#include "app/USeriesCommands.h"
#include "app/UShotTable.h"
#include "app/UWaitingNotice.h"
#include "chart/NiceChart.h"
#include "library/SeriesStore.h"
#include "library/Sqlite.h"
#include "series/USeries.h"
#include "tests/files/PdfReading.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScopedFormatSettings.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ShotSpeeds.h"
#include "tests/support/WaitUntil.h"
#include "windows/UFrmLibrary.h"
#include "windows/ULibraryModel.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <utility>

namespace {

using tests::Speeds;

class MainFormLibraryTest : public testing::Test {
protected:
    std::unique_ptr<TMainForm> Start() {
        auto Form =
            std::make_unique<TMainForm>(std::vector<std::string>{}, std::chrono::milliseconds(1));
        Form->show();
        EXPECT_TRUE(WaitUntil([&] { return !Form->TakingUpSeries(); }));
        return Form;
    }

    static void Receive(TMainForm& Form, const std::string& Records) {
        Form.Receiver().ReceiveText(Records);
        Form.RecalculateNow();
    }

    std::string LibraryPath() const { return Folder.File("data/tarvex/series.db"); }

    // Name and speeds of every series in the library, oldest first.
    std::vector<std::pair<std::string, std::vector<double>>> Library() const {
        const TSeriesStore Store(LibraryPath());
        std::vector<std::pair<std::string, std::vector<double>>> Series;
        for (const TSeriesEntry& Entry : Store.ListSeries())
            Series.insert(Series.begin(),
                          {Entry.Name, Speeds(Store.LoadShots(Entry.Id, TSeries::MaxShots).Shots)});
        return Series;
    }

    TScopedFormatSettings Point{"."};
    tests::TTempFolder Folder;
    TScopedEnvironment DataFolder{"XDG_CONFIG_HOME", Folder.File("config")};
    TScopedEnvironment LibraryFolder{"XDG_DATA_HOME", Folder.File("data")};
    TScriptedDialogs Dialogs;
};

TEST_F(MainFormLibraryTest, TheSeriesCarriesOverAndEachCommandReachesTheLibrary) {
    {
        auto Form = Start();
        Receive(*Form, "170\n171\n172\n");
        Form->stringGridLeft->selectionModel()->select(Form->stringGridLeft->model()->index(0, 0),
                                                       QItemSelectionModel::Select |
                                                           QItemSelectionModel::Rows);
        Dialogs.YesNoAnswers = {true};
        Form->SeriesCommands->actDeleteShot->trigger();
        // A shot received in the window's last half second is kept too.
        Form->Receiver().ReceiveText("173\n");
    }
    auto Form = Start();
    EXPECT_EQ(Speeds(Form->Shots()), (std::vector<double>{171, 172, 173}));
    // Shots of the last half second stay with the series cleared.
    Form->Receiver().ReceiveText("174\n");
    Dialogs.YesNoAnswers = {true};
    Form->btnClearClick();
    Receive(*Form, "180\n");
    const std::string File = Folder.File("pellet B.csv");
    std::ofstream(File) << "speed;speed_unit\n190;m/s\n191;m/s\n";
    Dialogs.YesNoAnswers = {true};
    // A shot received while the question is open goes with the file's shots, and only there.
    Dialogs.OnYesNo = [&] { Receive(*Form, "300\n"); };
    Dialogs.FileNames = {File};
    Form->btnLoadDataClick();
    Dialogs.OnYesNo = nullptr;
    EXPECT_EQ(Speeds(Form->Shots()), (std::vector<double>{300, 190, 191}));
    const auto Series = Library();
    ASSERT_EQ(Series.size(), 3U);
    EXPECT_TRUE(Series[0].first.starts_with("Series of ")) << Series[0].first;
    EXPECT_EQ(Series[0].second, (std::vector<double>{171, 172, 173, 174}));
    EXPECT_TRUE(Series[1].first.starts_with("Series of ")) << Series[1].first;
    EXPECT_EQ(Series[1].second, (std::vector<double>{180}));
    EXPECT_EQ(Series[2],
              (std::pair<std::string, std::vector<double>>{"pellet B", {300, 190, 191}}));
    // A series without shots is not kept, and one put away does not come back at the next start.
    Dialogs.YesNoAnswers = {true, true};
    Form->btnClearClick();
    Form->btnClearClick();
    Form.reset();
    Form = Start();
    EXPECT_TRUE(Form->Shots().empty());
    EXPECT_EQ(Library().size(), 3U);
}

// The library window, open beside the main window, follows the series being recorded.
TEST_F(MainFormLibraryTest, TheOpenLibraryWindowFollowsTheShots) {
    auto Form = Start();
    Receive(*Form, "170\n");
    Form->SeriesCommands->actShowLibrary->trigger();
    const auto* Library = Form->findChild<TFrmLibrary*>();
    ASSERT_NE(Library, nullptr);
    ASSERT_EQ(Library->Model().rowCount(), 1);
    EXPECT_EQ(Library->Model().Entry(0).ShotCount, 1U);
    Receive(*Form, "171\n172\n");
    EXPECT_EQ(Library->Model().Entry(0).ShotCount, 3U);
    Dialogs.YesNoAnswers = {true};
    Form->btnClearClick();
    Receive(*Form, "180\n");
    EXPECT_EQ(Library->Model().rowCount(), 2);
}

// While another TARVEX holds the library, a command that would put shots away it does not have
// yet refuses and keeps them; once free, it goes on.
TEST_F(MainFormLibraryTest, ABusyLibraryNeverCostsTheWindowAShot) {
    auto Form = Start();
    Receive(*Form, "170\n");
    {
        TSqliteDatabase Other(LibraryPath(), TSqliteDatabase::ReadWrite, std::chrono::seconds(1));
        const TSqliteTransaction Holding(Other);
        Receive(*Form, "171\n");
        EXPECT_TRUE(Form->lblWaiting->isVisible());
        EXPECT_TRUE(Form->lblWaiting->text().startsWith("One shot waits"))
            << Form->lblWaiting->text().toStdString();
        Receive(*Form, "172\n");
        EXPECT_TRUE(Form->lblWaiting->text().startsWith("2 shots wait for the series library"))
            << Form->lblWaiting->text().toStdString();
        Dialogs.YesNoAnswers = {true};
        Form->btnClear->click();
        ASSERT_EQ(Dialogs.Errors.size(), 1U);
        EXPECT_TRUE(Dialogs.Errors[0].starts_with("The series library is busy"))
            << Dialogs.Errors[0];
        EXPECT_EQ(Speeds(Form->Shots()), (std::vector<double>{170, 171, 172}));
    }
    EXPECT_TRUE(WaitUntil(
        [&] { return Form->lblWaiting->text().contains("are in the series library now"); }));
    Dialogs.YesNoAnswers = {true};
    Form->btnClearClick();
    EXPECT_TRUE(Form->Shots().empty());
    ASSERT_EQ(Library().size(), 1U);
    EXPECT_EQ(Library()[0].second, (std::vector<double>{170, 171, 172}));
}

// A library that takes no shots still shows its series, but the shots that only the window
// holds are replaced by one of them only after a question.
TEST_F(MainFormLibraryTest, OpeningFromALibraryThatTakesNoShotsAsksFirst) {
    std::filesystem::create_directories(Folder.File("data/tarvex"));
    {
        TSeriesStore Newer(LibraryPath());
        Newer.AppendShots(Newer.StartSeries("old"), {{"M/S", 150}}, 0);
    }
    TSqliteDatabase(LibraryPath(), TSqliteDatabase::ReadWrite, std::chrono::seconds(1))
        .Execute("PRAGMA application_id = 1414682200; PRAGMA user_version = 99");
    auto Form = Start();
    Receive(*Form, "175\n");
    Form->SeriesCommands->actShowLibrary->trigger();
    auto* Library = Form->findChild<TFrmLibrary*>();
    ASSERT_NE(Library, nullptr);
    Library->grdSeries->selectAll();
    for (const bool Answer : {false, true}) {
        Dialogs.Questions.clear();
        Dialogs.YesNoAnswers = {Answer};
        Library->btnOpenClick();
        EXPECT_EQ(Dialogs.Questions.size(), 1U);
        EXPECT_EQ(Speeds(Form->Shots()),
                  Answer ? std::vector<double>{150} : std::vector<double>{175});
    }
}

TEST_F(MainFormLibraryTest, ALibraryThatCannotBeUsedNeverStopsTheWindow) {
    const struct {
        const char* Case;
        std::function<void(const std::string& Library)> Spoil;
        // What the user is told, once.
        const char* Error;
        const char* Information;
    } Cases[] = {
        {"folder is a file",
         [](const std::string& Library) {
             std::filesystem::remove_all(std::filesystem::path(Library).parent_path());
             std::ofstream(std::filesystem::path(Library).parent_path()) << "in the way";
         },
         "The series library does not keep the shots any more.", nullptr},
        {"damaged",
         [](const std::string& Library) { std::ofstream(Library) << std::string(8192, 'x'); },
         nullptr, "was damaged"},
        {"newer",
         [](const std::string& Library) {
             TSqliteDatabase(Library, TSqliteDatabase::ReadWrite, std::chrono::seconds(1))
                 .Execute("PRAGMA application_id = 1414682200; PRAGMA user_version = 99");
         },
         nullptr, "written by a newer version"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Case);
        std::filesystem::remove_all(Folder.File("data"));
        std::filesystem::create_directories(Folder.File("data/tarvex"));
        C.Spoil(LibraryPath());
        Dialogs.Errors.clear();
        Dialogs.Informations.clear();
        auto Form = Start();
        Receive(*Form, "175\n176\n");
        Receive(*Form, "177\n");
        EXPECT_EQ(Form->stringGridLeft->RowCount(), 4);
        if (C.Error) {
            ASSERT_TRUE(WaitUntil([&] { return !Dialogs.Errors.empty(); }));
        }
        QCoreApplication::processEvents();
        ASSERT_EQ(Dialogs.Errors.size(), C.Error ? 1U : 0U);
        ASSERT_EQ(Dialogs.Informations.size(), C.Information ? 1U : 0U);
        if (C.Error) {
            EXPECT_TRUE(Dialogs.Errors[0].starts_with(C.Error)) << Dialogs.Errors[0];
        }
        if (C.Information) {
            EXPECT_NE(Dialogs.Informations[0].find(C.Information), std::string::npos);
        }
        Dialogs.FileNames = {Folder.File("saved.csv")};
        Form->btnSaveDataClick();
        EXPECT_EQ(tests::ReadFileText(Folder.File("saved.csv")).substr(0, 6), "speed;");
    }
}

// The chart's tools read the fill pressures noted in the library and show what they find in the
// display units; the report names the legal limit that applies.
TEST_F(MainFormLibraryTest, TheChartsToolsShowTheUsableShotsDriftAndHistogram) {
    auto Form = Start();
    // 180 m/s falling by 0.5 a shot: shots 1 to 7 lie within 3 m/s and within 10 fps.
    std::string Records;
    for (int Shot = 0; Shot < 10; ++Shot)
        Records += std::to_string(180 - 0.5 * Shot) + "\n";
    Receive(*Form, Records);
    {
        TSeriesStore Store(LibraryPath());
        Store.SetNotes(Store.ListSeries().front().Id,
                       TSeriesNotes{{}, {}, {}, {}, 200, 100, {}, {}});
    }
    TChartPanel& Panel = *Form->pnlMiddleBottom;
    TNiceChart& Chart = *Panel.chNiceChart;
    Panel.actUsableShots->trigger();
    Panel.actSpeedDrift->trigger();
    EXPECT_EQ(Chart.Band(), (TXBand{1, 7, "1", "7"}));
    ASSERT_TRUE(Chart.GuideLine());
    EXPECT_DOUBLE_EQ(Chart.GuideLine()->Y2, 175.5);
    EXPECT_EQ(Chart.Title(), "Usable shots: 7 (shots 1 to 7), extreme spread 3.0 m/s; usable from "
                             "about 200 to 130 bar\nSpeed falls by 5.0 m/s per 10 shots (95 % "
                             "interval 5.0 to 5.0)");
    Form->Settings().SetImperial();
    EXPECT_EQ(Form->Settings().UsableSpread(), 10) << "each unit system keeps its own";
    EXPECT_NE(Chart.Title().find("extreme spread 9.84 fps; usable from about 2901 to 1885 psi"),
              std::string::npos)
        << Chart.Title();

    Panel.sbEnergyChart->click();
    EXPECT_FALSE(Chart.GuideLine()) << "the line is drawn in speeds";
    Panel.actHistogram->trigger();
    ASSERT_EQ(Chart.GetSeries(0).Kind(), skBar);
    double Shots = 0;
    for (const TXYInfo& Bin : Chart.GetSeries(0).Values())
        Shots += Bin.Y;
    EXPECT_EQ(Shots, 10);
    EXPECT_EQ(Chart.AxisXTitle(), "Energy [fpe]");
    EXPECT_FALSE(Chart.Band());
    Panel.actHistogram->trigger();
    EXPECT_EQ(Chart.GetSeries(0).Values().size(), 10u);
    EXPECT_EQ(Chart.AxisXTitle(), "Shots");
    EXPECT_EQ(Chart.Band(), (TXBand{1, 7, "1", "7"}));

    // A law stays the same law in either unit system; a number of the shooter's own stays a number.
    Form->Settings().SetEnergyLimit(12);
    Form->Settings().SetMetric();
    EXPECT_NEAR(Form->Settings().EnergyLimit(), 16.2698153799768, 1e-12);
    Form->Settings().SetImperial();
    EXPECT_NEAR(Form->Settings().EnergyLimit(), 12, 1e-12);
    Form->Settings().SetSpeedLimit(250);
    Form->Settings().SetMetric();
    Form->Settings().SetImperial();
    EXPECT_EQ(Form->Settings().SpeedLimit(), 250);
    Dialogs.FileNames = {Folder.File("report.pdf")};
    Form->SeriesCommands->actPrintReport->trigger();
    const std::string Report = tests::PdfText(Folder.File("report.pdf"));
    for (const char* Fact :
         {"12 fpe (UK air rifle, 12 ft", "7 (1 to 7), ES 9.84 fps", "-16.4 fps per 10 shots"})
        EXPECT_NE(Report.find(Fact), std::string::npos) << Fact;
    EXPECT_EQ(Report.find("Trajectory"), std::string::npos) << "no BC is kept yet";

    // A series that keeps a BC has its trajectory on a page of its own, in the display units.
    {
        TSeriesStore Store(LibraryPath());
        Store.SetBallistics(Store.ListSeries().front().Id, {0.025, 0.045, 30.0});
    }
    Dialogs.FileNames = {Folder.File("report.pdf")};
    Form->SeriesCommands->actPrintReport->trigger();
    const std::string Trajectory = tests::PdfText(Folder.File("report.pdf"));
    for (const char* Fact : {"Trajectory", "Range [yd]", "Holdover [MOA]", "zero at 33 yd",
                             "Point-blank range for a 0.98 in kill zone"})
        EXPECT_NE(Trajectory.find(Fact), std::string::npos) << Fact;

    Dialogs.YesNoAnswers = {true};
    Form->btnClearClick();
    EXPECT_FALSE(Chart.Band()) << "nothing left of the cleared series";
    EXPECT_FALSE(Chart.ShowTitle());
}

} // namespace
