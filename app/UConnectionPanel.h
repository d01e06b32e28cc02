#pragma once

// The connection to the chronograph: the Connect button, the panel with the port's name and its
// LED, and the port itself with its events. The port lives as long as the panel, and is closed
// and released by ReleasePort before the window's other controls go.

#include "serial/CPort.h"
#include "series/USeries.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QFrame;
class QLabel;
class QPushButton;
class TComLed;

class TConnectionPanel : public QWidget {
public:
    explicit TConnectionPanel(QWidget* Parent);
    ~TConnectionPanel() override;

    // Lines for the log; the text the port received; a new connection, on which a record cut
    // off by the last one must not be completed.
    std::function<void(const std::string&)> Log, Received;
    std::function<void()> Opened;

    TComPort& ComPort() { return *comPort; }
    void ApplyTranslation(const TTranslate& Translate);
    // Closes the port, a failure to close included, and lets it go with its events.
    void ReleasePort();

    void btnConnectToCOMClick();
    void comLEDConnectionClick();
    void comPortBeforeOpen();
    void comPortAfterOpen();
    void comPortBeforeClose();
    void comPortAfterClose();
    void comPortRxChar(int Count);
    void comPortConnectionLost(const std::string& Message, std::int32_t SystemCode);

    QPushButton* const btnConnectToCOM;
    QFrame* const pnlLED;
    QLabel* const lblComPort;
    TComLed* const comLEDConnection;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void CreatePort();
    void OpenPortExplained();
    std::string Translate(const std::string& Text) const;

    std::unique_ptr<TComPort> comPort;
    TTranslate FTranslate;
};
