#include "windows/ULibraryModel.h"

#include "tests/windows/LibraryFixture.h"
#include "text/UTranslator.h"

#include <QSortFilterProxyModel>
#include <gmock/gmock.h>

using testing::ElementsAre;

namespace {

class LibraryModel : public LibraryFixture {
protected:
    TLibraryModel Model{Store, Settings, English, nullptr};

    std::string Cell(std::int64_t Id, int Column) const {
        return Model.index(Model.RowOf(Id), Column).data().toString().toStdString();
    }
    std::string Caption(int Column) const {
        return Model.headerData(Column, Qt::Horizontal).toString().toStdString();
    }
};

// 170, 172 and 174 m/s: mean 172, spread 4, deviation 2, and a mean of squares of
// 172^2 + 4 * 2 / 3, so 8.09 J for 0.547 g and 8.88 J for 0.6 g.
TEST_F(LibraryModel, FiguresInTheDisplayUnitsWithEachSeriesOwnWeight) {
    const std::int64_t Weighed = AddSeries("noted", {170, 172, 174}, Noted("", "", 0.547));
    const std::int64_t Heavier = AddSeries("heavier", {170, 172, 174}, Noted("", "", 0.6));
    const std::int64_t Unweighed = AddSeries("unweighed", {170, 172, 174});
    const std::int64_t Single = AddSeries("single", {172}, Noted("", "", 0.6));
    const std::int64_t Empty = AddSeries("empty", {}, Noted("", "", 0.6));
    // The main window's weight is no series' own.
    Settings.Weight = 0.6;
    const struct {
        bool Imperial;
        std::int64_t Id;
        int Column;
        std::string Expected;
    } Cases[] = {
        {false, Weighed, TLibraryModel::colShots, "3"},
        {false, Weighed, TLibraryModel::colMean, "172.00"},
        {false, Weighed, TLibraryModel::colSpread, "4.00"},
        {false, Weighed, TLibraryModel::colDeviation, "2.00"},
        {false, Weighed, TLibraryModel::colEnergy, "8.09"},
        {false, Heavier, TLibraryModel::colEnergy, "8.88"},
        {false, Unweighed, TLibraryModel::colEnergy, ""},
        {false, Single, TLibraryModel::colDeviation, ""},
        {false, Single, TLibraryModel::colEnergy, "8.88"},
        {false, Empty, TLibraryModel::colMean, ""},
        {false, Empty, TLibraryModel::colEnergy, ""},
        // fps as the main window shows them; the noted grams become grains.
        {true, Weighed, TLibraryModel::colMean, "564.30"},
        {true, Weighed, TLibraryModel::colSpread, "13.12"},
        {true, Weighed, TLibraryModel::colDeviation, "6.56"},
        {true, Weighed, TLibraryModel::colEnergy, "5.97"},
        {true, Heavier, TLibraryModel::colEnergy, "6.55"},
        {true, Unweighed, TLibraryModel::colEnergy, ""},
    };
    for (const auto& C : Cases) {
        Settings.Imperial = C.Imperial;
        Model.Refresh();
        EXPECT_EQ(Cell(C.Id, C.Column), C.Expected) << C.Id << " column " << C.Column;
    }
}

TEST_F(LibraryModel, ASeriesWhoseFileDidNotGoInWholeIsMarkedByItsName) {
    for (const std::size_t FileShots : {2, 10}) {
        const std::int64_t Id = Store.StartSeries({"m1", "", "m1.csv", FileShots});
        Store.AppendShots(Id, {TData("m/s", 170), TData("m/s", 171)}, 0);
        Model.Refresh();
        const QModelIndex Name = Model.index(Model.RowOf(Id), TLibraryModel::colName);
        EXPECT_EQ(Name.data(Qt::DecorationRole).isValid(), FileShots == 10);
        EXPECT_EQ(Name.data(Qt::ToolTipRole).toString().toStdString(),
                  FileShots == 10 ? "2 of 10 shots of m1.csv were kept: load the file again." : "");
    }
}

TEST_F(LibraryModel, CaptionsNameTheDisplayUnits) {
    Settings.Imperial = true;
    EXPECT_EQ(Caption(TLibraryModel::colMean), "Mean\n[fps]");
    EXPECT_EQ(Caption(TLibraryModel::colEnergy), "Mean\nenergy\n[fpe]");
    Settings.Imperial = false;
    EXPECT_EQ(Caption(TLibraryModel::colSpread), "Extreme\nspread\n[m/s]");
}

TEST_F(LibraryModel, NumericColumnsSortByTheirNumbers) {
    AddSeries("b", std::vector<double>(10, 95.5), Noted("", "JSB"));
    AddSeries("a", std::vector<double>(9, 101), Noted("", "jsb heavy"));
    AddSeries("C", std::vector<double>(100, 99), Noted("", "H&N"));
    Model.Refresh();
    QSortFilterProxyModel Proxy;
    Proxy.setSourceModel(&Model);
    Proxy.setSortRole(TLibraryModel::SortRole);
    Proxy.setSortCaseSensitivity(Qt::CaseInsensitive);
    const auto Names = [&](int Column) {
        Proxy.sort(Column, Qt::AscendingOrder);
        std::vector<std::string> Result;
        for (int Row = 0; Row < Proxy.rowCount(); ++Row)
            Result.push_back(Proxy.index(Row, 0).data().toString().toStdString());
        return Result;
    };
    EXPECT_THAT(Names(TLibraryModel::colShots), ElementsAre("a", "b", "C"));
    EXPECT_THAT(Names(TLibraryModel::colMean), ElementsAre("b", "C", "a"));
    EXPECT_THAT(Names(TLibraryModel::colName), ElementsAre("a", "b", "C"));
    EXPECT_THAT(Names(TLibraryModel::colPellet), ElementsAre("C", "b", "a"));
}

TEST_F(LibraryModel, EditsInPlaceReachTheStore) {
    const std::int64_t Id = AddSeries("old", {170}, Noted("HW100", "JSB", 0.547));
    Model.Refresh();
    const struct {
        int Column;
        std::string Text;
        std::string TSeriesEntry::*Field;
        std::string TSeriesNotes::*Note;
        std::string Expected;
    } Cases[] = {
        {TLibraryModel::colName, "  Morning  ", &TSeriesEntry::Name, nullptr, "Morning"},
        {TLibraryModel::colPellet, "H&N Baracuda", nullptr, &TSeriesNotes::Pellet, "H&N Baracuda"},
        {TLibraryModel::colGun, "LGU", nullptr, &TSeriesNotes::Gun, "LGU"},
        // An empty name is not taken.
        {TLibraryModel::colName, " ", &TSeriesEntry::Name, nullptr, "Morning"},
    };
    for (const auto& C : Cases) {
        Model.setData(Model.index(0, C.Column), QString::fromStdString(C.Text));
        const TSeriesEntry Stored = Listed(Id);
        EXPECT_EQ(C.Field ? Stored.*C.Field : Stored.Notes.*C.Note, C.Expected) << C.Text;
        EXPECT_EQ(Cell(Id, C.Column), C.Expected);
    }
    EXPECT_EQ(Listed(Id).Notes.PeletWeight, 0.547);
    EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(LibraryModel, RefusedEditIsToldAndLeavesTheRow) {
    const std::int64_t Id = AddSeries("kept", {170});
    Model.Refresh();
    Store.DeleteSeries(Id);
    for (const int Column : {TLibraryModel::colName, TLibraryModel::colGun}) {
        EXPECT_FALSE(Model.setData(Model.index(0, Column), "new"));
        EXPECT_NE(Cell(Id, Column), "new");
    }
    EXPECT_EQ(Dialogs.Errors.size(), 2U);
}

} // namespace
