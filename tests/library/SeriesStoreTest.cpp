#include "library/SeriesStore.h"

#include "series/USeries.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ShotSpeeds.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace std::chrono_literals;
using platform::TLocalTime;

std::vector<TData> ShotsOf(const std::vector<double>& Speeds) {
    std::vector<TData> Shots;
    for (const double Speed : Speeds)
        Shots.emplace_back("m/s", Speed);
    return Shots;
}

using tests::Speeds;

std::array<int, 7> Fields(const TLocalTime& Time) {
    return {Time.Year, Time.Month, Time.Day, Time.Hour, Time.Minute, Time.Second, Time.Millisecond};
}

bool Contains(const std::string& Text, const std::string& Part) {
    return Text.find(Part) != std::string::npos;
}

TEST(SeriesStoreTest, ShotsNotesAndNamesSurviveReopening) {
    const tests::TTempFolder Folder;
    const std::string Path = Folder.File("series.db");
    const std::vector<TData> Shots = {
        {"m/s", 175.52, TLocalTime{2026, 12, 9, 14, 55, 3, 120}},
        {"FPS", 575.9, TLocalTime{2026, 12, 31, 23, 59, 60, 999}},
        {"M/S", 0.1 + 0.2}, // all 17 digits count
        {"fps", 600, TLocalTime{1999, 1, 1, 0, 0, 0, 0}},
    };
    const TSeriesNotes Notes{"HW100", "JSB Exact 4,52", 0.547, "g",
                             200,     std::nullopt,     -3.5,  "Zima, v\xC3\xADtr"};
    std::int64_t Id = 0;
    {
        TSeriesStore Store(Path);
        Id = Store.CreateSeries("first");
        Store.AppendShots(Id, {Shots[0], Shots[1]}, 0);
        Store.AppendShots(Id, {Shots[2], Shots[3]}, 2);
        Store.SetNotes(Id, Notes);
        Store.SetBallistics(Id, {0.021, 0.045, std::nullopt});
        Store.Rename(Id, "S\xC3\xA9rie 1");
    }
    TSeriesStore Store(Path);
    EXPECT_EQ(Store.Opening(), TSeriesStore::Opened);
    EXPECT_EQ(Store.Message(), "");
    const std::vector<TData> Loaded = Store.LoadShots(Id, TSeries::MaxShots).Shots;
    ASSERT_EQ(Loaded.size(), Shots.size());
    for (std::size_t Index = 0; Index < Shots.size(); ++Index) {
        EXPECT_EQ(Loaded[Index].Speed(), Shots[Index].Speed()) << Index;
        EXPECT_EQ(Loaded[Index].SpeedUnit(), Shots[Index].SpeedUnit()) << Index;
        ASSERT_EQ(Loaded[Index].Received().has_value(), Shots[Index].Received().has_value());
        if (Shots[Index].Received()) {
            EXPECT_EQ(Fields(*Loaded[Index].Received()), Fields(*Shots[Index].Received()));
        }
    }
    const std::vector<TSeriesEntry> Entries = Store.ListSeries();
    ASSERT_EQ(Entries.size(), 1u);
    EXPECT_EQ(Entries[0].Name, "S\xC3\xA9rie 1");
    EXPECT_EQ(Entries[0].Notes, Notes);
    EXPECT_EQ(Store.Notes(Id), Notes);
    EXPECT_EQ(Store.Notes(Id + 1), std::nullopt);
    EXPECT_EQ(Store.Ballistics(Id), (TSeriesBallistics{0.021, 0.045, std::nullopt}));
    EXPECT_EQ(Store.Ballistics(Id + 1), std::nullopt);
    EXPECT_EQ(Entries[0].ShotCount, 4u);
    // "YYYY-MM-DD HH:MM:SS"
    ASSERT_EQ(Entries[0].Created.size(), 19u) << Entries[0].Created;
    EXPECT_EQ(Entries[0].Created.substr(4, 1) + Entries[0].Created.substr(10, 1), "- ");
}

TEST(SeriesStoreTest, DeletingShotsRenumbersTheRest) {
    const struct {
        const char* Name;
        std::vector<std::size_t> Positions;
        std::vector<double> Left;
    } Cases[] = {
        {"first", {0}, {1, 2, 3, 4, 5}},       {"middle", {3}, {0, 1, 2, 4, 5}},
        {"last", {5}, {0, 1, 2, 3, 4}},        {"several apart", {0, 2, 3, 5}, {1, 4}},
        {"every other", {1, 3, 5}, {0, 2, 4}}, {"all", {0, 1, 2, 3, 4, 5}, {}},
    };
    const tests::TTempFolder Folder;
    TSeriesStore Store(Folder.File("series.db"));
    for (const auto& Case : Cases) {
        const std::int64_t Id = Store.CreateSeries(Case.Name);
        Store.AppendShots(Id, ShotsOf({0, 1, 2, 3, 4, 5}), 0);
        Store.DeleteShots(Id, Case.Positions);
        EXPECT_EQ(Speeds(Store.LoadShots(Id, TSeries::MaxShots).Shots), Case.Left) << Case.Name;
        // Positions are 0 .. n - 1 again: the next shot goes to n.
        Store.AppendShots(Id, ShotsOf({9}), Case.Left.size());
        EXPECT_EQ(Store.LoadShots(Id, TSeries::MaxShots).Shots.back().Speed(), 9) << Case.Name;
    }
}

TEST(SeriesStoreTest, ChangesThatWouldBreakThePositionsAreRefusedWhole) {
    using TChange = std::function<void(TSeriesStore&, std::int64_t)>;
    const struct {
        const char* Name;
        TChange Change;
    } Cases[] = {
        {"append leaving a gap",
         [](auto& Store, auto Id) { Store.AppendShots(Id, ShotsOf({9}), 4); }},
        {"append over a shot",
         [](auto& Store, auto Id) {
             Store.AppendShots(Id, ShotsOf({8, 9}), 2);
         }},
        {"delete past the end",
         [](auto& Store, auto Id) {
             Store.DeleteShots(Id, {0, 3});
         }},
        {"delete out of order",
         [](auto& Store, auto Id) {
             Store.DeleteShots(Id, {2, 1});
         }},
        {"delete twice",
         [](auto& Store, auto Id) {
             Store.DeleteShots(Id, {1, 1});
         }},
        {"append to no series",
         [](auto& Store, auto Id) { Store.AppendShots(Id + 1, ShotsOf({9}), 0); }},
    };
    const tests::TTempFolder Folder;
    TSeriesStore Store(Folder.File("series.db"));
    const std::int64_t Id = Store.CreateSeries("kept");
    Store.AppendShots(Id, ShotsOf({0, 1, 2}), 0);
    for (const auto& Case : Cases) {
        EXPECT_THROW(Case.Change(Store, Id), EStore) << Case.Name;
        EXPECT_EQ(Speeds(Store.LoadShots(Id, TSeries::MaxShots).Shots),
                  (std::vector<double>{0, 1, 2}))
            << Case.Name;
    }
}

TEST(SeriesStoreTest, ListSeriesSummarisesSpeedsInMetresPerSecond) {
    const tests::TTempFolder Folder;
    TSeriesStore Store(Folder.File("series.db"));
    const std::int64_t Mixed = Store.CreateSeries("mixed");
    Store.AppendShots(Mixed, {{"M/S", 150}, {"FPS", 500}, {"m/s", 155}}, 0);
    const std::int64_t One = Store.CreateSeries("one");
    Store.AppendShots(One, {{"FPS", 1000}}, 0);
    const std::int64_t Empty = Store.CreateSeries("empty");
    using std::nullopt;
    const struct {
        std::int64_t Id;
        std::size_t Count;
        std::optional<double> Mean, Minimum, Maximum, Deviation;
    } Expected[] = {
        // Newest first.
        {Empty, 0, nullopt, nullopt, nullopt, nullopt},
        {One, 1, 304.8, 304.8, 304.8, nullopt},
        // 150, 152.4 and 155 m/s.
        {Mixed, 3, 152.46666666666667, 150, 155, 2.5006665778014736},
    };
    const std::vector<TSeriesEntry> Entries = Store.ListSeries();
    ASSERT_EQ(Entries.size(), std::size(Expected));
    EXPECT_EQ(Store.Count(), std::size(Expected));
    const auto ExpectNear = [](const std::optional<double>& Value,
                               const std::optional<double>& Wanted, std::int64_t Id) {
        ASSERT_EQ(Value.has_value(), Wanted.has_value()) << "series " << Id;
        if (Wanted) {
            EXPECT_NEAR(*Value, *Wanted, 1e-9) << "series " << Id;
        }
    };
    for (std::size_t Index = 0; Index < Entries.size(); ++Index) {
        const auto& Entry = Entries[Index];
        ASSERT_EQ(Entry.Id, Expected[Index].Id);
        EXPECT_EQ(Entry.ShotCount, Expected[Index].Count);
        ExpectNear(Entry.Mean, Expected[Index].Mean, Entry.Id);
        ExpectNear(Entry.Minimum, Expected[Index].Minimum, Entry.Id);
        ExpectNear(Entry.Maximum, Expected[Index].Maximum, Entry.Id);
        ExpectNear(Entry.Deviation, Expected[Index].Deviation, Entry.Id);
    }
}

TEST(SeriesStoreTest, DeletingASeriesTakesItsShotsAndAnEmptyOneGoesOnRequest) {
    const tests::TTempFolder Folder;
    const std::string Path = Folder.File("series.db");
    TSeriesStore Store(Path);
    const std::int64_t Full = Store.CreateSeries("full");
    Store.AppendShots(Full, ShotsOf({1, 2}), 0);
    const std::int64_t Empty = Store.CreateSeries("empty");
    // Put away, a series with shots stays and an empty one goes.
    EXPECT_TRUE(Store.PutAway(Full));
    EXPECT_TRUE(Store.PutAway(Empty));
    EXPECT_EQ(Store.Count(), 1u);
    Store.DeleteSeries(Full);
    Store.DeleteSeries(Full);
    EXPECT_EQ(Store.Count(), 0u);
    TSqliteDatabase Reader(Path, TSqliteDatabase::ReadOnly, 1s);
    EXPECT_EQ(Reader.QueryInteger("SELECT count(*) FROM shots"), 0);
    // A new series never takes the number of a deleted one.
    EXPECT_GT(Store.CreateSeries("next"), Empty);
}

TEST(SeriesStoreTest, ALibraryOfANewerVersionIsOpenedForReadingOnly) {
    const tests::TTempFolder Folder;
    const std::string Path = Folder.File("series.db");
    std::int64_t Id = 0;
    {
        TSeriesStore Store(Path);
        Id = Store.CreateSeries("kept");
        Store.AppendShots(Id, ShotsOf({175}), 0);
    }
    TSqliteDatabase(Path, TSqliteDatabase::ReadWrite, 1s)
        .Execute("PRAGMA application_id = 1414682200; PRAGMA user_version = 99");
    TSeriesStore Store(Path);
    EXPECT_TRUE(Store.ReadOnly());
    EXPECT_TRUE(Contains(Store.Message(), "newer")) << Store.Message();
    EXPECT_TRUE(Contains(Store.Message(), Path)) << Store.Message();
    EXPECT_EQ(Speeds(Store.LoadShots(Id, TSeries::MaxShots).Shots), std::vector<double>{175});
    EXPECT_EQ(Store.ListSeries().size(), 1u);
    EXPECT_THROW(Store.CreateSeries("new"), EStore);
    EXPECT_THROW(Store.AppendShots(Id, ShotsOf({176}), 1), EStore);
    EXPECT_EQ(Store.ClaimLastSeries(), std::nullopt);
    EXPECT_EQ(
        TSqliteDatabase(Path, TSqliteDatabase::ReadOnly, 1s).QueryInteger("PRAGMA user_version"),
        99);
}

// A closed library of a few dozen pages, its journal merged into it.
void WriteDatabase(const std::string& Path) {
    TSeriesStore Store(Path);
    Store.AppendShots(Store.CreateSeries("lost"), ShotsOf(std::vector(3000, 175.0)), 0);
}

TEST(SeriesStoreTest, ADamagedFileIsKeptUnderANewNameAndAFreshLibraryStarted) {
    const struct {
        const char* Name;
        std::function<void(const std::string&)> Damage;
    } Cases[] = {
        {"garbage",
         [](const std::string& Path) { tests::WriteFileText(Path, std::string(5000, 'Z')); }},
        {"truncated database",
         [](const std::string& Path) {
             WriteDatabase(Path);
             std::filesystem::resize_file(Path, std::filesystem::file_size(Path) / 2);
         }},
        {"overwritten page",
         [](const std::string& Path) {
             WriteDatabase(Path);
             std::fstream File(Path, std::ios::in | std::ios::out | std::ios::binary);
             File.seekp(3 * 4096);
             File << std::string(4096, 'Z');
         }},
    };
    for (const auto& Case : Cases) {
        const tests::TTempFolder Folder;
        const std::string Path = Folder.File("series.db");
        Case.Damage(Path);
        const std::string Damaged = tests::ReadFileText(Path);
        TSeriesStore Store(Path);
        EXPECT_EQ(Store.Opening(), TSeriesStore::Recovered) << Case.Name;
        EXPECT_TRUE(Store.MovedAside().starts_with(Path + ".corrupt-")) << Store.MovedAside();
        EXPECT_TRUE(Contains(Store.Message(), Store.MovedAside())) << Store.Message();
        EXPECT_EQ(tests::ReadFileText(Store.MovedAside()), Damaged) << Case.Name;
        EXPECT_EQ(Store.Count(), 0u) << Case.Name;
        Store.AppendShots(Store.CreateSeries("new"), ShotsOf({175}), 0);
        EXPECT_EQ(TSeriesStore(Path).Opening(), TSeriesStore::Opened) << Case.Name;
    }
}

TEST(SeriesStoreTest, ALibraryThatCannotBeOpenedOrWrittenRaisesEStoreNamingIt) {
    using TKeepAlive = std::shared_ptr<void>;
    const struct {
        const char* Name;
        const char* File;
        // Prepares the folder; what it returns lives until the store was tried.
        std::function<TKeepAlive(const tests::TTempFolder&)> Prepare;
    } Cases[] = {
        {"below a regular file", "plain/series.db",
         [](const tests::TTempFolder& Folder) {
             tests::WriteFileText(Folder.File("plain"), "x");
             return TKeepAlive();
         }},
        {"a new library locked past the timeout", "series.db",
         [](const tests::TTempFolder& Folder) {
             auto Other = std::make_shared<TSqliteDatabase>(Folder.File("series.db"),
                                                            TSqliteDatabase::ReadWrite, 1s);
             Other->Execute("BEGIN IMMEDIATE");
             return TKeepAlive(Other);
         }},
        {"read-only folder", "locked/series.db",
         [](const tests::TTempFolder& Folder) {
             std::filesystem::create_directory(Folder.File("locked"));
             std::filesystem::permissions(Folder.File("locked"),
                                          std::filesystem::perms::owner_read |
                                              std::filesystem::perms::owner_exec);
             return TKeepAlive();
         }},
    };
    for (const auto& Case : Cases) {
        const tests::TTempFolder Folder;
        const TKeepAlive Kept = Case.Prepare(Folder);
        const std::string Path = Folder.File(Case.File);
        // A user whom the system lets write anywhere (root) has no read-only folder.
        if (std::ofstream(Folder.File("locked/probe")))
            continue;
        try {
            TSeriesStore Store(Path, 50ms);
            ADD_FAILURE() << Case.Name << ": opened";
        } catch (const EStore& Error) {
            EXPECT_TRUE(Contains(Error.what(), Path)) << Case.Name << ": " << Error.what();
        }
    }
}

} // namespace
