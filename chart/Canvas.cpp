#include "chart/Canvas.h"

#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>

namespace {

// A shape given by its outer edges, as QPainter's outline of a QRect covers one pixel more.
QRect OutlineRect(const TRect& R) {
    return QRect(R.Left, R.Top, R.Width() - 1, R.Height() - 1);
}

} // namespace

TCanvas::TCanvas(QPainter& Painter)
    : FPainter(Painter), FFont(Painter.font()), FMetrics(FFont, Painter.device()) {
    FPainter.setRenderHint(QPainter::Antialiasing, false);
    FPainter.setBackgroundMode(Qt::TransparentMode);
    FPen.setColor(Qt::black);
    ApplyPen();
    SetBrushSolid(Qt::white);
}

void TCanvas::ApplyPen() {
    // One-pixel lines leave out their end point; wider ones end round.
    const bool Wide = FPen.width() > 1;
    FPen.setCapStyle(Wide ? Qt::RoundCap : Qt::FlatCap);
    FPen.setJoinStyle(Wide ? Qt::RoundJoin : Qt::MiterJoin);
    if (FPenStyle == psDot)
        FPen.setDashPattern({1.0, 1.0});
    else
        FPen.setStyle(Qt::SolidLine);
    FPainter.setPen(FPen);
}

void TCanvas::SetPenColor(const QColor& Color) {
    if (FPen.color() == Color)
        return;
    FPen.setColor(Color);
    FPainter.setPen(FPen);
}

void TCanvas::SetPenWidth(int Width) {
    if (FPen.width() == Width)
        return;
    FPen.setWidth(Width);
    ApplyPen();
}

void TCanvas::SetPenStyle(TPenStyle Style) {
    if (FPenStyle == Style)
        return;
    FPenStyle = Style;
    ApplyPen();
}

void TCanvas::SetBrushSolid(const QColor& Color) {
    FPainter.setBrush(QBrush(Color, Qt::SolidPattern));
}

void TCanvas::SetBrushClear() {
    FPainter.setBrush(Qt::NoBrush);
}

void TCanvas::SetBrushPattern(const QImage& Pattern) {
    FPainter.setBrushOrigin(0, 0);
    FPainter.setBrush(QBrush(Pattern));
}

void TCanvas::SetFont(const QFont& Font) {
    FFont = Font;
    FMetrics = TTextMetrics(Font, FPainter.device());
    FPainter.setFont(Font);
}

void TCanvas::MoveTo(int X, int Y) {
    FPenPos = QPoint(X, Y);
}

void TCanvas::LineTo(int X, int Y) {
    const QPoint To(X, Y);
    if (To != FPenPos)
        FPainter.drawLine(FPenPos, To);
    FPenPos = To;
}

void TCanvas::Polyline(std::span<const QPoint> Points) {
    // Lines back to the point they start from draw nothing, so neither does such a polyline.
    if (std::all_of(Points.begin(), Points.end(), [&](QPoint P) { return P == Points.front(); }))
        return;
    FPainter.drawPolyline(Points.data(), static_cast<int>(Points.size()));
}

void TCanvas::FillRect(const TRect& R) {
    FPainter.fillRect(QRect(R.Left, R.Top, R.Width(), R.Height()), FPainter.brush());
}

void TCanvas::Rectangle(const TRect& R) {
    FPainter.drawRect(OutlineRect(R));
}

void TCanvas::Ellipse(const TRect& R) {
    FPainter.drawEllipse(OutlineRect(R));
}

void TCanvas::Polygon(std::span<const QPoint> Points) {
    FPainter.drawPolygon(Points.data(), static_cast<int>(Points.size()));
    // Qt's outline of a slanted edge can stop a pixel short of its corner; the corners are
    // part of the shape.
    FPainter.drawPoints(Points.data(), static_cast<int>(Points.size()));
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
    FPainter.drawText(X, Y + FMetrics.Ascent(), QString::fromStdString(Text));
}

int TCanvas::TextWidth(const std::string& Text) const {
    return FMetrics.TextWidth(Text);
}

int TCanvas::TextHeight() const {
    return FMetrics.TextHeight();
}

void TCanvas::DrawWrappedText(const TRect& R, const std::string& Text) {
    FPainter.drawText(QRect(R.Left, R.Top, R.Width(), R.Height()),
                      Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                      QString::fromStdString(Text));
}

void TCanvas::TextOutRotated(int X, int Y, const std::string& Text, int Angle) {
    FPainter.save();
    FPainter.translate(X, Y);
    FPainter.rotate(-Angle);
    FPainter.setRenderHint(QPainter::TextAntialiasing, true);
    TextOut(0, 0, Text);
    FPainter.restore();
}
