#pragma once

// The fonts the windows and the chart name: "MS Sans Serif" stands for the desktop's sans-serif
// font and Arial for Liberation Sans, which has Arial's metrics, both at the pixel sizes the
// layouts give.

#include <QFont>

QFont SansSerifFont(int PixelSize, bool Bold = false);
QFont ArialFont(int PixelSize);
