#include "windows/FittingLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace {

int TextWidth(QFont Font, const QString& Text, int PixelSize) {
    Font.setPixelSize(PixelSize);
    return QFontMetrics(Font).horizontalAdvance(Text);
}

} // namespace

int FittedPixelSize(QFont Font, const QString& Text, int PixelSize, int Width) {
    const int FullWidth = TextWidth(Font, Text, PixelSize);
    if (FullWidth <= Width || PixelSize <= 1)
        return PixelSize;
    // Widths grow nearly in proportion to the size, but hinting rounds them a pixel either way,
    // so the estimate is corrected in both directions.
    int Size = std::max(1, static_cast<int>(static_cast<long long>(PixelSize) * Width / FullWidth));
    while (Size + 1 < PixelSize && TextWidth(Font, Text, Size + 1) <= Width)
        ++Size;
    while (Size > 1 && TextWidth(Font, Text, Size) > Width)
        --Size;
    return Size;
}

TFittingLabel::TFittingLabel(QWidget* Parent) : QLabel(Parent) {
    setTextFormat(Qt::PlainText);
}

int TFittingLabel::DrawnPixelSize() const {
    const int PixelSize = font().pixelSize();
    if (PixelSize <= 0)
        return PixelSize;
    return FittedPixelSize(font(), text(), PixelSize, contentsRect().width());
}

void TFittingLabel::paintEvent(QPaintEvent* Event) {
    const int Size = DrawnPixelSize();
    if (Size == font().pixelSize()) {
        QLabel::paintEvent(Event);
        return;
    }
    QFont Smaller = font();
    Smaller.setPixelSize(Size);
    QPainter Painter(this);
    Painter.setFont(Smaller);
    style()->drawItemText(&Painter, contentsRect(), static_cast<int>(alignment()), palette(),
                          isEnabled(), text(), foregroundRole());
}

QLabel* NewFittingLabel(QWidget* Parent, int Left, int Top, int Width, Qt::Alignment Alignment) {
    auto* Label = new TFittingLabel(Parent);
    Label->setGeometry(Left, Top, Width, 16);
    Label->setAlignment(Alignment | Qt::AlignVCenter);
    return Label;
}
