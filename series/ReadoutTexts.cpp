#include "series/ReadoutTexts.h"

#include "platform/NumberFormats.h"

TReadoutTexts ReadoutTexts(const TReadoutShot& Shot, const TReadoutLimits& Limits) {
    using platform::Format;
    return {Format("%3d.", {Shot.Number}),
            FormatAgainstLimit(Shot.Speed, Limits.Speed, 2) + " " + Shot.SpeedUnit,
            Format("%1.3f %s", {Shot.PeletWeight, Shot.WeightUnit}),
            FormatAgainstLimit(Shot.Energy, Limits.Energy, 2) + " " + Shot.EnergyUnit,
            AtLimit(Shot.Speed, Limits.Speed),
            AtLimit(Shot.Energy, Limits.Energy)};
}
