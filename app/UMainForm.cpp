#include "app/UMainForm.h"

#include "app/CommandLine.h"
#include "app/UChartPanel.h"
#include "app/USeriesCommands.h"
#include "app/USettingsFile.h"
#include "app/UShotTableModel.h"
#include "app/UStatisticsPanel.h"
#include "chart/NiceChart.h"
#include "platform/Environment.h"
#include "platform/Fonts.h"
#include "platform/HandlerGuard.h"
#include "platform/NumberFormats.h"
#include "platform/QtTranslations.h"
#include "platform/ScopeGuard.h"
#include "resources/Pictures.h"
#include "serial/CPortCtl.h"
#include "windows/FittingLabel.h"
#include "windows/SpinButton.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int ClientWidth = 992;
constexpr int ClientHeight = 609;
constexpr const char* DebugCaption = " debuging";

QPushButton* NewButton(QWidget* Parent, const char* Caption, int Left, int Top) {
    auto* Button = new QPushButton(QString::fromUtf8(Caption), Parent);
    Button->setGeometry(Left, Top, 137, 25);
    Button->setCursor(Qt::PointingHandCursor);
    return Button;
}

QWidget* NewPanel(QWidget* Parent, int Left, int Top, int Width, int Height) {
    auto* Panel = new QWidget(Parent);
    Panel->setGeometry(Left, Top, Width, Height);
    return Panel;
}

} // namespace

TMainForm::TMainForm(const std::vector<std::string>& Arguments,
                     std::chrono::milliseconds RecalculateDelay)
    : stringGridLeft(new QTableView(this)), pnlMiddle(NewPanel(this, 221, 0, 771, 609)),
      pnlMiddleTop(NewPanel(pnlMiddle, 0, 0, 771, 149)),
      gbStatistics(new TStatisticsPanel(pnlMiddleTop)), recalculateTimer(new QTimer(this)),
      StringGridLeftTimer(new QTimer(this)), actDebug(new QAction(this)),
      FTableModel(new TShotTableModel(FSeries, this)),
      FQtTranslations(new platform::TQtTranslations(this)) {
    recalculateTimer->setInterval(RecalculateDelay);
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight);
    setFont(SansSerifFont(13));
    setWindowTitle("TARVEX");
    CreateStatistics();
    CreateCommands();
    CreateConnection();
    CreateChart();
    CreatePort();
    SeriesCommands = new TSeriesCommands(*this);
    ConnectHandlers();
    FormCreate(Arguments);
}

TMainForm::~TMainForm() {
    FormDestroy();
    // The table's model reads the series, which goes before the window's children do.
    stringGridLeft->setModel(nullptr);
    delete FTableModel;
}

void TMainForm::CreateStatistics() {
    stringGridLeft->setGeometry(0, 0, 221, ClientHeight);
    FTableModel->SetNumberBackground(stringGridLeft->palette().button());
    stringGridLeft->setModel(FTableModel);
    stringGridLeft->verticalHeader()->hide();
    stringGridLeft->verticalHeader()->setDefaultSectionSize(20);
    stringGridLeft->horizontalHeader()->setDefaultSectionSize(32);
    stringGridLeft->horizontalHeader()->setFixedHeight(20);
    stringGridLeft->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The desktop's sans-serif font is wider than the one the column widths were made for.
    stringGridLeft->horizontalHeader()->setFont(SansSerifFont(11));
    stringGridLeft->setSelectionBehavior(QAbstractItemView::SelectRows);
    stringGridLeft->setEditTriggers(QAbstractItemView::NoEditTriggers);
    stringGridLeft->setMouseTracking(true);
    stringGridLeft->viewport()->installEventFilter(this);
    gbStatistics->setGeometry(4, 4, 297, 141);
}

void TMainForm::CreateCommands() {
    btnLoadData = NewButton(pnlMiddleTop, "Load data", 308, 64);
    btnSaveData = NewButton(pnlMiddleTop, "Save data", 308, 92);
    btnClear = NewButton(pnlMiddleTop, "Clear all values", 308, 120);
    imgLogo = new QToolButton(pnlMiddleTop);
    imgLogo->setGeometry(376, 6, 321, 55);
    imgLogo->setAutoRaise(true);
    imgLogo->setIconSize(QSize(321, 55));
    imgLogo->setIcon(QIcon(resources::Picture("logo.png")));
    imgLogo->setCursor(Qt::PointingHandCursor);
    btnLive = NewButton(pnlMiddleTop, "Live", 468, 64);
    lblPeletWeightCaption = new QLabel("Pelet Weight [g]:", pnlMiddleTop);
    lblPeletWeightCaption->move(472, 102);
    ePeletWeight = new QLineEdit("0.547", pnlMiddleTop);
    ePeletWeight->setGeometry(476, 120, 105, 24);
    spinPeletWeight = new TSpinButton(pnlMiddleTop);
    spinPeletWeight->setGeometry(580, 121, 20, 22);
    spinPeletWeight->setCursor(Qt::PointingHandCursor);
    btnSetup = NewButton(pnlMiddleTop, "Setup", 628, 120);
}

void TMainForm::CreateConnection() {
    btnConnectToCOM = NewButton(pnlMiddleTop, "Connect", 628, 64);
    pnlLED = new QFrame(pnlMiddleTop);
    pnlLED->setGeometry(628, 92, 137, 25);
    pnlLED->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlLED->setCursor(Qt::PointingHandCursor);
    pnlLED->installEventFilter(this);
    lblComPort = new QLabel("unknown COM", pnlLED);
    lblComPort->setGeometry(4, 4, 109, 16);
    lblComPort->setAlignment(Qt::AlignCenter);
    comLEDConnection = new TComLed(pnlLED);
    comLEDConnection->setGeometry(112, 0, 25, 25);
    comLEDConnection->SetLedSignal(lsConn);
    comLEDConnection->SetKind(lkCustom);
    comLEDConnection->SetGlyphOn(resources::Picture("led_conn_on.png"));
    comLEDConnection->SetGlyphOff(resources::Picture("led_conn_off.png"));
    comLEDConnection->setToolTip("Disconnected");
    comLEDConnection->setCursor(Qt::PointingHandCursor);
}

void TMainForm::CreateChart() {
    pnlMiddleBottom = new TChartPanel(pnlMiddle);
    pnlMiddleBottom->setGeometry(0, 149, 771, 460);
}

void TMainForm::CreatePort() {
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

void TMainForm::ConnectHandlers() {
    const auto Click = [this](QAbstractButton* Button, void (TMainForm::*Handler)()) {
        connect(Button, &QAbstractButton::clicked, this, Guarded(this, Handler));
    };
    Click(btnLoadData, &TMainForm::btnLoadDataClick);
    Click(btnSaveData, &TMainForm::btnSaveDataClick);
    Click(btnClear, &TMainForm::btnClearClick);
    Click(btnLive, &TMainForm::btnLiveClick);
    Click(btnConnectToCOM, &TMainForm::btnConnectToCOMClick);
    Click(btnSetup, &TMainForm::btnSetupClick);
    Click(imgLogo, &TMainForm::imgLogoClick);
    Click(pnlMiddleBottom->sbSpeedChart, &TMainForm::sbSpeedChartClick);
    Click(pnlMiddleBottom->sbEnergyChart, &TMainForm::sbEnergyChartClick);
    connect(ePeletWeight, &QLineEdit::textChanged, this,
            Guarded(this, &TMainForm::ePeletWeightChange));
    spinPeletWeight->OnUpClick = [this] { spinPeletWeightUpClick(); };
    spinPeletWeight->OnDownClick = [this] { spinPeletWeightDownClick(); };
    pnlMiddleBottom->chNiceChart->OnMouseMove = [this](TNiceChart&, Qt::KeyboardModifiers, int X,
                                                       int Y) { chNiceChartMouseMove(X, Y); };
    recalculateTimer->setSingleShot(true);
    connect(recalculateTimer, &QTimer::timeout, this,
            Guarded(this, &TMainForm::recalculateTimerTimer));
    StringGridLeftTimer->setInterval(2000);
    connect(StringGridLeftTimer, &QTimer::timeout, this,
            Guarded(this, &TMainForm::StringGridLeftTimerTimer));
    actDebug->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    addAction(actDebug);
    connect(actDebug, &QAction::triggered, this, Guarded(this, &TMainForm::actDebugExecute));
    FSettings.ApplyTranslation = [this] { ApplyTranslation(); };
    FSettings.ShowPeletWeight = [this] { ShowPeletWeight(); };
    FSettings.RecalculateNow = [this] { RecalculateNow(); };
    FSettings.RestartRecalculation = [this] { RestartRecalculateTimer(); };
}

void TMainForm::FormCreate(const std::vector<std::string>& Arguments) {
    FWeightEditGuard = false;
    FDataFolder = platform::DataFolder();
    FLog = std::make_unique<TDiagnosticLog>(FDataFolder + "/tarvex.log");
    if (ParseCommandLine(Arguments).Debug) {
        FLog->Enabled = false;
        actDebugExecute();
    }
    Log("Tarvex is starting...");
}

void TMainForm::showEvent(QShowEvent* Event) {
    QWidget::showEvent(Event);
    if (FShown)
        return;
    FShown = true;
    if (const QScreen* Screen = screen())
        move(Screen->availableGeometry().center() - rect().center());
    RunGuarded(this, [this] { FormShow(); });
}

void TMainForm::FormShow() {
    FSettings.LoadLanguage(LANG_ENGLISH);
    FTranslator = std::make_unique<TTranslator>();
    FReceiver = std::make_unique<TShotReceiver>(FSeries);
    FReceiver->Log = [this](const std::string& Message) { Log(Message); };
    FReceiver->RestartRecalculateTimer = [this] { RestartRecalculateTimer(); };
    FReceiver->SeriesFull = [this] { TellSeriesFull(); };
    FSeries.OnChange = [this](TSeriesChange Change, std::size_t) {
        FRedrawPending = FRedrawPending || Change == TSeriesChange::Reset;
        FToldFull = FToldFull && FSeries.Full();
    };
    FSeries.SetPeletWeight(0.547);
    FSeries.SetSpeedLimit(999999);
    FSeries.SetEnergyLimit(999999);
    stringGridLeft->setColumnWidth(0, 32);
    stringGridLeft->setColumnWidth(1, 80);
    stringGridLeft->setColumnWidth(2, 80);
    ReadSettings();
    ClearShots();
    FReceiver->ClearLineBuffer();
    comPort->SetPort("");
    ShowPeletWeight();
    ApplyTranslation();
    RecalculateNow();
}

std::string TMainForm::SettingsFileName() const {
    return FDataFolder + "/settings.ini";
}

void TMainForm::ReadSettings() {
    TSettings Settings{
        FSettings.Language(),    false,          FSettings.PeletWeight(), FSettings.SpeedLimit(),
        FSettings.EnergyLimit(), ColumnWidth(1), ColumnWidth(2)};
    ReadSettingsFile(SettingsFileName(), Settings, [this](const std::string& Line) { Log(Line); });
    FSeries.SetPeletWeight(Settings.PeletWeight);
    FSeries.SetSpeedLimit(Settings.SpeedLimit);
    FSeries.SetEnergyLimit(Settings.EnergyLimit);
    stringGridLeft->setColumnWidth(1, Settings.ColumnWidth1);
    stringGridLeft->setColumnWidth(2, Settings.ColumnWidth2);
    FSettings.LoadLanguage(Settings.Language);
    FSeries.SetUnits(Settings.Imperial ? ImperialUnits : MetricUnits);
}

void TMainForm::WriteSettings() {
    const TSettings Settings{FSettings.Language(),    FSettings.IsImperial(),
                             FSettings.PeletWeight(), FSettings.SpeedLimit(),
                             FSettings.EnergyLimit(), ColumnWidth(1),
                             ColumnWidth(2)};
    WriteSettingsFile(SettingsFileName(), Settings, FSettings.SpeedUnit(),
                      [this](const std::string& Line) { Log(Line); });
}

void TMainForm::closeEvent(QCloseEvent* Event) {
    FormDestroy();
    Event->accept();
}

void TMainForm::FormDestroy() {
    if (FDestroyed)
        return;
    FDestroyed = true;
    WriteSettings();
    ClearShots();
    LiveUpdate = nullptr;
    comLEDConnection->SetComPort(nullptr);
    // The port is closed and released before the window's controls, which its events update.
    try {
        if (comPort->Connected())
            comPort->ClosePort();
    } catch (const std::exception&) {
        // The program is closing: a port that fails to close is released all the same.
    }
    comPort.reset();
    Log("...Tarvex is closed");
}

void TMainForm::Log(const std::string& Message) {
    if (FLog)
        FLog->Log(Message);
}

void TMainForm::actDebugExecute() {
    FLog->Enabled = !FLog->Enabled;
    QString Caption = windowTitle();
    Caption.remove(DebugCaption, Qt::CaseInsensitive);
    setWindowTitle(FLog->Enabled ? Caption + DebugCaption : Caption);
}

std::string TMainForm::Translate(const std::string& Text) const {
    return FTranslator ? FTranslator->Translate(Text, FSettings.Language()) : Text;
}

TTranslate TMainForm::Translator() const {
    return [this](const std::string& Text) { return Translate(Text); };
}

std::string TMainForm::TranslateWith(const std::string& Pattern, const std::string& Value) const {
    return ::TranslateWith(Translator(), Pattern, Value);
}

void TMainForm::ApplyTranslation() {
    const auto Set = [](auto* Control, const std::string& Text) {
        Control->setText(QString::fromStdString(Text));
    };
    Log("Language: " + TTranslator::LanguageName(FSettings.Language()));
    FQtTranslations->Use(TTranslator::LanguageCode(FSettings.Language()));
    Set(btnLoadData, Translate("Load Data"));
    Set(btnSaveData, Translate("Save Data"));
    Set(btnClear, Translate("Clear Data"));
    const bool Connected = comPort && comPort->Connected();
    Set(btnConnectToCOM, Translate(Connected ? "Disconnect" : "Connect"));
    Set(lblComPort, Connected ? comPort->Port() : Translate("Unknown COM"));
    Set(lblPeletWeightCaption, TranslateWith("Pelet Weight [%s]:", FSettings.WeightUnit()));
    lblPeletWeightCaption->adjustSize();
    gbStatistics->ApplyTranslation(Translator(), FSettings.SpeedUnit(), FSettings.EnergyUnit());
    FTableModel->SetCaptions(
        {QString::fromStdString(Translate("No.")),
         QString::fromStdString(TranslateWith("Speed [%s]", FSettings.SpeedUnit())),
         QString::fromStdString(TranslateWith("Energy [%s]", FSettings.EnergyUnit()))});
    pnlMiddleBottom->ApplyTranslation(Translator(), FSeries.Units());
    Set(btnSetup, Translate("Setup"));
    Set(btnLive, Translate("Live"));
    SeriesCommands->ApplyTranslation();
    RecalculateNow();
}

void TMainForm::ShowPeletWeight() {
    const auto Guard = platform::ScopedValue(FWeightEditGuard, true);
    ePeletWeight->setText(
        QString::fromStdString(platform::FormatFloat("0.000", FSettings.PeletWeight())));
}

double TMainForm::ReadPeletWeightEdit() const {
    double Value = 0;
    return platform::TryStrToFloat(ePeletWeight->text().toStdString(), Value) ? Value : 0;
}

void TMainForm::ePeletWeightChange() {
    if (FWeightEditGuard)
        return;
    const double Value = ReadPeletWeightEdit();
    if (Value == 0)
        return;
    FSeries.SetPeletWeight(Value);
    RestartRecalculateTimer();
}

void TMainForm::spinPeletWeightUpClick() {
    StepPeletWeight(+0.001);
}

void TMainForm::spinPeletWeightDownClick() {
    StepPeletWeight(-0.001);
}

// The arrows drop every error: a weight they cannot step is left as it is.
void TMainForm::StepPeletWeight(double Step) {
    try {
        double Value = 0;
        if (!platform::TryStrToFloat(ePeletWeight->text().toStdString(), Value))
            return;
        FSeries.SetPeletWeight(Value + Step);
        ShowPeletWeight();
        RecalculateNow();
    } catch (...) {
        return;
    }
}
