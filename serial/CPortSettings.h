#pragma once

// The four groups of a port's settings. Each setter stores a changed value and has the owning
// port pass it on to the device at once when the port is open.

#include "serial/CPortTypes.h"

#include <cstdint>

class TCustomComPort;

class TComParity {
public:
    explicit TComParity(TCustomComPort* ComPort = nullptr) : FComPort(ComPort) {}
    // Copies the settings, never the owning port.
    void Assign(const TComParity& Source);

    TParityBits Bits() const { return FBits; }
    bool Check() const { return FCheck; }
    bool Replace() const { return FReplace; }
    char ReplaceChar() const { return FReplaceChar; }
    void SetBits(TParityBits Value);
    void SetCheck(bool Value);
    void SetReplace(bool Value);
    void SetReplaceChar(char Value);

private:
    TCustomComPort* FComPort;
    TParityBits FBits = prNone;
    bool FCheck = false;
    bool FReplace = false;
    char FReplaceChar = 0;
};

class TComFlowControl {
public:
    explicit TComFlowControl(TCustomComPort* ComPort = nullptr) : FComPort(ComPort) {}
    void Assign(const TComFlowControl& Source);

    // A summary of RTS, CTS and XON/XOFF: fcHardware, fcSoftware, fcNone, or fcCustom for any
    // other combination. Writing it sets those four fields and applies the line settings once.
    TFlowControl FlowControl() const;
    void SetFlowControl(TFlowControl Value);

    bool OutCTSFlow() const { return FOutCTSFlow; }
    bool OutDSRFlow() const { return FOutDSRFlow; }
    TDTRFlowControl ControlDTR() const { return FControlDTR; }
    TRTSFlowControl ControlRTS() const { return FControlRTS; }
    bool XonXoffOut() const { return FXonXoffOut; }
    bool XonXoffIn() const { return FXonXoffIn; }
    bool DSRSensitivity() const { return FDSRSensitivity; }
    bool TxContinueOnXoff() const { return FTxContinueOnXoff; }
    char XonChar() const { return FXonChar; }
    char XoffChar() const { return FXoffChar; }
    void SetOutCTSFlow(bool Value);
    void SetOutDSRFlow(bool Value);
    void SetControlDTR(TDTRFlowControl Value);
    void SetControlRTS(TRTSFlowControl Value);
    void SetXonXoffOut(bool Value);
    void SetXonXoffIn(bool Value);
    void SetDSRSensitivity(bool Value);
    void SetTxContinueOnXoff(bool Value);
    void SetXonChar(char Value);
    void SetXoffChar(char Value);

private:
    TCustomComPort* FComPort;
    bool FOutCTSFlow = false;
    bool FOutDSRFlow = false;
    TDTRFlowControl FControlDTR = dtrDisable;
    TRTSFlowControl FControlRTS = rtsDisable;
    bool FXonXoffOut = false;
    bool FXonXoffIn = false;
    bool FDSRSensitivity = false;
    bool FTxContinueOnXoff = false;
    char FXonChar = 17;
    char FXoffChar = 19;
};

class TComTimeouts {
public:
    explicit TComTimeouts(TCustomComPort* ComPort = nullptr) : FComPort(ComPort) {}
    void Assign(const TComTimeouts& Source);

    // Milliseconds; a read interval of -1 means no limit.
    std::int32_t ReadInterval() const { return FReadInterval; }
    std::int32_t ReadTotalMultiplier() const { return FReadTotalMultiplier; }
    std::int32_t ReadTotalConstant() const { return FReadTotalConstant; }
    std::int32_t WriteTotalMultiplier() const { return FWriteTotalMultiplier; }
    std::int32_t WriteTotalConstant() const { return FWriteTotalConstant; }
    void SetReadInterval(std::int32_t Value);
    void SetReadTotalMultiplier(std::int32_t Value);
    void SetReadTotalConstant(std::int32_t Value);
    void SetWriteTotalMultiplier(std::int32_t Value);
    void SetWriteTotalConstant(std::int32_t Value);

private:
    TCustomComPort* FComPort;
    std::int32_t FReadInterval = -1;
    std::int32_t FReadTotalMultiplier = 0;
    std::int32_t FReadTotalConstant = 0;
    std::int32_t FWriteTotalMultiplier = 100;
    std::int32_t FWriteTotalConstant = 1000;
};

class TComBuffer {
public:
    explicit TComBuffer(TCustomComPort* ComPort = nullptr) : FComPort(ComPort) {}
    void Assign(const TComBuffer& Source);

    // Bytes; a positive odd size is stored one smaller, since the driver's queues are even.
    std::int32_t InputSize() const { return FInputSize; }
    std::int32_t OutputSize() const { return FOutputSize; }
    void SetInputSize(std::int32_t Value);
    void SetOutputSize(std::int32_t Value);

private:
    void ChangeSize(std::int32_t& Field, std::int32_t Value);

    TCustomComPort* FComPort;
    std::int32_t FInputSize = 1024;
    std::int32_t FOutputSize = 1024;
};
