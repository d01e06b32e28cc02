// What the series library costs the window, in ratios measured in one run: starting with a
// library of 10,000,000 shots that nobody records against starting with an empty one; filling
// the library window with 10,000 series of 10,000,000 shots against 10,000 series of one shot;
// and in times: a recorded series of 1,000,000 shots taken up at start until the window is shown
// and answers, and the library's longest write transaction, deleting the first shot of that
// series (against a burst of 10,000 shots appended and the last shot deleted).

#include "app/UDisplaySettings.h"
#include "app/UMainForm.h"
#include "bench/app/BenchDataFiles.h"
#include "library/SeriesStore.h"
#include "library/Sqlite.h"
#include "windows/UFrmLibrary.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace {

using TClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The quickest of a few runs of Action, in milliseconds.
template <typename TAction>
double QuickestMs(int Runs, TAction Action) {
    return bench::Quickest(Runs, Action) * 1e3;
}

// A library folder of its own: XDG_DATA_HOME for a window, and the library's path in it.
std::string LibraryFolder(const std::string& Name) {
    const auto Folder = bench::BenchFolder() / Name;
    std::filesystem::create_directories(Folder / "tarvex");
    return Folder.string();
}

std::string LibraryPath(const std::string& Folder) {
    return Folder + "/tarvex/series.db";
}

// Series of Shots each, written straight into the tables in one transaction (recording them would
// wait for the disk at every series); Recorded leaves them to be taken up at the next start. The
// store opened afterwards computes their figures and closes the library cleanly.
void FillLibrary(const std::string& Path, int Series, std::int64_t Shots, bool Recorded) {
    { const TSeriesStore Create(Path); }
    {
        TSqliteDatabase Database(Path, TSqliteDatabase::ReadWrite, 5s);
        TSqliteTransaction Transaction(Database);
        Database.Execute(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
            std::to_string(Series) +
            ") INSERT INTO series (name, created, used, ended, origin, pellet_weight_g) "
            "SELECT 'Series ' || i, '2026-12-09 12:00:00', i, " +
            (Recorded ? "0" : "1") + ", 'origin' || i, 0.547 FROM n");
        Database.Execute(
            "WITH RECURSIVE p(j) AS (SELECT 0 UNION ALL SELECT j + 1 FROM p WHERE j < " +
            std::to_string(Shots - 1) +
            ") INSERT INTO shots (series, position, speed, unit) SELECT s.id, p.j, "
            "170 + ((s.id * 7 + p.j * 13) % 11) * 0.5, 'M/S' FROM series s, p");
        Transaction.Commit();
    }
    { const TSeriesStore Figures(Path); }
}

// From nothing to a main window shown on the library in Folder with every event handled.
double WindowStartMs(const std::string& Folder, int Runs) {
    setenv("XDG_DATA_HOME", Folder.c_str(), 1);
    return QuickestMs(Runs, [] {
        TMainForm Form({}, 0ms);
        Form.show();
        QApplication::processEvents();
    });
}

double LibraryWindowMs(const std::string& Path) {
    TSeriesStore Store(Path);
    TSeries Series;
    TDisplaySettings Settings(Series);
    const TTranslate English = [](const std::string& Text) { return Text; };
    return QuickestMs(3, [&] {
        TFrmLibrary Library(Store, Settings, English, nullptr);
        Library.show();
        QApplication::processEvents();
    });
}

void BM_StartAndLibraryWindowWithTenMillionShots(benchmark::State& State) {
    const std::string Empty = LibraryFolder("empty");
    const std::string Large = LibraryFolder("large");
    const std::string Single = LibraryFolder("single");
    { const TSeriesStore Create(LibraryPath(Empty)); }
    FillLibrary(LibraryPath(Large), 10'000, 1'000, false);
    FillLibrary(LibraryPath(Single), 10'000, 1, false);
    for (auto _ : State) {
        const double EmptyStart = WindowStartMs(Empty, 5);
        const double LargeStart = WindowStartMs(Large, 5);
        const double SingleWindow = LibraryWindowMs(LibraryPath(Single));
        const double LargeWindow = LibraryWindowMs(LibraryPath(Large));
        State.counters["start_empty_ms"] = EmptyStart;
        State.counters["start_10M_ms"] = LargeStart;
        State.counters["start_ratio"] = LargeStart / EmptyStart;
        State.counters["library_window_1_shot_ms"] = SingleWindow;
        State.counters["library_window_10M_ms"] = LargeWindow;
        State.counters["library_window_ratio"] = LargeWindow / SingleWindow;
    }
}

// The series being recorded when the program ended, taken up by the next start: how soon the
// window is shown and has handled its first events (it answers), the longest the window is then
// busy at a time while the shots come in, and when they are all in.
void MeasureTakeUp(benchmark::State& State, const std::string& Folder) {
    setenv("XDG_DATA_HOME", Folder.c_str(), 1);
    const auto Start = TClock::now();
    TMainForm Form({}, 0ms);
    Form.show();
    QApplication::processEvents();
    const double Shown = std::chrono::duration<double, std::milli>(TClock::now() - Start).count();
    double LongestBusy = 0;
    while (Form.TakingUpSeries() || Form.Shots().empty()) {
        LongestBusy = std::max(LongestBusy, QuickestMs(1, [] { QApplication::processEvents(); }));
    }
    State.counters["take_up_shown_ms"] = Shown;
    State.counters["take_up_longest_busy_ms"] = LongestBusy;
    State.counters["take_up_all_in_ms"] =
        std::chrono::duration<double, std::milli>(TClock::now() - Start).count();
    State.counters["take_up_shots"] = static_cast<double>(Form.Shots().size());
}

void BM_TakeUpAMillionShotSeries(benchmark::State& State) {
    const std::string Folder = LibraryFolder("recorded");
    FillLibrary(LibraryPath(Folder), 1, 1'000'000, true);
    for (auto _ : State) {
        MeasureTakeUp(State, Folder);
        TSeriesStore Store(LibraryPath(Folder));
        const std::int64_t Id = *Store.ClaimLastSeries();
        std::size_t Count = Store.ListedSeries(Id)->ShotCount;
        const double AppendBurst = QuickestMs(3, [&] {
            Store.AppendShots(Id, std::vector<TData>(10'000, TData("M/S", 175)), Count);
            Count += 10'000;
        });
        const double DeleteLast = QuickestMs(3, [&] { Store.DeleteShots(Id, {--Count}); });
        const double DeleteFirst = QuickestMs(3, [&] {
            Store.DeleteShots(Id, {0});
            --Count;
        });
        State.counters["delete_first_of_1M_ms"] = DeleteFirst;
        State.counters["delete_last_of_1M_ms"] = DeleteLast;
        State.counters["append_10k_burst_ms"] = AppendBurst;
        State.counters["longest_write_ms"] = std::max({DeleteFirst, DeleteLast, AppendBurst});
    }
}

BENCHMARK(BM_StartAndLibraryWindowWithTenMillionShots)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_TakeUpAMillionShotSeries)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return bench::RunBenchmarks(argc, argv);
}
