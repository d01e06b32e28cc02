#include "phone/ConnectionGate.h"

#include <QTcpSocket>
#include <algorithm>

namespace {

// A phone on a slow network still takes a read-out at once; more would only hide a stalled
// phone from the read-out's own bound.
constexpr int SendBufferBytes = 64 * 1024;

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
    if (!Socket->setSocketDescriptor(Descriptor) ||
        static_cast<int>(FConnections.size()) >= FLimits.Connections) {
        Socket->abort();
        Socket->deleteLater();
        return;
    }
    Socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, SendBufferBytes);
    Watch(Socket);
    addPendingConnection(Socket);
}

// Connected before the web server's own handlers, so that a request over its bound is closed
// before the server reads it.
void TConnectionGate::Watch(QTcpSocket* Socket) {
    FConnections.push_back({Socket, 0, std::chrono::steady_clock::now(), false});
    connect(Socket, &QTcpSocket::readyRead, this, [this, Socket] { Received(Socket); });
    connect(Socket, &QTcpSocket::bytesWritten, this, [this, Socket] { Answered(Socket); });
    connect(Socket, &QTcpSocket::disconnected, Socket, &QObject::deleteLater);
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
    Connection->LastActivity = std::chrono::steady_clock::now();
    Connection->Unanswered += Socket->bytesAvailable();
    if (Connection->Unanswered > FLimits.RequestBytes)
        Socket->abort();
}

void TConnectionGate::Answered(QTcpSocket* Socket) {
    if (TConnection* Connection = Find(Socket)) {
        Connection->Unanswered = 0;
        Connection->LastActivity = std::chrono::steady_clock::now();
    }
}

void TConnectionGate::CloseIdle() {
    const auto Now = std::chrono::steady_clock::now();
    for (TConnection& Connection : FConnections)
        if (Open(Connection.Socket) && !Connection.Upgraded &&
            Now - Connection.LastActivity > FLimits.IdleRequest)
            Connection.Socket->abort();
    ForgetClosed();
}

void TConnectionGate::ForgetClosed() {
    std::erase_if(FConnections, [](const TConnection& C) { return !Open(C.Socket); });
}
