#include "chart/ChartProperties.h"

QFont ArialFont(int PixelSize) {
    QFont Font(QStringLiteral("Arial"));
    Font.setPixelSize(PixelSize);
    return Font;
}
