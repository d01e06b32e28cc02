// The shot table's model against its series: the rows it shows, their texts in each unit system,
// and the signals by which a view learns of new rows without reading the others again.

#include "app/UShotTableModel.h"

#include "tests/support/ScopedFormatSettings.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

namespace {

class ShotTableModelTest : public testing::Test {
protected:
    ShotTableModelTest() {
        QObject::connect(&Model, &QAbstractItemModel::rowsInserted,
                         [this](const QModelIndex&, int First, int Last) {
                             Signals.push_back("inserted " + std::to_string(First) + "-" +
                                               std::to_string(Last));
                         });
        QObject::connect(&Model, &QAbstractItemModel::modelReset,
                         [this] { Signals.push_back("reset"); });
        QObject::connect(&Model, &QAbstractItemModel::dataChanged,
                         [this](const QModelIndex& From, const QModelIndex&) {
                             Signals.push_back("changed " + std::to_string(From.row()));
                         });
    }

    std::vector<std::string> Row(int Index) const {
        std::vector<std::string> Texts;
        for (int Column = 0; Column < Model.columnCount(); ++Column)
            Texts.push_back(Model.index(Index, Column).data().toString().toStdString());
        return Texts;
    }

    TScopedFormatSettings Point{"."};
    TSeries Series;
    TShotTableModel Model{Series, nullptr};
    // Checks after every signal that what the model says agrees with what it announced.
    QAbstractItemModelTester Tester{&Model, QAbstractItemModelTester::FailureReportingMode::Fatal};
    std::vector<std::string> Signals;
};

using TTexts = std::vector<std::string>;

TEST_F(ShotTableModelTest, NewShotsAreNewRowsAndTheEmptyRowIsTheFirstOne) {
    EXPECT_EQ(Model.rowCount(), 1);
    EXPECT_EQ(Row(0), (TTexts{"", "", ""}));
    Series.Append(TData("m/s", 175));
    Model.ShowSeries(false);
    Series.Append(TData("fps", 590.55));
    Series.Append(TData("m/s", 176.2));
    Model.ShowSeries(false);
    EXPECT_EQ(Model.rowCount(), 3);
    EXPECT_EQ(Signals, (TTexts{"changed 0", "inserted 1-2"}));
    EXPECT_EQ(Row(0), (TTexts{"1", "175.00", "8.38"}));
    EXPECT_EQ(Row(1), (TTexts{"2", "180.00", "8.86"}));
    // A cleared table keeps one empty row, numbered as its first shot was.
    Series.Clear();
    Model.ShowSeries(true);
    EXPECT_EQ(Model.rowCount(), 1);
    EXPECT_EQ(Row(0), (TTexts{"1", "", ""}));
}

TEST_F(ShotTableModelTest, EveryRowIsReadAgainInOtherUnits) {
    Series.Append(TData("m/s", 175));
    Series.Append(TData("fps", 590.55));
    Model.ShowSeries(false);
    Signals.clear();
    const struct {
        const TUnitSystem& Units;
        double Weight;
        TTexts Second;
    } Cases[] = {
        {ImperialUnits, 8.44, {"2", "590.55", "6.53"}},
        {MetricUnits, 0.547, {"2", "180.00", "8.86"}},
    };
    for (const auto& Case : Cases) {
        Series.SetUnits(Case.Units);
        Series.SetPeletWeight(Case.Weight);
        Model.ShowSeries(true);
        EXPECT_EQ(Row(1), Case.Second);
    }
    EXPECT_EQ(Signals, (TTexts{"reset", "reset"}));
    Model.SetCaptions({"No.", "Speed [m/s]", "Energy [J]"});
    EXPECT_EQ(Model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Speed [m/s]");
    EXPECT_EQ(Model.index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignRight | Qt::AlignVCenter);
}

} // namespace
