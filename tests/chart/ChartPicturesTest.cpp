// Renders the two charts worth looking at into PNG files in the build folder: the main
// window's configuration and a chart with every kind of series, a title and a legend.

#include "chart/NiceChart.h"

#include <QDir>
#include <QImage>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {

const QString PictureFolder = QStringLiteral(TARVEX_CHART_PICTURES);

QImage Rendered(TNiceChart& Chart) {
    QImage Image(Chart.size(), QImage::Format_RGB32);
    Image.fill(Qt::darkCyan);
    Chart.PaintTo(Image);
    return Image;
}

void Save(const QImage& Image, const QString& Name) {
    ASSERT_TRUE(QDir().mkpath(PictureFolder));
    ASSERT_TRUE(Image.save(PictureFolder + "/" + Name));
}

// Every pixel of the picture is painted: the chart never leaves parts of its area untouched.
bool CoversEverything(const QImage& Image) {
    for (int y = 0; y < Image.height(); ++y) {
        for (int x = 0; x < Image.width(); ++x) {
            if (Image.pixel(x, y) == QColor(Qt::darkCyan).rgb())
                return false;
        }
    }
    return true;
}

TEST(ChartPicturesTest, MainWindowConfiguration) {
    TNiceChart Chart;
    Chart.resize(771, 429);
    Chart.SetShowLegend(false);
    Chart.SetShowTitle(false);
    Chart.SetAxisXTitle("Shot");
    Chart.SetAxisXOnePerValue(true);
    Chart.SuspendUpdates();
    Chart.SetAxisYTitle("Speed");
    TNiceSeries& Speeds = Chart.AddSeries(skLine);
    Speeds.SetCaption("Speed");
    const double Speeds20[] = {175.2, 176.1, 174.8, 175.5, 175.9, 174.2, 176.4,
                               175.0, 175.3, 174.9, 175.7, 176.0, 174.6, 175.1,
                               175.8, 175.4, 174.7, 176.2, 175.6, 175.2};
    for (int Shot = 1; Shot <= 20; ++Shot)
        Speeds.AddValue(Shot, Speeds20[Shot - 1], "Shot " + std::to_string(Shot));
    Chart.ResumeUpdates();
    const QImage Image = Rendered(Chart);
    Save(Image, "main-window-chart.png");
    EXPECT_TRUE(CoversEverything(Image));
}

TEST(ChartPicturesTest, EveryKindOfSeries) {
    TNiceChart Chart;
    Chart.resize(771, 429);
    Chart.SuspendUpdates();
    Chart.SetTitle("Muzzle speed and energy of a test series, with a long title that wraps");
    Chart.SetAxisXTitle("Shot");
    Chart.SetAxisYTitle("Value");
    TNiceSeries& Bars = Chart.AddSeries(skBar);
    Bars.SetCaption("Energy (J)");
    TNiceSeries& Smooth = Chart.AddSeries(skSmooth);
    Smooth.SetCaption("Trend\nsmoothed");
    TNiceSeries& Line = Chart.AddSeries(skLine);
    Line.SetCaption("Speed / 10 (m/s)");
    for (int Shot = 1; Shot <= 12; ++Shot) {
        Bars.AddValue(Shot, 16 + 2 * std::sin(Shot), "");
        Smooth.AddValue(Shot, 14 + 3 * std::cos(Shot / 2.0), "");
        Line.AddValue(Shot, 17.5 + std::sin(Shot * 1.3) - (Shot == 7 ? 20 : 0), "");
    }
    Chart.ResumeUpdates();
    const QImage Image = Rendered(Chart);
    Save(Image, "every-kind-of-series.png");
    EXPECT_TRUE(CoversEverything(Image));
}

} // namespace
