#pragma once

// Debian's chromium without a window, driven over its DevTools protocol, so that a test can open
// the phone page in a real browser, read its document and look at it as a phone shows it.

#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QSize>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <QWebSocket>
#include <chrono>
#include <map>
#include <sys/types.h>

class THeadlessChromium {
public:
    // Starts the browser with a profile of its own and shows pages in a phone's viewport; throws
    // std::runtime_error when chromium is missing or does not start.
    explicit THeadlessChromium(QSize Viewport = {390, 844});
    ~THeadlessChromium();
    THeadlessChromium(const THeadlessChromium&) = delete;
    THeadlessChromium& operator=(const THeadlessChromium&) = delete;

    // Waits for the page's load event; the main document's HTTP status, 0 when no answer came.
    int Open(const QString& Url);
    // The expression's value; throws std::runtime_error with its exception's text. Promises are
    // awaited.
    QJsonValue Evaluate(const QString& Expression);
    // True when Expression became truthy within Bound; while it throws it counts as false.
    bool WaitFor(const QString& Expression, std::chrono::milliseconds Bound);
    // A phone held upright is narrower than high; sideways the other way round.
    void SetViewport(QSize Viewport);
    // The page's console messages, uncaught exceptions and the browser's own complaints (refused
    // by the content security policy, failed loads) seen so far.
    QStringList Problems() const { return FProblems; }

private:
    void Launch();
    QUrl BrowserAddress();
    QUrl PageAddress(const QUrl& Browser);
    void Attach(const QUrl& Page);
    void Close();
    QJsonObject Command(const QString& Method, const QJsonObject& Params = {});
    void Receive(const QString& Text);
    void NoteEvent(const QString& Method, const QJsonObject& Params);

    QTemporaryDir FProfile;
    // Before the process, which may still report output while it is destroyed.
    QByteArray FStartOutput;
    QProcess FProcess;
    // The browser's process group, 0 once it is gone.
    pid_t FGroup = 0;
    QWebSocket FSocket;
    int FLastId = 0;
    std::map<int, QJsonObject> FReplies;
    int FLoads = 0;
    // The HTTP status of the documents by the loader that fetched them.
    std::map<QString, int> FDocumentStatus;
    QStringList FProblems;
};
