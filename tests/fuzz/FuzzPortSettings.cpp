// The port settings read back from an INI file: arbitrary file contents loaded into a port with
// every group of settings stored. Every text form maps any text to a valid value whose own text
// reads back as the same value, the loaded characters survive their text form, and the loaded
// settings, saved and loaded again, stay as they are.

#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "serial/CPort.h"
#include "serial/CPortText.h"
#include "tests/fuzz/FuzzFile.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr const char* PortName = "ComPort";

// FromText gives a value below Count for any text, and that value's text reads back as it.
template <typename TEnum>
void CheckTextForm(const char* What, const std::string& Text, TEnum (*FromText)(const std::string&),
                   std::string (*ToText)(TEnum), int Count) {
    const TEnum Value = FromText(Text);
    if (static_cast<int>(Value) < 0 || static_cast<int>(Value) >= Count)
        FuzzFailure(std::string(What) + " from text gives " + std::to_string(Value));
    if (FromText(ToText(Value)) != Value)
        FuzzFailure(std::string(What) + " " + ToText(Value) + " does not read back");
}

void CheckTextForms(const std::string& Text) {
    CheckTextForm("baud rate", Text, BaudRateFromText, BaudRateText, 16);
    CheckTextForm("stop bits", Text, StopBitsFromText, StopBitsText, 3);
    CheckTextForm("data bits", Text, DataBitsFromText, DataBitsText, 4);
    CheckTextForm("parity", Text, ParityFromText, ParityText, 5);
    CheckTextForm("flow control", Text, FlowControlFromText, FlowControlText, 4);
    CheckTextForm("DTR control", Text, DTRControlFromText, DTRControlText, 3);
    CheckTextForm("RTS control", Text, RTSControlFromText, RTSControlText, 4);
    const bool YesNo = YesNoFromText(Text);
    if (YesNoFromText(YesNoText(YesNo)) != YesNo)
        FuzzFailure("yes/no " + YesNoText(YesNo) + " does not read back");
    const char Char = CharFromText(Text);
    if (CharFromText(CharText(Char)) != Char)
        FuzzFailure("the character " + CharText(Char) + " does not read back");
}

// Every line of the input, and the value after its "=", as a text that a form may meet.
void CheckTextFormsOfLines(std::string_view Input) {
    while (!Input.empty()) {
        const std::size_t End = std::min(Input.find('\n'), Input.size());
        const std::string Line(Input.substr(0, End));
        CheckTextForms(Line);
        if (const std::size_t Equals = Line.find('='); Equals != std::string::npos)
            CheckTextForms(Line.substr(Equals + 1));
        Input.remove_prefix(std::min(End + 1, Input.size()));
    }
}

// The settings that storage keeps, as the stored text of one port.
std::string StoredSettings(TComPort& Port, const TFuzzFile& File) {
    File.Write(nullptr, 0);
    platform::TIniFile Ini(File.Path());
    Port.SaveToIni(Ini);
    return platform::ReadRegularFileBytes(File.Path(), UINTMAX_MAX);
}

void CheckLoadedPort(const TFuzzFile& Input, const TFuzzFile& Saved) {
    TComPort Port;
    Port.setObjectName(PortName);
    Port.SetStoredProps(TStoredProps::All());
    platform::TIniFile Ini(Input.Path());
    Port.LoadFromIni(Ini);
    for (const char Char : {Port.EventChar(), Port.Parity().ReplaceChar(),
                            Port.FlowControl().XonChar(), Port.FlowControl().XoffChar()})
        if (CharFromText(CharText(Char)) != Char)
            FuzzFailure("the loaded character " + CharText(Char) + " does not read back");
    const std::string Stored = StoredSettings(Port, Saved);
    TComPort Reloaded;
    Reloaded.setObjectName(PortName);
    Reloaded.SetStoredProps(TStoredProps::All());
    platform::TIniFile SavedIni(Saved.Path());
    Reloaded.LoadFromIni(SavedIni);
    if (StoredSettings(Reloaded, Saved) != Stored)
        FuzzFailure("the saved settings load back as others:\n" + Stored);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const TFuzzFile Input("tarvex-fuzz-port");
    static const TFuzzFile Saved("tarvex-fuzz-port-saved");
    Input.Write(Data, Size);
    CheckTextFormsOfLines(std::string_view(reinterpret_cast<const char*>(Data), Size));
    CheckLoadedPort(Input, Saved);
    return 0;
}
