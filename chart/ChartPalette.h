#pragma once

// The colours of the chart's series and the patterns that tell bar series apart in monochrome.

#include <QColor>
#include <QImage>
#include <array>
#include <optional>

inline constexpr int PaletteSize = 14;
inline constexpr int PatternCount = 16;

// Black in monochrome; else the soft or the standard palette's entry SeriesIndex mod 14.
QColor SeriesColor(int SeriesIndex, bool Monochrome, bool SoftColors);

// Pattern Number (1..16) as a black-and-white image, 8 x 8 pixels (pattern 11: 6 x 6).
QImage BrushPattern(int Number);

// The patterns of one chart, made on first use and kept.
class TBrushBitmaps {
public:
    // The pattern of a bar series: SeriesIndex mod 16 picks pattern 1..16.
    const QImage& ForSeries(int SeriesIndex);

private:
    std::array<std::optional<QImage>, PatternCount> FBitmaps;
};
