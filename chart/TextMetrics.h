#pragma once

// Text measurements in pixels for one font on one paint device, so that the layout and the
// painting of the chart measure alike.

#include "chart/ChartGeometry.h"

#include <QFontMetrics>
#include <string>

class QFont;
class QPaintDevice;

class TTextMetrics {
public:
    // Device may be null: then the screen's resolution applies.
    TTextMetrics(const QFont& Font, const QPaintDevice* Device);

    int TextWidth(const std::string& Text) const;
    // The height of one line of text, whatever the text.
    int TextHeight() const { return FMetrics.height(); }
    int Ascent() const { return FMetrics.ascent(); }
    // Bounds stays put at its top left; its bottom moves to the end of Text wrapped at words
    // within its width with centred lines, and its right edge moves in to the widest line.
    TRect WrappedTextRect(const TRect& Bounds, const std::string& Text) const;

private:
    QFontMetrics FMetrics;
};
