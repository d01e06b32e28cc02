#include "chart/LabelWidths.h"

#include "chart/Canvas.h"

namespace {

// Enough for every label of a long session; beyond it the widths are measured afresh.
constexpr std::size_t MaxKeptWidths = 100000;

} // namespace

int TLabelWidths::TextWidth(const TCanvas& Canvas, const std::string& Text) {
    if (Canvas.Font() != FFont || FWidths.size() >= MaxKeptWidths) {
        FFont = Canvas.Font();
        FWidths.clear();
    }
    const auto Known = FWidths.find(Text);
    if (Known != FWidths.end())
        return Known->second;
    const int Width = Canvas.TextWidth(Text);
    FWidths.emplace(Text, Width);
    return Width;
}
