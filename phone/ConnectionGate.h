#pragma once

// The door of the shared read-out: it takes connections from the network for the web server and
// keeps their number, their requests' size and their idleness within bounds. A connection over
// a bound is closed; no other connection notices.

#include "phone/ShareLimits.h"

#include <QPointer>
#include <QTcpServer>
#include <QTimer>
#include <chrono>
#include <vector>

class QTcpSocket;

class TConnectionGate : public QTcpServer {
public:
    TConnectionGate(const TShareLimits& Limits, QObject* Parent);

    int OpenConnections() const;
    // The connection from Address:Port now carries a phone's read-out: its idleness and size are
    // the phone's business from here on.
    void Upgraded(const QHostAddress& Address, quint16 Port);

protected:
    void incomingConnection(qintptr Descriptor) override;

private:
    struct TConnection {
        QPointer<QTcpSocket> Socket;
        // Bytes received since the last answer: the request being read.
        std::int64_t Unanswered = 0;
        std::chrono::steady_clock::time_point LastActivity;
        bool Upgraded = false;
    };

    void Watch(QTcpSocket* Socket);
    TConnection* Find(const QTcpSocket* Socket);
    void Received(QTcpSocket* Socket);
    void Answered(QTcpSocket* Socket);
    void CloseIdle();
    void ForgetClosed();

    const TShareLimits FLimits;
    std::vector<TConnection> FConnections;
    QTimer FIdleCheck;
};
