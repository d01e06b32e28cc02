#pragma once

// The event thread of an open port: it waits on the device for line events and hands each
// batch to the port, on the thread that the port's SyncMethod names.

#include "platform/CommFunctions.h"
#include "serial/CPortTypes.h"

#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

class TCustomComPort;

// Runs the port's routine for one event, given by its Windows event flag.
void ProcessPortEvent(TCustomComPort& Port, std::uint32_t EventFlag);

class TComThread {
public:
    // Sets the device's event mask from the port's Events and starts the thread.
    TComThread(TCustomComPort& Port, unsigned Generation);
    // Stops the thread and waits for it to end, running the calls it synchronises meanwhile.
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    void SignalStop();
    // For a port closed from inside one of this thread's own synchronised calls: the thread
    // cannot be awaited there. It takes over the device, ends after the call returns, closes
    // the device and releases itself.
    static void Abandon(std::unique_ptr<TComThread> Thread);

    TComEvents PendingEvents() const { return FPendingEvents; }

private:
    void Execute();
    void WaitForEvents();
    void DispatchEvents();
    void CallEventHandlers();
    void SendEventMessages();
    void ExitSteps();

    TCustomComPort& FPort;
    const platform::THandle FHandle;
    const unsigned FGeneration;
    platform::TEventObject FStopEvent;
    TComEvents FPendingEvents;
    std::exception_ptr FFailure;
    std::atomic<bool> FFinished{false};
    // Set when the thread was abandoned: it then owns itself and the device.
    std::unique_ptr<TComThread> FSelf;
    std::atomic<bool> FAbandoned{false};
    std::mutex FEndLock;
    std::thread FThread;
};
