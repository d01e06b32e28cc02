#include "windows/UFrmLive.h"

#include "platform/Fonts.h"
#include "platform/HandlerGuard.h"
#include "platform/ModalDialogs.h"
#include "resources/Pictures.h"
#include "text/UTranslator.h"
#include "windows/FittingLabel.h"
#include "windows/UFrmPhone.h"
#include "windows/UFrmSetup.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QToolButton>

namespace {

// The logo keeps the proportion of its picture.
constexpr int LogoWidth = 438, LogoHeight = 75;
// The menu button's size and its distance from the right and bottom edges.
constexpr int MenuButtonSize = 25, MenuButtonMargin = 1;

const QColor AtLimitColor(255, 0, 0);
const QColor BelowLimitColor(0, 0, 0);

QLabel* LogoImage(QWidget* Parent) {
    auto* Logo = new QLabel(Parent);
    Logo->setPixmap(resources::Picture("logo.png"));
    Logo->setScaledContents(true);
    Logo->setCursor(Qt::PointingHandCursor);
    Logo->setGeometry(0, -2, LogoWidth, LogoHeight);
    return Logo;
}

TFittingLabel* ReadoutLabel(QWidget* Parent, const QRect& Geometry, Qt::Alignment Alignment,
                            const char* Text) {
    auto* Label = new TFittingLabel(Parent);
    Label->setGeometry(Geometry);
    Label->setAlignment(Alignment | Qt::AlignTop);
    Label->setFont(ArialFont(120));
    Label->setText(QString::fromUtf8(Text));
    return Label;
}

QToolButton* MenuButton(QWidget* Parent) {
    auto* Button = new QToolButton(Parent);
    Button->setAutoRaise(true);
    Button->setFont(SansSerifFont(13, true));
    Button->setText(QStringLiteral("|||"));
    Button->setGeometry(1010, 480, MenuButtonSize, MenuButtonSize);
    return Button;
}

void ShowText(QLabel* Label, const std::string& Text) {
    Label->setText(QString::fromStdString(Text));
}

void ShowText(QLabel* Label, const std::string& Text, bool AtLimit) {
    QPalette Palette = Label->palette();
    Palette.setColor(QPalette::WindowText, AtLimit ? AtLimitColor : BelowLimitColor);
    Label->setPalette(Palette);
    ShowText(Label, Text);
}

// The read-out's type fills four fifths of its label's height. A tenth of the type's size stays
// free at each side, so that neighbouring read-outs never run into each other when a long text
// is drawn smaller to fit.
void SetReadoutFont(QLabel* Label) {
    QFont Font = Label->font();
    Font.setPixelSize((4 * Label->height()) / 5);
    Label->setFont(Font);
    const int Margin = Font.pixelSize() / 10;
    Label->setContentsMargins(Margin, 0, Margin, 0);
}

} // namespace

TFrmLive::TFrmLive(TMainSettings& Settings, QWidget* Parent, TReadoutSharing* Sharing)
    : QWidget(Parent, Qt::Window | Qt::FramelessWindowHint), imgLogo(LogoImage(this)),
      lblShoot(ReadoutLabel(this, {700, 0, 297, 134}, Qt::AlignRight, "---.")),
      lblSpeed(ReadoutLabel(this, {0, 168, 965, 134}, Qt::AlignHCenter, "---,-- m/s")),
      lblPeletWeight(ReadoutLabel(this, {0, 340, 517, 134}, Qt::AlignHCenter, "-,--- g")),
      lblEnergy(ReadoutLabel(this, {528, 340, 493, 134}, Qt::AlignHCenter, "--,-- J")),
      btnMenu(MenuButton(this)), PopMenu(new QMenu(this)),
      miSetup(PopMenu->addAction(QStringLiteral("Setup..."))),
      miPhone(new QAction(QStringLiteral("Show on a phone\u2026"), this)),
      miCloselive(PopMenu->addAction(QStringLiteral("Close live"))), FSettings(Settings),
      FSharing(Sharing) {
    QPalette White = palette();
    White.setColor(QPalette::Window, Qt::white);
    setPalette(White);
    setAutoFillBackground(true);
    resize(1036, 506);
    connect(btnMenu, &QToolButton::clicked, this, Guarded(this, &TFrmLive::btnMenuClick));
    connect(miSetup, &QAction::triggered, this, Guarded(this, &TFrmLive::miSetupClick));
    connect(miPhone, &QAction::triggered, this, Guarded(this, &TFrmLive::miPhoneClick));
    // The read-out on a phone only where the main window shares it.
    if (FSharing)
        PopMenu->insertAction(miCloselive, miPhone);
    connect(miCloselive, &QAction::triggered, this, Guarded(this, &TFrmLive::miCloseliveClick));
    ShowPlaceholders();
    CoverOwnerScreen();
}

void TFrmLive::CoverOwnerScreen() {
    QScreen* Screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    setGeometry(Screen->geometry());
    setWindowState(Qt::WindowFullScreen);
}

void TFrmLive::ShowPlaceholders() {
    ShowText(lblShoot, "---.");
    ShowText(lblSpeed, "---,-- " + FSettings.SpeedUnit());
    ShowText(lblPeletWeight, "-,--- " + FSettings.WeightUnit());
    ShowText(lblEnergy, "--,-- " + FSettings.EnergyUnit());
}

void TFrmLive::UpdateReadout(double Speed, const std::string& SpeedUnit, double PeletWeight,
                             const std::string& WeightUnit, double Energy,
                             const std::string& EnergyUnit, int ShotNumber,
                             const TReadoutLimits& Limits) {
    const TReadoutTexts Texts = ReadoutTexts(
        {ShotNumber, Speed, SpeedUnit, PeletWeight, WeightUnit, Energy, EnergyUnit}, Limits);
    ShowText(lblSpeed, Texts.Speed, Texts.SpeedAtLimit);
    ShowText(lblShoot, Texts.Shot);
    ShowText(lblPeletWeight, Texts.PeletWeight);
    ShowText(lblEnergy, Texts.Energy, Texts.EnergyAtLimit);
}

void TFrmLive::showEvent(QShowEvent* Event) {
    QWidget::showEvent(Event);
    RunGuarded(this, [this] { FormShow(); });
}

void TFrmLive::resizeEvent(QResizeEvent* Event) {
    QWidget::resizeEvent(Event);
    RunGuarded(this, [this] { FormResize(); });
}

void TFrmLive::keyPressEvent(QKeyEvent* Event) {
    if (Event->key() != Qt::Key_Escape) {
        QWidget::keyPressEvent(Event);
        return;
    }
    RunGuarded(this, [this] { miCloseliveClick(); });
}

void TFrmLive::FormShow() {
    FormResize();
    activateWindow();
}

// Every division truncates, so the layout is the same on every run for a given screen.
void TFrmLive::FormResize() {
    const int W = width(), H = height();
    const int LogoShownWidth = W / 2;
    imgLogo->setGeometry(0, -2, LogoShownWidth, (LogoShownWidth * LogoHeight) / LogoWidth);
    lblShoot->setGeometry(W - W / 4, 0, W / 4, H / 5);
    lblSpeed->setGeometry(0, H / 3, W, H / 3);
    lblPeletWeight->setGeometry(0, H - H / 4, W / 2, H / 4);
    lblEnergy->setGeometry(W / 2, H - H / 4, W / 2, H / 4);
    for (QLabel* Label : {lblShoot, lblSpeed, lblPeletWeight, lblEnergy})
        SetReadoutFont(Label);
    btnMenu->move(W - MenuButtonSize - MenuButtonMargin, H - MenuButtonSize - MenuButtonMargin);
    const TTranslator Translator;
    const int Language = FSettings.Language();
    miSetup->setText(QString::fromStdString(Translator.Translate("Setup", Language)));
    miPhone->setText(
        QString::fromStdString(Translator.Translate("Show on a phone\u2026", Language)));
    miCloselive->setText(QString::fromStdString(Translator.Translate("Close", Language)));
}

void TFrmLive::btnMenuClick() {
    PopMenu->popup(mapToGlobal(QPoint(width(), height())));
}

// The setup window belongs to the main window, like the read-out itself. The layout runs
// afterwards so that the menu follows a changed language.
void TFrmLive::miSetupClick() {
    TFrmSetup Setup(FSettings, parentWidget(), FSharing);
    platform::ModalDialogs().Execute(Setup);
    FormResize();
}

void TFrmLive::miPhoneClick() {
    ShowOnPhone(*FSharing, FSettings, this);
}

// Closing only hides the read-out; the main window keeps it and may keep updating it.
void TFrmLive::miCloseliveClick() {
    close();
}
