#include "phone/ConnectionGate.h"

#include <QTcpSocket>
#include <algorithm>

namespace {

// A phone on a slow network still takes a read-out at once; more would only hide a stalled
// phone from the read-out's own bound.
constexpr int SendBufferBytes = 64 * 1024;

// A browser opens up to six connections to one server at once.
constexpr int ConnectionsPerAddress = 8;

bool Open(const QPointer<QTcpSocket>& Socket) {
    return Socket && Socket->state() == QAbstractSocket::ConnectedState;
}

} // namespace

TConnectionGate::TConnectionGate(const TShareLimits& Limits, QObject* Parent)
    : QTcpServer(Parent), FLimits(Limits) {
    FIdleCheck.setInterval(std::max<std::chrono::milliseconds>(FLimits.IdleRequest / 4,
                                                               std::chrono::milliseconds(10)));
    connect(&FIdleCheck, &QTimer::timeout, this, [this] { CloseIdle(); });
    FIdleCheck.start();
}

int TConnectionGate::OpenConnections() const {
    return static_cast<int>(std::count_if(FConnections.begin(), FConnections.end(),
                                          [](const TConnection& C) { return Open(C.Socket); }));
}

void TConnectionGate::Upgraded(const QHostAddress& Address, quint16 Port) {
    for (TConnection& Connection : FConnections)
        if (Open(Connection.Socket) && Connection.Socket->peerPort() == Port &&
            Connection.Socket->peerAddress().isEqual(Address))
            Connection.Upgraded = true;
}

void TConnectionGate::incomingConnection(qintptr Descriptor) {
    ForgetClosed();
    auto* Socket = new QTcpSocket(this);
    if (!Socket->setSocketDescriptor(Descriptor) || !Admits(Socket->peerAddress())) {
        Socket->abort();
        Socket->deleteLater();
        return;
    }
    Socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, SendBufferBytes);
    Watch(Socket);
    addPendingConnection(Socket);
}

bool TConnectionGate::Admits(const QHostAddress& Address) const {
    int Asking = 0, FromAddress = 0;
    for (const TConnection& Connection : FConnections) {
        Asking += Connection.Upgraded ? 0 : 1;
        FromAddress += !Connection.Upgraded && Connection.Socket->peerAddress().isEqual(Address);
    }
    return static_cast<int>(FConnections.size()) < FLimits.Connections &&
           Asking < FLimits.Connections - FLimits.Phones && FromAddress < ConnectionsPerAddress;
}

// Connected before the web server's own handlers, so that a request over its bound is closed
// before the server reads it. Qt's server deletes the socket once it is closed.
void TConnectionGate::Watch(QTcpSocket* Socket) {
    FConnections.push_back({Socket, 0, std::chrono::steady_clock::now(), false});
    connect(Socket, &QTcpSocket::readyRead, this, [this, Socket] { Received(Socket); });
    connect(Socket, &QTcpSocket::bytesWritten, this, [this, Socket] { Answered(Socket); });
}

TConnectionGate::TConnection* TConnectionGate::Find(const QTcpSocket* Socket) {
    const auto Found = std::find_if(FConnections.begin(), FConnections.end(),
                                    [Socket](const TConnection& C) { return C.Socket == Socket; });
    return Found == FConnections.end() ? nullptr : &*Found;
}

void TConnectionGate::Received(QTcpSocket* Socket) {
    TConnection* Connection = Find(Socket);
    if (!Connection)
        return;
    if (Connection->Unanswered == 0)
        Connection->Since = std::chrono::steady_clock::now();
    Connection->Unanswered += Socket->bytesAvailable();
    if (Connection->Unanswered > FLimits.RequestBytes)
        Socket->abort();
}

void TConnectionGate::Answered(QTcpSocket* Socket) {
    if (TConnection* Connection = Find(Socket)) {
        Connection->Unanswered = 0;
        Connection->Since = std::chrono::steady_clock::now();
    }
}

void TConnectionGate::CloseIdle() {
    const auto Now = std::chrono::steady_clock::now();
    for (TConnection& Connection : FConnections)
        if (Open(Connection.Socket) && !Connection.Upgraded &&
            Now - Connection.Since > FLimits.IdleRequest)
            Connection.Socket->abort();
    ForgetClosed();
}

void TConnectionGate::ForgetClosed() {
    std::erase_if(FConnections, [](const TConnection& C) { return !Open(C.Socket); });
}
