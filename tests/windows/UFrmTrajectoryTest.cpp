#include "windows/UFrmTrajectory.h"

#include "tests/windows/LibraryFixture.h"
#include "windows/UFrmBallisticCoefficient.h"
#include "windows/UFrmLibrary.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gmock/gmock.h>

namespace {

class TrajectoryWindow : public LibraryFixture {
protected:
    // Ten shots near 250 m/s at the muzzle and ten near 220 m/s 20 m downrange.
    TrajectoryWindow() {
        std::vector<double> Near, Far;
        for (int Shot = 0; Shot < 10; ++Shot) {
            Near.push_back(250 + (Shot % 3) * 0.4);
            Far.push_back(220 + (Shot % 4) * 0.3);
        }
        FarId = AddSeries("at 20 m", Far, Noted("", "", 0.547));
        NearId = AddSeries("at the muzzle", Near, Noted("", "", 0.547));
    }

    std::int64_t NearId = 0, FarId = 0;
};

// The window starts from the series' mean and weight and what its notes keep, follows an edit at
// once, says why figures give no trajectory, and keeps the BC, sight and zero with the series.
TEST_F(TrajectoryWindow, FollowsEveryEditAndKeepsItsFiguresWithTheSeries) {
    std::optional<TSeriesBallistics> Kept;
    TTrajectoryStart Start{"at the muzzle",
                           250.0,
                           0.547,
                           {0.021, 0.05, 25.0},
                           [&Kept](const TSeriesBallistics& Figures) { Kept = Figures; }};
    TFrmTrajectory Window(Start, Settings, English, nullptr);
    EXPECT_EQ(Window.Edits[0]->text(), "250.0");
    EXPECT_EQ(Window.Edits[3]->text(), "5.0") << "the sight height in cm";
    ASSERT_EQ(Window.TableRows().size(), 11u) << "0 to 50 m in 5 m steps";
    EXPECT_EQ(Window.TableRows()[0][1], "-5.0") << "the bore starts under the line of sight";
    EXPECT_NEAR(std::stod(Window.TableRows()[5][1]), 0, 0.05) << "it crosses it at the zero";
    EXPECT_THAT(Window.Findings(), testing::HasSubstr("Point-blank range for a 25 mm kill zone"));

    const std::string Before = Window.TableRows()[10][1];
    Window.Edits[1]->setText("0.030");
    EXPECT_NE(Window.TableRows()[10][1], Before) << "a higher BC drops less at 50 m";
    Window.Edits[4]->setText("zero");
    EXPECT_TRUE(Window.TableRows().empty());
    EXPECT_EQ(Window.Findings(), "Every field needs a number");
    Window.Edits[4]->setText("30");
    Window.btnKeep->click();
    ASSERT_TRUE(Kept);
    EXPECT_NEAR(*Kept->BallisticCoefficient, 0.03, 1e-12);
    EXPECT_NEAR(*Kept->SightHeight, 0.05, 1e-12);
    EXPECT_NEAR(*Kept->ZeroRange, 30, 1e-12);
}

// The faster of two series is the muzzle's; the BC found lies within its interval and goes into
// that series' notes beside the sight it already keeps.
TEST_F(TrajectoryWindow, TheLibraryMeasuresTheBallisticCoefficientOfTwoSeries) {
    Store.SetBallistics(NearId, {std::nullopt, 0.045, 30.0});
    TFrmLibrary Library(Store, Settings, English, nullptr);
    Library.show();
    Library.grdSeries->selectAll();
    Library.actBallistics->trigger();
    QApplication::processEvents();
    auto* Window = Library.findChild<TFrmBallisticCoefficient*>();
    ASSERT_NE(Window, nullptr);
    ASSERT_TRUE(Window->Estimate());
    const TBcEstimate& Estimate = *Window->Estimate();
    EXPECT_GT(Estimate.Bc, Estimate.Interval.Lower);
    EXPECT_LT(Estimate.Bc, Estimate.Interval.Upper);
    EXPECT_EQ(Estimate.NearShots, 10u);
    EXPECT_DOUBLE_EQ(Estimate.Distance, 20);
    Window->btnKeep->click();
    const std::optional<TSeriesBallistics> Kept = Store.Ballistics(NearId);
    ASSERT_TRUE(Kept);
    EXPECT_DOUBLE_EQ(*Kept->BallisticCoefficient, Estimate.Bc);
    EXPECT_EQ(Kept->SightHeight, 0.045);
    EXPECT_EQ(Store.Ballistics(FarId), TSeriesBallistics{});
}

} // namespace
