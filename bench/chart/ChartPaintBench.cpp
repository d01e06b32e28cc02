// Layout plus paint of the chart as the main window shows it (771 x 429 pixels, one value per
// shot), in two figures:
// - against the least any chart must do to show the same series, one polyline and the same
//   markers: at most twice the baseline at 10,000 values;
// - at 1,000,000 values against 1,000 values, both measured in one run: at most 3, since the
//   cost follows the plot's width, not the number of values.
// Also the interpolation solve of a smooth series at its largest size, 249 vertices.

#include "chart/BSplines.h"
#include "chart/ChartModel.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int ChartWidth = 771;
constexpr int ChartHeight = 429;

class TNoOwner : public TSeriesOwner {
public:
    void UpdateChart() override {}
};

// The main window's chart: no legend, no title, both grids, shot numbers as X.
struct TMainWindowChart {
    TMainWindowChart(int Count, bool OnePerValue) {
        TChartProperties& Properties = Model.Properties();
        Properties.ShowLegend = false;
        Properties.ShowTitle = false;
        Properties.AxisXTitle = "Shot";
        Properties.AxisYTitle = "Speed";
        Properties.AxisXOnePerValue = OnePerValue;
        TNiceSeries& Series = Model.AddSeries(skLine);
        for (int Shot = 1; Shot <= Count; ++Shot)
            Series.AddValue(Shot, 175 + 1.5 * std::sin(Shot * 0.7), "Shot " + std::to_string(Shot));
    }

    void LayOutAndPaint() {
        Model.CalculateLayout(ChartWidth, ChartHeight);
        Model.PaintTo(Image);
        benchmark::DoNotOptimize(Image.constBits());
    }

    TNoOwner Owner;
    TChartModel Model{Owner, nullptr};
    QImage Image{ChartWidth, ChartHeight, QImage::Format_RGB32};
};

void BM_Chart(benchmark::State& State, bool OnePerValue) {
    TMainWindowChart Main(static_cast<int>(State.range(0)), OnePerValue);
    for (auto _ : State)
        Main.LayOutAndPaint();
    State.SetItemsProcessed(State.iterations() * State.range(0));
}

void BM_Baseline(benchmark::State& State) {
    TMainWindowChart Main(static_cast<int>(State.range(0)), true);
    Main.Model.CalculateLayout(ChartWidth, ChartHeight);
    std::vector<QPoint> Points;
    for (const TXYInfo& Value : Main.Model.GetSeries(0).Values()) {
        int X = 0;
        int Y = 0;
        Main.Model.Layout().ValueToClient(Value.X, Value.Y, X, Y);
        Points.emplace_back(X, Y);
    }
    const int s = Main.Model.Layout().MarkerSize();
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

double SecondsOf(TMainWindowChart& Chart) {
    const auto Start = std::chrono::steady_clock::now();
    Chart.LayOutAndPaint();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

// Both sizes in every iteration, so that they share the machine's state of the moment.
void BM_ChartScaling(benchmark::State& State) {
    TMainWindowChart Small(1000, true);
    TMainWindowChart Large(1000000, true);
    double SmallSeconds = 0;
    double LargeSeconds = 0;
    for (auto _ : State) {
        SmallSeconds += SecondsOf(Small);
        LargeSeconds += SecondsOf(Large);
    }
    const double Iterations = static_cast<double>(State.iterations());
    State.counters["ms_1000"] = 1000 * SmallSeconds / Iterations;
    State.counters["ms_1000000"] = 1000 * LargeSeconds / Iterations;
    State.counters["ratio"] = LargeSeconds / SmallSeconds;
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
BENCHMARK(BM_ChartScaling)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InterpolationSolve)->Unit(benchmark::kMicrosecond);

// Prints each chart run's time as a multiple of the baseline's with the same count, and the
// chart's time at 1,000,000 values as a multiple of its time at 1,000.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Runs) override {
        for (const Run& R : Runs) {
            Times[R.benchmark_name()] = R.GetAdjustedRealTime();
            // With repetitions, the median of the ratios rather than their spread.
            const bool Measured = R.run_type == Run::RT_Iteration || R.aggregate_name == "median";
            if (Measured && R.counters.count("ratio"))
                ScalingRatio = R.counters.at("ratio");
        }
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
        if (ScalingRatio > 0)
            std::printf("chart 1,000,000 values / 1,000 values: %.2f (at most 3)\n", ScalingRatio);
    }

private:
    std::map<std::string, double> Times;
    double ScalingRatio = 0;
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication Application(argc, argv);
    benchmark::Initialize(&argc, argv);
    TRatioReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    Reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
