#pragma once

// The X axis of one-value-per-X mode: every distinct X of all series, in ascending order, gets a
// slot of its own, equally spaced whatever the distance of the values.

#include "chart/NiceSeries.h"

#include <vector>

class TSlotAxis {
public:
    // Takes the distinct Xs of all series. A lone series whose Xs ascend stands for itself, so
    // that a long series of shots is neither copied nor sorted on every layout.
    void Collect(const TSeriesList& Series);
    void Clear();
    // Spreads the slots over Width pixels from Left. Without bars the first and the last slot
    // sit on the edges; with bars every slot is an equal part with its pixel in the middle, and
    // a lone slot sits in the middle either way.
    void Spread(int Left, int Width, bool Bars);

    int Count() const;
    double X(int Slot) const;
    // The slot of X, -1 when no value has it.
    int SlotOf(double X) const;
    // The slot of a value of a series that took part in Collect.
    int SlotOf(const TNiceSeries& Series, int Index) const;
    int Pixel(int Slot) const { return Nearest(Slot * FSlotWidth) + FOrigin; }
    // The distance of neighbouring slots in pixels; 0 for a lone slot.
    double SlotWidth() const { return FSlotWidth; }
    // The first slot whose pixel lies right of Slot's; Count() when there is none.
    int NextColumn(int Slot) const;
    // The width of a slot, rounded, when there are bars; else 0.
    int BarSlotWidth() const { return FBarSlotWidth; }

private:
    // The lone ascending series, or null when the sorted distinct Xs are in FXs.
    const TNiceSeries* FSeries = nullptr;
    std::vector<double> FXs;
    double FSlotWidth = 0;
    int FOrigin = 0;
    int FBarSlotWidth = 0;
};
