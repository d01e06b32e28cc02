#pragma once

// The event thread of an open port: it waits on the device for line events and hands each
// batch to the port, on the thread that the port's SyncMethod names.

#include "platform/CommFunctions.h"
#include "serial/CPortTypes.h"

#include <atomic>
#include <chrono>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

class TCustomComPort;

// Runs the port's routine for one event, given by its Windows event flag.
void ProcessPortEvent(TCustomComPort& Port, std::uint32_t EventFlag);

class TComThread {
public:
    // Sets the device's event mask from the port's Events.
    TComThread(TCustomComPort& Port, unsigned Generation);
    // Stops the thread and waits for it to end; on the user-interface thread it runs the calls
    // the thread synchronises meanwhile.
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    // Starts the thread. The port holds the object by then: a handler that the thread runs
    // without synchronisation may close the port at once.
    void Start();
    void SignalStop();
    // Whether the caller runs inside one of the port's routines that this thread called, on
    // the thread that runs them: the event thread is then held in that call until it returns.
    bool DispatchingHere() const;
    // For a port closed from inside one of this thread's handler calls, where the thread
    // cannot be awaited: the caller runs the thread's last steps on the device and may close
    // it at once. The thread ends after the call returns, touching neither the device nor the
    // port again, and releases itself.
    static void Abandon(std::unique_ptr<TComThread> Thread);

    TComEvents PendingEvents() const { return FPendingEvents; }

private:
    void Execute();
    void WaitForEvents();
    // Bytes that follow a dispatch closely are gathered for GatherTime before they are handed
    // on: a device sending at full speed then costs one handler call per gathering instead of
    // one per record, while a record after a pause is handed on at once.
    void GatherFollowingBytes();
    void DispatchEvents();
    void CallEventHandlers();
    void SendEventMessages();
    void ExitSteps();

    TCustomComPort& FPort;
    const platform::THandle FHandle;
    const unsigned FGeneration;
    platform::TEventObject FStopEvent;
    TComEvents FPendingEvents;
    static constexpr std::chrono::milliseconds GatherTime{1};
    std::chrono::steady_clock::time_point FDispatchedAt;
    std::exception_ptr FFailure;
    std::atomic<bool> FFinished{false};
    // The thread running the port's routines for this one, while it does.
    std::atomic<std::thread::id> FDispatcher;
    // Set when the thread was abandoned: it then owns itself. Abandon runs while the thread is
    // held in a handler call, so the thread reads both only after they were written.
    std::unique_ptr<TComThread> FSelf;
    bool FAbandoned = false;
    // Held while FThread is stored, which the thread reads when it is abandoned.
    std::mutex FStartLock;
    std::thread FThread;
};
