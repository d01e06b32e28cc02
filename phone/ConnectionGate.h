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
        // Bytes received since the last answer: the request being read, and when its first
        // byte came, or when the last answer went while none is being read.
        std::int64_t Unanswered = 0;
        std::chrono::steady_clock::time_point Since;
        bool Upgraded = false;
    };

    // Whether one more connection from Address keeps within the bounds: the connections still
    // asking leave room for the phones, and no one address takes more than a browser opens.
    bool Admits(const QHostAddress& Address) const;
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
