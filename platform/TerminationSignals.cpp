#include "platform/TerminationSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <stdexcept>
#include <unistd.h>

namespace platform {
namespace {

using THandler = void (*)(int);

constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};

// A signal handler may do almost nothing: it writes one byte that the event loop then sees.
int SignalPipe = -1;

void WriteSignal(int) {
    const int Saved = errno;
    const char Byte = 1;
    [[maybe_unused]] const ssize_t Written = write(SignalPipe, &Byte, 1);
    errno = Saved;
}

void Handle(int Signal, THandler Handler) {
    struct sigaction Action {};
    Action.sa_handler = Handler;
    sigemptyset(&Action.sa_mask);
    Action.sa_flags = SA_RESTART;
    sigaction(Signal, &Action, nullptr);
}

THandler CurrentHandler(int Signal) {
    struct sigaction Current {};
    sigaction(Signal, nullptr, &Current);
    return Current.sa_handler;
}

} // namespace

TTerminationSignals::TTerminationSignals(std::function<void()> OnSignal, QObject* Parent)
    : QObject(Parent), FOnSignal(std::move(OnSignal)) {
    if (pipe2(FPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("Cannot watch for termination signals");
    SignalPipe = FPipe[1];
    FNotifier = new QSocketNotifier(FPipe[0], QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, [this] { Received(); });
    for (const int Signal : Signals)
        if (CurrentHandler(Signal) != SIG_IGN)
            Handle(Signal, WriteSignal);
    // A write to a connection whose other end is gone (the X server, above all) must fail with
    // an error the program handles, ending it through its close, not kill it where it stands.
    Handle(SIGPIPE, SIG_IGN);
}

TTerminationSignals::~TTerminationSignals() {
    for (const int Signal : Signals)
        if (CurrentHandler(Signal) == WriteSignal)
            Handle(Signal, SIG_DFL);
    SignalPipe = -1;
    close(FPipe[0]);
    close(FPipe[1]);
}

void TTerminationSignals::Received() {
    char Bytes[16];
    while (read(FPipe[0], Bytes, sizeof Bytes) > 0)
        ;
    FOnSignal();
}

} // namespace platform
