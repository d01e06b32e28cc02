#pragma once

// A label that never cuts its text off: when the text in the label's font is wider than the
// label, it is drawn in a smaller size of the same font, just small enough to fit. The label's
// own font stays as set, so layouts keep their font heights.

#include <QLabel>

// The largest pixel size, from PixelSize down to 1, at which Text in Font is at most Width
// pixels wide.
int FittedPixelSize(QFont Font, const QString& Text, int PixelSize, int Width);

// A one-line label of a window laid out by hand, 16 pixels high. Captions in other languages can
// be longer than their place: they are drawn smaller, never cut.
QLabel* NewFittingLabel(QWidget* Parent, int Left, int Top, int Width, Qt::Alignment Alignment);

class TFittingLabel : public QLabel {
public:
    explicit TFittingLabel(QWidget* Parent);

    // The pixel size the text is drawn at now.
    int DrawnPixelSize() const;

protected:
    void paintEvent(QPaintEvent* Event) override;
};
