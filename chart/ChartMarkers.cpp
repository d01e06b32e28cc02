#include "chart/ChartMarkers.h"

#include "chart/Canvas.h"

#include <array>

void DrawSquareMarker(TCanvas& Canvas, int X, int Y, int S) {
    Canvas.Rectangle({X - S, Y - S, X + S, Y + S});
}

void DrawCircleMarker(TCanvas& Canvas, int X, int Y, int S) {
    Canvas.Ellipse({X - S, Y - S, X + S, Y + S});
}

void DrawTriangleUpMarker(TCanvas& Canvas, int X, int Y, int S) {
    const std::array<QPoint, 3> Corners = {QPoint(X, Y - S), QPoint(X + S, Y + S),
                                           QPoint(X - S, Y + S)};
    Canvas.Polygon(Corners);
}

void DrawTriangleDownMarker(TCanvas& Canvas, int X, int Y, int S) {
    const std::array<QPoint, 3> Corners = {QPoint(X + S, Y - S), QPoint(X - S, Y - S),
                                           QPoint(X, Y + S)};
    Canvas.Polygon(Corners);
}

void DrawDiamondMarker(TCanvas& Canvas, int X, int Y, int S) {
    const std::array<QPoint, 4> Corners = {QPoint(X, Y - S), QPoint(X + S, Y), QPoint(X, Y + S),
                                           QPoint(X - S, Y)};
    Canvas.Polygon(Corners);
}

TMarkerRoutine MarkerRoutineFor(int SeriesIndex) {
    static constexpr std::array<TMarkerRoutine, 5> Routines = {
        DrawSquareMarker, DrawCircleMarker, DrawTriangleUpMarker, DrawTriangleDownMarker,
        DrawDiamondMarker};
    return Routines[((SeriesIndex % 5) + 5) % 5];
}
