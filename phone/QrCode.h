#pragma once

// A QR code as a square of dark and light modules, for a window to paint.

#include <string>
#include <vector>

struct TQrCode {
    int Size = 0;
    // Row by row, Size × Size.
    std::vector<bool> Dark;

    bool At(int X, int Y) const { return Dark[static_cast<std::size_t>(Y * Size + X)]; }
};

// Text as bytes with medium error correction (a code on a laptop screen photographed at an angle
// still reads); raises std::runtime_error when the text does not fit any QR code.
TQrCode EncodeQr(const std::string& Text);
