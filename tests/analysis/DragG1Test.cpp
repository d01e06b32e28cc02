#include "analysis/DragG1.h"

#include <gtest/gtest.h>

// The table's own points, the middles between neighbours, and beyond its ends.
TEST(G1Drag, ReadsTheTableAndInterpolatesBetweenItsPoints) {
    const std::pair<double, double> Rows[] = {
        {0, 0.2629},     {0.5, 0.2032},    {0.55, 0.2020},    {0.725, 0.2230},  {1, 0.4805},
        {1.4, 0.6625},   {2.5, 0.5397},    {5, 0.4988},       {0.025, 0.25935}, {0.525, 0.2026},
        {0.65, 0.20995}, {0.8125, 0.2626}, {0.9875, 0.46265}, {4.1, 0.5002},    {7, 0.4988}};
    for (const auto& [Mach, Cd] : Rows)
        EXPECT_NEAR(G1DragCoefficient(Mach), Cd, 1e-12) << Mach;
    EXPECT_THROW(G1DragCoefficient(-0.01), EStatisticsError);
}
