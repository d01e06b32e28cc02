// The port setup dialog, answered by a script as a user would answer it.

#include "serial/CPortSetup.h"

#include "platform/PseudoTerminal.h"
#include "tests/serial/PortControlTesting.h"
#include "tests/support/ScriptedDialogs.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>
#include <termios.h>
#include <utility>
#include <vector>

namespace {

// Counts what reaches the device: the line settings applied, with the device's speed right
// after each, and whether they came with all the settings applied at once.
class TRecordingPort : public TComPort {
public:
    explicit TRecordingPort(const platform::TPseudoTerminal& Device) : FDevice(Device) {}

    struct TLineApply {
        bool AllAtOnce;
        speed_t DeviceSpeed;
    };
    std::vector<TLineApply> LineApplies;
    int AllApplied = 0;

    void ApplyAllSettings() override {
        ++AllApplied;
        FAllAtOnce = true;
        TComPort::ApplyAllSettings();
        FAllAtOnce = false;
    }
    void ApplyLineSettings() override {
        TComPort::ApplyLineSettings();
        termios Settings{};
        tcgetattr(FDevice.MasterHandle(), &Settings);
        LineApplies.push_back({FAllAtOnce, cfgetospeed(&Settings)});
    }

private:
    const platform::TPseudoTerminal& FDevice;
    bool FAllAtOnce = false;
};

class PortSetupDialog : public testing::Test {
protected:
    PortSetupDialog() : Port(Device) {
        Port.SetPort("");
        Port.SetBaudRate(br19200);
        Port.SetDataBits(dbEight);
        Port.SetStopBits(sbOneStopBit);
        Port.Parity().SetBits(prNone);
        Port.FlowControl().SetFlowControl(fcNone);
    }

    // Runs the dialog; the user picks Choices (port first, flow control last, empty for
    // "leave it") and presses OK or Cancel.
    void Run(const std::vector<std::string>& Choices, int Result) {
        Dialogs.OnExecute = [this, Choices, Result](QDialog& Dialog) {
            auto& Form = dynamic_cast<TComSetupFrm&>(Dialog);
            Shown = QPointer<TComSetupFrm>(&Form);
            for (TComComboBox* Combo : Form.Combos())
                Preselected.push_back(Combo->Text());
            for (std::size_t Index = 0; Index < Choices.size(); ++Index)
                if (!Choices[Index].empty())
                    Choose(*Form.Combos()[Index], Choices[Index]);
            return Result;
        };
        RunPortSetupDialog(Port);
    }

    TScriptedDialogs Dialogs;
    platform::TPseudoTerminal Device;
    platform::TPseudoTerminal Other;
    const TScopedPortList Ports{Device.SlavePath() + ":" + Other.SlavePath() +
                                ":/tmp/tarvex-no-such-port"};
    TRecordingPort Port;
    std::vector<std::string> Preselected;
    QPointer<TComSetupFrm> Shown;
};

TEST_F(PortSetupDialog, ShowsThePortsSettingsAndCancelChangesNothing) {
    Port.SetPort(Device.SlavePath());
    Dialogs.OnExecute = [this](QDialog& Dialog) {
        for (TComComboBox* Combo : dynamic_cast<TComSetupFrm&>(Dialog).Combos())
            Preselected.push_back(Combo->Text());
        return int(QDialog::Rejected);
    };
    RunPortSetupDialog(Port);
    EXPECT_EQ(Dialogs.ExecutedDialogs, 1);
    EXPECT_EQ(Preselected,
              (std::vector<std::string>{Device.SlavePath(), "19200", "8", "1", "None", "None"}));
    Preselected.clear();
    Run({Other.SlavePath(), "110", "5", "2", "Odd", "Hardware"}, QDialog::Rejected);
    EXPECT_EQ(Port.Port(), Device.SlavePath());
    EXPECT_EQ(Port.BaudRate(), br19200);
    EXPECT_EQ(Port.DataBits(), dbEight);
    EXPECT_EQ(Port.StopBits(), sbOneStopBit);
    EXPECT_EQ(Port.Parity().Bits(), prNone);
    EXPECT_EQ(Port.FlowControl().FlowControl(), fcNone);
    EXPECT_TRUE(Shown.isNull());
}

TEST_F(PortSetupDialog, OkWritesEveryChoice) {
    Run({Other.SlavePath(), "Custom", "7", "2", "Even", "Hardware"}, QDialog::Accepted);
    EXPECT_EQ(Preselected, (std::vector<std::string>{"", "19200", "8", "1", "None", "None"}));
    EXPECT_EQ(Port.Port(), Other.SlavePath());
    EXPECT_EQ(Port.BaudRate(), brCustom);
    EXPECT_EQ(Port.CustomBaudRate(), 9600);
    EXPECT_EQ(Port.DataBits(), dbSeven);
    EXPECT_EQ(Port.StopBits(), sbTwoStopBits);
    EXPECT_EQ(Port.Parity().Bits(), prEven);
    EXPECT_EQ(Port.FlowControl().ControlRTS(), rtsHandshake);
    EXPECT_TRUE(Port.FlowControl().OutCTSFlow());
    EXPECT_FALSE(Port.FlowControl().XonXoffIn());
    EXPECT_TRUE(Shown.isNull());
}

TEST_F(PortSetupDialog, OkLeavesACustomFlowControlAsItWas) {
    TComFlowControl& Flow = Port.FlowControl();
    Flow.SetControlRTS(rtsEnable);
    Flow.SetOutCTSFlow(true);
    Flow.SetXonXoffIn(true);
    Run({}, QDialog::Accepted);
    EXPECT_EQ(Preselected.back(), "Custom");
    EXPECT_EQ(Flow.ControlRTS(), rtsEnable);
    EXPECT_TRUE(Flow.OutCTSFlow());
    EXPECT_TRUE(Flow.XonXoffIn());
    EXPECT_FALSE(Flow.XonXoffOut());
}

TEST_F(PortSetupDialog, OkWithoutAListedPortEmptiesThePortName) {
    Port.SetPort("ttyGONE0");
    Run({}, QDialog::Accepted);
    EXPECT_EQ(Preselected.front(), "");
    EXPECT_EQ(Port.Port(), "");
}

TEST_F(PortSetupDialog, AnOpenPortReceivesItsNewSettingsOnceAtTheEnd) {
    Port.SetPort(Device.SlavePath());
    Port.OpenPort();
    Port.LineApplies.clear();
    Port.AllApplied = 0;
    Run({"", "57600"}, QDialog::Accepted);
    EXPECT_EQ(Port.AllApplied, 1);
    ASSERT_FALSE(Port.LineApplies.empty());
    EXPECT_TRUE(Port.LineApplies.back().AllAtOnce);
    EXPECT_EQ(Port.LineApplies.back().DeviceSpeed, B57600);
    for (std::size_t Index = 0; Index + 1 < Port.LineApplies.size(); ++Index) {
        EXPECT_FALSE(Port.LineApplies[Index].AllAtOnce);
        EXPECT_EQ(Port.LineApplies[Index].DeviceSpeed, B19200);
    }
    EXPECT_TRUE(Port.Connected());
}

TEST_F(PortSetupDialog, AFailedWriteStillEndsTheUpdateAndReleasesTheForm) {
    Port.SetPort(Device.SlavePath());
    Port.OpenPort();
    try {
        Run({"/tmp/tarvex-no-such-port", "57600"}, QDialog::Accepted);
        FAIL();
    } catch (const EComPort& Error) {
        EXPECT_EQ(Error.Reason(), ceOpenFailed);
    }
    EXPECT_TRUE(Shown.isNull());
    EXPECT_FALSE(Port.Connected());
    EXPECT_EQ(Port.BaudRate(), br19200);
    Port.SetPort(Device.SlavePath());
    Port.OpenPort();
    Port.SetBaudRate(br57600);
    EXPECT_EQ(Port.LineApplies.back().DeviceSpeed, B57600);
}

std::vector<QWidget*> TabChain(QWidget* First) {
    std::vector<QWidget*> Chain{First};
    for (QWidget* Next = First->nextInFocusChain(); Next != First; Next = Next->nextInFocusChain())
        if (Next->focusPolicy() & Qt::TabFocus)
            Chain.push_back(Next);
    return Chain;
}

TEST(TComSetupFrm, LayoutTextsTabOrderAndTheDefaultButton) {
    TComSetupFrm Form;
    EXPECT_EQ(Form.windowTitle(), "Setup");
    EXPECT_EQ(Form.size(), QSize(231, 216));
    EXPECT_EQ(Form.GroupBox1->title(), " Settings ");
    std::vector<QString> Texts;
    for (QLabel* Label :
         {Form.Label1, Form.Label2, Form.Label3, Form.Label4, Form.Label5, Form.Label6}) {
        Texts.push_back(Label->text());
        EXPECT_LE(Label->geometry().right(), Form.Combo1->x()) << Label->text().toStdString();
    }
    EXPECT_EQ(Texts, (std::vector<QString>{"Port", "Baud rate", "Data bits", "Stop bits", "Parity",
                                           "Flow control"}));
    const std::vector<TComProperty> Properties = {cpPort,     cpBaudRate, cpDataBits,
                                                  cpStopBits, cpParity,   cpFlowControl};
    for (std::size_t Index = 0; Index < Properties.size(); ++Index) {
        EXPECT_EQ(Form.Combos()[Index]->ComProperty(), Properties[Index]);
        EXPECT_FALSE(Form.Combos()[Index]->AutoApply());
        EXPECT_TRUE(Form.GroupBox1->rect().contains(Form.Combos()[Index]->geometry()));
    }
    EXPECT_EQ(Form.Button1->text(), "OK");
    EXPECT_EQ(Form.Button2->text(), "Cancel");
    EXPECT_EQ(TabChain(Form.Combo1),
              (std::vector<QWidget*>{Form.Combo1, Form.Combo2, Form.Combo3, Form.Combo4,
                                     Form.Combo5, Form.Combo6, Form.Button1, Form.Button2}));
    Form.show();
    QKeyEvent Return(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&Form, &Return);
    EXPECT_EQ(Form.result(), QDialog::Accepted);
    EXPECT_FALSE(Form.isVisible());
}

} // namespace
