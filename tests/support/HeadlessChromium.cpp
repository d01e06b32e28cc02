#include "tests/support/HeadlessChromium.h"

#include "tests/support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QStandardPaths>
#include <csignal>
#include <functional>
#include <memory>
#include <stdexcept>
#include <sys/prctl.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// A cold start on a busy two-core machine takes seconds; a command that takes this long will
// not come.
constexpr auto StartBound = 30s;
constexpr auto CommandBound = 10s;
constexpr auto LoadBound = 20s;
constexpr auto CloseBound = 5s;
constexpr int DeviceScaleFactor = 2;

std::runtime_error Failure(const QString& Text) {
    return std::runtime_error(("headless chromium: " + Text).toStdString());
}

QString Program() {
    const QString Debian = QStringLiteral("/usr/bin/chromium");
    return QFileInfo(Debian).isExecutable() ? Debian : QStandardPaths::findExecutable("chromium");
}

QStringList Arguments(const QString& Profile) {
    return {"--headless",
            "--no-sandbox",
            "--disable-gpu",
            "--no-first-run",
            "--no-default-browser-check",
            "--hide-scrollbars",
            "--mute-audio",
            "--remote-debugging-port=0",
            "--user-data-dir=" + Profile,
            "about:blank"};
}

QString ExceptionText(const QJsonObject& Details) {
    const QString Description = Details["exception"].toObject()["description"].toString();
    return Description.isEmpty() ? Details["text"].toString() : Description;
}

QString ConsoleText(const QJsonObject& Params) {
    QStringList Parts;
    for (const QJsonValue Argument : Params["args"].toArray()) {
        const QJsonObject Object = Argument.toObject();
        Parts << (Object.contains("value") ? Object["value"].toVariant().toString()
                                           : Object["description"].toString());
    }
    return "console." + Params["type"].toString() + ": " + Parts.join(' ');
}

// The browser's verbose notes (a slow handler, say) are no fault of the page, and neither is
// the icon that the browser asks the server for by itself.
bool IsComplaint(const QJsonObject& Entry) {
    const QString Level = Entry["level"].toString();
    return (Level == "error" || Level == "warning") &&
           QUrl(Entry["url"].toString()).path() != "/favicon.ico";
}

// Whether a process of Group still runs; one that only waits to be reaped (here perhaps for
// long) does not.
bool GroupAlive(pid_t Group) {
    for (const QString& Pid : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile Stat("/proc/" + Pid + "/stat");
        if (!Stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray Line = Stat.readAll();
        // After the command in parentheses: state, parent, group.
        const QList<QByteArray> Fields = Line.mid(Line.lastIndexOf(')') + 2).split(' ');
        if (Fields.size() > 2 && Fields[0] != "Z" && Fields[2].toInt() == Group)
            return true;
    }
    return false;
}

} // namespace

THeadlessChromium::THeadlessChromium(QSize Viewport) {
    try {
        Launch();
        Attach(PageAddress(BrowserAddress()));
        for (const char* Domain : {"Page", "Runtime", "Log", "Network"})
            Command(QString::fromLatin1(Domain) + ".enable");
        SetViewport(Viewport);
    } catch (...) {
        Close();
        throw;
    }
}

THeadlessChromium::~THeadlessChromium() {
    Close();
}

void THeadlessChromium::Launch() {
    const QString Browser = Program();
    if (Browser.isEmpty())
        throw Failure("chromium is not installed");
    if (!FProfile.isValid())
        throw Failure("no temporary folder for the profile: " + FProfile.errorString());
    FProcess.setStandardOutputFile(QProcess::nullDevice());
    // The browser logs to its error output all along: it is read so that the pipe never fills,
    // and the first megabyte is kept for the port and for the message when the start fails.
    QObject::connect(&FProcess, &QProcess::readyReadStandardError, &FProcess, [this] {
        const QByteArray Output = FProcess.readAllStandardError();
        if (FStartOutput.size() < 1 << 20)
            FStartOutput += Output;
    });
    // A group of its own, so that its helper processes can be told from the test's; and no
    // browser outlives a test program that crashed or was killed for taking too long.
    FProcess.setChildProcessModifier([] {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    FProcess.start(Browser, Arguments(FProfile.path()));
    if (!FProcess.waitForStarted(std::chrono::milliseconds(StartBound).count()))
        throw Failure("cannot start " + Browser + ": " + FProcess.errorString());
    FGroup = static_cast<pid_t>(FProcess.processId());
}

// chromium names the port it picked on its error output once it listens.
QUrl THeadlessChromium::BrowserAddress() {
    static const QRegularExpression Listening(QStringLiteral("DevTools listening on (ws://\\S+)"));
    QRegularExpressionMatch Match;
    WaitUntil(
        [&] {
            Match = Listening.match(QString::fromUtf8(FStartOutput));
            return Match.hasMatch() || FProcess.state() == QProcess::NotRunning;
        },
        StartBound);
    if (!Match.hasMatch())
        throw Failure("chromium did not start:\n" + QString::fromUtf8(FStartOutput.right(2000)));
    return QUrl(Match.captured(1));
}

// The page that chromium opened with about:blank; it may be listed a moment after the port.
QUrl THeadlessChromium::PageAddress(const QUrl& Browser) {
    QNetworkAccessManager Network;
    Network.setProxy(QNetworkProxy::NoProxy);
    const QUrl List(QStringLiteral("http://127.0.0.1:%1/json/list").arg(Browser.port()));
    QUrl Page;
    const bool Found = WaitUntil(
        [&] {
            std::unique_ptr<QNetworkReply> Reply(Network.get(QNetworkRequest(List)));
            if (!WaitUntil([&] { return Reply->isFinished(); }, CommandBound))
                return false;
            for (const QJsonValue Target : QJsonDocument::fromJson(Reply->readAll()).array())
                if (Target["type"].toString() == "page")
                    Page = QUrl(Target["webSocketDebuggerUrl"].toString());
            return !Page.isEmpty();
        },
        StartBound);
    if (!Found)
        throw Failure("no page listed at " + List.toString());
    return Page;
}

void THeadlessChromium::Attach(const QUrl& Page) {
    FSocket.setProxy(QNetworkProxy::NoProxy);
    QObject::connect(&FSocket, &QWebSocket::textMessageReceived, &FSocket,
                     [this](const QString& Text) { Receive(Text); });
    FSocket.open(Page);
    WaitUntil(
        [this] {
            return FSocket.state() == QAbstractSocket::ConnectedState ||
                   FSocket.error() != QAbstractSocket::UnknownSocketError;
        },
        CommandBound);
    if (FSocket.state() != QAbstractSocket::ConnectedState)
        throw Failure("cannot reach the page at " + Page.toString() + ": " + FSocket.errorString());
}

// SIGTERM lets chromium shut down on its own; one that does not gets killed. Its helpers outlive
// it for a moment and still write to the profile, which can only be removed once they are gone.
void THeadlessChromium::Close() {
    FSocket.abort();
    if (FGroup == 0)
        return;
    const int Bound = std::chrono::milliseconds(CloseBound).count();
    FProcess.terminate();
    if (!FProcess.waitForFinished(Bound)) {
        FProcess.kill();
        FProcess.waitForFinished(Bound);
    }
    if (!WaitUntil([this] { return !GroupAlive(FGroup); }, CloseBound)) {
        ::kill(-FGroup, SIGKILL);
        WaitUntil([this] { return !GroupAlive(FGroup); }, CloseBound);
    }
    FGroup = 0;
}

QJsonObject THeadlessChromium::Command(const QString& Method, const QJsonObject& Params) {
    const int Id = ++FLastId;
    const QJsonObject Message{{"id", Id}, {"method", Method}, {"params", Params}};
    FSocket.sendTextMessage(
        QString::fromUtf8(QJsonDocument(Message).toJson(QJsonDocument::Compact)));
    WaitUntil(
        [&] { return FReplies.contains(Id) || FSocket.state() != QAbstractSocket::ConnectedState; },
        CommandBound);
    const auto Reply = FReplies.extract(Id);
    if (Reply.empty())
        throw Failure(Method + " got no answer");
    const QJsonObject Error = Reply.mapped().value("error").toObject();
    if (!Error.isEmpty())
        throw Failure(Method + ": " + Error.value("message").toString());
    return Reply.mapped().value("result").toObject();
}

void THeadlessChromium::Receive(const QString& Text) {
    const QJsonObject Message = QJsonDocument::fromJson(Text.toUtf8()).object();
    if (Message.contains("id"))
        FReplies[Message["id"].toInt()] = Message;
    else
        NoteEvent(Message["method"].toString(), Message["params"].toObject());
}

void THeadlessChromium::NoteEvent(const QString& Method, const QJsonObject& Params) {
    if (Method == "Page.loadEventFired") {
        ++FLoads;
    } else if (Method == "Network.responseReceived" && Params["type"].toString() == "Document") {
        FDocumentStatus[Params["loaderId"].toString()] =
            Params["response"].toObject()["status"].toInt();
    } else if (Method == "Runtime.consoleAPICalled") {
        FProblems << ConsoleText(Params);
    } else if (Method == "Runtime.exceptionThrown") {
        FProblems << "exception: " + ExceptionText(Params["exceptionDetails"].toObject());
    } else if (Method == "Log.entryAdded" && IsComplaint(Params["entry"].toObject())) {
        const QJsonObject Entry = Params["entry"].toObject();
        FProblems << Entry["source"].toString() + " " + Entry["level"].toString() + ": " +
                         Entry["text"].toString();
    }
}

int THeadlessChromium::Open(const QString& Url) {
    const int LoadsBefore = FLoads;
    const QJsonObject Navigation = Command("Page.navigate", {{"url", Url}});
    if (!WaitUntil([&] { return FLoads > LoadsBefore; }, LoadBound))
        throw Failure(Url + " did not finish loading");
    const auto Status = FDocumentStatus.find(Navigation["loaderId"].toString());
    return Status == FDocumentStatus.end() ? 0 : Status->second;
}

QJsonValue THeadlessChromium::Evaluate(const QString& Expression) {
    const QJsonObject Result =
        Command("Runtime.evaluate",
                {{"expression", Expression}, {"returnByValue", true}, {"awaitPromise", true}});
    if (Result.contains("exceptionDetails"))
        throw Failure(ExceptionText(Result["exceptionDetails"].toObject()));
    return Result["result"].toObject()["value"];
}

// The page may be between two documents while it is asked; that counts as not yet.
bool THeadlessChromium::WaitFor(const QString& Expression, std::chrono::milliseconds Bound) {
    const QString Truthy =
        "(() => { try { return !!(" + Expression + "); } catch { return false; } })()";
    return WaitUntil(
        [&] {
            try {
                return Evaluate(Truthy).toBool();
            } catch (const std::runtime_error&) {
                return false;
            }
        },
        Bound);
}

void THeadlessChromium::SetViewport(QSize Viewport) {
    const bool Upright = Viewport.height() >= Viewport.width();
    const QJsonObject Orientation{{"type", Upright ? "portraitPrimary" : "landscapePrimary"},
                                  {"angle", Upright ? 0 : 90}};
    Command("Emulation.setDeviceMetricsOverride", {{"width", Viewport.width()},
                                                   {"height", Viewport.height()},
                                                   {"deviceScaleFactor", DeviceScaleFactor},
                                                   {"mobile", true},
                                                   {"screenOrientation", Orientation}});
}
