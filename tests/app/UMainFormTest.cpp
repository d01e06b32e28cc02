// The main window as a user meets it, offscreen, with scripted dialogs, its data folder in a
// temporary folder, and a pseudo-terminal standing in for the chronograph.

#include "app/UMainForm.h"

#include "app/UChartPanel.h"
#include "app/UConnectionPanel.h"
#include "app/UPeletWeightBox.h"
#include "app/UShotTable.h"
#include "app/UStatisticsPanel.h"
#include "chart/NiceChart.h"
#include "platform/HandlerGuard.h"
#include "platform/PseudoTerminal.h"
#include "serial/CPortCtl.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScopedFormatSettings.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/WaitUntil.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

std::string Text(const QLabel* Label) {
    return Label->text().toStdString();
}

// Points the data folder at a temporary folder for one test.
class TScopedDataFolder {
public:
    TScopedDataFolder() {
        const char* Saved = std::getenv("XDG_CONFIG_HOME");
        FSaved = Saved ? std::optional<std::string>(Saved) : std::nullopt;
        setenv("XDG_CONFIG_HOME", FFolder.Path().c_str(), 1);
    }
    ~TScopedDataFolder() {
        FSaved ? setenv("XDG_CONFIG_HOME", FSaved->c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    }
    std::string File(const std::string& Name) const { return FFolder.File("tarvex/" + Name); }
    std::string Folder() const { return FFolder.File("tarvex"); }

private:
    tests::TTempFolder FFolder;
    std::optional<std::string> FSaved;
    // The series library goes with the folder too.
    TScopedEnvironment FLibraryFolder{"XDG_DATA_HOME", FFolder.File("data")};
};

class MainFormTest : public testing::Test {
protected:
    std::unique_ptr<TMainForm> Start(const std::vector<std::string>& Arguments = {}) {
        // The display follows at once, not half a second after the last shot.
        auto Form = std::make_unique<TMainForm>(Arguments, std::chrono::milliseconds(1));
        Form->show();
        return Form;
    }

    void WriteSettings(const std::string& Text) {
        std::filesystem::create_directories(Data.Folder());
        tests::WriteFileText(Data.File("settings.ini"), Text);
    }

    // Shots as the chronograph sends them, shown once the display has followed.
    void Receive(TMainForm& Form, const std::string& Records, std::size_t Shots) {
        Form.Receiver().ReceiveText(Records);
        ASSERT_EQ(Form.Shots().size(), Shots);
        ASSERT_TRUE(Form.recalculateTimer->isActive());
        ASSERT_TRUE(WaitUntil([&] { return !Form.recalculateTimer->isActive(); }));
    }

    TScopedDataFolder Data;
    TScriptedDialogs Dialogs;
    TScopedFormatSettings Point{"."};
};

TEST_F(MainFormTest, ShotsFromTheChronographReachTableStatisticsAndChart) {
    platform::TPseudoTerminal Device;
    auto Form = Start();
    Form->pnlConnection->ComPort().SetPort(Device.SlavePath());
    Form->pnlConnection->ComPort().OpenPort();
    EXPECT_EQ(Form->pnlConnection->btnConnectToCOM->text(), "Disconnect");
    Device.Write("170;m/s\r\n175.0;m/s\r\n180;M/S\r\n");
    ASSERT_TRUE(WaitUntil([&] { return Text(Form->gbStatistics->lblShotsValue) == "3"; }));
    EXPECT_EQ(Form->stringGridLeft->RowCount(), 4);
    EXPECT_EQ(Form->stringGridLeft->CellText(1, 2), "175.00");
    EXPECT_EQ(Form->stringGridLeft->CellText(2, 2), "8.38");
    EXPECT_EQ(Text(Form->gbStatistics->lblMAXSpeedValue), "180.00");
    EXPECT_EQ(Text(Form->gbStatistics->lblAVGSpeedValue), "175.00");
    EXPECT_EQ(Text(Form->gbStatistics->lblMINSpeedValue), "170.00");
    EXPECT_EQ(Text(Form->gbStatistics->lblMAXSpeedDiffValue), "5.00");
    EXPECT_EQ(Text(Form->gbStatistics->lblMINSpeedDiffValue), "-5.00");
    ASSERT_EQ(Form->pnlMiddleBottom->chNiceChart->SeriesCount(), 1);
    EXPECT_EQ(Form->pnlMiddleBottom->chNiceChart->GetSeries(0).Values().size(), 3u);
    EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(MainFormTest, LosingTheChronographShowsConnectAgainAndTellsTheUser) {
    platform::TPseudoTerminal Device;
    auto Form = Start();
    Form->pnlConnection->ComPort().SetPort(Device.SlavePath());
    Form->pnlConnection->ComPort().OpenPort();
    Device.CloseMaster();
    ASSERT_TRUE(WaitUntil([&] { return !Form->pnlConnection->ComPort().Connected(); }));
    EXPECT_EQ(Form->pnlConnection->btnConnectToCOM->text(), "Connect");
    EXPECT_EQ(Dialogs.Errors.size(), 1u);
}

TEST_F(MainFormTest, StatisticsOfOneShotAndOfNone) {
    auto Form = Start();
    EXPECT_EQ(Form->stringGridLeft->RowCount(), 2);
    EXPECT_EQ(Form->stringGridLeft->CellText(1, 1), "");
    EXPECT_EQ(Text(Form->gbStatistics->lblShotsValue), "0");
    EXPECT_EQ(Text(Form->gbStatistics->lblMAXSpeedValue), "\u2013\u2013\u2013\u2013. \u2013\u2013");
    EXPECT_EQ(Text(Form->gbStatistics->lblMINEnergyDiffValue), "\u2013\u2013. \u2013\u2013");
    EXPECT_EQ(Form->pnlMiddleBottom->chNiceChart->SeriesCount(), 0);
    Receive(*Form, "175.5\n", 1);
    EXPECT_EQ(Text(Form->gbStatistics->lblMAXSpeedValue), "175.50");
    EXPECT_EQ(Text(Form->gbStatistics->lblMINSpeedValue), "175.50");
    EXPECT_EQ(Text(Form->gbStatistics->lblMAXSpeedDiffValue), "0.00");
    const auto& Points = Form->pnlMiddleBottom->chNiceChart->GetSeries(0).Values();
    ASSERT_EQ(Points.size(), 2u);
    EXPECT_EQ(Points[1].X, 2);
    EXPECT_EQ(Points[0].Y, Points[1].Y);
}

TEST_F(MainFormTest, PlaceholdersFollowTheDecimalSeparator) {
    const TScopedFormatSettings Comma(",");
    auto Form = Start();
    EXPECT_EQ(Text(Form->gbStatistics->lblAVGEnergyValue),
              "\u2013\u2013\u2013\u2013, \u2013\u2013");
    Receive(*Form, "175,5\n", 1);
    EXPECT_EQ(Text(Form->gbStatistics->lblAVGSpeedValue), "175,50");
}

TEST_F(MainFormTest, NegativeSpeedsShowTheirTrueMaximum) {
    auto Form = Start();
    Receive(*Form, "-10\n-20\n", 2);
    EXPECT_EQ(Text(Form->gbStatistics->lblMAXSpeedValue), "-10.00");
    EXPECT_EQ(Text(Form->gbStatistics->lblMAXSpeedDiffValue), "5.00");
}

TEST_F(MainFormTest, SwitchingUnitsRecomputesAndSecondSwitchDoesNothing) {
    auto Form = Start();
    Receive(*Form, "100;m/s\n", 1);
    Form->Settings().SetImperial();
    EXPECT_EQ(Form->stringGridLeft->CellText(1, 1), "328.08");
    EXPECT_EQ(Form->stringGridLeft->CellText(1, 0), "Speed [fps]");
    EXPECT_EQ(Text(Form->gbStatistics->lblMAXEnergyCaption), "MAX Energy [fpe]:");
    Form->Settings().SetImperial();
    EXPECT_TRUE(Form->Settings().IsImperial());
    Form->Settings().SetMetric();
    EXPECT_EQ(Form->stringGridLeft->CellText(1, 1), "100.00");
    EXPECT_TRUE(Form->Settings().IsMetric());
}

TEST_F(MainFormTest, ClearAsksFirst) {
    auto Form = Start();
    Receive(*Form, "175\n176\n", 2);
    Dialogs.YesNoAnswers = {false, true};
    Form->btnClearClick();
    EXPECT_EQ(Form->Shots().size(), 2u);
    EXPECT_EQ(Form->stringGridLeft->RowCount(), 3);
    Form->btnClearClick();
    EXPECT_TRUE(Form->Shots().empty());
    EXPECT_EQ(Form->stringGridLeft->RowCount(), 2);
    EXPECT_EQ(Dialogs.Questions.at(0), "Do you really want to clear all values?");
}

TEST_F(MainFormTest, FirstRunUsesDefaultsAndWritesAllSevenKeysAtClose) {
    auto Form = Start();
    EXPECT_EQ(Form->Settings().Language(), 9);
    EXPECT_TRUE(Form->Settings().IsMetric());
    EXPECT_EQ(Form->Settings().PeletWeight(), 0.547);
    EXPECT_EQ(Form->Settings().SpeedLimit(), 999999);
    EXPECT_EQ(Form->stringGridLeft->ColumnWidth(1), 80);
    EXPECT_EQ(Form->pnlPeletWeight->ePeletWeight->text(), "0.547");
    Form->close();
    const std::string Saved = tests::ReadFileText(Data.File("settings.ini"));
    std::size_t At = 0;
    for (const char* Key : {"units", "pelet-weight", "speed-limit", "energy-limit", "language",
                            "column_width_01", "column_width_02"}) {
        const std::size_t Found = Saved.find(Key, At);
        ASSERT_NE(Found, std::string::npos) << Key;
        At = Found;
    }
    EXPECT_NE(Saved.find("metric"), std::string::npos);
}

TEST_F(MainFormTest, SettingsAreReadAtStart) {
    WriteSettings("[data]\nunits=IMPERIAL\nspeed-limit=800\n[user-interface]\nlanguage=7\n");
    auto Form = Start();
    EXPECT_TRUE(Form->Settings().IsImperial());
    EXPECT_EQ(Form->Settings().Language(), 7);
    EXPECT_EQ(Form->Settings().PeletWeight(), 0);
    EXPECT_EQ(Form->Settings().SpeedLimit(), 800);
    EXPECT_EQ(Form->btnLoadData->text(), "Daten laden");
    EXPECT_EQ(Text(Form->pnlPeletWeight->lblPeletWeightCaption), "Schussgewicht [gr]:");
}

TEST_F(MainFormTest, DebugSwitchAndShortcut) {
    auto Twice = Start({"--debug", "--debug"});
    EXPECT_TRUE(Twice->DebugEnabled());
    EXPECT_EQ(Twice->windowTitle(), "TARVEX debuging");
    Twice->actDebug->trigger();
    EXPECT_FALSE(Twice->DebugEnabled());
    EXPECT_EQ(Twice->windowTitle(), "TARVEX");
    Twice->actDebug->trigger();
    EXPECT_EQ(Twice->windowTitle(), "TARVEX debuging");
    EXPECT_EQ(Twice->actDebug->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_NE(tests::ReadFileText(Data.File("tarvex.log")).find("Tarvex is starting..."),
              std::string::npos);
}

TEST_F(MainFormTest, NoLogFileWhileTheLogIsOff) {
    auto Form = Start({"--DEBUG"});
    EXPECT_FALSE(Form->DebugEnabled());
    Receive(*Form, "175\n", 1);
    Form->close();
    EXPECT_FALSE(std::filesystem::exists(Data.File("tarvex.log")));
}

TEST_F(MainFormTest, SavedSeriesLoadsBack) {
    auto Form = Start();
    Receive(*Form, "175.004;m/s\n176.2;m/s\n", 2);
    Dialogs.FileNames = {Data.File("series.csv")};
    Form->btnSaveDataClick();
    EXPECT_EQ(tests::ReadFileText(Data.File("series.csv")),
              "speed;speed_unit;energy;energy_unit;pelet_weight;pelet_weight_unit\r\n"
              "175.00;m/s;8.38;J;0.547;g\r\n176.20;m/s;8.49;J;0.547;g\r\n");
    Dialogs.YesNoAnswers = {true};
    Dialogs.FileNames = {Data.File("series.csv")};
    Form->btnLoadDataClick();
    ASSERT_EQ(Form->Shots().size(), 2u);
    EXPECT_EQ(Form->Shots()[0].Speed(), 175.0);
    EXPECT_EQ(Form->stringGridLeft->CellText(1, 2), "176.20");
}

TEST_F(MainFormTest, AStoppedLoadStillShowsTheShotsItRead) {
    auto Form = Start();
    tests::WriteFileText(Data.File("bad.csv"), "175.5\n176.5\nabc\n");
    Dialogs.FileNames = {Data.File("bad.csv")};
    RunGuarded(Form.get(), [&] { Form->btnLoadDataClick(); });
    EXPECT_EQ(Dialogs.Errors, std::vector<std::string>{"String \"abc\" is not valid number."});
    EXPECT_EQ(Form->stringGridLeft->RowCount(), 3);
    EXPECT_EQ(Form->stringGridLeft->CellText(1, 2), "176.50");
}

TEST_F(MainFormTest, CaptionsFollowTheLanguageWhileConnected) {
    platform::TPseudoTerminal Device;
    auto Form = Start();
    Form->pnlConnection->ComPort().SetPort(Device.SlavePath());
    Form->pnlConnection->ComPort().OpenPort();
    Form->Settings().SetLanguage(7);
    EXPECT_EQ(Form->pnlConnection->btnConnectToCOM->text(), "Trennen");
    EXPECT_EQ(Text(Form->pnlConnection->lblComPort), Device.SlavePath());
    EXPECT_EQ(Form->gbStatistics->title(), " Statistik ");
    EXPECT_EQ(Form->stringGridLeft->CellText(0, 0), "Nb.");
    Form->pnlConnection->ComPort().ClosePort();
    EXPECT_EQ(Form->pnlConnection->btnConnectToCOM->text(), "Verbinden");
}

// The buttons of questions and the file dialogs come from the class library; they follow too.
TEST_F(MainFormTest, LibraryButtonsFollowTheLanguage) {
    auto Form = Start();
    const struct {
        int Language;
        const char* Yes;
        const char* No;
    } Cases[] = {
        {LANG_CZECH, "&Ano", "&Ne"}, {LANG_GERMAN, "&Ja", "&Nein"}, {LANG_ENGLISH, "&Yes", "&No"}};
    for (const auto& Case : Cases) {
        Form->Settings().SetLanguage(Case.Language);
        QMessageBox Box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(Box.button(QMessageBox::Yes)->text().toStdString(), Case.Yes);
        EXPECT_EQ(Box.button(QMessageBox::No)->text().toStdString(), Case.No);
    }
}

TEST_F(MainFormTest, PeletWeightEditAndSpinButtons) {
    auto Form = Start();
    Form->pnlPeletWeight->ePeletWeight->setText("0");
    EXPECT_EQ(Form->Settings().PeletWeight(), 0.547);
    Form->pnlPeletWeight->ePeletWeight->setText("0.6");
    EXPECT_EQ(Form->Settings().PeletWeight(), 0.6);
    EXPECT_TRUE(Form->recalculateTimer->isActive());
    Form->pnlPeletWeight->ePeletWeight->setText("0.547");
    Form->pnlPeletWeight->spinPeletWeightUpClick();
    EXPECT_EQ(Form->pnlPeletWeight->ePeletWeight->text(), "0.548");
    Form->pnlPeletWeight->spinPeletWeightDownClick();
    Form->pnlPeletWeight->spinPeletWeightDownClick();
    EXPECT_EQ(Form->pnlPeletWeight->ePeletWeight->text(), "0.546");
    EXPECT_DOUBLE_EQ(Form->Settings().PeletWeight(), 0.546);
    Form->pnlPeletWeight->ePeletWeight->setText("abc");
    Form->pnlPeletWeight->spinPeletWeightUpClick();
    EXPECT_EQ(Form->pnlPeletWeight->ePeletWeight->text(), "abc");
}

TEST_F(MainFormTest, ChartReadOutOverShotThree) {
    auto Form = Start();
    Receive(*Form, "170\n171\n172\n173\n", 4);
    const TXYInfo& Third = Form->pnlMiddleBottom->chNiceChart->GetSeries(0).Values()[2];
    Form->pnlMiddleBottom->chNiceChartMouseMove(Third.ScreenX, Third.ScreenY);
    EXPECT_EQ(Text(Form->pnlMiddleBottom->lblChartText),
              "Shot: 3; Speed: 172.00 m/s; Energy: 8.09 J");
    Form->pnlMiddleBottom->chNiceChartMouseMove(1, 1);
    EXPECT_EQ(Text(Form->pnlMiddleBottom->lblChartText), "");
}

TEST_F(MainFormTest, EnergyChartPlotsEnergies) {
    auto Form = Start();
    Receive(*Form, "175\n", 1);
    Form->pnlMiddleBottom->sbEnergyChart->click();
    EXPECT_EQ(Form->pnlMiddleBottom->chNiceChart->AxisYTitle(), "Energy [J]");
    EXPECT_NEAR(Form->pnlMiddleBottom->chNiceChart->GetSeries(0).Values()[0].Y, 8.3759, 1e-4);
}

TEST_F(MainFormTest, OneClickOnTheConnectionPanelRunsTheSetupOnce) {
    auto Form = Start();
    for (QWidget* Target : {static_cast<QWidget*>(Form->pnlConnection->lblComPort),
                            static_cast<QWidget*>(Form->pnlConnection->comLEDConnection),
                            static_cast<QWidget*>(Form->pnlConnection->pnlLED)}) {
        const int Before = Dialogs.ExecutedDialogs;
        const QPointF At(5, 5);
        QMouseEvent Press(QEvent::MouseButtonPress, At, Target->mapToGlobal(At), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent Release(QEvent::MouseButtonRelease, At, Target->mapToGlobal(At), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(Target, &Press);
        QApplication::sendEvent(Target, &Release);
        EXPECT_EQ(Dialogs.ExecutedDialogs, Before + 1) << Target->metaObject()->className();
    }
}

TEST_F(MainFormTest, AClearedTableKeepsItsFirstShotNumber) {
    auto Form = Start();
    Receive(*Form, "175\n", 1);
    Dialogs.YesNoAnswers = {true};
    Form->btnClearClick();
    EXPECT_EQ(Form->stringGridLeft->CellText(0, 1), "1");
    EXPECT_EQ(Form->stringGridLeft->CellText(1, 1), "");
}

TEST_F(MainFormTest, FirstConnectAsksForThePortAndCancelLeavesItClosed) {
    auto Form = Start();
    Form->pnlConnection->btnConnectToCOMClick();
    EXPECT_EQ(Dialogs.ExecutedDialogs, 1);
    EXPECT_FALSE(Form->pnlConnection->ComPort().Connected());
    EXPECT_EQ(Form->pnlConnection->btnConnectToCOM->text(), "Connect");
}

} // namespace
