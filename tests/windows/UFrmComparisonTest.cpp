#include "windows/UFrmComparison.h"

#include "chart/NiceChart.h"
#include "tests/files/PdfReading.h"
#include "tests/windows/LibraryFixture.h"

#include <QLabel>
#include <QTableWidget>
#include <filesystem>
#include <gmock/gmock.h>
#include <memory>

using testing::ElementsAre;
using testing::HasSubstr;
using testing::StartsWith;

namespace {

class ComparisonWindow : public LibraryFixture {
protected:
    // Means 172 and 161.5, deviations 2 and 1.291; the 95 % intervals of the means are
    // 172 -+ 4.303 * 2 / sqrt(3) and 161.5 -+ 3.182 * 1.291 / 2.
    std::int64_t A = AddSeries("Pellet A", {170, 172, 174}, Noted("", "", 0.547));
    std::int64_t B = AddSeries("Pellet B", {160, 161, 162, 163}, Noted("", "", 0.6));
    // Without a weight of its own: its energy is unknown.
    std::int64_t C = AddSeries("Pellet C", {150});

    std::unique_ptr<TFrmComparison> Compare(const std::vector<std::int64_t>& Ids) {
        std::vector<TSeriesEntry> Series;
        for (const std::int64_t Id : Ids)
            Series.push_back(Listed(Id));
        auto Window = std::make_unique<TFrmComparison>(Store, Series, Settings, English, nullptr);
        Window->show();
        return Window;
    }
};

TEST_F(ComparisonWindow, TableOfFiguresInTheDisplayUnitsWithEachSeriesOwnWeight) {
    const struct {
        bool Imperial;
        std::vector<std::string> A, B, C;
    } Cases[] = {
        {false,
         {"Pellet A", "3", "0.547", "172.00", "2.00", "4.00", "8.09", "167.03 \u2013 176.97"},
         {"Pellet B", "4", "0.600", "161.50", "1.29", "3.00", "7.83", "159.45 \u2013 163.55"},
         {"Pellet C", "1", "", "150.00", "", "0.00", "", ""}},
        {true,
         {"Pellet A", "3", "8.441", "564.30", "6.56", "13.12", "5.97", "548.00 \u2013 580.60"},
         {"Pellet B", "4", "9.259", "529.86", "4.24", "9.84", "5.77", "523.12 \u2013 536.60"},
         {"Pellet C", "1", "", "492.13", "", "0.00", "", ""}},
    };
    // The main window's weight is no series' own.
    Settings.Weight = 0.7;
    for (const auto& Case : Cases) {
        Settings.Imperial = Case.Imperial;
        const auto Window = Compare({A, B, C});
        EXPECT_THAT(Window->FigureRows(), ElementsAre(Case.A, Case.B, Case.C));
        EXPECT_EQ(Window->grdFigures->item(1, 2)->text().toStdString(), Case.B[2]);
    }
}

TEST_F(ComparisonWindow, VerdictForTwoSeriesOnly) {
    const auto Two = Compare({A, B});
    EXPECT_THAT(Two->Verdict(), StartsWith("Pellet A is faster by 10.50 m/s (95 % interval "));
    EXPECT_EQ(Two->lblVerdict->text().toStdString(), Two->Verdict());
    EXPECT_EQ(Compare({B, C})->Verdict(), "A verdict needs two shots or more in each series.");
    EXPECT_THAT(Compare({A, B, C})->Verdict(), HasSubstr("compares two series"));
}

TEST_F(ComparisonWindow, ChartOverlaysEachSeriesUnderItsName) {
    const auto Window = Compare({A, B, C});
    const TNiceChart& Chart = *Window->chComparison;
    ASSERT_EQ(Chart.SeriesCount(), 3);
    EXPECT_TRUE(Chart.ShowLegend());
    // The legend takes none of the plot's width.
    EXPECT_GT(Chart.Layout().PlotRect().Width(), Chart.width() * 3 / 4);
    EXPECT_EQ(Chart.GetSeries(1).Caption(), "Pellet B");
    EXPECT_EQ(Chart.GetSeries(1).Values().size(), 4U);
    EXPECT_EQ(Chart.GetSeries(1).Values()[3].X, 4);
    EXPECT_EQ(Chart.GetSeries(1).Values()[3].Y, 163);
}

TEST_F(ComparisonWindow, ReportPutsTheSeriesSideBySide) {
    const TReportContent Report = Compare({A, C})->ReportContent();
    EXPECT_EQ(Report.Title, "TARVEX series comparison");
    EXPECT_THAT(Report.TableHeader, ElementsAre("Shot", "Pellet A [m/s]", "Pellet C [m/s]"));
    EXPECT_THAT(Report.Rows,
                ElementsAre(ElementsAre("1", "170.00", "150.00"), ElementsAre("2", "172.00", ""),
                            ElementsAre("3", "174.00", "")));
    EXPECT_THAT(Report.StatisticsHeader, ElementsAre("", "Pellet A", "Pellet C"));
    EXPECT_THAT(Report.Statistics[1], ElementsAre("Pelet Weight [g]", "0.547", ""));
    EXPECT_THAT(Report.Statistics[2], ElementsAre("Mean [m/s]", "172.00", "150.00"));
}

TEST_F(ComparisonWindow, PrintWritesAPdf) {
    const std::string FileName = Folder.File("comparison.pdf");
    Dialogs.FileNames = {FileName};
    const auto Window = Compare({A, B});
    Window->btnPrintClick();
    ASSERT_TRUE(std::filesystem::exists(FileName));
    EXPECT_GT(std::filesystem::file_size(FileName), 5000U);
    const std::string Text = tests::PdfText(FileName);
    EXPECT_THAT(Text, HasSubstr("TARVEX series comparison"));
    EXPECT_THAT(Text, HasSubstr("Pellet A is faster"));
}

} // namespace
