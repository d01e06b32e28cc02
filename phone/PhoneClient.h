#pragma once

// One phone that follows the read-out over its WebSocket. Every read-out holds the whole
// picture, so a phone that takes them slowly misses none that matters: while more than a bound
// waits unsent, only the newest read-out waits behind it, and the older ones are dropped. A
// phone that leaves the heartbeat unanswered is let go, so that phones gone from the network do
// not fill the places.

#include "phone/ShareLimits.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>

class QWebSocket;

class TPhoneClient : public QObject {
public:
    TPhoneClient(std::unique_ptr<QWebSocket> Socket, const TShareLimits& Limits);
    ~TPhoneClient() override;

    // Told once when the phone has gone, whichever side ended it; the owner may delete the
    // client from here.
    std::function<void(TPhoneClient&)> Gone;

    void SendReadout(const QByteArray& Message);
    // Bytes handed to the connection and not yet taken by the network.
    std::int64_t Unsent() const { return FUnsent; }
    // Asks the phone to come back later (too many phones) and ends the connection.
    void Refuse();

private:
    void Send(const QByteArray& Message);
    void Written(qint64 Bytes);
    void Beat();
    void End();

    std::unique_ptr<QWebSocket> FSocket;
    const TShareLimits FLimits;
    std::int64_t FUnsent = 0;
    QByteArray FWaiting;
    std::chrono::steady_clock::time_point FLastHeard;
    QTimer FHeartbeat;
    bool FGone = false;
};
