#include "serial/CPortCtl.h"

#include "platform/HandlerGuard.h"
#include "platform/SerialPortList.h"
#include "resources/Pictures.h"
#include "serial/CPortText.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <exception>

namespace {

// The texts of a setting in ordinal order, each item carrying its ordinal.
template <typename TEnum>
void AddChoices(QComboBox& Items, std::string (*Text)(TEnum), int Count) {
    for (int Ordinal = 0; Ordinal < Count; ++Ordinal)
        Items.addItem(QString::fromStdString(Text(static_cast<TEnum>(Ordinal))), Ordinal);
}

} // namespace

void ListSerialPorts(QComboBox& Items) {
    for (const platform::TSerialPortInfo& Device : platform::ListSerialPortDevices()) {
        const QString Name = QString::fromStdString(Device.Name);
        Items.addItem(Name, Name);
        Items.setItemData(Items.count() - 1, QString::fromStdString(Device.Description),
                          Qt::ToolTipRole);
    }
}

void TComSelect::FillChoices(TComProperty Value) {
    FComProperty = Value;
    FItems.clear();
    switch (Value) {
    case cpNone:
        break;
    case cpPort:
        ListSerialPorts(FItems);
        break;
    case cpBaudRate:
        AddChoices(FItems, BaudRateText, br256000 + 1);
        break;
    case cpDataBits:
        AddChoices(FItems, DataBitsText, dbEight + 1);
        break;
    case cpStopBits:
        AddChoices(FItems, StopBitsText, sbTwoStopBits + 1);
        break;
    case cpParity:
        AddChoices(FItems, ParityText, prSpace + 1);
        break;
    case cpFlowControl:
        AddChoices(FItems, FlowControlText, fcCustom + 1);
        break;
    }
}

void TComSelect::TakeChoice(const std::string& Text) {
    StoreChoice(Text);
    if (FAutoApply)
        ApplyChoice();
}

void TComSelect::StoreChoice(const std::string& Text) {
    switch (FComProperty) {
    case cpNone:
        break;
    case cpPort:
        FPort = Text;
        break;
    case cpBaudRate:
        FBaudRate = BaudRateFromText(Text);
        break;
    case cpDataBits:
        FDataBits = DataBitsFromText(Text);
        break;
    case cpStopBits:
        FStopBits = StopBitsFromText(Text);
        break;
    case cpParity:
        FParity = ParityFromText(Text);
        break;
    case cpFlowControl:
        FFlowControl = FlowControlFromText(Text);
        break;
    }
}

void TComSelect::ApplyChoice() {
    if (!FComPort)
        return;
    TCustomComPort& Port = *FComPort;
    switch (FComProperty) {
    case cpNone:
        break;
    case cpPort:
        Port.SetPort(FPort);
        break;
    case cpBaudRate:
        Port.SetBaudRate(FBaudRate);
        break;
    case cpDataBits:
        Port.SetDataBits(FDataBits);
        break;
    case cpStopBits:
        Port.SetStopBits(FStopBits);
        break;
    case cpParity:
        Port.Parity().SetBits(FParity);
        break;
    case cpFlowControl:
        Port.FlowControl().SetFlowControl(FFlowControl);
        break;
    }
}

std::string TComSelect::PortValueText() const {
    const TCustomComPort& Port = *FComPort;
    switch (FComProperty) {
    case cpPort:
        return Port.Port();
    case cpBaudRate:
        return BaudRateText(Port.BaudRate());
    case cpDataBits:
        return DataBitsText(Port.DataBits());
    case cpStopBits:
        return StopBitsText(Port.StopBits());
    case cpParity:
        return ParityText(Port.Parity().Bits());
    case cpFlowControl:
        return FlowControlText(Port.FlowControl().FlowControl());
    case cpNone:
        break;
    }
    return "";
}

int TComSelect::FindCurrentChoice() {
    if (!FComPort || FComProperty == cpNone)
        return -1;
    // MatchFixedString compares whole texts without regard to letter case.
    const int Index =
        FItems.findText(QString::fromStdString(PortValueText()), Qt::MatchFixedString);
    if (Index >= 0)
        StoreChoice(FItems.itemText(Index).toStdString());
    return Index;
}

TComComboBox::TComComboBox(QWidget* Parent) : QComboBox(Parent), FComSelector(*this) {
    setEditable(false);
    // Connected first, so the selector has the choice before any other handler looks.
    connect(this, &QComboBox::activated, this,
            [this] { RunGuarded(this, [this] { UserChose(); }); });
    connect(this, &QComboBox::currentIndexChanged, this,
            [this](int Index) { ShowItemToolTip(Index); });
}

void TComComboBox::SetComPort(TCustomComPort* Port) {
    if (Port == ComPort())
        return;
    disconnect(FPortWatch);
    FComSelector.SetComPort(Port);
    if (!Port)
        return;
    FPortWatch = connect(Port, &QObject::destroyed, this, [this] { PortDestroyed(); });
    ReadFromPort();
}

void TComComboBox::SetComProperty(TComProperty Value) {
    FComSelector.FillChoices(Value);
    if (count() > 0)
        setCurrentIndex(ComPort() ? FComSelector.FindCurrentChoice() : 0);
}

std::string TComComboBox::Text() const {
    return currentIndex() < 0 ? std::string() : currentText().toStdString();
}

void TComComboBox::SetText(const std::string& Value) {
    const int Index = findText(QString::fromStdString(Value), Qt::MatchFixedString);
    if (Index >= 0)
        setCurrentIndex(Index);
}

void TComComboBox::ReadFromPort() {
    if (ComPort())
        setCurrentIndex(FComSelector.FindCurrentChoice());
}

void TComComboBox::UserChose() {
    FComSelector.TakeChoice(Text());
}

// The selector has already lost the port: its pointer cleared itself.
void TComComboBox::PortDestroyed() {
    if (count() > 0)
        setCurrentIndex(0);
}

// The closed list shows what the chosen device is, as the open list does for every item.
void TComComboBox::ShowItemToolTip(int Index) {
    setToolTip(Index < 0 ? QString() : itemData(Index, Qt::ToolTipRole).toString());
}

namespace {

struct TKindGlyphNames {
    const char* On;
    const char* Off;
};

// Indexed by TLedKind; lkCustom has none.
constexpr TKindGlyphNames KindGlyphNames[] = {
    {"LEDREDON", "LEDREDOFF"},       {"LEDGREENON", "LEDGREENOFF"},   {"LEDBLUEON", "LEDBLUEOFF"},
    {"LEDYELLOWON", "LEDYELLOWOFF"}, {"LEDPURPLEON", "LEDPURPLEOFF"}, {"LEDBULBON", "LEDBULBOFF"},
};

// The link slot of each signal but lsRing, which lights through RingDetected. Indexed by
// TComLedSignal.
constexpr TComSignalEvent TComLink::*SignalSlots[] = {
    &TComLink::ConnectionChanged,
    &TComLink::CTSChanged,
    &TComLink::DSRChanged,
    &TComLink::RLSDChanged,
    nullptr,
    &TComLink::ReceiveActivity,
    &TComLink::TransmitActivity,
};

// The picture with every pixel of its lower-left pixel's colour made transparent.
QPixmap TransparentGlyph(const QPixmap& Source) {
    QImage Image = Source.toImage().convertToFormat(QImage::Format_ARGB32);
    if (Image.isNull())
        return {};
    const QRgb Key = Image.pixel(0, Image.height() - 1);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if (Image.pixel(X, Y) == Key)
                Image.setPixel(X, Y, qRgba(0, 0, 0, 0));
    return QPixmap::fromImage(Image);
}

} // namespace

TComLed::TComLed(QWidget* Parent) : QWidget(Parent) {
    resize(25, 25);
    FLink.ConnectionChanged = [this](QObject*, bool OnOff) { LinkSignalChanged(OnOff); };
    FRingTimer.setInterval(1000);
    connect(&FRingTimer, &QTimer::timeout, this,
            [this] { RunGuarded(this, [this] { RingTimeout(); }); });
}

// The LED leaves its port without changing its state: no handler may run for a control that
// is going away.
TComLed::~TComLed() {
    FRingTimer.stop();
    if (FComPort)
        FComPort->DetachLink(&FLink);
}

void TComLed::SetComPort(TCustomComPort* Port) {
    if (Port == FComPort)
        return;
    if (FComPort)
        FComPort->DetachLink(&FLink);
    disconnect(FPortWatch);
    FComPort = Port;
    TLedState Shown = lsOff;
    if (Port) {
        FPortWatch = connect(Port, &QObject::destroyed, this, [this] { PortDestroyed(); });
        Port->AttachLink(&FLink);
        if (!Port->Connected())
            return;
        Shown = CurrentSignal();
    }
    ChangeState(Shown);
}

// The pointer has already cleared itself, and the port has no link list left to leave.
void TComLed::PortDestroyed() {
    RunGuarded(this, [this] { ChangeState(lsOff); });
}

void TComLed::SetLedSignal(TComLedSignal Value) {
    if (Value == FLedSignal)
        return;
    FLedSignal = Value;
    for (const auto Slot : SignalSlots)
        if (Slot)
            FLink.*Slot = nullptr;
    FLink.RingDetected = nullptr;
    if (Value == lsRing)
        FLink.RingDetected = [this](QObject*) { StartRing(); };
    else
        FLink.*SignalSlots[Value] = [this](QObject*, bool OnOff) { LinkSignalChanged(OnOff); };
}

void TComLed::SetKind(TLedKind Value) {
    if (Value == FKind)
        return;
    FKind = Value;
    LoadKindGlyphs(Value);
    update();
}

void TComLed::SetGlyphOn(const QPixmap& Value) {
    if (FKind != lkCustom)
        return;
    FGlyphOn = TransparentGlyph(Value);
    update();
}

void TComLed::SetGlyphOff(const QPixmap& Value) {
    if (FKind != lkCustom)
        return;
    FGlyphOff = TransparentGlyph(Value);
    update();
}

void TComLed::SetState(TLedState Value) {
    if (FComPort)
        throw EComPort(ceLedStateFixed);
    ChangeState(Value);
}

void TComLed::ChangeState(TLedState Value) {
    FState = Value;
    if (OnChange)
        OnChange(this, Value);
    update();
}

// A notification can arrive while a port event is being dispatched, so the picture is
// repainted at once instead of running a nested event loop.
void TComLed::LinkSignalChanged(bool OnOff) {
    ChangeState(OnOff ? lsOn : lsOff);
    repaint();
}

// A second ring while the LED is lit does not lengthen the light.
void TComLed::StartRing() {
    if (!FRingTimer.isActive())
        FRingTimer.start();
    ChangeState(lsOn);
}

void TComLed::RingTimeout() {
    FRingTimer.stop();
    ChangeState(lsOff);
}

void TComLed::LoadKindGlyphs(TLedKind Value) {
    if (Value == lkCustom)
        return;
    FGlyphOn = TransparentGlyph(resources::Picture(KindGlyphNames[Value].On));
    FGlyphOff = TransparentGlyph(resources::Picture(KindGlyphNames[Value].Off));
}

TLedState TComLed::CurrentSignal() {
    const auto LineState = [this](TLineSignal Signal) {
        return FComPort && FComPort->LineSignals().Contains(Signal) ? lsOn : lsOff;
    };
    switch (FLedSignal) {
    case lsConn:
        return FComPort && FComPort->Connected() ? lsOn : lsOff;
    case lsCTS:
        return LineState(lnCTS);
    case lsDSR:
        return LineState(lnDSR);
    case lsRLSD:
        return LineState(lnRLSD);
    case lsRing:
    case lsRx:
    case lsTx:
        break;
    }
    return lsOff;
}

// A disabled LED shows the off picture whatever its state. The picture is centred; one larger
// than the control starts at its top-left corner.
void TComLed::paintEvent(QPaintEvent*) {
    RunGuarded(this, [this] {
        if (FGlyphOn.isNull() || FGlyphOff.isNull())
            LoadKindGlyphs(FKind);
        const QPixmap& Glyph = isEnabled() && FState == lsOn ? FGlyphOn : FGlyphOff;
        if (Glyph.isNull())
            return;
        QPainter Painter(this);
        Painter.drawPixmap(std::max(0, (width() - Glyph.width()) / 2),
                           std::max(0, (height() - Glyph.height()) / 2), Glyph);
    });
}

void TComLed::mouseReleaseEvent(QMouseEvent* Event) {
    QWidget::mouseReleaseEvent(Event);
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()) &&
        OnClick)
        RunGuarded(this, [this] { OnClick(this); });
}
