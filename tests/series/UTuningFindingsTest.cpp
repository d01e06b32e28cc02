#include "series/UTuningFindings.h"

#include "series/UEnergyPresets.h"
#include "tests/support/ScopedFormatSettings.h"

#include <gtest/gtest.h>

namespace {

const TTranslate English = [](const std::string& Text) { return Text; };

std::vector<double> Line(double First, double Step, int Count) {
    std::vector<double> Speeds;
    for (int i = 0; i < Count; ++i)
        Speeds.push_back(First + Step * i);
    return Speeds;
}

TEST(TuningFindings, SayWhatTheToolsFindInTheShootersWords) {
    const TScopedFormatSettings Point{"."};
    struct TCase {
        std::vector<double> Speeds;
        std::optional<TFillPressures> Pressures;
        const char* Usable;
        const char* Drift;
        // The report's facts: usable shots, then drift.
        std::vector<std::string> Facts;
    };
    const TCase Cases[] = {
        // 180 down to 177 is the band of 3 exactly; an exact line leaves no doubt of its slope.
        {Line(180, -0.5, 10),
         std::nullopt,
         "Usable shots: 7 (shots 1 to 7), extreme spread 3.0 m/s",
         "Speed falls by 5.0 m/s per 10 shots (95 % interval 5.0 to 5.0)",
         {"7 (1 to 7), ES 3.0 m/s", "-5.0 m/s per 10 shots"}},
        // The pressure falls by 10 bar a shot: 200 before the first, 130 after the seventh.
        {Line(180, -0.5, 10),
         TFillPressures{200, 100, "bar"},
         "Usable shots: 7 (shots 1 to 7), extreme spread 3.0 m/s; usable from about 200 to 130 bar",
         "Speed falls by 5.0 m/s per 10 shots (95 % interval 5.0 to 5.0)",
         {"7 (1 to 7), ES 3.0 m/s", "-5.0 m/s per 10 shots"}},
        {Line(100, 1, 4),
         std::nullopt,
         "Usable shots: 4 (shots 1 to 4), extreme spread 3.0 m/s",
         "Speed rises by 10.0 m/s per 10 shots (95 % interval 10.0 to 10.0)",
         {"4 (1 to 4), ES 3.0 m/s", "10.0 m/s per 10 shots"}},
        // b = 1.1 per shot, s^2 = 5.1 / 3, Sxx = 10, t(0.975, 3) = 3.1824: 11 -+ 13.12 per 10.
        {{10, 12, 11, 15, 14},
         std::nullopt,
         "Usable shots: 3 (shots 1 to 3), extreme spread 2.0 m/s",
         "No drift: 11.0 m/s per 10 shots (95 % interval -2.1 to 24.1)",
         {"3 (1 to 3), ES 2.0 m/s", "none"}},
        {{175},
         TFillPressures{3000, 2000, "psi"},
         "Usable shots: 1 (shot 1), extreme spread 0.0 m/s; usable from about 3000 to 2000 psi",
         "Speed drift needs at least 3 shots",
         {"1 (1 to 1), ES 0.0 m/s"}},
        {{}, std::nullopt, "", "Speed drift needs at least 3 shots", {}},
        // Misread lines: finite speeds whose differences overflow.
        {{-1e308, 250, 1e308},
         std::nullopt,
         "Usable shots: 1 (shot 1), extreme spread 0.0 m/s",
         "Speed drift cannot be computed: the speeds are too far apart",
         {"1 (1 to 1), ES 0.0 m/s"}},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Usable);
        const TTuningFindings Found = FindTuning(Case.Speeds, 3, Case.Pressures);
        EXPECT_EQ(UsableShotsText(Found, "m/s", English), Case.Usable);
        EXPECT_EQ(DriftText(Found, "m/s", English), Case.Drift);
        std::vector<std::string> Facts;
        for (const auto& [Caption, Value] : TuningFacts(Found, "m/s", English))
            Facts.push_back(Value);
        EXPECT_EQ(Facts, Case.Facts);
    }
}

TEST(TuningFindings, ANegativeSpreadCountsAsNone) {
    const TTuningFindings Found = FindTuning(std::vector<double>{170, 171, 171, 172}, -1, {});
    ASSERT_TRUE(Found.Usable);
    EXPECT_EQ(Found.Usable->Count(), 2u);
    EXPECT_EQ(Found.Usable->First, 1u);
}

// 12 ft·lbf is 16.2698153799768 J, 6 ft·lbf half of it, 7.5 J 5.5317161... ft·lbf. A settings
// file of an earlier version holds the presets rounded to two decimals.
TEST(EnergyPresets, HoldTheirLawsExactValueInEitherUnitSystem) {
    const TScopedFormatSettings Point{"."};
    struct TCase {
        std::size_t Preset;
        double Metric, Imperial, StoredMetric, StoredImperial;
    };
    for (const TCase& Case :
         {TCase{0, 16.269815379976798, 12, 16.27, 12}, TCase{1, 8.134907689988399, 6, 8.13, 6},
          TCase{2, 7.5, 5.531716119579492, 7.5, 5.53}}) {
        const TEnergyPreset& Preset = EnergyPresets[Case.Preset];
        SCOPED_TRACE(Preset.Name);
        EXPECT_DOUBLE_EQ(PresetLimit(Preset, MetricUnits), Case.Metric);
        EXPECT_DOUBLE_EQ(PresetLimit(Preset, ImperialUnits), Case.Imperial);
        EXPECT_EQ(PresetOfLimit(Case.Metric, MetricUnits), &Preset);
        EXPECT_EQ(PresetOfLimit(Case.Imperial, ImperialUnits), &Preset);
        EXPECT_DOUBLE_EQ(StoredEnergyLimit(Case.StoredMetric, MetricUnits), Case.Metric);
        EXPECT_DOUBLE_EQ(StoredEnergyLimit(Case.StoredImperial, ImperialUnits), Case.Imperial);
    }
    EXPECT_EQ(PresetOfLimit(16.27, MetricUnits), nullptr)
        << "a shot of 16.26992 J is over 12 ft·lbf";
    EXPECT_EQ(PresetOfLimit(12, MetricUnits), nullptr);
    EXPECT_EQ(StoredEnergyLimit(16.274, MetricUnits), 16.274);
    EXPECT_EQ(EnergyLimitText(PresetLimit(EnergyPresets[0], MetricUnits), MetricUnits, English),
              "16.2698 J (UK air rifle, 12 ft\u00B7lbf)");
    EXPECT_EQ(EnergyLimitText(PresetLimit(EnergyPresets[2], ImperialUnits), ImperialUnits, English),
              "5.5317 fpe (Germany, 7.5 J)");
    EXPECT_EQ(EnergyLimitText(20, MetricUnits, English), "20 J");
    EXPECT_EQ(EnergyLimitText(999999, MetricUnits, English), "");
}

} // namespace
