#include "chart/SlotAxis.h"

#include "chart/IndexSearch.h"

#include <algorithm>
#include <cmath>

namespace {

// Anything that is not a number goes last, so that the order stays well defined.
bool Before(double A, double B) {
    return A < B || (std::isnan(B) && !std::isnan(A));
}

const TNiceSeries* LoneSeries(const TSeriesList& Series) {
    const TNiceSeries* Lone = nullptr;
    for (const auto& One : Series) {
        if (One->Values().empty())
            continue;
        if (Lone)
            return nullptr;
        Lone = One.get();
    }
    return Lone;
}

} // namespace

void TSlotAxis::Collect(const TSeriesList& Series) {
    Clear();
    const TNiceSeries* Lone = LoneSeries(Series);
    if (Lone && Lone->XAscending()) {
        FSeries = Lone;
        return;
    }
    for (const auto& One : Series) {
        for (const TXYInfo& Value : One->Values())
            FXs.push_back(Value.X);
    }
    std::sort(FXs.begin(), FXs.end(), Before);
    FXs.erase(std::unique(FXs.begin(), FXs.end()), FXs.end());
}

void TSlotAxis::Clear() {
    FSeries = nullptr;
    FXs.clear();
}

void TSlotAxis::Spread(int Left, int Width, bool Bars) {
    const int Slots = Count();
    FSlotWidth = 0;
    FBarSlotWidth = 0;
    int Offset = 0;
    if (Bars && Slots > 0) {
        FSlotWidth = double(Width) / Slots;
        Offset = Nearest(FSlotWidth / 2);
        FBarSlotWidth = Nearest(FSlotWidth);
    } else if (Slots > 1) {
        FSlotWidth = double(Width) / (Slots - 1);
    } else {
        // A lone X has no neighbour to space it against.
        Offset = Nearest(Width / 2.0);
    }
    FOrigin = Left + Offset;
}

int TSlotAxis::Count() const {
    return static_cast<int>(FSeries ? FSeries->Values().size() : FXs.size());
}

double TSlotAxis::X(int Slot) const {
    return FSeries ? FSeries->Values()[Slot].X : FXs[Slot];
}

int TSlotAxis::SlotOf(double Wanted) const {
    const int Slot = FirstIndex(0, Count(), [&](int i) { return !Before(X(i), Wanted); });
    return Slot < Count() && X(Slot) == Wanted ? Slot : -1;
}

int TSlotAxis::SlotOf(const TNiceSeries& Series, int Index) const {
    return &Series == FSeries ? Index : SlotOf(Series.Values()[Index].X);
}

int TSlotAxis::NextColumn(int Slot) const {
    const int Column = Pixel(Slot);
    return NearFirstIndex(Slot + 1, Count(), [&](int i) { return Pixel(i) > Column; });
}
