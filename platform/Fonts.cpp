#include "platform/Fonts.h"

#include <QStringList>

namespace {

QFont SizedFont(const QStringList& Families, int PixelSize) {
    QFont Font;
    Font.setFamilies(Families);
    Font.setStyleHint(QFont::SansSerif);
    Font.setPixelSize(PixelSize);
    return Font;
}

} // namespace

QFont SansSerifFont(int PixelSize, bool Bold) {
    QFont Font = SizedFont({QStringLiteral("Sans Serif")}, PixelSize);
    Font.setBold(Bold);
    return Font;
}

QFont ArialFont(int PixelSize) {
    return SizedFont({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, PixelSize);
}
