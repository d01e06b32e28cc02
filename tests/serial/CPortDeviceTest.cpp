// The port on real pseudo-terminal pairs: the test writes what a chronograph would send into
// the master side, and the port under test opens the slave side.

#include "platform/PseudoTerminal.h"
#include "platform/ThreadSync.h"
#include "serial/CPort.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/WaitUntil.h"

#include <atomic>
#include <gtest/gtest.h>
#include <termios.h>
#include <thread>

namespace {

class PortOnPseudoTerminal : public testing::Test {
protected:
    PortOnPseudoTerminal() {
        Port.SetPort(Device.SlavePath());
        Port.SetBaudRate(br19200);
        Port.FlowControl().SetFlowControl(fcNone);
        Port.OnRxChar = [this](QObject*, int Count) {
            OnUserInterfaceThread = OnUserInterfaceThread && platform::IsUserInterfaceThread();
            Counts.push_back(Count);
            Received += Port.ReadText(Count);
        };
    }

    // Errors of the event thread are expected only where a test provokes them.
    void TearDown() override {
        if (!ExpectErrors) {
            EXPECT_TRUE(Dialogs.Errors.empty()) << Dialogs.Errors.front();
        }
    }

    termios DeviceSettings() const {
        termios Settings{};
        tcgetattr(Device.MasterHandle(), &Settings);
        return Settings;
    }

    // No test may leave a real error box waiting for a click.
    TScriptedDialogs Dialogs;
    platform::TPseudoTerminal Device;
    TComPort Port;
    std::string Received;
    std::vector<int> Counts;
    bool OnUserInterfaceThread = true;
    bool ExpectErrors = false;
};

TEST_F(PortOnPseudoTerminal, OpenPutsTheLineIntoRaw19200EightNOne) {
    Port.OpenPort();
    ASSERT_TRUE(Port.Connected());
    const termios Settings = DeviceSettings();
    EXPECT_EQ(cfgetospeed(&Settings), B19200);
    EXPECT_EQ(cfgetispeed(&Settings), B19200);
    EXPECT_EQ(Settings.c_cflag & CSIZE, unsigned(CS8));
    EXPECT_EQ(Settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(Settings.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP), 0u);
    EXPECT_EQ(Settings.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(Settings.c_oflag & OPOST, 0u);
}

TEST_F(PortOnPseudoTerminal, SettingsReachAnOpenDeviceAtOnceOrAfterTheUpdate) {
    Port.OpenPort();
    Port.SetBaudRate(br57600);
    EXPECT_EQ(cfgetospeed(&static_cast<const termios&>(DeviceSettings())), B57600);
    Port.BeginSettingsUpdate();
    Port.BeginSettingsUpdate();
    Port.SetBaudRate(br9600);
    Port.SetStopBits(sbTwoStopBits);
    Port.EndSettingsUpdate();
    EXPECT_EQ(cfgetospeed(&static_cast<const termios&>(DeviceSettings())), B57600);
    Port.EndSettingsUpdate();
    const termios Settings = DeviceSettings();
    EXPECT_EQ(cfgetospeed(&Settings), B9600);
    EXPECT_NE(Settings.c_cflag & CSTOPB, 0u);
    Port.EndSettingsUpdate();
}

TEST_F(PortOnPseudoTerminal, ConnectedStoredWhileLoadingOpensOnceLoaded) {
    Port.Loading();
    Port.SetConnected(true);
    Port.SetPort(Device.SlavePath() + "-elsewhere");
    Port.SetPort(Device.SlavePath());
    EXPECT_TRUE(Port.Connected());
    Port.Loaded();
    EXPECT_TRUE(Port.Connected());
    Device.Write("1");
    ASSERT_TRUE(WaitUntil([&] { return Received == "1"; }));
    Port.SetConnected(false);
    EXPECT_FALSE(Port.Connected());
}

TEST_F(PortOnPseudoTerminal, AValueTheDeviceCannotTakeFailsTheOpen) {
    Port.SetStopBits(sbOne5StopBits);
    try {
        Port.OpenPort();
        FAIL();
    } catch (const EComPort& Error) {
        EXPECT_EQ(Error.Reason(), ceSetStateFailed);
    }
    EXPECT_FALSE(Port.Connected());
    Port.SetStopBits(sbOneStopBit);
    Port.OpenPort();
    EXPECT_TRUE(Port.Connected());
}

TEST_F(PortOnPseudoTerminal, OpenAndCloseRunTheirEventsAndLinksInOrder) {
    std::vector<std::string> Order;
    const auto Record = [&Order](const std::string& Name) {
        return [&Order, Name](QObject*) { Order.push_back(Name); };
    };
    const auto RecordSignal = [&Order](const std::string& Name) {
        return [&Order, Name](QObject*, bool On) { Order.push_back(Name + (On ? "+" : "-")); };
    };
    TComLink Link;
    Link.ConnectionChanged = RecordSignal("link.Connection");
    Link.CTSChanged = RecordSignal("link.CTS");
    Link.DSRChanged = RecordSignal("link.DSR");
    Link.RLSDChanged = RecordSignal("link.RLSD");
    Port.AttachLink(&Link);
    Port.OnBeforeOpen = Record("BeforeOpen");
    Port.OnAfterOpen = Record("AfterOpen");
    Port.OnBeforeClose = Record("BeforeClose");
    Port.OnAfterClose = Record("AfterClose");
    Port.OnCTSChange = RecordSignal("CTS");
    Port.OnDSRChange = RecordSignal("DSR");
    Port.OnRLSDChange = RecordSignal("RLSD");
    Port.OpenPort();
    Port.OpenPort();
    Port.ClosePort();
    Port.ClosePort();
    const std::vector<std::string> Expected = {"BeforeOpen",
                                               "link.Connection+",
                                               "AfterOpen",
                                               "link.CTS-",
                                               "CTS-",
                                               "link.DSR-",
                                               "DSR-",
                                               "link.RLSD-",
                                               "RLSD-",
                                               "link.CTS-",
                                               "link.DSR-",
                                               "link.RLSD-",
                                               "CTS-",
                                               "DSR-",
                                               "RLSD-",
                                               "BeforeClose",
                                               "link.Connection-",
                                               "AfterClose"};
    EXPECT_EQ(Order, Expected);
}

TEST_F(PortOnPseudoTerminal, ReceivedCharactersReachOnRxCharOnTheUserInterfaceThread) {
    Port.OpenPort();
    Device.Write("175.52;m/s\r\n");
    ASSERT_TRUE(WaitUntil([&] { return Received.size() == 12; }));
    EXPECT_EQ(Received, "175.52;m/s\r\n");
    EXPECT_TRUE(OnUserInterfaceThread);
    for (const int Count : Counts)
        EXPECT_GT(Count, 0);
}

TEST_F(PortOnPseudoTerminal, EveryByteArrivesUnchanged) {
    std::string AllBytes;
    for (int Code = 0; Code < 256; ++Code)
        AllBytes += static_cast<char>(Code);
    Port.OpenPort();
    Device.Write(AllBytes);
    ASSERT_TRUE(WaitUntil([&] { return Received.size() >= AllBytes.size(); }));
    EXPECT_EQ(Received, AllBytes);
}

TEST_F(PortOnPseudoTerminal, ARecordSplitOverThreeWritesArrivesWholeAndInOrder) {
    Port.OpenPort();
    for (const char* Piece : {"17", "5.", "5\r\n"}) {
        Device.Write(Piece);
        ASSERT_TRUE(WaitUntil([&] { return Port.BytesWaiting() == 0 && Device.Unread() == 0; }));
    }
    EXPECT_EQ(Received, "175.5\r\n");
}

TEST_F(PortOnPseudoTerminal, WithoutEventsNoThreadRunsAndBytesWaitInTheQueue) {
    Port.SetEvents({});
    Port.OpenPort();
    Device.Write("abc");
    ASSERT_TRUE(WaitUntil([&] { return Port.BytesWaiting() == 3; }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(Counts.empty());
    EXPECT_EQ(Port.ReadText(5), "abc");
    EXPECT_EQ(Port.BytesWaiting(), 0);
}

TEST_F(PortOnPseudoTerminal, ReadingAndStatusOfAnOpenPort) {
    Port.SetEvents({});
    Port.OpenPort();
    EXPECT_EQ(Port.ReadText(0), "");
    EXPECT_EQ(Port.ReadText(5), "");
    EXPECT_TRUE(Port.LineSignals().Empty());
    EXPECT_TRUE(Port.LineErrors().Empty());
    Device.Write("xyz");
    ASSERT_TRUE(WaitUntil([&] { return Port.BytesWaiting() == 3; }));
    char Bytes[8] = {};
    EXPECT_EQ(Port.ReadBytes(Bytes, 2), 2);
    EXPECT_EQ(std::string(Bytes, 2), "xy");
}

TEST_F(PortOnPseudoTerminal, ReadTimeoutWaitsForTheBytesThatAreAsked) {
    Port.SetEvents({});
    Port.Timeouts().SetReadInterval(0);
    Port.Timeouts().SetReadTotalConstant(5000);
    Port.OpenPort();
    std::thread Writer([this] { Device.Write("12345"); });
    EXPECT_EQ(Port.ReadText(5), "12345");
    Writer.join();
}

TEST_F(PortOnPseudoTerminal, ReceivedBytesGoToDataLinksAndOnRxBufInsteadOfOnRxChar) {
    std::string LinkData, BufferData;
    TComLink Link;
    Link.DataReceived = [&](QObject*, const char* Buffer, int Count) {
        LinkData.append(Buffer, Count);
    };
    Port.OnRxBuf = [&](QObject*, const char* Buffer, int Count) {
        BufferData.append(Buffer, Count);
    };
    Port.AttachLink(&Link);
    Port.OpenPort();
    Device.Write("hello");
    ASSERT_TRUE(WaitUntil([&] { return LinkData.size() == 5; }));
    EXPECT_EQ(BufferData, "hello");
    EXPECT_TRUE(Counts.empty());
    Port.ClosePort();
    Port.DetachLink(&Link);
    Port.SetTriggersOnRxChar(false);
    Port.OpenPort();
    Device.Write("again");
    ASSERT_TRUE(WaitUntil([&] { return BufferData == "helloagain"; }));
    EXPECT_TRUE(Counts.empty());
}

TEST_F(PortOnPseudoTerminal, WindowSyncDeliversOnTheUserInterfaceThread) {
    Port.SetSyncMethod(smWindowSync);
    Port.OpenPort();
    Device.Write("12345");
    ASSERT_TRUE(WaitUntil([&] { return Received == "12345"; }));
    EXPECT_TRUE(OnUserInterfaceThread);
    Port.ClosePort();
}

TEST_F(PortOnPseudoTerminal, NoSyncDeliversOnTheEventThread) {
    std::atomic<int> Bytes{0};
    std::atomic<bool> OnWorker{true};
    Port.OnRxChar = [&](QObject*, int Count) {
        OnWorker = OnWorker && !platform::IsUserInterfaceThread();
        Bytes += static_cast<int>(Port.ReadText(Count).size());
    };
    Port.SetSyncMethod(smNone);
    Port.OpenPort();
    Device.Write("12345");
    ASSERT_TRUE(WaitUntil([&] { return Bytes == 5; }));
    EXPECT_TRUE(OnWorker);
}

TEST_F(PortOnPseudoTerminal, SyncMethodCannotChangeWhileOpen) {
    Port.OpenPort();
    try {
        Port.SetSyncMethod(smNone);
        FAIL();
    } catch (const EComPort& Error) {
        EXPECT_STREQ(Error.what(), "Cannot set property while connected");
    }
    EXPECT_EQ(Port.SyncMethod(), smThreadSync);
    Port.SetSyncMethod(smThreadSync);
}

TEST_F(PortOnPseudoTerminal, ANewPortNameWhileOpenReopensOnTheNewDevice) {
    platform::TPseudoTerminal Other;
    int Opened = 0, Closed = 0;
    Port.OnAfterOpen = [&](QObject*) { ++Opened; };
    Port.OnAfterClose = [&](QObject*) { ++Closed; };
    Port.OpenPort();
    Port.SetPort(Device.SlavePath());
    EXPECT_EQ(Opened, 1);
    Port.SetPort(Other.SlavePath());
    EXPECT_EQ(Opened, 2);
    EXPECT_EQ(Closed, 1);
    Other.Write("x");
    ASSERT_TRUE(WaitUntil([&] { return Received == "x"; }));
}

// Whichever thread runs the handler, a close from inside it has freed the device when it
// returns: the handler can open the port again at once, and the new connection receives.
class ClosingFromAHandler : public PortOnPseudoTerminal,
                            public testing::WithParamInterface<TSyncMethod> {};

TEST_P(ClosingFromAHandler, FreesTheDeviceForAnImmediateReopen) {
    std::atomic<int> Calls{0};
    std::atomic<bool> Reopened{false};
    Port.SetSyncMethod(GetParam());
    Port.OnRxChar = [&](QObject*, int Count) {
        Port.ReadText(Count);
        if (Calls == 0) {
            Port.ClosePort();
            Port.OpenPort();
            Reopened = Port.Connected();
        }
        ++Calls;
    };
    Port.OpenPort();
    Device.Write("1");
    ASSERT_TRUE(WaitUntil([&] { return Calls == 1; }));
    Device.Write("2");
    ASSERT_TRUE(WaitUntil([&] { return Calls == 2; }));
    EXPECT_TRUE(Reopened);
}

INSTANTIATE_TEST_SUITE_P(SyncMethods, ClosingFromAHandler, testing::Values(smThreadSync, smNone));

TEST_F(PortOnPseudoTerminal, AHandlerThatClosesDuringTheCloseDoesNotCloseTwice) {
    int Closed = 0;
    Port.OpenPort();
    Port.OnBeforeClose = [this](QObject*) { Port.ClosePort(); };
    Port.OnCTSChange = [this](QObject*, bool) { Port.ClosePort(); };
    Port.OnAfterClose = [&](QObject*) { ++Closed; };
    Port.ClosePort();
    EXPECT_EQ(Closed, 1);
    EXPECT_FALSE(Port.Connected());
}

TEST_F(PortOnPseudoTerminal, APortDestroyedWhileItsCloseFailsStopsItsThread) {
    auto Doomed = std::make_unique<TComPort>();
    Doomed->SetPort(Device.SlavePath());
    Doomed->OnBeforeClose = [](QObject*) { throw std::runtime_error("refused"); };
    Doomed->OpenPort();
    Device.Write("1");
    Doomed.reset();
    Port.OpenPort();
    EXPECT_TRUE(Port.Connected());
}

TEST_F(PortOnPseudoTerminal, ClosingWhileTheEventThreadWaitsToSynchronise) {
    std::atomic<bool> Entered{false};
    Port.OnRxChar = [&](QObject*, int Count) {
        Entered = true;
        Port.ReadText(Count);
    };
    Port.OpenPort();
    Device.Write("1");
    // The thread now blocks until the user-interface thread runs its call; closing must
    // run that call itself rather than wait for a thread that waits for it.
    Port.ClosePort();
    EXPECT_FALSE(Port.Connected());
}

TEST_F(PortOnPseudoTerminal, LosingTheDeviceClosesThePortAndTellsTheUser) {
    ExpectErrors = true;
    int Closed = 0;
    Port.OnAfterClose = [&](QObject*) { ++Closed; };
    Port.OpenPort();
    Device.CloseMaster();
    ASSERT_TRUE(WaitUntil([&] { return !Port.Connected(); }));
    EXPECT_EQ(Closed, 1);
    ASSERT_EQ(Dialogs.Errors.size(), 1u);
    EXPECT_EQ(Dialogs.Errors[0], "WaitForEvent method failed (Error: 5)");
}

TEST_F(PortOnPseudoTerminal, LosingTheDeviceIsReportedToOnException) {
    std::vector<TComExceptions> Codes;
    Port.OnException = [&](QObject*, TComExceptions Code, const std::string&, std::int64_t,
                           const std::string&) { Codes.push_back(Code); };
    Port.OpenPort();
    Device.CloseMaster();
    ASSERT_TRUE(WaitUntil([&] { return !Port.Connected(); }));
    EXPECT_EQ(Codes, std::vector<TComExceptions>{ceWaitFailed});
    EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(PortOnPseudoTerminal, AHandlerThatRaisesClosesThePortAndItsMessageIsShown) {
    ExpectErrors = true;
    Port.OnRxChar = [](QObject*, int) { throw std::runtime_error("handler failed"); };
    Port.OpenPort();
    Device.Write("1");
    ASSERT_TRUE(WaitUntil([&] { return !Port.Connected(); }));
    EXPECT_EQ(Dialogs.Errors, std::vector<std::string>{"handler failed"});
}

TEST(TComPortDevice, AMissingDeviceCannotBeOpened) {
    TComPort Port;
    bool BeforeOpen = false, AfterOpen = false;
    Port.OnBeforeOpen = [&](QObject*) { BeforeOpen = true; };
    Port.OnAfterOpen = [&](QObject*) { AfterOpen = true; };
    Port.SetPort("/dev/tarvex-no-such-device");
    try {
        Port.OpenPort();
        FAIL();
    } catch (const EComPort& Error) {
        EXPECT_STREQ(Error.what(), "Unable to open com port (Error: 2)");
        EXPECT_EQ(Error.SystemCode(), 2);
    }
    EXPECT_TRUE(BeforeOpen);
    EXPECT_FALSE(AfterOpen);
    EXPECT_FALSE(Port.Connected());
    Port.SetPort("");
    EXPECT_THROW(Port.OpenPort(), EComPort);
    Port.SetPort("/dev/null");
    EXPECT_THROW(Port.OpenPort(), EComPort);
}

TEST(TComPortDevice, WithOnExceptionAFailedOpenStopsThere) {
    TComPort Port;
    std::vector<TComExceptions> Codes;
    bool AfterOpen = false;
    Port.OnException = [&](QObject*, TComExceptions Code, const std::string&, std::int64_t,
                           const std::string&) { Codes.push_back(Code); };
    Port.OnAfterOpen = [&](QObject*) { AfterOpen = true; };
    Port.SetPort("/dev/tarvex-no-such-device");
    Port.OpenPort();
    EXPECT_EQ(Codes, std::vector<TComExceptions>{ceOpenFailed});
    EXPECT_FALSE(Port.Connected());
    EXPECT_FALSE(AfterOpen);
}

TEST(TComPortDevice, ReadingAClosedPortIsRefused) {
    TComPort Port;
    try {
        Port.ReadText(5);
        FAIL();
    } catch (const EComPort& Error) {
        EXPECT_STREQ(Error.what(), "Port Not Open");
        EXPECT_EQ(Error.SystemCode(), -1);
    }
    EXPECT_EQ(Port.ReadText(0), "");
}

TEST(TComPortDevice, WithOnExceptionReadingAClosedPortReportsPortNotOpenAlone) {
    TComPort Port;
    std::vector<TComExceptions> Codes;
    Port.OnException = [&](QObject*, TComExceptions Code, const std::string&, std::int64_t,
                           const std::string&) { Codes.push_back(Code); };
    char Bytes[4] = {};
    EXPECT_EQ(Port.ReadText(5), "");
    EXPECT_EQ(Port.ReadBytes(Bytes, 4), 0);
    EXPECT_EQ(Codes, (std::vector<TComExceptions>{cePortNotOpen, cePortNotOpen}));
}

TEST(TComPortDevice, AnOpenDeviceIsNotOpenedTwice) {
    platform::TPseudoTerminal Device;
    TComPort First, Second;
    First.SetPort(Device.SlavePath());
    Second.SetPort(Device.SlavePath());
    First.OpenPort();
    try {
        Second.OpenPort();
        FAIL();
    } catch (const EComPort& Error) {
        EXPECT_EQ(Error.Reason(), ceOpenFailed);
        EXPECT_EQ(Error.SystemCode(), 16);
    }
    First.ClosePort();
    Second.OpenPort();
    EXPECT_TRUE(Second.Connected());
}

} // namespace
