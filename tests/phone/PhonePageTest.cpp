// The phone page in Debian's chromium, served by the read-out's server on loopback.

#include "phone/PhoneServer.h"
#include "tests/support/HeadlessChromium.h"
#include "tests/support/WaitUntil.h"
#include "text/UTranslator.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// Stands between the browser and the server like a Wi-Fi network that can drop: while cut,
// every connection through it ends and new ones are refused.
class TNetwork : public QTcpServer {
public:
    explicit TNetwork(quint16 ServerPort) : FServerPort(ServerPort) {
        listen(QHostAddress::LocalHost);
    }
    void Cut() {
        FCut = true;
        for (QTcpSocket* Socket : findChildren<QTcpSocket*>())
            Socket->abort();
    }
    void Restore() { FCut = false; }

protected:
    void incomingConnection(qintptr Descriptor) override {
        auto* Phone = new QTcpSocket(this);
        Phone->setSocketDescriptor(Descriptor);
        if (FCut) {
            Phone->abort();
            return;
        }
        auto* Laptop = new QTcpSocket(this);
        Laptop->connectToHost(QHostAddress::LocalHost, FServerPort);
        Relay(Phone, Laptop);
        Relay(Laptop, Phone);
    }

private:
    void Relay(QTcpSocket* From, QTcpSocket* To) {
        connect(From, &QTcpSocket::readyRead, To, [From, To] { To->write(From->readAll()); });
        connect(From, &QTcpSocket::disconnected, To, [To] { To->abort(); });
    }

    const quint16 FServerPort;
    bool FCut = false;
};

TPhoneReadout Readout(const TSeries& Series, int Language) {
    const TTranslator Translator;
    return PhoneReadoutOf(
        Series, [&](const std::string& Text) { return Translator.Translate(Text, Language); },
        TTranslator::LanguageCode(Language));
}

QString Url(quint16 Port, const std::string& Path) {
    return QString::fromStdString("http://127.0.0.1:" + std::to_string(Port) + Path);
}

QString Text(THeadlessChromium& Browser, const char* Selector) {
    return Browser
        .Evaluate(QStringLiteral("document.querySelector('%1').textContent").arg(Selector))
        .toString();
}

class PhonePageTest : public testing::Test {
protected:
    void Shoot(int Shots, int Language = LANG_CZECH) {
        for (int i = 0; i < Shots; ++i)
            Series.Append(TData("M/S", 170.0 + Series.Count()));
        Server.Publish(Readout(Series, Language));
    }

    TSeries Series;
    TPhoneServer Server{QHostAddress::LocalHost, 0};
    THeadlessChromium Browser;
};

TEST_F(PhonePageTest, AWrongTokenGetsForbiddenAndTheRightOneThePageInTheUsersLanguage) {
    Shoot(1);
    std::string Wrong = Server.PagePath();
    Wrong[1] = Wrong[1] == 'f' ? '0' : 'f';
    EXPECT_EQ(Browser.Open(Url(Server.Port(), Wrong)), 403);
    // The refusal itself is the only complaint: the page breaks none of its own rules.
    const QStringList Refused = Browser.Problems();
    EXPECT_EQ(Browser.Open(Url(Server.Port(), Server.PagePath())), 200);
    EXPECT_TRUE(Browser.WaitFor("document.querySelector('#count').textContent === '1'", 5s));
    EXPECT_EQ(Browser.Evaluate("document.documentElement.lang").toString(), "cs");
    EXPECT_EQ(Text(Browser, "[data-text=recent]"), QString::fromUtf8("Posledních 10 výstřelů"));
    EXPECT_EQ(Text(Browser, "#shot-speed"), "170.00 m/s");
    Shoot(1, LANG_GERMAN);
    EXPECT_TRUE(Browser.WaitFor("document.documentElement.lang === 'de'", 5s));
    EXPECT_EQ(Text(Browser, "[data-text=recent]"), QString::fromUtf8("Letzte 10 Schüsse"));
    EXPECT_EQ(Browser.Problems(), Refused) << Browser.Problems().join('\n').toStdString();
}

// Held upright or sideways, the read-out and the figures fit the screen's width, and a shot at
// the limit shows red as on the laptop.
TEST_F(PhonePageTest, UprightAndSidewaysTheReadoutFitsAndAShotAtTheLimitIsRed) {
    Series.SetSpeedLimit(171);
    Shoot(2);
    ASSERT_EQ(Browser.Open(Url(Server.Port(), Server.PagePath())), 200);
    ASSERT_TRUE(Browser.WaitFor("document.querySelector('#count').textContent === '2'", 5s));
    for (const QSize Viewport : {QSize(360, 640), QSize(640, 360), QSize(390, 844)}) {
        SCOPED_TRACE(Viewport.width());
        Browser.SetViewport(Viewport);
        EXPECT_TRUE(Browser.WaitFor("document.documentElement.scrollWidth <= innerWidth && "
                                    "document.querySelector('#shot-speed')"
                                    ".getBoundingClientRect().right <= innerWidth",
                                    2s));
    }
    EXPECT_EQ(Browser.Evaluate("getComputedStyle(document.querySelector('#shot-speed')).color")
                  .toString(),
              "rgb(212, 0, 0)");
    EXPECT_EQ(
        Browser.Evaluate("getComputedStyle(document.querySelector('#mean')).color").toString(),
        "rgb(0, 0, 0)");
}

// Shots that came while the network was down are on the page once it is back, by itself.
TEST_F(PhonePageTest, AfterTheNetworkDroppedThePageCatchesUpWithTheLastTenShots) {
    TNetwork Network(Server.Port());
    Shoot(3);
    ASSERT_EQ(Browser.Open(Url(Network.serverPort(), Server.PagePath())), 200);
    ASSERT_TRUE(Browser.WaitFor("document.querySelectorAll('#recent tr').length === 3", 5s));
    Network.Cut();
    ASSERT_TRUE(WaitUntil([&] { return Server.Phones() == 0; }));
    Shoot(12);
    Network.Restore();
    ASSERT_TRUE(Browser.WaitFor("document.querySelector('#count').textContent === '15'", 20s));
    const QJsonValue Numbers = Browser.Evaluate(
        "[...document.querySelectorAll('#recent tr td:first-child')].map(c => c.textContent)");
    QStringList Expected;
    for (int Shot = 15; Shot > 5; --Shot)
        Expected << QString::number(Shot);
    EXPECT_EQ(Numbers.toVariant().toStringList(), Expected);
    EXPECT_TRUE(Browser.Evaluate("document.querySelector('#status').textContent === ''").toBool());
}

} // namespace
