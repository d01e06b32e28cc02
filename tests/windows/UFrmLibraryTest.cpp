#include "windows/UFrmLibrary.h"

#include "files/UDataFile.h"
#include "tests/support/WaitUntil.h"
#include "tests/windows/LibraryFixture.h"
#include "text/UTranslator.h"
#include "windows/UFrmComparison.h"
#include "windows/ULibraryFiles.h"
#include "windows/ULibraryModel.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <memory>
#include <tuple>
#include <utility>

using testing::_;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::UnorderedElementsAre;

namespace {

class LibraryWindow : public LibraryFixture {
protected:
    std::int64_t A = AddSeries("Alpha", {170, 172, 174}, Noted("HW100", "JSB Exact", 0.547));
    std::int64_t B = AddSeries("Beta", {160, 161}, Noted("LGU", "H&N Baracuda"));
    std::int64_t C = AddSeries("Gamma", {150}, Noted("LGU", "jsb heavy"));
    std::unique_ptr<TFrmLibrary> Library = Shown();

    std::unique_ptr<TFrmLibrary> Shown() {
        auto Window = std::make_unique<TFrmLibrary>(Store, Settings, English, nullptr);
        Window->show();
        return Window;
    }
    std::vector<std::string> VisibleNames() const {
        std::vector<std::string> Names;
        const QAbstractItemModel& Rows = *Library->grdSeries->model();
        for (int Row = 0; Row < Rows.rowCount(); ++Row)
            Names.push_back(
                Rows.index(Row, TLibraryModel::colName).data().toString().toStdString());
        return Names;
    }
    void Select(const std::vector<std::int64_t>& Ids) {
        QTableView& Table = *Library->grdSeries;
        Table.clearSelection();
        for (int Row = 0; Row < Table.model()->rowCount(); ++Row) {
            const QModelIndex Index = Table.model()->index(Row, 0);
            for (const std::int64_t Id : Ids)
                if (Index.data().toString().toStdString() == Listed(Id).Name)
                    Table.selectionModel()->select(Index, QItemSelectionModel::Select |
                                                              QItemSelectionModel::Rows);
        }
    }
};

TEST_F(LibraryWindow, FilterMatchesAnyColumnWithoutRegardToCase) {
    const struct {
        std::string Filter;
        std::vector<std::string> Visible;
    } Cases[] = {
        {"", {"Alpha", "Beta", "Gamma"}}, {"ALP", {"Alpha"}},    {"jsb", {"Alpha", "Gamma"}},
        {"lgu", {"Beta", "Gamma"}},       {"172.00", {"Alpha"}}, {"nothing", {}},
    };
    for (const auto& Case : Cases) {
        Library->edtFilter->setText(QString::fromStdString(Case.Filter));
        std::vector<std::string> Names = VisibleNames();
        std::sort(Names.begin(), Names.end());
        EXPECT_EQ(Names, Case.Visible) << Case.Filter;
    }
}

TEST_F(LibraryWindow, ButtonsFollowTheSelection) {
    std::vector<std::int64_t> Opened;
    Library->OpenSeries = [&](std::int64_t Id) { Opened.push_back(Id); };
    const struct {
        std::vector<std::int64_t> Selected;
        bool Open, Delete, Compare;
    } Cases[] = {{{}, false, false, false}, {{B}, true, true, false}, {{A, C}, false, true, true}};
    for (const auto& Case : Cases) {
        Select(Case.Selected);
        EXPECT_EQ(Library->btnOpen->isEnabled(), Case.Open);
        EXPECT_EQ(Library->btnDelete->isEnabled(), Case.Delete);
        EXPECT_EQ(Library->btnExport->isEnabled(), Case.Delete);
        EXPECT_EQ(Library->btnCompare->isEnabled(), Case.Compare);
    }
    Select({B});
    Library->btnOpen->click();
    EXPECT_THAT(Opened, ElementsAre(B));
}

TEST_F(LibraryWindow, DeletesOnlyWhatMayGoAfterYes) {
    TSeriesStore Other(Store.Path());
    ASSERT_TRUE(Other.Claim(C));
    Library->CurrentSeries = [this] { return std::optional(A); };
    const struct {
        std::int64_t Id;
        bool Answer;
        bool Asked;
        bool Deleted;
        std::string Error;
    } Cases[] = {
        {A, true, false, false, "\"Alpha\" is the series being recorded: it cannot be deleted."},
        {B, false, true, false, ""},
        // Another TARVEX records into it.
        {C, true, false, false, "\"Gamma\" is the series being recorded: it cannot be deleted."},
        {B, true, true, true, ""},
    };
    for (const auto& Case : Cases) {
        Dialogs.Questions.clear();
        Dialogs.Errors.clear();
        Dialogs.YesNoAnswers = {Case.Answer};
        Select({Case.Id});
        Library->btnDelete->click();
        EXPECT_EQ(Dialogs.Questions.size(), Case.Asked ? 1U : 0U) << Case.Id;
        EXPECT_EQ(Store.LoadShots(Case.Id, TSeries::MaxShots).Shots.empty(), Case.Deleted)
            << Case.Id;
        if (Case.Error.empty()) {
            EXPECT_TRUE(Dialogs.Errors.empty()) << Case.Id;
        } else {
            EXPECT_THAT(Dialogs.Errors, ElementsAre(HasSubstr(Case.Error))) << Case.Id;
        }
    }
    EXPECT_FALSE(Listed("Beta"));
    EXPECT_THAT(VisibleNames(), UnorderedElementsAre("Alpha", "Gamma"));
}

// The store keeps grams, bar and degrees Celsius whatever the box shows.
TEST_F(LibraryWindow, NotesAreStoredInMetricUnitsWhenEditingFinishes) {
    const struct {
        bool Imperial;
        QLineEdit* const TFrmLibrary::*Edit;
        std::string Typed;
        std::optional<double> TSeriesNotes::*Field;
        std::optional<double> Expected;
    } Cases[] = {
        {false, &TFrmLibrary::edtPeletWeight, "0.547", &TSeriesNotes::PeletWeight, 0.547},
        {true, &TFrmLibrary::edtPeletWeight, "15.432", &TSeriesNotes::PeletWeight, 1.0},
        {true, &TFrmLibrary::edtPressureStart, "2900.76", &TSeriesNotes::PressureStart, 200.0},
        {false, &TFrmLibrary::edtPressureEnd, "180", &TSeriesNotes::PressureEnd, 180.0},
        {true, &TFrmLibrary::edtTemperature, "-4", &TSeriesNotes::Temperature, -20.0},
        {false, &TFrmLibrary::edtTemperature, "", &TSeriesNotes::Temperature, std::nullopt},
        // Not a number: told, and the stored value stays.
        {false, &TFrmLibrary::edtPressureEnd, "full", &TSeriesNotes::PressureEnd, 180.0},
    };
    Select({A});
    for (const auto& Case : Cases) {
        Settings.Imperial = Case.Imperial;
        Library->UpdateCaptions();
        QLineEdit& Edit = *(Library.get()->*Case.Edit);
        Edit.setText(QString::fromStdString(Case.Typed));
        emit Edit.editingFinished();
        const std::optional<double> Stored = Listed(A).Notes.*Case.Field;
        ASSERT_EQ(Stored.has_value(), Case.Expected.has_value()) << Case.Typed;
        if (Stored) {
            EXPECT_NEAR(*Stored, *Case.Expected, 1e-4) << Case.Typed;
        }
    }
    EXPECT_EQ(Dialogs.Errors.size(), 1U);
    EXPECT_EQ(Library->edtPressureEnd->text().toStdString(), "180");
    Library->memNotes->setPlainText("windy");
    Select({B});
    EXPECT_EQ(Listed(A).Notes.Text, "windy");
    EXPECT_EQ(Listed(A).Notes.Pellet, "JSB Exact");
}

// A switch of units while a figure is being typed keeps it in the units it was typed in.
TEST_F(LibraryWindow, TypedNotesSurviveASwitchOfUnits) {
    Select({A});
    Library->edtPeletWeight->setText("0.6");
    Settings.Imperial = true;
    Library->UpdateCaptions();
    EXPECT_EQ(Listed(A).Notes.PeletWeight, 0.6);
    EXPECT_EQ(Library->edtPeletWeight->text().toStdString(), "9.259");
}

TEST_F(LibraryWindow, ExportWritesOneFilePerSeries) {
    const std::string Chosen = Folder.File("export.csv");
    Select({A, B});
    Dialogs.FileNames = {Chosen, Chosen};
    Library->btnExport->click();
    EXPECT_THAT(tests::ReadFileText(Folder.File("export - Alpha.csv")),
                HasSubstr("speed;speed_unit;energy;energy_unit;pelet_weight;pelet_weight_unit\r\n"
                          "170.00;m/s;7.90;J;0.547;g\r\n"));
    // Beta has no weight: energies and weight stay empty, and the file loads all the same.
    EXPECT_THAT(tests::ReadFileText(Folder.File("export - Beta.csv")),
                HasSubstr("\r\n161.00;m/s;;J;;g\r\n"));
    std::vector<double> Loaded;
    const auto Add = [&](const std::string&, double Speed) { Loaded.push_back(Speed); };
    LoadDataFile(Folder.File("export - Beta.csv"), "m/s", Add, nullptr);
    EXPECT_THAT(Loaded, ElementsAre(160, 161));
    Select({B});
    Library->btnExportSpreadsheet->click();
    const std::string Sheet = tests::ReadFileText(Chosen);
    EXPECT_THAT(Sheet, HasSubstr("Name,Beta"));
    EXPECT_THAT(Sheet, HasSubstr("1,,160.00,-0.50,\r\n"));
    EXPECT_THAT(Sheet, HasSubstr("Pelet Weight [g],\r\n"));
}

// A click on the selected name starts no editor of its own, which would take the typing meant
// for the notes: only F2 or Rename does.
TEST_F(LibraryWindow, AClickOnTheSelectedNameLeavesTheTypingToTheNotes) {
    Select({B});
    QTableView& Table = *Library->grdSeries;
    const QModelIndex Name = Table.selectionModel()->selectedRows(TLibraryModel::colName).front();
    QTest::mouseClick(Table.viewport(), Qt::LeftButton, {}, Table.visualRect(Name).center());
    QTest::mouseClick(Library->edtPeletWeight, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return QApplication::focusWidget() == Library->edtPeletWeight; }));
    // An editor started by the click would take the focus within the double-click interval.
    const auto Interval = std::chrono::milliseconds(2 * QApplication::doubleClickInterval());
    EXPECT_FALSE(WaitUntil([&] { return QApplication::focusWidget() != Library->edtPeletWeight; },
                           Interval));
    // Keys go where the focus is, as the keyboard's do.
    QWidget* const Focus = nullptr;
    QTest::keyClicks(Focus, "0.547");
    QTest::keyClick(Focus, Qt::Key_Tab);
    EXPECT_EQ(Listed(B).Name, "Beta");
    EXPECT_EQ(Listed(B).Notes.PeletWeight, 0.547);
    Library->actRename->trigger();
    QTest::keyClicks(Focus, "Beta 2");
    QTest::keyClick(Focus, Qt::Key_Return);
    EXPECT_EQ(Listed(B).Name, "Beta 2");
}

// A series without a pellet weight has no energy until one is noted; the weight keeps the unit
// it was typed in, which no other figure changes.
TEST_F(LibraryWindow, AWeightNotedGivesTheSeriesItsEnergy) {
    const QPersistentModelIndex Energy =
        Library->Model().index(Library->Model().RowOf(B), TLibraryModel::colEnergy);
    Select({B});
    EXPECT_EQ(Energy.data().toString(), "");
    for (const auto& [Imperial, Edit, Typed, Shown, Unit] :
         {std::tuple{false, Library->edtPeletWeight, "0.547", "7.05", "g"},
          {true, Library->edtPeletWeight, "9", "5.54", "gr"},
          {false, Library->edtTemperature, "20", "7.51", "gr"}}) {
        Settings.Imperial = Imperial;
        Library->UpdateCaptions();
        Edit->setText(Typed);
        emit Edit->editingFinished();
        EXPECT_EQ(Energy.data().toString(), Shown);
        EXPECT_EQ(Listed(B).Notes.PeletWeightUnit, Unit);
    }
    // The weight the series is being recorded with is shown, not written over when leaving.
    Store.AppendShots(B, {}, Listed(B).ShotCount, TSeriesWeight{0.6, "g"});
    Library->RefreshSeries(B);
    EXPECT_EQ(Library->edtPeletWeight->text(), "0.600");
    Select({A});
    EXPECT_EQ(Listed(B).Notes.PeletWeight, 0.6);
}

// Rows without a readable speed are left out, and a series longer than a series can be is
// refused; both are told in one box, after all the series are read.
TEST_F(LibraryWindow, WhatCannotBeReadIsToldOnce) {
    TSqliteDatabase Hand(Store.Path(), TSqliteDatabase::ReadWrite, std::chrono::seconds(1));
    const std::string Beta = std::to_string(B);
    Hand.Execute("INSERT INTO shots (series, position, speed, unit) VALUES (" + Beta +
                 ", 7, 1, 'KMH'), (" + Beta + ", 8, 'x', 'M/S')");
    Hand.Execute("UPDATE series SET shot_count = 1000001 WHERE id = " + std::to_string(C));
    Select({B, C});
    Library->btnCompare->click();
    ASSERT_NE(Library->Comparison(), nullptr);
    EXPECT_THAT(Dialogs.Errors,
                ElementsAre("\"Gamma\": This series holds 1000001 shots, more than a series can "
                            "(1000000): it is not opened.\n\n\"Beta\": 2 shots of this series in "
                            "the library are no speeds in m/s or fps and were left out."));
    EXPECT_THAT(Library->Comparison()->FigureRows(),
                ElementsAre(ElementsAre("Beta", "2", "", _, _, _, "", _)));
}

// A library that may not be written is looked at all the same: listed, shown, exported and
// compared, with nothing offered that would write it.
TEST_F(LibraryWindow, ALibraryThatCannotBeWrittenIsBrowsed) {
    namespace fs = std::filesystem;
    // Made by a newer program, or on a folder that takes no files.
    for (const auto Opening : {TSeriesStore::OpenedReadOnly, TSeriesStore::OpenedUnwritable}) {
        const tests::TTempFolder Locked;
        {
            TSeriesStore Writer(Locked.File("series.db"));
            AddSeries(Writer, "Old", {170, 172}, Noted("", "", 0.547));
            AddSeries(Writer, "Older", {160}, Noted("", "", 0.547));
        }
        if (Opening == TSeriesStore::OpenedReadOnly)
            TSqliteDatabase(Locked.File("series.db"), TSqliteDatabase::ReadWrite,
                            std::chrono::seconds(1))
                .Execute("PRAGMA user_version = 99");
        else
            fs::permissions(Locked.Path(), fs::perms::owner_read | fs::perms::owner_exec);
        // A user whom the system lets write anywhere (root) has no read-only folder.
        if (Opening == TSeriesStore::OpenedUnwritable && std::ofstream(Locked.File("probe")))
            continue;
        TSeriesStore ReadOnly(Locked.File("series.db"));
        ASSERT_EQ(ReadOnly.Opening(), Opening);
        TFrmLibrary Window(ReadOnly, Settings, English, nullptr);
        Window.show();
        Window.grdSeries->selectRow(0);
        EXPECT_EQ(Window.edtPeletWeight->text(), "0.547");
        EXPECT_FALSE(Window.grpNotes->isEnabled());
        EXPECT_FALSE(Window.Model().flags(Window.Model().index(0, 0)) & Qt::ItemIsEditable);
        EXPECT_FALSE(Window.btnDelete->isEnabled());
        const std::string Exported = Folder.File(std::to_string(Opening) + ".csv");
        Dialogs.FileNames = {Exported};
        Window.btnExport->click();
        EXPECT_THAT(tests::ReadFileText(Exported), HasSubstr(";J;0.547;g"));
        Window.grdSeries->selectAll();
        Window.btnCompare->click();
        ASSERT_NE(Window.Comparison(), nullptr);
        EXPECT_EQ(Window.Comparison()->FigureRows().size(), 2U);
    }
    EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(LibraryWindow, CompareOpensTheComparisonOfTheSelection) {
    Select({A, C});
    Library->btnCompare->click();
    ASSERT_NE(Library->Comparison(), nullptr);
    EXPECT_TRUE(Library->Comparison()->isVisible());
    std::vector<std::string> Names;
    for (const TSheetRow& Row : Library->Comparison()->FigureRows())
        Names.push_back(Row[0]);
    EXPECT_THAT(Names, UnorderedElementsAre("Alpha", "Gamma"));
}

// What a window says: its title, labels, buttons, group titles and table captions.
std::vector<QString> Texts(const QWidget& Window) {
    std::vector<QString> Result{Window.windowTitle()};
    for (const QLabel* Label : Window.findChildren<QLabel*>())
        Result.push_back(Label->text());
    for (const QAbstractButton* Button : Window.findChildren<QAbstractButton*>())
        Result.push_back(Button->text());
    for (const QGroupBox* Group : Window.findChildren<QGroupBox*>())
        Result.push_back(Group->title());
    for (const QTableView* Table : Window.findChildren<QTableView*>())
        for (int Column = 0; Column < Table->model()->columnCount(); ++Column)
            Result.push_back(Table->model()->headerData(Column, Qt::Horizontal).toString());
    return Result;
}

// Every text of both windows has a Czech entry: none stays as it is in English.
TEST_F(LibraryWindow, NoTextStaysInEnglishInCzech) {
    const TTranslator Translator;
    const TTranslate Czech = [&Translator](const std::string& Text) {
        return Translator.Translate(Text, LANG_CZECH);
    };
    Select({A, B});
    Library->btnCompare->click();
    TFrmLibrary InCzech(Store, Settings, Czech, nullptr);
    InCzech.show();
    InCzech.grdSeries->selectAll();
    InCzech.btnCompare->click();
    ASSERT_NE(InCzech.Comparison(), nullptr);
    for (const auto& [English, Translated] :
         {std::pair<QWidget*, QWidget*>{Library.get(), &InCzech},
          {Library->Comparison(), InCzech.Comparison()}}) {
        const std::vector<QString> Before = Texts(*English), After = Texts(*Translated);
        ASSERT_EQ(Before.size(), After.size());
        for (std::size_t i = 0; i < Before.size(); ++i) {
            if (Before[i].contains(QRegularExpression("[A-Za-z]{2}"))) {
                EXPECT_NE(Before[i], After[i]) << Before[i].toStdString();
            }
        }
    }
}

TEST(LibraryFiles, OneFileNameEachThatEveryFileSystemTakes) {
    const struct {
        std::vector<std::string> Series;
        std::vector<std::string> Files;
    } Cases[] = {
        {{"JSB"}, {"/m/chosen.csv"}},
        {{"JSB", "jsb", "JSB"},
         {"/m/chosen - JSB.csv", "/m/chosen - jsb (2).csv", "/m/chosen - JSB (3).csv"}},
        {{"a/b:c", "d\\e?"}, {"/m/chosen - a_b_c.csv", "/m/chosen - d_e_.csv"}},
        {{std::string(149, 'x') + "\u00e9", "z"},
         {"/m/chosen - " + std::string(149, 'x') + ".csv", "/m/chosen - z.csv"}},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(SeriesFileNames("/m/chosen.csv", C.Series), C.Files);
}

} // namespace
