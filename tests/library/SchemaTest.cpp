#include "library/Schema.h"

#include "tests/platform/PlatformTestSupport.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using namespace std::chrono_literals;

constexpr TSchemaStep First = {1, "CREATE TABLE t (v INTEGER); INSERT INTO t VALUES (7);"};

TEST(SchemaTest, AnOlderDatabaseGetsTheMissingStepsAndKeepsItsRows) {
    const tests::TTempFolder Folder;
    TSqliteDatabase Database(Folder.File("a.db"), TSqliteDatabase::ReadWrite, 100ms);
    const TSchemaStep Version1[] = {First};
    UpgradeSchema(Database, Version1);
    // A second run of the same steps changes nothing: the version says they were applied.
    UpgradeSchema(Database, Version1);
    const TSchemaStep Version2[] = {First, {2, "ALTER TABLE t ADD COLUMN w INTEGER DEFAULT 3"}};
    UpgradeSchema(Database, Version2);
    EXPECT_EQ(Database.QueryInteger("PRAGMA user_version"), 2);
    EXPECT_EQ(Database.QueryInteger("SELECT count(*) FROM t"), 1);
    EXPECT_EQ(Database.QueryInteger("SELECT v * 10 + w FROM t"), 73);
}

TEST(SchemaTest, AFailingStepLeavesThePreviousVersionWhole) {
    const tests::TTempFolder Folder;
    TSqliteDatabase Database(Folder.File("a.db"), TSqliteDatabase::ReadWrite, 100ms);
    const TSchemaStep Broken[] = {
        First, {2, "CREATE TABLE u (v INTEGER); INSERT INTO t VALUES (8); SELECT * FROM missing;"}};
    EXPECT_THROW(UpgradeSchema(Database, Broken), EStore);
    EXPECT_EQ(Database.QueryInteger("PRAGMA user_version"), 1);
    EXPECT_EQ(Database.QueryInteger("SELECT count(*) FROM t"), 1);
    EXPECT_EQ(Database.QueryInteger("SELECT count(*) FROM sqlite_schema WHERE name = 'u'"), 0);
    const TSchemaStep Gap[] = {First, {3, ""}};
    EXPECT_THROW(UpgradeSchema(Database, Gap), std::logic_error);
}

} // namespace
