#include "platform/ExitHook.h"

#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace platform {
namespace {

// The action of the hook that lives, if any; the hook owns it.
std::function<void()>* ArmedAction = nullptr;

void RunArmedAction() {
    if (std::function<void()>* Action = std::exchange(ArmedAction, nullptr)) {
        try {
            (*Action)();
        } catch (...) {
            // By design: nothing is left to report it to.
        }
    }
}

} // namespace

TExitHook::TExitHook(std::function<void()> OnExit) : FOnExit(std::move(OnExit)) {
    static const bool Registered = std::atexit(RunArmedAction) == 0;
    if (!Registered)
        throw std::runtime_error("Cannot register the action at the program's exit");
    ArmedAction = &FOnExit;
}

TExitHook::~TExitHook() {
    ArmedAction = nullptr;
}

} // namespace platform
