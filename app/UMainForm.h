#pragma once

// The program's window: the shot table on the left; statistics, commands, connection, pellet
// weight and the chart on the right. It owns the port, the shots and the settings for the
// whole run.

#include "app/ShotReceiver.h"
#include "app/UData.h"
#include "app/UDiagnosticLog.h"
#include "app/UShotStatistics.h"
#include "app/USpreadsheetExport.h"
#include "serial/CPort.h"
#include "text/UTranslator.h"
#include "windows/MainSettings.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;
class QToolButton;
class TComLed;
class TFrmLive;
struct TImportedSeries;
class TNiceChart;
struct TReportContent;
class TSpinButton;
namespace platform {
class TQtTranslations;
}

// The shots and statistics of a series as the exports and the report write them, every text
// translated and every number formatted; an empty text where the series gives no value.
struct TSeriesFigures {
    // Shot, time received, speed, difference from the mean speed, energy: the captions and one
    // row a shot.
    TSheetRow Header;
    std::vector<TSheetRow> Shots;
    // Caption, speed, energy: maximum, mean, minimum, extreme spread, standard deviation.
    std::vector<TSheetRow> Statistics;
    // Caption and value.
    TSheetRow Count, PeletWeight;
};

// The live window's read-out of the last shot.
using TLiveUpdate =
    std::function<void(double Speed, const std::string& SpeedUnit, double PeletWeight,
                       const std::string& WeightUnit, double Energy, const std::string& EnergyUnit,
                       int ShotNumber, bool SpeedAtLimit, bool EnergyAtLimit)>;

class TMainForm : public QWidget, public TMainSettings {
public:
    // Arguments: the command line without the program's name.
    explicit TMainForm(const std::vector<std::string>& Arguments);
    ~TMainForm() override;

    // Settings, as the setup and live windows read and change them.
    int Language() const override { return FLanguage; }
    double SpeedLimit() const override { return FSpeedLimit; }
    double EnergyLimit() const override { return FEnergyLimit; }
    double PeletWeight() const override { return FPeletWeight; }
    std::string SpeedUnit() const override { return FUnits->SpeedUnit; }
    std::string EnergyUnit() const override { return FUnits->EnergyUnit; }
    std::string WeightUnit() const override { return FUnits->WeightUnit; }
    void SetLanguage(int Code) override;
    void SetSpeedLimit(double Value) override;
    void SetEnergyLimit(double Value) override;
    void SetPeletWeight(double Value) override;
    void SetMetric() override;
    void SetImperial() override;
    bool IsMetric() const override;
    bool IsImperial() const override;

    const std::vector<TData>& Shots() const { return FShots; }
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
    void AddChartPoint(class TNiceSeries& Series, int Shot, double Speed, double Energy);

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
    void sbSpeedChartClick() { RecalculateNow(); }
    void sbEnergyChartClick() { RecalculateNow(); }
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

    // The series commands of the table's and the chart's context menus.
    void actDeleteShotExecute();
    void actCopyShotsExecute();
    void actExportSpreadsheetExecute();
    void actPrintReportExecute();
    void actSaveChartPictureExecute();
    void actImportExecute();

    // The table as the design counts it: row 0 the header, column 0 the shot numbers.
    std::string CellText(int Column, int Row) const;
    int RowCount() const;
    int ColumnWidth(int Column) const;
    // The hint of a table cell: its text and, for a shot from the chronograph, when it came.
    std::string CellHint(int Column, int Row) const;

    QTableWidget* const stringGridLeft;
    QWidget* const pnlMiddle;
    QWidget* const pnlMiddleTop;
    QGroupBox* const gbStatistics;
    QLabel *lblShotsCaption, *lblMAXSpeedCaption, *lblAVGSpeedCaption, *lblMINSpeedCaption,
        *lblMAXEnergyCaption, *lblAVGEnergyCaption, *lblMINEnergyCaption;
    QLabel *lblShotsValue, *lblMAXSpeedValue, *lblAVGSpeedValue, *lblMINSpeedValue,
        *lblMAXEnergyValue, *lblAVGEnergyValue, *lblMINEnergyValue;
    QLabel *lblMAXSpeedDiffValue, *lblMINSpeedDiffValue, *lblMAXEnergyDiffValue,
        *lblMINEnergyDiffValue;
    QPushButton *btnLoadData, *btnSaveData, *btnClear, *btnLive, *btnConnectToCOM, *btnSetup;
    QToolButton* imgLogo;
    QLabel* lblPeletWeightCaption;
    QLineEdit* ePeletWeight;
    TSpinButton* spinPeletWeight;
    QFrame* pnlLED;
    QLabel* lblComPort;
    TComLed* comLEDConnection;
    QWidget* pnlMiddleBottom;
    QWidget* pnlChartCaption;
    QToolButton *sbSpeedChart, *sbEnergyChart;
    QLabel* lblChartText;
    QLabel* lblSpreadText;
    TNiceChart* chNiceChart;
    QTimer* const recalculateTimer;
    QTimer* const StringGridLeftTimer;
    QAction* const actDebug;
    QAction *actDeleteShot, *actCopyShots, *actImport, *actExportSpreadsheet, *actPrintReport,
        *actSaveChartPicture;

protected:
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
    void SetCellText(int Column, int Row, const std::string& Text);
    void StepPeletWeight(double Step);
    void OpenPortExplained();
    void ShowStatistics(const TShotStatistics& Statistics);
    void ShowSpread(const TShotStatistics& Statistics);
    void RefreshChartReadOut();
    void CreateSeriesCommands();
    void TranslateSeriesCommands();
    std::vector<std::size_t> SelectedShots() const;
    void DeleteShots(const std::vector<std::size_t>& Indexes, bool KeepLive);
    TSeriesFigures SeriesFigures() const;
    TSeriesSheet SeriesSheet(const TSeriesFigures& Figures) const;
    TReportContent ReportContent(const TSeriesFigures& Figures) const;
    void ShowPendingShots();
    TImportedSeries ReadImportFile(const std::string& FileName);
    std::optional<std::string> AskExportFileName(const std::string& Extension);
    void FillTable(const std::vector<TShotValues>& Values);
    // Hands a shot with its limit flags to an open live read-out.
    void ShowLive(const TShotValues& Shot, int ShotNumber);
    TShotStatistics RebuildDisplay(const std::vector<TShotValues>& Values);
    void SetUnits(const TUnitSystem& Units);
    std::string Translate(const std::string& Text) const;
    std::string TranslateWith(const std::string& Pattern, const std::string& Value) const;
    void ReadSettings();
    void WriteSettings();
    std::string SettingsFileName() const;

    int FLanguage = LANG_ENGLISH;
    double FSpeedLimit = 999999;
    double FEnergyLimit = 999999;
    double FPeletWeight = 0.547;
    const TUnitSystem* FUnits = &MetricUnits;
    std::string FDataFolder;
    bool FWeightEditGuard = false;
    bool FShown = false;
    bool FDestroyed = false;
    platform::TQtTranslations* const FQtTranslations;
    std::unique_ptr<TDiagnosticLog> FLog;
    std::unique_ptr<TTranslator> FTranslator;
    std::vector<TData> FShots;
    std::unique_ptr<TShotReceiver> FReceiver;
    std::unique_ptr<TComPort> comPort;
    TLiveUpdate LiveUpdate;
};
