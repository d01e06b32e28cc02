// Filling the series library window with a library of 10,000 series of 50 shots, against the bare
// query of the same rows, in one run.

#include "app/UDisplaySettings.h"
#include "bench/BenchMain.h"
#include "library/SeriesStore.h"
#include "library/Sqlite.h"
#include "windows/UFrmLibrary.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>

namespace {

using namespace std::chrono;

constexpr int SeriesCount = 10000;
constexpr int ShotsPerSeries = 50;

// The library, written in one transaction straight into its tables: recording it series by
// series would wait for the disk 10,000 times.
void FillLibrary(const std::string& Path) {
    { const TSeriesStore Create(Path); }
    TSqliteDatabase Database(Path, TSqliteDatabase::ReadWrite, seconds(5));
    TSqliteTransaction Transaction(Database);
    Database.Execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                     std::to_string(SeriesCount) +
                     ") INSERT INTO series (name, created, used, gun, pellet) SELECT 'Series ' || "
                     "i, '2026-12-09 12:00:00', i, 'Gun ' || (i % 3), 'Pellet ' || (i % 7) FROM n");
    Database.Execute("WITH RECURSIVE p(j) AS (SELECT 0 UNION ALL SELECT j + 1 FROM p WHERE j < " +
                     std::to_string(ShotsPerSeries - 1) +
                     ") INSERT INTO shots (series, position, speed, unit) SELECT s.id, p.j, 170 + "
                     "((s.id * 7 + p.j * 13) % 11) * 0.5, 'M/S' FROM series s, p");
    Transaction.Commit();
}

template <typename TFill>
double FastestSeconds(TFill Fill) {
    double Fastest = 1e9;
    for (int Round = 0; Round < 5; ++Round) {
        const auto Start = steady_clock::now();
        Fill();
        Fastest = std::min(Fastest, duration<double>(steady_clock::now() - Start).count());
    }
    return Fastest;
}

void BM_LibraryWindowFillAgainstBareQuery(benchmark::State& State) {
    const std::filesystem::path Folder =
        std::filesystem::temp_directory_path() /
        ("tarvex-library-bench-" + std::to_string(QCoreApplication::applicationPid()));
    std::filesystem::create_directories(Folder);
    const std::string Path = (Folder / "series.db").string();
    FillLibrary(Path);
    TSeriesStore Store(Path);
    TSeries Series;
    TDisplaySettings Settings(Series);
    const TTranslate English = [](const std::string& Text) { return Text; };
    for (auto _ : State) {
        std::size_t Rows = 0;
        const double Query = FastestSeconds([&] { Rows = Store.ListSeries().size(); });
        const double Window = FastestSeconds([&] {
            TFrmLibrary Library(Store, Settings, English, nullptr);
            Library.show();
            QApplication::processEvents();
        });
        State.counters["series"] = static_cast<double>(Rows);
        State.counters["bare_query_ms"] = Query * 1e3;
        State.counters["window_fill_ms"] = Window * 1e3;
        State.counters["fill_ratio"] = Window / Query;
    }
    std::filesystem::remove_all(Folder);
}

BENCHMARK(BM_LibraryWindowFillAgainstBareQuery)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return bench::RunWithApplication<QApplication>(argc, argv);
}
