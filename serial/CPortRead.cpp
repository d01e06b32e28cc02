// Reading and the port's status queries.

#include "serial/CPort.h"

using namespace platform;

namespace {

std::int64_t LastError() {
    return static_cast<std::int64_t>(GetLastError());
}

} // namespace

std::unique_ptr<TAsyncRequest> NewAsyncRequest() {
    return std::make_unique<TAsyncRequest>();
}

void FreeAsyncRequest(std::unique_ptr<TAsyncRequest>& Request) {
    Request.reset();
}

std::int32_t TCustomComPort::BeginRead(char* Buffer, std::int32_t Count, TAsyncRequest* Request) {
    if (!Request) {
        ReportComError(ceInvalidAsync, 0);
        return 0;
    }
    Request->Operation = okRead;
    if (!CheckDeviceOpen())
        return 0;
    std::uint32_t Read = 0;
    if (!ReadFile(FHandle, Buffer, static_cast<std::uint32_t>(Count), Read, Request->Overlapped))
        ReportComError(ceReadFailed, LastError());
    return static_cast<std::int32_t>(Read);
}

std::int32_t TCustomComPort::BeginReadText(std::string& Text, std::int32_t Count,
                                           TAsyncRequest* Request) {
    Text.assign(Count > 0 ? Count : 0, '\0');
    return Count > 0 ? BeginRead(Text.data(), Count, Request) : 0;
}

std::int32_t TCustomComPort::WaitForCompletion(TAsyncRequest* Request) {
    if (!Request) {
        ReportComError(ceInvalidAsync, 0);
        return 0;
    }
    std::uint32_t Transferred = 0;
    if (!Request->Overlapped.hEvent.Wait() ||
        !GetOverlappedResult(FHandle, Request->Overlapped, Transferred))
        ReportComError(Request->Operation == okRead ? ceReadFailed : ceWriteFailed, LastError());
    if (Request->Operation == okRead) {
        // Whether bytes still wait matters only to a link that shows the receiving.
        if (HasLink(&TComLink::ReceiveActivity) && BytesWaiting() == 0)
            NotifyLinks([this](const TComLink& Link) {
                if (Link.ReceiveActivity)
                    Link.ReceiveActivity(this, false);
            });
    } else if (Request->Data)
        NotifyLinks([this, Request](const TComLink& Link) {
            if (Link.DataSent)
                Link.DataSent(this, Request->Data.get(), Request->Size);
        });
    return static_cast<std::int32_t>(Transferred);
}

std::int32_t TCustomComPort::ReadBytes(char* Buffer, std::int32_t Count) {
    // Without a device no read is started, so there is none to wait for either.
    if (!CheckDeviceOpen())
        return 0;
    std::unique_ptr<TAsyncRequest> Request = NewAsyncRequest();
    BeginRead(Buffer, Count, Request.get());
    return WaitForCompletion(Request.get());
}

std::string TCustomComPort::ReadText(std::int32_t Count) {
    if (Count <= 0)
        return {};
    std::string Text(static_cast<std::size_t>(Count), '\0');
    Text.resize(static_cast<std::size_t>(std::max(ReadBytes(Text.data(), Count), 0)));
    return Text;
}

bool TCustomComPort::CheckDeviceOpen() {
    if (FHandle != INVALID_HANDLE_VALUE)
        return true;
    // Negative: no system error goes with it.
    ReportComError(cePortNotOpen, -cePortNotOpen);
    return false;
}

void TCustomComPort::AbortAllIO() {
    if (!PurgeComm(FHandle, PURGE_TXABORT | PURGE_RXABORT))
        ReportComError(cePurgeFailed, LastError());
}

std::int32_t TCustomComPort::BytesWaiting() {
    std::uint32_t Errors = 0;
    TComStat Stat;
    if (!ClearCommError(FHandle, Errors, Stat))
        ReportComError(ceClearComFailed, LastError());
    return static_cast<std::int32_t>(Stat.cbInQue);
}

TLineSignals TCustomComPort::LineSignals() {
    std::uint32_t Status = 0;
    if (!GetCommModemStatus(FHandle, Status))
        ReportComError(ceModemStatusFailed, LastError());
    TLineSignals Signals;
    const std::pair<std::uint32_t, TLineSignal> Flags[] = {
        {MS_CTS_ON, lnCTS}, {MS_DSR_ON, lnDSR}, {MS_RING_ON, lnRing}, {MS_RLSD_ON, lnRLSD}};
    for (const auto& [Flag, Signal] : Flags)
        if (Status & Flag)
            Signals.Include(Signal);
    return Signals;
}

TComErrors TCustomComPort::LineErrors() {
    std::uint32_t Flags = 0;
    TComStat Stat;
    if (!ClearCommError(FHandle, Flags, Stat))
        ReportComError(ceClearComFailed, LastError());
    const std::pair<std::uint32_t, TComError> Map[] = {
        {CE_FRAME, erFraming},        {CE_RXPARITY, erParity},  {CE_OVERRUN, erOverrun},
        {CE_BREAK, erBreak},          {CE_IOE, erDeviceIO},     {CE_MODE, erMode},
        {CE_RXOVER, erInputOverflow}, {CE_TXFULL, erOutputFull}};
    TComErrors Errors;
    for (const auto& [Flag, Error] : Map)
        if (Flags & Flag && (Error != erParity || FParity->Check()))
            Errors.Include(Error);
    return Errors;
}
