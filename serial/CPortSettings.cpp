#include "serial/CPortSettings.h"

#include "serial/CPort.h"

namespace {

using TApply = void (TCustomComPort::*)();

// Stores a changed setting and lets the owning port pass it on to the device.
template <typename T>
void ChangeSetting(T& Field, T Value, TCustomComPort* ComPort, TApply Apply) {
    if (Field == Value)
        return;
    Field = Value;
    if (ComPort)
        (ComPort->*Apply)();
}

// Copies every setting of Source into Target, keeping Target's owning port.
template <typename T>
void AssignSettings(T& Target, const T& Source, TCustomComPort*& ComPort) {
    TCustomComPort* const Owner = ComPort;
    Target = Source;
    ComPort = Owner;
}

// The driver's queues are even-sized: a positive odd size is taken one smaller.
std::int32_t EvenSize(std::int32_t Value) {
    return Value > 0 && Value % 2 == 1 ? Value - 1 : Value;
}

} // namespace

void TComParity::Assign(const TComParity& Source) {
    AssignSettings(*this, Source, FComPort);
}

void TComParity::SetBits(TParityBits Value) {
    ChangeSetting(FBits, Value, FComPort, &TCustomComPort::ApplyLineSettings);
}
void TComParity::SetCheck(bool Value) {
    ChangeSetting(FCheck, Value, FComPort, &TCustomComPort::ApplyLineSettings);
}
void TComParity::SetReplace(bool Value) {
    ChangeSetting(FReplace, Value, FComPort, &TCustomComPort::ApplyLineSettings);
}
void TComParity::SetReplaceChar(char Value) {
    ChangeSetting(FReplaceChar, Value, FComPort, &TCustomComPort::ApplyLineSettings);
}

void TComFlowControl::Assign(const TComFlowControl& Source) {
    AssignSettings(*this, Source, FComPort);
}

TFlowControl TComFlowControl::FlowControl() const {
    const bool XonXoff = FXonXoffIn || FXonXoffOut;
    if (FControlRTS == rtsHandshake && FOutCTSFlow && !XonXoff)
        return fcHardware;
    if (FControlRTS == rtsDisable && !FOutCTSFlow && FXonXoffIn && FXonXoffOut)
        return fcSoftware;
    if (FControlRTS == rtsDisable && !FOutCTSFlow && !XonXoff)
        return fcNone;
    return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl Value) {
    if (Value != fcCustom) {
        FControlRTS = Value == fcHardware ? rtsHandshake : rtsDisable;
        FOutCTSFlow = Value == fcHardware;
        FXonXoffIn = FXonXoffOut = Value == fcSoftware;
    }
    if (FComPort)
        FComPort->ApplyLineSettings();
}

void TComFlowControl::SetOutCTSFlow(bool Value) {
    ChangeSetting(FOutCTSFlow, Value, FComPort, &TCustomComPort::ApplyLineSettings);
}
void TComFlowControl::SetOutDSRFlow(bool Value) {
    ChangeSetting(FOutDSRFlow, Value, FComPort, &TCustomComPort::ApplyLineSettings);
}
void TComFlowControl::SetControlDTR(TDTRFlowControl Value) {
    ChangeSetting(FControlDTR, Value, FComPort, &TCustomComPort::ApplyLineSettings);
}
void TComFlowControl::SetControlRTS(TRTSFlowControl Value) {
    ChangeSetting(FControlRTS, Value, FComPort, &TCustomComPort::ApplyLineSettings);
}
void TComFlowControl::SetXonXoffOut(bool Value) {
    ChangeSetting(FXonXoffOut, Value, FComPort, &TCustomComPort::ApplyLineSettings);
}
void TComFlowControl::SetXonXoffIn(bool Value) {
    ChangeSetting(FXonXoffIn, Value, FComPort, &TCustomComPort::ApplyLineSettings);
}
void TComFlowControl::SetDSRSensitivity(bool Value) {
    ChangeSetting(FDSRSensitivity, Value, FComPort, &TCustomComPort::ApplyLineSettings);
}
void TComFlowControl::SetTxContinueOnXoff(bool Value) {
    ChangeSetting(FTxContinueOnXoff, Value, FComPort, &TCustomComPort::ApplyLineSettings);
}
void TComFlowControl::SetXonChar(char Value) {
    ChangeSetting(FXonChar, Value, FComPort, &TCustomComPort::ApplyLineSettings);
}
void TComFlowControl::SetXoffChar(char Value) {
    ChangeSetting(FXoffChar, Value, FComPort, &TCustomComPort::ApplyLineSettings);
}

void TComTimeouts::Assign(const TComTimeouts& Source) {
    AssignSettings(*this, Source, FComPort);
}

void TComTimeouts::SetReadInterval(std::int32_t Value) {
    ChangeSetting(FReadInterval, Value, FComPort, &TCustomComPort::ApplyTimeoutSettings);
}
void TComTimeouts::SetReadTotalMultiplier(std::int32_t Value) {
    ChangeSetting(FReadTotalMultiplier, Value, FComPort, &TCustomComPort::ApplyTimeoutSettings);
}
void TComTimeouts::SetReadTotalConstant(std::int32_t Value) {
    ChangeSetting(FReadTotalConstant, Value, FComPort, &TCustomComPort::ApplyTimeoutSettings);
}
void TComTimeouts::SetWriteTotalMultiplier(std::int32_t Value) {
    ChangeSetting(FWriteTotalMultiplier, Value, FComPort, &TCustomComPort::ApplyTimeoutSettings);
}
void TComTimeouts::SetWriteTotalConstant(std::int32_t Value) {
    ChangeSetting(FWriteTotalConstant, Value, FComPort, &TCustomComPort::ApplyTimeoutSettings);
}

void TComBuffer::Assign(const TComBuffer& Source) {
    AssignSettings(*this, Source, FComPort);
}

void TComBuffer::SetInputSize(std::int32_t Value) {
    ChangeSize(FInputSize, Value);
}
void TComBuffer::SetOutputSize(std::int32_t Value) {
    ChangeSize(FOutputSize, Value);
}

// A new size is compared as given and stored even-sized; the device hears of it either way.
void TComBuffer::ChangeSize(std::int32_t& Field, std::int32_t Value) {
    if (Field == Value)
        return;
    Field = EvenSize(Value);
    if (FComPort)
        FComPort->ApplyBufferSizes();
}
