#pragma once

// The series library: every series the program has recorded, with its shots and notes, in one
// SQLite file (WAL journal, synchronous=FULL, so that a committed shot survives a crash or a power
// cut). No widget is involved; the windows show what the store gives them.
//
// The current series. Whatever way the program last ended (kill -9 included), it starts again
// with the series it was recording, and two programs running side by side each record their own.
// A program claims the series it records into; a claim is a lock on the byte numbered like the
// series in "<database>.recording.lock" (platform::TByteLockFile), held by this store's own open
// file description for as long as the claim lasts. The kernel drops it when the program ends in
// any way, so a claim never outlives its program and nothing needs cleaning up after a crash.
// Series ids are never reused, so a byte always stands for the same series. At start the program
// calls ClaimLastSeries(), which takes the most recently used series that no running program
// holds and that was not put away; when there is none it calls StartSeries() with the first shot.
// StartSeries() claims the new series before it is committed, so no other program starting at
// the same moment can take it. When the user starts a new series, the old one is put away
// and released or, if no shot came, deleted (PutAway), so that empty
// series do not pile up and a series put away never comes back by itself. Deleting a series takes
// its byte first, so a series that another program records into cannot be deleted under it.
//
// Cost that does not grow with the library: each series keeps its figures (shot count, speed
// sums, slowest and fastest), changed in the transaction that changes its shots, so listing reads
// no shot; a shot's position is only an order key, so deleting one rewrites no other; the whole
// file is read through at a start only when this program did not close it last (a note beside it,
// "<database>.clean", records the file as the last clean close left it).
//
// Trust: the file must carry the program's mark (or be an older library of the program's, which
// the upgrade marks); its triggers and views never run; rows that hold no readable speed are left
// out when read.
//
// A store is used by one thread at a time.

#include "library/SpeedFigures.h"
#include "library/Sqlite.h"
#include "platform/FileLock.h"
#include "series/UData.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class TByteLockFile;
}

// The file name of the series library in platform::LibraryFolder().
inline constexpr const char* SeriesDatabaseName = "series.db";

// platform::LibraryFolder() + "/series.db": what the program opens.
std::string DefaultSeriesDatabase();

// What a shooter notes with a series. Figures are metric whatever the display shows, and
// missing when not noted.
struct TSeriesNotes {
    std::string Gun;
    std::string Pellet;
    // The pellet weight the series was shot with (the last one set while it was recorded), or
    // one noted by hand; none for a series recorded before series kept their weight.
    std::optional<double> PeletWeight; // g
    // The unit the weight was set in ("g" or "gr"); empty is g.
    std::string PeletWeightUnit;
    std::optional<double> PressureStart; // bar, when the series began
    std::optional<double> PressureEnd;   // bar, when it ended
    std::optional<double> Temperature;   // °C
    std::string Text;

    bool operator==(const TSeriesNotes&) const = default;
};

// What a series' trajectory starts from, kept with its notes; each may be missing.
struct TSeriesBallistics {
    std::optional<double> BallisticCoefficient; // lb/in², G1
    std::optional<double> SightHeight;          // m, over the bore
    std::optional<double> ZeroRange;            // m

    bool operator==(const TSeriesBallistics&) const = default;
};

// A series as the library lists it. Speeds are in m/s (a shot in FPS counts as speed * 0.3048)
// whatever units the shots came in; the caller converts them for display.
struct TSeriesEntry {
    std::int64_t Id = 0;
    std::string Name;
    // "YYYY-MM-DD HH:MM:SS", local time.
    std::string Created;
    TSeriesNotes Notes;
    std::size_t ShotCount = 0;
    // Missing without shots; the deviation (of the sample, divisor n - 1) needs two.
    std::optional<double> Mean, Minimum, Maximum, Deviation;
    // Names the series for shots that wait beside the library; empty in a library edited by hand.
    std::string Origin;
    // A series loaded or imported from a file: the file's name and, until every shot of it is
    // in the library, how many shots the series holds when it is.
    std::string SourceName;
    std::optional<std::size_t> SourceShots;

    // Whether the file the series came from did not go in whole (the program ended meanwhile).
    bool Incomplete() const { return SourceShots && ShotCount < *SourceShots; }
};

// A new series: its name, the origin that names it for shots waiting beside the library (a new
// one when empty) and, for a loaded or imported file, its name and shot count.
struct TSeriesStart {
    std::string Name;
    std::string Origin;
    std::string SourceName;
    std::optional<std::size_t> SourceShots;
};

// The pellet weight a series is shot with: grams, and the unit it was set in.
struct TSeriesWeight {
    double Grams = 0;
    std::string Unit;

    bool operator==(const TSeriesWeight&) const = default;
};

// A series' shots as the library gives them: those it can read, in their order, and the number of
// rows it left out (no readable speed, or a unit the program does not know).
struct TStoredShots {
    std::vector<TData> Shots;
    std::size_t Skipped = 0;
    // Where a part read ended, and whether the series has shots after it.
    std::optional<std::int64_t> LastKey;
    bool More = false;
};

// The time a shot was received as the library keeps it: "YYYY-MM-DD HH:MM:SS.mmm", local time;
// and back, a text of another shape giving no time rather than a wrong one.
std::string ReceivedStamp(const platform::TLocalTime& Time);
std::optional<platform::TLocalTime> ParseReceivedStamp(std::string_view Text);

// A series that holds more shots than a series of the window can; nothing of it was read.
class ESeriesTooLong : public EStore {
public:
    ESeriesTooLong(const std::string& Message, std::size_t Count)
        : EStore(Message), FCount(Count) {}
    std::size_t Count() const { return FCount; }

private:
    std::size_t FCount;
};

// Whether the library keeps a shot of Speed in Unit (as the program writes units, upper-case):
// a finite speed in m/s or fps. The one rule for what is written, read back and put in from a
// journal; the library's own expression (ShotSpeedSql) says the same in SQL.
bool StorableShot(const std::string& Unit, double Speed);

// A new origin: 128 random bits in hexadecimal.
std::string NewSeriesOrigin();

class TSeriesStore {
public:
    enum TOpening {
        Opened,
        // Made by a newer program: readable, never written (ReadOnly()).
        OpenedReadOnly,
        // The file was no database or was damaged: it was moved aside (MovedAside()) and a new,
        // empty library started.
        Recovered,
        // The file or its folder cannot be written (a read-only folder or disk): readable, never
        // written (ReadOnly()).
        OpenedUnwritable,
    };

    // Opens the library at Path, creating it (owner-only). Waits up to BusyTimeout for another
    // program's write. A library that cannot be opened or written (a full disk, a lock held past
    // the timeout), a symbolic link, and a database that is not a TARVEX library (left as it
    // is) raise EStore with a message naming the file. The whole file is read through only when
    // the program did not close it last (a crash, another program, a hand): a damaged one is
    // moved aside, and the figures kept with each series are computed again from the shots.
    explicit TSeriesStore(const std::string& Path,
                          std::chrono::milliseconds BusyTimeout = platform::LockTimeout);
    ~TSeriesStore();
    TSeriesStore(const TSeriesStore&) = delete;
    TSeriesStore& operator=(const TSeriesStore&) = delete;

    const std::string& Path() const { return FPath; }
    TOpening Opening() const { return FOpening; }
    bool ReadOnly() const { return FOpening == OpenedReadOnly || FOpening == OpenedUnwritable; }
    // Where the damaged file went; empty unless Recovered.
    const std::string& MovedAside() const { return FMovedAside; }
    // What the user should be told about the opening, in English; empty when Opened.
    const std::string& Message() const { return FMessage; }
    // How long a write waits for another program's lock from now on.
    void SetBusyTimeout(std::chrono::milliseconds Timeout);
    // Whether a write could begin now, without waiting longer than the busy timeout: false while
    // another program holds the library (or it takes no writing).
    bool Writable();
    // Copies the write-ahead log into the file itself as far as nobody is in the way, so that the
    // file alone (a backup that copies it, a log removed by hand) holds the shots.
    void Checkpoint();

    // A new series named Name, not claimed (an import, a copy). Every writing call raises
    // EStore in a read-only library, and for a series that does not exist.
    std::int64_t CreateSeries(const std::string& Name);
    // A new series claimed by this store: the new current series.
    std::int64_t StartSeries(const TSeriesStart& Start);
    std::int64_t StartSeries(const std::string& Name) {
        return StartSeries(TSeriesStart{Name, "", "", std::nullopt});
    }
    // Adds Shots at FirstPosition, which must be the series' shot count: the store and the
    // caller's series agree, or nothing is written. One transaction, so a burst is kept whole; the
    // series' pellet weight becomes Weight when one is given.
    void AppendShots(std::int64_t Id, const std::vector<TData>& Shots, std::size_t FirstPosition,
                     const std::optional<TSeriesWeight>& Weight = std::nullopt);
    // Removes the shots at Positions (strictly increasing, each below the shot count); the rest
    // keep their order, and no other shot is written.
    void DeleteShots(std::int64_t Id, const std::vector<std::size_t>& Positions);
    // Moves the shots of series From at FirstPosition and after to the end of series To, in one
    // transaction: shots carried from one series into the next are never in both, nor lost.
    void MoveShots(std::int64_t From, std::size_t FirstPosition, std::int64_t To);
    // The readable shots in their order; none for a series that does not exist. A series of more
    // than Most readable shots is refused whole (ESeriesTooLong).
    TStoredShots LoadShots(std::int64_t Id, std::size_t Most) const;
    // A part of them: at most Part readable shots after the one LastKey of the part before named
    // (from the first when none), so that a long series can be read between other work.
    // The keys of the shots read go to Keys when given.
    TStoredShots LoadPart(std::int64_t Id, std::size_t Most, std::optional<std::int64_t> After,
                          std::size_t Part, std::vector<std::int64_t>* Keys = nullptr) const;
    void Rename(std::int64_t Id, const std::string& Name);
    void SetNotes(std::int64_t Id, const TSeriesNotes& Notes);
    void SetBallistics(std::int64_t Id, const TSeriesBallistics& Ballistics);
    // Deletes the series with its shots; one that does not exist is no error. A series that
    // another program has claimed is not deleted: EStore.
    void DeleteSeries(std::int64_t Id);
    // Puts series Id away, in one transaction: no program starting takes it up again
    // (ClaimLastSeries), though it can still be opened (Claim); without a shot it is deleted. The
    // claim goes. False, and nothing changes, when another program holds it.
    bool PutAway(std::int64_t Id);

    // Every series, newest first, with its shot count and speed figures as kept with it: no shot
    // is read.
    std::vector<TSeriesEntry> ListSeries() const;
    // Series Id as ListSeries gives it; none when there is no such series.
    std::optional<TSeriesEntry> ListedSeries(std::int64_t Id) const;
    // The series whose origin is Origin; none when there is none.
    std::optional<std::int64_t> FindOrigin(const std::string& Origin) const;
    // The notes of series Id; none when there is no such series.
    std::optional<TSeriesNotes> Notes(std::int64_t Id) const;
    // None for a series the library does not have. A figure that is no positive finite number (a
    // library edited by hand) is missing.
    std::optional<TSeriesBallistics> Ballistics(std::int64_t Id) const;
    std::size_t Count() const;

    // Claims the series most recently created, claimed or changed that no running program holds
    // (this store's own claims included) and that was not put away; none when there is no such
    // series, or the library is read-only. Nothing is written, so a busy library does not stop it.
    std::optional<std::int64_t> ClaimLastSeries();
    // Claims series Id, which is then no longer put away; false when another program holds it or
    // it does not exist.
    bool Claim(std::int64_t Id);
    void Release(std::int64_t Id);
    bool Holds(std::int64_t Id) const { return FClaims.contains(Id); }
    // Whether another program (or another store in this one) holds series Id.
    bool ClaimedElsewhere(std::int64_t Id) const;

private:
    void Open(std::chrono::milliseconds BusyTimeout);
    void OpenForReading(const EStore& Refusal, std::chrono::milliseconds BusyTimeout);
    void CheckOwnFile() const;
    void MoveAside(const EStore& Damage);
    void CheckWritable() const;
    // Marks the series as the most recently used; raises EStore when it does not exist.
    void Touch(std::int64_t Id, const char* What);
    TSpeedFigures Figures(std::int64_t Id) const;
    void SetWeightOf(std::int64_t Id, const TSeriesWeight& Weight);
    void WriteFigures(std::int64_t Id, const TSpeedFigures& Figures);
    // Figures without Speeds (which were in it), the slowest and fastest looked up again.
    void RemoveFromFigures(std::int64_t Id, const std::vector<double>& Speeds);
    void ComputeAllFigures();
    // Deletes, in parts, the shots and then the rows of the series marked as being deleted.
    void RemoveDeletedShots();
    // The keys of the series' readable shots in their order, read once and kept for the series
    // this store holds.
    std::vector<std::int64_t>& Keys(std::int64_t Id) const;
    std::int64_t NextKey(std::int64_t Id) const;
    std::int64_t Insert(const TSeriesStart& Start);
    // Runs Change in one transaction while holding series Id's byte, and lets the byte go after;
    // false, with nothing changed, when another program holds it.
    bool ChangeHeldSeries(std::int64_t Id, const std::function<void()>& Change);
    // The rows of a listing query.
    static std::vector<TSeriesEntry> Entries(TSqliteStatement& Select);
    static TSeriesNotes NotesAt(TSqliteStatement& Select, int First);

    std::string FPath;
    std::unique_ptr<TSqliteDatabase> FDatabase;
    // Missing in a read-only library, which nobody records into.
    std::unique_ptr<platform::TByteLockFile> FLocks;
    std::set<std::int64_t> FClaims;
    mutable std::map<std::int64_t, std::vector<std::int64_t>> FKeys;
    TOpening FOpening = Opened;
    // Whether the figures kept with the series agree with the shots, so that a clean close may
    // say so for the next start.
    bool FFiguresTrusted = false;
    std::string FMovedAside;
    std::string FMessage;
};
