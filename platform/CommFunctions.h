#pragma once

// The communication functions the serial port is written against: open a device by name, set
// its line (device control block), time-outs and event mask, wait for line events together
// with a stop event, read, query and purge. They work on any terminal device: on-board UARTs,
// USB adapters and pseudo-terminals. Each failing call returns false and leaves the system's
// error code for GetLastError.

#include "platform/EventObject.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// The calling thread's error code of the last failed call (an errno value).
std::uint32_t GetLastError();
void SetLastError(std::uint32_t Code);

// An open device. Opened by CreateFile and owned by whoever opened it until CloseHandle.
class TCommDevice;
using THandle = TCommDevice*;
inline const THandle INVALID_HANDLE_VALUE = nullptr;

// The device control block: the line settings of a port.
struct TDCB {
    std::uint32_t DCBlength = sizeof(TDCB);
    std::uint32_t BaudRate = 0;
    std::uint32_t Flags = 0;
    std::uint16_t wReserved = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;
    std::uint8_t StopBits = 0;
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    std::uint16_t wReserved1 = 0;
};

// Flag bits of TDCB::Flags.
constexpr std::uint32_t fBinary = 0x0001;
constexpr std::uint32_t fParity = 0x0002;
constexpr std::uint32_t fOutxCtsFlow = 0x0004;
constexpr std::uint32_t fOutxDsrFlow = 0x0008;
constexpr std::uint32_t fDtrControlShift = 4; // two bits: disable, enable, handshake
constexpr std::uint32_t fDsrSensitivity = 0x0040;
constexpr std::uint32_t fTXContinueOnXoff = 0x0080;
constexpr std::uint32_t fOutX = 0x0100;
constexpr std::uint32_t fInX = 0x0200;
constexpr std::uint32_t fErrorChar = 0x0400;
constexpr std::uint32_t fNull = 0x0800;
constexpr std::uint32_t fRtsControlShift = 12; // two bits: disable, enable, handshake, toggle
constexpr std::uint32_t fAbortOnError = 0x4000;

constexpr std::uint8_t NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2, MARKPARITY = 3, SPACEPARITY = 4;
constexpr std::uint8_t ONESTOPBIT = 0, ONE5STOPBITS = 1, TWOSTOPBITS = 2;

// Read and write time-outs in milliseconds; MAXDWORD means "no limit" for ReadIntervalTimeout.
struct TCommTimeouts {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;
};
constexpr std::uint32_t MAXDWORD = 0xFFFFFFFF;

// Event mask bits of SetCommMask and WaitCommEvent.
constexpr std::uint32_t EV_RXCHAR = 0x0001, EV_RXFLAG = 0x0002, EV_TXEMPTY = 0x0004,
                        EV_CTS = 0x0008, EV_DSR = 0x0010, EV_RLSD = 0x0020, EV_BREAK = 0x0040,
                        EV_ERR = 0x0080, EV_RING = 0x0100, EV_RX80FULL = 0x0400;

// Error flags of ClearCommError.
constexpr std::uint32_t CE_RXOVER = 0x0001, CE_OVERRUN = 0x0002, CE_RXPARITY = 0x0004,
                        CE_FRAME = 0x0008, CE_BREAK = 0x0010, CE_TXFULL = 0x0100, CE_IOE = 0x0400,
                        CE_MODE = 0x8000;

// Received bytes that no read has taken yet are kept, never dropped, up to this much; the bytes
// beyond it are lost and ClearCommError reports CE_RXOVER.
constexpr std::size_t InputQueueLimit = 16 * 1024 * 1024;

struct TComStat {
    std::uint32_t cbInQue = 0;
    std::uint32_t cbOutQue = 0;
};

// Modem status bits of GetCommModemStatus.
constexpr std::uint32_t MS_CTS_ON = 0x10, MS_DSR_ON = 0x20, MS_RING_ON = 0x40, MS_RLSD_ON = 0x80;

// PurgeComm actions.
constexpr std::uint32_t PURGE_TXABORT = 0x1, PURGE_RXABORT = 0x2, PURGE_TXCLEAR = 0x4,
                        PURGE_RXCLEAR = 0x8;

// A port name without a slash is a device in /dev ("ttyUSB0"); a path is used as it stands.
// The device is opened for reading and writing, exclusively, without becoming the process's
// controlling terminal. INVALID_HANDLE_VALUE on failure.
THandle CreateFile(const std::string& PortName);
bool CloseHandle(THandle Handle);

bool SetupComm(THandle Handle, std::uint32_t InQueue, std::uint32_t OutQueue);
// Fails when the device cannot take a value (a rate, 1.5 stop bits with more than five data
// bits, DTR handshake, RTS toggle).
bool SetCommState(THandle Handle, const TDCB& DCB);
bool SetCommTimeouts(THandle Handle, const TCommTimeouts& Timeouts);
bool SetCommMask(THandle Handle, std::uint32_t EventMask);

enum class TCommWaitResult { Events, Stopped, Failed };
// Waits until an event of the mask happens (Mask receives the events) or Stop is set. Received
// characters are reported when new bytes arrive, never again for bytes that wait unread.
// A device that disappears ends the wait with Failed.
TCommWaitResult WaitCommEvent(THandle Handle, const TEventObject& Stop, std::uint32_t& Mask);

// The state of one read request: its event is set when the request has completed, and
// InternalHigh holds the number of bytes it transferred.
struct TOverlapped {
    TEventObject hEvent{true};
    std::uint32_t InternalHigh = 0;
};

// Reads up to Count bytes as the time-outs say; with a read interval of MAXDWORD and both
// totals 0 it returns at once with what has arrived. The request completes before the call
// returns; a purge with PURGE_RXABORT from another thread ends a read that is still waiting.
bool ReadFile(THandle Handle, void* Buffer, std::uint32_t Count, std::uint32_t& BytesRead,
              TOverlapped& Overlapped);
// The number of bytes the completed request transferred.
bool GetOverlappedResult(THandle Handle, const TOverlapped& Overlapped, std::uint32_t& Transferred);
bool ClearCommError(THandle Handle, std::uint32_t& Errors, TComStat& Stat);
bool PurgeComm(THandle Handle, std::uint32_t Flags);
// A device without modem lines (a pseudo-terminal) reports none.
bool GetCommModemStatus(THandle Handle, std::uint32_t& ModemStatus);

// The system's description of an error code.
std::string SysErrorMessage(std::uint32_t Code);

} // namespace platform
