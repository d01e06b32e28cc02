#pragma once

// The settings, events and errors of a serial port.

#include "serial/EnumSet.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

class QObject;

enum TBaudRate {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };
enum TComEvent {
    evRxChar,
    evTxEmpty,
    evRxFlag,
    evRing,
    evBreak,
    evCTS,
    evDSR,
    evError,
    evRLSD,
    evRx80Full
};
enum TSyncMethod { smThreadSync, smWindowSync, smNone };
enum TStoredProp { spBasic, spFlowControl, spBuffer, spTimeouts, spParity, spOthers };
enum TLineSignal { lnCTS, lnDSR, lnRing, lnRLSD };
enum TComError {
    erFraming,
    erParity,
    erOverrun,
    erBreak,
    erDeviceIO,
    erMode,
    erInputOverflow,
    erOutputFull
};

using TComEvents = TEnumSet<TComEvent, 10>;
using TStoredProps = TEnumSet<TStoredProp, 6>;
using TLineSignals = TEnumSet<TLineSignal, 4>;
using TComErrors = TEnumSet<TComError, 8>;
// The error codes 1 to 24 of EComPort; ComErrorMessage gives the text of each.
using TComExceptions = std::uint16_t;
enum TComErrorCode : TComExceptions {
    ceOpenFailed = 1,
    ceWriteFailed,
    ceReadFailed,
    ceInvalidAsync,
    cePurgeFailed,
    ceAsyncStatusFailed,
    ceSetStateFailed,
    ceSetTimeoutsFailed,
    ceSetupComFailed,
    ceClearComFailed,
    ceModemStatusFailed,
    ceEscapeComFailed,
    ceTransmitCharFailed,
    ceSetWhileConnected,
    ceEnumPortsFailed,
    ceStoreFailed,
    ceLoadFailed,
    ceLinkFailed,
    ceLedStateFixed,
    ceThreadCreated,
    ceWaitFailed,
    ceDataLinked,
    ceRegistryError,
    cePortNotOpen
};

using TNotifyEvent = std::function<void(QObject* Sender)>;
using TRxCharEvent = std::function<void(QObject* Sender, int Count)>;
using TRxBufEvent = std::function<void(QObject* Sender, const char* Buffer, int Count)>;
using TComErrorEvent = std::function<void(QObject* Sender, TComErrors Errors)>;
using TComSignalEvent = std::function<void(QObject* Sender, bool OnOff)>;
using TComExceptionEvent = std::function<void(
    QObject* Sender, TComExceptions TComException, const std::string& ComportMessage,
    std::int64_t WinError, const std::string& WinMessage)>;

// The notifications a control registers with a port; any of them may stay unset.
struct TComLink {
    TComSignalEvent ConnectionChanged;
    TRxBufEvent DataReceived;
    TRxBufEvent DataSent;
    TNotifyEvent TransmitEmptied;
    TNotifyEvent FlagCharReceived;
    TComSignalEvent CTSChanged;
    TComSignalEvent DSRChanged;
    TComSignalEvent RLSDChanged;
    TNotifyEvent RingDetected;
    TComSignalEvent TransmitActivity;
    TComSignalEvent ReceiveActivity;
};

// The message of error code Code, "Unknown error" for a number outside 1 to 24.
const std::string& ComErrorMessage(TComExceptions Code);

class EComPort : public std::runtime_error {
public:
    // Message: the text of Code followed by " (Error: n)" with the system's error code.
    EComPort(TComExceptions Code, std::int32_t WinCode);
    // Message: the text of Code alone.
    explicit EComPort(TComExceptions Code);

    std::int32_t SystemCode() const { return FSystemCode; }
    std::int32_t Reason() const { return FReason; }

private:
    std::int32_t FSystemCode;
    std::int32_t FReason;
};
