#include "serial/CPortText.h"

#include <array>
#include <charconv>
#include <span>

namespace {

constexpr std::array<const char*, 16> BaudRateTexts = {
    "Custom", "110",   "300",   "600",   "1200",  "2400",   "4800",   "9600",
    "14400",  "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
constexpr std::array<const char*, 3> StopBitsTexts = {"1", "1.5", "2"};
constexpr std::array<const char*, 4> DataBitsTexts = {"5", "6", "7", "8"};
constexpr std::array<const char*, 5> ParityTexts = {"None", "Odd", "Even", "Mark", "Space"};
constexpr std::array<const char*, 4> FlowControlTexts = {"Hardware", "Software", "None", "Custom"};
constexpr std::array<const char*, 3> DTRControlTexts = {"Disable", "Enable", "Handshake"};
constexpr std::array<const char*, 4> RTSControlTexts = {"Disable", "Enable", "Handshake", "Toggle"};

// Upper-cases the letters a to z only.
std::string UpperAscii(std::string Text) {
    for (char& c : Text)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    return Text;
}

template <typename TEnum>
TEnum FromText(std::span<const char* const> Texts, const std::string& Text, TEnum Default) {
    const std::string Wanted = UpperAscii(Text);
    for (std::size_t i = 0; i < Texts.size(); ++i)
        if (UpperAscii(Texts[i]) == Wanted)
            return static_cast<TEnum>(i);
    return Default;
}

} // namespace

std::string BaudRateText(TBaudRate Value) {
    return BaudRateTexts.at(Value);
}
std::string StopBitsText(TStopBits Value) {
    return StopBitsTexts.at(Value);
}
std::string DataBitsText(TDataBits Value) {
    return DataBitsTexts.at(Value);
}
std::string ParityText(TParityBits Value) {
    return ParityTexts.at(Value);
}
std::string FlowControlText(TFlowControl Value) {
    return FlowControlTexts.at(Value);
}
std::string DTRControlText(TDTRFlowControl Value) {
    return DTRControlTexts.at(Value);
}
std::string RTSControlText(TRTSFlowControl Value) {
    return RTSControlTexts.at(Value);
}

TBaudRate BaudRateFromText(const std::string& Text) {
    return FromText(BaudRateTexts, Text, br9600);
}
TStopBits StopBitsFromText(const std::string& Text) {
    return FromText(StopBitsTexts, Text, sbOneStopBit);
}
TDataBits DataBitsFromText(const std::string& Text) {
    return FromText(DataBitsTexts, Text, dbEight);
}
TParityBits ParityFromText(const std::string& Text) {
    return FromText(ParityTexts, Text, prNone);
}
TFlowControl FlowControlFromText(const std::string& Text) {
    return FromText(FlowControlTexts, Text, fcCustom);
}
TDTRFlowControl DTRControlFromText(const std::string& Text) {
    return FromText(DTRControlTexts, Text, dtrDisable);
}
TRTSFlowControl RTSControlFromText(const std::string& Text) {
    return FromText(RTSControlTexts, Text, rtsDisable);
}

std::string YesNoText(bool Value) {
    return Value ? "Yes" : "No";
}

bool YesNoFromText(const std::string& Text) {
    return UpperAscii(Text) == "YES";
}

std::string CharText(char Value) {
    const int Code = static_cast<unsigned char>(Value);
    return Code >= 33 && Code <= 127 ? std::string(1, Value) : "#" + std::to_string(Code);
}

char CharFromText(const std::string& Text) {
    if (Text.size() < 2 || Text[0] != '#')
        return Text.empty() ? 0 : Text[0];
    // The code as CharText writes it: decimal digits and nothing else.
    unsigned Code = 0;
    const char* const End = Text.data() + Text.size();
    const auto [Stop, Error] = std::from_chars(Text.data() + 1, End, Code);
    return Error == std::errc() && Stop == End ? static_cast<char>(Code & 0xFF) : 0;
}
