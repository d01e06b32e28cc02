#pragma once

// Windows that size themselves to their contents stay within the screen they are on: a laptop at
// the bench has 1366 pixels or fewer, and a window past its edge hides its own buttons.

#include <QSize>

class QWidget;

// Window at Size, or at as much of it as the room its screen leaves for windows holds, moved
// left or up where it would pass that room's edge.
void FitToScreen(QWidget& Window, QSize Size);
