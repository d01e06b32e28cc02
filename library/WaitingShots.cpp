#include "library/WaitingShots.h"

#include "platform/ByteLocks.h"
#include "platform/DurableFiles.h"
#include "platform/FileIO.h"
#include "platform/FileMoves.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>
#include <system_error>

namespace {

constexpr const char* JournalInfix = ".waiting-";
// No program runs this many at once; the bound keeps a hostile folder from making a start slow.
constexpr std::int64_t MostSlots = 4096;

std::string Number(double Value) {
    char Text[32];
    const auto End = std::to_chars(Text, Text + sizeof Text, Value).ptr;
    return std::string(Text, End);
}

// Names may hold any character; the journal's own separators are escaped.
std::string Escaped(const std::string& Text) {
    std::string Result;
    for (const char Character : Text) {
        switch (Character) {
        case '\\':
            Result += "\\\\";
            break;
        case '\t':
            Result += "\\t";
            break;
        case '\n':
            Result += "\\n";
            break;
        default:
            Result += Character;
        }
    }
    return Result;
}

std::string Unescaped(std::string_view Text) {
    std::string Result;
    for (std::size_t Index = 0; Index < Text.size(); ++Index) {
        if (Text[Index] != '\\' || Index + 1 == Text.size()) {
            Result += Text[Index];
            continue;
        }
        const char Next = Text[++Index];
        Result += Next == 't' ? '\t' : Next == 'n' ? '\n' : Next;
    }
    return Result;
}

std::string ShotLine(const TData& Shot) {
    return "shot\t" + Number(Shot.Speed()) + "\t" + Shot.SpeedUnit() + "\t" +
           (Shot.Received() ? ReceivedStamp(*Shot.Received()) : std::string()) + "\n";
}

std::string WeightLine(const TSeriesWeight& Weight) {
    return "weight\t" + Number(Weight.Grams) + "\t" + Escaped(Weight.Unit) + "\n";
}

std::vector<std::string_view> Fields(std::string_view Line) {
    std::vector<std::string_view> Fields;
    for (std::size_t Start = 0;;) {
        const std::size_t Tab = Line.find('\t', Start);
        Fields.push_back(Line.substr(Start, Tab - Start));
        if (Tab == std::string_view::npos)
            return Fields;
        Start = Tab + 1;
    }
}

template <typename T>
bool Parse(std::string_view Text, T& Value) {
    const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    return Error == std::errc() && End == Text.data() + Text.size();
}

// Applies one entry; false for a line that is none, which ends the journal.
bool ApplyLine(const std::vector<std::string_view>& Field, TWaitingSeries& Waiting) {
    if (Field[0] == "series" && Field.size() == 5 && Waiting.Origin.empty())
        return !Field[1].empty() && Parse(Field[2], Waiting.Id) && Parse(Field[3], Waiting.First) &&
               (Waiting.Origin = Field[1], Waiting.Name = Unescaped(Field[4]), true);
    if (Waiting.Origin.empty())
        return false;
    double Value = 0;
    if (Field[0] == "shot" && Field.size() == 4 && Parse(Field[1], Value) &&
        StorableShot(std::string(Field[2]), Value)) {
        Waiting.Shots.emplace_back(std::string(Field[2]), Value,
                                   Field[3].empty() ? std::nullopt : ParseReceivedStamp(Field[3]));
        return true;
    }
    std::size_t Position = 0;
    if (Field[0] == "delete" && Field.size() == 2 && Parse(Field[1], Position) &&
        Position >= Waiting.First && Position - Waiting.First < Waiting.Shots.size()) {
        Waiting.Shots.erase(Waiting.Shots.begin() +
                            static_cast<std::ptrdiff_t>(Position - Waiting.First));
        return true;
    }
    if (Field[0] == "weight" && Field.size() == 3 && Parse(Field[1], Value)) {
        Waiting.Weight = TSeriesWeight{Value, Unescaped(Field[2])};
        return true;
    }
    return false;
}

} // namespace

std::optional<std::int64_t> SeriesOfJournal(const TSeriesStore& Store,
                                            const TWaitingSeries& Waiting) {
    if (const std::optional<std::int64_t> Id = Store.FindOrigin(Waiting.Origin))
        return Id;
    const std::optional<TSeriesEntry> Numbered =
        Waiting.Id != 0 ? Store.ListedSeries(Waiting.Id) : std::nullopt;
    return Numbered && Numbered->Origin.empty() ? std::optional(Numbered->Id) : std::nullopt;
}

bool PutWaitingShots(TSeriesStore& Store, const TWaitingSeries& Waiting) {
    std::optional<std::int64_t> Id = SeriesOfJournal(Store, Waiting);
    // A series this program records into is its own business, and another's waits for it.
    if (Id && (Store.Holds(*Id) || !Store.Claim(*Id)))
        return false;
    if (!Id)
        Id = Store.StartSeries({Waiting.Name, Waiting.Origin, "", std::nullopt});
    const std::optional<TSeriesEntry> Entry = Store.ListedSeries(*Id);
    if (!Entry) {
        Store.Release(*Id);
        return false;
    }
    const std::size_t Count = Entry->ShotCount;
    // Shots the library took before the program ended are not added twice; should the series
    // have lost shots meanwhile, the waiting ones still all go in.
    const std::size_t Known = Count >= Waiting.First ? Count - Waiting.First : 0;
    const std::vector<TData> Missing(
        Waiting.Shots.begin() + static_cast<std::ptrdiff_t>(std::min(Known, Waiting.Shots.size())),
        Waiting.Shots.end());
    try {
        Store.AppendShots(*Id, Missing, Count, Waiting.Weight);
    } catch (const EStore&) {
        Store.Release(*Id);
        throw;
    }
    Store.Release(*Id);
    return true;
}

TWaitingShots::TWaitingShots(const std::string& LibraryPath)
    : FLibraryPath(LibraryPath),
      FLocks(std::make_unique<platform::TByteLockFile>(LibraryPath + ".waiting.lock")) {}

TWaitingShots::~TWaitingShots() = default;

std::string TWaitingShots::JournalPath(std::int64_t Slot) const {
    return FLibraryPath + JournalInfix + std::to_string(Slot);
}

std::vector<std::int64_t> TWaitingShots::TakeLeftOver() {
    const std::size_t Slash = FLibraryPath.rfind('/');
    const std::string Folder = Slash == std::string::npos ? "." : FLibraryPath.substr(0, Slash);
    const std::string Prefix = FLibraryPath.substr(Slash + 1) + JournalInfix;
    std::vector<std::int64_t> Slots;
    for (const std::string& Name : platform::FilesStartingWith(Folder, Prefix)) {
        std::int64_t Slot = 0;
        if (!Parse(std::string_view(Name).substr(Prefix.size()), Slot) || Slot < 1 ||
            Slot > MostSlots || Slot == FSlot || !FLocks->TryLock(Slot))
            continue;
        // Its program may have settled it just before the byte was let go.
        if (platform::PathExists(JournalPath(Slot)))
            Slots.push_back(Slot);
        else
            FLocks->Unlock(Slot);
    }
    std::sort(Slots.begin(), Slots.end());
    return Slots;
}

TWaitingSeries TWaitingShots::Read(std::int64_t Slot) const {
    TWaitingSeries Waiting;
    const std::string Bytes = platform::ReadRegularFileBytes(
        JournalPath(Slot), std::numeric_limits<std::uint32_t>::max());
    for (std::size_t Start = 0;;) {
        const std::size_t End = Bytes.find('\n', Start);
        if (End == std::string::npos ||
            !ApplyLine(Fields(std::string_view(Bytes).substr(Start, End - Start)), Waiting))
            return Waiting;
        Start = End + 1;
        Waiting.Length = Start;
    }
}

void TWaitingShots::Settle(std::int64_t Slot) {
    platform::RemoveDurably(JournalPath(Slot));
    if (Slot != FSlot)
        FLocks->Unlock(Slot);
}

void TWaitingShots::Adopt(std::int64_t Slot, std::size_t Length) {
    if (FSlot != 0 && FSlot != Slot)
        FLocks->Unlock(FSlot);
    FSlot = Slot;
    FOwn = std::make_unique<platform::TAppendFile>(JournalPath(Slot));
    // A line cut short would swallow the first line added after it.
    FOwn->Truncate(Length);
}

void TWaitingShots::SetAside(std::int64_t Slot) {
    const std::string Journal = JournalPath(Slot);
    std::string Aside = Journal + ".unreadable";
    for (int Number = 2; platform::PathExists(Aside); ++Number)
        Aside = Journal + ".unreadable-" + std::to_string(Number);
    platform::MoveIfPresent(Journal, Aside);
    FLocks->Unlock(Slot);
}

void TWaitingShots::Begin(const TWaitingSeries& Waiting) {
    // The lowest slot that no running program holds and no journal left over fills.
    for (std::int64_t Slot = 1; FSlot == 0 && Slot <= MostSlots; ++Slot) {
        if (!FLocks->TryLock(Slot))
            continue;
        if (platform::PathExists(JournalPath(Slot)))
            FLocks->Unlock(Slot);
        else
            FSlot = Slot;
    }
    if (FSlot == 0)
        throw std::runtime_error("No journal beside " + FLibraryPath + " is free");
    FOwn = std::make_unique<platform::TAppendFile>(JournalPath(FSlot));
    std::string Lines = "series\t" + Waiting.Origin + "\t" + std::to_string(Waiting.Id) + "\t" +
                        std::to_string(Waiting.First) + "\t" + Escaped(Waiting.Name) + "\n";
    for (const TData& Shot : Waiting.Shots)
        Lines += ShotLine(Shot);
    if (Waiting.Weight)
        Lines += WeightLine(*Waiting.Weight);
    Write(Lines);
}

void TWaitingShots::Append(const std::vector<TData>& Shots) {
    std::string Lines;
    for (const TData& Shot : Shots)
        Lines += ShotLine(Shot);
    Write(Lines);
}

void TWaitingShots::Delete(const std::vector<std::size_t>& Positions) {
    std::string Lines;
    // From the last, so that each position still names the shot it named.
    for (auto Position = Positions.rbegin(); Position != Positions.rend(); ++Position)
        Lines += "delete\t" + std::to_string(*Position) + "\n";
    if (!Lines.empty())
        Write(Lines);
}

void TWaitingShots::SetWeight(const TSeriesWeight& Weight) {
    Write(WeightLine(Weight));
}

void TWaitingShots::End() {
    FOwn.reset();
    platform::RemoveDurably(JournalPath(FSlot));
}

void TWaitingShots::Write(const std::string& Lines) {
    if (!FOwn)
        throw std::logic_error("The journal of waiting shots was not begun");
    FOwn->Append(Lines);
}
