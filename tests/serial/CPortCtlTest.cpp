// The combo boxes bound to port settings, and the LED on real pseudo-terminal ports.

#include "serial/CPortCtl.h"

#include "platform/PseudoTerminal.h"
#include "platform/SerialPortList.h"
#include "resources/Pictures.h"
#include "tests/serial/PortControlTesting.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/WaitUntil.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

std::vector<std::string> ItemTexts(const QComboBox& Combo) {
    std::vector<std::string> Texts;
    for (int Index = 0; Index < Combo.count(); ++Index)
        Texts.push_back(Combo.itemText(Index).toStdString());
    return Texts;
}

// The items of Texts in the order the combo lists them; the machine's own ports are left out.
std::vector<std::string> ListedOf(const QComboBox& Combo, const std::vector<std::string>& Texts) {
    std::vector<std::string> Listed;
    for (const std::string& Text : ItemTexts(Combo))
        if (std::find(Texts.begin(), Texts.end(), Text) != Texts.end())
            Listed.push_back(Text);
    return Listed;
}

TEST(TComComboBox, PortListIsSortedWithoutRegardToCaseAndCarriesNamesAndDescriptions) {
    platform::TPseudoTerminal Device;
    const TScopedPortList Ports("COM3:" + Device.SlavePath() + ":COM10:com2:COM1");
    TComComboBox Combo;
    Combo.SetComProperty(cpPort);
    EXPECT_EQ(ListedOf(Combo, {Device.SlavePath(), "COM1", "COM10", "com2", "COM3"}),
              (std::vector<std::string>{Device.SlavePath(), "COM1", "COM10", "com2", "COM3"}));
    const std::vector<platform::TSerialPortInfo> Devices = platform::ListSerialPortDevices();
    ASSERT_EQ(Combo.count(), int(Devices.size()));
    for (int Index = 0; Index < Combo.count(); ++Index) {
        EXPECT_EQ(Combo.itemText(Index).toStdString(), Devices[Index].Name);
        EXPECT_EQ(Combo.itemData(Index).toString().toStdString(), Devices[Index].Name);
        EXPECT_EQ(Combo.itemData(Index, Qt::ToolTipRole).toString().toStdString(),
                  Devices[Index].Description);
    }
    EXPECT_EQ(Combo.currentIndex(), 0);
}

TEST(TComComboBox, EachPropertyListsItsTextsInOrdinalOrderWithTheOrdinalAsData) {
    const struct {
        TComProperty Property;
        std::vector<std::string> Texts;
    } Cases[] = {
        {cpNone, {}},
        {cpBaudRate,
         {"Custom", "110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "38400",
          "56000", "57600", "115200", "128000", "256000"}},
        {cpDataBits, {"5", "6", "7", "8"}},
        {cpStopBits, {"1", "1.5", "2"}},
        {cpParity, {"None", "Odd", "Even", "Mark", "Space"}},
        {cpFlowControl, {"Hardware", "Software", "None", "Custom"}},
    };
    TComComboBox Combo;
    Combo.SetComProperty(cpBaudRate);
    for (const auto& Case : Cases) {
        Combo.SetComProperty(Case.Property);
        EXPECT_EQ(Combo.ComProperty(), Case.Property);
        EXPECT_EQ(ItemTexts(Combo), Case.Texts);
        for (int Index = 0; Index < Combo.count(); ++Index)
            EXPECT_EQ(Combo.itemData(Index).toInt(), Index);
        EXPECT_EQ(Combo.currentIndex(), Case.Texts.empty() ? -1 : 0);
    }
    EXPECT_FALSE(Combo.isEditable());
}

TEST(TComComboBox, TextSelectsIgnoringCaseAndUnknownTextsChangeNothing) {
    TComComboBox Combo;
    EXPECT_EQ(Combo.Text(), "");
    Combo.SetComProperty(cpParity);
    EXPECT_EQ(Combo.Text(), "None");
    Combo.SetText("eVEN");
    EXPECT_EQ(Combo.Text(), "Even");
    Combo.SetText("Ungerade");
    Combo.SetText("");
    EXPECT_EQ(Combo.Text(), "Even");
    Combo.setCurrentIndex(-1);
    EXPECT_EQ(Combo.Text(), "");
}

TEST(TComComboBox, BindingAPortSelectsItsValueAndOnlyApplyWritesTheChoice) {
    TComPort Port;
    Port.SetBaudRate(br19200);
    TComComboBox Combo;
    Combo.SetComProperty(cpBaudRate);
    Combo.SetComPort(&Port);
    EXPECT_EQ(Combo.Text(), "19200");
    Choose(Combo, "57600");
    EXPECT_EQ(Port.BaudRate(), br19200);
    Combo.ApplyToPort();
    EXPECT_EQ(Port.BaudRate(), br57600);
    Port.SetBaudRate(br300);
    EXPECT_EQ(Combo.Text(), "57600");
    Combo.ReadFromPort();
    EXPECT_EQ(Combo.Text(), "300");
    Combo.SetAutoApply(true);
    Choose(Combo, "Custom");
    EXPECT_EQ(Port.BaudRate(), brCustom);
    EXPECT_EQ(Port.CustomBaudRate(), 9600);
}

TEST(TComComboBox, EveryPropertyReachesItsPortField) {
    TComPort Port;
    const auto Pick = [&Port](TComProperty Property, const std::string& Text) {
        TComComboBox Combo;
        Combo.SetComProperty(Property);
        Combo.SetComPort(&Port);
        Choose(Combo, Text);
        Combo.ApplyToPort();
    };
    Pick(cpDataBits, "6");
    Pick(cpStopBits, "2");
    Pick(cpParity, "Mark");
    Pick(cpFlowControl, "Software");
    EXPECT_EQ(Port.DataBits(), dbSix);
    EXPECT_EQ(Port.StopBits(), sbTwoStopBits);
    EXPECT_EQ(Port.Parity().Bits(), prMark);
    EXPECT_TRUE(Port.FlowControl().XonXoffIn());
    EXPECT_TRUE(Port.FlowControl().XonXoffOut());
}

TEST(TComComboBox, APortValueMissingFromTheListKeepsTheLastChoice) {
    const TScopedPortList Ports("/tmp/tarvex-port-a:/tmp/tarvex-port-b");
    TComPort Port;
    Port.SetPort("/tmp/tarvex-port-b");
    TComComboBox Combo;
    Combo.SetComProperty(cpPort);
    Combo.SetComPort(&Port);
    EXPECT_EQ(Combo.Text(), "/tmp/tarvex-port-b");
    Port.SetPort("ttyGONE0");
    Combo.ReadFromPort();
    EXPECT_EQ(Combo.currentIndex(), -1);
    EXPECT_EQ(Combo.Text(), "");
    Combo.ApplyToPort();
    EXPECT_EQ(Port.Port(), "/tmp/tarvex-port-b");
}

TEST(TComComboBox, ADestroyedPortIsForgottenAndTheFirstItemSelected) {
    auto Port = std::make_unique<TComPort>();
    Port->SetDataBits(dbSeven);
    TComComboBox Combo;
    Combo.SetComProperty(cpDataBits);
    Combo.SetComPort(Port.get());
    EXPECT_EQ(Combo.Text(), "7");
    TComPort Other;
    Combo.SetComPort(&Other);
    Combo.SetComPort(Port.get());
    Port.reset();
    EXPECT_EQ(Combo.ComPort(), nullptr);
    EXPECT_EQ(Combo.Text(), "5");
    Combo.ApplyToPort();
    Combo.ReadFromPort();
    EXPECT_EQ(Combo.Text(), "5");
}

// The rendering of an LED over a transparent background.
QImage Rendered(TComLed& Led) {
    QImage Image(Led.size(), QImage::Format_ARGB32);
    Image.fill(Qt::transparent);
    Led.render(&Image, {}, {}, QWidget::DrawChildren);
    return Image;
}

// Whether Image shows Picture with its top-left corner at (Left, Top): every pixel of
// Picture's lower-left colour transparent, every other pixel the same.
bool ShowsPicture(const QImage& Image, const QPixmap& Picture, int Left, int Top) {
    const QImage Source = Picture.toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb Key = Source.pixel(0, Source.height() - 1);
    for (int Y = 0; Y < Source.height() && Top + Y < Image.height(); ++Y)
        for (int X = 0; X < Source.width() && Left + X < Image.width(); ++X) {
            const QRgb Shown = Image.pixel(Left + X, Top + Y);
            const QRgb Expected = Source.pixel(X, Y);
            if (Expected == Key ? qAlpha(Shown) != 0 : Shown != Expected)
                return false;
        }
    return true;
}

int OpaquePixels(const QImage& Image) {
    int Count = 0;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            Count += qAlpha(Image.pixel(X, Y)) != 0;
    return Count;
}

TEST(TComLed, ANewLedShowsTheRedPicturesCentredWithTheirKeyColourTransparent) {
    TComLed Led;
    std::vector<TLedState> Changes;
    Led.OnChange = [&](QObject* Sender, TLedState State) {
        EXPECT_EQ(Sender, &Led);
        Changes.push_back(State);
    };
    EXPECT_EQ(Led.size(), QSize(25, 25));
    EXPECT_EQ(Led.LedSignal(), lsConn);
    EXPECT_EQ(Led.Kind(), lkRedLight);
    EXPECT_EQ(Led.RingDuration(), 1000);
    EXPECT_EQ(Led.State(), lsOff);
    QImage Image = Rendered(Led);
    EXPECT_TRUE(ShowsPicture(Image, resources::Picture("LEDREDOFF"), 5, 5));
    EXPECT_EQ(qAlpha(Image.pixel(5, 19)), 0);
    EXPECT_EQ(qAlpha(Image.pixel(4, 12)), 0);
    Led.SetState(lsOn);
    EXPECT_EQ(Changes, std::vector<TLedState>{lsOn});
    EXPECT_TRUE(ShowsPicture(Rendered(Led), resources::Picture("LEDREDON"), 5, 5));
    Led.setEnabled(false);
    EXPECT_TRUE(ShowsPicture(Rendered(Led), resources::Picture("LEDREDOFF"), 5, 5));
    Led.resize(40, 18);
    Led.setEnabled(true);
    EXPECT_TRUE(ShowsPicture(Rendered(Led), resources::Picture("LEDREDON"), 12, 1));
}

TEST(TComLed, EveryKindHasItsOwnFifteenPixelPictures) {
    const char* Names[][2] = {{"LEDREDON", "LEDREDOFF"},       {"LEDGREENON", "LEDGREENOFF"},
                              {"LEDBLUEON", "LEDBLUEOFF"},     {"LEDYELLOWON", "LEDYELLOWOFF"},
                              {"LEDPURPLEON", "LEDPURPLEOFF"}, {"LEDBULBON", "LEDBULBOFF"}};
    TComLed Led;
    std::vector<QImage> Seen;
    for (int Kind = lkRedLight; Kind <= lkBulb; ++Kind) {
        Led.SetKind(TLedKind(Kind));
        for (const TLedState State : {lsOn, lsOff}) {
            const QPixmap Picture = resources::Picture(Names[Kind][State == lsOn ? 0 : 1]);
            EXPECT_EQ(Picture.size(), QSize(15, 15));
            Led.SetState(State);
            const QImage Image = Rendered(Led);
            EXPECT_TRUE(ShowsPicture(Image, Picture, 5, 5)) << Names[Kind][State == lsOn ? 0 : 1];
            EXPECT_EQ(std::count(Seen.begin(), Seen.end(), Image), 0);
            Seen.push_back(Image);
        }
    }
}

TEST(TComLed, CustomPicturesAreUsedOnlyForTheCustomKind) {
    TComLed Led;
    Led.SetKind(lkCustom);
    EXPECT_EQ(OpaquePixels(Rendered(Led)), 0);
    const QPixmap On = resources::Picture("led_conn_on.png");
    const QPixmap Off = resources::Picture("led_conn_off.png");
    Led.SetGlyphOn(On);
    Led.SetGlyphOff(Off);
    EXPECT_TRUE(ShowsPicture(Rendered(Led), Off, 3, 3));
    Led.SetState(lsOn);
    EXPECT_TRUE(ShowsPicture(Rendered(Led), On, 3, 3));
    Led.resize(10, 10);
    EXPECT_TRUE(ShowsPicture(Rendered(Led), On, 0, 0));
    Led.resize(25, 25);
    Led.SetKind(lkGreenLight);
    Led.SetGlyphOn(On);
    EXPECT_TRUE(ShowsPicture(Rendered(Led), resources::Picture("LEDGREENON"), 5, 5));
}

TEST(TComLed, TheConnectionPicturesAreGreenWhenOnAndGreyWhenOff) {
    const QImage On = resources::Picture("led_conn_on.png").toImage();
    const QImage Off = resources::Picture("led_conn_off.png").toImage();
    const QColor Lit = On.pixelColor(On.width() / 2, On.height() * 2 / 3);
    const QColor Dark = Off.pixelColor(Off.width() / 2, Off.height() * 2 / 3);
    EXPECT_GT(Lit.green(), 2 * std::max(Lit.red(), Lit.blue()));
    EXPECT_LT(std::abs(Dark.red() - Dark.green()) + std::abs(Dark.green() - Dark.blue()), 16);
    EXPECT_LT(Dark.value(), 160);
    EXPECT_LE(On.width(), 25);
    EXPECT_EQ(On.size(), Off.size());
}

TEST(TComLed, ClickingCallsOnClickAndItsErrorsGoToTheErrorBox) {
    TScriptedDialogs Dialogs;
    TComLed Led;
    int Clicks = 0;
    Led.OnClick = [&](QObject* Sender) {
        EXPECT_EQ(Sender, &Led);
        if (++Clicks == 2)
            throw std::runtime_error("no port to set up");
    };
    const auto Click = [&Led](QPointF At) {
        QMouseEvent Press(QEvent::MouseButtonPress, At, At, Qt::LeftButton, Qt::LeftButton, {});
        QMouseEvent Release(QEvent::MouseButtonRelease, At, At, Qt::LeftButton, Qt::NoButton, {});
        QApplication::sendEvent(&Led, &Press);
        QApplication::sendEvent(&Led, &Release);
    };
    Click({12, 12});
    Click({3, 20});
    Click({30, 12});
    EXPECT_EQ(Clicks, 2);
    EXPECT_EQ(Dialogs.Errors, std::vector<std::string>{"no port to set up"});
}

class LedOnPseudoTerminal : public testing::Test {
protected:
    LedOnPseudoTerminal() {
        Port.SetPort(Device.SlavePath());
        Port.SetBaudRate(br19200);
        Led.OnChange = [this](QObject*, TLedState State) { Changes.push_back(State); };
    }

    TScriptedDialogs Dialogs;
    platform::TPseudoTerminal Device;
    TComPort Port;
    TComLed Led;
    std::vector<TLedState> Changes;
};

TEST_F(LedOnPseudoTerminal, AConnectionLedFollowsOpenAndClose) {
    Led.SetComPort(&Port);
    EXPECT_TRUE(Changes.empty());
    bool LitAfterOpen = false;
    Port.OnAfterOpen = [&](QObject*) { LitAfterOpen = Led.State() == lsOn; };
    Port.OpenPort();
    EXPECT_TRUE(LitAfterOpen);
    Port.ClosePort();
    Port.OpenPort();
    Port.ClosePort();
    EXPECT_EQ(Changes, (std::vector<TLedState>{lsOn, lsOff, lsOn, lsOff}));
    EXPECT_TRUE(ShowsPicture(Rendered(Led), resources::Picture("LEDREDOFF"), 5, 5));
    try {
        Led.SetState(lsOn);
        FAIL();
    } catch (const EComPort& Error) {
        EXPECT_EQ(Error.Reason(), ceLedStateFixed);
        EXPECT_STREQ(Error.what(), "Cannot change led state if ComPort is selected");
    }
    EXPECT_EQ(Led.State(), lsOff);
}

TEST_F(LedOnPseudoTerminal, AssigningAPortShowsAnOpenOneAtOnceAndLeavesAClosedOne) {
    Led.SetState(lsOn);
    TComPort Closed;
    Led.SetComPort(&Closed);
    EXPECT_EQ(Led.State(), lsOn);
    Led.SetComPort(nullptr);
    EXPECT_EQ(Led.State(), lsOff);
    Port.OpenPort();
    Led.SetComPort(&Port);
    EXPECT_EQ(Led.State(), lsOn);
    Led.SetComPort(&Closed);
    EXPECT_EQ(Led.State(), lsOn);
    Port.ClosePort();
    EXPECT_EQ(Led.State(), lsOn);
    EXPECT_EQ(Changes, (std::vector<TLedState>{lsOn, lsOff, lsOn}));
}

TEST_F(LedOnPseudoTerminal, EachSignalListensToItsOwnNotification) {
    const struct {
        TComLedSignal Signal;
        std::vector<TLedState> WhileOpen;
    } Cases[] = {
        {lsConn, {}},     {lsCTS, {lsOff}},      {lsDSR, {lsOff}}, {lsRLSD, {lsOff}},
        {lsRing, {lsOn}}, {lsRx, {lsOn, lsOff}}, {lsTx, {lsOff}},
    };
    Port.SetEvents({});
    Port.OpenPort();
    for (const auto& Case : Cases) {
        TComLed Watcher;
        std::vector<TLedState> Seen;
        Watcher.SetLedSignal(Case.Signal);
        Watcher.SetComPort(&Port);
        Watcher.OnChange = [&](QObject*, TLedState State) { Seen.push_back(State); };
        Port.ProcessCTSChange();
        Port.ProcessDSRChange();
        Port.ProcessRLSDChange();
        Port.ProcessRing();
        Port.ProcessTxEmpty();
        Device.Write("x");
        ASSERT_TRUE(WaitUntil([&] { return Port.BytesWaiting() == 1; }));
        Port.ProcessRxChar();
        // Reading what arrived ends the receive activity.
        Port.ReadText(1);
        EXPECT_EQ(Seen, Case.WhileOpen) << "signal " << Case.Signal;
    }
}

TEST_F(LedOnPseudoTerminal, ChangingTheSignalDoesNotReadItAgain) {
    Led.SetComPort(&Port);
    Led.SetLedSignal(lsCTS);
    Port.OpenPort();
    EXPECT_EQ(Led.State(), lsOff);
    Led.SetLedSignal(lsConn);
    EXPECT_EQ(Led.State(), lsOff);
    Port.ClosePort();
    Port.OpenPort();
    EXPECT_EQ(Led.State(), lsOn);
}

TEST_F(LedOnPseudoTerminal, ARingLightsTheLedUntilRingDurationHasPassed) {
    Led.SetLedSignal(lsRing);
    Led.SetRingDuration(50);
    Led.SetComPort(&Port);
    Port.ProcessRing();
    EXPECT_EQ(Led.State(), lsOn);
    ASSERT_TRUE(WaitUntil([&] { return Led.State() == lsOff; }));
    EXPECT_EQ(Changes, (std::vector<TLedState>{lsOn, lsOff}));
    EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(LedOnPseudoTerminal, APortOrLedThatGoesAwayLeavesTheOtherWorking) {
    auto Owned = std::make_unique<TComPort>();
    Owned->SetPort(Device.SlavePath());
    Owned->OpenPort();
    Led.SetComPort(Owned.get());
    EXPECT_EQ(Led.State(), lsOn);
    Owned.reset();
    EXPECT_EQ(Led.ComPort(), nullptr);
    EXPECT_EQ(Led.State(), lsOff);
    EXPECT_EQ(Changes.back(), lsOff);
    Led.SetState(lsOn);
    auto Watcher = std::make_unique<TComLed>();
    Watcher->SetComPort(&Port);
    Watcher.reset();
    Port.OpenPort();
    Port.ClosePort();
    EXPECT_EQ(Led.State(), lsOn);
}

} // namespace
