#pragma once

#include <QWidget>

// Stands in for the main window that owns the setup and live windows: a shown window of the
// main window's size, away from the screen's corner.
class TOwnerWindow : public QWidget {
public:
    TOwnerWindow() {
        setGeometry(100, 80, 992, 609);
        show();
    }
};
