#pragma once

// The chart's published properties with their defaults, and the fonts it draws with.

#include <QColor>
#include <QFont>
#include <optional>
#include <string>

// A stretch of X values shaded behind the series, From and To included, with a caption at its
// left and its right edge.
struct TXBand {
    double From = 0;
    double To = 0;
    std::string FromCaption;
    std::string ToCaption;

    bool operator==(const TXBand&) const = default;
};

// A stretch of Y values shaded across the whole plot behind the series, such as the kill zone
// around a trajectory's line of sight.
struct TYBand {
    double From = 0;
    double To = 0;

    bool operator==(const TYBand&) const = default;
};

// A straight line from one point of values to another, drawn over the series and cut off at the
// plot's edges.
struct TValueLine {
    double X1 = 0;
    double Y1 = 0;
    double X2 = 0;
    double Y2 = 0;

    bool operator==(const TValueLine&) const = default;
};

// The chart's sizes are given in pixels at 96 pixels per inch (8 points are 11 pixels, 14 points
// 19), so that the picture does not depend on the resolution of the paint device.

struct TChartProperties {
    TChartProperties();

    // The axis font in bold.
    QFont AxisTitleFont() const;

    bool ShowLegend = true;
    bool ShowTitle = true;
    bool ShowXGrid = true;
    bool ShowYGrid = true;
    std::string Title = "Chart Title";
    // Arial, 19 pixels.
    QFont TitleFont;
    std::string AxisXTitle = "X Axis";
    std::string AxisYTitle = "Y Axis";
    // Every distinct X gets its own equally spaced slot, whatever the distance of the values.
    bool AxisXOnePerValue = false;
    // Display divisors of the axis labels; positions do not depend on them.
    float AxisXScale = 1.0f;
    float AxisYScale = 1.0f;
    bool Monochrome = false;
    bool SoftColors = false;
    // Axis labels, axis titles and the legend: Arial, 11 pixels.
    QFont AxisFont;
    QColor Color = QColor(0xFF, 0xFF, 0xFF);
    std::optional<TXBand> Band;
    std::optional<TYBand> LevelBand;
    std::optional<TValueLine> GuideLine;
};
