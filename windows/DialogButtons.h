#pragma once

// Buttons of the library's windows: Enter in a field of theirs never presses one unasked.

#include <QPushButton>

inline QPushButton* NewDialogButton(QWidget* Parent) {
    auto* Button = new QPushButton(Parent);
    Button->setAutoDefault(false);
    return Button;
}
