#pragma once

// Pixel rectangles and the rounding that turns chart coordinates into pixels.

#include <algorithm>
#include <cmath>

// A pixel rectangle; Right and Bottom lie just outside it.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

// The nearest integer, halves going to the even one, so that 2.5 and 1.5 both give 2. Values far
// outside any screen are held at a billion pixels, and a value that is not a number gives 0.
inline int Nearest(double X) {
    constexpr double Far = 1e9;
    if (std::isnan(X))
        return 0;
    return static_cast<int>(std::nearbyint(std::clamp(X, -Far, Far)));
}
