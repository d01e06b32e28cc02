#include "series/UData.h"

#include "tests/support/ScopedFormatSettings.h"

#include <gtest/gtest.h>

TEST(TData, KeepsSpeedAndUpperCasedUnit) {
    const TData Shot("m/s", 175.52);
    EXPECT_EQ(Shot.Speed(), 175.52);
    EXPECT_EQ(Shot.SpeedUnit(), "M/S");
    EXPECT_EQ(TData("fps", 1).SpeedUnit(), "FPS");
    EXPECT_EQ(TData(" m/s", 1).SpeedUnit(), " M/S");
}

TEST(TData, ConvertsBetweenMetresAndFeetPerSecond) {
    for (const char* Unit : {"fps", "Fps", "FPS"})
        EXPECT_DOUBLE_EQ(TData(Unit, 1000).SpeedIn("m/s"), 304.8) << Unit;
    EXPECT_EQ(TData("m/s", 100).SpeedIn("fps"), 100 * 3.280839895013123);
    EXPECT_EQ(TData("m/s", 100).SpeedIn("FPS"), TData("m/s", 100).SpeedIn("fps"));
    EXPECT_EQ(TData("fps", 575.9).SpeedIn("fps"), 575.9);
    EXPECT_EQ(TData("m/s", 175.5).SpeedIn("m/s"), 175.5);
}

TEST(TData, LeavesUnknownUnitsUnconverted) {
    for (const char* Unit : {"", "km/h", " m/s", "mps"}) {
        EXPECT_EQ(TData(Unit, 123.4).SpeedIn("m/s"), 123.4) << Unit;
        EXPECT_EQ(TData(Unit, 123.4).SpeedIn("fps"), 123.4) << Unit;
    }
    EXPECT_EQ(TData("m/s", 123.4).SpeedIn("km/h"), 123.4);
}

TEST(ShotEnergy, MetricAndImperialFromOneFormula) {
    const TScopedFormatSettings Point(".");
    EXPECT_DOUBLE_EQ(ShotEnergy(175, 0.547, MetricUnits), 175.0 * 175.0 * 0.547 / 2000);
    EXPECT_EQ(FormatValue(ShotEnergy(175, 0.547, MetricUnits)), "8.38");
    const double Imperial = ShotEnergy(574.1, 8.44, ImperialUnits);
    EXPECT_NEAR(Imperial, 6.1752, 5e-5);
    EXPECT_EQ(FormatValue(Imperial), "6.18");
    EXPECT_EQ(ShotEnergy(175, 0, MetricUnits), 0.0);
    EXPECT_EQ(ShotEnergy(-175, 0.547, MetricUnits), ShotEnergy(175, 0.547, MetricUnits));
}

TEST(ShotEnergy, SwitchingUnitsBackAndForthShowsTheSameNumbers) {
    const TScopedFormatSettings Point(".");
    const TData Shot("fps", 574.1);
    const auto Shown = [&](const TUnitSystem& Units) {
        const double Speed = Shot.SpeedIn(Units.SpeedUnit);
        return FormatValue(Speed) + " " + FormatValue(ShotEnergy(Speed, 0.547, Units));
    };
    const std::string Metric = Shown(MetricUnits);
    Shown(ImperialUnits);
    EXPECT_EQ(Shown(MetricUnits), Metric);
    EXPECT_EQ(Metric, "174.99 8.37");
}

TEST(FormatValue, TwoDecimalsWithDecimalSeparatorInForce) {
    const TScopedFormatSettings Comma(",");
    EXPECT_EQ(FormatValue(175.456), "175,46");
    EXPECT_EQ(FormatValue(-5), "-5,00");
}
