// Layout plus paint of the chart against the least any chart must do to show the same series:
// one polyline and the same markers. The main window gives the chart 771 x 429 pixels and
// one value per shot; the chart should cost at most twice the baseline at 10,000 values.
// Also the interpolation solve of a smooth series at its largest size, 249 vertices.

#include "chart/BSplines.h"
#include "chart/NiceChart.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int ChartWidth = 771;
constexpr int ChartHeight = 429;

// The main window's chart: no legend, no title, both grids, shot numbers as X.
struct TMainWindowChart {
    explicit TMainWindowChart(int Count, bool OnePerValue) {
        Chart.resize(ChartWidth, ChartHeight);
        Chart.SuspendUpdates();
        Chart.SetShowLegend(false);
        Chart.SetShowTitle(false);
        Chart.SetAxisXTitle("Shot");
        Chart.SetAxisYTitle("Speed");
        Chart.SetAxisXOnePerValue(OnePerValue);
        TNiceSeries& Series = Chart.AddSeries(skLine);
        for (int Shot = 1; Shot <= Count; ++Shot)
            Series.AddValue(Shot, 175 + 1.5 * std::sin(Shot * 0.7), "Shot " + std::to_string(Shot));
    }

    TNiceChart Chart;
};

void BM_Chart(benchmark::State& State, bool OnePerValue) {
    TMainWindowChart Main(static_cast<int>(State.range(0)), OnePerValue);
    QImage Image(ChartWidth, ChartHeight, QImage::Format_RGB32);
    for (auto _ : State) {
        Main.Chart.ResumeUpdates();
        Main.Chart.PaintTo(Image);
        benchmark::DoNotOptimize(Image.constBits());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}

void BM_Baseline(benchmark::State& State) {
    TMainWindowChart Main(static_cast<int>(State.range(0)), true);
    Main.Chart.ResumeUpdates();
    std::vector<QPoint> Points;
    for (const TXYInfo& Value : Main.Chart.GetSeries(0).Values())
        Points.emplace_back(Value.ScreenX, Value.ScreenY);
    const int s = Main.Chart.Layout().MarkerSize();
    QImage Image(ChartWidth, ChartHeight, QImage::Format_RGB32);
    for (auto _ : State) {
        QPainter Painter(&Image);
        Painter.fillRect(Image.rect(), Qt::white);
        Painter.setPen(QPen(QColor(0xFF, 0, 0), 1, Qt::SolidLine, Qt::FlatCap));
        Painter.drawPolyline(Points.data(), static_cast<int>(Points.size()));
        Painter.setBrush(Qt::white);
        for (const QPoint P : Points)
            Painter.drawRect(P.x() - s, P.y() - s, 2 * s - 1, 2 * s - 1);
        Painter.end();
        benchmark::DoNotOptimize(Image.constBits());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}

void BM_InterpolationSolve(benchmark::State& State) {
    TBSpline Spline;
    for (int i = 0; i < 249; ++i)
        Spline.AddPoint({float(i), float(i % 2)});
    Spline.SetInterpolated(true);
    for (auto _ : State) {
        Spline.SetBuilt(false);
        Spline.Rebuild();
        benchmark::DoNotOptimize(Spline.FGetVertex(125));
    }
}

BENCHMARK_CAPTURE(BM_Chart, OnePerValue, true)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Chart, Numeric, false)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Baseline)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InterpolationSolve)->Unit(benchmark::kMicrosecond);

// Prints each chart run's time as a multiple of the baseline's with the same count.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Runs) override {
        for (const Run& R : Runs)
            Times[R.benchmark_name()] = R.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(Runs);
    }

    void PrintRatios() const {
        for (const char* Mode : {"OnePerValue", "Numeric"}) {
            for (const char* Count : {"100", "1000", "10000"}) {
                const auto Chart = Times.find(std::string("BM_Chart/") + Mode + "/" + Count);
                const auto Base = Times.find(std::string("BM_Baseline/") + Count);
                if (Chart != Times.end() && Base != Times.end())
                    std::printf("chart/baseline %-11s %5s values: %.2f\n", Mode, Count,
                                Chart->second / Base->second);
            }
        }
    }

private:
    std::map<std::string, double> Times;
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication Application(argc, argv);
    benchmark::Initialize(&argc, argv);
    TRatioReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    Reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
