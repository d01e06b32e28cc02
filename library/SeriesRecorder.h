#pragma once

// Keeps the current series in the library as it grows, so that a crash, kill -9 or a flat battery
// loses no shot the table has shown. Shots are committed in one transaction a burst: the caller
// flushes before it shows them. When the library fails (a full disk, a damaged or locked file),
// recording stops, the series goes on in memory and the failure is told once.

#include "app/USeries.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TSeriesStore;

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

    // Whether shots still reach the library.
    bool Recording() const;
    // The library, still there to be read after recording stopped; null when there was none.
    TSeriesStore* Store() const { return FStore.get(); }
    // The series shots are recorded into; none until the first shot of a new series.
    std::optional<std::int64_t> CurrentSeries() const { return FCurrent; }
    // The shots of the series that are in the library.
    std::size_t Committed() const { return FCommitted; }

    // At start: the series this program was recording when it last ended, with its shots put
    // into the (empty) series; false when there is none and a new series begins.
    bool ResumeLastSeries();
    // Shots received without a pause in which the display shows them, committed together at
    // most: a stream that never pauses is committed in bursts of bounded size.
    static constexpr std::size_t LongestBurst = 10'000;

    // Commits the shots the library does not have yet, in one transaction; while another program
    // holds the library past its busy timeout they wait for the next flush. Whether the library
    // has every shot now, or takes none: false tells the caller not to change the series yet.
    bool Flush();
    // Commits at most LongestBurst of them, so that a loaded file of a million shots goes into
    // the library in bursts between which the window answers; whether more wait, and the next
    // burst may go (not while the library is busy).
    bool FlushBurst();
    // Before the display shows the series: every shot when some came from the chronograph since
    // it was last shown, which are committed before they are shown; else a burst of a loaded
    // file's. Whether more wait.
    bool FlushForDisplay();
    // After shots came from the chronograph; a burst is committed once LongestBurst wait.
    void ShotsReceived();
    // After the series' shots at Indexes (increasing, counted before the deletion) went.
    void ShotsDeleted(const std::vector<std::size_t>& Indexes);
    // The series holds other shots from now on, a new series named Name (a recorded series'
    // name when none), made with its first shot: the old series is put away, or not kept when it
    // has no shot. The old series' shots from FirstCarried on, which the series kept at its
    // start, move into the new one; the first burst of the new series is committed. Flush before
    // the series changes, so that the old series has all its shots.
    void StartSeries(const std::optional<std::string>& Name = std::nullopt,
                     std::optional<std::size_t> FirstCarried = std::nullopt);
    // Makes the library's series Id the current one, its shots replacing the series'; false when
    // the series' shots could not all be committed first, or Id cannot be claimed (another
    // program records into it, it is gone, or the library failed). A library that takes no shots
    // still gives its series to be looked at.
    bool OpenSeries(std::int64_t Id);

private:
    // Commits at most Most of the shots the library does not have yet.
    void Commit(std::size_t Most);
    // Runs a library call; a failure stops recording and is told.
    void Guarded(const std::function<void()>& Call);
    void PutAwayCurrent();
    std::vector<TData> StoredShots(std::int64_t Id) const;

    TSeries& FSeries;
    std::unique_ptr<TSeriesStore> FStore;
    // Set once the library failed: nothing is written to it any more.
    bool FStopped = false;
    // Set when shots came from the chronograph since the display last showed the series.
    bool FReceivedSinceShown = false;
    std::optional<std::int64_t> FCurrent;
    // The name the current series gets when its first shot is committed; a recorded series is
    // named then.
    std::optional<std::string> FNewName;
    std::size_t FCommitted = 0;
};
