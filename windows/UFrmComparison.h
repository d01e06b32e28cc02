#pragma once

// The comparison of series from the library: their speeds shot by shot in one chart, a table of
// each series' pellet weight and figures with the 95 % confidence interval of its mean, and for
// two series the verdict of Welch's test in words. The window reads the shots once, when it
// opens, and shows them in the display units of that moment; a series that cannot be read is left
// out, and the user told. Print… writes it all as a PDF report.

#include "analysis/SeriesComparison.h"
#include "files/USeriesReport.h"
#include "library/SeriesStore.h"
#include "series/USeries.h"

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QSplitter;
class QTableWidget;
class TMainSettings;
class TNiceChart;

class TFrmComparison : public QDialog {
public:
    TFrmComparison(const TSeriesStore& Store, std::vector<TSeriesEntry> Series,
                   const TMainSettings& Settings, TTranslate Translate, QWidget* Parent);

    // The comparison table: its captions, and one row a series.
    const TSheetRow& FigureHeader() const { return FHeader; }
    const std::vector<TSheetRow>& FigureRows() const { return FRows; }
    // The verdict on two series, or why there is none.
    const std::string& Verdict() const { return FVerdict; }
    // What Print… writes.
    TReportContent ReportContent() const;

    void btnPrintClick();

    TNiceChart* const chComparison;
    QTableWidget* const grdFigures;
    QLabel* const lblVerdict;
    QPushButton* const btnPrint;
    QPushButton* const btnClose;

protected:
    // Only a shown window knows its frame, which takes room on the screen too.
    void showEvent(QShowEvent* Event) override;

private:
    // One series with its speeds in the display unit; no summary without shots.
    struct TCompared {
        TSeriesEntry Entry;
        std::vector<double> Speeds;
        std::optional<TSampleSummary> Summary;
        // None when the series has none: its energy is unknown.
        std::optional<double> PeletWeight;
    };

    std::string Translate(const std::string& Text) const { return FTranslate(Text); }
    void LayOut();
    void ReadSeries(const TSeriesStore& Store, std::vector<TSeriesEntry> Series);
    void FillFigures();
    TSheetRow FigureRow(const TCompared& Series) const;
    std::string VerdictText() const;
    void FillChart();
    void FillTable();
    void FitTable();

    QSplitter* const FSplitter;
    const TUnitSystem& FUnits;
    TTranslate FTranslate;
    std::vector<TCompared> FSeries;
    TSheetRow FHeader;
    std::vector<TSheetRow> FRows;
    std::string FVerdict;
};
