#include "windows/SpinButton.h"

#include <QToolButton>

namespace {

QToolButton* ArrowButton(QWidget* Parent, Qt::ArrowType Arrow,
                         const std::function<void()>& Handler) {
    auto* Button = new QToolButton(Parent);
    Button->setArrowType(Arrow);
    Button->setAutoRepeat(true);
    Button->setFocusPolicy(Qt::NoFocus);
    QObject::connect(Button, &QToolButton::clicked, Parent, [&Handler] {
        if (Handler)
            Handler();
    });
    return Button;
}

} // namespace

TSpinButton::TSpinButton(QWidget* Parent)
    : QWidget(Parent), FUpButton(ArrowButton(this, Qt::UpArrow, OnUpClick)),
      FDownButton(ArrowButton(this, Qt::DownArrow, OnDownClick)) {
    setCursor(Qt::PointingHandCursor);
}

void TSpinButton::resizeEvent(QResizeEvent* Event) {
    QWidget::resizeEvent(Event);
    const int UpperHeight = height() / 2;
    FUpButton->setGeometry(0, 0, width(), UpperHeight);
    FDownButton->setGeometry(0, UpperHeight, width(), height() - UpperHeight);
}
