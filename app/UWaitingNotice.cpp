#include "app/UWaitingNotice.h"

#include "platform/HandlerGuard.h"

#include <QTimer>
#include <chrono>

namespace {

using namespace std::chrono_literals;

constexpr auto RetryInterval = 1s;
constexpr auto AllInShown = 5s;

} // namespace

TWaitingNotice::TWaitingNotice(QWidget* Parent)
    : QLabel(Parent), FRetryTimer(new QTimer(this)), FHideTimer(new QTimer(this)) {
    setWordWrap(true);
    setMargin(4);
    setAutoFillBackground(true);
    setStyleSheet("background: #fff4c2; color: #5a3b00; border: 1px solid #c8a200;");
    hide();
    FRetryTimer->setInterval(RetryInterval);
    FHideTimer->setSingleShot(true);
    FHideTimer->setInterval(AllInShown);
    connect(FRetryTimer, &QTimer::timeout, this, Guarded(this, &TWaitingNotice::RetryTimer));
    connect(FHideTimer, &QTimer::timeout, this, &QWidget::hide);
}

void TWaitingNotice::ShowWaiting(std::size_t Waiting, const TTranslate& Translate) {
    const std::string Count = std::to_string(Waiting == 0 ? FShown : Waiting);
    if (Waiting == 0) {
        if (FShown > 0) {
            setText(QString::fromStdString(
                FShown == 1
                    ? Translate("The shot that waited is in the series library now.")
                    : TranslateWith(Translate,
                                    "The %s shots that waited are in the series library now.",
                                    Count)));
            FHideTimer->start();
        }
        FShown = 0;
        return;
    }
    FShown = Waiting;
    FHideTimer->stop();
    setText(QString::fromStdString(
        Waiting == 1
            ? Translate("One shot waits for the series library: another program is writing it. "
                        "It is kept beside it and goes in when it is free.")
            : TranslateWith(Translate,
                            "%s shots wait for the series library: another program is writing "
                            "it. They are kept beside it and go in when it is free.",
                            Count)));
    adjustSize();
    show();
    raise();
    StartRetrying();
}

void TWaitingNotice::StartRetrying() {
    if (!FRetryTimer->isActive())
        FRetryTimer->start();
}

void TWaitingNotice::RetryTimer() {
    if (Retry && Retry())
        return;
    FRetryTimer->stop();
    if (AllIn)
        AllIn();
}
