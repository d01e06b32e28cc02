#include "platform/ThreadSync.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace platform {
namespace {

struct TQueuedCall {
    const std::function<void()>* Call;
    std::exception_ptr Error;
    bool Done = false;
};

struct TSyncQueue {
    std::mutex Lock;
    std::condition_variable Changed;
    std::deque<TQueuedCall*> Calls;
    // Counts every queued call and notification, so a waiter sees that something happened.
    unsigned long Generation = 0;
};

TSyncQueue& Queue() {
    static TSyncQueue Instance;
    return Instance;
}

// The thread that initialised the program's static data is the one that runs main().
const std::thread::id UserInterfaceThread = std::this_thread::get_id();

void WakeUserInterface() {
    if (QCoreApplication* Application = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            Application, [] { CheckSynchronize(); }, Qt::QueuedConnection);
}

} // namespace

bool IsUserInterfaceThread() {
    return std::this_thread::get_id() == UserInterfaceThread;
}

void Synchronize(const std::function<void()>& Call) {
    if (IsUserInterfaceThread()) {
        Call();
        return;
    }
    TQueuedCall Item{&Call, nullptr};
    TSyncQueue& Sync = Queue();
    std::unique_lock Guard(Sync.Lock);
    Sync.Calls.push_back(&Item);
    ++Sync.Generation;
    Sync.Changed.notify_all();
    Guard.unlock();
    WakeUserInterface();
    Guard.lock();
    Sync.Changed.wait(Guard, [&] { return Item.Done; });
    if (Item.Error)
        std::rethrow_exception(Item.Error);
}

bool CheckSynchronize() {
    TSyncQueue& Sync = Queue();
    std::unique_lock Guard(Sync.Lock);
    bool Ran = false;
    while (!Sync.Calls.empty()) {
        TQueuedCall* Item = Sync.Calls.front();
        Sync.Calls.pop_front();
        Guard.unlock();
        try {
            (*Item->Call)();
        } catch (...) {
            Item->Error = std::current_exception();
        }
        Guard.lock();
        Item->Done = true;
        Sync.Changed.notify_all();
        Ran = true;
    }
    return Ran;
}

void WaitSynchronizing(const std::function<bool()>& Done) {
    TSyncQueue& Sync = Queue();
    for (;;) {
        // The generation is read before the queue is run, so that a call queued meanwhile is
        // either run now or seen as a change below.
        std::unique_lock Guard(Sync.Lock);
        const unsigned long Seen = Sync.Generation;
        Guard.unlock();
        CheckSynchronize();
        if (Done())
            return;
        Guard.lock();
        Sync.Changed.wait(Guard, [&] { return Sync.Generation != Seen || !Sync.Calls.empty(); });
    }
}

void NotifySynchronizeWaiters() {
    TSyncQueue& Sync = Queue();
    const std::lock_guard Guard(Sync.Lock);
    ++Sync.Generation;
    Sync.Changed.notify_all();
}

} // namespace platform
