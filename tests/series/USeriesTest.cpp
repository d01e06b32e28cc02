// The series on its own, without a window or an application object: what it holds, what it
// computes in each unit system, what it tells its listener and where it stops.

#include "series/USeries.h"

#include "tests/support/ScopedFormatSettings.h"

#include <gtest/gtest.h>

namespace {

struct TNotice {
    TSeriesChange Change;
    std::size_t First;
    bool operator==(const TNotice&) const = default;
};

class SeriesTest : public testing::Test {
protected:
    SeriesTest() {
        Series.OnChange = [this](TSeriesChange Change, std::size_t First) {
            Notices.push_back({Change, First});
        };
    }

    void Add(std::initializer_list<std::pair<const char*, double>> Shots) {
        for (const auto& [Unit, Speed] : Shots)
            ASSERT_TRUE(Series.Append(TData(Unit, Speed)));
    }

    std::vector<double> Speeds() const {
        std::vector<double> Values;
        for (std::size_t i = 0; i < Series.Count(); ++i)
            Values.push_back(Series.Values(i).Speed);
        return Values;
    }

    TScopedFormatSettings Point{"."};
    TSeries Series;
    std::vector<TNotice> Notices;
};

// What the window shows follows from the shots, whichever change came last: appends update the
// running values, a change of units or weight recomputes every one.
TEST_F(SeriesTest, ValuesAndStatisticsFollowEveryChange) {
    Add({{"m/s", 170}, {"fps", 590.55}, {"m/s", 180}});
    const struct {
        const char* Step;
        std::function<void()> Change;
        double Mean, Maximum, FirstEnergy;
    } Steps[] = {
        {"appended", [] {}, 176.6666667, 180, 7.9045},
        {"imperial", [&] { Series.SetUnits(ImperialUnits); }, 579.6, 590.55, 0.37774},
        {"weight", [&] { Series.SetPeletWeight(8.44); }, 579.6, 590.55, 5.82833},
        {"metric", [&] { Series.SetUnits(MetricUnits); }, 176.6666667, 180, 121.958},
        {"deleted", [&] { Series.Delete({1}); }, 175, 180, 121.958},
    };
    for (const auto& Step : Steps) {
        Step.Change();
        const TShotStatistics& Statistics = Series.Statistics();
        EXPECT_NEAR(Statistics.Speed.Average(), Step.Mean, 0.1) << Step.Step;
        EXPECT_NEAR(Statistics.Speed.Maximum, Step.Maximum, 0.01) << Step.Step;
        EXPECT_NEAR(Series.Values(0).Energy, Step.FirstEnergy, Step.FirstEnergy * 1e-3)
            << Step.Step;
        EXPECT_EQ(Statistics.Count(), static_cast<int>(Series.Count())) << Step.Step;
    }
    EXPECT_EQ(Notices.back(), (TNotice{TSeriesChange::Reset, 0}));
}

TEST_F(SeriesTest, ListenerLearnsWhatChanged) {
    Add({{"m/s", 170}, {"m/s", 171}});
    Series.SetSpeedLimit(171);
    Series.Replace({TData("m/s", 1), TData("m/s", 2), TData("m/s", 3)});
    Series.Delete({0, 2});
    Series.Clear();
    EXPECT_EQ(Notices, (std::vector<TNotice>{{TSeriesChange::Appended, 0},
                                             {TSeriesChange::Appended, 1},
                                             {TSeriesChange::Reset, 0},
                                             {TSeriesChange::Reset, 0},
                                             {TSeriesChange::Reset, 0}}));
    EXPECT_TRUE(Series.Empty());
}

// A full series adds nothing and keeps what it has; a replacement too large is refused whole.
TEST_F(SeriesTest, HoldsAtMostAMillionShots) {
    std::vector<TData> Many(TSeries::MaxShots, TData("m/s", 175));
    Series.Replace(Many);
    EXPECT_TRUE(Series.Full());
    EXPECT_FALSE(Series.Append(TData("m/s", 176)));
    EXPECT_EQ(Series.Count(), TSeries::MaxShots);
    Series.Delete({0});
    EXPECT_TRUE(Series.Append(TData("m/s", 176)));
    Many.emplace_back("m/s", 177);
    EXPECT_THROW(Series.Replace(Many), ESeriesFull);
    EXPECT_EQ(Series.Count(), TSeries::MaxShots);
    EXPECT_EQ(Series.Shots().back().Speed(), 176);
}

TEST_F(SeriesTest, FiguresGiveEveryShotAndTheSummaryTranslated) {
    const TTranslate Upper = [](const std::string& Text) { return "<" + Text + ">"; };
    TSeriesFigures Empty = Series.Figures(Upper);
    EXPECT_TRUE(Empty.Shots.empty());
    EXPECT_EQ(Empty.Statistics[0], (TSheetRow{"<Maximum>", "", ""}));
    Add({{"m/s", 170}, {"m/s", 180}});
    const TSeriesFigures Figures = Series.Figures(Upper);
    EXPECT_EQ(Figures.Header[2], "<Speed [m/s]>");
    EXPECT_EQ(Figures.Shots[1], (TSheetRow{"2", "", "180.00", "5.00", "8.86"}));
    EXPECT_EQ(Figures.Statistics[3], (TSheetRow{"<Extreme spread>", "10.00", "0.96"}));
    EXPECT_EQ(Figures.Count, (TSheetRow{"<Shots>", "2"}));
    EXPECT_EQ(Figures.PeletWeight[1], "0.547");
}

} // namespace
