#include "series/UTuningFindings.h"

#include "analysis/SeriesComparison.h"
#include "platform/NumberFormats.h"

#include <algorithm>
#include <cmath>

namespace {

// Drift is given per this many shots, a stretch a shooter fires between two looks at the chart.
constexpr double DriftStretch = 10;

std::string Number(const char* Pattern, double Value) {
    return platform::FormatFloat(Pattern, Value);
}

// The spread as the shooter reads it off the chronograph: one decimal, two where they count.
std::string SpreadText(double Spread) {
    return Number("0.0#", Spread);
}

// One decimal, and as many more (up to four) as show the interval's half width, or a tenth of the
// slope where that is coarser: so a real drift never reads 0.0, and the rounding noise of an
// exact line asks for no more digits than its slope.
int DriftDecimals(const TDrift& Drift) {
    const double HalfWidth = (Drift.SlopeInterval.Upper - Drift.SlopeInterval.Lower) / 2;
    const double Precision = std::max(HalfWidth, std::abs(Drift.Slope) / 10) * DriftStretch;
    if (!(Precision > 0) || !std::isfinite(Precision))
        return 1;
    return std::clamp(static_cast<int>(-std::floor(std::log10(Precision))), 1, 4);
}

// A speed per shot as speed per 10 shots.
std::string DriftNumber(double PerShot, int Decimals) {
    const std::string Pattern = "0." + std::string(static_cast<std::size_t>(Decimals), '0');
    // No "-0.0": a drift too small to show has no sign.
    const std::string Text = Number(Pattern.c_str(), PerShot * DriftStretch);
    return Text.find_first_not_of("-0.,") == std::string::npos && Text[0] == '-' ? Text.substr(1)
                                                                                 : Text;
}

std::string PressureText(const TTuningFindings& Findings, const TTranslate& Translate) {
    const TPressureWindow& Window = *Findings.Pressures;
    return FillPlaceholders(
        Translate("usable from about %s to %s %s"),
        {Number("0", Window.AtStart), Number("0", Window.AtEnd), Findings.PressureUnit});
}

} // namespace

std::vector<double> SeriesValues(const TSeries& Series, double TShotValues::*Quantity) {
    std::vector<double> Values(Series.Count());
    for (std::size_t i = 0; i < Values.size(); ++i)
        Values[i] = Series.Values(i).*Quantity;
    return Values;
}

TTuningFindings FindTuning(std::span<const double> Speeds, double UsableSpread,
                           const std::optional<TFillPressures>& Pressures) {
    TTuningFindings Findings;
    Findings.Usable = LongestRunWithin(Speeds, UsableSpread >= 0 ? UsableSpread : 0);
    if (Findings.Usable && Pressures) {
        Findings.Pressures =
            PressureWindow(Pressures->Start, Pressures->End, Speeds.size(), *Findings.Usable);
        Findings.PressureUnit = Pressures->Unit;
    }
    if (Speeds.size() < 3)
        return Findings;
    // Only speeds whose differences overflow make a drift of three finite speeds fail.
    try {
        Findings.Drift = VelocityDrift(Speeds);
    } catch (const EStatisticsError&) {
        Findings.DriftOutOfReach = true;
    }
    return Findings;
}

std::string UsableShotsText(const TTuningFindings& Findings, const std::string& SpeedUnit,
                            const TTranslate& Translate) {
    if (!Findings.Usable)
        return {};
    const TUsableRun& Run = *Findings.Usable;
    const std::string Spread = SpreadText(Run.ExtremeSpread);
    const std::string First = std::to_string(Run.First + 1);
    std::string Text =
        Run.Count() == 1
            ? FillPlaceholders(Translate("Usable shots: 1 (shot %s), extreme spread %s %s"),
                               {First, Spread, SpeedUnit})
            : FillPlaceholders(Translate("Usable shots: %s (shots %s to %s), extreme spread %s %s"),
                               {std::to_string(Run.Count()), First, std::to_string(Run.Last + 1),
                                Spread, SpeedUnit});
    if (Findings.Pressures)
        Text += "; " + PressureText(Findings, Translate);
    return Text;
}

// A falling or rising speed is given as the size of the change with its interval, as the
// shooter says it; no drift as the signed slope, whose interval takes in zero.
std::string DriftText(const TTuningFindings& Findings, const std::string& SpeedUnit,
                      const TTranslate& Translate) {
    if (Findings.DriftOutOfReach)
        return Translate("Speed drift cannot be computed: the speeds are too far apart");
    if (!Findings.Drift)
        return Translate("Speed drift needs at least 3 shots");
    const TDrift& Drift = *Findings.Drift;
    const double Sign = Drift.Significant && Drift.Slope < 0 ? -1 : 1;
    const double Low = Sign * (Sign < 0 ? Drift.SlopeInterval.Upper : Drift.SlopeInterval.Lower);
    const double High = Sign * (Sign < 0 ? Drift.SlopeInterval.Lower : Drift.SlopeInterval.Upper);
    const int Decimals = DriftDecimals(Drift);
    const auto Show = [&](double PerShot) { return DriftNumber(PerShot, Decimals); };
    const char* Pattern =
        !Drift.Significant
            ? "No drift: %s %s per 10 shots (95 % interval %s to %s)"
            : (Sign < 0 ? "Speed falls by %s %s per 10 shots (95 % interval %s to %s)"
                        : "Speed rises by %s %s per 10 shots (95 % interval %s to %s)");
    return FillPlaceholders(Translate(Pattern),
                            {Show(Sign * Drift.Slope), SpeedUnit, Show(Low), Show(High)});
}

std::vector<std::pair<std::string, std::string>> TuningFacts(const TTuningFindings& Findings,
                                                             const std::string& SpeedUnit,
                                                             const TTranslate& Translate) {
    std::vector<std::pair<std::string, std::string>> Facts;
    if (const auto& Run = Findings.Usable)
        Facts.emplace_back(
            Translate("Usable shots"),
            FillPlaceholders(Translate("%s (%s to %s), ES %s %s"),
                             {std::to_string(Run->Count()), std::to_string(Run->First + 1),
                              std::to_string(Run->Last + 1), SpreadText(Run->ExtremeSpread),
                              SpeedUnit}));
    if (const auto& Drift = Findings.Drift) {
        Facts.emplace_back(
            Translate("Speed drift"),
            Drift->Significant
                ? FillPlaceholders(Translate("%s %s per 10 shots"),
                                   {DriftNumber(Drift->Slope, DriftDecimals(*Drift)), SpeedUnit})
                : Translate("none"));
    }
    return Facts;
}
