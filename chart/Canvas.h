#pragma once

// The drawing surface of the chart: pens, brushes, fonts and the drawing operations of a
// classic raster canvas, over a QPainter on any paint device. Its pixel rules are those the
// chart's geometry is written for: a line leaves out its end point, and a rectangle or ellipse
// given by (Left, Top, Right, Bottom) covers Left..Right - 1 and Top..Bottom - 1.

#include "chart/ChartGeometry.h"
#include "chart/TextMetrics.h"

#include <QBrush>
#include <QFont>
#include <QPen>
#include <QPoint>
#include <span>
#include <string>

class QImage;
class QPainter;

enum TPenStyle { psSolid, psDot };

class TCanvas {
public:
    explicit TCanvas(QPainter& Painter);

    void SetPenColor(const QColor& Color);
    void SetPenWidth(int Width);
    void SetPenStyle(TPenStyle Style);
    // A solid brush of the given colour, no pattern.
    void SetBrushSolid(const QColor& Color);
    // Shapes drawn with a clear brush are not filled.
    void SetBrushClear();
    // Tiles the pattern from the device's origin, with the pattern's own colours.
    void SetBrushPattern(const QImage& Pattern);
    void SetFont(const QFont& Font);
    const QFont& Font() const { return FFont; }

    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void Polyline(std::span<const QPoint> Points);
    // Fills with the brush, draws no outline.
    void FillRect(const TRect& R);
    // Outlined with the pen, filled with the brush.
    void Rectangle(const TRect& R);
    void Ellipse(const TRect& R);
    void Polygon(std::span<const QPoint> Points);

    // The text's top left corner at (X, Y), on a transparent background.
    void TextOut(int X, int Y, const std::string& Text);
    int TextWidth(const std::string& Text) const;
    int TextHeight() const;
    // Text wrapped at words within R's width, each line centred, from R's top.
    void DrawWrappedText(const TRect& R, const std::string& Text);
    // Text turned counter-clockwise by Angle degrees around its top left corner at (X, Y).
    void TextOutRotated(int X, int Y, const std::string& Text, int Angle);

private:
    void ApplyPen();

    QPainter& FPainter;
    QPen FPen;
    TPenStyle FPenStyle = psSolid;
    QFont FFont;
    // Of FFont on the painter's device.
    TTextMetrics FMetrics;
    QPoint FPenPos;
};
