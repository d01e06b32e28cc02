#pragma once

// The widths of axis labels, measured once per text and kept. The main window lays out all
// shots again for every new one, and with a tick for every pixel column measuring their labels
// would be the dearest part of a paint.

#include <QFont>
#include <string>
#include <unordered_map>

class TCanvas;

class TLabelWidths {
public:
    // The width of Text in the canvas's current font; a change of font starts over.
    int TextWidth(const TCanvas& Canvas, const std::string& Text);

private:
    QFont FFont;
    std::unordered_map<std::string, int> FWidths;
};
