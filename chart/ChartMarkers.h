#pragma once

// The point markers of line and smooth series, drawn with the canvas's pen and brush around
// (X, Y) with half-size S.

class TCanvas;

using TMarkerRoutine = void (*)(TCanvas& Canvas, int X, int Y, int S);

void DrawSquareMarker(TCanvas& Canvas, int X, int Y, int S);
void DrawCircleMarker(TCanvas& Canvas, int X, int Y, int S);
void DrawTriangleUpMarker(TCanvas& Canvas, int X, int Y, int S);
void DrawTriangleDownMarker(TCanvas& Canvas, int X, int Y, int S);
void DrawDiamondMarker(TCanvas& Canvas, int X, int Y, int S);

// Square, circle, triangle up, triangle down and diamond cycle with the series index.
TMarkerRoutine MarkerRoutineFor(int SeriesIndex);
