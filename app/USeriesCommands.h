#pragma once

// The commands on a series as a whole or on chosen shots: saving and loading data files, and in the
// shot table's and the chart's menus deleting shots, copying rows, the spreadsheet export, the
// report, the chart picture and importing other chronographs' files.

#include "app/UDisplaySettings.h"
#include "files/UImportFile.h"
#include "files/USeriesReport.h"
#include "series/USeries.h"
#include "windows/UFrmLive.h"
#include "windows/UFrmTrajectory.h"

#include <QObject>
#include <QPointer>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class TFrmLibrary;
class TMainForm;
class TSeriesRecorder;

// What the commands act on, given by the main window when it makes them: its series, settings,
// recorder and live read-out, and its texts in the language in force. The recorder is made as
// the window starts, after the commands, so they hold the window's pointer to it.
struct TSeriesCommandTargets {
    // Its widgets and its own commands: the table, the chart, recalculation and the log.
    TMainForm& Form;
    TSeries& Series;
    TDisplaySettings& Settings;
    const std::unique_ptr<TSeriesRecorder>& Recorder;
    TLiveUpdate& LiveUpdate;
    TTranslate Translate;
    std::function<void()> RedrawChart;
};

class TSeriesCommands : public QObject {
public:
    // Puts the commands into the window's table and chart menus; they act on its series.
    explicit TSeriesCommands(const TSeriesCommandTargets& Targets);

    void ApplyTranslation();

    // Clears the series after a question; the library keeps it.
    void ClearSeries();
    // The native data file: the shots as the table shows them.
    void SaveData();
    void LoadData();

    void actDeleteShotExecute();
    void actCopyShotsExecute();
    void actExportSpreadsheetExecute();
    void actPrintReportExecute();
    void actSaveChartPictureExecute();
    void actImportExecute();
    void actShowLibraryExecute();
    // The trajectory of the window's series, from its mean speed, the weight in force and what
    // the library keeps with it.
    void actTrajectoryExecute();
    // Closes the library window, which keeps what was typed into it, before the library goes.
    void CloseLibrary();
    // The series being recorded as the open library window lists it, after new shots.
    void ShowRecordingInLibrary();

private:
    TMainForm& FForm;
    TSeries& FSeries;
    TDisplaySettings& FSettings;
    const std::unique_ptr<TSeriesRecorder>& FRecorder;
    TLiveUpdate& FLiveUpdate;
    const TTranslate FTranslate;
    const std::function<void()> FRedrawChart;

public:
    QAction* const actDeleteShot;
    QAction* const actCopyShots;
    QAction* const actImport;
    QAction* const actExportSpreadsheet;
    QAction* const actPrintReport;
    QAction* const actSaveChartPicture;
    QAction* const actShowLibrary;
    QAction* const actTrajectory;

private:
    std::vector<std::size_t> SelectedShots() const;
    TTrajectoryStart TrajectoryStart() const;
    std::optional<TReportSection> TrajectorySection() const;
    void DeleteShots(const std::vector<std::size_t>& Indexes, bool KeepLive);
    TSeriesFigures SeriesFigures() const;
    TReportContent ReportContent(const TSeriesFigures& Figures) const;
    void ShowPendingShots();
    TImportedSeries ReadImportFile(const std::string& FileName);
    std::optional<std::string> AskExportFileName(const std::string& Extension);
    // Makes the library's series Id the window's series.
    void OpenLibrarySeries(std::int64_t Id);
    // Raises when the library does not have every shot yet: it is busy with another TARVEX.
    void CheckAllCommitted() const;
    // Raises when a series would hold Shots, more than it can, from FileName.
    void CheckSeriesFits(std::size_t Shots, const std::string& FileName) const;
    // Reads the shots of FileName into Loaded, as many as fit beside the Cleared shots of the
    // series that stay; the error that stopped the reading, if any, comes back.
    std::exception_ptr ReadDataFile(const std::string& FileName, std::size_t Cleared,
                                    std::vector<TData>& Loaded);
    // The library window while it is open.
    QPointer<TFrmLibrary> FLibrary;
};
