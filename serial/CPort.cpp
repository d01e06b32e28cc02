#include "serial/CPort.h"

#include "platform/ErrorDisplay.h"
#include "platform/NumberFormats.h"
#include "platform/ScopeGuard.h"
#include "serial/CPortThread.h"

#include <algorithm>
#include <array>

using namespace platform;

namespace {

struct TErrorText {
    TComErrorCode Code;
    std::string Text;
};

const TErrorText ErrorMessages[] = {
    {ceOpenFailed, "Unable to open com port"},
    {ceWriteFailed, "WriteFile function failed"},
    {ceReadFailed, "ReadFile function failed"},
    {ceInvalidAsync, "Invalid Async parameter"},
    {cePurgeFailed, "PurgeComm function failed"},
    {ceAsyncStatusFailed, "Unable to get async status"},
    {ceSetStateFailed, "SetCommState function failed"},
    {ceSetTimeoutsFailed, "SetCommTimeouts failed"},
    {ceSetupComFailed, "SetupComm function failed"},
    {ceClearComFailed, "ClearCommError function failed"},
    {ceModemStatusFailed, "GetCommModemStatus function failed"},
    {ceEscapeComFailed, "EscapeCommFunction function failed"},
    {ceTransmitCharFailed, "TransmitCommChar function failed"},
    {ceSetWhileConnected, "Cannot set property while connected"},
    {ceEnumPortsFailed, "EnumPorts function failed"},
    {ceStoreFailed, "Failed to store settings"},
    {ceLoadFailed, "Failed to load settings"},
    {ceLinkFailed, "Link (un)registration failed"},
    {ceLedStateFixed, "Cannot change led state if ComPort is selected"},
    {ceThreadCreated, "Cannot wait for event if event thread is created"},
    {ceWaitFailed, "WaitForEvent method failed"},
    {ceDataLinked, "A component is linked to OnRxBuf event"},
    {ceRegistryError, "Registry error"},
    {cePortNotOpen, "Port Not Open"},
};

constexpr std::uint32_t BaudRates[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                       14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};

std::int64_t LastError() {
    return static_cast<std::int64_t>(GetLastError());
}

// The system's text for an error code, with its number, as OnException receives it.
std::string SystemErrorText(std::int64_t Code) {
    if (Code <= 0)
        return {};
    const auto SystemCode = static_cast<std::uint32_t>(Code);
    return Format("System Error.  Code: %d.\n%s", {SystemCode, SysErrorMessage(SystemCode)});
}

} // namespace

const std::string& ComErrorMessage(TComExceptions Code) {
    static const std::string Unknown = "Unknown error";
    const auto Found = std::find_if(std::begin(ErrorMessages), std::end(ErrorMessages),
                                    [Code](const TErrorText& Entry) { return Entry.Code == Code; });
    return Found == std::end(ErrorMessages) ? Unknown : Found->Text;
}

EComPort::EComPort(TComExceptions Code, std::int32_t WinCode)
    : std::runtime_error(ComErrorMessage(Code) + Format(" (Error: %d)", {WinCode})),
      FSystemCode(WinCode), FReason(Code) {}

EComPort::EComPort(TComExceptions Code)
    : std::runtime_error(ComErrorMessage(Code)), FSystemCode(-1), FReason(Code) {}

TCustomComPort::TCustomComPort(QObject* Owner)
    : QObject(Owner), FBuffer(std::make_unique<TComBuffer>(this)),
      FParity(std::make_unique<TComParity>(this)), FTimeouts(std::make_unique<TComTimeouts>(this)),
      FFlowControl(std::make_unique<TComFlowControl>(this)) {}

TCustomComPort::~TCustomComPort() {
    try {
        ClosePort();
    } catch (...) {
        // A port that is going away cannot report; the device is released below.
    }
    // Whatever the close got to, no thread may outlive the port or its device.
    StopEventThread();
    if (FHandle != INVALID_HANDLE_VALUE)
        CloseHandle(FHandle);
}

void TCustomComPort::Loading() {
    FComponentState.Include(csLoading);
}

void TCustomComPort::Loaded() {
    FComponentState.Exclude(csLoading);
    if (!FConnected || FComponentState.Contains(csDesigning))
        return;
    FConnected = false;
    try {
        OpenPort();
    } catch (const std::exception& Error) {
        ShowApplicationError(Error.what());
    }
}

void TCustomComPort::SetDesigning(bool Value) {
    Value ? FComponentState.Include(csDesigning) : FComponentState.Exclude(csDesigning);
}

bool TCustomComPort::IsLoadingOrDesigning() const {
    return FComponentState.Contains(csLoading) || FComponentState.Contains(csDesigning);
}

template <typename T>
void TCustomComPort::ChangeLineSetting(T& Field, T Value) {
    if (Value == Field)
        return;
    Field = Value;
    ApplyLineSettings();
}

void TCustomComPort::SetConnected(bool Value) {
    if (IsLoadingOrDesigning())
        FConnected = Value;
    else if (Value != FConnected)
        Value ? OpenPort() : ClosePort();
}

void TCustomComPort::SetBaudRate(TBaudRate Value) {
    ChangeLineSetting(FBaudRate, Value);
}

void TCustomComPort::SetCustomBaudRate(std::int32_t Value) {
    ChangeLineSetting(FCustomBaudRate, Value);
}

void TCustomComPort::SetPort(const std::string& Value) {
    if (Value == FPort)
        return;
    FPort = Value;
    if (FConnected && !IsLoadingOrDesigning()) {
        ClosePort();
        OpenPort();
    }
}

void TCustomComPort::SetStopBits(TStopBits Value) {
    ChangeLineSetting(FStopBits, Value);
}

void TCustomComPort::SetDataBits(TDataBits Value) {
    ChangeLineSetting(FDataBits, Value);
}

void TCustomComPort::SetDiscardNull(bool Value) {
    ChangeLineSetting(FDiscardNull, Value);
}

void TCustomComPort::SetEventChar(char Value) {
    ChangeLineSetting(FEventChar, Value);
}

void TCustomComPort::SetParity(const TComParity& Value) {
    FParity->Assign(Value);
    ApplyLineSettings();
}

void TCustomComPort::SetFlowControl(const TComFlowControl& Value) {
    FFlowControl->Assign(Value);
    ApplyLineSettings();
}

void TCustomComPort::SetTimeouts(const TComTimeouts& Value) {
    FTimeouts->Assign(Value);
    ApplyTimeoutSettings();
}

void TCustomComPort::SetBuffer(const TComBuffer& Value) {
    FBuffer->Assign(Value);
    ApplyBufferSizes();
}

void TCustomComPort::SetTriggersOnRxChar(bool Value) {
    if (FHasDataLink)
        ReportComError(ceDataLinked, 0);
    FTriggersOnRxChar = Value;
}

void TCustomComPort::SetSyncMethod(TSyncMethod Value) {
    if (Value == FSyncMethod)
        return;
    if (FConnected && !IsLoadingOrDesigning()) {
        ReportComError(ceSetWhileConnected, 0);
        return;
    }
    FSyncMethod = Value;
}

void TCustomComPort::OpenDevice() {
    FHandle = CreateFile(FPort);
    if (FHandle == INVALID_HANDLE_VALUE)
        ReportComError(ceOpenFailed, LastError());
}

void TCustomComPort::CloseDevice() {
    if (FHandle != INVALID_HANDLE_VALUE && CloseHandle(FHandle))
        FHandle = INVALID_HANDLE_VALUE;
}

void TCustomComPort::OpenPort() {
    if (FConnected || FComponentState.Contains(csDesigning))
        return;
    FireBeforeOpen();
    OpenDevice();
    // With an OnException handler a failed open is reported and returns here: nothing may
    // be applied to, or started on, a device that is not open.
    if (FHandle == INVALID_HANDLE_VALUE)
        return;
    FConnected = true;
    try {
        ApplyAllSettings();
    } catch (...) {
        CloseDevice();
        FConnected = false;
        throw;
    }
    StartEventThread();
    AfterOpen();
}

void TCustomComPort::StartEventThread() {
    FThreadCreated = !FEvents.Empty();
    if (!FThreadCreated)
        return;
    if (FSyncMethod == smWindowSync)
        FNotifier = std::make_unique<QObject>();
    FEventThread = std::make_unique<TComThread>(*this, ++FThreadGeneration);
    FEventThread->Start();
}

void TCustomComPort::AfterOpen() {
    NotifyLinks([this](const TComLink& Link) {
        if (Link.ConnectionChanged)
            Link.ConnectionChanged(this, true);
    });
    FireAfterOpen();
    ProcessCTSChange();
    ProcessDSRChange();
    ProcessRLSDChange();
}

void TCustomComPort::ClosePort() {
    // A handler run while the port waits for its thread may close it too: that close is the
    // one already under way.
    if (!FConnected || FClosing || FComponentState.Contains(csDesigning))
        return;
    {
        const auto Closing = ScopedValue(FClosing, true);
        BeforeClose();
        AbortAllIO();
        StopEventThread();
        CloseDevice();
        FConnected = false;
    }
    AfterClose();
}

void TCustomComPort::StopEventThread() {
    if (!FThreadCreated)
        return;
    std::unique_ptr<TComThread> Thread = std::move(FEventThread);
    FThreadCreated = false;
    // Closed from inside one of the thread's own handler calls: the thread cannot be awaited
    // here, but it is held until the call returns and then ends without touching the device,
    // which the close releases at once like any other.
    if (Thread->DispatchingHere())
        TComThread::Abandon(std::move(Thread));
    Thread.reset();
    FNotifier.reset();
}

void TCustomComPort::BeforeClose() {
    NotifyLinks([this](const TComLink& Link) {
        if (Link.CTSChanged)
            Link.CTSChanged(this, false);
        if (Link.DSRChanged)
            Link.DSRChanged(this, false);
        if (Link.RLSDChanged)
            Link.RLSDChanged(this, false);
    });
    FireCTSChange(false);
    FireDSRChange(false);
    FireRLSDChange(false);
    FireBeforeClose();
}

void TCustomComPort::AfterClose() {
    NotifyLinks([this](const TComLink& Link) {
        if (Link.ConnectionChanged)
            Link.ConnectionChanged(this, false);
    });
    FireAfterClose();
}

void TCustomComPort::EventThreadFailed(unsigned Generation, std::exception_ptr Error) {
    if (!FConnected || !FThreadCreated || Generation != FThreadGeneration)
        return;
    TComExceptions Code = ceWaitFailed;
    std::int64_t WinError = 0;
    std::string Message;
    try {
        std::rethrow_exception(Error);
    } catch (const EComPort& PortError) {
        Code = static_cast<TComExceptions>(PortError.Reason());
        WinError = std::max(PortError.SystemCode(), 0);
        Message = PortError.what();
    } catch (const std::exception& Other) {
        Message = Other.what();
    } catch (...) {
        Message = ComErrorMessage(Code);
    }
    try {
        ClosePort();
    } catch (const std::exception& CloseError) {
        Message += std::string("\n") + CloseError.what();
    }
    // This runs from the event loop, which no exception may reach.
    try {
        ReportConnectionLost(Code, WinError, Message);
    } catch (const std::exception& Error) {
        ShowApplicationError(Error.what());
    } catch (...) {
        ShowApplicationError(Message);
    }
}

void TCustomComPort::ReportConnectionLost(TComExceptions Code, std::int64_t WinError,
                                          const std::string& Message) {
    if (OnException)
        OnException(this, Code, ComErrorMessage(Code), WinError, SystemErrorText(WinError));
    else if (OnConnectionLost)
        OnConnectionLost(this, Message, static_cast<std::int32_t>(WinError));
    else
        ShowApplicationError(Message);
}

void TCustomComPort::HandlePortMessage(std::uint32_t EventFlag) {
    if (!FConnected || FClosing)
        return;
    try {
        ProcessPortEvent(*this, EventFlag);
    } catch (const std::exception& Error) {
        ShowApplicationError(Error.what());
    } catch (...) {
        ShowApplicationError(ComErrorMessage(ceWaitFailed));
    }
}

void TCustomComPort::BeginSettingsUpdate() {
    ++FUpdateCount;
}

void TCustomComPort::EndSettingsUpdate() {
    if (FUpdateCount < 1)
        return;
    LeaveSettingsUpdate();
    if (FUpdateCount == 0)
        ApplyAllSettings();
}

void TCustomComPort::LeaveSettingsUpdate() {
    FUpdateCount = std::max(FUpdateCount - 1, 0);
}

void TCustomComPort::ApplyAllSettings() {
    ApplyBufferSizes();
    ApplyLineSettings();
    ApplyTimeoutSettings();
}

bool TCustomComPort::CanApply() const {
    return FConnected && FUpdateCount == 0 && !IsLoadingOrDesigning();
}

void TCustomComPort::ApplyBufferSizes() {
    if (CanApply() && !SetupComm(FHandle, FBuffer->InputSize(), FBuffer->OutputSize()))
        ReportComError(ceSetupComFailed, LastError());
}

void TCustomComPort::ApplyLineSettings() {
    if (CanApply() && !SetCommState(FHandle, DeviceControlBlock()))
        ReportComError(ceSetStateFailed, LastError());
}

void TCustomComPort::ApplyTimeoutSettings() {
    if (!CanApply())
        return;
    const TCommTimeouts Values{static_cast<std::uint32_t>(FTimeouts->ReadInterval()),
                               static_cast<std::uint32_t>(FTimeouts->ReadTotalMultiplier()),
                               static_cast<std::uint32_t>(FTimeouts->ReadTotalConstant()),
                               static_cast<std::uint32_t>(FTimeouts->WriteTotalMultiplier()),
                               static_cast<std::uint32_t>(FTimeouts->WriteTotalConstant())};
    if (!SetCommTimeouts(FHandle, Values))
        ReportComError(ceSetTimeoutsFailed, LastError());
}

TDCB TCustomComPort::DeviceControlBlock() const {
    TDCB DCB;
    DCB.DCBlength = 28;
    DCB.BaudRate =
        FBaudRate == brCustom ? static_cast<std::uint32_t>(FCustomBaudRate) : BaudRates[FBaudRate];
    const TComFlowControl& Flow = *FFlowControl;
    const bool ErrorChar = FParity->Check() && FParity->Replace();
    DCB.Flags = fBinary | (FParity->Check() ? fParity : 0) |
                (Flow.OutCTSFlow() ? fOutxCtsFlow : 0) | (Flow.OutDSRFlow() ? fOutxDsrFlow : 0) |
                (std::uint32_t(Flow.ControlDTR()) << fDtrControlShift) |
                (Flow.DSRSensitivity() ? fDsrSensitivity : 0) |
                (Flow.TxContinueOnXoff() ? fTXContinueOnXoff : 0) |
                (Flow.XonXoffOut() ? fOutX : 0) | (Flow.XonXoffIn() ? fInX : 0) |
                (ErrorChar ? fErrorChar : 0) | (FDiscardNull ? fNull : 0) |
                (std::uint32_t(Flow.ControlRTS()) << fRtsControlShift);
    DCB.XonLim = DCB.XoffLim = static_cast<std::uint16_t>(FBuffer->InputSize() / 4);
    DCB.ByteSize = static_cast<std::uint8_t>(5 + FDataBits);
    DCB.Parity = static_cast<std::uint8_t>(FParity->Bits());
    DCB.StopBits = static_cast<std::uint8_t>(FStopBits);
    DCB.XonChar = Flow.XonChar();
    DCB.XoffChar = Flow.XoffChar();
    DCB.ErrorChar = ErrorChar ? FParity->ReplaceChar() : 0;
    DCB.EvtChar = FEventChar;
    return DCB;
}

void TCustomComPort::ReportComError(TComExceptions Code, std::int64_t WinError) {
    if (!OnException) {
        if (WinError > 0)
            throw EComPort(Code, static_cast<std::int32_t>(WinError & 0xFFFFFFFF));
        throw EComPort(Code);
    }
    OnException(this, Code, ComErrorMessage(Code), WinError, SystemErrorText(WinError));
}

void TCustomComPort::AttachLink(TComLink* Link) {
    if (std::find(FLinks.begin(), FLinks.end(), Link) != FLinks.end())
        ReportComError(ceLinkFailed, 0);
    else
        FLinks.push_back(Link);
    UpdateHasDataLink();
}

void TCustomComPort::DetachLink(TComLink* Link) {
    const auto Found = std::find(FLinks.begin(), FLinks.end(), Link);
    if (Found == FLinks.end())
        ReportComError(ceLinkFailed, 0);
    else
        FLinks.erase(Found);
    UpdateHasDataLink();
}

void TCustomComPort::UpdateHasDataLink() {
    FHasDataLink = HasLink(&TComLink::DataReceived);
}

void TCustomComPort::NotifyLinks(const std::function<void(const TComLink&)>& Notify) {
    for (const TComLink* Link : FLinks)
        Notify(*Link);
}
