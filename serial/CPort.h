#pragma once

// The serial port component: the line settings of one device, opening and closing it, the
// event thread that turns the device's events into handler calls, and reading.

#include "platform/CommFunctions.h"
#include "serial/CPortSettings.h"
#include "serial/CPortTypes.h"

#include <QObject>
#include <algorithm>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TComThread;

namespace platform {
class TIniFile;
class TRegistry;
} // namespace platform

enum TComponentStateFlag { csLoading, csDesigning };
using TComponentState = TEnumSet<TComponentStateFlag, 2>;

// One overlapped request: a read, or a write with its own copy of the data.
struct TAsyncRequest {
    platform::TOverlapped Overlapped;
    std::uint8_t Operation = 0;
    std::unique_ptr<char[]> Data;
    std::int32_t Size = 0;
};
constexpr std::uint8_t okWrite = 0, okRead = 1;

std::unique_ptr<TAsyncRequest> NewAsyncRequest();
void FreeAsyncRequest(std::unique_ptr<TAsyncRequest>& Request);

class TCustomComPort : public QObject {
public:
    explicit TCustomComPort(QObject* Owner = nullptr);
    ~TCustomComPort() override;

    // Component state: while loading or designing, writing Connected or Port only stores.
    TComponentState ComponentState() const { return FComponentState; }
    void Loading();
    virtual void Loaded();
    void SetDesigning(bool Value);

    bool Connected() const { return FConnected; }
    void SetConnected(bool Value);
    TBaudRate BaudRate() const { return FBaudRate; }
    void SetBaudRate(TBaudRate Value);
    std::int32_t CustomBaudRate() const { return FCustomBaudRate; }
    void SetCustomBaudRate(std::int32_t Value);
    const std::string& Port() const { return FPort; }
    void SetPort(const std::string& Value);
    TStopBits StopBits() const { return FStopBits; }
    void SetStopBits(TStopBits Value);
    TDataBits DataBits() const { return FDataBits; }
    void SetDataBits(TDataBits Value);
    bool DiscardNull() const { return FDiscardNull; }
    void SetDiscardNull(bool Value);
    char EventChar() const { return FEventChar; }
    void SetEventChar(char Value);
    TComEvents Events() const { return FEvents; }
    void SetEvents(TComEvents Value) { FEvents = Value; }
    TComParity& Parity() { return *FParity; }
    const TComParity& Parity() const { return *FParity; }
    void SetParity(const TComParity& Value);
    TComFlowControl& FlowControl() { return *FFlowControl; }
    const TComFlowControl& FlowControl() const { return *FFlowControl; }
    void SetFlowControl(const TComFlowControl& Value);
    TComTimeouts& Timeouts() { return *FTimeouts; }
    const TComTimeouts& Timeouts() const { return *FTimeouts; }
    void SetTimeouts(const TComTimeouts& Value);
    TComBuffer& Buffer() { return *FBuffer; }
    const TComBuffer& Buffer() const { return *FBuffer; }
    void SetBuffer(const TComBuffer& Value);
    TStoredProps StoredProps() const { return FStoredProps; }
    void SetStoredProps(TStoredProps Value) { FStoredProps = Value; }
    // The stored flag, unless a link takes the received bytes itself.
    bool TriggersOnRxChar() const { return FTriggersOnRxChar && !FHasDataLink; }
    void SetTriggersOnRxChar(bool Value);
    TSyncMethod SyncMethod() const { return FSyncMethod; }
    void SetSyncMethod(TSyncMethod Value);
    std::uint32_t CodePage() const { return FCodePage; }
    void SetCodePage(std::uint32_t Value) { FCodePage = Value; }

    TRxCharEvent OnRxChar;
    TRxBufEvent OnRxBuf;
    TNotifyEvent OnTxEmpty;
    TNotifyEvent OnBreak;
    TNotifyEvent OnRing;
    TComSignalEvent OnCTSChange;
    TComSignalEvent OnDSRChange;
    TComSignalEvent OnRLSDChange;
    TComErrorEvent OnError;
    TNotifyEvent OnRxFlag;
    TNotifyEvent OnAfterOpen;
    TNotifyEvent OnAfterClose;
    TNotifyEvent OnBeforeOpen;
    TNotifyEvent OnBeforeClose;
    TNotifyEvent OnRx80Full;
    TComExceptionEvent OnException;
    // The port closed itself because its device went away or a handler failed; Message says
    // what happened, SystemCode is the system's error code or 0. Unset (and without
    // OnException), the message goes to the application's error display.
    std::function<void(QObject* Sender, const std::string& Message, std::int32_t SystemCode)>
        OnConnectionLost;

    void OpenPort();
    void ClosePort();
    // Settings written between Begin and End are stored only; the outermost End applies them
    // all to an open device at once. Leave ends an update without applying anything, for a way
    // out that must not raise.
    void BeginSettingsUpdate();
    void EndSettingsUpdate();
    void LeaveSettingsUpdate();
    virtual void ApplyAllSettings();
    virtual void ApplyLineSettings();
    virtual void ApplyTimeoutSettings();
    virtual void ApplyBufferSizes();
    // The device control block that the current line settings give.
    platform::TDCB DeviceControlBlock() const;

    // Raises EComPort for Code, or hands the error to OnException when it is set.
    void ReportComError(TComExceptions Code, std::int64_t WinError);

    void AttachLink(TComLink* Link);
    void DetachLink(TComLink* Link);

    std::int32_t BeginRead(char* Buffer, std::int32_t Count, TAsyncRequest* Request);
    std::int32_t BeginReadText(std::string& Text, std::int32_t Count, TAsyncRequest* Request);
    std::int32_t WaitForCompletion(TAsyncRequest* Request);
    std::int32_t ReadBytes(char* Buffer, std::int32_t Count);
    std::string ReadText(std::int32_t Count);
    void AbortAllIO();
    std::int32_t BytesWaiting();
    TLineSignals LineSignals();
    TComErrors LineErrors();

    virtual void SaveToIni(platform::TIniFile& Ini);
    virtual void LoadFromIni(platform::TIniFile& Ini);
    virtual void SaveToRegistry(platform::TRegistry& Registry);
    virtual void LoadFromRegistry(platform::TRegistry& Registry);

    void ProcessRxChar();
    void ProcessTxEmpty();
    void ProcessRxFlag();
    void ProcessRing();
    void ProcessBreak();
    void ProcessCTSChange();
    void ProcessDSRChange();
    void ProcessRLSDChange();
    void ProcessError();
    void ProcessRx80Full();

protected:
    virtual void OpenDevice();
    virtual void CloseDevice();

    virtual void FireAfterClose();
    virtual void FireAfterOpen();
    virtual void FireBeforeClose();
    virtual void FireBeforeOpen();
    virtual void FireRxChar(int Count);
    virtual void FireRxBuf(const char* Buffer, int Count);
    virtual void FireTxEmpty();
    virtual void FireBreak();
    virtual void FireRing();
    virtual void FireRxFlag();
    virtual void FireCTSChange(bool OnOff);
    virtual void FireDSRChange(bool OnOff);
    virtual void FireError(TComErrors Errors);
    virtual void FireRLSDChange(bool OnOff);
    virtual void FireRx80Full();

private:
    friend class TComThread;

    // Stores a changed line setting and passes it on to an open device.
    template <typename T>
    void ChangeLineSetting(T& Field, T Value);
    bool CanApply() const;
    bool IsLoadingOrDesigning() const;
    void StartEventThread();
    void StopEventThread();
    void AfterOpen();
    void BeforeClose();
    void AfterClose();
    void ReceivedData(int& Count);
    void ProcessSignalChange(TLineSignal Signal, TComSignalEvent TComLink::*Slot,
                             void (TCustomComPort::*FireHook)(bool));
    int ReadForHandlers(std::vector<char>& Bytes, int Count);
    // False, after reporting "Port Not Open", when there is no device to read from.
    bool CheckDeviceOpen();
    void NotifyLinks(const std::function<void(const TComLink&)>& Notify);
    // Whether a link has set the notification Slot.
    template <typename TSlot>
    bool HasLink(TSlot TComLink::*Slot) const {
        return std::any_of(FLinks.begin(), FLinks.end(),
                           [Slot](const TComLink* Link) { return bool(Link->*Slot); });
    }
    void UpdateHasDataLink();
    // Runs on the user-interface thread when the event thread Generation ended by a failure:
    // the port closes itself and the user is told.
    void EventThreadFailed(unsigned Generation, std::exception_ptr Error);
    void ReportConnectionLost(TComExceptions Code, std::int64_t WinError,
                              const std::string& Message);
    void HandlePortMessage(std::uint32_t EventFlag);

    std::unique_ptr<TComThread> FEventThread;
    bool FThreadCreated = false;
    unsigned FThreadGeneration = 0;
    platform::THandle FHandle = platform::INVALID_HANDLE_VALUE;
    std::unique_ptr<QObject> FNotifier;
    int FUpdateCount = 0;
    bool FClosing = false;
    std::vector<TComLink*> FLinks;
    bool FTriggersOnRxChar = true;
    bool FHasDataLink = false;
    TComponentState FComponentState;
    bool FConnected = false;
    TBaudRate FBaudRate = br9600;
    std::int32_t FCustomBaudRate = 9600;
    std::string FPort = "COM1";
    TStopBits FStopBits = sbOneStopBit;
    TDataBits FDataBits = dbEight;
    bool FDiscardNull = false;
    char FEventChar = 0;
    TComEvents FEvents = TComEvents::All();
    std::unique_ptr<TComBuffer> FBuffer;
    std::unique_ptr<TComParity> FParity;
    std::unique_ptr<TComTimeouts> FTimeouts;
    std::unique_ptr<TComFlowControl> FFlowControl;
    TSyncMethod FSyncMethod = smThreadSync;
    TStoredProps FStoredProps{spBasic};
    std::uint32_t FCodePage = 0;
};

// The port as the program places it: every property published, nothing added.
class TComPort : public TCustomComPort {
public:
    using TCustomComPort::TCustomComPort;
};

// The Windows event flags of a set of events, and back.
std::uint32_t EventsToMask(TComEvents Events);
TComEvents MaskToEvents(std::uint32_t Mask);
