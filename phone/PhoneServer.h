#pragma once

// The web server of the shared read-out. A phone that opens the address with the token gets the
// read-out's page and then follows every shot over a WebSocket; whoever lacks the token gets 403
// and learns nothing more, not even what is shared. The page only reads: nothing a phone sends
// changes anything in the program. The server runs in the program's own event loop and lives
// as long as sharing is on; switching sharing on again makes a new server with a new token.

#include "phone/PhoneReadout.h"
#include "phone/ShareLimits.h"
#include "phone/ShareToken.h"

#include <QHostAddress>
#include <QtHttpServer/QAbstractHttpServer>
#include <functional>
#include <string>
#include <vector>

class TConnectionGate;
class TPhoneClient;

class TPhoneServer : public QAbstractHttpServer {
public:
    // Listens on Port (0 for any free one) at Address; raises std::runtime_error with the
    // reason when the port cannot be had.
    TPhoneServer(const QHostAddress& Address, quint16 Port, const TShareLimits& Limits = {});
    ~TPhoneServer() override;

    quint16 Port() const;
    const TShareToken& Token() const { return FToken; }
    // What a phone opens: "/" and the token, then "/".
    std::string PagePath() const { return "/" + FToken.Text() + "/"; }
    int Phones() const { return static_cast<int>(FPhones.size()); }
    int OpenConnections() const;
    // The most that any one phone has waiting to be sent.
    std::int64_t MostUnsent() const;

    // Told when a phone came or went.
    std::function<void()> PhonesChanged;

    // Every page shows Readout from now on; the connected ones at once.
    void Publish(TPhoneReadout Readout);

protected:
    bool handleRequest(const QHttpServerRequest& Request, QTcpSocket* Socket) override;
    void missingHandler(const QHttpServerRequest& Request, QTcpSocket* Socket) override;

private:
    struct TAnswer;
    TAnswer Answer(const QHttpServerRequest& Request, const QStringList& Parts) const;
    void Send(const QHttpServerRequest& Request, QTcpSocket* Socket, const TAnswer& Answer) const;
    QByteArray Page() const;
    void TakePhones();
    void Forget(TPhoneClient& Phone);

    const TShareLimits FLimits;
    const TShareToken FToken;
    TConnectionGate* const FGate;
    std::vector<TPhoneClient*> FPhones;
    TPhoneReadout FReadout{"en", "Connecting\u2026", {}};
};
