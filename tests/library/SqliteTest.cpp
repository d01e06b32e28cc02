#include "library/Sqlite.h"

#include "tests/platform/PlatformTestSupport.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

using namespace std::chrono_literals;

TEST(SqliteTest, SampleDeviationIsNullBelowTwoValuesAndExactForLargeNearlyEqualOnes) {
    const tests::TTempFolder Folder;
    TSqliteDatabase Database(Folder.File("a.db"), TSqliteDatabase::ReadWrite, 100ms);
    Database.Execute("CREATE TABLE t (g INTEGER, v REAL)");
    const struct {
        std::vector<std::optional<double>> Values;
        std::optional<double> Expected;
    } Cases[] = {
        {{}, std::nullopt},
        {{175.0}, std::nullopt},
        {{175.0, std::nullopt}, std::nullopt}, // NULL is no value
        {{2, 4, 4, 4, 5, 5, 7, 9}, 2.138089935299395},
        // Sums of squares would lose every digit here.
        {{1e9 + 4, 1e9 + 7, 1e9 + 13, 1e9 + 16}, 5.477225575051661},
    };
    TSqliteStatement Insert = Database.Prepare("INSERT INTO t VALUES (?1, ?2)");
    for (std::int64_t Group = 0; Group < std::ssize(Cases); ++Group)
        for (const std::optional<double>& Value : Cases[Group].Values)
            Insert.Bind(1, Group).Bind(2, Value).Run();
    for (std::int64_t Group = 0; Group < std::ssize(Cases); ++Group) {
        TSqliteStatement Select =
            Database.Prepare("SELECT sample_deviation(v) FROM t WHERE g = ?1");
        ASSERT_TRUE(Select.Bind(1, Group).Step());
        const std::optional<double> Deviation = Select.OptionalReal(0);
        ASSERT_EQ(Deviation.has_value(), Cases[Group].Expected.has_value()) << Group;
        if (Deviation) {
            EXPECT_NEAR(*Deviation, *Cases[Group].Expected, 1e-12) << Group;
        }
    }
}

TEST(SqliteTest, ATransactionNotCommittedLeavesNothing) {
    const tests::TTempFolder Folder;
    TSqliteDatabase Database(Folder.File("a.db"), TSqliteDatabase::ReadWrite, 100ms);
    Database.Execute("CREATE TABLE t (v INTEGER)");
    {
        TSqliteTransaction Kept(Database);
        Database.Execute("INSERT INTO t VALUES (1)");
        Kept.Commit();
    }
    try {
        TSqliteTransaction Failed(Database);
        Database.Execute("INSERT INTO t VALUES (2)");
        Database.Execute("INSERT INTO missing VALUES (3)");
        Failed.Commit();
    } catch (const EStore&) {
    }
    EXPECT_EQ(Database.QueryInteger("SELECT count(*) * 10 + sum(v) FROM t"), 11);
}

TEST(SqliteTest, FailuresNameTheFileAndSqlitesReason) {
    const tests::TTempFolder Folder;
    const std::string Path = Folder.File("a.db");
    TSqliteDatabase Database(Path, TSqliteDatabase::ReadWrite, 100ms);
    try {
        Database.Execute("SELECT * FROM missing");
        ADD_FAILURE() << "no failure";
    } catch (const EStore& Error) {
        EXPECT_EQ(std::string(Error.what()),
                  "Cannot use the series library '" + Path + "': no such table: missing");
        EXPECT_FALSE(Error.Damaged());
    }
}

} // namespace
