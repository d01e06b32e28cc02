#include "analysis/ShotsPerFill.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>

namespace {

// Speeds carry rounding from their decimal form: 161.3 - 160.1 is 1.200000000000017.
constexpr double RelativeBandTolerance = 1e-9;

void CheckRunArguments(std::span<const double> Speeds, double Band) {
    if (!(Band >= 0))
        throw EStatisticsError("The band of a usable run must be zero or positive");
    RequireFiniteSpeeds(Speeds);
}

// The shots from First to the newest one. For each extreme a deque holds the indices of the
// shots that will be the window's extreme in turn as older shots leave it; a shot that is
// no more extreme than a newer one never will be and is dropped, so that every shot enters and
// leaves each deque once and the search stays linear.
class TWindow {
public:
    explicit TWindow(std::span<const double> Speeds) : Speeds(Speeds) {}

    void Add(std::size_t Index) {
        Push(Lowest, Index, std::less<>());
        Push(Highest, Index, std::greater<>());
    }

    void DropFirst() {
        ++First;
        for (std::deque<std::size_t>* Queue : {&Lowest, &Highest})
            if (Queue->front() < First)
                Queue->pop_front();
    }

    double Spread() const { return Speeds[Highest.front()] - Speeds[Lowest.front()]; }

    std::size_t First = 0;

private:
    template <typename TMoreExtreme>
    void Push(std::deque<std::size_t>& Queue, std::size_t Index, TMoreExtreme MoreExtreme) {
        while (!Queue.empty() && !MoreExtreme(Speeds[Queue.back()], Speeds[Index]))
            Queue.pop_back();
        Queue.push_back(Index);
    }

    std::span<const double> Speeds;
    std::deque<std::size_t> Lowest;
    std::deque<std::size_t> Highest;
};

} // namespace

std::optional<TUsableRun> LongestRunWithin(std::span<const double> Speeds, double Band) {
    CheckRunArguments(Speeds, Band);
    const double Limit = Band * (1 + RelativeBandTolerance);
    std::optional<TUsableRun> Longest;
    TWindow Window(Speeds);
    for (std::size_t Last = 0; Last < Speeds.size(); ++Last) {
        Window.Add(Last);
        // Ends at Last at the latest, where the spread is zero.
        while (Window.Spread() > Limit)
            Window.DropFirst();
        const TUsableRun Run{Window.First, Last, Window.Spread()};
        // Strictly longer only: of equally long runs the earliest stays.
        if (!Longest || Run.Count() > Longest->Count())
            Longest = Run;
    }
    return Longest;
}

TPressureWindow PressureWindow(double FillPressure, double EndPressure, std::size_t Shots,
                               const TUsableRun& Run) {
    if (!std::isfinite(FillPressure) || !std::isfinite(EndPressure))
        throw EStatisticsError("A pressure is not a finite number");
    if (Run.First > Run.Last || Run.Last >= Shots)
        throw EStatisticsError("The usable run does not lie within the series");
    const double Count = static_cast<double>(Shots);
    // std::lerp is exact at both ends, where Fill - (Fill - End) would round.
    return {std::lerp(FillPressure, EndPressure, static_cast<double>(Run.First) / Count),
            std::lerp(FillPressure, EndPressure, static_cast<double>(Run.Last + 1) / Count)};
}
