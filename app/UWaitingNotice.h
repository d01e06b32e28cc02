#pragma once

// A strip over the chart that tells the user of shots waiting beside the series library while
// another program holds it, tries the library again every second until they are in, and then
// says so for a few seconds.

#include "series/USeries.h"

#include <QLabel>
#include <cstddef>
#include <functional>

class QTimer;

class TWaitingNotice : public QLabel {
public:
    explicit TWaitingNotice(QWidget* Parent);

    // Tries the library again; whether shots still wait.
    std::function<bool()> Retry;
    // After the wait ended.
    std::function<void()> AllIn;

    // Waiting shots are kept beside the library: shown, and retried until they are in.
    void ShowWaiting(std::size_t Waiting, const TTranslate& Translate);
    // Starts the retries, when something waits that no shot has told of yet.
    void StartRetrying();

private:
    void RetryTimer();

    QTimer* const FRetryTimer;
    QTimer* const FHideTimer;
    std::size_t FShown = 0;
};
