#include "platform/HandlerGuard.h"

#include "platform/ModalDialogs.h"

#include <exception>

void RunGuarded(QWidget* Window, const std::function<void()>& Handler) {
    try {
        Handler();
    } catch (const std::exception& Error) {
        platform::ModalDialogs().ShowError(Window, Error.what());
    } catch (...) {
        platform::ModalDialogs().ShowError(Window, "An unexpected error has occurred.");
    }
}
