#pragma once

// Controls bound to a serial port: a combo box that lists the choices of one port setting and
// writes the chosen one back, and an LED that shows one of the port's signals.

#include "serial/CPort.h"

#include <QComboBox>
#include <QMetaObject>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

enum TComProperty { cpNone, cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl };

// Adds one item per serial port the user can pick, sorted without regard to letter case: the
// text is the name the port opens with, the item data the same name, the tooltip what the
// device is ("FTDI FT232R USB UART"), since "ttyUSB0" alone does not tell.
void ListSerialPorts(QComboBox& Items);

// Lists the choices of one port property in a combo box's items, keeps the value chosen or
// found, and writes it to the port.
class TComSelect {
public:
    explicit TComSelect(QComboBox& Items) : FItems(Items) {}

    TComProperty ComProperty() const { return FComProperty; }
    // Forgets a port that is destroyed.
    TCustomComPort* ComPort() const { return FComPort; }
    void SetComPort(TCustomComPort* Value) { FComPort = Value; }
    bool AutoApply() const { return FAutoApply; }
    void SetAutoApply(bool Value) { FAutoApply = Value; }

    // Replaces the items by the choices of Value.
    void FillChoices(TComProperty Value);
    // Keeps the value that Text stands for; writes it at once with AutoApply.
    void TakeChoice(const std::string& Text);
    // Writes the kept value to the port, when one is bound.
    void ApplyChoice();
    // The index of the item that shows the port's present value (letter case ignored), whose
    // value is then kept; -1 when no item does, or no port is bound.
    int FindCurrentChoice();

private:
    void StoreChoice(const std::string& Text);
    std::string PortValueText() const;

    QComboBox& FItems;
    TComProperty FComProperty = cpNone;
    QPointer<TCustomComPort> FComPort;
    bool FAutoApply = false;
    std::string FPort;
    TBaudRate FBaudRate = brCustom;
    TDataBits FDataBits = dbFive;
    TStopBits FStopBits = sbOneStopBit;
    TParityBits FParity = prNone;
    TFlowControl FFlowControl = fcHardware;
};

// A drop-down list of the choices of one port property. Each choice the user makes is taken
// by the selector before any other handler of activated() runs.
class TComComboBox : public QComboBox {
public:
    explicit TComComboBox(QWidget* Parent = nullptr);

    TCustomComPort* ComPort() const { return FComSelector.ComPort(); }
    // Binds Port and selects the item of its present value.
    void SetComPort(TCustomComPort* Port);
    TComProperty ComProperty() const { return FComSelector.ComProperty(); }
    // Lists the property's choices and selects item 0 with no port bound, else the port's
    // present value.
    void SetComProperty(TComProperty Value);
    bool AutoApply() const { return FComSelector.AutoApply(); }
    void SetAutoApply(bool Value) { FComSelector.SetAutoApply(Value); }
    // The selected item's text, empty when nothing is selected.
    std::string Text() const;
    // Selects the first item equal to Value, letter case ignored; other texts change nothing.
    void SetText(const std::string& Value);

    void ApplyToPort() { FComSelector.ApplyChoice(); }
    // Selects the port's present value (nothing when the list lacks it); with no port bound
    // the selection stays.
    void ReadFromPort();

private:
    void UserChose();
    void PortDestroyed();
    void ShowItemToolTip(int Index);

    TComSelect FComSelector;
    QMetaObject::Connection FPortWatch;
};

enum TLedKind {
    lkRedLight,
    lkGreenLight,
    lkBlueLight,
    lkYellowLight,
    lkPurpleLight,
    lkBulb,
    lkCustom
};
enum TComLedSignal { lsConn, lsCTS, lsDSR, lsRLSD, lsRing, lsRx, lsTx };
enum TLedState { lsOff, lsOn };
using TLedStateEvent = std::function<void(QObject* Sender, TLedState AState)>;

// An LED picture, on or off, that follows one signal of a port through a link the port
// notifies, so it needs no polling. 25 by 25 pixels at first; the picture is drawn centred.
class TComLed : public QWidget {
public:
    explicit TComLed(QWidget* Parent = nullptr);
    ~TComLed() override;
    TComLed(const TComLed&) = delete;
    TComLed& operator=(const TComLed&) = delete;

    TCustomComPort* ComPort() const { return FComPort; }
    // Watches Port: an open port shows its signal at once, a closed one leaves the state as
    // it is; no port turns the LED off. A destroyed port is forgotten and the LED goes off.
    void SetComPort(TCustomComPort* Port);
    TComLedSignal LedSignal() const { return FLedSignal; }
    // The present state is not read again for the new signal.
    void SetLedSignal(TComLedSignal Value);
    TLedKind Kind() const { return FKind; }
    void SetKind(TLedKind Value);
    // Used only while Kind is lkCustom; the colour of the lower-left pixel becomes transparent.
    void SetGlyphOn(const QPixmap& Value);
    void SetGlyphOff(const QPixmap& Value);
    TLedState State() const { return FState; }
    // Raises EComPort 19 while a port is set: the port decides then.
    void SetState(TLedState Value);
    // Milliseconds a ring keeps the LED lit.
    int RingDuration() const { return FRingTimer.interval(); }
    void SetRingDuration(int Value) { FRingTimer.setInterval(Value); }

    TLedStateEvent OnChange;
    TNotifyEvent OnClick;

    QSize sizeHint() const override { return {25, 25}; }

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    void ChangeState(TLedState Value);
    void LinkSignalChanged(bool OnOff);
    void StartRing();
    void RingTimeout();
    void LoadKindGlyphs(TLedKind Value);
    TLedState CurrentSignal();
    void PortDestroyed();

    QPointer<TCustomComPort> FComPort;
    TComLedSignal FLedSignal = lsConn;
    TLedKind FKind = lkRedLight;
    TLedState FState = lsOff;
    QPixmap FGlyphOff;
    QPixmap FGlyphOn;
    TComLink FLink;
    QTimer FRingTimer;
    QMetaObject::Connection FPortWatch;
};
