#pragma once

// The smallest and largest of a run of numbers, and of any index range of a growing list of them
// without visiting every number of a long range: the chart draws a pixel column of a long series
// from the extremes of the values that fall into it.

#include "chart/AxisScaling.h"

#include <algorithm>
#include <vector>

// What is not a number is left out; with nothing in, Min is NoValue and Max is -NoValue.
struct TExtremes {
    double Min = NoValue;
    double Max = -NoValue;

    void Add(double Value) {
        if (Value < Min)
            Min = Value;
        if (Value > Max)
            Max = Value;
    }
    void Add(const TExtremes& Other) {
        Min = std::min(Min, Other.Min);
        Max = std::max(Max, Other.Max);
    }
    bool Empty() const { return Min > Max; }
};

// Summarises the numbers in blocks of BlockSize, and pairs of blocks in blocks twice as large,
// so that a range query reads at most two partial blocks and two blocks of each size.
class TRangeExtremes {
public:
    static constexpr int BlockSize = 16;

    void Add(double Value);
    void Clear();
    // The extremes of the numbers From..To - 1; ValueAt(i) gives the i-th number, which is read
    // only at the ends of the range that fill no whole block.
    template <typename TValueAt>
    TExtremes Of(int From, int To, TValueAt ValueAt) const;

private:
    TExtremes OfBlocks(int From, int To) const;

    int FCount = 0;
    // The block being filled, not yet in FLevels.
    TExtremes FOpen;
    // FLevels[k][i] covers the numbers of block i of BlockSize * 2^k; only whole blocks are kept.
    std::vector<std::vector<TExtremes>> FLevels;
};

template <typename TValueAt>
TExtremes TRangeExtremes::Of(int From, int To, TValueAt ValueAt) const {
    TExtremes Result;
    const int FirstBlock = (From + BlockSize - 1) / BlockSize;
    const int EndBlock = To / BlockSize;
    if (FirstBlock >= EndBlock) {
        for (int i = From; i < To; ++i)
            Result.Add(ValueAt(i));
        return Result;
    }
    for (int i = From; i < FirstBlock * BlockSize; ++i)
        Result.Add(ValueAt(i));
    for (int i = EndBlock * BlockSize; i < To; ++i)
        Result.Add(ValueAt(i));
    Result.Add(OfBlocks(FirstBlock, EndBlock));
    return Result;
}
