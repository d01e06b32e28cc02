#include "library/Schema.h"

#include <stdexcept>
#include <string_view>

namespace {

// Speeds are kept as they came, with their unit, as the program keeps them in memory; times
// received as "YYYY-MM-DD HH:MM:SS.mmm" local time, NULL for shots from files. Shots have no
// row id of their own: series and position are the key, and a series' shots lie together in it.
// Series ids never come back after a deletion (AUTOINCREMENT), since claims and other programs
// may still name a deleted one. "used" orders series by their last creation, claim or append.
constexpr const char* Version1 = R"(
CREATE TABLE series (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    name TEXT NOT NULL,
    created TEXT NOT NULL,
    used INTEGER NOT NULL,
    gun TEXT NOT NULL DEFAULT '',
    pellet TEXT NOT NULL DEFAULT '',
    pellet_weight_g REAL,
    pressure_start_bar REAL,
    pressure_end_bar REAL,
    temperature_c REAL,
    remarks TEXT NOT NULL DEFAULT ''
);
CREATE INDEX series_used ON series (used);
CREATE TABLE shots (
    series INTEGER NOT NULL REFERENCES series (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    speed REAL NOT NULL,
    unit TEXT NOT NULL,
    received TEXT,
    PRIMARY KEY (series, position)
) WITHOUT ROWID;
)";

// A series the user has put away (cleared, or left for a loaded, imported or opened one) is no
// longer taken up by a program that starts: only a series a program was recording when it ended
// is. Of a library of the first format, that is the series used last.
constexpr const char* Version2 = R"(
ALTER TABLE series ADD COLUMN ended INTEGER NOT NULL DEFAULT 0;
UPDATE series SET ended = 1 WHERE used < (SELECT max(used) FROM series);
)";

// The library keeps with each series what listing it needs, so that neither the listing nor a
// start reads every shot: the count of its readable shots and their speeds' figures in m/s (sums
// of deviations from the series' first speed, so that near-equal speeds keep their digits),
// maintained with every change and computed here once from the shots. Positions are now only
// the shots' order: a deletion leaves a gap instead of renumbering the shots after it. A series
// keeps the pellet weight it was shot with, in the unit it was set in; "origin" names it for
// shots that wait beside the library before it exists in it; a series loaded from a file knows
// how many shots the file had until they are all in. The header marks the file as TARVEX's. The
// speed index finds a series' slowest and fastest shot after a deletion without reading the rest.
constexpr const char* Version3 = R"(
PRAGMA application_id = 1414682200;
ALTER TABLE series ADD COLUMN pellet_weight_unit TEXT;
ALTER TABLE series ADD COLUMN origin TEXT;
ALTER TABLE series ADD COLUMN source_name TEXT;
ALTER TABLE series ADD COLUMN source_shots INTEGER;
ALTER TABLE series ADD COLUMN shot_count INTEGER NOT NULL DEFAULT 0;
ALTER TABLE series ADD COLUMN speed_origin REAL;
ALTER TABLE series ADD COLUMN speed_sum REAL NOT NULL DEFAULT 0;
ALTER TABLE series ADD COLUMN speed_squares REAL NOT NULL DEFAULT 0;
ALTER TABLE series ADD COLUMN speed_min REAL;
ALTER TABLE series ADD COLUMN speed_max REAL;
UPDATE series SET origin = lower(hex(randomblob(16)));
CREATE UNIQUE INDEX series_origin ON series (origin);
CREATE INDEX shots_speed ON shots (series, CASE WHEN typeof(speed) IN ('real', 'integer') AND abs(speed) <= 1.7976931348623157e308 THEN CASE unit WHEN 'M/S' THEN speed WHEN 'FPS' THEN speed * 0.3048 END END);
)";
// A series keeps what its trajectory starts from: the pellet's ballistic coefficient (G1, lb/in²),
// the sight's height over the bore and the zero range, in metres.
constexpr const char* Version4 = R"(
ALTER TABLE series ADD COLUMN ballistic_coefficient REAL;
ALTER TABLE series ADD COLUMN sight_height_m REAL;
ALTER TABLE series ADD COLUMN zero_range_m REAL;
)";
static_assert(LibraryApplicationId == 1414682200);
// The index serves only queries that spell its expression exactly.
static_assert(std::string_view(Version3).find(ShotSpeedSql) != std::string_view::npos);

constexpr TSchemaStep Steps[] = {
    {1, Version1},
    {2, Version2},
    {3, Version3},
    {4, Version4},
};

} // namespace

std::span<const TSchemaStep> SeriesSchema() {
    return Steps;
}

int LatestVersion(std::span<const TSchemaStep> Steps) {
    return Steps.empty() ? 0 : Steps.back().Version;
}

void UpgradeSchema(TSqliteDatabase& Database, std::span<const TSchemaStep> Steps) {
    for (std::size_t Index = 0; Index < Steps.size(); ++Index)
        if (Steps[Index].Version != static_cast<int>(Index) + 1)
            throw std::logic_error("Schema step " + std::to_string(Index) + " has version " +
                                   std::to_string(Steps[Index].Version));
    for (const TSchemaStep& Step : Steps) {
        TSqliteTransaction Transaction(Database);
        if (Database.QueryInteger("PRAGMA user_version") >= Step.Version)
            continue;
        Database.Execute(Step.Sql);
        Database.Execute("PRAGMA user_version = " + std::to_string(Step.Version));
        Transaction.Commit();
    }
}
