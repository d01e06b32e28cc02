#pragma once

// Ctrl+C in the terminal (SIGINT), the end of a session (SIGTERM) and the closing of the terminal
// that started the program (SIGHUP) end it the way its close button does: the signal is turned
// into a call on the user-interface thread. A signal the program was started with ignored, as
// "nohup tarvex" ignores SIGHUP, stays ignored. A write to a connection that has gone (SIGPIPE)
// fails instead of killing the program, so that a lost display ends it through its close.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace platform {

class TTerminationSignals : public QObject {
public:
    // OnSignal runs on the user-interface thread for each of these signals that arrives while
    // this object lives. One such object at a time.
    explicit TTerminationSignals(std::function<void()> OnSignal, QObject* Parent = nullptr);
    ~TTerminationSignals() override;

private:
    void Received();

    std::function<void()> FOnSignal;
    int FPipe[2];
    QSocketNotifier* FNotifier;
};

} // namespace platform
