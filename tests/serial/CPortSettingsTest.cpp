#include "serial/CPort.h"

#include <gtest/gtest.h>
#include <optional>
#include <set>

namespace {

// The settings the main window gives its port.
void UseMainWindowSettings(TComPort& Port) {
    Port.SetBaudRate(br19200);
    Port.SetDataBits(dbEight);
    Port.SetStopBits(sbOneStopBit);
    Port.Parity().SetBits(prNone);
    Port.FlowControl().SetFlowControl(fcNone);
    Port.FlowControl().SetControlDTR(dtrDisable);
    Port.FlowControl().SetControlRTS(rtsDisable);
}

TEST(TComPortSettings, NewPortHasTheDefaults) {
    const TComPort Port;
    EXPECT_EQ(Port.Port(), "COM1");
    EXPECT_EQ(Port.BaudRate(), br9600);
    EXPECT_EQ(Port.CustomBaudRate(), 9600);
    EXPECT_EQ(Port.DataBits(), dbEight);
    EXPECT_EQ(Port.StopBits(), sbOneStopBit);
    EXPECT_EQ(Port.Parity().Bits(), prNone);
    EXPECT_EQ(Port.FlowControl().FlowControl(), fcNone);
    EXPECT_EQ(Port.FlowControl().XonChar(), 17);
    EXPECT_EQ(Port.FlowControl().XoffChar(), 19);
    EXPECT_EQ(Port.Events(), TComEvents::All());
    EXPECT_EQ(Port.SyncMethod(), smThreadSync);
    EXPECT_EQ(Port.StoredProps(), TStoredProps{spBasic});
    EXPECT_TRUE(Port.TriggersOnRxChar());
    EXPECT_FALSE(Port.Connected());
    EXPECT_EQ(Port.Buffer().InputSize(), 1024);
    EXPECT_EQ(Port.Buffer().OutputSize(), 1024);
    const TComTimeouts& T = Port.Timeouts();
    EXPECT_EQ(std::vector<int>({T.ReadInterval(), T.ReadTotalMultiplier(), T.ReadTotalConstant(),
                                T.WriteTotalMultiplier(), T.WriteTotalConstant()}),
              std::vector<int>({-1, 0, 0, 100, 1000}));
}

TEST(TComPortSettings, MainWindowSettingsGiveTheDeviceControlBlock) {
    TComPort Port;
    UseMainWindowSettings(Port);
    const platform::TDCB DCB = Port.DeviceControlBlock();
    EXPECT_EQ(DCB.DCBlength, 28u);
    EXPECT_EQ(DCB.BaudRate, 19200u);
    EXPECT_EQ(DCB.Flags, 0x0001u);
    EXPECT_EQ(DCB.XonLim, 256);
    EXPECT_EQ(DCB.XoffLim, 256);
    EXPECT_EQ(DCB.ByteSize, 8);
    EXPECT_EQ(DCB.Parity, 0);
    EXPECT_EQ(DCB.StopBits, 0);
    EXPECT_EQ(DCB.XonChar, 17);
    EXPECT_EQ(DCB.XoffChar, 19);
    EXPECT_EQ(DCB.ErrorChar + DCB.EofChar + DCB.EvtChar + DCB.wReserved + DCB.wReserved1, 0);
}

TEST(TComPortSettings, EveryFieldReachesItsFlagOrByte) {
    TComPort Port;
    Port.SetBaudRate(brCustom);
    Port.Parity().SetBits(prMark);
    Port.Parity().SetCheck(true);
    Port.Parity().SetReplace(true);
    Port.Parity().SetReplaceChar('?');
    Port.SetStopBits(sbTwoStopBits);
    Port.SetDataBits(dbSeven);
    Port.SetDiscardNull(true);
    Port.SetEventChar('\n');
    TComFlowControl& Flow = Port.FlowControl();
    Flow.SetOutDSRFlow(true);
    Flow.SetControlDTR(dtrHandshake);
    Flow.SetDSRSensitivity(true);
    Flow.SetTxContinueOnXoff(true);
    Flow.SetFlowControl(fcSoftware);
    Flow.SetControlRTS(rtsToggle);
    Port.Buffer().SetInputSize(-3);
    const platform::TDCB DCB = Port.DeviceControlBlock();
    EXPECT_EQ(DCB.BaudRate, 9600u);
    EXPECT_EQ(DCB.Flags,
              0x0001u | 0x2 | 0x8 | 0x20 | 0x40 | 0x80 | 0x100 | 0x200 | 0x400 | 0x800 | 0x3000);
    EXPECT_EQ(DCB.ByteSize, 7);
    EXPECT_EQ(DCB.Parity, 3);
    EXPECT_EQ(DCB.StopBits, 2);
    EXPECT_EQ(DCB.ErrorChar, '?');
    EXPECT_EQ(DCB.EvtChar, '\n');
    EXPECT_EQ(DCB.XonLim, 0);
    Port.SetCustomBaudRate(250000);
    EXPECT_EQ(Port.DeviceControlBlock().BaudRate, 250000u);
}

TEST(TComPortSettings, BufferSizesAreEven) {
    TComBuffer Buffer;
    Buffer.SetInputSize(1025);
    EXPECT_EQ(Buffer.InputSize(), 1024);
    Buffer.SetOutputSize(-3);
    EXPECT_EQ(Buffer.OutputSize(), -3);
    Buffer.SetOutputSize(4097);
    EXPECT_EQ(Buffer.OutputSize(), 4096);
}

TEST(TComPortSettings, FlowControlSummary) {
    TComFlowControl Flow;
    Flow.SetFlowControl(fcHardware);
    EXPECT_EQ(Flow.ControlRTS(), rtsHandshake);
    EXPECT_TRUE(Flow.OutCTSFlow());
    EXPECT_FALSE(Flow.XonXoffIn() || Flow.XonXoffOut());
    EXPECT_EQ(Flow.FlowControl(), fcHardware);
    Flow.SetOutDSRFlow(true);
    EXPECT_EQ(Flow.FlowControl(), fcHardware);
    Flow.SetControlRTS(rtsEnable);
    EXPECT_EQ(Flow.FlowControl(), fcCustom);
    Flow.SetFlowControl(fcCustom);
    EXPECT_EQ(Flow.ControlRTS(), rtsEnable);
    Flow.SetFlowControl(fcSoftware);
    EXPECT_EQ(Flow.FlowControl(), fcSoftware);
    EXPECT_EQ(Flow.ControlRTS(), rtsDisable);
    EXPECT_FALSE(Flow.OutCTSFlow());
    Flow.SetXonXoffIn(false);
    EXPECT_EQ(Flow.FlowControl(), fcCustom);
    Flow.SetFlowControl(fcNone);
    EXPECT_EQ(Flow.FlowControl(), fcNone);
    EXPECT_TRUE(Flow.OutDSRFlow());
}

TEST(TComPortSettings, AssignmentCopiesSettingsNotTheOwner) {
    TComPort Port;
    TComParity Parity;
    Parity.SetBits(prEven);
    Parity.SetCheck(true);
    Port.SetParity(Parity);
    EXPECT_EQ(Port.Parity().Bits(), prEven);
    EXPECT_TRUE(Port.Parity().Check());
    TComTimeouts Timeouts;
    Timeouts.SetReadTotalConstant(50);
    Port.SetTimeouts(Timeouts);
    EXPECT_EQ(Port.Timeouts().ReadTotalConstant(), 50);
    TComFlowControl Flow;
    Flow.SetFlowControl(fcHardware);
    Port.SetFlowControl(Flow);
    EXPECT_EQ(Port.FlowControl().FlowControl(), fcHardware);
}

TEST(TComPortSettings, EventMaskMapping) {
    EXPECT_EQ(EventsToMask(TComEvents::All()), 0x05FFu);
    EXPECT_EQ(EventsToMask({evRxChar}), 0x0001u);
    EXPECT_EQ(EventsToMask({evRLSD, evRing}), 0x0120u);
    EXPECT_EQ(MaskToEvents(0x05FF), TComEvents::All());
    EXPECT_EQ(MaskToEvents(0x0080 | 0x0200), TComEvents{evError});
}

TEST(TComPortSettings, ErrorTextsFormatTheCodesTheyAreGiven) {
    struct TCase {
        TComExceptions Code;
        std::optional<std::int32_t> SystemCode;
        const char* Text;
    };
    const TCase Cases[] = {
        {ceOpenFailed, 2, "Unable to open com port (Error: 2)"},
        {ceSetStateFailed, 22, "SetCommState function failed (Error: 22)"},
        {ceSetTimeoutsFailed, 1234567, "SetCommTimeouts failed (Error: 1234567)"},
        {ceWaitFailed, -5, "WaitForEvent method failed (Error: -5)"},
        {ceDataLinked, std::nullopt, "A component is linked to OnRxBuf event"},
        {cePortNotOpen, std::nullopt, "Port Not Open"},
        {25, 7, "Unknown error (Error: 7)"},
    };
    for (const TCase& Case : Cases) {
        const EComPort Error =
            Case.SystemCode ? EComPort(Case.Code, *Case.SystemCode) : EComPort(Case.Code);
        EXPECT_STREQ(Error.what(), Case.Text) << Case.Code;
        EXPECT_EQ(Error.Reason(), Case.Code);
        EXPECT_EQ(Error.SystemCode(), Case.SystemCode.value_or(-1)) << Case.Code;
    }
    std::set<std::string> Texts;
    for (TComExceptions Code = ceOpenFailed; Code <= cePortNotOpen; ++Code)
        Texts.insert(ComErrorMessage(Code));
    EXPECT_EQ(Texts.size(), 24u);
    EXPECT_EQ(Texts.count(ComErrorMessage(0)), 0u);
}

TEST(TComPortSettings, ReportComErrorRaisesOrHandsOver) {
    TComPort Port;
    try {
        Port.ReportComError(ceSetStateFailed, 22);
        FAIL();
    } catch (const EComPort& Error) {
        EXPECT_STREQ(Error.what(), "SetCommState function failed (Error: 22)");
    }
    EXPECT_THROW(Port.ReportComError(cePortNotOpen, -cePortNotOpen), EComPort);
    std::vector<std::string> Reports;
    Port.OnException = [&](QObject* Sender, TComExceptions Code, const std::string& Message,
                           std::int64_t WinError, const std::string& WinMessage) {
        EXPECT_EQ(Sender, &Port);
        Reports.push_back(std::to_string(Code) + " " + Message + " " + std::to_string(WinError) +
                          " " + WinMessage);
    };
    Port.ReportComError(ceLinkFailed, 0);
    // The system's text is that of the code given, whatever the thread's last error is.
    platform::SetLastError(5);
    Port.ReportComError(ceSetStateFailed, 22);
    EXPECT_EQ(Reports, (std::vector<std::string>{
                           "18 Link (un)registration failed 0 ",
                           "7 SetCommState function failed 22 System Error.  Code: 22.\n" +
                               platform::SysErrorMessage(22)}));
}

TEST(TComPortSettings, LinksAndTheTriggersFlag) {
    TComPort Port;
    TComLink Plain, DataTaker;
    DataTaker.DataReceived = [](QObject*, const char*, int) {};
    Port.AttachLink(&Plain);
    EXPECT_THROW(Port.AttachLink(&Plain), EComPort);
    Port.AttachLink(&DataTaker);
    EXPECT_FALSE(Port.TriggersOnRxChar());
    EXPECT_THROW(Port.SetTriggersOnRxChar(true), EComPort);
    Port.DetachLink(&DataTaker);
    EXPECT_TRUE(Port.TriggersOnRxChar());
    EXPECT_THROW(Port.DetachLink(&DataTaker), EComPort);
    Port.SetTriggersOnRxChar(false);
    EXPECT_FALSE(Port.TriggersOnRxChar());
}

TEST(TComPortSettings, OpenAndCloseDoNothingWhileDesigning) {
    TComPort Port;
    int Events = 0;
    Port.OnBeforeOpen = [&](QObject*) { ++Events; };
    Port.SetDesigning(true);
    Port.OpenPort();
    Port.SetConnected(true);
    EXPECT_TRUE(Port.Connected());
    EXPECT_EQ(Events, 0);
}

} // namespace
