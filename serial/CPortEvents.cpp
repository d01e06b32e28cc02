// The port's routines for each line event, and the hooks that call the event handlers.

#include "serial/CPort.h"

#include <vector>

void TCustomComPort::ProcessRxChar() {
    int Count = BytesWaiting();
    if (Count > 0)
        NotifyLinks([this](const TComLink& Link) {
            if (Link.ReceiveActivity)
                Link.ReceiveActivity(this, true);
        });
    if (Count > 0 && !TriggersOnRxChar())
        ReceivedData(Count);
    if (Count > 0)
        FireRxChar(Count);
}

// The bytes are read here, for the links that take data and for OnRxBuf, instead of being
// left in the input queue for an OnRxChar handler.
void TCustomComPort::ReceivedData(int& Count) {
    std::vector<char> Bytes;
    int Read = -1;
    for (const TComLink* Link : FLinks) {
        if (!Link->DataReceived)
            continue;
        if (Read < 0)
            Read = ReadForHandlers(Bytes, Count);
        Link->DataReceived(this, Bytes.data(), Read);
    }
    if (Read < 0 && !FTriggersOnRxChar)
        Read = ReadForHandlers(Bytes, Count);
    if (Read >= 0)
        Count = 0;
}

int TCustomComPort::ReadForHandlers(std::vector<char>& Bytes, int Count) {
    Bytes.resize(static_cast<std::size_t>(Count));
    const int Read = ReadBytes(Bytes.data(), Count);
    FireRxBuf(Bytes.data(), Read);
    return Read;
}

void TCustomComPort::ProcessTxEmpty() {
    NotifyLinks([this](const TComLink& Link) {
        if (Link.TransmitActivity)
            Link.TransmitActivity(this, false);
    });
    NotifyLinks([this](const TComLink& Link) {
        if (Link.TransmitEmptied)
            Link.TransmitEmptied(this);
    });
    FireTxEmpty();
}

void TCustomComPort::ProcessRxFlag() {
    NotifyLinks([this](const TComLink& Link) {
        if (Link.FlagCharReceived)
            Link.FlagCharReceived(this);
    });
    FireRxFlag();
}

void TCustomComPort::ProcessRing() {
    NotifyLinks([this](const TComLink& Link) {
        if (Link.RingDetected)
            Link.RingDetected(this);
    });
    FireRing();
}

void TCustomComPort::ProcessBreak() {
    FireBreak();
}

// The state passed on is the line's state now, not one carried by the event.
void TCustomComPort::ProcessSignalChange(TLineSignal Signal, TComSignalEvent TComLink::*Slot,
                                         void (TCustomComPort::*FireHook)(bool)) {
    const bool On = LineSignals().Contains(Signal);
    NotifyLinks([this, On, Slot](const TComLink& Link) {
        if (Link.*Slot)
            (Link.*Slot)(this, On);
    });
    (this->*FireHook)(On);
}

void TCustomComPort::ProcessCTSChange() {
    ProcessSignalChange(lnCTS, &TComLink::CTSChanged, &TCustomComPort::FireCTSChange);
}

void TCustomComPort::ProcessDSRChange() {
    ProcessSignalChange(lnDSR, &TComLink::DSRChanged, &TCustomComPort::FireDSRChange);
}

void TCustomComPort::ProcessRLSDChange() {
    ProcessSignalChange(lnRLSD, &TComLink::RLSDChanged, &TCustomComPort::FireRLSDChange);
}

void TCustomComPort::ProcessError() {
    const TComErrors Errors = LineErrors();
    if (!Errors.Empty())
        FireError(Errors);
}

void TCustomComPort::ProcessRx80Full() {
    FireRx80Full();
}

namespace {

template <typename THandler, typename... TArgs>
void Fire(const THandler& Handler, QObject* Sender, TArgs... Args) {
    if (Handler)
        Handler(Sender, Args...);
}

} // namespace

void TCustomComPort::FireAfterClose() {
    Fire(OnAfterClose, this);
}
void TCustomComPort::FireAfterOpen() {
    Fire(OnAfterOpen, this);
}
void TCustomComPort::FireBeforeClose() {
    Fire(OnBeforeClose, this);
}
void TCustomComPort::FireBeforeOpen() {
    Fire(OnBeforeOpen, this);
}
void TCustomComPort::FireRxChar(int Count) {
    Fire(OnRxChar, this, Count);
}
void TCustomComPort::FireRxBuf(const char* Buffer, int Count) {
    Fire(OnRxBuf, this, Buffer, Count);
}
void TCustomComPort::FireTxEmpty() {
    Fire(OnTxEmpty, this);
}
void TCustomComPort::FireBreak() {
    Fire(OnBreak, this);
}
void TCustomComPort::FireRing() {
    Fire(OnRing, this);
}
void TCustomComPort::FireRxFlag() {
    Fire(OnRxFlag, this);
}
void TCustomComPort::FireCTSChange(bool OnOff) {
    Fire(OnCTSChange, this, OnOff);
}
void TCustomComPort::FireDSRChange(bool OnOff) {
    Fire(OnDSRChange, this, OnOff);
}
void TCustomComPort::FireError(TComErrors Errors) {
    Fire(OnError, this, Errors);
}
void TCustomComPort::FireRLSDChange(bool OnOff) {
    Fire(OnRLSDChange, this, OnOff);
}
void TCustomComPort::FireRx80Full() {
    Fire(OnRx80Full, this);
}
