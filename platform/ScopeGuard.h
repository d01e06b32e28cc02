#pragma once

// Runs an action when a scope is left, by its end or by an exception: the "finally" of a bracket
// such as suspend and resume, begin and end of an update, or a value set for the length of a call.

#include <utility>

namespace platform {

template <typename TAction>
class [[nodiscard]] TScopeGuard {
public:
    explicit TScopeGuard(TAction Action) : FAction(std::move(Action)) {}
    ~TScopeGuard() { FAction(); }
    TScopeGuard(const TScopeGuard&) = delete;
    TScopeGuard& operator=(const TScopeGuard&) = delete;

private:
    TAction FAction;
};

// Gives Variable the value Value until the scope is left, then its old value back.
template <typename T, typename U>
[[nodiscard]] auto ScopedValue(T& Variable, U&& Value) {
    T Old = std::exchange(Variable, std::forward<U>(Value));
    return TScopeGuard([&Variable, Old = std::move(Old)]() mutable { Variable = std::move(Old); });
}

} // namespace platform
