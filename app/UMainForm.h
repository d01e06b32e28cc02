#pragma once

// The program's window: the shot table on the left; statistics, commands, connection, pellet
// weight and the chart on the right. It owns the port, the shots, their recording in the series
// library and the settings for the whole run.

#include "app/UDiagnosticLog.h"
#include "app/UDisplaySettings.h"
#include "app/UPhoneSharing.h"
#include "library/SeriesStore.h"
#include "series/ShotReceiver.h"
#include "series/USeries.h"
#include "text/UTranslator.h"
#include "windows/UFrmLive.h"

#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QPushButton;
class QTimer;
class QToolButton;
class TChartPanel;
class TConnectionPanel;
class TPeletWeightBox;
class TSeriesRecorder;
class TSeriesCommands;
class TShotTable;
class TStatisticsPanel;
class TWaitingNotice;
namespace platform {
class TQtTranslations;
}

class TMainForm : public QWidget {
public:
    // Arguments: the command line without the program's name. The display follows the shots
    // RecalculateDelay after the last of a burst.
    explicit TMainForm(const std::vector<std::string>& Arguments,
                       std::chrono::milliseconds RecalculateDelay = std::chrono::milliseconds(500));
    ~TMainForm() override;

    // Settings, as the setup and live windows read and change them.
    TDisplaySettings& Settings() { return FSettings; }
    const std::vector<TData>& Shots() const { return FSeries.Shots(); }
    bool DebugEnabled() const { return FLog->Enabled; }
    TShotReceiver& Receiver() { return *FReceiver; }
    // The live read-out shared with phones.
    TPhoneSharing& PhoneSharing() { return FPhone; }
    // Whether the series being recorded when the program last ended is still being read.
    bool TakingUpSeries() const;

    void FormCreate(const std::vector<std::string>& Arguments);
    void FormShow();
    void FormDestroy();
    void Log(const std::string& Message);

    void Recalculate();
    void RestartRecalculateTimer();
    void recalculateTimerTimer();
    void RecalculateNow();
    void ApplyTranslation();

    void btnClearClick();
    void btnSaveDataClick();
    void btnLoadDataClick();
    void btnSetupClick();
    void btnLiveClick();
    void imgLogoClick();
    void actDebugExecute();

    TShotTable* const stringGridLeft;
    QWidget* const pnlMiddle;
    QWidget* const pnlMiddleTop;
    TStatisticsPanel* const gbStatistics;
    QPushButton *btnLoadData, *btnSaveData, *btnClear, *btnLive, *btnSetup;
    QToolButton* imgLogo;
    TPeletWeightBox* const pnlPeletWeight;
    // The Connect button, the port's LED panel and the port.
    TConnectionPanel* const pnlConnection;
    // The chart with its strip of toggles, read-out and spread.
    TChartPanel* const pnlMiddleBottom;
    QTimer* const recalculateTimer;
    // After a pause of the shots, the library's log goes into its file.
    QTimer* const checkpointTimer;
    // Shots that wait beside the library while another program holds it.
    TWaitingNotice* const lblWaiting;
    QAction* const actDebug;
    // The commands of the table's and the chart's menus, loading and saving.
    TSeriesCommands* SeriesCommands;

protected:
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;

private:
    void CreateCommands();
    void ConnectHandlers();
    void StartRecording();
    // A series of the library became the window's: its weight shown, what it lacks told.
    void SeriesTaken(const TSeriesEntry& Entry, std::size_t Skipped);
    void ShowWaitingShots(std::size_t Waiting);
    void TakeUpPart();
    // Text from the chronograph, held back while the series is taken up.
    void ReceiveText(const std::string& Text);
    // Hands the last shot with its limit flags to an open live read-out.
    void ShowLastShotLive();
    void RedrawChart();
    std::string Translate(const std::string& Text) const;
    TTranslate Translator() const;

    TSeries FSeries;
    TDisplaySettings FSettings{FSeries};
    TPhoneSharing FPhone{FSeries, FSettings};
    // Set when every shot's row and point must be shown again at the next recalculation.
    bool FRedrawPending = true;
    std::string FDataFolder;
    bool FShown = false;
    bool FDestroyed = false;
    platform::TQtTranslations* const FQtTranslations;
    std::unique_ptr<TDiagnosticLog> FLog;
    std::unique_ptr<TTranslator> FTranslator;
    std::unique_ptr<TShotReceiver> FReceiver;
    // Keeps every shot in the series library.
    std::unique_ptr<TSeriesRecorder> FRecorder;
    TLiveUpdate LiveUpdate;
    std::string FHeldText;
};
