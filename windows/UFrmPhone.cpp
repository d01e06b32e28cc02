#include "windows/UFrmPhone.h"

#include "phone/QrCode.h"
#include "platform/HandlerGuard.h"
#include "platform/ModalDialogs.h"
#include "platform/NumberFormats.h"
#include "text/UTranslator.h"
#include "windows/DialogButtons.h"
#include "windows/QtText.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace {

// Four light modules around the code, as readers expect; each module this many pixels, which a
// phone reads from a laptop screen at arm's length.
constexpr int QuietModules = 4, ModulePixels = 6;

QPixmap CodePicture(const std::string& Text) {
    const TQrCode Code = EncodeQr(Text);
    const int Side = (Code.Size + 2 * QuietModules) * ModulePixels;
    QImage Picture(Side, Side, QImage::Format_RGB32);
    Picture.fill(Qt::white);
    QPainter Painter(&Picture);
    for (int Y = 0; Y < Code.Size; ++Y)
        for (int X = 0; X < Code.Size; ++X)
            if (Code.At(X, Y))
                Painter.fillRect((X + QuietModules) * ModulePixels,
                                 (Y + QuietModules) * ModulePixels, ModulePixels, ModulePixels,
                                 Qt::black);
    return QPixmap::fromImage(Picture);
}

QLabel* WrappedLabel(QWidget* Parent) {
    auto* Label = new QLabel(Parent);
    Label->setWordWrap(true);
    return Label;
}

} // namespace

TFrmPhone::TFrmPhone(TReadoutSharing& Sharing, const TMainSettings& Settings, QWidget* Parent)
    : QDialog(Parent), lblHint(WrappedLabel(this)), imgCode(new QLabel(this)),
      cbAddress(new QComboBox(this)), lblPhones(WrappedLabel(this)), lblWarning(WrappedLabel(this)),
      btnSwitch(NewDialogButton(this)), btnClose(NewDialogButton(this)), FSharing(Sharing),
      FSettings(Settings) {
    setWindowTitle(Caption("Read-out on a phone"));
    imgCode->setAlignment(Qt::AlignCenter);
    cbAddress->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    lblHint->setText(Caption("Scan the code with the phone's camera, or open the address in its "
                             "browser. The phone must be on the same network as this computer."));
    lblWarning->setText(Caption("Anyone on this network who sees the code can read the shots."));
    btnClose->setText(Caption("Close"));
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnSwitch);
    Buttons->addWidget(btnClose);
    auto* Layout = new QVBoxLayout(this);
    for (QWidget* Widget :
         std::initializer_list<QWidget*>{lblHint, imgCode, cbAddress, lblPhones, lblWarning})
        Layout->addWidget(Widget);
    Layout->addLayout(Buttons);
    Layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(btnSwitch, &QPushButton::clicked, this, Guarded(this, &TFrmPhone::btnSwitchClick));
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(cbAddress, &QComboBox::currentIndexChanged, this,
            Guarded(this, &TFrmPhone::cbAddressSelect));
    FSharing.Changed = [this] { RunGuarded(this, [this] { ShowSharing(); }); };
    ShowSharing();
}

TFrmPhone::~TFrmPhone() {
    FSharing.Changed = nullptr;
}

QString TFrmPhone::Caption(const char* English) const {
    return ToQString(TTranslator().Translate(English, FSettings.Language()));
}

void TFrmPhone::btnSwitchClick() {
    if (FSharing.Sharing())
        FSharing.StopSharing();
    else
        FSharing.StartSharing();
    ShowSharing();
}

void TFrmPhone::ShowSharing() {
    const bool On = FSharing.Sharing();
    const std::vector<std::string> Addresses = FSharing.Addresses();
    const QSignalBlocker Quiet(cbAddress);
    cbAddress->clear();
    for (const std::string& Address : Addresses)
        cbAddress->addItem(ToQString(Address));
    cbAddress->setVisible(!Addresses.empty());
    btnSwitch->setText(Caption(On ? "Stop sharing" : "Share again"));
    if (!On)
        lblPhones->setText(Caption("Sharing is off."));
    else if (Addresses.empty())
        lblPhones->setText(Caption("This computer has no network address that a phone can "
                                   "reach: connect it to the phone's network."));
    else
        lblPhones->setText(ToQString(
            platform::Format(TTranslator().Translate("Phones reading: %s", FSettings.Language()),
                             {std::to_string(FSharing.Phones())})));
    cbAddressSelect();
}

void TFrmPhone::cbAddressSelect() {
    const QString Address = cbAddress->currentText();
    imgCode->setVisible(!Address.isEmpty());
    if (!Address.isEmpty())
        imgCode->setPixmap(CodePicture(Address.toStdString()));
}

void ShowOnPhone(TReadoutSharing& Sharing, const TMainSettings& Settings, QWidget* Parent) {
    if (!Sharing.Sharing()) {
        try {
            Sharing.StartSharing();
        } catch (const std::exception& Error) {
            platform::ModalDialogs().ShowError(Parent, Error.what());
        }
    }
    TFrmPhone Window(Sharing, Settings, Parent);
    platform::ModalDialogs().Execute(Window);
}
