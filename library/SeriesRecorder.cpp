#include "library/SeriesRecorder.h"

#include "library/SeriesStore.h"
#include "library/Sqlite.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <utility>

TSeriesRecorder::TSeriesRecorder(TSeries& Series, std::unique_ptr<TSeriesStore> Store)
    : FSeries(Series), FStore(std::move(Store)) {}

TSeriesRecorder::~TSeriesRecorder() = default;

bool TSeriesRecorder::Recording() const {
    return FStore && !FStopped && !FStore->ReadOnly();
}

void TSeriesRecorder::Guarded(const std::function<void()>& Call) {
    if (!Recording())
        return;
    try {
        Call();
    } catch (const std::exception& Error) {
        FStopped = true;
        FCurrent.reset();
        if (Failed)
            Failed(Error.what());
    }
}

// A library written by another program may hold more than a series can: the series takes what
// fits, and the library keeps the rest.
std::vector<TData> TSeriesRecorder::StoredShots(std::int64_t Id) const {
    std::vector<TData> Shots = FStore->LoadShots(Id);
    if (Shots.size() > TSeries::MaxShots)
        Shots.erase(Shots.begin() + TSeries::MaxShots, Shots.end());
    return Shots;
}

bool TSeriesRecorder::ResumeLastSeries() {
    FNewName.reset();
    bool Resumed = false;
    Guarded([&] {
        const std::optional<std::int64_t> Last = FStore->ClaimLastSeries();
        if (!Last)
            return;
        std::vector<TData> Shots = StoredShots(*Last);
        FCurrent = Last;
        FCommitted = Shots.size();
        FSeries.AppendAll(std::move(Shots));
        Resumed = true;
    });
    return Resumed;
}

bool TSeriesRecorder::Flush() {
    Commit(FSeries.Count());
    return !Recording() || FCommitted == FSeries.Count();
}

bool TSeriesRecorder::FlushForDisplay() {
    if (std::exchange(FReceivedSinceShown, false))
        Flush();
    return FlushBurst();
}

bool TSeriesRecorder::FlushBurst() {
    const std::size_t Before = FCommitted;
    Commit(LongestBurst);
    return Recording() && FCommitted > Before && FSeries.Count() > FCommitted;
}

void TSeriesRecorder::Commit(std::size_t Most) {
    if (FSeries.Count() <= FCommitted)
        return;
    Guarded([&] {
        try {
            if (!FCurrent)
                FCurrent = FStore->StartSeries(FNewName ? *FNewName : RecordedSeriesName());
            const auto& Shots = FSeries.Shots();
            const auto First = Shots.begin() + static_cast<std::ptrdiff_t>(FCommitted);
            const std::vector<TData> New(First, First + static_cast<std::ptrdiff_t>(std::min(
                                                            Most, Shots.size() - FCommitted)));
            FStore->AppendShots(*FCurrent, New, FCommitted);
            FCommitted += New.size();
        } catch (const EStore& Error) {
            // Another TARVEX writing a long change holds the library for a while: the shots
            // wait for the next flush rather than recording stopping for good.
            if (!Error.Busy())
                throw;
        }
    });
}

void TSeriesRecorder::ShotsReceived() {
    FReceivedSinceShown = true;
    if (FSeries.Count() - FCommitted >= LongestBurst)
        Commit(LongestBurst);
}

// Shots not committed yet need nothing: they follow the committed ones in the series.
void TSeriesRecorder::ShotsDeleted(const std::vector<std::size_t>& Indexes) {
    std::vector<std::size_t> Stored;
    std::copy_if(Indexes.begin(), Indexes.end(), std::back_inserter(Stored),
                 [this](std::size_t Index) { return Index < FCommitted; });
    if (Stored.empty())
        return;
    Guarded([&] {
        FStore->DeleteShots(*FCurrent, Stored);
        FCommitted -= Stored.size();
    });
}

// The series recorded so far is put away, so that no program starting takes it up again; one
// without a shot is not kept.
void TSeriesRecorder::PutAwayCurrent() {
    if (!FCurrent)
        return;
    const std::int64_t Old = *FCurrent;
    FCurrent.reset();
    FStore->PutAway(Old);
}

// Carried shots the library did not have yet (it was busy) follow as new ones.
void TSeriesRecorder::StartSeries(const std::optional<std::string>& Name,
                                  std::optional<std::size_t> FirstCarried) {
    FNewName = Name;
    Guarded([&] {
        const std::size_t Stored =
            FirstCarried && FCommitted > *FirstCarried ? FCommitted - *FirstCarried : 0;
        if (FCurrent && Stored > 0) {
            const std::int64_t New = FStore->StartSeries(Name ? *Name : RecordedSeriesName());
            FStore->MoveShots(*FCurrent, *FirstCarried, New);
            PutAwayCurrent();
            FCurrent = New;
        } else {
            PutAwayCurrent();
        }
        FCommitted = Stored;
    });
    // Without a library nothing of the new series is committed.
    if (!Recording())
        FCommitted = 0;
    FlushBurst();
}

bool TSeriesRecorder::OpenSeries(std::int64_t Id) {
    const bool WasRecording = Recording();
    if (!Flush() || WasRecording != Recording())
        return false;
    if (FCurrent == Id)
        return true;
    if (FStore && !Recording()) {
        // A library that takes no shots can still be read.
        FSeries.Replace(StoredShots(Id));
        return true;
    }
    bool Opened = false;
    Guarded([&] {
        if (!FStore->Claim(Id))
            return;
        std::vector<TData> Shots = StoredShots(Id);
        PutAwayCurrent();
        FCurrent = Id;
        FCommitted = Shots.size();
        FSeries.Replace(std::move(Shots));
        Opened = true;
    });
    return Opened;
}
