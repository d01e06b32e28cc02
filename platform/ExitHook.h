#pragma once

// A last action for a program that ends through exit() instead of returning from main. Qt's X11
// platform calls exit(1) on the user-interface thread when the connection to the X server breaks;
// the window's close and the destructors on main's stack then never run, only the C library's
// exit handlers do. While a TExitHook lives such an exit runs its action first; once the hook is
// destroyed, which main does after its event loop has returned, an exit leaves things as they are.

#include <functional>

namespace platform {

class TExitHook {
public:
    // One such object at a time. The action runs at most once; what it throws is dropped, as the
    // program is ending anyway.
    explicit TExitHook(std::function<void()> OnExit);
    ~TExitHook();
    TExitHook(const TExitHook&) = delete;
    TExitHook& operator=(const TExitHook&) = delete;

private:
    std::function<void()> FOnExit;
};

} // namespace platform
