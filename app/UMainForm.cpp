#include "app/UMainForm.h"

#include "app/CommandLine.h"
#include "app/UChartPanel.h"
#include "app/UConnectionPanel.h"
#include "app/UPeletWeightBox.h"
#include "app/USeriesCommands.h"
#include "app/USettingsFile.h"
#include "app/UShotTable.h"
#include "app/UStatisticsPanel.h"
#include "app/UWaitingNotice.h"
#include "library/SeriesRecorder.h"
#include "library/SeriesStore.h"
#include "platform/Environment.h"
#include "platform/Fonts.h"
#include "platform/HandlerGuard.h"
#include "platform/ModalDialogs.h"
#include "platform/NumberFormats.h"
#include "platform/QtTranslations.h"
#include "resources/Pictures.h"
#include "series/UEnergyPresets.h"
#include "windows/USeriesSummary.h"

#include <QAction>
#include <QCloseEvent>
#include <QPushButton>
#include <QScreen>
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

// The settings as the window holds them now.
TSettings CurrentSettings(const TDisplaySettings& Shared, const TShotTable& Table) {
    return {Shared.Language(),
            Shared.IsImperial(),
            Shared.PeletWeight(),
            Shared.SpeedLimit(),
            Shared.EnergyLimit(),
            Table.ColumnWidth(1),
            Table.ColumnWidth(2),
            Shared.UsableSpread(MetricUnits),
            Shared.UsableSpread(ImperialUnits),
            Shared.PhonePort(),
            Shared.PhoneAddress()};
}

// The settings file's values go to the series, the shared settings and the table's columns.
void ReadSettings(const std::string& FileName, TSeries& Series, TDisplaySettings& Shared,
                  TShotTable& Table, const TSettingsLog& Log) {
    TSettings Settings = CurrentSettings(Shared, Table);
    ReadSettingsFile(FileName, Settings, Log);
    Shared.LoadUsableSpread(MetricUnits, Settings.UsableSpreadMetric);
    Shared.LoadUsableSpread(ImperialUnits, Settings.UsableSpreadImperial);
    Series.SetPeletWeight(Settings.PeletWeight);
    const TUnitSystem& Units = Settings.Imperial ? ImperialUnits : MetricUnits;
    Series.SetSpeedLimit(Settings.SpeedLimit);
    Series.SetEnergyLimit(StoredEnergyLimit(Settings.EnergyLimit, Units));
    Table.setColumnWidth(1, Settings.ColumnWidth1);
    Table.setColumnWidth(2, Settings.ColumnWidth2);
    Shared.LoadLanguage(Settings.Language);
    Shared.LoadPhoneListening(Settings.PhonePort, Settings.PhoneAddress);
    Series.SetUnits(Units);
}

void WriteSettings(const std::string& FileName, const TDisplaySettings& Shared,
                   const TShotTable& Table, const TSettingsLog& Log) {
    WriteSettingsFile(FileName, CurrentSettings(Shared, Table), Shared.SpeedUnit(), Log);
}

// The fill pressures noted in the library with the series being recorded, in the display unit.
// A library that has failed is not asked again, so that a damaged or locked file never holds up
// the chart; one that cannot be read gives none: the recorder tells the user of its failures.
std::optional<TFillPressures> NotedPressures(const TSeriesRecorder* Recorder,
                                             const TUnitSystem& Units, const TSettingsLog& Log) {
    if (!Recorder || !Recorder->Recording() || !Recorder->CurrentSeries())
        return std::nullopt;
    try {
        const auto Notes = Recorder->Store()->Notes(*Recorder->CurrentSeries());
        if (!Notes || !Notes->PressureStart || !Notes->PressureEnd)
            return std::nullopt;
        const auto Shown = [&](double Bar) {
            return NoteToDisplay(TNoteQuantity::Pressure, Bar, Units);
        };
        return TFillPressures{Shown(*Notes->PressureStart), Shown(*Notes->PressureEnd),
                              NoteUnit(TNoteQuantity::Pressure, Units)};
    } catch (const std::exception& Error) {
        Log(std::string("Fill pressures not read: ") + Error.what());
        return std::nullopt;
    }
}

void TellLibraryFailed(QWidget* Window, const TTranslate& Translate, const std::string& Reason) {
    platform::ModalDialogs().ShowError(
        Window, Translate("The series library does not keep the shots any more. They stay in this "
                          "window until it closes, and Save data still works.") +
                    "\n\n" + Reason);
}

void TellSeriesFull(QWidget* Window, const TTranslate& Translate) {
    RunGuarded(Window, [Window, Translate] {
        platform::ModalDialogs().ShowError(
            Window, TranslateWith(Translate,
                                  "The series holds %s shots, as many as it can: further shots "
                                  "are not added. Save the series and clear it to go on.",
                                  std::to_string(TSeries::MaxShots)));
    });
}

// What the user is told about a library that opened otherwise than plainly.
std::string OpeningNotice(const TSeriesStore& Store, const TTranslate& Translate) {
    if (Store.Opening() == TSeriesStore::OpenedUnwritable)
        return TranslateWith(Translate,
                             "The series library %s cannot be written. It is open for reading "
                             "only: the shots recorded now are not kept in it.",
                             Store.Path());
    if (Store.ReadOnly())
        return TranslateWith(Translate,
                             "The series library %s was written by a newer version of TARVEX. It "
                             "is open for reading only: the shots recorded now are not kept in it.",
                             Store.Path());
    return platform::Format(Translate("The series library %s was damaged. It has been kept as %s "
                                      "and a new, empty library has been started."),
                            {Store.Path(), Store.MovedAside()});
}

// The library in its usual place, or none when it cannot be opened: the shots then stay in the
// window only, which the user is told.
std::unique_ptr<TSeriesStore> OpenLibrary(QWidget* Window, const TTranslate& Translate,
                                          const TSettingsLog& Log) {
    try {
        auto Store = std::make_unique<TSeriesStore>(DefaultSeriesDatabase());
        if (!Store->Message().empty()) {
            Log("Series library: " + Store->Message());
            platform::ModalDialogs().ShowInformation(Window, OpeningNotice(*Store, Translate));
        }
        return Store;
    } catch (const std::exception& Error) {
        Log(std::string("Series library not opened: ") + Error.what());
        TellLibraryFailed(Window, Translate, Error.what());
        return nullptr;
    }
}

} // namespace

TMainForm::TMainForm(const std::vector<std::string>& Arguments,
                     std::chrono::milliseconds RecalculateDelay)
    : stringGridLeft(new TShotTable(FSeries, this)), pnlMiddle(NewPanel(this, 221, 0, 771, 609)),
      pnlMiddleTop(NewPanel(pnlMiddle, 0, 0, 771, 149)),
      gbStatistics(new TStatisticsPanel(pnlMiddleTop)),
      pnlPeletWeight(new TPeletWeightBox(FSeries, pnlMiddleTop)),
      pnlConnection(new TConnectionPanel(pnlMiddleTop)),
      pnlMiddleBottom(new TChartPanel(FSeries, pnlMiddle)), recalculateTimer(new QTimer(this)),
      checkpointTimer(new QTimer(this)), lblWaiting(new TWaitingNotice(pnlMiddleBottom)),
      actDebug(new QAction(this)), FQtTranslations(new platform::TQtTranslations(this)) {
    recalculateTimer->setInterval(RecalculateDelay);
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight);
    setFont(SansSerifFont(13));
    setWindowTitle("TARVEX");
    stringGridLeft->setGeometry(0, 0, 221, ClientHeight);
    gbStatistics->setGeometry(4, 4, 297, 141);
    pnlPeletWeight->setGeometry(472, 102, 156, 42);
    pnlConnection->setGeometry(628, 64, 137, 53);
    pnlMiddleBottom->setGeometry(0, 149, 771, 460);
    // Below the chart's strip of toggles, which stays in reach.
    lblWaiting->move(8, 30);
    lblWaiting->setFixedWidth(755);
    CreateCommands();
    SeriesCommands = new TSeriesCommands({*this, FSeries, FSettings, FRecorder, LiveUpdate,
                                          Translator(), [this] { RedrawChart(); }});
    ConnectHandlers();
    FormCreate(Arguments);
}

// The series goes before the window's children, so the views that read it are let go of it
// first.
TMainForm::~TMainForm() {
    FormDestroy();
    delete stringGridLeft;
    delete pnlMiddle;
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
    btnSetup = NewButton(pnlMiddleTop, "Setup", 628, 120);
}

void TMainForm::ConnectHandlers() {
    const auto Click = [this](QAbstractButton* Button, void (TMainForm::*Handler)()) {
        connect(Button, &QAbstractButton::clicked, this, Guarded(this, Handler));
    };
    Click(btnLoadData, &TMainForm::btnLoadDataClick);
    Click(btnSaveData, &TMainForm::btnSaveDataClick);
    Click(btnClear, &TMainForm::btnClearClick);
    Click(btnLive, &TMainForm::btnLiveClick);
    Click(btnSetup, &TMainForm::btnSetupClick);
    Click(imgLogo, &TMainForm::imgLogoClick);
    pnlMiddleBottom->Redraw = [this] { RedrawChart(); };
    pnlMiddleBottom->UsableSpread = [this] { return FSettings.UsableSpread(); };
    pnlMiddleBottom->FillPressures = [this] {
        return NotedPressures(FRecorder.get(), FSeries.Units(),
                              [this](const std::string& Line) { Log(Line); });
    };
    pnlPeletWeight->RestartRecalculation = [this] { RestartRecalculateTimer(); };
    pnlPeletWeight->RecalculateNow = [this] { RecalculateNow(); };
    pnlConnection->Log = [this](const std::string& Line) { Log(Line); };
    // A record cut off when the last connection ended must not be completed by the first bytes
    // of this one.
    pnlConnection->Opened = [this] {
        FReceiver->ClearLineBuffer();
        FHeldText.clear();
    };
    pnlConnection->Received = [this](const std::string& Text) { ReceiveText(Text); };
    checkpointTimer->setSingleShot(true);
    checkpointTimer->setInterval(std::chrono::seconds(3));
    connect(checkpointTimer, &QTimer::timeout, this, [this] {
        if (FRecorder)
            FRecorder->Checkpoint();
    });
    lblWaiting->Retry = [this] { return FRecorder->RetryWaiting(); };
    // A loaded file's shots that waited behind the held library go on in bursts.
    lblWaiting->AllIn = [this] { RedrawChart(); };
    recalculateTimer->setSingleShot(true);
    connect(recalculateTimer, &QTimer::timeout, this,
            Guarded(this, &TMainForm::recalculateTimerTimer));
    actDebug->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    addAction(actDebug);
    connect(actDebug, &QAction::triggered, this, Guarded(this, &TMainForm::actDebugExecute));
    FSettings.ApplyTranslation = [this] { ApplyTranslation(); };
    FPhone.Failed = [this](const std::string& Reason) {
        RunGuarded(this, [this, Reason] { platform::ModalDialogs().ShowError(this, Reason); });
    };
    FSettings.ShowPeletWeight = [this] { pnlPeletWeight->ShowPeletWeight(); };
    FSettings.RecalculateNow = [this] { RecalculateNow(); };
    FSettings.RestartRecalculation = [this] { RestartRecalculateTimer(); };
}

void TMainForm::FormCreate(const std::vector<std::string>& Arguments) {
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
    // Told after the port's event has been handled, not from inside it.
    FReceiver->SeriesFull = [this] {
        QTimer::singleShot(0, this, [this] { TellSeriesFull(this, Translator()); });
    };
    FSeries.OnChange = [this](TSeriesChange Change, std::size_t) {
        FRedrawPending = FRedrawPending || Change == TSeriesChange::Reset;
        FPhone.Follow();
    };
    FSeries.SetPeletWeight(0.547);
    FSeries.SetSpeedLimit(999999);
    FSeries.SetEnergyLimit(999999);
    const auto LogLine = [this](const std::string& Line) { Log(Line); };
    ReadSettings(FDataFolder + "/settings.ini", FSeries, FSettings, *stringGridLeft, LogLine);
    FSeries.Clear();
    StartRecording();
    FReceiver->ClearLineBuffer();
    pnlConnection->ComPort().SetPort("");
    pnlPeletWeight->ShowPeletWeight();
    ApplyTranslation();
    RecalculateNow();
}

// The series this program recorded when it last ended, however it ended, is the series again.
void TMainForm::StartRecording() {
    const auto LogLine = [this](const std::string& Line) { Log(Line); };
    FRecorder =
        std::make_unique<TSeriesRecorder>(FSeries, OpenLibrary(this, Translator(), LogLine));
    FRecorder->RecordedSeriesName = [this] {
        return TranslateWith(Translator(), "Series of %s", LocalTimeText(platform::LocalTimeNow()));
    };
    FRecorder->Failed = [this](const std::string& Reason) {
        Log("Series library failed: " + Reason);
        // Told after the event that wrote has been handled, not from inside it.
        QTimer::singleShot(0, this,
                           [this, Reason] { TellLibraryFailed(this, Translator(), Reason); });
    };
    FRecorder->WaitingChanged = [this](std::size_t Waiting) { ShowWaitingShots(Waiting); };
    FRecorder->SeriesTaken = [this](const TSeriesEntry& Entry, std::size_t Skipped) {
        SeriesTaken(Entry, Skipped);
    };
    FRecorder->SeriesTooLong = [this](std::size_t Count) {
        QTimer::singleShot(0, this, [this, Count] {
            RunGuarded(this, [this, Count] {
                platform::ModalDialogs().ShowError(
                    this,
                    platform::Format(Translate("This series holds %s shots, more than a "
                                               "series can (%s): it is not opened."),
                                     {std::to_string(Count), std::to_string(TSeries::MaxShots)}));
            });
        });
    };
    if (FRecorder->BeginResume())
        QTimer::singleShot(0, this, Guarded(this, &TMainForm::TakeUpPart));
    if (FRecorder->WaitingForLibrary())
        lblWaiting->StartRetrying();
}

// The series being recorded when the program ended comes in parts, so that the window answers
// while a long one is read; what the chronograph sends meanwhile follows it.
void TMainForm::TakeUpPart() {
    if (FRecorder->TakeUpPart()) {
        QTimer::singleShot(0, this, Guarded(this, &TMainForm::TakeUpPart));
        return;
    }
    Log("Resumed the series being recorded: " + std::to_string(FSeries.Count()) + " shots");
    RecalculateNow();
    if (!FHeldText.empty())
        ReceiveText(std::exchange(FHeldText, {}));
}

bool TMainForm::TakingUpSeries() const {
    return FRecorder && FRecorder->TakingUp();
}

void TMainForm::ReceiveText(const std::string& Text) {
    if (FRecorder->TakingUp()) {
        FHeldText += Text;
        return;
    }
    FReceiver->ReceiveText(Text);
    FRecorder->ShotsReceived();
    checkpointTimer->start();
}

void TMainForm::ShowWaitingShots(std::size_t Waiting) {
    Log("Shots waiting for the series library: " + std::to_string(Waiting));
    lblWaiting->ShowWaiting(Waiting, Translator());
}

// Told after the event that took the series has been handled, not from inside it.
void TMainForm::SeriesTaken(const TSeriesEntry& Entry, std::size_t Skipped) {
    pnlPeletWeight->ShowPeletWeight();
    std::vector<std::string> Told;
    if (Entry.Incomplete())
        Told.push_back(
            platform::Format(Translate("%s of %s shots of %s were kept: load the file again."),
                             {std::to_string(Entry.ShotCount), std::to_string(*Entry.SourceShots),
                              Entry.SourceName}));
    if (Skipped > 0)
        Told.push_back(TranslateWith(Translator(),
                                     "%s shots of this series in the library are no speeds in m/s "
                                     "or fps and were left out.",
                                     std::to_string(Skipped)));
    if (Told.empty())
        return;
    Log("Series taken up: " + Told.front());
    QTimer::singleShot(0, this, [this, Told] {
        std::string Text;
        for (const std::string& Line : Told)
            Text += (Text.empty() ? "" : "\n\n") + Line;
        RunGuarded(this, [this, Text] { platform::ModalDialogs().ShowInformation(this, Text); });
    });
}

void TMainForm::closeEvent(QCloseEvent* Event) {
    FormDestroy();
    Event->accept();
}

void TMainForm::FormDestroy() {
    if (FDestroyed)
        return;
    FDestroyed = true;
    SeriesCommands->CloseLibrary();
    FPhone.StopSharing();
    // Shots the held library cannot take wait beside it for the next start.
    if (FRecorder)
        FRecorder->KeepAll();
    WriteSettings(FDataFolder + "/settings.ini", FSettings, *stringGridLeft,
                  [this](const std::string& Line) { Log(Line); });
    FSeries.Clear();
    LiveUpdate = nullptr;
    // The port is closed and released before the window's controls, which its events update.
    pnlConnection->ReleasePort();
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

void TMainForm::ApplyTranslation() {
    const auto Set = [](auto* Control, const std::string& Text) {
        Control->setText(QString::fromStdString(Text));
    };
    Log("Language: " + TTranslator::LanguageName(FSettings.Language()));
    FQtTranslations->Use(TTranslator::LanguageCode(FSettings.Language()));
    Set(btnLoadData, Translate("Load Data"));
    Set(btnSaveData, Translate("Save Data"));
    Set(btnClear, Translate("Clear Data"));
    pnlConnection->ApplyTranslation(Translator());
    pnlPeletWeight->ApplyTranslation(Translator(), FSettings.WeightUnit());
    gbStatistics->ApplyTranslation(Translator(), FSettings.SpeedUnit(), FSettings.EnergyUnit());
    stringGridLeft->ApplyTranslation(Translator(), FSeries.Units());
    pnlMiddleBottom->ApplyTranslation(Translator(), FSeries.Units());
    Set(btnSetup, Translate("Setup"));
    Set(btnLive, Translate("Live"));
    SeriesCommands->ApplyTranslation();
    RecalculateNow();
}
