#include "serial/CPortThread.h"

#include "platform/ScopeGuard.h"
#include "platform/ThreadSync.h"
#include "serial/CPort.h"

#include <QMetaObject>

namespace {

// The Windows event flag of each event, in the order the handlers are called: a line error
// of a batch is reported before the characters received with it.
struct TEventRoute {
    TComEvent Event;
    std::uint32_t Flag;
    void (TCustomComPort::*Process)();
};

constexpr TEventRoute HandlerOrder[] = {
    {evError, platform::EV_ERR, &TCustomComPort::ProcessError},
    {evRxChar, platform::EV_RXCHAR, &TCustomComPort::ProcessRxChar},
    {evTxEmpty, platform::EV_TXEMPTY, &TCustomComPort::ProcessTxEmpty},
    {evBreak, platform::EV_BREAK, &TCustomComPort::ProcessBreak},
    {evRing, platform::EV_RING, &TCustomComPort::ProcessRing},
    {evCTS, platform::EV_CTS, &TCustomComPort::ProcessCTSChange},
    {evDSR, platform::EV_DSR, &TCustomComPort::ProcessDSRChange},
    {evRxFlag, platform::EV_RXFLAG, &TCustomComPort::ProcessRxFlag},
    {evRLSD, platform::EV_RLSD, &TCustomComPort::ProcessRLSDChange},
    {evRx80Full, platform::EV_RX80FULL, &TCustomComPort::ProcessRx80Full},
};

} // namespace

std::uint32_t EventsToMask(TComEvents Events) {
    std::uint32_t Mask = 0;
    for (const TEventRoute& Route : HandlerOrder)
        Mask |= Events.Contains(Route.Event) ? Route.Flag : 0;
    return Mask;
}

TComEvents MaskToEvents(std::uint32_t Mask) {
    TComEvents Events;
    for (const TEventRoute& Route : HandlerOrder)
        if (Mask & Route.Flag)
            Events.Include(Route.Event);
    return Events;
}

void ProcessPortEvent(TCustomComPort& Port, std::uint32_t EventFlag) {
    for (const TEventRoute& Route : HandlerOrder)
        if (Route.Flag == EventFlag)
            (Port.*Route.Process)();
}

TComThread::TComThread(TCustomComPort& Port, unsigned Generation)
    : FPort(Port), FHandle(Port.FHandle), FGeneration(Generation) {
    platform::SetCommMask(FHandle, EventsToMask(Port.Events()));
}

void TComThread::Start() {
    const std::lock_guard Guard(FStartLock);
    FThread = std::thread([this] {
        // Runs once FThread is stored.
        { const std::lock_guard Started(FStartLock); }
        Execute();
    });
}

TComThread::~TComThread() {
    if (!FThread.joinable())
        return;
    SignalStop();
    if (platform::IsUserInterfaceThread())
        platform::WaitSynchronizing([this] { return FFinished.load(); });
    FThread.join();
}

void TComThread::SignalStop() {
    FStopEvent.Set();
    std::this_thread::yield();
}

bool TComThread::DispatchingHere() const {
    return FDispatcher.load() == std::this_thread::get_id();
}

void TComThread::Abandon(std::unique_ptr<TComThread> Thread) {
    TComThread& Self = *Thread;
    Self.ExitSteps();
    Self.FAbandoned = true;
    Self.FThread.detach();
    Self.FSelf = std::move(Thread);
    Self.SignalStop();
}

void TComThread::Execute() {
    try {
        WaitForEvents();
    } catch (...) {
        FFailure = std::current_exception();
    }
    // Abandoned, the thread leaves the device and the port alone: the port may already be
    // open again, on a new device.
    if (FAbandoned) {
        const std::unique_ptr<TComThread> Self = std::move(FSelf);
        return;
    }
    ExitSteps();
    if (FFailure && !FStopEvent.IsSet()) {
        TCustomComPort* const Port = &FPort;
        QMetaObject::invokeMethod(
            Port,
            [Port, Generation = FGeneration, Failure = FFailure] {
                Port->EventThreadFailed(Generation, Failure);
            },
            Qt::QueuedConnection);
    }
    FFinished = true;
    platform::NotifySynchronizeWaiters();
}

void TComThread::WaitForEvents() {
    while (!FStopEvent.IsSet()) {
        std::uint32_t Mask = 0;
        switch (platform::WaitCommEvent(FHandle, FStopEvent, Mask)) {
        case platform::TCommWaitResult::Stopped:
            return;
        case platform::TCommWaitResult::Failed:
            throw EComPort(ceWaitFailed, static_cast<std::int32_t>(platform::GetLastError()));
        case platform::TCommWaitResult::Events:
            FPendingEvents = MaskToEvents(Mask);
            GatherFollowingBytes();
            DispatchEvents();
            FDispatchedAt = std::chrono::steady_clock::now();
        }
    }
}

void TComThread::GatherFollowingBytes() {
    if (FPendingEvents == TComEvents{evRxChar} &&
        std::chrono::steady_clock::now() - FDispatchedAt < GatherTime)
        FStopEvent.Wait(static_cast<int>(GatherTime.count()));
}

void TComThread::DispatchEvents() {
    switch (FPort.SyncMethod()) {
    case smThreadSync:
        platform::Synchronize([this] { CallEventHandlers(); });
        break;
    case smWindowSync:
        SendEventMessages();
        break;
    case smNone:
        CallEventHandlers();
        break;
    }
}

void TComThread::CallEventHandlers() {
    FDispatcher = std::this_thread::get_id();
    const platform::TScopeGuard Unmark([this] { FDispatcher = std::thread::id(); });
    // A stop means the port was closed from a handler: it may be open again, or gone.
    for (const TEventRoute& Route : HandlerOrder)
        if (FPendingEvents.Contains(Route.Event) && !FStopEvent.IsSet() && FPort.Connected() &&
            !FPort.FClosing)
            (FPort.*Route.Process)();
}

void TComThread::SendEventMessages() {
    for (const TEventRoute& Route : HandlerOrder) {
        if (!FPendingEvents.Contains(Route.Event))
            continue;
        // The notification object replies before it runs the routine, so the thread goes on
        // while the handler runs; a stop request ends the wait for the reply.
        auto Reply = std::make_shared<platform::TEventObject>();
        TCustomComPort* const Port = &FPort;
        QMetaObject::invokeMethod(
            FPort.FNotifier.get(),
            [Port, Reply, Flag = Route.Flag] {
                Reply->Set();
                Port->HandlePortMessage(Flag);
            },
            Qt::QueuedConnection);
        if (platform::WaitForAny({Reply.get(), &FStopEvent}) != 0)
            return;
    }
}

void TComThread::ExitSteps() {
    platform::SetCommMask(FHandle, 0);
    // After a failure the bytes received before it may still wait for a handler that was
    // already sent its message; they are kept for it.
    if (!FFailure)
        platform::PurgeComm(FHandle, platform::PURGE_TXCLEAR | platform::PURGE_RXCLEAR);
}
