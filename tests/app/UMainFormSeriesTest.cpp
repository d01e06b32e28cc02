// The series commands of the main window as a user meets them: the spread strip, deleting shots,
// the time of a shot, copying rows, the spreadsheet export, the report, the chart picture and
// importing other chronographs' files.

#include "app/UChartPanel.h"
#include "app/UMainForm.h"
#include "app/USeriesCommands.h"
#include "app/UShotTable.h"
#include "app/UStatisticsPanel.h"
#include "chart/NiceChart.h"
#include "platform/HandlerGuard.h"
#include "tests/files/PdfReading.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScopedFormatSettings.h"
#include "tests/support/ScriptedDialogs.h"
#include "windows/FittingLabel.h"
#include "windows/UFrmLive.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

using TCsvRows = std::vector<std::vector<std::string>>;

// Reads CSV as a spreadsheet does: an optional byte-order mark, quoted fields with doubled
// quotes, CR LF or LF line ends.
TCsvRows ReadCsv(std::string Text, char Separator) {
    if (Text.rfind("\xEF\xBB\xBF", 0) == 0)
        Text.erase(0, 3);
    TCsvRows Rows(1, std::vector<std::string>(1));
    bool Quoted = false;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char Character = Text[i];
        if (Quoted && Character == '"' && i + 1 < Text.size() && Text[i + 1] == '"')
            Rows.back().back() += Text[++i];
        else if (Character == '"')
            Quoted = !Quoted;
        else if (!Quoted && Character == Separator)
            Rows.back().emplace_back();
        else if (!Quoted && Character == '\n')
            Rows.emplace_back(1);
        else if (Quoted || Character != '\r')
            Rows.back().back() += Character;
    }
    Rows.pop_back();
    return Rows;
}

class MainFormSeriesTest : public testing::Test {
protected:
    MainFormSeriesTest() {
        Form.show();
        Form.Receiver().Clock = [] { return platform::TLocalTime{2026, 12, 9, 14, 55, 3, 250}; };
    }

    // Records from the chronograph, shown at once.
    void Receive(const std::string& Records) {
        Form.Receiver().ReceiveText(Records);
        Form.RecalculateNow();
    }

    void SelectRows(const std::vector<int>& Rows) {
        Form.stringGridLeft->clearSelection();
        for (const int Row : Rows)
            Form.stringGridLeft->selectionModel()->select(
                Form.stringGridLeft->model()->index(Row - 1, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    void Run(QAction* Action) { Action->trigger(); }

    std::vector<std::string> Column(int Index) const {
        std::vector<std::string> Texts;
        for (int Row = 1; Row < Form.stringGridLeft->RowCount(); ++Row)
            Texts.push_back(Form.stringGridLeft->CellText(Index, Row));
        return Texts;
    }

    std::string Spread() const { return Form.pnlMiddleBottom->lblSpreadText->text().toStdString(); }

    // Exports the series to FileName and reads it back as a spreadsheet would.
    TCsvRows Export(const std::string& FileName, char Separator) {
        Dialogs.FileNames = {FileName};
        Run(Form.SeriesCommands->actExportSpreadsheet);
        return ReadCsv(tests::ReadFileText(FileName), Separator);
    }

    TScopedFormatSettings Point{"."};
    tests::TTempFolder Folder;
    TScopedEnvironment DataFolder{"XDG_CONFIG_HOME", Folder.Path().string()};
    TScopedEnvironment LibraryFolder{"XDG_DATA_HOME", Folder.File("data")};
    TScriptedDialogs Dialogs;
    TMainForm Form{{}};
};

using TStrings = std::vector<std::string>;

TEST_F(MainFormSeriesTest, SpreadStripShowsExtremeSpreadAndDeviation) {
    EXPECT_EQ(Spread(), "ES \u2013\u2013  SD \u2013\u2013 m/s\nES \u2013\u2013  SD \u2013\u2013 J");
    Receive("175\n");
    EXPECT_EQ(Spread(), "ES \u2013\u2013  SD \u2013\u2013 m/s\nES \u2013\u2013  SD \u2013\u2013 J");
    Receive("170\n180\n");
    EXPECT_EQ(Spread(), "ES 10.00  SD 5.00 m/s\nES 0.96  SD 0.48 J");
    // The pellet weight keeps its number, now in grains.
    Form.Settings().SetImperial();
    EXPECT_EQ(Spread(), "ES 32.81  SD 16.40 fps\nES 0.05  SD 0.02 fpe");
    Form.Settings().SetLanguage(LANG_GERMAN);
    EXPECT_EQ(Spread(), "ES 32.81  SA 16.40 fps\nES 0.05  SA 0.02 fpe");
    EXPECT_NE(
        Form.pnlMiddleBottom->lblSpreadText->toolTip().toStdString().find("Standardabweichung"),
        std::string::npos);
}

TEST_F(MainFormSeriesTest, DeletingShotsRenumbersAndRecalculates) {
    Receive("170\n171\n172\n173\n174\n175\n");
    Dialogs.YesNoAnswers = {true, true, true, true};
    SelectRows({1});
    Run(Form.SeriesCommands->actDeleteShot);
    EXPECT_EQ(Column(1), (TStrings{"171.00", "172.00", "173.00", "174.00", "175.00"}));
    SelectRows({3});
    Run(Form.SeriesCommands->actDeleteShot);
    SelectRows({4});
    Run(Form.SeriesCommands->actDeleteShot);
    EXPECT_EQ(Column(0), (TStrings{"1", "2", "3"}));
    EXPECT_EQ(Column(1), (TStrings{"171.00", "172.00", "174.00"}));
    EXPECT_EQ(Form.gbStatistics->lblShotsValue->text(), "3");
    EXPECT_EQ(Form.gbStatistics->lblMAXSpeedValue->text(), "174.00");
    SelectRows({1, 3});
    Run(Form.SeriesCommands->actDeleteShot);
    EXPECT_EQ(Column(1), (TStrings{"172.00"}));
    EXPECT_EQ(Form.gbStatistics->lblAVGSpeedValue->text(), "172.00");
    EXPECT_EQ(Form.pnlMiddleBottom->chNiceChart->GetSeries(0).Values().size(), 2u);
    EXPECT_EQ(Dialogs.Questions, (TStrings{"Do you really want to delete shot 1?",
                                           "Do you really want to delete shot 3?",
                                           "Do you really want to delete shot 4?",
                                           "Do you really want to delete shots 1, 3?"}));
}

// Every shot that stays keeps its speed, its own unit and its time, wherever the deleted ones
// were; the table shows the kept shots converted to the display unit.
TEST_F(MainFormSeriesTest, DeletingLeavesEveryOtherShotAsItWas) {
    const std::vector<std::vector<int>> Deletions = {
        {1}, {3}, {6}, {2, 4, 5}, {1, 2, 3, 4, 5}, {2, 3, 4, 5, 6}};
    Form.Settings().SetImperial();
    for (const std::vector<int>& Rows : Deletions) {
        int Second = 0;
        Form.Receiver().Clock = [&] {
            return platform::TLocalTime{2026, 12, 9, 14, 55, ++Second, 0};
        };
        Receive("170;m/s\n560;fps\n171;m/s\n172;m/s\n565;fps\n173;m/s\n");
        std::vector<TData> Kept;
        for (int Row = 1; Row <= 6; ++Row)
            if (std::find(Rows.begin(), Rows.end(), Row) == Rows.end())
                Kept.push_back(Form.Shots()[static_cast<std::size_t>(Row - 1)]);
        Dialogs.YesNoAnswers = {true, true};
        SelectRows(Rows);
        Run(Form.SeriesCommands->actDeleteShot);
        ASSERT_EQ(Form.Shots().size(), Kept.size()) << Rows.size();
        for (std::size_t i = 0; i < Kept.size(); ++i) {
            const TData& Shot = Form.Shots()[i];
            EXPECT_EQ(Shot.Speed(), Kept[i].Speed()) << Rows.front() << " " << i;
            EXPECT_EQ(Shot.SpeedUnit(), Kept[i].SpeedUnit()) << Rows.front() << " " << i;
            EXPECT_EQ(ReceivedText(Shot), ReceivedText(Kept[i])) << Rows.front() << " " << i;
            EXPECT_EQ(Form.stringGridLeft->CellText(1, static_cast<int>(i) + 1),
                      FormatValue(Kept[i].SpeedIn("fps")));
        }
        Form.btnClearClick();
    }
}

TEST_F(MainFormSeriesTest, QuestionNamesRunsOfShots) {
    Receive("170\n171\n172\n173\n174\n175\n176\n");
    SelectRows({2, 3, 4, 5, 7});
    Run(Form.SeriesCommands->actDeleteShot);
    EXPECT_EQ(Dialogs.Questions.at(0), "Do you really want to delete shots 2\u20135, 7?");
    Form.Settings().SetLanguage(LANG_CZECH);
    SelectRows({6, 7});
    Run(Form.SeriesCommands->actDeleteShot);
    EXPECT_EQ(Dialogs.Questions.at(1), "Opravdu chcete smazat výstřely 6, 7?");
}

TEST_F(MainFormSeriesTest, AnsweringNoOrSelectingNothingDeletesNothing) {
    Receive("170\n175\n180\n");
    SelectRows({2});
    Dialogs.YesNoAnswers = {false};
    Run(Form.SeriesCommands->actDeleteShot);
    EXPECT_EQ(Form.Shots().size(), 3u);
    EXPECT_EQ(Column(1), (TStrings{"170.00", "175.00", "180.00"}));
    Form.stringGridLeft->clearSelection();
    Run(Form.SeriesCommands->actDeleteShot);
    EXPECT_EQ(Dialogs.Questions.size(), 1u);
    // The one empty row of an empty table holds no shot to delete.
    Dialogs.YesNoAnswers = {true};
    Form.btnClearClick();
    SelectRows({1});
    Run(Form.SeriesCommands->actDeleteShot);
    EXPECT_EQ(Dialogs.Questions.size(), 2u);
}

TEST_F(MainFormSeriesTest, TheLiveReadOutKeepsItsShotUntilTheNextOne) {
    Receive("170\n175\n");
    Form.btnLiveClick();
    Form.RecalculateNow();
    const TFrmLive* Live = Form.findChild<TFrmLive*>();
    ASSERT_NE(Live, nullptr);
    EXPECT_EQ(Live->lblShoot->text().trimmed(), "2.");
    SelectRows({2});
    Dialogs.YesNoAnswers = {true};
    Run(Form.SeriesCommands->actDeleteShot);
    EXPECT_EQ(Live->lblShoot->text().trimmed(), "2.");
    EXPECT_EQ(Form.Shots().size(), 1u);
    Receive("181\n");
    EXPECT_EQ(Live->lblShoot->text().trimmed(), "2.");
    EXPECT_NE(Live->lblSpeed->text().toStdString().find("181"), std::string::npos);
}

TEST_F(MainFormSeriesTest, AShotFiredAroundADeletionReachesTheLiveReadOut) {
    Receive("170\n175\n");
    Form.btnLiveClick();
    Form.RecalculateNow();
    const TFrmLive* Live = Form.findChild<TFrmLive*>();
    ASSERT_NE(Live, nullptr);
    // Fired just before the question: not yet shown when the row was chosen.
    Form.Receiver().ReceiveText("181.5\n");
    SelectRows({1});
    Dialogs.YesNoAnswers = {true};
    Run(Form.SeriesCommands->actDeleteShot);
    EXPECT_NE(Live->lblSpeed->text().toStdString().find("181"), std::string::npos);
    // Fired while the question is open.
    Dialogs.OnYesNo = [&] { Form.Receiver().ReceiveText("190.25\n"); };
    Dialogs.YesNoAnswers = {true};
    SelectRows({1});
    Run(Form.SeriesCommands->actDeleteShot);
    EXPECT_EQ(Form.Shots().size(), 2u);
    EXPECT_NE(Live->lblSpeed->text().toStdString().find("190"), std::string::npos);
    EXPECT_EQ(Live->lblShoot->text().trimmed(), "2.");
}

// Opened during a series, the read-out shows the last shot at once, coloured by the limits; only
// an empty series shows placeholders.
TEST_F(MainFormSeriesTest, LiveReadOutOpensWithTheLastShot) {
    Form.Settings().SetSpeedLimit(180);
    const struct {
        const char* Records;
        const char* Shot;
        const char* Speed;
        bool Red;
    } Cases[] = {
        {"", "---.", "---,-- m/s", false},
        {"170\n171\n172\n173\n174\n175\n176\n177\n178\n181.5\n", "10.", "181.50 m/s", true},
        {"179\n", "11.", "179.00 m/s", false},
    };
    for (const auto& Case : Cases) {
        Receive(Case.Records);
        Form.btnLiveClick();
        const auto Lives = Form.findChildren<TFrmLive*>();
        const TFrmLive* Live = Lives.back();
        EXPECT_EQ(Live->lblShoot->text().trimmed().toStdString(), Case.Shot);
        EXPECT_EQ(Live->lblSpeed->text().toStdString(), Case.Speed);
        EXPECT_EQ(Live->lblSpeed->palette().color(QPalette::WindowText) == Qt::red, Case.Red)
            << Case.Shot;
    }
}

TEST_F(MainFormSeriesTest, KeysDeleteCopyAndImport) {
    Receive("170\n175\n180\n");
    QApplication::setActiveWindow(&Form);
    Form.stringGridLeft->setFocus();
    SelectRows({2});
    QTest::keyClick(Form.stringGridLeft, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "2\t175.00\t8.38\n");
    Dialogs.YesNoAnswers = {true};
    QTest::keyClick(Form.stringGridLeft, Qt::Key_Delete);
    EXPECT_EQ(Column(1), (TStrings{"170.00", "180.00"}));
    QTest::keyClick(&Form, Qt::Key_I, Qt::ControlModifier);
    ASSERT_EQ(Dialogs.FileDialogs.size(), 1u);
    EXPECT_EQ(Dialogs.FileDialogs[0].Kind, platform::TFileDialogKind::Open);
}

TEST_F(MainFormSeriesTest, ExportsAskBeforeReplacingAFileSavingDoesNot) {
    for (QAction* Action :
         {Form.SeriesCommands->actExportSpreadsheet, Form.SeriesCommands->actPrintReport,
          Form.SeriesCommands->actSaveChartPicture})
        Run(Action);
    Form.btnSaveDataClick();
    ASSERT_EQ(Dialogs.FileDialogs.size(), 4u);
    const std::string Filters[] = {"*.csv", "*.pdf", "*.png"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Dialogs.FileDialogs[i].Kind, platform::TFileDialogKind::Export);
        EXPECT_EQ(Dialogs.FileDialogs[i].Filter, Filters[i]);
    }
    EXPECT_EQ(Dialogs.FileDialogs[3].Kind, platform::TFileDialogKind::Save);
}

TEST_F(MainFormSeriesTest, TheReadOutUnderARestingMouseFollowsTheShots) {
    Receive("170\n171\n172\n173\n");
    const TXYInfo& Third = Form.pnlMiddleBottom->chNiceChart->GetSeries(0).Values()[2];
    const QPoint Saved = QCursor::pos();
    const std::unique_ptr<void, std::function<void(void*)>> PutBack(
        &Form, [Saved](void*) { QCursor::setPos(Saved); });
    QCursor::setPos(
        Form.pnlMiddleBottom->chNiceChart->mapToGlobal(QPoint(Third.ScreenX, Third.ScreenY)));
    Form.RecalculateNow();
    const auto ReadOut = [&] { return Form.pnlMiddleBottom->lblChartText->text().toStdString(); };
    EXPECT_EQ(ReadOut(), "Shot: 3; Speed: 172.00 m/s; Energy: 8.09 J");
    // Three shots spread over the same width: two thirds across is now the second.
    SelectRows({3});
    Dialogs.YesNoAnswers = {true, true};
    Run(Form.SeriesCommands->actDeleteShot);
    EXPECT_EQ(ReadOut(), "Shot: 2; Speed: 171.00 m/s; Energy: 8.00 J");
    Form.btnClearClick();
    EXPECT_EQ(ReadOut(), "");
    Receive("175\n176\n");
    EXPECT_EQ(ReadOut(), "Shot: 2; Speed: 176.00 m/s; Energy: 8.47 J");
    // A pointer that has left the chart reads out nothing.
    QCursor::setPos(Form.mapToGlobal(QPoint(5, 5)));
    Form.RecalculateNow();
    EXPECT_EQ(ReadOut(), "");
}

TEST_F(MainFormSeriesTest, AReceivedShotKnowsItsTimeALoadedOneDoesNot) {
    Receive("175;m/s\n");
    EXPECT_EQ(Form.stringGridLeft->CellHint(1, 1), "175.00\nReceived: 2026-12-09 14:55:03");
    EXPECT_EQ(Form.stringGridLeft->CellHint(0, 1), "1\nReceived: 2026-12-09 14:55:03");
    EXPECT_EQ(Form.stringGridLeft->CellHint(1, 0), "Speed [m/s]");
    Form.Settings().SetLanguage(LANG_GERMAN);
    EXPECT_EQ(Form.stringGridLeft->CellHint(2, 1), "8.38\nEmpfangen: 2026-12-09 14:55:03");
    const std::string FileName = Folder.File("loaded.csv");
    tests::WriteFileText(FileName, "176.5;m/s\n");
    Dialogs.YesNoAnswers = {true};
    Dialogs.FileNames = {FileName};
    Form.btnLoadDataClick();
    EXPECT_EQ(Form.stringGridLeft->CellHint(1, 1), "176.50");
}

TEST_F(MainFormSeriesTest, CopyPutsTheSelectedRowsOnTheClipboard) {
    Receive("170\n175\n180\n");
    QGuiApplication::clipboard()->setText("before");
    SelectRows({3, 1});
    Run(Form.SeriesCommands->actCopyShots);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              "1\t170.00\t7.90\n3\t180.00\t8.86\n");
    Form.stringGridLeft->clearSelection();
    Run(Form.SeriesCommands->actCopyShots);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              "1\t170.00\t7.90\n3\t180.00\t8.86\n");
    EXPECT_EQ(Form.SeriesCommands->actCopyShots->shortcut(), QKeySequence(QKeySequence::Copy));
    EXPECT_EQ(Form.SeriesCommands->actDeleteShot->shortcut(), QKeySequence(QKeySequence::Delete));
}

TEST_F(MainFormSeriesTest, ExportOpensInASpreadsheetInBothConventions) {
    Receive("170\n175\n180\n");
    const std::string FileName = Folder.File("export.csv");
    const TCsvRows Rows = Export(FileName, ',');
    ASSERT_EQ(Rows.size(), 12u);
    EXPECT_EQ(Rows[0], (TStrings{"Shot", "Time", "Speed [m/s]", "Difference from mean [m/s]",
                                 "Energy [J]"}));
    EXPECT_EQ(Rows[1], (TStrings{"1", "2026-12-09 14:55:03", "170.00", "-5.00", "7.90"}));
    EXPECT_EQ(Rows[3], (TStrings{"3", "2026-12-09 14:55:03", "180.00", "5.00", "8.86"}));
    EXPECT_EQ(Rows[4], (TStrings{""}));
    EXPECT_EQ(Rows[5], (TStrings{"Shots", "3"}));
    EXPECT_EQ(Rows[6], (TStrings{"Maximum", "", "180.00", "", "8.86"}));
    EXPECT_EQ(Rows[7], (TStrings{"Mean", "", "175.00", "", "8.38"}));
    EXPECT_EQ(Rows[8], (TStrings{"Minimum", "", "170.00", "", "7.90"}));
    EXPECT_EQ(Rows[9], (TStrings{"Extreme spread", "", "10.00", "", "0.96"}));
    EXPECT_EQ(Rows[10], (TStrings{"Standard deviation", "", "5.00", "", "0.48"}));
    EXPECT_EQ(Rows[11], (TStrings{"Pelet Weight [g]", "0.547"}));

    const TScopedFormatSettings Comma(",");
    Form.Settings().SetLanguage(LANG_CZECH);
    const TCsvRows Czech = Export(FileName, ';');
    ASSERT_EQ(Czech.size(), 12u);
    EXPECT_EQ(Czech[0][2], "Rychlost [m/s]");
    EXPECT_EQ(Czech[1], (TStrings{"1", "2026-12-09 14:55:03", "170,00", "-5,00", "7,90"}));
    EXPECT_EQ(Czech[11], (TStrings{"Hmotnost střely [g]", "0,547"}));
}

TEST_F(MainFormSeriesTest, ExportOfOneShotLeavesTheSpreadEmpty) {
    const TScopedFormatSettings Comma(",");
    Receive("175,5\n");
    const TCsvRows Rows = Export(Folder.File("one.csv"), ';');
    ASSERT_EQ(Rows.size(), 10u);
    EXPECT_EQ(Rows[1], (TStrings{"1", "2026-12-09 14:55:03", "175,50", "0,00", "8,42"}));
    EXPECT_EQ(Rows[7], (TStrings{"Extreme spread", "", "", "", ""}));
    Dialogs.FileNames = {std::nullopt};
    Run(Form.SeriesCommands->actExportSpreadsheet);
    EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(MainFormSeriesTest, ReportHoldsStatisticsAndEveryShotOverSeveralPages) {
    std::string Records;
    for (int Shot = 1; Shot <= 200; ++Shot)
        Records += std::to_string(150 + Shot % 50) + "." + std::to_string(Shot % 10) + "\n";
    Receive(Records);
    const std::string FileName = Folder.File("report.pdf");
    Dialogs.FileNames = {FileName};
    Run(Form.SeriesCommands->actPrintReport);
    ASSERT_TRUE(Dialogs.Errors.empty()) << Dialogs.Errors.front();
    EXPECT_GT(tests::PageCount(FileName), 1);
    const std::string Text =
        QString::fromStdString(tests::PdfText(FileName)).simplified().toStdString();
    for (const std::string& Expected :
         {std::string("TARVEX shot report"),
          Form.gbStatistics->lblMAXSpeedValue->text().toStdString(),
          Form.gbStatistics->lblAVGSpeedValue->text().toStdString(),
          Form.gbStatistics->lblMINEnergyValue->text().toStdString(),
          std::string("Standard deviation"), std::string("Pelet Weight [g] 0.547"),
          std::string("Page 2 of")})
        EXPECT_NE(Text.find(Expected), std::string::npos) << Expected;
    for (int Row = 1; Row <= 200; ++Row) {
        const std::string Shot =
            std::to_string(Row) + " 2026-12-09 14:55:03 " + Form.stringGridLeft->CellText(1, Row);
        EXPECT_NE(Text.find(Shot), std::string::npos) << Shot;
    }
}

// A series of twenty, as most are, is kept on one sheet with its chart.
TEST_F(MainFormSeriesTest, ReportOfTwentyShotsFitsOnePage) {
    std::string Records;
    for (int Shot = 1; Shot <= 20; ++Shot)
        Records += std::to_string(170 + Shot % 7) + ".25\n";
    Receive(Records);
    const std::string FileName = Folder.File("twenty.pdf");
    Dialogs.FileNames = {FileName};
    Run(Form.SeriesCommands->actPrintReport);
    EXPECT_EQ(tests::PageCount(FileName), 1);
    EXPECT_NE(tests::PdfText(FileName).find("Page 1 of 1"), std::string::npos);
}

TEST_F(MainFormSeriesTest, ReportAndPictureIncludeAShotJustReceived) {
    Receive("170\n");
    Form.Receiver().ReceiveText("187.25\n");
    ASSERT_TRUE(Form.recalculateTimer->isActive());
    const std::string Report = Folder.File("report.pdf"), Picture = Folder.File("chart.png");
    Dialogs.FileNames = {Report, Picture};
    Run(Form.SeriesCommands->actPrintReport);
    EXPECT_NE(tests::PdfText(Report).find("187.25"), std::string::npos);
    Run(Form.SeriesCommands->actSaveChartPicture);
    const QImage Image(QString::fromStdString(Picture));
    EXPECT_EQ(Image.size(), Form.pnlMiddleBottom->chNiceChart->size());
    EXPECT_EQ(Form.pnlMiddleBottom->chNiceChart->GetSeries(0).Values().size(), 2u);
}

TEST_F(MainFormSeriesTest, ChartMenuOffersReportAndPicture) {
    const QList<QAction*> Chart = Form.pnlMiddleBottom->chNiceChart->actions();
    EXPECT_TRUE(Chart.contains(Form.SeriesCommands->actPrintReport));
    EXPECT_TRUE(Chart.contains(Form.SeriesCommands->actSaveChartPicture));
    const QList<QAction*> Table = Form.stringGridLeft->actions();
    for (QAction* Action :
         {Form.SeriesCommands->actDeleteShot, Form.SeriesCommands->actCopyShots,
          Form.SeriesCommands->actImport, Form.SeriesCommands->actExportSpreadsheet,
          Form.SeriesCommands->actPrintReport, Form.SeriesCommands->actSaveChartPicture})
        EXPECT_TRUE(Table.contains(Action)) << Action->text().toStdString();
    Form.Settings().SetLanguage(LANG_CZECH);
    EXPECT_EQ(Form.SeriesCommands->actPrintReport->text().toStdString(), "Tisk protokolu\u2026");
    EXPECT_EQ(Form.SeriesCommands->actImport->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
}

std::string Sample(const std::string& Name) {
    return std::string(TARVEX_IMPORT_SAMPLES) + "/" + Name;
}

TEST_F(MainFormSeriesTest, ImportReplacesTheSeriesInTheUnitsShown) {
    Receive("170\n");
    Dialogs.FileNames = {Sample("radar-export.csv")};
    Dialogs.YesNoAnswers = {true};
    Run(Form.SeriesCommands->actImport);
    ASSERT_TRUE(Dialogs.Errors.empty()) << Dialogs.Errors.front();
    EXPECT_EQ(Dialogs.Questions, (TStrings{"Do you really want to clear all values?"}));
    // The radar's speeds are in fps; the window shows m/s.
    EXPECT_EQ(Column(1), (TStrings{"274.74", "273.72", "275.44", "274.29", "274.48"}));
    EXPECT_EQ(Form.stringGridLeft->CellHint(1, 1), "274.74");
    EXPECT_EQ(Dialogs.Informations, (TStrings{"Shots imported: 5; lines skipped: 6."}));
    Form.Settings().SetImperial();
    EXPECT_EQ(Form.stringGridLeft->CellText(1, 1), "901.37");
}

TEST_F(MainFormSeriesTest, ImportThatFailsOrIsDeclinedLeavesTheSeries) {
    Receive("170\n175\n");
    const std::string Garbage = Folder.File("garbage.csv");
    tests::WriteFileText(Garbage, std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff;,\t", 20));
    Dialogs.FileNames = {Sample("no-speed-column.csv"), Garbage, Sample("czech.csv")};
    Dialogs.YesNoAnswers = {false};
    for (int Attempt = 0; Attempt < 3; ++Attempt)
        RunGuarded(&Form, [&] { Run(Form.SeriesCommands->actImport); });
    EXPECT_EQ(Column(1), (TStrings{"170.00", "175.00"}));
    ASSERT_EQ(Dialogs.Errors.size(), 2u);
    EXPECT_EQ(Dialogs.Errors[0],
              "No column of speeds was found in " + Sample("no-speed-column.csv") + ".");
    EXPECT_EQ(Dialogs.Errors[1], "No column of speeds was found in " + Garbage + ".");
    EXPECT_EQ(Dialogs.Questions.size(), 1u);
    EXPECT_TRUE(Dialogs.Informations.empty());
    Form.Settings().SetLanguage(LANG_GERMAN);
    Dialogs.FileNames = {Sample("no-speed-column.csv")};
    Run(Form.SeriesCommands->actImport);
    EXPECT_EQ(Dialogs.Errors.at(2), "In " + Sample("no-speed-column.csv") +
                                        " wurde keine Spalte mit Geschwindigkeiten gefunden.");
}

TEST_F(MainFormSeriesTest, ExportedSeriesImportsBackAndSavesInTheNativeFormat) {
    for (const char* Decimal : {".", ","}) {
        const TScopedFormatSettings Separator(Decimal);
        Dialogs.YesNoAnswers = {true};
        Form.btnClearClick();
        Receive("170.25\n175.5\n180\n");
        const std::string Export = Folder.File("export.csv"), Native = Folder.File("native.csv");
        Dialogs.FileNames = {Export, Export, Native};
        Dialogs.YesNoAnswers = {true};
        Run(Form.SeriesCommands->actExportSpreadsheet);
        Run(Form.SeriesCommands->actImport);
        ASSERT_TRUE(Dialogs.Errors.empty()) << Dialogs.Errors.front();
        EXPECT_EQ(Dialogs.Informations.back(), "Shots imported: 3; lines skipped: 7.");
        EXPECT_EQ(Form.Shots().size(), 3u);
        EXPECT_EQ(Form.Shots()[1].Speed(), 175.5);
        Form.btnSaveDataClick();
        EXPECT_EQ(tests::ReadFileText(Native),
                  "speed;speed_unit;energy;energy_unit;pelet_weight;pelet_weight_unit\r\n"
                  "170.25;m/s;7.93;J;0.547;g\r\n"
                  "175.50;m/s;8.42;J;0.547;g\r\n"
                  "180.00;m/s;8.86;J;0.547;g\r\n")
            << Decimal;
    }
}

} // namespace

// A series stops at a million shots: a larger file is refused whole, by Load data and by Import,
// leaving the series as it was, and a shot received into a full series is dropped, the user told
// once.
TEST_F(MainFormSeriesTest, SeriesHoldsAtMostAMillionShots) {
    const std::string Full = Folder.File("full.csv"), TooMany = Folder.File("too-many.csv");
    std::string Lines = "speed\n";
    for (std::size_t i = 0; i < TSeries::MaxShots; ++i)
        Lines += "175.5\n";
    tests::WriteFileText(Full, Lines);
    tests::WriteFileText(TooMany, Lines + "176\n");
    Receive("170\n");
    Dialogs.YesNoAnswers = {true, true};
    Dialogs.FileNames = {TooMany};
    Run(Form.SeriesCommands->actImport);
    Dialogs.FileNames = {TooMany, Full};
    RunGuarded(&Form, [&] { Form.btnLoadDataClick(); });
    ASSERT_EQ(Dialogs.Errors.size(), 2u);
    EXPECT_EQ(Dialogs.Errors[0], TooMany + " holds more shots than a series can (1000000): "
                                           "nothing was read.");
    EXPECT_EQ(Form.Shots().size(), 1u);
    RunGuarded(&Form, [&] { Form.btnLoadDataClick(); });
    EXPECT_EQ(Form.Shots().size(), TSeries::MaxShots);
    EXPECT_EQ(Form.stringGridLeft->RowCount(), static_cast<int>(TSeries::MaxShots) + 1);
    // The numbers of such a series stay whole.
    EXPECT_GT(Form.stringGridLeft->ColumnWidth(0),
              Form.stringGridLeft->fontMetrics().horizontalAdvance("1000000"));
    Receive("176\n177\n");
    QCoreApplication::processEvents();
    EXPECT_EQ(Form.Shots().size(), TSeries::MaxShots);
    ASSERT_EQ(Dialogs.Errors.size(), 3u);
    EXPECT_NE(Dialogs.Errors[2].find("as many as it can"), std::string::npos);
}

// Loading replaces the shots the user agreed to clear; a shot received meanwhile stays, ahead of
// the file's, and a load given up at the file dialog leaves the series as it was.
TEST_F(MainFormSeriesTest, LoadingKeepsShotsReceivedMeanwhile) {
    const std::string File = Folder.File("two.csv");
    tests::WriteFileText(File, "175\n176\n");
    Receive("170\n171\n");
    Dialogs.OnYesNo = [&] { Form.Receiver().ReceiveText("190\n"); };
    Dialogs.YesNoAnswers = {true, true};
    Dialogs.FileNames = {File};
    RunGuarded(&Form, [&] { Form.btnLoadDataClick(); });
    EXPECT_EQ(Column(1), (TStrings{"190.00", "175.00", "176.00"}));
    Dialogs.OnYesNo = nullptr;
    RunGuarded(&Form, [&] { Form.btnLoadDataClick(); });
    EXPECT_EQ(Form.Shots().size(), 3u);
    EXPECT_TRUE(Dialogs.Errors.empty());
}
