#pragma once

// Running calls of worker threads on the user-interface thread. A worker queues a call, the
// user-interface thread is woken (a queued call on the application object) and runs it, and
// the worker blocks until it has run. Whoever waits on the user-interface thread for a worker
// that may be synchronising keeps running the queued calls while it waits, so it cannot
// deadlock.

#include <functional>

namespace platform {

// True on the thread that runs the program's user interface (the thread that started the
// program).
bool IsUserInterfaceThread();

// Runs Call on the user-interface thread and returns when it has run there; an exception it
// raises is raised again here. Called on the user-interface thread, Call runs at once.
void Synchronize(const std::function<void()>& Call);

// Runs the queued calls; returns whether any ran. User-interface thread only.
bool CheckSynchronize();

// On the user-interface thread: waits until Done holds, running the queued calls meanwhile.
// Done is asked again whenever a call was queued or NotifySynchronizeWaiters was called.
void WaitSynchronizing(const std::function<bool()>& Done);

// Wakes WaitSynchronizing, for a worker whose state Done reads has changed (it ended).
void NotifySynchronizeWaiters();

} // namespace platform
