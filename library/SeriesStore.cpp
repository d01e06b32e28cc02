#include "library/SeriesStore.h"

#include "library/Schema.h"
#include "platform/ByteLocks.h"
#include "platform/DataHome.h"
#include "platform/DurableFiles.h"
#include "platform/FileIO.h"
#include "platform/FileMoves.h"
#include "platform/LocalTime.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <sqlite3.h>
#include <string_view>
#include <system_error>

namespace {

std::string Quoted(const std::string& Text) {
    return "'" + Text + "'";
}

// The moment in a name for a file put aside: "20261209-153000".
std::string FileStamp(const platform::TLocalTime& Time) {
    char Text[32];
    std::snprintf(Text, sizeof Text, "%04d%02d%02d-%02d%02d%02d", Time.Year, Time.Month, Time.Day,
                  Time.Hour, Time.Minute, Time.Second);
    return Text;
}

// The files that make up a database besides its own: the WAL journal and its index, which go
// aside before the file (a crash between the moves must not leave a damaged file's log to be
// replayed into a new library), the claims, and what the last clean close left.
constexpr const char* Journals[] = {"-wal", "-shm"};
constexpr const char* Companions[] = {"-wal", "-shm", ".recording.lock", ".clean"};

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

// A series whose shots are being deleted, marked in "ended": no longer listed nor taken up.
constexpr std::int64_t BeingDeleted = 2;
// Shots deleted in one transaction: a few tens of milliseconds' work.
constexpr std::size_t DeletedPerTransaction = 10'000;

constexpr const char* MarkUsedSql =
    "UPDATE series SET used = (SELECT coalesce(max(used), 0) + 1 FROM series) WHERE id = ?1";
// A series claimed is being recorded again.
constexpr const char* MarkClaimedSql = "UPDATE series SET used = (SELECT coalesce(max(used), 0) + "
                                       "1 FROM series), ended = 0 WHERE id = ?1";

// Every series, or series ?1 alone, with the figures kept with it.
std::string ListSql(bool OneSeries) {
    return R"(
SELECT id, name, created, gun, pellet, pellet_weight_g, pellet_weight_unit, pressure_start_bar,
       pressure_end_bar, temperature_c, remarks,
       shot_count, speed_origin, speed_sum, speed_squares, speed_min, speed_max,
       coalesce(origin, ''), coalesce(source_name, ''), source_shots
FROM series WHERE ended < )" +
           std::to_string(BeingDeleted) + " " + (OneSeries ? "AND id = ?1 " : "") +
           "ORDER BY id DESC";
}

constexpr const char* FiguresColumns =
    "shot_count, speed_origin, speed_sum, speed_squares, speed_min, speed_max";

// The figures in the columns of FiguresColumns from First on.
TSpeedFigures FiguresAt(const TSqliteStatement& Select, int First) {
    return {Select.Integer(First),  Select.OptionalReal(First + 1), Select.Real(First + 2),
            Select.Real(First + 3), Select.OptionalReal(First + 4), Select.OptionalReal(First + 5)};
}

// The one speed of a shot, of the same value as the library's own expression gives.
double MetresPerSecond(const TData& Shot) {
    return Shot.SpeedUnit() == "FPS" ? Shot.Speed() * 0.3048 : Shot.Speed();
}

// A shot the library can keep and read back.
void CheckStorable(const TData& Shot) {
    if (!StorableShot(Shot.SpeedUnit(), Shot.Speed()))
        throw EStore("Cannot keep a shot of " + std::to_string(Shot.Speed()) + " " +
                     Shot.SpeedUnit() + " in the series library: not a speed in m/s or fps");
}

// What the last clean close noted of the file; empty when there is no such note.
std::string ReadCleanMark(const std::string& Path) {
    if (!platform::PathExists(Path))
        return {};
    try {
        return platform::ReadRegularFileBytes(Path, 4096);
    } catch (const std::exception&) {
        // A note that cannot be read is no note: the whole file is read through instead.
        return {};
    }
}

// What a database at Path is to this program.
enum class TKind { Library, OlderLibrary, Empty, Foreign };

TKind KindOf(TSqliteDatabase& Database) {
    const std::int64_t Application = Database.QueryInteger("PRAGMA application_id");
    if (Application == LibraryApplicationId)
        return TKind::Library;
    if (Application != 0)
        return TKind::Foreign;
    const std::int64_t Version = Database.QueryInteger("PRAGMA user_version");
    const std::int64_t Objects = Database.QueryInteger("SELECT count(*) FROM sqlite_schema");
    if (Version == 0 && Objects == 0)
        return TKind::Empty;
    // The formats before the mark: their two tables, and nothing of another program's.
    const std::int64_t Tables = Database.QueryInteger(
        "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name IN ('series', 'shots')");
    return Version >= 1 && Version <= 2 && Tables == 2 ? TKind::OlderLibrary : TKind::Foreign;
}

// How long a start waits for another program's hold to compute the figures again.
constexpr std::chrono::milliseconds FiguresWait{100};

// Failures that say the file or its folder takes no writing.
bool Unwritable(const EStore& Error) {
    const int Code = Error.PrimaryCode();
    return Code == SQLITE_READONLY || Code == SQLITE_CANTOPEN || Code == SQLITE_PERM;
}

} // namespace

std::string ReceivedStamp(const platform::TLocalTime& Time) {
    char Text[48];
    std::snprintf(Text, sizeof Text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", Time.Year, Time.Month,
                  Time.Day, Time.Hour, Time.Minute, Time.Second, Time.Millisecond);
    return Text;
}

// Read digit by digit, since a series taken up at start may hold a million of them.
std::optional<platform::TLocalTime> ParseReceivedStamp(std::string_view Text) {
    constexpr std::string_view Shape = "dddd-dd-dd dd:dd:dd.ddd";
    if (Text.size() != Shape.size())
        return std::nullopt;
    for (std::size_t Index = 0; Index < Shape.size(); ++Index)
        if (Shape[Index] == 'd' ? Text[Index] < '0' || Text[Index] > '9'
                                : Text[Index] != Shape[Index])
            return std::nullopt;
    const auto Number = [Text](std::size_t First, std::size_t Digits) {
        int Value = 0;
        for (std::size_t Index = First; Index < First + Digits; ++Index)
            Value = Value * 10 + (Text[Index] - '0');
        return Value;
    };
    return platform::TLocalTime{Number(0, 4),  Number(5, 2),  Number(8, 2), Number(11, 2),
                                Number(14, 2), Number(17, 2), Number(20, 3)};
}

std::string DefaultSeriesDatabase() {
    return platform::LibraryFolder() + "/" + SeriesDatabaseName;
}

bool StorableShot(const std::string& Unit, double Speed) {
    return std::isfinite(Speed) && (Unit == "M/S" || Unit == "FPS");
}

std::string NewSeriesOrigin() {
    std::random_device Source;
    std::string Origin;
    for (int Part = 0; Part < 4; ++Part) {
        char Text[9];
        std::snprintf(Text, sizeof Text, "%08x", static_cast<unsigned>(Source()));
        Origin += Text;
    }
    return Origin;
}

TSeriesStore::TSeriesStore(const std::string& Path, std::chrono::milliseconds BusyTimeout)
    : FPath(Path) {
    try {
        Open(BusyTimeout);
    } catch (const EStore& Error) {
        if (Error.Damaged()) {
            MoveAside(Error);
            Open(BusyTimeout);
        } else if (Unwritable(Error) && platform::PathExists(FPath)) {
            OpenForReading(Error, BusyTimeout);
        } else {
            throw;
        }
    }
    if (ReadOnly())
        return;
    try {
        FLocks = std::make_unique<platform::TByteLockFile>(FPath + ".recording.lock");
    } catch (const std::system_error& Error) {
        throw EStore(Error.what(), Error.code().value());
    }
}

// A clean close tells the next start that the file is as this program left it, so that it need
// not read it all. Another program still writing it changes the file after, which the next
// start sees.
TSeriesStore::~TSeriesStore() {
    if (!ReadOnly()) {
        try {
            // The last connection to close does it anyway; another program may still be on it.
            FDatabase->Checkpoint();
        } catch (const EStore&) {
            // The log keeps the shots all the same; the next program to close copies them.
        }
    }
    FDatabase.reset();
    if (ReadOnly() || !FFiguresTrusted || platform::FileHasBytes(FPath + "-wal"))
        return;
    try {
        platform::WriteFileAtomically(FPath + ".clean", platform::FileIdentity(FPath));
    } catch (const std::exception&) {
        // Without it the next start reads the whole file: slower, never wrong.
    }
}

// Refuses, before anything is written, a database that another program made.
void TSeriesStore::CheckOwnFile() const {
    if (KindOf(*FDatabase) == TKind::Foreign)
        throw EStore("The file " + Quoted(FPath) +
                     " is not a TARVEX series library: it is left as it is, and the shots are "
                     "not kept");
}

void TSeriesStore::Open(std::chrono::milliseconds BusyTimeout) {
    FDatabase.reset();
    FKeys.clear();
    // A link is not followed, and a FIFO or a device would hold the program up at the first read.
    if (platform::OtherThanAFile(FPath))
        throw EStore("The series library " + Quoted(FPath) +
                     " is not a file (a link, a folder or a device): it is left as it is");
    platform::MakePrivateFile(FPath);
    // A log left behind means the last program did not close the file; a file changed since the
    // last clean close was written by someone else. Either may hide damage or figures that no
    // longer agree with the shots.
    const bool Unchecked = platform::FileHasBytes(FPath + "-wal") ||
                           platform::FileIdentity(FPath) != ReadCleanMark(FPath + ".clean");
    FDatabase = std::make_unique<TSqliteDatabase>(FPath, TSqliteDatabase::ReadWrite, BusyTimeout);
    CheckOwnFile();
    if (Unchecked)
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
    if (FDatabase->IsReadOnly())
        throw EStore("Cannot write the series library " + Quoted(FPath) + ": the file is read-only",
                     SQLITE_READONLY);
    FDatabase->Execute("PRAGMA journal_mode = WAL");
    FDatabase->Execute("PRAGMA synchronous = FULL");
    FDatabase->Execute("PRAGMA foreign_keys = ON");
    if (Version < Known) {
        // Takes the write lock once, so that a library locked for longer than the timeout fails
        // here and not with the first shot.
        UpgradeSchema(*FDatabase, SeriesSchema());
    }
    // What a program left of a series it was deleting goes, and the figures are computed again
    // where they may not agree with the shots. Another program holding the library does not
    // hold up the start: both then wait for the next one, which this one's close does not tell
    // otherwise.
    FFiguresTrusted = true;
    FDatabase->SetBusyTimeout(std::min(BusyTimeout, FiguresWait));
    try {
        RemoveDeletedShots();
        if (Unchecked || Version < Known)
            ComputeAllFigures();
    } catch (const EStore& Error) {
        if (!Error.Busy())
            throw;
        FFiguresTrusted = false;
    }
    FDatabase->SetBusyTimeout(BusyTimeout);
}

// A library on a read-only disk or in a folder that takes no files can still be looked at.
void TSeriesStore::OpenForReading(const EStore& Refusal, std::chrono::milliseconds BusyTimeout) {
    FDatabase.reset();
    for (const auto Mode : {TSqliteDatabase::ReadOnly, TSqliteDatabase::Immutable}) {
        try {
            FDatabase = std::make_unique<TSqliteDatabase>(FPath, Mode, BusyTimeout);
            CheckOwnFile();
            break;
        } catch (const EStore& Error) {
            FDatabase.reset();
            if (!Unwritable(Error) || Mode == TSqliteDatabase::Immutable)
                throw EStore(std::string(Refusal.what()) +
                                 "; it cannot be read either: " + Error.what(),
                             Error.Code());
        }
    }
    FOpening = OpenedUnwritable;
    FMessage = "The series library " + Quoted(FPath) + " cannot be written (" + Refusal.what() +
               "). It is open for reading only: series recorded now are not kept in it.";
}

void TSeriesStore::MoveAside(const EStore& Damage) {
    FDatabase.reset();
    const std::string Base = FPath + ".corrupt-" + FileStamp(platform::LocalTimeNow());
    std::string Target = Base;
    for (int Number = 2; NameTaken(Target); ++Number)
        Target = Base + "-" + std::to_string(Number);
    try {
        for (const char* Suffix : Journals)
            platform::MoveIfPresent(FPath + Suffix, Target + Suffix);
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

void TSeriesStore::SetBusyTimeout(std::chrono::milliseconds Timeout) {
    FDatabase->SetBusyTimeout(Timeout);
}

bool TSeriesStore::Writable() {
    if (ReadOnly())
        return false;
    try {
        const TSqliteTransaction Probe(*FDatabase);
        return true;
    } catch (const EStore& Error) {
        if (!Error.Busy())
            throw;
        return false;
    }
}

void TSeriesStore::Checkpoint() {
    if (!ReadOnly())
        FDatabase->Checkpoint();
}

void TSeriesStore::CheckWritable() const {
    if (ReadOnly())
        throw EStore("Cannot change the series library " + Quoted(FPath) +
                     ": it is open for reading only");
}

void TSeriesStore::Touch(std::int64_t Id, const char* What) {
    FDatabase->Prepare(MarkUsedSql).Bind(1, Id).Run();
    if (FDatabase->Changes() == 0)
        throw EStore(std::string(What) + ": the series library " + Quoted(FPath) +
                     " has no series " + std::to_string(Id));
}

TSpeedFigures TSeriesStore::Figures(std::int64_t Id) const {
    TSqliteStatement Select =
        FDatabase->Prepare(std::string("SELECT ") + FiguresColumns + " FROM series WHERE id = ?1");
    if (!Select.Bind(1, Id).Step())
        throw EStore("The series library " + Quoted(FPath) + " has no series " +
                     std::to_string(Id));
    return FiguresAt(Select, 0);
}

void TSeriesStore::WriteFigures(std::int64_t Id, const TSpeedFigures& Figures) {
    FDatabase
        ->Prepare("UPDATE series SET shot_count = ?2, speed_origin = ?3, speed_sum = ?4, "
                  "speed_squares = ?5, speed_min = ?6, speed_max = ?7, "
                  "source_shots = CASE WHEN source_shots <= ?2 THEN NULL ELSE source_shots END "
                  "WHERE id = ?1")
        .Bind(1, Id)
        .Bind(2, Figures.Count)
        .Bind(3, Figures.Origin)
        .Bind(4, Figures.Sum)
        .Bind(5, Figures.Squares)
        .Bind(6, Figures.Minimum)
        .Bind(7, Figures.Maximum)
        .Run();
}

void TSeriesStore::RemoveFromFigures(std::int64_t Id, const std::vector<double>& Speeds) {
    TSpeedFigures Kept = Figures(Id);
    for (const double Speed : Speeds)
        Kept.Remove(Speed);
    if (Kept.Count > 0) {
        // The index on the speeds finds both ends without reading the shots between.
        const std::string Speed = ShotSpeedSql;
        const std::string End = "(SELECT " + Speed + " FROM shots WHERE series = ?1 AND " + Speed +
                                " IS NOT NULL ORDER BY " + Speed;
        TSqliteStatement Ends =
            FDatabase->Prepare("SELECT " + End + " LIMIT 1), " + End + " DESC LIMIT 1)");
        Ends.Bind(1, Id).Step();
        Kept.Minimum = Ends.OptionalReal(0);
        Kept.Maximum = Ends.OptionalReal(1);
    }
    WriteFigures(Id, Kept);
}

// Once after an upgrade, and after the file was changed by someone else: every series' figures
// from its shots, in one pass in the order the shots lie.
void TSeriesStore::ComputeAllFigures() {
    TSqliteTransaction Transaction(*FDatabase);
    FDatabase->Execute("UPDATE series SET shot_count = 0, speed_origin = NULL, speed_sum = 0, "
                       "speed_squares = 0, speed_min = NULL, speed_max = NULL");
    TSqliteStatement Select = FDatabase->Prepare(std::string("SELECT series, ") + ShotSpeedSql +
                                                 " AS v FROM shots WHERE v IS NOT NULL "
                                                 "ORDER BY series, position");
    std::optional<std::int64_t> Series;
    TSpeedFigures Running;
    const auto WriteRunning = [&] {
        if (Series)
            WriteFigures(*Series, Running);
    };
    while (Select.Step()) {
        if (Select.Integer(0) != Series) {
            WriteRunning();
            Series = Select.Integer(0);
            Running = {};
        }
        Running.Add(Select.Real(1));
    }
    WriteRunning();
    Transaction.Commit();
}

std::vector<std::int64_t>& TSeriesStore::Keys(std::int64_t Id) const {
    if (const auto Found = FKeys.find(Id); Found != FKeys.end())
        return Found->second;
    std::vector<std::int64_t> Keys;
    TSqliteStatement Select =
        FDatabase->Prepare(std::string("SELECT position FROM shots WHERE series = ?1 AND ") +
                           ShotSpeedSql + " IS NOT NULL ORDER BY position");
    Select.Bind(1, Id);
    while (Select.Step())
        Keys.push_back(Select.Integer(0));
    return FKeys[Id] = std::move(Keys);
}

std::int64_t TSeriesStore::NextKey(std::int64_t Id) const {
    // The largest key is found in the key itself without reading the rest.
    TSqliteStatement Next =
        FDatabase->Prepare("SELECT coalesce(max(position) + 1, 0) FROM shots WHERE series = ?1");
    Next.Bind(1, Id).Step();
    return Next.Integer(0);
}

std::int64_t TSeriesStore::Insert(const TSeriesStart& Start) {
    TSqliteStatement Statement = FDatabase->Prepare(
        "INSERT INTO series (name, created, used, origin, source_name, source_shots) "
        "VALUES (?1, ?2, (SELECT coalesce(max(used), 0) + 1 FROM series), ?3, ?4, ?5)");
    Statement.Bind(1, Start.Name)
        .Bind(2, LocalTimeText(platform::LocalTimeNow()))
        .Bind(3, Start.Origin.empty() ? NewSeriesOrigin() : Start.Origin)
        .Bind(4, Start.SourceName);
    if (Start.SourceShots)
        Statement.Bind(5, Signed(*Start.SourceShots));
    else
        Statement.BindNull(5);
    Statement.Run();
    return FDatabase->LastInsertId();
}

std::int64_t TSeriesStore::CreateSeries(const std::string& Name) {
    CheckWritable();
    TSqliteTransaction Transaction(*FDatabase);
    const std::int64_t Id = Insert({Name, "", "", std::nullopt});
    Transaction.Commit();
    return Id;
}

std::int64_t TSeriesStore::StartSeries(const TSeriesStart& Start) {
    CheckWritable();
    TSqliteTransaction Transaction(*FDatabase);
    const std::int64_t Id = Insert(Start);
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
    FKeys[Id] = {};
    return Id;
}

void TSeriesStore::AppendShots(std::int64_t Id, const std::vector<TData>& Shots,
                               std::size_t FirstPosition,
                               const std::optional<TSeriesWeight>& Weight) {
    CheckWritable();
    for (const TData& Shot : Shots)
        CheckStorable(Shot);
    if (Shots.empty() && !Weight)
        return;
    std::vector<std::int64_t>& Kept = Keys(Id);
    TSqliteTransaction Transaction(*FDatabase);
    Touch(Id, "Cannot add shots");
    TSpeedFigures Figures = this->Figures(Id);
    if (Figures.Count != Signed(FirstPosition))
        throw EStore("Cannot add shots at position " + std::to_string(FirstPosition) +
                     " to series " + std::to_string(Id) + " of " + Quoted(FPath) + ": it holds " +
                     std::to_string(Figures.Count) + " shots");
    const std::int64_t First = NextKey(Id);
    TSqliteStatement Insert =
        FDatabase->Prepare("INSERT INTO shots (series, position, speed, unit, received) "
                           "VALUES (?1, ?2, ?3, ?4, ?5)");
    Insert.Bind(1, Id);
    for (std::size_t Index = 0; Index < Shots.size(); ++Index) {
        const TData& Shot = Shots[Index];
        Insert.Bind(2, First + Signed(Index)).Bind(3, Shot.Speed()).Bind(4, Shot.SpeedUnit());
        if (Shot.Received())
            Insert.Bind(5, ReceivedStamp(*Shot.Received()));
        else
            Insert.BindNull(5);
        Insert.Run();
        Figures.Add(MetresPerSecond(Shot));
    }
    WriteFigures(Id, Figures);
    if (Weight)
        SetWeightOf(Id, *Weight);
    Transaction.Commit();
    for (std::size_t Index = 0; Index < Shots.size(); ++Index)
        Kept.push_back(First + Signed(Index));
}

void TSeriesStore::DeleteShots(std::int64_t Id, const std::vector<std::size_t>& Positions) {
    CheckWritable();
    if (Positions.empty())
        return;
    std::vector<std::int64_t>& Kept = Keys(Id);
    for (std::size_t Index = 0; Index < Positions.size(); ++Index)
        if ((Index > 0 && Positions[Index] <= Positions[Index - 1]) ||
            Positions[Index] >= Kept.size())
            throw EStore("Cannot delete shot " + std::to_string(Positions[Index]) + " of series " +
                         std::to_string(Id) + " of " + Quoted(FPath) +
                         ": the positions must rise and stay below " + std::to_string(Kept.size()));
    TSqliteTransaction Transaction(*FDatabase);
    Touch(Id, "Cannot delete shots");
    TSqliteStatement Delete =
        FDatabase->Prepare(std::string("DELETE FROM shots WHERE series = ?1 AND position = ?2 "
                                       "RETURNING ") +
                           ShotSpeedSql);
    Delete.Bind(1, Id);
    std::vector<double> Speeds;
    for (const std::size_t Position : Positions) {
        Delete.Bind(2, Kept[Position]);
        if (Delete.Step())
            Speeds.push_back(Delete.Real(0));
        Delete.Reset();
    }
    RemoveFromFigures(Id, Speeds);
    Transaction.Commit();
    for (auto Position = Positions.rbegin(); Position != Positions.rend(); ++Position)
        Kept.erase(Kept.begin() + static_cast<std::ptrdiff_t>(*Position));
}

void TSeriesStore::MoveShots(std::int64_t From, std::size_t FirstPosition, std::int64_t To) {
    CheckWritable();
    const std::vector<std::int64_t>& Kept = Keys(From);
    if (FirstPosition >= Kept.size())
        return;
    const std::int64_t FirstKey = Kept[FirstPosition];
    TSqliteTransaction Transaction(*FDatabase);
    Touch(From, "Cannot move shots");
    Touch(To, "Cannot move shots");
    std::vector<double> Speeds;
    TSqliteStatement Moved = FDatabase->Prepare(std::string("SELECT ") + ShotSpeedSql +
                                                " FROM shots WHERE series = ?1 AND position >= ?2 "
                                                "ORDER BY position");
    Moved.Bind(1, From).Bind(2, FirstKey);
    while (Moved.Step())
        if (!Moved.IsNull(0))
            Speeds.push_back(Moved.Real(0));
    // The moved shots land after the last shot of To, so no key is taken twice on the way.
    FDatabase
        ->Prepare("UPDATE shots SET series = ?3, position = position - ?2 + ?4 "
                  "WHERE series = ?1 AND position >= ?2")
        .Bind(1, From)
        .Bind(2, FirstKey)
        .Bind(3, To)
        .Bind(4, NextKey(To))
        .Run();
    RemoveFromFigures(From, Speeds);
    TSpeedFigures Added = Figures(To);
    for (const double Speed : Speeds)
        Added.Add(Speed);
    WriteFigures(To, Added);
    Transaction.Commit();
    FKeys.erase(From);
    FKeys.erase(To);
}

TStoredShots TSeriesStore::LoadShots(std::int64_t Id, std::size_t Most) const {
    std::vector<std::int64_t> Keys;
    TStoredShots Stored =
        LoadPart(Id, Most, std::nullopt, std::numeric_limits<std::size_t>::max(), &Keys);
    // Only the keys of a series this store records into are worth keeping.
    if (Holds(Id))
        FKeys[Id] = std::move(Keys);
    return Stored;
}

TStoredShots TSeriesStore::LoadPart(std::int64_t Id, std::size_t Most,
                                    std::optional<std::int64_t> After, std::size_t Part,
                                    std::vector<std::int64_t>* Keys) const {
    TStoredShots Stored;
    const std::optional<TSeriesEntry> Entry = ListedSeries(Id);
    if (!Entry)
        return Stored;
    if (Entry->ShotCount > Most)
        throw ESeriesTooLong("The series '" + Entry->Name + "' of " + Quoted(FPath) + " holds " +
                                 std::to_string(Entry->ShotCount) +
                                 " shots, more than a series can (" + std::to_string(Most) +
                                 "): it is not opened",
                             Entry->ShotCount);
    Stored.Shots.reserve(std::min(Entry->ShotCount, Part));
    // The rows are judged here rather than by the library's expression: a million of them at a
    // start are read in a third of the time.
    TSqliteStatement Select = FDatabase->Prepare(
        "SELECT speed, unit, received, position FROM shots WHERE series = ?1 AND position > ?2 "
        "ORDER BY position");
    Select.Bind(1, Id).Bind(2, After.value_or(-1));
    Stored.LastKey = After;
    while (Stored.Shots.size() < Part && Select.Step()) {
        Stored.LastKey = Select.Integer(3);
        const std::string Unit = Select.Text(1);
        if (!Select.IsNumber(0) || !StorableShot(Unit, Select.Real(0))) {
            ++Stored.Skipped;
            continue;
        }
        Stored.Shots.emplace_back(Unit, Select.Real(0),
                                  Select.IsNull(2) ? std::nullopt
                                                   : ParseReceivedStamp(Select.Text(2)));
        if (Keys)
            Keys->push_back(*Stored.LastKey);
    }
    Stored.More = Stored.Shots.size() == Part && Select.Step();
    return Stored;
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
                  "pellet_weight_unit = ?5, pressure_start_bar = ?6, pressure_end_bar = ?7, "
                  "temperature_c = ?8, remarks = ?9 WHERE id = ?1")
        .Bind(1, Id)
        .Bind(2, Notes.Gun)
        .Bind(3, Notes.Pellet)
        .Bind(4, Notes.PeletWeight)
        .Bind(5, Notes.PeletWeightUnit)
        .Bind(6, Notes.PressureStart)
        .Bind(7, Notes.PressureEnd)
        .Bind(8, Notes.Temperature)
        .Bind(9, Notes.Text)
        .Run();
    if (FDatabase->Changes() == 0)
        throw EStore("Cannot keep the notes: the series library " + Quoted(FPath) +
                     " has no series " + std::to_string(Id));
    Transaction.Commit();
}

void TSeriesStore::SetBallistics(std::int64_t Id, const TSeriesBallistics& Ballistics) {
    CheckWritable();
    TSqliteTransaction Transaction(*FDatabase);
    FDatabase
        ->Prepare("UPDATE series SET ballistic_coefficient = ?2, sight_height_m = ?3, "
                  "zero_range_m = ?4 WHERE id = ?1")
        .Bind(1, Id)
        .Bind(2, Ballistics.BallisticCoefficient)
        .Bind(3, Ballistics.SightHeight)
        .Bind(4, Ballistics.ZeroRange)
        .Run();
    if (FDatabase->Changes() == 0)
        throw EStore("Cannot keep the trajectory's figures: the series library " + Quoted(FPath) +
                     " has no series " + std::to_string(Id));
    Transaction.Commit();
}

void TSeriesStore::SetWeightOf(std::int64_t Id, const TSeriesWeight& Weight) {
    FDatabase
        ->Prepare("UPDATE series SET pellet_weight_g = ?2, pellet_weight_unit = ?3 WHERE id = ?1")
        .Bind(1, Id)
        .Bind(2, Weight.Grams)
        .Bind(3, Weight.Unit)
        .Run();
    if (FDatabase->Changes() == 0)
        throw EStore("Cannot keep the pellet weight: the series library " + Quoted(FPath) +
                     " has no series " + std::to_string(Id));
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
    FKeys.erase(Id);
    return true;
}

// The series goes from the list at once; its shots go in parts, each a short transaction, so that
// deleting a series of a million shots never holds the library for long. Whatever a crash leaves
// of it goes at the next start.
void TSeriesStore::DeleteSeries(std::int64_t Id) {
    const bool Deleted = ChangeHeldSeries(Id, [&] {
        FDatabase->Prepare("UPDATE series SET ended = ?2 WHERE id = ?1")
            .Bind(1, Id)
            .Bind(2, std::int64_t{BeingDeleted})
            .Run();
    });
    if (!Deleted)
        throw EStore("Cannot delete series " + std::to_string(Id) + " of " + Quoted(FPath) +
                     ": another running program records into it");
    try {
        RemoveDeletedShots();
    } catch (const EStore& Error) {
        // The series is gone from the list; another program's hold only delays its shots, which
        // the next start removes.
        if (!Error.Busy())
            throw;
    }
}

void TSeriesStore::RemoveDeletedShots() {
    TSqliteStatement Doomed = FDatabase->Prepare("SELECT id FROM series WHERE ended = ?1");
    Doomed.Bind(1, std::int64_t{BeingDeleted});
    std::vector<std::int64_t> Series;
    while (Doomed.Step())
        Series.push_back(Doomed.Integer(0));
    for (const std::int64_t Id : Series) {
        for (bool More = true; More;) {
            TSqliteTransaction Transaction(*FDatabase);
            FDatabase
                ->Prepare("DELETE FROM shots WHERE series = ?1 AND position IN (SELECT position "
                          "FROM shots WHERE series = ?1 ORDER BY position LIMIT ?2)")
                .Bind(1, Id)
                .Bind(2, static_cast<std::int64_t>(DeletedPerTransaction))
                .Run();
            More = FDatabase->Changes() > 0;
            if (!More)
                FDatabase->Prepare("DELETE FROM series WHERE id = ?1").Bind(1, Id).Run();
            Transaction.Commit();
        }
    }
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

std::optional<std::int64_t> TSeriesStore::FindOrigin(const std::string& Origin) const {
    TSqliteStatement Select = FDatabase->Prepare(
        "SELECT id FROM series WHERE origin = ?1 AND ended < " + std::to_string(BeingDeleted));
    Select.Bind(1, Origin);
    return Select.Step() ? std::optional(Select.Integer(0)) : std::nullopt;
}

std::optional<TSeriesNotes> TSeriesStore::Notes(std::int64_t Id) const {
    TSqliteStatement Select = FDatabase->Prepare(
        "SELECT gun, pellet, pellet_weight_g, pellet_weight_unit, pressure_start_bar, "
        "pressure_end_bar, temperature_c, remarks FROM series WHERE id = ?1");
    Select.Bind(1, Id);
    return Select.Step() ? std::optional(NotesAt(Select, 0)) : std::nullopt;
}

std::optional<TSeriesBallistics> TSeriesStore::Ballistics(std::int64_t Id) const {
    TSqliteStatement Select = FDatabase->Prepare(
        "SELECT ballistic_coefficient, sight_height_m, zero_range_m FROM series WHERE id = ?1");
    Select.Bind(1, Id);
    if (!Select.Step())
        return std::nullopt;
    const auto Figure = [&Select](int Column) {
        std::optional<double> Value = Select.OptionalReal(Column);
        return Value && std::isfinite(*Value) && *Value > 0 ? Value : std::nullopt;
    };
    return TSeriesBallistics{Figure(0), Figure(1), Figure(2)};
}

// The notes' columns from First on, in the order of TSeriesNotes. A weight that is no positive
// finite number (a library edited by hand) is none.
TSeriesNotes TSeriesStore::NotesAt(TSqliteStatement& Select, int First) {
    std::optional<double> Weight = Select.OptionalReal(First + 2);
    if (Weight && !(std::isfinite(*Weight) && *Weight > 0))
        Weight.reset();
    return {Select.Text(First),
            Select.Text(First + 1),
            Weight,
            Select.Text(First + 3),
            Select.OptionalReal(First + 4),
            Select.OptionalReal(First + 5),
            Select.OptionalReal(First + 6),
            Select.Text(First + 7)};
}

std::vector<TSeriesEntry> TSeriesStore::Entries(TSqliteStatement& Select) {
    std::vector<TSeriesEntry> Entries;
    while (Select.Step()) {
        TSeriesEntry& Entry = Entries.emplace_back();
        Entry.Id = Select.Integer(0);
        Entry.Name = Select.Text(1);
        Entry.Created = Select.Text(2);
        Entry.Notes = NotesAt(Select, 3);
        const TSpeedFigures Figures = FiguresAt(Select, 11);
        Entry.ShotCount = static_cast<std::size_t>(std::max<std::int64_t>(0, Figures.Count));
        Entry.Mean = Figures.Mean();
        Entry.Minimum = Figures.Minimum;
        Entry.Maximum = Figures.Maximum;
        Entry.Deviation = Figures.Deviation();
        Entry.Origin = Select.Text(17);
        Entry.SourceName = Select.Text(18);
        if (!Select.IsNull(19))
            Entry.SourceShots =
                static_cast<std::size_t>(std::max<std::int64_t>(0, Select.Integer(19)));
    }
    return Entries;
}

std::size_t TSeriesStore::Count() const {
    return static_cast<std::size_t>(FDatabase->QueryInteger(
        "SELECT count(*) FROM series WHERE ended < " + std::to_string(BeingDeleted)));
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
    // Another program may have deleted the series just before the byte was taken. A series not
    // put away needs no writing, so that a busy library does not keep it from being taken up.
    bool Exists = false;
    try {
        TSqliteStatement Ended = FDatabase->Prepare("SELECT ended FROM series WHERE id = ?1");
        Exists = Ended.Bind(1, Id).Step() && Ended.Integer(0) != BeingDeleted;
        if (Exists && Ended.Integer(0) != 0) {
            TSqliteTransaction Transaction(*FDatabase);
            FDatabase->Prepare(MarkClaimedSql).Bind(1, Id).Run();
            Exists = FDatabase->Changes() > 0;
            Transaction.Commit();
        }
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
    FKeys.erase(Id);
}

bool TSeriesStore::ClaimedElsewhere(std::int64_t Id) const {
    return FLocks && FLocks->HeldElsewhere(Id);
}
