#pragma once

// The program's window: the shot table on the left; statistics, commands, connection, pellet
// weight and the chart on the right. It owns the port, the shots and the settings for the
// whole run.

#include "app/ShotReceiver.h"
#include "app/UDiagnosticLog.h"
#include "app/UDisplaySettings.h"
#include "app/USeries.h"
#include "serial/CPort.h"
#include "text/UTranslator.h"

#include <QWidget>
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;
class QToolButton;
class TComLed;
class TFrmLive;
class TChartPanel;
class TShotTableModel;
class TSpinButton;
class TSeriesCommands;
class TStatisticsPanel;
namespace platform {
class TQtTranslations;
}

// The live window's read-out of the last shot.
using TLiveUpdate =
    std::function<void(double Speed, const std::string& SpeedUnit, double PeletWeight,
                       const std::string& WeightUnit, double Energy, const std::string& EnergyUnit,
                       int ShotNumber, bool SpeedAtLimit, bool EnergyAtLimit)>;

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
    const std::string& DataFolder() const { return FDataFolder; }
    bool DebugEnabled() const { return FLog->Enabled; }
    TComPort& ComPort() { return *comPort; }
    TShotReceiver& Receiver() { return *FReceiver; }

    void FormCreate(const std::vector<std::string>& Arguments);
    void FormShow();
    void FormDestroy();
    void Log(const std::string& Message);

    void Recalculate();
    void RestartRecalculateTimer();
    void recalculateTimerTimer();
    void RecalculateNow();
    void ClearShots();
    void ApplyTranslation();
    void ShowPeletWeight();
    double ReadPeletWeightEdit() const;

    void btnClearClick();
    void btnSaveDataClick();
    void btnLoadDataClick();
    void btnConnectToCOMClick();
    void comLEDConnectionClick();
    void btnSetupClick();
    void btnLiveClick();
    void imgLogoClick();
    void ePeletWeightChange();
    void spinPeletWeightUpClick();
    void spinPeletWeightDownClick();
    void sbSpeedChartClick() { RedrawChart(); }
    void sbEnergyChartClick() { RedrawChart(); }
    void chNiceChartMouseMove(int X, int Y);
    void stringGridLeftMouseMove(int X, int Y);
    void StringGridLeftTimerTimer();
    void actDebugExecute();
    void comPortBeforeOpen();
    void comPortAfterOpen();
    void comPortBeforeClose();
    void comPortAfterClose();
    void comPortRxChar(int Count);
    void comPortConnectionLost(const std::string& Message, std::int32_t SystemCode);

    // The table as the design counts it: row 0 the header, column 0 the shot numbers.
    std::string CellText(int Column, int Row) const;
    int RowCount() const;
    int ColumnWidth(int Column) const;
    // The hint of a table cell: its text and, for a shot from the chronograph, when it came.
    std::string CellHint(int Column, int Row) const;

    QTableView* const stringGridLeft;
    QWidget* const pnlMiddle;
    QWidget* const pnlMiddleTop;
    TStatisticsPanel* const gbStatistics;
    QPushButton *btnLoadData, *btnSaveData, *btnClear, *btnLive, *btnConnectToCOM, *btnSetup;
    QToolButton* imgLogo;
    QLabel* lblPeletWeightCaption;
    QLineEdit* ePeletWeight;
    TSpinButton* spinPeletWeight;
    QFrame* pnlLED;
    QLabel* lblComPort;
    TComLed* comLEDConnection;
    // The chart with its strip of toggles, read-out and spread.
    TChartPanel* pnlMiddleBottom;
    QTimer* const recalculateTimer;
    QTimer* const StringGridLeftTimer;
    QAction* const actDebug;
    // The commands of the table's and the chart's menus.
    TSeriesCommands* SeriesCommands;

protected:
    friend class TSeriesCommands;

    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void CreateStatistics();
    void CreateCommands();
    void CreateConnection();
    void CreateChart();
    void CreatePort();
    void ConnectHandlers();
    void StepPeletWeight(double Step);
    void OpenPortExplained();
    void CheckSeriesFits(std::size_t Shots, const std::string& FileName) const;
    std::exception_ptr ReadDataFile(const std::string& FileName, std::size_t Cleared,
                                    std::vector<TData>& Loaded);
    // Hands the last shot with its limit flags to an open live read-out.
    void ShowLastShotLive();
    void FitNumberColumn();
    void RedrawChart();
    void TellSeriesFull();
    std::string Translate(const std::string& Text) const;
    TTranslate Translator() const;
    std::string TranslateWith(const std::string& Pattern, const std::string& Value) const;
    void ReadSettings();
    void WriteSettings();
    std::string SettingsFileName() const;

    TSeries FSeries;
    TDisplaySettings FSettings{FSeries};
    TShotTableModel* const FTableModel;
    // Set when every shot's row and point must be shown again at the next recalculation.
    bool FRedrawPending = true;
    // Set once the user was told that the series is full, until it has room again.
    bool FToldFull = false;
    std::string FDataFolder;
    bool FWeightEditGuard = false;
    bool FShown = false;
    bool FDestroyed = false;
    platform::TQtTranslations* const FQtTranslations;
    std::unique_ptr<TDiagnosticLog> FLog;
    std::unique_ptr<TTranslator> FTranslator;
    std::unique_ptr<TShotReceiver> FReceiver;
    std::unique_ptr<TComPort> comPort;
    TLiveUpdate LiveUpdate;
};
