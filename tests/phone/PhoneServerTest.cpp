#include "phone/PhoneServer.h"

#include "tests/support/WaitUntil.h"

#include <QTcpSocket>
#include <QWebSocket>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace std::chrono_literals;

// Short times and few places, so that every bound is reached within a test.
TShareLimits TestLimits() {
    TShareLimits Limits;
    Limits.Phones = 2;
    Limits.Connections = 4;
    Limits.IdleRequest = 300ms;
    Limits.Heartbeat = 50ms;
    Limits.Silence = 400ms;
    return Limits;
}

TPhoneReadout Readout(const std::string& Count) {
    return {"cs", "P\u0159ipojuji\u2026",
            QByteArray(R"({"type":"readout","count":")") + QByteArray::fromStdString(Count) +
                "\"}"};
}

std::unique_ptr<QTcpSocket> Connected(quint16 Port) {
    auto Socket = std::make_unique<QTcpSocket>();
    Socket->connectToHost(QHostAddress::LocalHost, Port);
    EXPECT_TRUE(WaitUntil([&] { return Socket->state() == QAbstractSocket::ConnectedState; }));
    return Socket;
}

struct TReply {
    int Status = 0;
    QByteArray Head, Body;
};

// Reads one answer, its body too unless it answers HEAD; a connection closed without one gives
// status 0.
TReply Read(QTcpSocket& Socket, bool Head = false) {
    QByteArray Data;
    const auto Complete = [&] {
        Data += Socket.readAll();
        const qsizetype End = Data.indexOf("\r\n\r\n");
        if (End < 0)
            return Socket.state() != QAbstractSocket::ConnectedState;
        const qsizetype Field = Data.indexOf("Content-Length: ");
        const qsizetype Length =
            Field < 0 || Head ? 0 : Data.mid(Field + 16).split('\r')[0].toLongLong();
        return Data.size() >= End + 4 + Length || Data.startsWith("HTTP/1.1 101");
    };
    EXPECT_TRUE(WaitUntil(Complete));
    const qsizetype End = Data.indexOf("\r\n\r\n");
    if (End < 0)
        return {};
    return {Data.mid(9, 3).toInt(), Data.left(End), Data.mid(End + 4)};
}

TReply Exchange(quint16 Port, const QByteArray& Request) {
    const auto Socket = Connected(Port);
    Socket->write(Request);
    return Read(*Socket, Request.startsWith("HEAD"));
}

QByteArray Get(const std::string& Path, const QByteArray& Method = "GET",
               const QByteArray& Extra = {}) {
    return Method + " " + QByteArray::fromStdString(Path) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
           Extra + "\r\n";
}

const QByteArray Upgrade = "Connection: Upgrade\r\nUpgrade: websocket\r\nSec-WebSocket-Version: "
                           "13\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n";

class PhoneServerTest : public testing::Test {
protected:
    std::unique_ptr<TPhoneServer> Server =
        std::make_unique<TPhoneServer>(QHostAddress::LocalHost, 0, TestLimits());
    std::string Token = Server->Token().Text();
};

// Without the right token every request gets the same empty refusal, whatever it asks for.
TEST_F(PhoneServerTest, OnlyTheTokenOpensThePageAndItsUpdates) {
    Server->Publish(Readout("0"));
    const std::string Wrong = std::string(Token).replace(31, 1, Token[31] == 'a' ? "b" : "a");
    struct {
        QByteArray Request;
        int Status;
        const char* Contains;
    } const Rows[] = {
        {Get("/"), 403, ""},
        {Get("/favicon.ico"), 403, ""},
        {Get("/" + Wrong + "/"), 403, ""},
        {Get("/" + Token.substr(0, 31) + "/"), 403, ""},
        {Get("/" + Wrong + "/live", "GET", Upgrade), 403, ""},
        {Get("/" + Token + "/"), 200, "<html lang=\"cs\""},
        {Get("/" + Token + "/", "HEAD"), 200, ""},
        {Get("/" + Token), 302, ""},
        {Get("/" + Token + "/readout.js"), 200, "WebSocket"},
        {Get("/" + Token + "/other"), 404, ""},
        {Get("/" + Token + "/", "POST", "Content-Length: 0\r\n"), 405, ""},
        {Get("/" + Token + "/live", "GET", Upgrade), 101, ""},
    };
    for (const auto& Row : Rows) {
        SCOPED_TRACE(Row.Request.toStdString());
        const TReply Reply = Exchange(Server->Port(), Row.Request);
        EXPECT_EQ(Reply.Status, Row.Status);
        EXPECT_TRUE(Reply.Body.contains(Row.Contains));
        if (Row.Status == 403) {
            EXPECT_TRUE(Reply.Body.isEmpty());
        }
        if (Row.Status == 200 || Row.Status == 403) {
            EXPECT_TRUE(Reply.Head.contains("Cache-Control: no-store"));
            EXPECT_TRUE(Reply.Head.contains("Content-Security-Policy: default-src 'none'"));
        }
    }
}

TEST_F(PhoneServerTest, AnOldTokenOpensNothingOnceSharingWasSwitchedOffAndOn) {
    const quint16 Port = Server->Port();
    Server.reset();
    Server = std::make_unique<TPhoneServer>(QHostAddress::LocalHost, Port, TestLimits());
    EXPECT_NE(Server->Token().Text(), Token);
    EXPECT_EQ(Exchange(Port, Get("/" + Token + "/")).Status, 403);
    EXPECT_EQ(Exchange(Port, Get(Server->PagePath())).Status, 200);
}

// Each bound closes the connection that broke it; the server goes on serving the others.
TEST_F(PhoneServerTest, ARequestOverABoundClosesOnlyItsConnection) {
    const QByteArray Page = Get("/" + Token + "/");
    const QByteArray Rows[] = {
        Get("/" + Token + "/", "GET", "X-Padding: " + QByteArray(20000, 'a') + "\r\n"),
        "NOT HTTP AT ALL\r\n\r\n",
        "GET /" + QByteArray::fromStdString(Token) + "/ HTTP/1.1\r\nHost: 127.0.0.1\r\n",
    };
    for (const QByteArray& Request : Rows) {
        SCOPED_TRACE(Request.left(60).toStdString());
        const auto Bad = Connected(Server->Port());
        Bad->write(Request);
        EXPECT_TRUE(WaitUntil([&] { return Bad->state() == QAbstractSocket::UnconnectedState; }));
        EXPECT_FALSE(Bad->readAll().contains("200 OK"));
        const auto Good = Connected(Server->Port());
        Good->write(Page);
        EXPECT_EQ(Read(*Good).Status, 200);
    }
}

// The connections still asking leave room for the phones.
TEST_F(PhoneServerTest, ConnectionsOverTheBoundAreClosedAtOnce) {
    std::vector<std::unique_ptr<QTcpSocket>> Held;
    for (int i = 0; i < TestLimits().Connections - TestLimits().Phones; ++i)
        Held.push_back(Connected(Server->Port()));
    ASSERT_TRUE(WaitUntil([&] { return Server->OpenConnections() == 2; }));
    QTcpSocket Extra;
    Extra.connectToHost(QHostAddress::LocalHost, Server->Port());
    bool Closed = false;
    QObject::connect(&Extra, &QTcpSocket::disconnected, [&] { Closed = true; });
    EXPECT_TRUE(WaitUntil([&] { return Closed; }));
    Held.front()->write(Get("/" + Token + "/"));
    EXPECT_EQ(Read(*Held.front()).Status, 200);
}

std::unique_ptr<QWebSocket> Phone(const TPhoneServer& Server, QStringList& Heard) {
    auto Socket = std::make_unique<QWebSocket>();
    QObject::connect(Socket.get(), &QWebSocket::textMessageReceived,
                     [&Heard](const QString& Message) { Heard.append(Message); });
    Socket->open(QUrl(QString::fromStdString("ws://127.0.0.1:" + std::to_string(Server.Port()) +
                                             Server.PagePath() + "live")));
    return Socket;
}

bool HeardReadout(const QStringList& Heard, const char* Count) {
    return !Heard.isEmpty() && Heard.filter("readout")
                                   .value(Heard.filter("readout").size() - 1)
                                   .contains(QString("\"count\":\"") + Count + "\"");
}

// A phone hears the read-out as it connects and after every change; one over the bound is asked
// to come back later; a phone that stops reading holds no more than its bound and is let go,
// while the others follow every read-out.
TEST_F(PhoneServerTest, PhonesFollowTheReadoutAndAStalledOneIsLetGo) {
    Server->Publish(Readout("1"));
    QStringList First, Second, Third;
    const auto A = Phone(*Server, First);
    ASSERT_TRUE(WaitUntil([&] { return HeardReadout(First, "1"); }));
    const auto Stalled = Connected(Server->Port());
    Stalled->setReadBufferSize(1);
    Stalled->write(Get("/" + Token + "/live", "GET", Upgrade));
    ASSERT_TRUE(WaitUntil([&] { return Server->Phones() == 2; }));
    const auto B = Phone(*Server, Third);
    QWebSocketProtocol::CloseCode Refusal{};
    QObject::connect(B.get(), &QWebSocket::disconnected, [&] { Refusal = B->closeCode(); });
    EXPECT_TRUE(WaitUntil([&] { return Refusal == 4013; }));
    const QByteArray Large(4000, 'x');
    for (int i = 0; i < 2000; ++i) {
        Server->Publish({"cs", "", R"({"type":"readout","pad":")" + Large + "\"}"});
        EXPECT_LE(Server->MostUnsent(), TestLimits().UnsentBytes + 2 * Large.size());
    }
    Server->Publish(Readout("2"));
    EXPECT_TRUE(WaitUntil([&] { return HeardReadout(First, "2"); }));
    EXPECT_TRUE(WaitUntil([&] { return Server->Phones() == 1; }));
    EXPECT_TRUE(Second.isEmpty());
}

} // namespace
