#include "chart/TextMetrics.h"

#include <QFont>
#include <QPaintDevice>
#include <QString>
#include <algorithm>

TTextMetrics::TTextMetrics(const QFont& Font, const QPaintDevice* Device)
    : FMetrics(Device ? QFontMetrics(Font, Device) : QFontMetrics(Font)) {}

int TTextMetrics::TextWidth(const std::string& Text) const {
    return FMetrics.horizontalAdvance(QString::fromStdString(Text));
}

TRect TTextMetrics::WrappedTextRect(const TRect& Bounds, const std::string& Text) const {
    const QRect Wrapped = FMetrics.boundingRect(
        QRect(Bounds.Left, Bounds.Top, std::max(0, Bounds.Width()), 1),
        Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, QString::fromStdString(Text));
    return {Bounds.Left, Bounds.Top, Bounds.Left + std::min(Bounds.Width(), Wrapped.width()),
            Bounds.Top + Wrapped.height()};
}
