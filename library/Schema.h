#pragma once

// The tables of the series library and how a database of an older version is brought up to
// date. The version is SQLite's user_version: 0 for a new file, then the version of the last
// step applied.

#include "library/Sqlite.h"

#include <cstdint>
#include <span>

// A shot's speed in m/s, NULL for a row without a readable speed in a unit the program knows (a
// library edited by hand): the one expression that sums, orders and indexes speeds.
inline constexpr const char* ShotSpeedSql =
    "CASE WHEN typeof(speed) IN ('real', 'integer') AND abs(speed) <= 1.7976931348623157e308 "
    "THEN CASE unit WHEN 'M/S' THEN speed WHEN 'FPS' THEN speed * 0.3048 END END";

// The program's mark in a library's header (PRAGMA application_id): "TRVX".
inline constexpr std::int64_t LibraryApplicationId = 0x54525658;

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
