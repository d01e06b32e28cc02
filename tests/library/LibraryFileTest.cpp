// The library file is TARVEX's own and is trusted no further than that: what is not a library is
// left untouched, what a hand put into one is read with care, and a clean library is not read
// through at every start.

#include "library/Schema.h"
#include "library/SeriesRecorder.h"
#include "library/SeriesStore.h"
#include "series/USeries.h"
#include "tests/library/SmallDisk.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ShotSpeeds.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using tests::Speeds;

bool Contains(const std::string& Text, const std::string& Part) {
    return Text.find(Part) != std::string::npos;
}

// What a folder holds, name by name with each file's bytes.
std::map<std::string, std::string> Contents(const std::string& Folder) {
    std::map<std::string, std::string> Files;
    for (const auto& Entry : fs::directory_iterator(Folder))
        Files[Entry.path().filename().string()] = Entry.is_regular_file() && !Entry.is_symlink()
                                                      ? tests::ReadFileText(Entry.path().string())
                                                      : "not a file";
    return Files;
}

void MakeDatabase(const std::string& Path, const std::string& Sql) {
    TSqliteDatabase(Path, TSqliteDatabase::ReadWrite, 1s).Execute(Sql);
}

TEST(LibraryFileTest, WhatIsNotATarvexLibraryIsRefusedAndLeftAsItIs) {
    const struct {
        const char* Case;
        std::function<void(const tests::TTempFolder&)> Make;
        const char* Said;
    } Cases[] = {
        {"another program's database",
         [](const tests::TTempFolder& Folder) {
             MakeDatabase(Folder.File("series.db"),
                          "CREATE TABLE accounts (name TEXT); INSERT INTO accounts VALUES ('x')");
         },
         "is not a TARVEX series library"},
        {"another program's mark",
         [](const tests::TTempFolder& Folder) {
             MakeDatabase(Folder.File("series.db"), "PRAGMA application_id = 42");
         },
         "is not a TARVEX series library"},
        {"a FIFO",
         [](const tests::TTempFolder& Folder) {
             ASSERT_EQ(::mkfifo(Folder.File("series.db").c_str(), 0600), 0);
         },
         "is not a file"},
        {"a link to a library",
         [](const tests::TTempFolder& Folder) {
             { const TSeriesStore Elsewhere(Folder.File("elsewhere.db")); }
             fs::create_symlink(Folder.File("elsewhere.db"), Folder.File("series.db"));
         },
         "series.db"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Case);
        const tests::TTempFolder Folder;
        C.Make(Folder);
        const auto Before = Contents(Folder.Path().string());
        try {
            TSeriesStore Store(Folder.File("series.db"));
            ADD_FAILURE() << "opened";
        } catch (const EStore& Error) {
            EXPECT_TRUE(Contains(Error.what(), C.Said)) << Error.what();
        }
        EXPECT_EQ(Contents(Folder.Path().string()), Before);
    }
}

// A trigger or view planted in the library never runs: the shots read back are those written.
TEST(LibraryFileTest, ATriggerPlantedInTheLibraryChangesNoShot) {
    const tests::TTempFolder Folder;
    const std::string Path = Folder.File("series.db");
    { const TSeriesStore Created(Path); }
    MakeDatabase(Path, "CREATE TRIGGER falsify AFTER INSERT ON shots BEGIN "
                       "UPDATE shots SET speed = speed + 100 WHERE series = new.series; END");
    TSeriesStore Store(Path);
    const std::int64_t Id = Store.StartSeries("planted");
    Store.AppendShots(Id, {{"M/S", 175.5}, {"FPS", 600}}, 0);
    EXPECT_EQ(Speeds(Store.LoadShots(Id, TSeries::MaxShots).Shots),
              (std::vector<double>{175.5, 600}));
    EXPECT_NEAR(*Store.ListedSeries(Id)->Mean, (175.5 + 600 * 0.3048) / 2, 1e-9);
}

TEST(LibraryFileTest, TheLibraryIsItsOwnersAlone) {
    const tests::TTempFolder Folder;
    const std::string Path = Folder.File("series.db");
    TSeriesStore Store(Path);
    Store.AppendShots(Store.StartSeries("private"), {{"M/S", 175}}, 0);
    for (const char* Suffix : {"", "-wal", "-shm", ".recording.lock"}) {
        struct stat Status {};
        ASSERT_EQ(::stat((Path + Suffix).c_str(), &Status), 0) << Suffix;
        EXPECT_EQ(Status.st_mode & 077, 0U) << Suffix;
    }
}

// A library written by hand: rows without a readable speed in a known unit are left out and
// counted, the figures count only what can be read, and a series longer than the window can hold
// is refused whole.
TEST(LibraryFileTest, AHandWrittenLibraryGivesOnlyReadableShots) {
    const tests::TTempFolder Folder;
    const std::string Path = Folder.File("series.db");
    MakeDatabase(Path, R"(
CREATE TABLE series (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL, created TEXT NOT NULL,
    used INTEGER NOT NULL, gun TEXT NOT NULL DEFAULT '', pellet TEXT NOT NULL DEFAULT '',
    pellet_weight_g REAL, pressure_start_bar REAL, pressure_end_bar REAL, temperature_c REAL,
    remarks TEXT NOT NULL DEFAULT '', ended INTEGER NOT NULL DEFAULT 0);
CREATE TABLE shots (series INTEGER, position INTEGER, speed REAL, unit TEXT, received TEXT,
    PRIMARY KEY (series, position)) WITHOUT ROWID;
INSERT INTO series (id, name, created, used, pellet_weight_g) VALUES
    (1, 'by hand', '2026-12-01 10:00:00', 1, 'heavy'), (2, 'long', '2026-12-01 11:00:00', 2, 0.547);
INSERT INTO shots VALUES (1, 0, 250.1, 'M/S', NULL), (1, 1, 'fast', 'M/S', NULL),
    (1, 2, NULL, 'M/S', NULL), (1, 3, 9e999, 'M/S', NULL), (1, 4, -9e999, 'FPS', NULL),
    (1, 5, 100, 'KM/H', NULL), (1, 6, 820, 'FPS', '2026-12-01 10:00:01.250'), (1, 7, 1e308, 'M/S', NULL);
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 1999999)
    INSERT INTO shots SELECT 2, i, 250, 'M/S', NULL FROM n;
PRAGMA user_version = 2;
)");
    TSeriesStore Store(Path);
    const TSeriesEntry Hand = *Store.ListedSeries(1);
    EXPECT_EQ(Hand.ShotCount, 3U);
    EXPECT_EQ(Hand.Notes.PeletWeight, std::nullopt) << "a weight that is no number";
    const TStoredShots Read = Store.LoadShots(1, TSeries::MaxShots);
    EXPECT_EQ(Speeds(Read.Shots), (std::vector<double>{250.1, 820, 1e308}));
    EXPECT_EQ(Read.Skipped, 5U);
    EXPECT_EQ(ReceivedText(Read.Shots[1]), "2026-12-01 10:00:01");
    EXPECT_EQ(Store.ListedSeries(2)->ShotCount, 2'000'000U);
    try {
        Store.LoadShots(2, TSeries::MaxShots);
        ADD_FAILURE() << "a series of two million shots was read";
    } catch (const ESeriesTooLong& Error) {
        EXPECT_EQ(Error.Count(), 2'000'000U);
    }
    // Taken up at start, the long series is refused with a word, and recording goes on.
    TSeries Series;
    TSeriesRecorder Recorder(Series, std::make_unique<TSeriesStore>(Path));
    std::size_t Told = 0;
    Recorder.SeriesTooLong = [&](std::size_t Count) { Told = Count; };
    EXPECT_FALSE(Recorder.ResumeLastSeries());
    EXPECT_EQ(Told, 2'000'000U);
    Series.Append(TData("M/S", 175));
    EXPECT_TRUE(Recorder.Flush());
    EXPECT_NE(Recorder.CurrentSeries(), std::optional<std::int64_t>(2));
}

// A library the program closed itself is not read through at the next start; one left by a
// crash, or changed since by another hand, is, and its figures are computed again from the shots.
TEST(LibraryFileTest, OnlyALibraryNotClosedCleanlyIsReadThrough) {
    const struct {
        const char* Case;
        bool Crashed;
        bool Recovered;
    } Cases[] = {
        {"closed cleanly", false, false},
        {"left by a crash", true, true},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Case);
        const tests::TTempFolder Folder;
        const std::string Path = Folder.File("series.db");
        {
            TSeriesStore Store(Path);
            const std::int64_t Id = Store.StartSeries("a");
            for (int Burst = 0; Burst < 50; ++Burst)
                Store.AppendShots(Id, std::vector<TData>(100, TData("M/S", 175)),
                                  static_cast<std::size_t>(Burst) * 100);
        }
        // A page of shots far from the header damaged, the file's time kept as it was.
        struct stat Before {};
        ASSERT_EQ(::stat(Path.c_str(), &Before), 0);
        {
            std::fstream File(Path, std::ios::in | std::ios::out | std::ios::binary);
            File.seekp(Before.st_size - 3 * 4096);
            File << std::string(4096, 'x');
        }
        const struct timespec Times[] = {Before.st_atim, Before.st_mtim};
        ASSERT_EQ(::utimensat(AT_FDCWD, Path.c_str(), Times, 0), 0);
        if (C.Crashed)
            tests::WriteFileText(Path + "-wal", "left over");
        const TSeriesStore Store(Path);
        EXPECT_EQ(Store.Opening() == TSeriesStore::Recovered, C.Recovered);
    }
}

TEST(LibraryFileTest, FiguresFollowShotsAHandAddedToTheLibrary) {
    const tests::TTempFolder Folder;
    const std::string Path = Folder.File("series.db");
    std::int64_t Id = 0;
    {
        TSeriesStore Store(Path);
        Id = Store.StartSeries("a");
        Store.AppendShots(Id, {{"M/S", 170}, {"M/S", 172}}, 0);
    }
    MakeDatabase(Path,
                 "INSERT INTO shots VALUES (" + std::to_string(Id) + ", 9, 180, 'M/S', NULL)");
    const TSeriesStore Store(Path);
    const TSeriesEntry Entry = *Store.ListedSeries(Id);
    EXPECT_EQ(Entry.ShotCount, 3U);
    EXPECT_EQ(Entry.Maximum, 180);
    EXPECT_NEAR(*Entry.Mean, 174, 1e-9);
}

// On a read-only disk (or in a folder that takes no files) the library is open for reading:
// every series and shot is there, nothing is recorded.
TEST(LibraryFileTest, AReadOnlyLibraryCanBeBrowsed) {
    const tests::TTempFolder Folder;
    const std::string Disk = Folder.File("disk");
    fs::create_directory(Disk);
    tests::TSmallDisk Mount(Disk);
    const std::string Path = Disk + "/series.db";
    std::int64_t Id = 0;
    {
        TSeriesStore Store(Path);
        Id = Store.StartSeries("kept");
        Store.AppendShots(Id, {{"M/S", 175}, {"M/S", 176}}, 0);
    }
    if (!Mount.MakeReadOnly())
        fs::permissions(Disk, fs::perms::owner_read | fs::perms::owner_exec);
    if (std::ofstream(Disk + "/probe"))
        GTEST_SKIP() << "this user writes even a read-only folder";
    TSeriesStore Store(Path);
    EXPECT_EQ(Store.Opening(), TSeriesStore::OpenedUnwritable);
    EXPECT_TRUE(Contains(Store.Message(), "reading only")) << Store.Message();
    EXPECT_EQ(Store.ListSeries().size(), 1U);
    EXPECT_EQ(Speeds(Store.LoadShots(Id, TSeries::MaxShots).Shots),
              (std::vector<double>{175, 176}));
    EXPECT_EQ(Store.ClaimLastSeries(), std::nullopt);
    EXPECT_THROW(Store.CreateSeries("new"), EStore);
    std::error_code OnTheReadOnlyDisk;
    fs::permissions(Disk, fs::perms::owner_all, OnTheReadOnlyDisk);
}

} // namespace

namespace {

// A series is deleted in parts; what a program that ended meanwhile left of it goes at the next
// start, and it is never listed again.
TEST(LibraryFileTest, ADeletedSeriesGoesWholeEvenWhenCutShort) {
    const tests::TTempFolder Folder;
    const std::string Path = Folder.File("series.db");
    std::int64_t Deleted = 0, CutShort = 0;
    {
        TSeriesStore Store(Path);
        for (std::int64_t* Id : {&Deleted, &CutShort}) {
            *Id = Store.CreateSeries("long");
            Store.AppendShots(*Id, std::vector<TData>(25'000, TData("M/S", 175)), 0);
        }
        Store.DeleteSeries(Deleted);
        EXPECT_EQ(Store.Count(), 1U);
    }
    MakeDatabase(Path, "UPDATE series SET ended = 2 WHERE id = " + std::to_string(CutShort));
    const TSeriesStore Store(Path);
    EXPECT_EQ(Store.Count(), 0U);
    EXPECT_EQ(TSqliteDatabase(Path, TSqliteDatabase::ReadOnly, 1s)
                  .QueryInteger("SELECT count(*) FROM shots"),
              0);
}

} // namespace
