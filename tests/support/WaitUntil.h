#pragma once

#include "tests/platform/PlatformTestSupport.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <functional>

// Runs the user-interface thread's events until Condition holds; false when Limit passed
// first. Tests wait for what they expect, never for a fixed time.
inline bool WaitUntil(const std::function<bool()>& Condition,
                      std::chrono::milliseconds Limit = std::chrono::seconds(5)) {
    return tests::WaitUntil(
        [&Condition] {
            if (Condition())
                return true;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            return false;
        },
        Limit);
}
