#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "serial/CPort.h"
#include "tests/platform/PlatformTestSupport.h"

#include <gtest/gtest.h>

namespace {

const TStoredProps AllGroups = TStoredProps::All();

// A port whose every stored setting differs from the defaults.
void ChangeEverything(TComPort& Port) {
    Port.setObjectName("comPort");
    Port.SetStoredProps(AllGroups);
    Port.SetPort("ttyUSB3");
    Port.SetBaudRate(brCustom);
    Port.SetCustomBaudRate(250000);
    Port.SetStopBits(sbTwoStopBits);
    Port.SetDataBits(dbSeven);
    Port.Parity().SetBits(prOdd);
    Port.Parity().SetCheck(true);
    Port.Parity().SetReplace(true);
    Port.Parity().SetReplaceChar(' ');
    Port.SetEventChar('\r');
    Port.SetDiscardNull(true);
    Port.Buffer().SetInputSize(4096);
    Port.Buffer().SetOutputSize(2048);
    Port.Timeouts().SetReadInterval(10);
    Port.Timeouts().SetReadTotalConstant(20);
    Port.Timeouts().SetReadTotalMultiplier(30);
    Port.Timeouts().SetWriteTotalConstant(40);
    Port.Timeouts().SetWriteTotalMultiplier(50);
    Port.FlowControl().SetFlowControl(fcHardware);
    Port.FlowControl().SetControlDTR(dtrEnable);
    Port.FlowControl().SetOutDSRFlow(true);
    Port.FlowControl().SetDSRSensitivity(true);
    Port.FlowControl().SetTxContinueOnXoff(true);
    Port.FlowControl().SetXonChar('A');
    Port.FlowControl().SetXoffChar(0);
}

void ExpectSameSettings(const TComPort& A, const TComPort& B) {
    EXPECT_EQ(A.Port(), B.Port());
    EXPECT_EQ(A.DeviceControlBlock().BaudRate, B.DeviceControlBlock().BaudRate);
    EXPECT_EQ(A.DeviceControlBlock().Flags, B.DeviceControlBlock().Flags);
    EXPECT_EQ(A.DeviceControlBlock().XonLim, B.DeviceControlBlock().XonLim);
    EXPECT_EQ(A.DeviceControlBlock().ErrorChar, B.DeviceControlBlock().ErrorChar);
    EXPECT_EQ(A.DeviceControlBlock().XonChar, B.DeviceControlBlock().XonChar);
    EXPECT_EQ(A.DeviceControlBlock().XoffChar, B.DeviceControlBlock().XoffChar);
    EXPECT_EQ(A.DeviceControlBlock().EvtChar, B.DeviceControlBlock().EvtChar);
    EXPECT_EQ(A.StopBits(), B.StopBits());
    EXPECT_EQ(A.DataBits(), B.DataBits());
    EXPECT_EQ(A.Parity().Bits(), B.Parity().Bits());
    EXPECT_EQ(A.Buffer().OutputSize(), B.Buffer().OutputSize());
    EXPECT_EQ(A.Timeouts().ReadInterval(), B.Timeouts().ReadInterval());
    EXPECT_EQ(A.Timeouts().ReadTotalConstant(), B.Timeouts().ReadTotalConstant());
    EXPECT_EQ(A.Timeouts().ReadTotalMultiplier(), B.Timeouts().ReadTotalMultiplier());
    EXPECT_EQ(A.Timeouts().WriteTotalConstant(), B.Timeouts().WriteTotalConstant());
    EXPECT_EQ(A.Timeouts().WriteTotalMultiplier(), B.Timeouts().WriteTotalMultiplier());
}

TEST(TComPortStorage, IniFileKeepsTheTextForms) {
    tests::TTempFolder Folder;
    platform::TIniFile Ini(Folder.File("port.ini"));
    TComPort Saved;
    ChangeEverything(Saved);
    Saved.SaveToIni(Ini);
    EXPECT_EQ(Ini.ReadString("comPort", "BaudRate", ""), "Custom");
    EXPECT_EQ(Ini.ReadInteger("comPort", "CustomBaudRate", 0), 250000);
    EXPECT_EQ(Ini.ReadString("comPort", "StopBits", ""), "2");
    EXPECT_EQ(Ini.ReadString("comPort", "Parity", ""), "Odd");
    EXPECT_EQ(Ini.ReadString("comPort", "FlowControl", ""), "Hardware");
    EXPECT_EQ(Ini.ReadString("comPort", "EventChar", ""), "#13");
    EXPECT_EQ(Ini.ReadString("comPort", "DiscardNull", ""), "Yes");
    EXPECT_EQ(Ini.ReadString("comPort", "Parity.ReplaceChar", ""), "#32");
    EXPECT_EQ(Ini.ReadString("comPort", "FlowControl.ControlRTS", ""), "Handshake");
    EXPECT_EQ(Ini.ReadString("comPort", "FlowControl.XoffChar", ""), "#0");
    TComPort Loaded;
    Loaded.setObjectName("comPort");
    Loaded.SetStoredProps(AllGroups);
    Loaded.LoadFromIni(Ini);
    ExpectSameSettings(Saved, Loaded);
}

TEST(TComPortStorage, OnlyTheChosenGroupsAreStoredAndMissingKeysKeepTheirValues) {
    tests::TTempFolder Folder;
    platform::TIniFile Ini(Folder.File("port.ini"));
    TComPort Saved;
    ChangeEverything(Saved);
    Saved.SetStoredProps({spBasic});
    Saved.SaveToIni(Ini);
    EXPECT_FALSE(Ini.ValueExists("comPort", "DiscardNull"));
    EXPECT_FALSE(Ini.ValueExists("comPort", "Timeouts.ReadInterval"));
    TComPort Loaded;
    Loaded.setObjectName("comPort");
    Loaded.SetStoredProps(AllGroups);
    Loaded.LoadFromIni(Ini);
    EXPECT_EQ(Loaded.Port(), "ttyUSB3");
    EXPECT_EQ(Loaded.CustomBaudRate(), 250000);
    EXPECT_FALSE(Loaded.DiscardNull());
    EXPECT_EQ(Loaded.Timeouts().ReadInterval(), -1);
}

TEST(TComPortStorage, RegistryKeepsTheSettingsAndRefusesMissingValues) {
    tests::TTempFolder Folder;
    platform::TRegistry Registry(Folder.File("registry.ini"));
    ASSERT_TRUE(Registry.OpenKey("Software\\Tarvex\\Port", true));
    TComPort Saved;
    ChangeEverything(Saved);
    Saved.SaveToRegistry(Registry);
    TComPort Loaded;
    Loaded.SetStoredProps(AllGroups);
    Loaded.LoadFromRegistry(Registry);
    ExpectSameSettings(Saved, Loaded);
    ASSERT_TRUE(Registry.OpenKey("Software\\Tarvex\\Empty", true));
    EXPECT_THROW(Loaded.LoadFromRegistry(Registry), platform::ERegistryException);
}

} // namespace
