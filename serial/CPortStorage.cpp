// Storing a port's settings as text, in an INI file (section: the port's name) or in the
// registry stand-in (one value per name). The groups of StoredProps are written in a fixed
// order, and read back in the same order through the setters.

#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "serial/CPort.h"
#include "serial/CPortText.h"

#include <functional>

namespace {

// One way in and out of a store: text and integer values by key.
struct TSettingsStore {
    std::function<void(const std::string&, const std::string&)> WriteText;
    std::function<void(const std::string&, int)> WriteInteger;
    // Read with the current value as the default where the store has defaults.
    std::function<std::string(const std::string&, const std::string&)> ReadText;
    std::function<int(const std::string&, int)> ReadInteger;
};

TSettingsStore IniStore(platform::TIniFile& Ini, const std::string& Section) {
    return {[&Ini, Section](const std::string& Key, const std::string& Value) {
                Ini.WriteString(Section, Key, Value);
            },
            [&Ini, Section](const std::string& Key, int Value) {
                Ini.WriteInteger(Section, Key, Value);
            },
            [&Ini, Section](const std::string& Key, const std::string& Default) {
                return Ini.ReadString(Section, Key, Default);
            },
            [&Ini, Section](const std::string& Key, int Default) {
                return Ini.ReadInteger(Section, Key, Default);
            }};
}

TSettingsStore RegistryStore(platform::TRegistry& Registry) {
    return {[&Registry](const std::string& Key, const std::string& Value) {
                Registry.WriteString(Key, Value);
            },
            [&Registry](const std::string& Key, int Value) { Registry.WriteInteger(Key, Value); },
            [&Registry](const std::string& Key, const std::string&) {
                return Registry.ReadString(Key);
            },
            [&Registry](const std::string& Key, int) { return Registry.ReadInteger(Key); }};
}

void SaveBasic(const TCustomComPort& Port, const TSettingsStore& Store) {
    Store.WriteText("Port", Port.Port());
    Store.WriteText("BaudRate", BaudRateText(Port.BaudRate()));
    if (Port.BaudRate() == brCustom)
        Store.WriteInteger("CustomBaudRate", Port.CustomBaudRate());
    Store.WriteText("StopBits", StopBitsText(Port.StopBits()));
    Store.WriteText("DataBits", DataBitsText(Port.DataBits()));
    Store.WriteText("Parity", ParityText(Port.Parity().Bits()));
    Store.WriteText("FlowControl", FlowControlText(Port.FlowControl().FlowControl()));
}

void LoadBasic(TCustomComPort& Port, const TSettingsStore& Store) {
    Port.SetPort(Store.ReadText("Port", Port.Port()));
    Port.SetBaudRate(BaudRateFromText(Store.ReadText("BaudRate", BaudRateText(Port.BaudRate()))));
    if (Port.BaudRate() == brCustom)
        Port.SetCustomBaudRate(Store.ReadInteger("CustomBaudRate", 9600));
    Port.SetStopBits(StopBitsFromText(Store.ReadText("StopBits", StopBitsText(Port.StopBits()))));
    Port.SetDataBits(DataBitsFromText(Store.ReadText("DataBits", DataBitsText(Port.DataBits()))));
    Port.Parity().SetBits(
        ParityFromText(Store.ReadText("Parity", ParityText(Port.Parity().Bits()))));
    Port.FlowControl().SetFlowControl(FlowControlFromText(
        Store.ReadText("FlowControl", FlowControlText(Port.FlowControl().FlowControl()))));
}

void SaveOthers(const TCustomComPort& Port, const TSettingsStore& Store) {
    Store.WriteText("EventChar", CharText(Port.EventChar()));
    Store.WriteText("DiscardNull", YesNoText(Port.DiscardNull()));
}

void LoadOthers(TCustomComPort& Port, const TSettingsStore& Store) {
    Port.SetEventChar(CharFromText(Store.ReadText("EventChar", CharText(Port.EventChar()))));
    Port.SetDiscardNull(
        YesNoFromText(Store.ReadText("DiscardNull", YesNoText(Port.DiscardNull()))));
}

void SaveParity(const TComParity& Parity, const TSettingsStore& Store) {
    Store.WriteText("Parity.Check", YesNoText(Parity.Check()));
    Store.WriteText("Parity.Replace", YesNoText(Parity.Replace()));
    Store.WriteText("Parity.ReplaceChar", CharText(Parity.ReplaceChar()));
}

void LoadParity(TComParity& Parity, const TSettingsStore& Store) {
    Parity.SetCheck(YesNoFromText(Store.ReadText("Parity.Check", YesNoText(Parity.Check()))));
    Parity.SetReplace(YesNoFromText(Store.ReadText("Parity.Replace", YesNoText(Parity.Replace()))));
    Parity.SetReplaceChar(
        CharFromText(Store.ReadText("Parity.ReplaceChar", CharText(Parity.ReplaceChar()))));
}

void SaveBuffer(const TComBuffer& Buffer, const TSettingsStore& Store) {
    Store.WriteInteger("Buffer.OutputSize", Buffer.OutputSize());
    Store.WriteInteger("Buffer.InputSize", Buffer.InputSize());
}

void LoadBuffer(TComBuffer& Buffer, const TSettingsStore& Store) {
    Buffer.SetOutputSize(Store.ReadInteger("Buffer.OutputSize", Buffer.OutputSize()));
    Buffer.SetInputSize(Store.ReadInteger("Buffer.InputSize", Buffer.InputSize()));
}

// The time-out keys in their stored order, with their getters and setters.
struct TTimeoutKey {
    const char* Key;
    std::int32_t (TComTimeouts::*Get)() const;
    void (TComTimeouts::*Set)(std::int32_t);
};

constexpr TTimeoutKey TimeoutKeys[] = {
    {"Timeouts.ReadInterval", &TComTimeouts::ReadInterval, &TComTimeouts::SetReadInterval},
    {"Timeouts.ReadTotalConstant", &TComTimeouts::ReadTotalConstant,
     &TComTimeouts::SetReadTotalConstant},
    {"Timeouts.ReadTotalMultiplier", &TComTimeouts::ReadTotalMultiplier,
     &TComTimeouts::SetReadTotalMultiplier},
    {"Timeouts.WriteTotalConstant", &TComTimeouts::WriteTotalConstant,
     &TComTimeouts::SetWriteTotalConstant},
    {"Timeouts.WriteTotalMultiplier", &TComTimeouts::WriteTotalMultiplier,
     &TComTimeouts::SetWriteTotalMultiplier},
};

void SaveTimeouts(const TComTimeouts& Timeouts, const TSettingsStore& Store) {
    for (const TTimeoutKey& Key : TimeoutKeys)
        Store.WriteInteger(Key.Key, (Timeouts.*Key.Get)());
}

void LoadTimeouts(TComTimeouts& Timeouts, const TSettingsStore& Store) {
    for (const TTimeoutKey& Key : TimeoutKeys)
        (Timeouts.*Key.Set)(Store.ReadInteger(Key.Key, (Timeouts.*Key.Get)()));
}

// The yes/no flow-control keys in their stored order.
struct TFlowFlagKey {
    const char* Key;
    bool (TComFlowControl::*Get)() const;
    void (TComFlowControl::*Set)(bool);
};

constexpr TFlowFlagKey FlowFlagKeys[] = {
    {"FlowControl.DSRSensitivity", &TComFlowControl::DSRSensitivity,
     &TComFlowControl::SetDSRSensitivity},
    {"FlowControl.OutCTSFlow", &TComFlowControl::OutCTSFlow, &TComFlowControl::SetOutCTSFlow},
    {"FlowControl.OutDSRFlow", &TComFlowControl::OutDSRFlow, &TComFlowControl::SetOutDSRFlow},
    {"FlowControl.TxContinueOnXoff", &TComFlowControl::TxContinueOnXoff,
     &TComFlowControl::SetTxContinueOnXoff},
    {"FlowControl.XonXoffIn", &TComFlowControl::XonXoffIn, &TComFlowControl::SetXonXoffIn},
    {"FlowControl.XonXoffOut", &TComFlowControl::XonXoffOut, &TComFlowControl::SetXonXoffOut},
};

void SaveFlowControl(const TComFlowControl& Flow, const TSettingsStore& Store) {
    Store.WriteText("FlowControl.ControlRTS", RTSControlText(Flow.ControlRTS()));
    Store.WriteText("FlowControl.ControlDTR", DTRControlText(Flow.ControlDTR()));
    for (const TFlowFlagKey& Key : FlowFlagKeys)
        Store.WriteText(Key.Key, YesNoText((Flow.*Key.Get)()));
    Store.WriteText("FlowControl.XoffChar", CharText(Flow.XoffChar()));
    Store.WriteText("FlowControl.XonChar", CharText(Flow.XonChar()));
}

void LoadFlowControl(TComFlowControl& Flow, const TSettingsStore& Store) {
    Flow.SetControlRTS(RTSControlFromText(
        Store.ReadText("FlowControl.ControlRTS", RTSControlText(Flow.ControlRTS()))));
    Flow.SetControlDTR(DTRControlFromText(
        Store.ReadText("FlowControl.ControlDTR", DTRControlText(Flow.ControlDTR()))));
    for (const TFlowFlagKey& Key : FlowFlagKeys)
        (Flow.*Key.Set)(YesNoFromText(Store.ReadText(Key.Key, YesNoText((Flow.*Key.Get)()))));
    Flow.SetXoffChar(
        CharFromText(Store.ReadText("FlowControl.XoffChar", CharText(Flow.XoffChar()))));
    Flow.SetXonChar(CharFromText(Store.ReadText("FlowControl.XonChar", CharText(Flow.XonChar()))));
}

void SaveSettings(const TCustomComPort& Port, const TSettingsStore& Store) {
    const TStoredProps Groups = Port.StoredProps();
    if (Groups.Contains(spBasic))
        SaveBasic(Port, Store);
    if (Groups.Contains(spOthers))
        SaveOthers(Port, Store);
    if (Groups.Contains(spParity))
        SaveParity(Port.Parity(), Store);
    if (Groups.Contains(spBuffer))
        SaveBuffer(Port.Buffer(), Store);
    if (Groups.Contains(spTimeouts))
        SaveTimeouts(Port.Timeouts(), Store);
    if (Groups.Contains(spFlowControl))
        SaveFlowControl(Port.FlowControl(), Store);
}

void LoadSettings(TCustomComPort& Port, const TSettingsStore& Store) {
    const TStoredProps Groups = Port.StoredProps();
    if (Groups.Contains(spBasic))
        LoadBasic(Port, Store);
    if (Groups.Contains(spOthers))
        LoadOthers(Port, Store);
    if (Groups.Contains(spParity))
        LoadParity(Port.Parity(), Store);
    if (Groups.Contains(spBuffer))
        LoadBuffer(Port.Buffer(), Store);
    if (Groups.Contains(spTimeouts))
        LoadTimeouts(Port.Timeouts(), Store);
    if (Groups.Contains(spFlowControl))
        LoadFlowControl(Port.FlowControl(), Store);
}

} // namespace

void TCustomComPort::SaveToIni(platform::TIniFile& Ini) {
    SaveSettings(*this, IniStore(Ini, objectName().toStdString()));
}

void TCustomComPort::LoadFromIni(platform::TIniFile& Ini) {
    LoadSettings(*this, IniStore(Ini, objectName().toStdString()));
}

void TCustomComPort::SaveToRegistry(platform::TRegistry& Registry) {
    SaveSettings(*this, RegistryStore(Registry));
}

void TCustomComPort::LoadFromRegistry(platform::TRegistry& Registry) {
    LoadSettings(*this, RegistryStore(Registry));
}
