#include "library/SeriesStore.h"

#include "library/Schema.h"
#include "platform/ByteLocks.h"
#include "platform/DataHome.h"
#include "platform/FileMoves.h"
#include "platform/LocalTime.h"

#include <cstdio>
#include <system_error>

namespace {

std::string Quoted(const std::string& Text) {
    return "'" + Text + "'";
}

std::string ReceivedStamp(const platform::TLocalTime& Time) {
    char Text[48];
    std::snprintf(Text, sizeof Text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", Time.Year, Time.Month,
                  Time.Day, Time.Hour, Time.Minute, Time.Second, Time.Millisecond);
    return Text;
}

// The inverse of ReceivedStamp; a text of another shape gives no time rather than a wrong one.
// Integer conversions of sscanf do not depend on the locale.
std::optional<platform::TLocalTime> ParseReceived(const std::string& Text) {
    platform::TLocalTime Time{};
    int End = 0;
    if (std::sscanf(Text.c_str(), "%d-%d-%d %d:%d:%d.%d%n", &Time.Year, &Time.Month, &Time.Day,
                    &Time.Hour, &Time.Minute, &Time.Second, &Time.Millisecond, &End) != 7 ||
        static_cast<std::size_t>(End) != Text.size())
        return std::nullopt;
    return Time;
}

// The moment in a name for a file put aside: "20261209-153000".
std::string FileStamp(const platform::TLocalTime& Time) {
    char Text[32];
    std::snprintf(Text, sizeof Text, "%04d%02d%02d-%02d%02d%02d", Time.Year, Time.Month, Time.Day,
                  Time.Hour, Time.Minute, Time.Second);
    return Text;
}

// The files that make up a database besides its own: the WAL journal, its index and the claims.
constexpr const char* Companions[] = {"-wal", "-shm", ".recording.lock"};

bool NameTaken(const std::string& Path) {
    if (platform::PathExists(Path))
        return true;
    for (const char* Suffix : Companions)
        if (platform::PathExists(Path + Suffix))
            return true;
    return false;
}

std::int64_t Signed(std::size_t Value) {
    return static_cast<std::int64_t>(Value);
}

constexpr const char* MarkUsedSql =
    "UPDATE series SET used = (SELECT coalesce(max(used), 0) + 1 FROM series) WHERE id = ?1";
// A series claimed is being recorded again.
constexpr const char* MarkClaimedSql = "UPDATE series SET used = (SELECT coalesce(max(used), 0) + "
                                       "1 FROM series), ended = 0 WHERE id = ?1";

// The summary of every series, or of series ?1 alone, in one pass over their shots, which lie
// ordered by series: the grouping needs no sort.
std::string ListSql(bool OneSeries) {
    const std::string Shots = OneSeries ? "WHERE series = ?1" : "";
    const std::string Series = OneSeries ? "WHERE s.id = ?1" : "";
    return R"(
SELECT s.id, s.name, s.created, s.gun, s.pellet, s.pellet_weight_g, s.pressure_start_bar,
       s.pressure_end_bar, s.temperature_c, s.remarks,
       coalesce(t.n, 0), t.mean, t.low, t.high, t.deviation
FROM series AS s LEFT JOIN (
    SELECT series, count(*) AS n, avg(v) AS mean, min(v) AS low, max(v) AS high,
           sample_deviation(v) AS deviation
    FROM (SELECT series, CASE unit WHEN 'FPS' THEN speed * 0.3048 ELSE speed END AS v
          FROM shots )" +
           Shots + R"()
    GROUP BY series
) AS t ON t.series = s.id )" +
           Series + R"(
ORDER BY s.id DESC
)";
}

} // namespace

std::string DefaultSeriesDatabase() {
    return platform::LibraryFolder() + "/" + SeriesDatabaseName;
}

TSeriesStore::TSeriesStore(const std::string& Path, std::chrono::milliseconds BusyTimeout)
    : FPath(Path) {
    try {
        Open(BusyTimeout);
    } catch (const EStore& Error) {
        if (!Error.Damaged())
            throw;
        MoveAside(Error);
        Open(BusyTimeout);
    }
    if (ReadOnly())
        return;
    try {
        FLocks = std::make_unique<platform::TByteLockFile>(FPath + ".recording.lock");
    } catch (const std::system_error& Error) {
        throw EStore(Error.what(), Error.code().value());
    }
}

TSeriesStore::~TSeriesStore() = default;

void TSeriesStore::Open(std::chrono::milliseconds BusyTimeout) {
    FDatabase.reset();
    FDatabase = std::make_unique<TSqliteDatabase>(FPath, TSqliteDatabase::ReadWrite, BusyTimeout);
    FDatabase->CheckIntegrity();
    const int Known = LatestVersion(SeriesSchema());
    const std::int64_t Version = FDatabase->QueryInteger("PRAGMA user_version");
    if (Version > Known) {
        // Its tables may mean things this program does not know: reading is safe, writing not.
        FDatabase.reset();
        FDatabase =
            std::make_unique<TSqliteDatabase>(FPath, TSqliteDatabase::ReadOnly, BusyTimeout);
        FOpening = OpenedReadOnly;
        FMessage = "The series library " + Quoted(FPath) +
                   " was written by a newer version of TARVEX (format " + std::to_string(Version) +
                   ", this version knows up to " + std::to_string(Known) +
                   "). It is open for reading only: series recorded now are not kept in it.";
        return;
    }
    FDatabase->Execute("PRAGMA journal_mode = WAL");
    FDatabase->Execute("PRAGMA synchronous = FULL");
    FDatabase->Execute("PRAGMA foreign_keys = ON");
    // Takes the write lock once at least, so that a library locked for longer than the timeout
    // fails here and not with the first shot.
    UpgradeSchema(*FDatabase, SeriesSchema());
    if (FDatabase->IsReadOnly())
        throw EStore("Cannot write the series library " + Quoted(FPath) +
                     ": the file is read-only");
}

void TSeriesStore::MoveAside(const EStore& Damage) {
    FDatabase.reset();
    const std::string Base = FPath + ".corrupt-" + FileStamp(platform::LocalTimeNow());
    std::string Target = Base;
    for (int Number = 2; NameTaken(Target); ++Number)
        Target = Base + "-" + std::to_string(Number);
    try {
        platform::MoveIfPresent(FPath, Target);
        // The claims go along: a program still running on the old file keeps its locks there,
        // and they cannot stand for the new library's series of the same numbers.
        for (const char* Suffix : Companions)
            platform::MoveIfPresent(FPath + Suffix, Target + Suffix);
    } catch (const std::system_error& Error) {
        throw EStore(std::string(Damage.what()) + "; it cannot be moved aside: " + Error.what(),
                     Damage.Code());
    }
    FOpening = Recovered;
    FMovedAside = Target;
    FMessage = "The series library " + Quoted(FPath) + " was damaged (" + Damage.what() +
               "). It has been kept as " + Quoted(Target) +
               " and a new, empty library has been started.";
}

void TSeriesStore::CheckWritable() const {
    if (ReadOnly())
        throw EStore("Cannot change the series library " + Quoted(FPath) +
                     ": it was written by a newer version of TARVEX and is open for reading only");
}

void TSeriesStore::Touch(std::int64_t Id, const char* What) {
    FDatabase->Prepare(MarkUsedSql).Bind(1, Id).Run();
    if (FDatabase->Changes() == 0)
        throw EStore(std::string(What) + ": the series library " + Quoted(FPath) +
                     " has no series " + std::to_string(Id));
}

std::int64_t TSeriesStore::ShotCount(std::int64_t Id) const {
    // Positions run 0 .. n - 1, and the largest is found in the key without reading the rest.
    TSqliteStatement Count =
        FDatabase->Prepare("SELECT coalesce(max(position) + 1, 0) FROM shots WHERE series = ?1");
    Count.Bind(1, Id).Step();
    return Count.Integer(0);
}

std::int64_t TSeriesStore::Insert(const std::string& Name) {
    FDatabase
        ->Prepare("INSERT INTO series (name, created, used) "
                  "VALUES (?1, ?2, (SELECT coalesce(max(used), 0) + 1 FROM series))")
        .Bind(1, Name)
        .Bind(2, LocalTimeText(platform::LocalTimeNow()))
        .Run();
    return FDatabase->LastInsertId();
}

void TSeriesStore::InsertShots(std::int64_t Id, const std::vector<TData>& Shots,
                               std::size_t First) {
    TSqliteStatement Insert =
        FDatabase->Prepare("INSERT INTO shots (series, position, speed, unit, received) "
                           "VALUES (?1, ?2, ?3, ?4, ?5)");
    Insert.Bind(1, Id);
    for (std::size_t Index = 0; Index < Shots.size(); ++Index) {
        const TData& Shot = Shots[Index];
        Insert.Bind(2, Signed(First + Index)).Bind(3, Shot.Speed()).Bind(4, Shot.SpeedUnit());
        if (Shot.Received())
            Insert.Bind(5, ReceivedStamp(*Shot.Received()));
        else
            Insert.BindNull(5);
        Insert.Run();
    }
}

std::int64_t TSeriesStore::CreateSeries(const std::string& Name) {
    CheckWritable();
    TSqliteTransaction Transaction(*FDatabase);
    const std::int64_t Id = Insert(Name);
    Transaction.Commit();
    return Id;
}

std::int64_t TSeriesStore::StartSeries(const std::string& Name) {
    CheckWritable();
    TSqliteTransaction Transaction(*FDatabase);
    const std::int64_t Id = Insert(Name);
    // Nobody can see the series before the commit, nor claim it after.
    if (!FLocks->TryLock(Id))
        throw EStore("Cannot start a series in " + Quoted(FPath) + ": its number " +
                     std::to_string(Id) + " is claimed by another program");
    try {
        Transaction.Commit();
    } catch (const EStore&) {
        FLocks->Unlock(Id);
        throw;
    }
    FClaims.insert(Id);
    return Id;
}

void TSeriesStore::AppendShots(std::int64_t Id, const std::vector<TData>& Shots,
                               std::size_t FirstPosition) {
    CheckWritable();
    if (Shots.empty())
        return;
    TSqliteTransaction Transaction(*FDatabase);
    Touch(Id, "Cannot add shots");
    if (const std::int64_t Count = ShotCount(Id); Count != Signed(FirstPosition))
        throw EStore("Cannot add shots at position " + std::to_string(FirstPosition) +
                     " to series " + std::to_string(Id) + " of " + Quoted(FPath) + ": it holds " +
                     std::to_string(Count) + " shots");
    InsertShots(Id, Shots, FirstPosition);
    Transaction.Commit();
}

void TSeriesStore::DeleteShots(std::int64_t Id, const std::vector<std::size_t>& Positions) {
    CheckWritable();
    if (Positions.empty())
        return;
    TSqliteTransaction Transaction(*FDatabase);
    Touch(Id, "Cannot delete shots");
    const std::int64_t Count = ShotCount(Id);
    for (std::size_t Index = 0; Index < Positions.size(); ++Index)
        if ((Index > 0 && Positions[Index] <= Positions[Index - 1]) ||
            Signed(Positions[Index]) >= Count)
            throw EStore("Cannot delete shot " + std::to_string(Positions[Index]) + " of series " +
                         std::to_string(Id) + " of " + Quoted(FPath) +
                         ": the positions must rise and stay below " + std::to_string(Count));
    TSqliteStatement Delete =
        FDatabase->Prepare("DELETE FROM shots WHERE series = ?1 AND position = ?2");
    Delete.Bind(1, Id);
    for (const std::size_t Position : Positions)
        Delete.Bind(2, Signed(Position)).Run();
    // The shots between two deleted ones move down by the number deleted below them.
    TSqliteStatement Shift =
        FDatabase->Prepare("UPDATE shots SET position = position - ?2 "
                           "WHERE series = ?1 AND position > ?3 AND position < ?4");
    // SQLite checks the key row by row, in an order it does not promise. Taken in rising order,
    // as SQLite 3 does, the rows never meet; should a shot land on one not yet moved, SQLite
    // undoes that statement alone and the shots take the detour through distinct negative
    // positions (-1 - new position), turned positive at the end. The detour writes every row
    // twice, so it is not the first choice for a series of a million shots.
    TSqliteStatement Detour =
        FDatabase->Prepare("UPDATE shots SET position = -1 - (position - ?2) "
                           "WHERE series = ?1 AND position > ?3 AND position < ?4");
    Shift.Bind(1, Id);
    Detour.Bind(1, Id);
    for (std::size_t Index = 0; Index < Positions.size(); ++Index) {
        const std::int64_t Below = Signed(Positions[Index]);
        const std::int64_t Above =
            Index + 1 < Positions.size() ? Signed(Positions[Index + 1]) : Count;
        if (Above == Below + 1)
            continue;
        try {
            Shift.Bind(2, Signed(Index + 1)).Bind(3, Below).Bind(4, Above).Run();
        } catch (const EStore& Error) {
            if (!Error.KeyCollision())
                throw;
            Detour.Bind(2, Signed(Index + 1)).Bind(3, Below).Bind(4, Above).Run();
        }
    }
    FDatabase
        ->Prepare("UPDATE shots SET position = -1 - position WHERE series = ?1 AND position < 0")
        .Bind(1, Id)
        .Run();
    Transaction.Commit();
}

void TSeriesStore::MoveShots(std::int64_t From, std::size_t FirstPosition, std::int64_t To) {
    CheckWritable();
    TSqliteTransaction Transaction(*FDatabase);
    Touch(From, "Cannot move shots");
    Touch(To, "Cannot move shots");
    // The moved shots land after the last shot of To, so no key is taken twice on the way.
    FDatabase
        ->Prepare("UPDATE shots SET series = ?3, position = position - ?2 + "
                  "(SELECT coalesce(max(position) + 1, 0) FROM shots WHERE series = ?3) "
                  "WHERE series = ?1 AND position >= ?2")
        .Bind(1, From)
        .Bind(2, Signed(FirstPosition))
        .Bind(3, To)
        .Run();
    Transaction.Commit();
}

std::vector<TData> TSeriesStore::LoadShots(std::int64_t Id) const {
    std::vector<TData> Shots;
    Shots.reserve(static_cast<std::size_t>(ShotCount(Id)));
    TSqliteStatement Select = FDatabase->Prepare(
        "SELECT speed, unit, received FROM shots WHERE series = ?1 ORDER BY position");
    Select.Bind(1, Id);
    while (Select.Step())
        Shots.emplace_back(Select.Text(1), Select.Real(0),
                           Select.IsNull(2) ? std::nullopt : ParseReceived(Select.Text(2)));
    return Shots;
}

void TSeriesStore::Rename(std::int64_t Id, const std::string& Name) {
    CheckWritable();
    TSqliteTransaction Transaction(*FDatabase);
    FDatabase->Prepare("UPDATE series SET name = ?2 WHERE id = ?1").Bind(1, Id).Bind(2, Name).Run();
    if (FDatabase->Changes() == 0)
        throw EStore("Cannot rename: the series library " + Quoted(FPath) + " has no series " +
                     std::to_string(Id));
    Transaction.Commit();
}

void TSeriesStore::SetNotes(std::int64_t Id, const TSeriesNotes& Notes) {
    CheckWritable();
    TSqliteTransaction Transaction(*FDatabase);
    FDatabase
        ->Prepare("UPDATE series SET gun = ?2, pellet = ?3, pellet_weight_g = ?4, "
                  "pressure_start_bar = ?5, pressure_end_bar = ?6, temperature_c = ?7, "
                  "remarks = ?8 WHERE id = ?1")
        .Bind(1, Id)
        .Bind(2, Notes.Gun)
        .Bind(3, Notes.Pellet)
        .Bind(4, Notes.PeletWeight)
        .Bind(5, Notes.PressureStart)
        .Bind(6, Notes.PressureEnd)
        .Bind(7, Notes.Temperature)
        .Bind(8, Notes.Text)
        .Run();
    if (FDatabase->Changes() == 0)
        throw EStore("Cannot keep the notes: the series library " + Quoted(FPath) +
                     " has no series " + std::to_string(Id));
    Transaction.Commit();
}

// Holding the series' byte while it changes keeps anyone from claiming it meanwhile; the claim
// this store had goes with the change.
bool TSeriesStore::ChangeHeldSeries(std::int64_t Id, const std::function<void()>& Change) {
    CheckWritable();
    if (!FLocks->TryLock(Id))
        return false;
    try {
        TSqliteTransaction Transaction(*FDatabase);
        Change();
        Transaction.Commit();
    } catch (const EStore&) {
        if (!Holds(Id))
            FLocks->Unlock(Id);
        throw;
    }
    FLocks->Unlock(Id);
    FClaims.erase(Id);
    return true;
}

void TSeriesStore::DeleteSeries(std::int64_t Id) {
    const bool Deleted = ChangeHeldSeries(
        Id, [&] { FDatabase->Prepare("DELETE FROM series WHERE id = ?1").Bind(1, Id).Run(); });
    if (!Deleted)
        throw EStore("Cannot delete series " + std::to_string(Id) + " of " + Quoted(FPath) +
                     ": another running program records into it");
}

bool TSeriesStore::PutAway(std::int64_t Id) {
    return ChangeHeldSeries(Id, [&] {
        FDatabase
            ->Prepare("DELETE FROM series WHERE id = ?1 "
                      "AND NOT EXISTS (SELECT 1 FROM shots WHERE series = ?1)")
            .Bind(1, Id)
            .Run();
        FDatabase->Prepare("UPDATE series SET ended = 1 WHERE id = ?1").Bind(1, Id).Run();
    });
}

std::vector<TSeriesEntry> TSeriesStore::ListSeries() const {
    TSqliteStatement Select = FDatabase->Prepare(ListSql(false));
    return Entries(Select);
}

std::optional<TSeriesEntry> TSeriesStore::ListedSeries(std::int64_t Id) const {
    TSqliteStatement Select = FDatabase->Prepare(ListSql(true));
    Select.Bind(1, Id);
    std::vector<TSeriesEntry> Found = Entries(Select);
    return Found.empty() ? std::nullopt : std::optional(std::move(Found.front()));
}

std::optional<TSeriesNotes> TSeriesStore::Notes(std::int64_t Id) const {
    TSqliteStatement Select = FDatabase->Prepare(
        "SELECT gun, pellet, pellet_weight_g, pressure_start_bar, pressure_end_bar, "
        "temperature_c, remarks FROM series WHERE id = ?1");
    Select.Bind(1, Id);
    return Select.Step() ? std::optional(NotesAt(Select, 0)) : std::nullopt;
}

// The notes' columns from First on, in the order of TSeriesNotes.
TSeriesNotes TSeriesStore::NotesAt(TSqliteStatement& Select, int First) {
    return {Select.Text(First),
            Select.Text(First + 1),
            Select.OptionalReal(First + 2),
            Select.OptionalReal(First + 3),
            Select.OptionalReal(First + 4),
            Select.OptionalReal(First + 5),
            Select.Text(First + 6)};
}

std::vector<TSeriesEntry> TSeriesStore::Entries(TSqliteStatement& Select) {
    std::vector<TSeriesEntry> Entries;
    while (Select.Step()) {
        TSeriesEntry& Entry = Entries.emplace_back();
        Entry.Id = Select.Integer(0);
        Entry.Name = Select.Text(1);
        Entry.Created = Select.Text(2);
        Entry.Notes = NotesAt(Select, 3);
        Entry.ShotCount = static_cast<std::size_t>(Select.Integer(10));
        Entry.Mean = Select.OptionalReal(11);
        Entry.Minimum = Select.OptionalReal(12);
        Entry.Maximum = Select.OptionalReal(13);
        Entry.Deviation = Select.OptionalReal(14);
    }
    return Entries;
}

std::size_t TSeriesStore::Count() const {
    return static_cast<std::size_t>(FDatabase->QueryInteger("SELECT count(*) FROM series"));
}

std::optional<std::int64_t> TSeriesStore::ClaimLastSeries() {
    if (!FLocks)
        return std::nullopt;
    std::vector<std::int64_t> Candidates;
    TSqliteStatement Select =
        FDatabase->Prepare("SELECT id FROM series WHERE ended = 0 ORDER BY used DESC");
    while (Select.Step())
        Candidates.push_back(Select.Integer(0));
    for (const std::int64_t Id : Candidates)
        if (!Holds(Id) && Claim(Id))
            return Id;
    return std::nullopt;
}

bool TSeriesStore::Claim(std::int64_t Id) {
    if (!FLocks)
        return false;
    if (Holds(Id))
        return true;
    if (!FLocks->TryLock(Id))
        return false;
    // Another program may have deleted the series just before the byte was taken.
    bool Exists = false;
    try {
        TSqliteTransaction Transaction(*FDatabase);
        FDatabase->Prepare(MarkClaimedSql).Bind(1, Id).Run();
        Exists = FDatabase->Changes() > 0;
        Transaction.Commit();
    } catch (const EStore&) {
        FLocks->Unlock(Id);
        throw;
    }
    if (!Exists) {
        FLocks->Unlock(Id);
        return false;
    }
    FClaims.insert(Id);
    return true;
}

void TSeriesStore::Release(std::int64_t Id) {
    if (FClaims.erase(Id) > 0)
        FLocks->Unlock(Id);
}

bool TSeriesStore::ClaimedElsewhere(std::int64_t Id) const {
    return FLocks && FLocks->HeldElsewhere(Id);
}
