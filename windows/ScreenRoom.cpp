#include "windows/ScreenRoom.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

void FitToScreen(QWidget& Window, QSize Size) {
    const QRect Room = Window.screen()->availableGeometry();
    const QSize Frame = Window.frameGeometry().size() - Window.size();
    Window.resize(Size.boundedTo(Room.size() - Frame));
    const QRect Placed = Window.frameGeometry();
    Window.move(std::clamp(Placed.left(), Room.left(), Room.right() + 1 - Placed.width()),
                std::clamp(Placed.top(), Room.top(), Room.bottom() + 1 - Placed.height()));
}
