#pragma once

// The port's settings as the texts that the setup dialog lists, the log shows and the
// settings storage keeps, and back.

#include "serial/CPortTypes.h"

#include <string>

std::string BaudRateText(TBaudRate Value);
std::string StopBitsText(TStopBits Value);
std::string DataBitsText(TDataBits Value);
std::string ParityText(TParityBits Value);
std::string FlowControlText(TFlowControl Value);
std::string DTRControlText(TDTRFlowControl Value);
std::string RTSControlText(TRTSFlowControl Value);

// Letter case is ignored; a text that matches no entry gives the usual default.
TBaudRate BaudRateFromText(const std::string& Text);
TStopBits StopBitsFromText(const std::string& Text);
TDataBits DataBitsFromText(const std::string& Text);
TParityBits ParityFromText(const std::string& Text);
TFlowControl FlowControlFromText(const std::string& Text);
TDTRFlowControl DTRControlFromText(const std::string& Text);
TRTSFlowControl RTSControlFromText(const std::string& Text);

std::string YesNoText(bool Value);
bool YesNoFromText(const std::string& Text);
// Printable characters stand for themselves; others are "#" and the decimal code.
std::string CharText(char Value);
char CharFromText(const std::string& Text);
