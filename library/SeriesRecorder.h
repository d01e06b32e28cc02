#pragma once

// Keeps the current series in the library as it grows, so that a crash, kill -9 or a flat battery
// loses no shot the table has shown. Shots are committed in one short transaction a burst before
// they are shown. While another program holds the library, a commit waits no more than a blink:
// the shots are then written to a journal beside the library (TWaitingShots) before they are
// shown, and go into the library when it frees, at the latest when the next program starts. When
// the library fails otherwise (a full disk, a damaged file), recording stops, the series goes on
// in memory and the failure is told once.

#include "library/SeriesStore.h"
#include "series/USeries.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TWaitingShots;
struct TWaitingSeries;

class TSeriesRecorder {
public:
    // Records Series into Store; without a store it records nothing.
    TSeriesRecorder(TSeries& Series, std::unique_ptr<TSeriesStore> Store);
    ~TSeriesRecorder();
    TSeriesRecorder(const TSeriesRecorder&) = delete;
    TSeriesRecorder& operator=(const TSeriesRecorder&) = delete;

    // Told once, in English, when the library stops taking shots.
    std::function<void(const std::string& Reason)> Failed;
    // The name of a series the shots of which came from the chronograph.
    std::function<std::string()> RecordedSeriesName = [] { return std::string("Series"); };
    // Told when the number of shots that wait beside the library changes: 0 once all are in.
    std::function<void(std::size_t Waiting)> WaitingChanged;
    // Told when the series to be taken up at start holds Count shots, more than a series can: it
    // stays in the library, and a new series begins.
    std::function<void(std::size_t Count)> SeriesTooLong;
    // Told when a series of the library became the series (taken up at start or opened), with
    // the number of its rows that could not be read; the series' pellet weight is in force.
    std::function<void(const TSeriesEntry& Entry, std::size_t Skipped)> SeriesTaken;

    // How long a commit waits for another program's hold on the library.
    static constexpr std::chrono::milliseconds Blink{100};
    // Shots received without a pause in which the display shows them, committed together at
    // most: a stream that never pauses is committed in bursts of bounded size.
    static constexpr std::size_t LongestBurst = 10'000;

    // Whether shots still reach the library.
    bool Recording() const;
    // The library, still there to be read after recording stopped; null when there was none.
    TSeriesStore* Store() const { return FStore.get(); }
    // The series shots are recorded into; none until the first shot of a new series is in.
    std::optional<std::int64_t> CurrentSeries() const { return FCurrent; }
    // The shots of the series that are in the library.
    std::size_t Committed() const { return FCommitted; }
    // The shots shown that wait beside the library for it to free.
    std::size_t Waiting() const;

    // At start: first the shots that programs which ended left waiting go into the library; then
    // the series this program was recording when it last ended is taken up, with its shots put
    // into the (empty) series. False when there is none and a new series begins.
    bool ResumeLastSeries();
    // The same in steps for a window that answers meanwhile: BeginResume claims the series, and
    // each TakeUpPart reads a part of its shots until it returns false, when the series holds
    // them all. Nothing is committed meanwhile, so the caller holds back received shots.
    bool BeginResume();
    bool TakeUpPart();
    bool TakingUp() const { return FTakeUp.has_value(); }
    // Reads the rest of the series being taken up at once: before the series changes.
    void FinishTakeUp();
    // Shots read in one part: a fifth of a second's work.
    static constexpr std::size_t TakeUpPartSize = 100'000;

    // Commits the shots the library does not have yet, in bursts; while another program holds
    // the library they wait. Whether the library has every shot now, or takes none: false tells
    // the caller not to change the series yet.
    bool Flush();
    // Flush, and whether the library takes a write now: a change of the whole series (a new
    // series, another one opened) needs it, and is refused while another program holds it.
    bool LibraryFree();
    // Commits at most LongestBurst of them, so that a loaded file of a million shots goes into
    // the library in bursts between which the window answers; whether more wait, and the next
    // burst may go (not while the library is busy).
    bool FlushBurst();
    // Before the display shows the series: the shots that came from the chronograph since it was
    // last shown are committed, or kept beside the library while it is held; else a burst of a
    // loaded file's goes in. The series' pellet weight goes with them. Whether more of a file's
    // wait.
    bool FlushForDisplay();
    // At the end: every shot is in the library, or waits beside it for the next start.
    void KeepAll();
    // Whether shots wait for the library to free (this program's or left by one that ended).
    bool WaitingForLibrary() const;
    // After shots came from the chronograph; a burst is committed once LongestBurst wait.
    void ShotsReceived();
    // Before the series' shots at Indexes (increasing) go: the library loses them too. False, and
    // nothing changes, while another program holds the library and shots in it would go.
    bool DeleteShots(const std::vector<std::size_t>& Indexes);
    // The shots that wait go in if the library is free; whether some still wait.
    bool RetryWaiting();
    // In a pause of the shots: the library's log goes into its file.
    void Checkpoint();
    // The series holds other shots from now on, a new series named Name (a recorded series'
    // name when none), made with its first shot: the old series is put away, or not kept when it
    // has no shot. The old series' shots from FirstCarried on, which the series kept at its
    // start, move into the new one. A series read from the file SourceFile (its name without
    // folder) remembers it until all its shots are in. The first burst is committed. Flush
    // before the series changes, so that the old series has all its shots.
    void StartSeries(const std::optional<std::string>& Name = std::nullopt,
                     std::optional<std::size_t> FirstCarried = std::nullopt,
                     const std::string& SourceFile = "");
    // Makes the library's series Id the current one, its shots replacing the series'; false when
    // the series' shots could not all be committed first, or Id cannot be claimed (another
    // program records into it, it is gone, or the library failed). A library that takes no shots
    // still gives its series to be looked at. A series too long for the window raises EStore.
    bool OpenSeries(std::int64_t Id);

private:
    // Commits at most Most of the shots the library does not have yet, and the weight.
    void Commit(std::size_t Most);
    // Writes to the journal the shots shown that the library does not have.
    void KeepWaiting();
    void PutLeftOverShots();
    bool AdoptLeftOver(std::int64_t Slot);
    void EndWaiting();
    // WaitingChanged, when the number differs from the one told last.
    void TellWaiting();
    TData Storable(const TData& Shot) const;
    // The shots from First to before Last as the library keeps them.
    std::vector<TData> StorableShots(std::size_t First, std::size_t Last) const;
    // Runs a library call; a failure stops recording and is told. Whether it was busy.
    bool Guarded(const std::function<void()>& Call);
    // Recording stops, and the user is told why.
    void Stop(const std::string& Reason);
    // What the current series is made with when it goes into the library.
    TSeriesStart NewSeriesStart() const;
    void PutAwayCurrent();
    // The library's series Id becomes the series (shots, weight), told by SeriesTaken.
    void Take(std::int64_t Id, TStoredShots Stored);
    TSeriesWeight CurrentWeight() const;
    // Whether the series in the library lacks the pellet weight now set.
    bool WeightDue() const;
    TWaitingSeries WaitingSeries() const;

    TSeries& FSeries;
    std::unique_ptr<TSeriesStore> FStore;
    std::unique_ptr<TWaitingShots> FWaiting;
    // Set once the library failed: nothing is written to it any more.
    bool FStopped = false;
    // Why recording could not begin, told at the first chance.
    std::string FStartFailure;
    // Set while another program holds the library: shots wait beside it.
    bool FBusy = false;
    // Set when shots came from the chronograph since the display last showed the series.
    bool FReceivedSinceShown = false;
    std::optional<std::int64_t> FCurrent;
    // Names the current series for the journal, also before it is in the library.
    std::string FOrigin;
    // What the current series gets when its first shot is committed.
    TSeriesStart FNew;
    std::size_t FCommitted = 0;
    // The series' shots up to here are in the library or in the journal.
    std::size_t FKept = 0;
    // The weight the library has for the current series, and the one its journal has.
    std::optional<TSeriesWeight> FStoredWeight;
    std::optional<TSeriesWeight> FJournalWeight;
    // The series being taken up and its shots read so far.
    std::optional<TStoredShots> FTakeUp;
    std::int64_t FTakeUpId = 0;
    std::size_t FToldWaiting = 0;
    // Journals left by programs that ended which the library could not take yet.
    std::vector<std::int64_t> FLeftOver;
};
