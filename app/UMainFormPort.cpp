// The connection to the chronograph: connecting, the LED panel, and the port's events.

#include "app/UMainForm.h"
#include "app/UPortErrors.h"
#include "platform/ModalDialogs.h"
#include "serial/CPortCtl.h"
#include "serial/CPortText.h"

#include <QLabel>
#include <QPushButton>

void TMainForm::btnConnectToCOMClick() {
    if (comPort->Port().empty())
        comPort->ShowSetupDialog();
    if (comPort->Connected())
        comPort->ClosePort();
    else if (!comPort->Port().empty())
        OpenPortExplained();
}

// A port that cannot be opened is explained in words a user can act on.
void TMainForm::OpenPortExplained() {
    try {
        comPort->OpenPort();
    } catch (const EComPort& Error) {
        Log("Port not opened: " + TechnicalDetail(Error.what(), Error.SystemCode()));
        throw std::runtime_error(ExplainOpenFailure(
            Error.what(), Error.SystemCode(), comPort->Port(), *FTranslator, FSettings.Language()));
    }
}

void TMainForm::comPortConnectionLost(const std::string& Message, std::int32_t SystemCode) {
    Log("Connection lost: " + TechnicalDetail(Message, SystemCode));
    platform::ModalDialogs().ShowError(this,
                                       ExplainConnectionLost(Message, SystemCode, comPort->Port(),
                                                             *FTranslator, FSettings.Language()));
}

void TMainForm::comLEDConnectionClick() {
    if (comPort->Connected())
        comPort->ClosePort();
    comPort->ShowSetupDialog();
}

void TMainForm::comPortBeforeOpen() {
    Log("Opening COM port...");
    Log("port: " + comPort->Port());
}

void TMainForm::comPortAfterOpen() {
    // A record cut off when the last connection ended must not be completed by the first
    // bytes of this one.
    FReceiver->ClearLineBuffer();
    Log("COM port has been opened");
    Log(" - Baud Rate: " + BaudRateText(comPort->BaudRate()));
    Log(" - Bits Parity: " + ParityText(comPort->Parity().Bits()));
    Log(" - Stop Bits: " + StopBitsText(comPort->StopBits()));
    Log(" - Data Bits: " + DataBitsText(comPort->DataBits()));
    Log(" - Flow Control: " + FlowControlText(comPort->FlowControl().FlowControl()));
    btnConnectToCOM->setText(QString::fromStdString(Translate("Disconnect")));
    comLEDConnection->setToolTip(
        QString::fromStdString(TranslateWith("Connected (%s)", comPort->Port())));
    lblComPort->setText(QString::fromStdString(comPort->Port()));
}

void TMainForm::comPortBeforeClose() {
    Log("Closing COM port...");
    Log("port: " + comPort->Port());
}

void TMainForm::comPortAfterClose() {
    Log("COM port has been closed");
    btnConnectToCOM->setText(QString::fromStdString(Translate("Connect")));
    comLEDConnection->setToolTip(QString::fromStdString(Translate("Disconnected")));
}

void TMainForm::comPortRxChar(int Count) {
    if (Count <= 0)
        return;
    FReceiver->ReceiveText(comPort->ReadText(Count));
}
