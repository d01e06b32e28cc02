#include "phone/PhoneServer.h"

#include "phone/ConnectionGate.h"
#include "phone/PhoneClient.h"

#include <QFile>
#include <QRegularExpression>
#include <QtHttpServer/QHttpServerRequest>
#include <QtHttpServer/QHttpServerResponder>
#include <QtWebSockets/QWebSocket>
#include <algorithm>
#include <stdexcept>

namespace {

using TStatus = QHttpServerResponder::StatusCode;
using THeaders = std::vector<std::pair<QByteArray, QByteArray>>;

// Compiled into the program, so that the page works on a range without the internet.
QByteArray PageFile(const char* Name) {
    QFile File(QStringLiteral(":/phone/") + QLatin1String(Name));
    if (!File.open(QIODevice::ReadOnly))
        throw std::runtime_error(std::string("The phone page lacks its file ") + Name);
    return File.readAll();
}

struct TPageFile {
    const char* Name;
    const char* Type;
};

constexpr TPageFile PageFiles[] = {{"readout.css", "text/css; charset=utf-8"},
                                   {"readout.js", "text/javascript; charset=utf-8"},
                                   {"icon.png", "image/png"}};

// The Host header as the phone wrote it, when it is a host and port and nothing else: the page's
// WebSocket goes there, and only there.
QByteArray WebSocketSource(const QHttpServerRequest& Request) {
    static const QRegularExpression HostAndPort(
        QStringLiteral(R"(^([A-Za-z0-9.-]+|\[[0-9A-Fa-f:.]+\])(:[0-9]{1,5})?$)"));
    const QByteArray Host = Request.value("Host");
    if (!HostAndPort.match(QString::fromLatin1(Host)).hasMatch())
        return {};
    return " ws://" + Host;
}

// Nothing is cached (the token is in every address), nothing is sent on to another site, and
// the page may load nothing but its own files.
THeaders SecurityHeaders(const QHttpServerRequest& Request) {
    return {{"Cache-Control", "no-store"},
            {"Referrer-Policy", "no-referrer"},
            {"X-Content-Type-Options", "nosniff"},
            {"X-Frame-Options", "DENY"},
            {"Cross-Origin-Resource-Policy", "same-origin"},
            {"Content-Security-Policy",
             "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
             "connect-src 'self'" +
                 WebSocketSource(Request) +
                 "; base-uri 'none'; form-action 'none'; frame-ancestors 'none'"}};
}

bool AsksForWebSocket(const QHttpServerRequest& Request) {
    return Request.value("Upgrade").compare("websocket", Qt::CaseInsensitive) == 0;
}

bool Reads(const QHttpServerRequest& Request) {
    return Request.method() == QHttpServerRequest::Method::Get ||
           Request.method() == QHttpServerRequest::Method::Head;
}

} // namespace

struct TPhoneServer::TAnswer {
    TStatus Status;
    QByteArray Type;
    QByteArray Body;
    THeaders Extra;
};

TPhoneServer::TPhoneServer(const QHostAddress& Address, quint16 Port, const TShareLimits& Limits)
    : FLimits(Limits), FToken(TShareToken::Random()), FGate(new TConnectionGate(Limits, this)) {
    Q_INIT_RESOURCE(page);
    if (!FGate->listen(Address, Port))
        throw std::runtime_error(FGate->errorString().toStdString());
    bind(FGate);
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this, [this] { TakePhones(); });
}

// The phones, also those refused or gone and not yet deleted, go before the server that handed
// them over, and the door closes first so that none comes meanwhile.
TPhoneServer::~TPhoneServer() {
    FGate->close();
    FPhones.clear();
    qDeleteAll(findChildren<TPhoneClient*>(Qt::FindDirectChildrenOnly));
}

quint16 TPhoneServer::Port() const {
    return FGate->serverPort();
}

int TPhoneServer::OpenConnections() const {
    return FGate->OpenConnections();
}

std::int64_t TPhoneServer::MostUnsent() const {
    std::int64_t Most = 0;
    for (const TPhoneClient* Phone : FPhones)
        Most = std::max(Most, Phone->Unsent());
    return Most;
}

void TPhoneServer::Publish(TPhoneReadout Readout) {
    FReadout = std::move(Readout);
    // A phone that fails as it is sent to goes from the list meanwhile.
    for (TPhoneClient* Phone : std::vector<TPhoneClient*>(FPhones))
        Phone->SendReadout(FReadout.Message);
}

// "/<token>/<name>"; a request without the token is refused by missingHandler. A WebSocket is
// taken over by the server once this says yes without answering.
bool TPhoneServer::handleRequest(const QHttpServerRequest& Request, QTcpSocket* Socket) {
    const QStringList Parts = Request.url().path().split(QLatin1Char('/'));
    if (Parts.size() < 2 || !FToken.Matches(Parts[1].toStdString()))
        return false;
    if (AsksForWebSocket(Request))
        return Parts.size() == 3 && Parts[2] == QLatin1String("live") &&
               Request.method() == QHttpServerRequest::Method::Get;
    // Called from the connection's event: a page file that cannot be read fails this request
    // alone.
    try {
        Send(Request, Socket, Answer(Request, Parts));
    } catch (const std::exception&) {
        Send(Request, Socket, {TStatus::InternalServerError, {}, {}, {}});
    }
    return true;
}

void TPhoneServer::missingHandler(const QHttpServerRequest& Request, QTcpSocket* Socket) {
    Send(Request, Socket, {TStatus::Forbidden, {}, {}, {}});
}

TPhoneServer::TAnswer TPhoneServer::Answer(const QHttpServerRequest& Request,
                                           const QStringList& Parts) const {
    if (!Reads(Request))
        return {TStatus::MethodNotAllowed, {}, {}, {{"Allow", "GET, HEAD"}}};
    if (Parts.size() == 2)
        return {TStatus::Found, {}, {}, {{"Location", QByteArray::fromStdString(PagePath())}}};
    const QString Name = Parts.mid(2).join(QLatin1Char('/'));
    if (Name.isEmpty())
        return {TStatus::Ok, "text/html; charset=utf-8", Page(), {}};
    for (const TPageFile& File : PageFiles)
        if (Name == QLatin1String(File.Name))
            return {TStatus::Ok, File.Type, PageFile(File.Name), {}};
    return {TStatus::NotFound, {}, {}, {}};
}

void TPhoneServer::Send(const QHttpServerRequest& Request, QTcpSocket* Socket,
                        const TAnswer& Answer) const {
    QHttpServerResponder Responder = makeResponder(Request, Socket);
    Responder.writeStatusLine(Answer.Status);
    for (const auto& [Key, Value] : SecurityHeaders(Request))
        Responder.writeHeader(Key, Value);
    for (const auto& [Key, Value] : Answer.Extra)
        Responder.writeHeader(Key, Value);
    if (!Answer.Type.isEmpty())
        Responder.writeHeader("Content-Type", Answer.Type);
    Responder.writeHeader("Content-Length", QByteArray::number(Answer.Body.size()));
    const bool Head = Request.method() == QHttpServerRequest::Method::Head;
    Responder.writeBody(Head ? QByteArray() : Answer.Body);
}

// The page in the user's language before it hears from the program.
QByteArray TPhoneServer::Page() const {
    const auto Escaped = [](const std::string& Text) {
        return QString::fromStdString(Text).toHtmlEscaped().toUtf8();
    };
    QByteArray Html = PageFile("readout.html");
    Html.replace("{{lang}}", Escaped(FReadout.Language));
    Html.replace("{{connecting}}", Escaped(FReadout.Connecting));
    return Html;
}

// A phone over the bound is told to come back later, which its page does by itself.
void TPhoneServer::TakePhones() {
    while (hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> Socket = nextPendingWebSocketConnection();
        FGate->Upgraded(Socket->peerAddress(), Socket->peerPort());
        auto* Phone = new TPhoneClient(std::move(Socket), FLimits);
        Phone->setParent(this);
        Phone->Gone = [this](TPhoneClient& Gone) { Forget(Gone); };
        if (Phones() >= FLimits.Phones) {
            Phone->Refuse();
            continue;
        }
        FPhones.push_back(Phone);
        Phone->SendReadout(FReadout.Message);
        if (PhonesChanged)
            PhonesChanged();
    }
}

// Deleted later: the phone is told from inside its own connection's signal.
void TPhoneServer::Forget(TPhoneClient& Phone) {
    const auto Found = std::find(FPhones.begin(), FPhones.end(), &Phone);
    Phone.deleteLater();
    if (Found == FPhones.end())
        return;
    FPhones.erase(Found);
    if (PhonesChanged)
        PhonesChanged();
}
