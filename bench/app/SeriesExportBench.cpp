// The series leaving the program: the spreadsheet CSV of 1,000 and 100,000 shots, built in
// memory, and the printed report, a PDF with the chart, of 200 and 10,000 shots, written to a
// file. Each reports shots per second; the report also its size and its size per shot.

#include "chart/NiceChart.h"
#include "files/USeriesReport.h"
#include "files/USpreadsheetExport.h"
#include "series/UData.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>

namespace {

double SpeedOf(std::int64_t Shot) {
    return 175 + static_cast<double>(Shot * 37 % 200) / 100;
}

std::string TwoDigits(std::int64_t Value) {
    return (Value < 10 ? "0" : "") + std::to_string(Value);
}

// The rows as the window fills them: number, time received, speed, difference from the mean
// and energy, every number already formatted.
std::vector<TSheetRow> ShotRows(std::int64_t Shots) {
    std::vector<TSheetRow> Rows;
    for (std::int64_t Shot = 1; Shot <= Shots; ++Shot) {
        const double Speed = SpeedOf(Shot);
        Rows.push_back({std::to_string(Shot),
                        "2026-12-09 14:" + TwoDigits(Shot / 60 % 60) + ":" + TwoDigits(Shot % 60),
                        FormatValue(Speed), FormatValue(Speed - 176), FormatValue(Speed * 0.0273)});
    }
    return Rows;
}

const std::vector<TSheetRow> Statistics = {{"Maximum", "176.99", "8.57"},
                                           {"Mean", "176.00", "8.47"},
                                           {"Minimum", "175.00", "8.38"},
                                           {"Extreme spread", "1.99", "0.19"},
                                           {"Standard deviation", "0.58", "0.06"}};

const TSheetRow Header = {"Shot", "Time", "Speed [m/s]", "Difference from mean [m/s]",
                          "Energy [J]"};

void BM_SheetCsv(benchmark::State& State) {
    TSeriesSheet Sheet{
        Header, ShotRows(State.range(0)), {{"Shots", std::to_string(State.range(0))}}};
    for (const TSheetRow& Row : Statistics)
        Sheet.Summary.push_back({Row[0], "", Row[1], "", Row[2]});
    std::size_t Size = 0;
    for (auto _ : State) {
        const std::string Text = SheetCsv(Sheet, ';');
        Size = Text.size();
        benchmark::DoNotOptimize(Text.data());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(Size));
}

// The chart at the main window's size with the speeds as it draws them: one line, a point a shot.
void PlotSpeeds(TNiceChart& Chart, std::int64_t Shots) {
    Chart.resize(769, 427);
    Chart.SetAxisXOnePerValue(true);
    Chart.SuspendUpdates();
    TNiceSeries& Speeds = Chart.AddSeries(skLine);
    for (std::int64_t Shot = 1; Shot <= Shots; ++Shot)
        Speeds.AddValue(static_cast<double>(Shot), SpeedOf(Shot), std::to_string(Shot));
    Chart.ResumeUpdates();
}

TReportContent Report(std::int64_t Shots) {
    TReportContent Content;
    Content.Title = "TARVEX shot report";
    Content.Printed = "Printed: 2026-12-09 15:02:11";
    Content.Facts = {
        {"Units", "m/s, J, g"}, {"Pelet Weight [g]", "0.547"}, {"Shots", std::to_string(Shots)}};
    Content.StatisticsHeader = {"", "Speed [m/s]", "Energy [J]"};
    Content.Statistics = Statistics;
    Content.TableHeader = Header;
    Content.Rows = ShotRows(Shots);
    Content.PagePattern = "Page %s of %s";
    return Content;
}

void BM_WriteReportPdf(benchmark::State& State) {
    const QTemporaryDir Folder;
    const std::string FileName = Folder.filePath("report.pdf").toStdString();
    TNiceChart Chart;
    PlotSpeeds(Chart, State.range(0));
    const TReportContent Content = Report(State.range(0));
    for (auto _ : State)
        WriteReportPdf(FileName, Content, Chart.Picture());
    const auto Size = static_cast<double>(std::filesystem::file_size(FileName));
    State.SetItemsProcessed(State.iterations() * State.range(0));
    State.counters["pdf_KiB"] = Size / 1024;
    State.counters["pdf_bytes_per_shot"] = Size / static_cast<double>(State.range(0));
}

BENCHMARK(BM_SheetCsv)->Arg(1'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteReportPdf)->Arg(200)->Arg(10'000)->Unit(benchmark::kMillisecond);

} // namespace

// The chart draws with Qt's painter, which needs an application; no screen is needed.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication Application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
