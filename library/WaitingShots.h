#pragma once

// Shots that the series library cannot take yet (another program holds it), kept beside it so
// that a shot shown survives a crash however long the library is held. Each program writes its
// own journal, "<library>.waiting-<slot>", while it holds the slot's byte of
// "<library>.waiting.lock"; the kernel drops the byte when the program ends in any way, so a
// journal whose byte is free was left by a program that ended, and the next one puts its shots
// into the library. A journal only grows, one line an entry, each entry on the disk before the
// shots it holds are shown; a line cut short by a crash is no entry.

#include "library/SeriesStore.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class TAppendFile;
class TByteLockFile;
} // namespace platform

// What a journal holds: the series the shots belong to and the shots that wait for it.
struct TWaitingSeries {
    // The series' origin, and its number once it was in the library (0 before).
    std::string Origin;
    std::int64_t Id = 0;
    // The name the series gets when it is not in the library yet.
    std::string Name;
    // How many shots the library had of the series when the first of these waited: the shots
    // follow them.
    std::size_t First = 0;
    std::vector<TData> Shots;
    // The pellet weight last set for the series, when it was set while the library was held.
    std::optional<TSeriesWeight> Weight;
    // The bytes of the journal's whole lines: what follows was cut short.
    std::size_t Length = 0;
};

// The series of Store that Waiting's shots belong to: the one of its origin, or of its number
// where that series has no origin (a library edited by hand); none before it was made.
std::optional<std::int64_t> SeriesOfJournal(const TSeriesStore& Store,
                                            const TWaitingSeries& Waiting);

// Puts Waiting into Store: the series is found by its origin (or made, claimed, with its name),
// and the shots it lacks are appended, so that putting the same journal in twice adds nothing.
// Whether the series could be had: false, with nothing written, while another program records
// into it. Raises EStore as the store does, Busy() while another program holds the library.
bool PutWaitingShots(TSeriesStore& Store, const TWaitingSeries& Waiting);

class TWaitingShots {
public:
    // The journals beside the library at LibraryPath. Raises std::system_error when the lock file
    // cannot be opened.
    explicit TWaitingShots(const std::string& LibraryPath);
    ~TWaitingShots();
    TWaitingShots(const TWaitingShots&) = delete;
    TWaitingShots& operator=(const TWaitingShots&) = delete;

    // The journals of programs that ended, each held by this one from now on until Settled or
    // Adopted; their slots are not reused meanwhile.
    std::vector<std::int64_t> TakeLeftOver();
    // What the journal in Slot holds; entries after the first unreadable line are not read.
    TWaitingSeries Read(std::int64_t Slot) const;
    // The journal's shots are in the library: it goes, and its slot is let go.
    void Settle(std::int64_t Slot);
    // The left-over journal in Slot becomes this program's own, to be added to after its Length
    // bytes of whole lines.
    void Adopt(std::int64_t Slot, std::size_t Length);
    // A left-over journal that cannot be read is renamed "<journal>.unreadable" and let go.
    void SetAside(std::int64_t Slot);

    // Whether this program's own journal holds shots or a weight that the library lacks.
    bool Active() const { return FOwn != nullptr; }
    // Starts this program's journal with Waiting (series, shots and weight).
    void Begin(const TWaitingSeries& Waiting);
    void Append(const std::vector<TData>& Shots);
    // The waiting shots at the series' Positions (increasing) went.
    void Delete(const std::vector<std::size_t>& Positions);
    void SetWeight(const TSeriesWeight& Weight);
    // Everything is in the library: the journal goes, its slot stays this program's.
    void End();

private:
    std::string JournalPath(std::int64_t Slot) const;
    void Write(const std::string& Lines);

    std::string FLibraryPath;
    std::unique_ptr<platform::TByteLockFile> FLocks;
    std::int64_t FSlot = 0;
    std::unique_ptr<platform::TAppendFile> FOwn;
};
