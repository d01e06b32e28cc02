#include "library/Sqlite.h"

#include "tests/platform/PlatformTestSupport.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

using namespace std::chrono_literals;

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
