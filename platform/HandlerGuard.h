#pragma once

// Event handlers run from Qt's event loop, which an exception must never cross: a guarded
// handler that raises ends there, and its message goes to the application's error box.

#include <functional>

class QWidget;

void RunGuarded(QWidget* Window, const std::function<void()>& Handler);

// A slot that runs Window's member Handler guarded.
template <typename TWindow>
auto Guarded(TWindow* Window, void (TWindow::*Handler)()) {
    return [Window, Handler] { RunGuarded(Window, [Window, Handler] { (Window->*Handler)(); }); };
}
