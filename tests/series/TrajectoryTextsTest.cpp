#include "series/TrajectoryTexts.h"

#include "tests/support/ScopedFormatSettings.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

const TTranslate English = [](const std::string& Text) { return Text; };

// Each quantity in the ballistics' own unit, shown in either system with its decimals, and read
// back: 4.5 cm is 1.77 in, 50 m 55 yd, 5 m/s of wind 11.2 mph, 15 °C 59 °F, 1013.25 hPa 29.92 inHg.
TEST(TrajectoryTexts, ShowEachQuantityInTheDisplayUnits) {
    const TScopedFormatSettings Point{"."};
    const struct {
        TBallisticQuantity Quantity;
        double Value;
        const char *Metric, *Imperial;
    } Rows[] = {{TBallisticQuantity::Speed, 100, "100.0 m/s", "328.1 fps"},
                {TBallisticQuantity::Coefficient, 0.0251, "0.025 lb/in\u00B2", "0.025 lb/in\u00B2"},
                {TBallisticQuantity::Weight, 0.000547, "0.547 g", "8.44 gr"},
                {TBallisticQuantity::Height, 0.045, "4.5 cm", "1.77 in"},
                {TBallisticQuantity::Range, 50, "50 m", "55 yd"},
                {TBallisticQuantity::Wind, 5, "5.0 m/s", "11.2 mph"},
                {TBallisticQuantity::KillZone, 0.025, "25 mm", "0.98 in"},
                {TBallisticQuantity::Energy, 16.27, "16.3 J", "12.0 fpe"},
                {TBallisticQuantity::Temperature, 15, "15 \u00B0C", "59 \u00B0F"},
                {TBallisticQuantity::Pressure, 1013.25, "1013.25 hPa", "29.92 inHg"},
                {TBallisticQuantity::Humidity, 0.5, "50 %", "50 %"}};
    for (const auto& Row : Rows)
        for (const auto& [Units, Expected] :
             {std::pair{&MetricUnits, Row.Metric}, std::pair{&ImperialUnits, Row.Imperial}}) {
            const TBallisticUnit Unit = BallisticUnit(Row.Quantity, *Units);
            EXPECT_EQ(Unit.Text(Row.Value) + " " + Unit.Name, Expected);
            EXPECT_NEAR(Unit.Value(Unit.Shown(Row.Value)), Row.Value, 1e-12 * Row.Value);
        }
}

// The sentences name what the shooter asked: the BC with its interval and the shots behind it,
// the point-blank range, and the range from which the energy is below the minimum.
TEST(TrajectoryTexts, SayTheFindingsInWords) {
    const TScopedFormatSettings Point{"."};
    EXPECT_EQ(
        BallisticCoefficientText({0.0312, {0.0291, 0.0334}, 10, 12, 20}, MetricUnits, English),
        "BC 0.031 lb/in\u00B2 (95 % interval 0.029 to 0.033), from 10 shots at the muzzle "
        "and 12 at 20 m");
    EXPECT_EQ(PointBlankText(TPointBlank{9.2, 41.4, 27.3, 43.1}, 0.025, MetricUnits, English),
              "Point-blank range for a 25 mm kill zone: 9 to 41 m; a zero at 27 m makes it reach "
              "43 m");
    EXPECT_EQ(
        BallisticCoefficientText({0.0312, {0.0291, INFINITY}, 3, 3, 20}, MetricUnits, English),
        "BC 0.031 lb/in\u00B2 (95 % interval from 0.029 up: the two series' speeds "
        "overlap), from 3 shots at the muzzle and 3 at 20 m");
    TTrajectory Trajectory;
    for (int Range = 0; Range <= 50; Range += 10)
        Trajectory.Points.push_back({double(Range), 0, 0, 0, 250.0 - Range, 20.0 - Range / 5.0, 0,
                                     0, 20.0 - Range / 5.0 < 14});
    EXPECT_EQ(MinimumEnergyText(Trajectory, 14, MetricUnits, English),
              "The energy falls below 14.0 J from 40 m on (\u2193 in the table)");
    EXPECT_EQ(MinimumEnergyText(Trajectory, 0, MetricUnits, English), "");
    const TTrajectoryTable Table = TrajectoryTable(Trajectory, MetricUnits, English);
    EXPECT_EQ(Table.Header.front(), "Range [m]");
    EXPECT_EQ(Table.Rows[4][5], "12.0 \u2193");
    EXPECT_EQ(Table.Rows[3][5], "14.0");
}

} // namespace
