#include "library/SpeedFigures.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

// The figures as the library keeps them through additions and deletions: equal speeds scatter
// by exactly nothing, near-equal large ones keep their digits, and taking shots away gives what
// adding only the rest would.
TEST(SpeedFiguresTest, MeanAndDeviationThroughAddingAndRemoving) {
    const struct {
        const char* Case;
        std::vector<double> Added, Removed;
        std::optional<double> Mean, Deviation;
    } Cases[] = {
        {"none", {}, {}, std::nullopt, std::nullopt},
        {"one", {175}, {}, 175, std::nullopt},
        {"all removed", {175, 176}, {175, 176}, std::nullopt, std::nullopt},
        {"textbook", {2, 4, 4, 4, 5, 5, 7, 9}, {}, 5, 2.138089935299395},
        {"equal readings", {250.1, 250.1, 250.1, 250.1, 250.1, 250.1, 250.1}, {}, 250.1, 0},
        {"equal after removing", {249.7, 300, 249.7, 249.7}, {300}, 249.7, 0},
        {"near-equal large",
         {1e9 + 4, 1e9 + 7, 1e9 + 13, 1e9 + 16},
         {},
         1e9 + 10,
         5.477225575051661},
        {"the first removed", {180, 2, 4, 4, 4, 5, 5, 7, 9}, {180}, 5, 2.138089935299395},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Case);
        TSpeedFigures Figures;
        for (const double Speed : C.Added)
            Figures.Add(Speed);
        for (const double Speed : C.Removed)
            Figures.Remove(Speed);
        EXPECT_EQ(Figures.Count, static_cast<std::int64_t>(C.Added.size() - C.Removed.size()));
        ASSERT_EQ(Figures.Mean().has_value(), C.Mean.has_value());
        ASSERT_EQ(Figures.Deviation().has_value(), C.Deviation.has_value());
        if (C.Mean) {
            EXPECT_NEAR(*Figures.Mean(), *C.Mean, 1e-9);
        }
        if (C.Deviation) {
            // Equal readings have no scatter at all, not a rounding error's worth.
            if (*C.Deviation == 0)
                EXPECT_EQ(*Figures.Deviation(), 0);
            else
                EXPECT_NEAR(*Figures.Deviation(), *C.Deviation, 1e-9);
        }
    }
}

} // namespace
