#include "app/UConnectionPanel.h"

#include "app/UPortErrors.h"
#include "platform/HandlerGuard.h"
#include "platform/ModalDialogs.h"
#include "resources/Pictures.h"
#include "serial/CPortCtl.h"
#include "serial/CPortSetup.h"
#include "serial/CPortText.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

TConnectionPanel::TConnectionPanel(QWidget* Parent)
    : QWidget(Parent), btnConnectToCOM(new QPushButton("Connect", this)), pnlLED(new QFrame(this)),
      lblComPort(new QLabel("unknown COM", pnlLED)), comLEDConnection(new TComLed(pnlLED)) {
    btnConnectToCOM->setGeometry(0, 0, 137, 25);
    btnConnectToCOM->setCursor(Qt::PointingHandCursor);
    pnlLED->setGeometry(0, 28, 137, 25);
    pnlLED->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlLED->setCursor(Qt::PointingHandCursor);
    pnlLED->installEventFilter(this);
    lblComPort->setGeometry(4, 4, 109, 16);
    lblComPort->setAlignment(Qt::AlignCenter);
    comLEDConnection->setGeometry(112, 0, 25, 25);
    comLEDConnection->SetLedSignal(lsConn);
    comLEDConnection->SetKind(lkCustom);
    comLEDConnection->SetGlyphOn(resources::Picture("led_conn_on.png"));
    comLEDConnection->SetGlyphOff(resources::Picture("led_conn_off.png"));
    comLEDConnection->setToolTip("Disconnected");
    comLEDConnection->setCursor(Qt::PointingHandCursor);
    connect(btnConnectToCOM, &QPushButton::clicked, this,
            Guarded(this, &TConnectionPanel::btnConnectToCOMClick));
    CreatePort();
}

TConnectionPanel::~TConnectionPanel() {
    ReleasePort();
}

void TConnectionPanel::CreatePort() {
    comPort = std::make_unique<TComPort>();
    comPort->setObjectName("comPort");
    comPort->SetBaudRate(br19200);
    comPort->SetDataBits(dbEight);
    comPort->SetStopBits(sbOneStopBit);
    comPort->Parity().SetBits(prNone);
    comPort->FlowControl().SetFlowControl(fcNone);
    comPort->FlowControl().SetControlDTR(dtrDisable);
    comPort->FlowControl().SetControlRTS(rtsDisable);
    comPort->SetTriggersOnRxChar(true);
    comPort->SetStoredProps({spBasic});
    comPort->OnBeforeOpen = [this](QObject*) { comPortBeforeOpen(); };
    comPort->OnAfterOpen = [this](QObject*) { comPortAfterOpen(); };
    comPort->OnBeforeClose = [this](QObject*) { comPortBeforeClose(); };
    comPort->OnAfterClose = [this](QObject*) { comPortAfterClose(); };
    comPort->OnRxChar = [this](QObject*, int Count) { comPortRxChar(Count); };
    comPort->OnConnectionLost = [this](QObject*, const std::string& Message,
                                       std::int32_t SystemCode) {
        comPortConnectionLost(Message, SystemCode);
    };
    comLEDConnection->SetComPort(comPort.get());
}

void TConnectionPanel::ReleasePort() {
    if (!comPort)
        return;
    comLEDConnection->SetComPort(nullptr);
    try {
        if (comPort->Connected())
            comPort->ClosePort();
    } catch (const std::exception&) {
        // The program is closing: a port that fails to close is released all the same.
    }
    comPort.reset();
}

std::string TConnectionPanel::Translate(const std::string& Text) const {
    return FTranslate ? FTranslate(Text) : Text;
}

void TConnectionPanel::ApplyTranslation(const TTranslate& Translate) {
    FTranslate = Translate;
    const bool Connected = comPort && comPort->Connected();
    btnConnectToCOM->setText(
        QString::fromStdString(this->Translate(Connected ? "Disconnect" : "Connect")));
    lblComPort->setText(
        QString::fromStdString(Connected ? comPort->Port() : this->Translate("Unknown COM")));
}

void TConnectionPanel::btnConnectToCOMClick() {
    if (comPort->Port().empty())
        RunPortSetupDialog(*comPort);
    if (comPort->Connected())
        comPort->ClosePort();
    else if (!comPort->Port().empty())
        OpenPortExplained();
}

// A port that cannot be opened is explained in words a user can act on.
void TConnectionPanel::OpenPortExplained() {
    try {
        comPort->OpenPort();
    } catch (const EComPort& Error) {
        Log("Port not opened: " + TechnicalDetail(Error.what(), Error.SystemCode()));
        throw std::runtime_error(
            ExplainOpenFailure(Error.what(), Error.SystemCode(), comPort->Port(), FTranslate));
    }
}

void TConnectionPanel::comPortConnectionLost(const std::string& Message, std::int32_t SystemCode) {
    Log("Connection lost: " + TechnicalDetail(Message, SystemCode));
    platform::ModalDialogs().ShowError(
        window(), ExplainConnectionLost(Message, SystemCode, comPort->Port(), FTranslate));
}

void TConnectionPanel::comLEDConnectionClick() {
    if (comPort->Connected())
        comPort->ClosePort();
    RunPortSetupDialog(*comPort);
}

void TConnectionPanel::comPortBeforeOpen() {
    Log("Opening COM port...");
    Log("port: " + comPort->Port());
}

void TConnectionPanel::comPortAfterOpen() {
    Opened();
    Log("COM port has been opened");
    Log(" - Baud Rate: " + BaudRateText(comPort->BaudRate()));
    Log(" - Bits Parity: " + ParityText(comPort->Parity().Bits()));
    Log(" - Stop Bits: " + StopBitsText(comPort->StopBits()));
    Log(" - Data Bits: " + DataBitsText(comPort->DataBits()));
    Log(" - Flow Control: " + FlowControlText(comPort->FlowControl().FlowControl()));
    btnConnectToCOM->setText(QString::fromStdString(Translate("Disconnect")));
    comLEDConnection->setToolTip(
        QString::fromStdString(TranslateWith(FTranslate, "Connected (%s)", comPort->Port())));
    lblComPort->setText(QString::fromStdString(comPort->Port()));
}

void TConnectionPanel::comPortBeforeClose() {
    Log("Closing COM port...");
    Log("port: " + comPort->Port());
}

void TConnectionPanel::comPortAfterClose() {
    Log("COM port has been closed");
    btnConnectToCOM->setText(QString::fromStdString(Translate("Connect")));
    comLEDConnection->setToolTip(QString::fromStdString(Translate("Disconnected")));
}

void TConnectionPanel::comPortRxChar(int Count) {
    if (Count <= 0)
        return;
    Received(comPort->ReadText(Count));
}

// A click on the port's name or its LED reaches the panel they sit on.
bool TConnectionPanel::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == pnlLED && Event->type() == QEvent::MouseButtonRelease)
        RunGuarded(window(), [this] { comLEDConnectionClick(); });
    return QWidget::eventFilter(Watched, Event);
}
