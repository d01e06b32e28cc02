#include "windows/UFrmComparison.h"

#include "chart/NiceChart.h"
#include "platform/HandlerGuard.h"
#include "platform/LocalTime.h"
#include "platform/ModalDialogs.h"
#include "windows/BusyCursor.h"
#include "windows/DialogButtons.h"
#include "windows/MainSettings.h"
#include "windows/QtText.h"
#include "windows/ScreenRoom.h"
#include "windows/ULibraryFiles.h"
#include "windows/USeriesSummary.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace {

// The verdict speaks of speeds as the tables show them.
constexpr int VerdictDecimals = 2;
// The table's captions are wrapped, so that a table of long captions and short figures fits a
// window of common width.
constexpr std::size_t HeaderLineLength = 14;

std::string Optional(const std::optional<double>& Value) {
    return Value ? FormatValue(*Value) : std::string();
}

// Characters, not bytes, so that Czech and German lines are as long as English ones.
std::size_t CodePoints(const std::string& Text) {
    return static_cast<std::size_t>(std::count_if(Text.begin(), Text.end(), [](char Byte) {
        return (static_cast<unsigned char>(Byte) & 0xC0) != 0x80;
    }));
}

// Text broken at its spaces into lines of at most Length characters; a longer word stays whole
// on a line of its own.
std::vector<std::string> WrappedLines(const std::string& Text, std::size_t Length) {
    std::vector<std::string> Lines;
    std::size_t Start = 0;
    while (Start < Text.size()) {
        std::size_t End = Text.find(' ', Start);
        End = End == std::string::npos ? Text.size() : End;
        const std::string Word = Text.substr(Start, End - Start);
        if (!Lines.empty() && CodePoints(Lines.back()) + 1 + CodePoints(Word) <= Length)
            Lines.back() += ' ' + Word;
        else if (!Word.empty())
            Lines.push_back(Word);
        Start = End + 1;
    }
    return Lines;
}

// A caption over a narrow column: its words in lines of about HeaderLineLength characters.
std::string HeaderText(const std::string& Caption) {
    std::string Text;
    for (const std::string& Line : WrappedLines(Caption, HeaderLineLength))
        Text += (Text.empty() ? "" : "\n") + Line;
    return Text;
}

} // namespace

TFrmComparison::TFrmComparison(const TSeriesStore& Store, std::vector<TSeriesEntry> Series,
                               const TMainSettings& Settings, TTranslate Translate, QWidget* Parent)
    : QDialog(Parent), chComparison(new TNiceChart(this)), grdFigures(new QTableWidget(this)),
      lblVerdict(new QLabel(this)), btnPrint(NewDialogButton(this)),
      btnClose(NewDialogButton(this)), FSplitter(new QSplitter(Qt::Vertical, this)),
      FUnits(UnitsOf(Settings)), FTranslate(std::move(Translate)) {
    LayOut();
    ReadSeries(Store, std::move(Series));
    FillFigures();
    FillChart();
    FillTable();
    connect(btnPrint, &QPushButton::clicked, this, Guarded(this, &TFrmComparison::btnPrintClick));
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
}

void TFrmComparison::LayOut() {
    setWindowTitle(ToQString(Translate("Comparison of series")));
    setSizeGripEnabled(true);
    FitToScreen(*this, {1100, 680});
    lblVerdict->setWordWrap(true);
    lblVerdict->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grdFigures->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdFigures->setSelectionMode(QAbstractItemView::NoSelection);
    grdFigures->setFocusPolicy(Qt::NoFocus);
    grdFigures->verticalHeader()->hide();
    auto* Figures = new QWidget(this);
    auto* FiguresLayout = new QVBoxLayout(Figures);
    FiguresLayout->setContentsMargins(0, 0, 0, 0);
    FiguresLayout->addWidget(grdFigures, 1);
    FiguresLayout->addWidget(lblVerdict);
    FSplitter->addWidget(chComparison);
    FSplitter->addWidget(Figures);
    FSplitter->setStretchFactor(0, 1);
    chComparison->setMinimumSize(480, 280);
    auto* Buttons = new QHBoxLayout;
    Buttons->addWidget(btnPrint);
    Buttons->addStretch(1);
    Buttons->addWidget(btnClose);
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(FSplitter, 1);
    Layout->addLayout(Buttons);
    btnPrint->setText(ToQString(Translate("Print\u2026")));
    btnClose->setText(ToQString(Translate("Close")));
}

void TFrmComparison::ReadSeries(const TSeriesStore& Store, std::vector<TSeriesEntry> Series) {
    TSeriesReading Reading(Store, FTranslate);
    {
        const TBusyCursor Busy;
        for (TSeriesEntry& Entry : Series) {
            const std::optional<std::vector<TData>> Shots = Reading.Shots(Entry);
            if (!Shots)
                continue;
            TCompared& Compared = FSeries.emplace_back();
            Compared.Entry = std::move(Entry);
            Compared.PeletWeight = SeriesPeletWeight(Compared.Entry.Notes, FUnits);
            for (const TData& Shot : *Shots)
                Compared.Speeds.push_back(DisplaySpeed(Shot, FUnits));
            if (!Compared.Speeds.empty())
                Compared.Summary = Summarize(Compared.Speeds);
        }
    }
    // Told over the library, since this window is not shown yet.
    Reading.Tell(parentWidget());
}

void TFrmComparison::FillFigures() {
    const auto Speed = [this](const char* Pattern) {
        return TranslateWith(FTranslate, Pattern, FUnits.SpeedUnit);
    };
    // A pattern with "95 %" in it is filled without printf's rules, which would read "% i".
    FHeader = {Translate("Name"),
               Translate("Shots"),
               TranslateWith(FTranslate, "Pelet Weight [%s]", FUnits.WeightUnit),
               Speed("Mean [%s]"),
               Speed("Standard deviation [%s]"),
               Speed("Extreme spread [%s]"),
               TranslateWith(FTranslate, "Mean energy [%s]", FUnits.EnergyUnit),
               FillPlaceholders(Translate("95 % interval of the mean [%s]"), {FUnits.SpeedUnit})};
    FRows.clear();
    for (const TCompared& Series : FSeries)
        FRows.push_back(FigureRow(Series));
    FVerdict = VerdictText();
}

TSheetRow TFrmComparison::FigureRow(const TCompared& Series) const {
    TSheetRow Row = {Series.Entry.Name, std::to_string(Series.Speeds.size()),
                     NoteText(TNoteQuantity::PeletWeight, Series.Entry.Notes.PeletWeight, FUnits)};
    if (!Series.Summary) {
        Row.resize(FHeader.size());
        return Row;
    }
    const TSampleSummary& Summary = *Series.Summary;
    const std::optional<TInterval>& Interval = Summary.MeanInterval;
    Row.push_back(FormatValue(Summary.Mean));
    Row.push_back(Optional(Summary.StandardDeviation));
    Row.push_back(FormatValue(Summary.ExtremeSpread));
    Row.push_back(Series.PeletWeight ? FormatValue(MeanEnergy(Summary.Count, Summary.Mean,
                                                              Summary.StandardDeviation,
                                                              *Series.PeletWeight, FUnits))
                                     : std::string());
    Row.push_back(Interval
                      ? FormatValue(Interval->Lower) + " \u2013 " + FormatValue(Interval->Upper)
                      : std::string());
    return Row;
}

std::string TFrmComparison::VerdictText() const {
    if (FSeries.size() != 2)
        return Translate("A verdict compares two series: select exactly two in the library to "
                         "see one.");
    const std::optional<TSampleSummary>& A = FSeries[0].Summary;
    const std::optional<TSampleSummary>& B = FSeries[1].Summary;
    if (!A || !B || A->Count < 2 || B->Count < 2)
        return Translate("A verdict needs two shots or more in each series.");
    return ComparisonVerdict(WelchTest(*A, *B), FSeries[0].Entry.Name, FSeries[1].Entry.Name,
                             {FUnits.SpeedUnit, VerdictDecimals}, FTranslate);
}

void TFrmComparison::FillChart() {
    const auto Resume = chComparison->SuspendedUpdates();
    chComparison->SetTitle(Translate("Speed of each shot"));
    chComparison->SetAxisXTitle(Translate("Shot"));
    chComparison->SetAxisYTitle(TranslateWith(FTranslate, "Speed [%s]", FUnits.SpeedUnit));
    chComparison->SetShowLegend(true);
    chComparison->SetShowXGrid(true);
    chComparison->SetShowYGrid(true);
    // Shot numbers, as the main window's chart shows them: one tick a shot where they fit.
    chComparison->SetAxisXOnePerValue(true);
    for (const TCompared& Series : FSeries) {
        TNiceSeries& Line = chComparison->AddSeries(skLine);
        Line.SetCaption(Series.Entry.Name);
        Line.Reserve(Series.Speeds.size());
        for (std::size_t Index = 0; Index < Series.Speeds.size(); ++Index)
            Line.AddValue(static_cast<double>(Index + 1), Series.Speeds[Index], {});
    }
}

void TFrmComparison::FillTable() {
    grdFigures->setColumnCount(static_cast<int>(FHeader.size()));
    grdFigures->setRowCount(static_cast<int>(FRows.size()));
    for (std::size_t Column = 0; Column < FHeader.size(); ++Column)
        grdFigures->setHorizontalHeaderItem(
            int(Column), new QTableWidgetItem(ToQString(HeaderText(FHeader[Column]))));
    for (std::size_t Row = 0; Row < FRows.size(); ++Row)
        for (std::size_t Column = 0; Column < FRows[Row].size(); ++Column) {
            auto* Item = new QTableWidgetItem(ToQString(FRows[Row][Column]));
            Item->setTextAlignment(Qt::AlignVCenter |
                                   (Column == 0 ? Qt::AlignLeft : Qt::AlignRight));
            grdFigures->setItem(int(Row), int(Column), Item);
        }
    lblVerdict->setText(ToQString(FVerdict));
    FitTable();
}

void TFrmComparison::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    FitToScreen(*this, size());
}

// The table under the chart shows every column and row whole; the window is made wide enough
// for it as far as its screen has room (the columns scroll beyond that), and the chart takes the
// rest of its height.
void TFrmComparison::FitTable() {
    grdFigures->resizeColumnsToContents();
    grdFigures->resizeRowsToContents();
    const int Frame = 2 * grdFigures->frameWidth();
    const QMargins Margins = layout()->contentsMargins();
    const int Needed =
        grdFigures->horizontalHeader()->length() + Frame + Margins.left() + Margins.right();
    FitToScreen(*this, {std::max(width(), Needed), height()});
    const int ScrollBar =
        Needed > width() ? grdFigures->horizontalScrollBar()->sizeHint().height() : 0;
    grdFigures->setFixedHeight(grdFigures->horizontalHeader()->sizeHint().height() +
                               grdFigures->verticalHeader()->length() + Frame + ScrollBar);
}

TReportContent TFrmComparison::ReportContent() const {
    TReportContent Report;
    Report.Title = Translate("TARVEX series comparison");
    Report.Printed =
        TranslateWith(FTranslate, "Printed: %s", LocalTimeText(platform::LocalTimeNow()));
    Report.Facts = {{Translate("Units"), std::string(FUnits.SpeedUnit) + ", " + FUnits.EnergyUnit +
                                             ", " + FUnits.WeightUnit}};
    Report.Paragraphs = {FVerdict};
    // The figures down the side and the series across, so that a few series fit beside the
    // facts without cutting their names.
    Report.StatisticsHeader = {""};
    for (const TSheetRow& Row : FRows)
        Report.StatisticsHeader.push_back(Row.front());
    for (std::size_t Column = 1; Column < FHeader.size(); ++Column) {
        std::vector<std::string>& Figure = Report.Statistics.emplace_back(1, FHeader[Column]);
        for (const TSheetRow& Row : FRows)
            Figure.push_back(Row[Column]);
    }
    // The shots side by side: the shot number, then each series' speed.
    Report.TableHeader = {Translate("Shot")};
    std::size_t Longest = 0;
    for (const TCompared& Series : FSeries) {
        Report.TableHeader.push_back(Series.Entry.Name + " [" + FUnits.SpeedUnit + "]");
        Longest = std::max(Longest, Series.Speeds.size());
    }
    Report.Rows.reserve(Longest);
    for (std::size_t Index = 0; Index < Longest; ++Index) {
        std::vector<std::string>& Row = Report.Rows.emplace_back();
        Row.push_back(std::to_string(Index + 1));
        for (const TCompared& Series : FSeries)
            Row.push_back(Index < Series.Speeds.size() ? FormatValue(Series.Speeds[Index])
                                                       : std::string());
    }
    Report.PagePattern = Translate("Page %s of %s");
    return Report;
}

void TFrmComparison::btnPrintClick() {
    const std::optional<std::string> FileName = platform::ModalDialogs().AskFileName(
        this, platform::TFileDialogKind::Export, "*.pdf", "pdf");
    if (!FileName)
        return;
    const TBusyCursor Busy;
    WriteReportPdf(*FileName, ReportContent(), chComparison->Picture());
}
