#include "library/SeriesRecorder.h"

#include "library/Sqlite.h"
#include "library/WaitingShots.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <iterator>
#include <utility>

namespace {

// The same weight, whatever rounding the display units' factors brought.
bool SameWeight(const std::optional<TSeriesWeight>& Kept, const TSeriesWeight& Weight) {
    return Kept && std::abs(Kept->Grams - Weight.Grams) <=
                       1e-9 * std::max(std::abs(Kept->Grams), std::abs(Weight.Grams));
}

} // namespace

TSeriesRecorder::TSeriesRecorder(TSeries& Series, std::unique_ptr<TSeriesStore> Store)
    : FSeries(Series), FStore(std::move(Store)) {
    if (!Recording())
        return;
    FStore->SetBusyTimeout(Blink);
    try {
        FWaiting = std::make_unique<TWaitingShots>(FStore->Path());
    } catch (const std::exception& Error) {
        // Shots that could not wait beside the library would be lost while it is held.
        FStopped = true;
        FStartFailure = Error.what();
    }
}

TSeriesRecorder::~TSeriesRecorder() = default;

bool TSeriesRecorder::Recording() const {
    return FStore && !FStopped && !FStore->ReadOnly();
}

std::size_t TSeriesRecorder::Waiting() const {
    return FWaiting && FWaiting->Active() ? FSeries.Count() - FCommitted : 0;
}

bool TSeriesRecorder::Guarded(const std::function<void()>& Call) {
    if (!Recording())
        return false;
    try {
        Call();
        return false;
    } catch (const ESeriesTooLong&) {
        throw;
    } catch (const EStore& Error) {
        if (Error.Busy()) {
            FBusy = true;
            return true;
        }
        Stop(Error.what());
    } catch (const std::exception& Error) {
        Stop(Error.what());
    }
    return false;
}

void TSeriesRecorder::Stop(const std::string& Reason) {
    FStopped = true;
    if (Failed)
        Failed(Reason);
}

TSeriesStart TSeriesRecorder::NewSeriesStart() const {
    TSeriesStart Start = FNew;
    Start.Origin = FOrigin;
    if (Start.Name.empty())
        Start.Name = RecordedSeriesName();
    return Start;
}

TSeriesWeight TSeriesRecorder::CurrentWeight() const {
    return {FSeries.PeletWeight() / FSeries.Units().WeightFactor, FSeries.Units().WeightUnit};
}

void TSeriesRecorder::Take(std::int64_t Id, TStoredShots Stored) {
    const std::optional<TSeriesEntry> Entry = FStore->ListedSeries(Id);
    if (!Entry)
        return;
    if (Recording()) {
        FCurrent = Id;
        FOrigin = Entry->Origin.empty() ? NewSeriesOrigin() : Entry->Origin;
        FCommitted = FKept = Stored.Shots.size();
    }
    FSeries.Replace(std::move(Stored.Shots));
    // A series recorded before series kept their weight gets one with its next shot, or when
    // the user sets one: not merely by being opened.
    FStoredWeight = CurrentWeight();
    if (const std::optional<double> Grams = Entry->Notes.PeletWeight) {
        FSeries.SetPeletWeight(*Grams * FSeries.Units().WeightFactor);
        FStoredWeight = TSeriesWeight{*Grams, Entry->Notes.PeletWeightUnit};
    }
    if (SeriesTaken)
        SeriesTaken(*Entry, Stored.Skipped);
}

// Left-over journals go in first, so that the series taken up next has their shots.
void TSeriesRecorder::PutLeftOverShots() {
    std::erase_if(FLeftOver, [this](std::int64_t Slot) {
        bool Put = false;
        Guarded([&] {
            try {
                const TWaitingSeries Waiting = FWaiting->Read(Slot);
                Put = Waiting.Origin.empty() || PutWaitingShots(*FStore, Waiting);
            } catch (const EStore&) {
                throw;
            } catch (const std::exception&) {
                // Not a journal this program wrote (not a file, unreadable): it is kept aside for
                // a look rather than stopping every start.
                FWaiting->SetAside(Slot);
                Put = true;
                return;
            }
            if (Put)
                FWaiting->Settle(Slot);
        });
        return Put;
    });
}

bool TSeriesRecorder::BeginResume() {
    if (!FStartFailure.empty() && Failed)
        Failed(std::exchange(FStartFailure, {}));
    FNew = {};
    FOrigin = NewSeriesOrigin();
    bool Resumed = false;
    Guarded([&] {
        FLeftOver = FWaiting->TakeLeftOver();
        PutLeftOverShots();
        // Shots another program left waiting while the library is still held are shown again:
        // the series of the journal in the last slot is taken up with them.
        for (auto Slot = FLeftOver.rbegin(); Slot != FLeftOver.rend(); ++Slot)
            if (AdoptLeftOver(*Slot)) {
                FLeftOver.erase(std::next(Slot).base());
                Resumed = true;
                return;
            }
        if (const std::optional<std::int64_t> Last = FStore->ClaimLastSeries()) {
            FTakeUp = TStoredShots{};
            FTakeUpId = *Last;
            Resumed = true;
        }
    });
    return Resumed;
}

bool TSeriesRecorder::ResumeLastSeries() {
    const bool Resumed = BeginResume();
    FinishTakeUp();
    return Resumed && FSeries.Count() > 0;
}

// A change of the series waits for the series to be whole.
void TSeriesRecorder::FinishTakeUp() {
    while (TakeUpPart()) {
    }
}

bool TSeriesRecorder::TakeUpPart() {
    if (!FTakeUp)
        return false;
    bool More = false;
    try {
        Guarded([&] {
            TStoredShots Part =
                FStore->LoadPart(FTakeUpId, TSeries::MaxShots, FTakeUp->LastKey, TakeUpPartSize);
            FTakeUp->Shots.insert(FTakeUp->Shots.end(), std::make_move_iterator(Part.Shots.begin()),
                                  std::make_move_iterator(Part.Shots.end()));
            FTakeUp->Skipped += Part.Skipped;
            FTakeUp->LastKey = Part.LastKey;
            More = Part.More;
        });
    } catch (const ESeriesTooLong& Error) {
        // A series made by hand longer than the window holds is left in the library, and a new
        // series begins.
        FTakeUp.reset();
        FStore->Release(FTakeUpId);
        if (SeriesTooLong)
            SeriesTooLong(Error.Count());
        return false;
    }
    if (More && Recording())
        return true;
    TStoredShots Stored = std::move(*FTakeUp);
    FTakeUp.reset();
    if (Recording())
        Take(FTakeUpId, std::move(Stored));
    return false;
}

// The journal in Slot, which the library cannot take yet, becomes this program's: its series
// with the shots the library has and those that wait. False when its series is another
// program's.
bool TSeriesRecorder::AdoptLeftOver(std::int64_t Slot) {
    TWaitingSeries Journal = FWaiting->Read(Slot);
    const std::optional<std::int64_t> Id = SeriesOfJournal(*FStore, Journal);
    if (Id) {
        if (!FStore->Claim(*Id))
            return false;
        std::optional<TStoredShots> Stored;
        try {
            Stored = FStore->LoadShots(*Id, TSeries::MaxShots);
        } catch (const ESeriesTooLong&) {
            // Left for the library to take when it frees; the series is not the window's.
        }
        if (!Stored || Stored->Shots.size() < Journal.First) {
            FStore->Release(*Id);
            return false;
        }
        Take(*Id, std::move(*Stored));
    }
    const std::size_t Known = FCommitted - std::min(FCommitted, Journal.First);
    const auto Missing =
        Journal.Shots.begin() + static_cast<std::ptrdiff_t>(std::min(Known, Journal.Shots.size()));
    FSeries.AppendAll(std::vector<TData>(Missing, Journal.Shots.end()));
    FOrigin = Journal.Origin;
    FNew.Name = Journal.Name;
    if (Journal.Weight)
        FSeries.SetPeletWeight(Journal.Weight->Grams * FSeries.Units().WeightFactor);
    FKept = FSeries.Count();
    FBusy = true;
    FWaiting->Adopt(Slot, Journal.Length);
    TellWaiting();
    return true;
}

// A shot in a unit the program does not know is shown in the display unit; the library keeps it
// as shown.
TData TSeriesRecorder::Storable(const TData& Shot) const {
    if (Shot.SpeedUnit() == "M/S" || Shot.SpeedUnit() == "FPS")
        return Shot;
    const std::string Unit = FSeries.Units().SpeedUnit;
    return TData(Unit, Shot.SpeedIn(Unit), Shot.Received());
}

std::vector<TData> TSeriesRecorder::StorableShots(std::size_t First, std::size_t Last) const {
    std::vector<TData> Shots;
    Shots.reserve(Last - First);
    for (std::size_t Index = First; Index < Last; ++Index)
        Shots.push_back(Storable(FSeries.Shots()[Index]));
    return Shots;
}

bool TSeriesRecorder::LibraryFree() {
    FinishTakeUp();
    if (!Flush())
        return false;
    bool Free = true;
    Guarded([&] { Free = FStore->Writable(); });
    return Free || !Recording();
}

bool TSeriesRecorder::Flush() {
    while (Recording() && FCommitted < FSeries.Count()) {
        const std::size_t Before = FCommitted;
        Commit(LongestBurst);
        if (FCommitted == Before)
            break;
    }
    Commit(0);
    return !Recording() || FCommitted == FSeries.Count();
}

bool TSeriesRecorder::FlushForDisplay() {
    const bool Received = std::exchange(FReceivedSinceShown, false);
    bool More = false;
    // While another program holds the library, the window does not wait for it at every shot:
    // the retry finds when it frees.
    if (!FBusy) {
        if (Received) {
            Flush();
        } else {
            More = FlushBurst();
            Commit(0);
        }
    }
    if (FBusy)
        KeepWaiting();
    return More;
}

void TSeriesRecorder::KeepAll() {
    FinishTakeUp();
    if (!FBusy)
        Flush();
    if (FBusy)
        KeepWaiting();
}

bool TSeriesRecorder::WaitingForLibrary() const {
    return Recording() && (FBusy || FWaiting->Active() || !FLeftOver.empty());
}

bool TSeriesRecorder::WeightDue() const {
    return FCurrent && !SameWeight(FStoredWeight, CurrentWeight());
}

bool TSeriesRecorder::FlushBurst() {
    const std::size_t Before = FCommitted;
    Commit(LongestBurst);
    return Recording() && FCommitted > Before && FSeries.Count() > FCommitted;
}

void TSeriesRecorder::Commit(std::size_t Most) {
    if (FTakeUp)
        return;
    const TSeriesWeight Weight = CurrentWeight();
    if (!(FSeries.Count() > FCommitted && Most > 0) && !WeightDue())
        return;
    const bool Busy = Guarded([&] {
        if (!FCurrent)
            FCurrent = FStore->StartSeries(NewSeriesStart());
        const std::size_t Last = FCommitted + std::min(Most, FSeries.Count() - FCommitted);
        FStore->AppendShots(*FCurrent, StorableShots(FCommitted, Last), FCommitted, Weight);
        FStoredWeight = Weight;
        FCommitted = Last;
        FKept = std::max(FKept, FCommitted);
        FBusy = false;
    });
    if (!Busy && Recording() && FWaiting->Active() && FCommitted == FSeries.Count())
        EndWaiting();
}

TWaitingSeries TSeriesRecorder::WaitingSeries() const {
    TWaitingSeries Waiting;
    Waiting.Origin = FOrigin;
    Waiting.Id = FCurrent.value_or(0);
    Waiting.Name = NewSeriesStart().Name;
    Waiting.First = FCommitted;
    Waiting.Shots = StorableShots(FCommitted, FSeries.Count());
    Waiting.Weight = CurrentWeight();
    return Waiting;
}

// Every shot shown is in the library or in the journal beside it, and so is the weight.
void TSeriesRecorder::KeepWaiting() {
    if (!Recording() || FTakeUp ||
        (FCommitted == FSeries.Count() && !FWaiting->Active() && !WeightDue()))
        return;
    try {
        if (!FWaiting->Active()) {
            FWaiting->Begin(WaitingSeries());
            FJournalWeight = CurrentWeight();
        } else if (FKept < FSeries.Count()) {
            FWaiting->Append(StorableShots(FKept, FSeries.Count()));
        }
        FKept = FSeries.Count();
        if (!SameWeight(FJournalWeight, CurrentWeight())) {
            FWaiting->SetWeight(CurrentWeight());
            FJournalWeight = CurrentWeight();
        }
    } catch (const std::exception& Error) {
        Stop(Error.what());
        return;
    }
    TellWaiting();
}

void TSeriesRecorder::TellWaiting() {
    if (WaitingChanged && Waiting() != std::exchange(FToldWaiting, Waiting()))
        WaitingChanged(FToldWaiting);
}

void TSeriesRecorder::EndWaiting() {
    try {
        FWaiting->End();
    } catch (const std::exception& Error) {
        // The shots are in the library; a journal left behind adds nothing when put in again.
        if (Failed)
            Failed(Error.what());
    }
    FJournalWeight.reset();
    TellWaiting();
}

void TSeriesRecorder::ShotsReceived() {
    FReceivedSinceShown = true;
    if (!FBusy && FSeries.Count() - FCommitted >= LongestBurst)
        Commit(LongestBurst);
}

// Shots waiting beside the library that go are struck from the journal; shots in the library
// go from it, which needs it free and nothing waiting before them.
bool TSeriesRecorder::DeleteShots(const std::vector<std::size_t>& Indexes) {
    FinishTakeUp();
    const auto InLibrary = [this](std::size_t Index) { return Index < FCommitted; };
    if (Recording() && std::any_of(Indexes.begin(), Indexes.end(), InLibrary)) {
        // Waiting shots go in first, so that the library's shots and the window's stay in step.
        if (FWaiting->Active() && !Flush())
            return false;
        std::vector<std::size_t> Stored;
        std::copy_if(Indexes.begin(), Indexes.end(), std::back_inserter(Stored), InLibrary);
        const bool Busy = Guarded([&] {
            FStore->DeleteShots(*FCurrent, Stored);
            FCommitted -= Stored.size();
        });
        if (Busy)
            return false;
    } else if (Recording() && FWaiting->Active()) {
        std::vector<std::size_t> Journaled;
        std::copy_if(Indexes.begin(), Indexes.end(), std::back_inserter(Journaled),
                     [this](std::size_t Index) { return Index < FKept; });
        try {
            FWaiting->Delete(Journaled);
        } catch (const std::exception& Error) {
            Stop(Error.what());
        }
    }
    FKept -= static_cast<std::size_t>(std::count_if(
        Indexes.begin(), Indexes.end(), [this](std::size_t Index) { return Index < FKept; }));
    return true;
}

bool TSeriesRecorder::RetryWaiting() {
    if (!Recording())
        return false;
    PutLeftOverShots();
    if (FBusy || FWaiting->Active()) {
        FBusy = false;
        while (Recording() && !FBusy && FCommitted < FKept) {
            const std::size_t Before = FCommitted;
            Commit(std::min(LongestBurst, FKept - FCommitted));
            if (FCommitted == Before)
                break;
        }
        Commit(0);
        if (!FBusy && FWaiting->Active() && FCommitted == FSeries.Count())
            EndWaiting();
    }
    return Recording() && (FBusy || FWaiting->Active() || !FLeftOver.empty());
}

void TSeriesRecorder::Checkpoint() {
    Guarded([this] { FStore->Checkpoint(); });
}

// The series recorded so far is put away, so that no program starting takes it up again; one
// without a shot is not kept.
void TSeriesRecorder::PutAwayCurrent() {
    if (!FCurrent)
        return;
    FStore->PutAway(*FCurrent);
    FCurrent.reset();
}

// Carried shots the library did not have yet follow as new ones. The caller made sure the
// library was free (LibraryFree): a hold that begins in the moment since stops recording rather
// than leaving the old series half put away.
void TSeriesRecorder::StartSeries(const std::optional<std::string>& Name,
                                  std::optional<std::size_t> FirstCarried,
                                  const std::string& SourceFile) {
    FinishTakeUp();
    FNew = {Name.value_or(""), "", SourceFile,
            SourceFile.empty() ? std::nullopt : std::optional(FSeries.Count())};
    FOrigin = NewSeriesOrigin();
    FStoredWeight.reset();
    Guarded([&] {
        try {
            const std::size_t Stored =
                FirstCarried && FCommitted > *FirstCarried ? FCommitted - *FirstCarried : 0;
            if (FCurrent && Stored > 0) {
                const std::int64_t New = FStore->StartSeries(NewSeriesStart());
                FStore->MoveShots(*FCurrent, *FirstCarried, New);
                PutAwayCurrent();
                FCurrent = New;
            } else {
                PutAwayCurrent();
            }
            FCommitted = Stored;
        } catch (const EStore& Error) {
            if (Error.Busy())
                throw std::runtime_error(Error.what());
            throw;
        }
    });
    // Without a library nothing of the new series is committed.
    if (!Recording())
        FCommitted = 0;
    FKept = FCommitted;
    FlushBurst();
}

bool TSeriesRecorder::OpenSeries(std::int64_t Id) {
    const bool WasRecording = Recording();
    if (!LibraryFree() || WasRecording != Recording())
        return false;
    if (FCurrent == Id)
        return true;
    if (FStore && !Recording()) {
        // A library that takes no shots can still be read.
        Take(Id, FStore->LoadShots(Id, TSeries::MaxShots));
        return true;
    }
    bool Opened = false;
    Guarded([&] {
        if (!FStore->Claim(Id))
            return;
        TStoredShots Stored;
        try {
            Stored = FStore->LoadShots(Id, TSeries::MaxShots);
        } catch (const EStore&) {
            FStore->Release(Id);
            throw;
        }
        try {
            PutAwayCurrent();
        } catch (const EStore&) {
            FStore->Release(Id);
            throw;
        }
        Take(Id, std::move(Stored));
        Opened = true;
    });
    return Opened;
}
