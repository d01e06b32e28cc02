#include "chart/NiceChart.h"

#include "tests/support/ScriptedDialogs.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMouseEvent>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace {

// Counts the paint events that reach a widget.
class TPaintCounter : public QObject {
public:
    explicit TPaintCounter(QWidget& Widget) { Widget.installEventFilter(this); }
    int Paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* Event) override {
        Paints += Event->type() == QEvent::Paint;
        return false;
    }
};

class NiceChartTest : public testing::Test {
protected:
    NiceChartTest() {
        Chart.resize(400, 300);
        Chart.show();
        // Paints reach a window only once the platform has exposed it.
        QDeadlineTimer Deadline(5000);
        while (!(Chart.windowHandle() && Chart.windowHandle()->isExposed()) &&
               !Deadline.hasExpired())
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        Chart.ResumeUpdates();
        Counter.Paints = 0;
    }

    // A value's pixel stays (0, 0) until a layout places it.
    static bool LaidOut(const TXYInfo& Value) { return Value.ScreenX != 0 || Value.ScreenY != 0; }

    TNiceChart Chart;
    TPaintCounter Counter{Chart};
};

TEST(NiceChartDefaultsTest, ANewChart) {
    TNiceChart Chart;
    EXPECT_EQ(Chart.Title(), "Chart Title");
    EXPECT_EQ(Chart.AxisXTitle(), "X Axis");
    EXPECT_EQ(Chart.AxisYTitle(), "Y Axis");
    EXPECT_TRUE(Chart.ShowLegend() && Chart.ShowTitle() && Chart.ShowXGrid() && Chart.ShowYGrid());
    EXPECT_FALSE(Chart.AxisXOnePerValue() || Chart.Monochrome() || Chart.SoftColors());
    EXPECT_EQ(Chart.AxisXScale(), 1.0f);
    EXPECT_EQ(Chart.AxisYScale(), 1.0f);
    EXPECT_EQ(Chart.Color(), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(Chart.size(), QSize(300, 200));
    EXPECT_EQ(Chart.TitleFont().pixelSize(), 19);
    EXPECT_EQ(Chart.AxisFont().pixelSize(), 11);
    EXPECT_EQ(Chart.TitleFont().family(), "Arial");
    EXPECT_FALSE(Chart.Updating());
    EXPECT_EQ(Chart.SeriesCount(), 0);
}

TEST_F(NiceChartTest, ChangedPropertiesLayOutAndPaintSameOnesDoNothing) {
    Chart.SuspendUpdates();
    TNiceSeries& Series = Chart.AddSeries(skLine);
    Series.AddValue(3, 4, "");
    Chart.SuspendUpdates();
    Chart.ResumeUpdates();
    ASSERT_TRUE(LaidOut(Series.Values()[0]));
    const std::function<void()> Changes[] = {
        [&] { Chart.SetShowLegend(!Chart.ShowLegend()); },
        [&] { Chart.SetShowTitle(!Chart.ShowTitle()); },
        [&] { Chart.SetTitle(Chart.Title() + "!"); },
        [&] { Chart.SetAxisXTitle(Chart.AxisXTitle() + "!"); },
        [&] { Chart.SetAxisYTitle(Chart.AxisYTitle() + "!"); },
        [&] { Chart.SetAxisXOnePerValue(!Chart.AxisXOnePerValue()); },
        [&] { Chart.SetAxisXScale(Chart.AxisXScale() * 2); },
        [&] { Chart.SetAxisYScale(Chart.AxisYScale() * 2); },
        [&] { Chart.SetMonochrome(!Chart.Monochrome()); },
        [&] { Chart.SetSoftColors(!Chart.SoftColors()); },
        [&] { Series.SetCaption(Series.Caption() + "+"); },
    };
    const std::function<void()> Repeats[] = {
        [&] { Chart.SetShowLegend(Chart.ShowLegend()); },
        [&] { Chart.SetTitle(Chart.Title()); },
        [&] { Chart.SetAxisYTitle(Chart.AxisYTitle()); },
        [&] { Chart.SetAxisYScale(Chart.AxisYScale()); },
        [&] { Chart.SetShowXGrid(Chart.ShowXGrid()); },
        [&] { Series.SetCaption(Series.Caption()); },
    };
    for (const auto& Change : Changes) {
        const int Paints = Counter.Paints;
        Chart.SuspendUpdates();
        Series.AddValue(5, 6, "");
        Change();
        EXPECT_FALSE(LaidOut(Series.Values().back()));
        EXPECT_EQ(Counter.Paints, Paints);
        Chart.ResumeUpdates();
        EXPECT_EQ(Counter.Paints, Paints + 1);
        Change();
        EXPECT_EQ(Counter.Paints, Paints + 2);
    }
    for (const auto& Repeat : Repeats) {
        const int Paints = Counter.Paints;
        Repeat();
        EXPECT_EQ(Counter.Paints, Paints);
    }
}

TEST_F(NiceChartTest, AddValueLaysOutUnlessSuspended) {
    TNiceSeries& Series = Chart.AddSeries(skLine);
    EXPECT_EQ(Counter.Paints, 0);
    EXPECT_EQ(Series.AddValue(1, 10, "a"), 0);
    EXPECT_EQ(Series.AddValue(2, 20, "b"), 1);
    EXPECT_EQ(Counter.Paints, 2);
    EXPECT_TRUE(LaidOut(Series.Values()[1]));

    Chart.SuspendUpdates();
    Chart.SuspendUpdates();
    Series.AddValue(3, 30, "c");
    EXPECT_EQ(Counter.Paints, 2);
    Chart.ResumeUpdates();
    EXPECT_FALSE(Chart.Updating());
    EXPECT_EQ(Counter.Paints, 3);
    EXPECT_GE(Chart.Layout().XAxis().back().Value, 3);
}

TEST_F(NiceChartTest, SuspendedUpdatesResumeAlsoWhenAnExceptionLeavesTheScope) {
    TNiceSeries& Series = Chart.AddSeries(skLine);
    const auto Refill = [&] {
        const auto Suspended = Chart.SuspendedUpdates();
        Series.AddValue(1, 1, "");
        EXPECT_TRUE(Chart.Updating());
        throw std::runtime_error("refill failed");
    };
    EXPECT_THROW(Refill(), std::runtime_error);
    EXPECT_FALSE(Chart.Updating());
    EXPECT_TRUE(LaidOut(Series.Values()[0]));
    EXPECT_EQ(Counter.Paints, 1);
}

TEST_F(NiceChartTest, TheGridSwitchesRepaintAtOnceEvenWhenSuspended) {
    Chart.SuspendUpdates();
    TNiceSeries& Series = Chart.AddSeries(skLine);
    Series.AddValue(1, 1, "");
    const int Paints = Counter.Paints;
    Chart.SetShowXGrid(false);
    Chart.SetShowYGrid(false);
    EXPECT_EQ(Counter.Paints, Paints + 2);
    EXPECT_FALSE(LaidOut(Series.Values()[0]));
    EXPECT_FALSE(Chart.ShowXGrid() || Chart.ShowYGrid());
}

TEST_F(NiceChartTest, ClearSeriesWhileSuspendedEmptiesWithoutPainting) {
    TNiceSeries& Series = Chart.AddSeries(skLine);
    Series.AddValue(1, 1, "");
    Series.AddValue(2, 3, "");
    ASSERT_FALSE(Chart.Layout().XAxis().empty());
    Chart.SuspendUpdates();
    const int Paints = Counter.Paints;
    Chart.ClearSeries();
    EXPECT_EQ(Chart.SeriesCount(), 0);
    EXPECT_TRUE(Chart.Layout().XAxis().empty());
    EXPECT_TRUE(Chart.Layout().YAxis().empty());
    EXPECT_EQ(Counter.Paints, Paints);
    Chart.ResumeUpdates();
    EXPECT_EQ(Counter.Paints, Paints + 1);
}

TEST_F(NiceChartTest, ResizingLaysOutForTheNewSize) {
    Chart.AddSeries(skLine).AddValue(1, 1, "");
    Chart.resize(500, 320);
    QApplication::processEvents();
    EXPECT_EQ(Chart.Layout().LayoutWidth(), 500);
    EXPECT_EQ(Chart.Layout().LayoutHeight(), 320);
    EXPECT_EQ(Chart.Layout().PlotRect().Right, 480);
}

TEST_F(NiceChartTest, ZeroScalesAreStoredAsOne) {
    Chart.SetAxisXScale(1000);
    Chart.SetAxisXScale(0);
    Chart.SetAxisYScale(0);
    EXPECT_EQ(Chart.AxisXScale(), 1.0f);
    EXPECT_EQ(Chart.AxisYScale(), 1.0f);
}

TEST_F(NiceChartTest, SeriesAccess) {
    TNiceSeries& First = Chart.AddSeries(skBar);
    Chart.AddSeries(skSmooth);
    EXPECT_EQ(Chart.SeriesCount(), 2);
    EXPECT_EQ(&Chart.GetSeries(0), &First);
    EXPECT_EQ(First.Caption(), "Series");
    EXPECT_EQ(First.Kind(), skBar);
    EXPECT_EQ(&First.Chart(), &Chart);
    EXPECT_EQ(Chart.GetSeries(1).Kind(), skSmooth);
    EXPECT_THROW(Chart.GetSeries(2), std::out_of_range);
    EXPECT_THROW(Chart.GetSeries(-1), std::out_of_range);
}

TEST_F(NiceChartTest, ClientToValuesInsideThePlotOnly) {
    TNiceSeries& Series = Chart.AddSeries(skLine);
    Series.AddValue(0, 0, "");
    Series.AddValue(10, 10, "");
    const TRect& Plot = Chart.Layout().PlotRect();
    double X = -99;
    double Y = -99;
    EXPECT_FALSE(Chart.ClientToValues(Plot.Right, Plot.Top, X, Y));
    EXPECT_FALSE(Chart.ClientToValues(Plot.Left, Plot.Bottom, X, Y));
    EXPECT_FALSE(Chart.ClientToValues(Plot.Left - 1, Plot.Top, X, Y));
    EXPECT_EQ(X, -99);
    EXPECT_EQ(Y, -99);
    ASSERT_TRUE(Chart.ClientToValues(Plot.Left, Plot.Top, X, Y));
    const TAxisMapping& XMapping = Chart.Layout().XMapping();
    const TAxisMapping& YMapping = Chart.Layout().YMapping();
    EXPECT_DOUBLE_EQ(X, XMapping.Start);
    EXPECT_DOUBLE_EQ(Y, YMapping.Start + Plot.Height() / YMapping.Scale);
    ASSERT_TRUE(Chart.ClientToValues(Plot.Left + 7, Plot.Bottom - 1, X, Y));
    EXPECT_DOUBLE_EQ(X, XMapping.Start + 7 / XMapping.Scale);
    EXPECT_DOUBLE_EQ(Y, YMapping.Start + 1 / YMapping.Scale);
    std::string Hint = "none";
    Series.HintForX(X, Hint);
    EXPECT_EQ(Hint, "none");
}

TEST_F(NiceChartTest, ClientToValuesSnapsToTheNearestTick) {
    Chart.SetAxisXOnePerValue(true);
    TNiceSeries& Series = Chart.AddSeries(skLine);
    for (int Shot = 1; Shot <= 3; ++Shot)
        Series.AddValue(Shot, 170 + Shot, "Shot " + std::to_string(Shot));
    const std::vector<TAxisInfo>& Ticks = Chart.Layout().XAxis();
    ASSERT_EQ(Ticks.size(), 3U);
    ASSERT_EQ((Ticks[1].X - Ticks[0].X) % 2, 0) << "no pixel lies halfway";
    const int Halfway = (Ticks[0].X + Ticks[1].X) / 2;
    const int Row = Chart.Layout().PlotRect().Top + 5;
    double X = 0;
    double Y = 0;
    ASSERT_TRUE(Chart.ClientToValues(Halfway, Row, X, Y));
    EXPECT_EQ(X, 1);
    ASSERT_TRUE(Chart.ClientToValues(Halfway + 1, Row, X, Y));
    EXPECT_EQ(X, 2);
    ASSERT_TRUE(Chart.ClientToValues(Chart.Layout().PlotRect().Right - 1, Row, X, Y));
    EXPECT_EQ(X, 3);
    std::string Hint;
    Series.HintForX(X, Hint);
    EXPECT_EQ(Hint, "Shot 3");
}

TEST_F(NiceChartTest, MouseEventsReachTheHandlersAndTheirErrorsTheErrorBox) {
    TScriptedDialogs Dialogs;
    std::vector<std::string> Seen;
    Chart.OnMouseMove = [&](TNiceChart& Sender, Qt::KeyboardModifiers, int X, int Y) {
        EXPECT_EQ(&Sender, &Chart);
        Seen.push_back("move " + std::to_string(X) + "," + std::to_string(Y));
        throw std::runtime_error("no hint");
    };
    Chart.OnMouseDown = [&](TNiceChart&, Qt::MouseButton Button, Qt::KeyboardModifiers, int, int) {
        Seen.push_back(Button == Qt::LeftButton ? "down left" : "down other");
    };
    QMouseEvent Move(QEvent::MouseMove, QPointF(40, 50), QPointF(40, 50), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&Chart, &Move);
    QMouseEvent Press(QEvent::MouseButtonPress, QPointF(1, 2), QPointF(1, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Chart, &Press);
    EXPECT_EQ(Seen, (std::vector<std::string>{"move 40,50", "down left"}));
    EXPECT_EQ(Dialogs.Errors, (std::vector<std::string>{"no hint"}));
}

} // namespace
