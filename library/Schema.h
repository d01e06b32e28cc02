#pragma once

// The tables of the series library and how a database of an older version is brought up to
// date. The version is SQLite's user_version: 0 for a new file, then the version of the last
// step applied.

#include "library/Sqlite.h"

#include <span>

// The statements that bring a database of version Version - 1 to Version.
struct TSchemaStep {
    int Version;
    const char* Sql;
};

// The series library's steps, oldest first. A new version is one more entry at the end; the
// entries before it never change, since databases out there were made by them.
std::span<const TSchemaStep> SeriesSchema();

// The version the steps lead to.
int LatestVersion(std::span<const TSchemaStep> Steps);

// Applies the steps above the database's version, each in a transaction of its own together
// with its user_version, so that an interruption leaves one version or the next, never a
// mixture. The version is read within the transaction, so that two programs opening the same
// old file upgrade it once. Steps must be numbered 1, 2, 3, ... (std::logic_error otherwise).
void UpgradeSchema(TSqliteDatabase& Database, std::span<const TSchemaStep> Steps);
