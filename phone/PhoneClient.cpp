#include "phone/PhoneClient.h"

#include <QWebSocket>

namespace {

// What the page listens for while no shot comes: a page that hears nothing for a while knows
// its connection is dead (a laptop that slept) and opens a new one.
const QByteArray BeatMessage = R"({"type":"beat"})";

// The page sends nothing; a frame larger than this is no page's.
constexpr qint64 IncomingBytes = 1024;

// "Too many phones, try again later", in the range of codes left to applications: Qt refuses
// the registered 1013.
constexpr int TryAgainLater = 4013;

// A frame from the server: its header (two bytes, and two or eight more for a long payload; a
// server does not mask), then the payload.
std::int64_t FrameBytes(std::int64_t Payload) {
    return Payload + 2 + (Payload < 126 ? 0 : Payload < 65536 ? 2 : 8);
}

} // namespace

TPhoneClient::TPhoneClient(std::unique_ptr<QWebSocket> Socket, const TShareLimits& Limits)
    : FSocket(std::move(Socket)), FLimits(Limits), FLastHeard(std::chrono::steady_clock::now()) {
    FSocket->setMaxAllowedIncomingFrameSize(IncomingBytes);
    FSocket->setMaxAllowedIncomingMessageSize(IncomingBytes);
    connect(FSocket.get(), &QWebSocket::bytesWritten, this, [this](qint64 N) { Written(N); });
    connect(FSocket.get(), &QWebSocket::pong, this,
            [this] { FLastHeard = std::chrono::steady_clock::now(); });
    connect(FSocket.get(), &QWebSocket::disconnected, this, [this] { End(); });
    FHeartbeat.setInterval(FLimits.Heartbeat);
    connect(&FHeartbeat, &QTimer::timeout, this, [this] { Beat(); });
    FHeartbeat.start();
}

TPhoneClient::~TPhoneClient() {
    FSocket->disconnect(this);
    FSocket->abort();
}

void TPhoneClient::SendReadout(const QByteArray& Message) {
    if (FUnsent > FLimits.UnsentBytes)
        FWaiting = Message;
    else
        Send(Message);
}

void TPhoneClient::Refuse() {
    FHeartbeat.stop();
    FSocket->close(static_cast<QWebSocketProtocol::CloseCode>(TryAgainLater));
}

void TPhoneClient::Send(const QByteArray& Message) {
    FUnsent += FrameBytes(Message.size());
    FSocket->sendTextMessage(QString::fromUtf8(Message));
}

void TPhoneClient::Written(qint64 Bytes) {
    FUnsent = std::max<std::int64_t>(0, FUnsent - Bytes);
    if (FUnsent <= FLimits.UnsentBytes && !FWaiting.isEmpty())
        Send(std::exchange(FWaiting, {}));
}

void TPhoneClient::Beat() {
    if (std::chrono::steady_clock::now() - FLastHeard > FLimits.Silence) {
        FSocket->abort();
        End();
        return;
    }
    FSocket->ping();
    FUnsent += FrameBytes(0);
    if (FUnsent == FrameBytes(0))
        Send(BeatMessage);
}

void TPhoneClient::End() {
    if (std::exchange(FGone, true))
        return;
    FHeartbeat.stop();
    if (Gone)
        Gone(*this);
}
