#include "chart/RangeExtremes.h"

void TRangeExtremes::Add(double Value) {
    FOpen.Add(Value);
    if (++FCount % BlockSize != 0)
        return;
    // A whole block goes in at the bottom; every second block of a level completes one above.
    TExtremes Block = FOpen;
    FOpen = {};
    for (std::size_t Level = 0;; ++Level) {
        if (Level == FLevels.size())
            FLevels.emplace_back();
        FLevels[Level].push_back(Block);
        if (FLevels[Level].size() % 2 != 0)
            return;
        Block.Add(FLevels[Level][FLevels[Level].size() - 2]);
    }
}

void TRangeExtremes::Clear() {
    *this = {};
}

// Blocks From..To - 1 of the bottom level: from the ends inwards, a block that its neighbour
// does not complete to a pair is taken as it is, and the pairs are read one level up.
TExtremes TRangeExtremes::OfBlocks(int From, int To) const {
    TExtremes Result;
    for (std::size_t Level = 0; From < To; ++Level) {
        if (From % 2 != 0)
            Result.Add(FLevels[Level][From++]);
        if (To % 2 != 0)
            Result.Add(FLevels[Level][--To]);
        From /= 2;
        To /= 2;
    }
    return Result;
}
