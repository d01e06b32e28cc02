#include "chart/RangeExtremes.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Every range of a list long enough for several levels of blocks, against a plain search.
TEST(TRangeExtremesTest, EveryRangeAgreesWithAPlainSearch) {
    std::vector<double> Values;
    TRangeExtremes Ranges;
    for (int i = 0; i < 300; ++i) {
        Values.push_back(i % 53 == 7 ? std::nan("") : std::sin(i * 1.7) * (i % 11));
        Ranges.Add(Values.back());
    }
    const auto At = [&](int i) { return Values[i]; };
    for (int From = 0; From <= 300; ++From) {
        for (int To = From; To <= 300; ++To) {
            TExtremes Expected;
            for (int i = From; i < To; ++i)
                Expected.Add(Values[i]);
            const TExtremes Found = Ranges.Of(From, To, At);
            ASSERT_EQ(Found.Min, Expected.Min) << From << ".." << To;
            ASSERT_EQ(Found.Max, Expected.Max) << From << ".." << To;
        }
    }
}

} // namespace
