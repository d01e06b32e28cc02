#include "app/UChartPanel.h"

#include "chart/NiceChart.h"
#include "platform/Fonts.h"
#include "platform/HandlerGuard.h"
#include "platform/NumberFormats.h"
#include "windows/FittingLabel.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QToolButton>
#include <algorithm>
#include <cmath>

namespace {

QWidget* NewCaptionStrip(QWidget* Parent) {
    auto* Strip = new QWidget(Parent);
    Strip->setGeometry(0, 0, 771, 31);
    Strip->setAutoFillBackground(true);
    Strip->setPalette(QPalette(Qt::white));
    return Strip;
}

// The toggles' width in the design; a longer caption widens its toggle.
constexpr int ToggleWidth = 141;

QToolButton* NewToggle(QWidget* Parent, int Left, const char* Caption) {
    auto* Toggle = new QToolButton(Parent);
    Toggle->setGeometry(Left, 5, ToggleWidth, 22);
    Toggle->setText(Caption);
    Toggle->setCheckable(true);
    Toggle->setAutoRaise(true);
    return Toggle;
}

QLabel* NewSpreadLabel(QWidget* Parent) {
    auto* Label = new QLabel(Parent);
    Label->setGeometry(611, 2, 156, 27);
    Label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label->setFont(SansSerifFont(11));
    return Label;
}

QAction* NewTool(QWidget* Parent, const char* Caption) {
    auto* Action = new QAction(Caption, Parent);
    Action->setCheckable(true);
    return Action;
}

TNiceChart* NewChart(QWidget* Parent) {
    auto* Frame = new QFrame(Parent);
    Frame->setGeometry(0, 31, 771, 429);
    Frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    auto* Chart = new TNiceChart(Frame);
    Chart->setGeometry(1, 1, 769, 427);
    Chart->SetShowLegend(false);
    Chart->SetShowTitle(false);
    Chart->SetShowXGrid(true);
    Chart->SetShowYGrid(true);
    Chart->SetTitle("Chart Title");
    Chart->SetTitleFont(ArialFont(19));
    Chart->SetAxisXTitle("Shot");
    Chart->SetAxisYTitle("Energy");
    Chart->SetAxisXOnePerValue(true);
    Chart->SetAxisXScale(1);
    Chart->SetAxisYScale(1);
    Chart->SetMonochrome(false);
    Chart->SetSoftColors(false);
    return Chart;
}

} // namespace

// The read-out under the mouse and the spread share the strip: the spread takes two short lines
// at the right, and a long read-out is drawn smaller rather than run into it.
TChartPanel::TChartPanel(const TSeries& Series, QWidget* Parent)
    : QWidget(Parent), pnlChartCaption(NewCaptionStrip(this)),
      sbSpeedChart(NewToggle(pnlChartCaption, 4, "Speed [m/s]")),
      sbEnergyChart(NewToggle(pnlChartCaption, 144, "Energy [J]")),
      lblChartText(NewFittingLabel(pnlChartCaption, 288, 9, 320, Qt::AlignLeft)),
      lblSpreadText(NewSpreadLabel(pnlChartCaption)), chNiceChart(NewChart(this)),
      actUsableShots(NewTool(this, "Usable shots")), actSpeedDrift(NewTool(this, "Speed drift")),
      actHistogram(NewTool(this, "Histogram")), FSeries(Series) {
    auto* Toggles = new QButtonGroup(this);
    Toggles->addButton(sbSpeedChart);
    Toggles->addButton(sbEnergyChart);
    sbSpeedChart->setChecked(true);
    lblChartText->setText("   ");
    connect(sbSpeedChart, &QToolButton::clicked, this,
            Guarded(this, &TChartPanel::sbSpeedChartClick));
    connect(sbEnergyChart, &QToolButton::clicked, this,
            Guarded(this, &TChartPanel::sbEnergyChartClick));
    chNiceChart->OnMouseMove = [this](TNiceChart&, Qt::KeyboardModifiers, int X, int Y) {
        chNiceChartMouseMove(X, Y);
    };
    auto* Separator = new QAction(this);
    Separator->setSeparator(true);
    chNiceChart->addActions({actUsableShots, actSpeedDrift, actHistogram, Separator});
    for (QAction* Tool : {actUsableShots, actSpeedDrift, actHistogram})
        connect(Tool, &QAction::toggled, this, Guarded(this, &TChartPanel::ToolToggled));
}

void TChartPanel::ApplyTranslation(const TTranslate& Translate, const TUnitSystem& Units) {
    FTranslate = Translate;
    sbEnergyChart->setText(
        QString::fromStdString(TranslateWith(Translate, "Energy [%s]", Units.EnergyUnit)));
    sbSpeedChart->setText(
        QString::fromStdString(TranslateWith(Translate, "Speed [%s]", Units.SpeedUnit)));
    chNiceChart->SetAxisXTitle(Translate("Shots"));
    actUsableShots->setText(QString::fromStdString(Translate("Usable shots")));
    actSpeedDrift->setText(QString::fromStdString(Translate("Speed drift")));
    actHistogram->setText(QString::fromStdString(Translate("Histogram")));
    PlaceCaptions();
    lblSpreadText->setToolTip(QString::fromStdString(
        Translate("ES: extreme spread, maximum \u2212 minimum; SD: standard deviation")));
}

// Each toggle is as wide as its caption needs, the design's width at least; the read-out lies
// between the toggles and the spread.
void TChartPanel::PlaceCaptions() {
    int Left = sbSpeedChart->x();
    for (QToolButton* Toggle : {sbSpeedChart, sbEnergyChart}) {
        Toggle->setGeometry(Left, Toggle->y(), std::max(ToggleWidth, Toggle->sizeHint().width()),
                            Toggle->height());
        Left += Toggle->width() - 1;
    }
    const int ReadOutLeft = Left + 4;
    lblChartText->setGeometry(ReadOutLeft, lblChartText->y(), lblSpreadText->x() - 3 - ReadOutLeft,
                              lblChartText->height());
}

void TChartPanel::ShowSeries(bool Redraw) {
    if (actHistogram->isChecked() && FSeries.Count() > 0) {
        ShowHistogramView();
        return;
    }
    if (FHistogram) {
        FHistogram.reset();
        chNiceChart->SetAxisXTitle(FTranslate("Shots"));
        Redraw = true;
    }
    ShowShots(Redraw);
    ShowTuning();
}

// One shot is drawn as a level line to a second point, which goes when a second shot comes;
// the first shot makes the chart its series.
void TChartPanel::ShowShots(bool Redraw) {
    chNiceChart->SetAxisYTitle(PlottedToggle().text().toStdString());
    const std::size_t Count = FSeries.Count();
    Redraw = Redraw || FShownShots <= 1 || Count < FShownShots;
    if (!Redraw && Count == FShownShots)
        return;
    const auto Resume = chNiceChart->SuspendedUpdates();
    if (Redraw) {
        chNiceChart->ClearSeries();
        FShownShots = 0;
        if (Count > 0) {
            TNiceSeries& Points = chNiceChart->AddSeries(skLine);
            Points.SetCaption("Energy");
            Points.Reserve(Count);
        }
    }
    const bool Energy = sbEnergyChart->isChecked();
    for (std::size_t i = FShownShots; i < Count; ++i) {
        const TShotValues& Shot = FSeries.Values(i);
        chNiceChart->GetSeries(0).AddValue(static_cast<double>(i + 1),
                                           Energy ? Shot.Energy : Shot.Speed, "");
    }
    if (Count == 1)
        chNiceChart->GetSeries(0).AddValue(2, chNiceChart->GetSeries(0).Values()[0].Y, "");
    FShownShots = Count;
}

// Rebuilt from every shot each time: the bins of a grown series may all differ. Values that
// overflow every statistic (a misread line can give 1e300) leave the chart empty with a word.
void TChartPanel::ShowHistogramView() {
    const bool Energy = sbEnergyChart->isChecked();
    FShownShots = 0;
    const auto Resume = chNiceChart->SuspendedUpdates();
    chNiceChart->SetBand(std::nullopt);
    chNiceChart->SetGuideLine(std::nullopt);
    chNiceChart->SetAxisXTitle(PlottedToggle().text().toStdString());
    chNiceChart->SetAxisYTitle(FTranslate("Shots"));
    try {
        FHistogram =
            HistogramOf(SeriesValues(FSeries, Energy ? &TShotValues::Energy : &TShotValues::Speed));
    } catch (const EStatisticsError&) {
        FHistogram = THistogramView{};
        chNiceChart->ClearSeries();
        chNiceChart->SetTitle(
            FTranslate("The histogram cannot show these values: they are too far apart"));
        chNiceChart->SetShowTitle(true);
        return;
    }
    chNiceChart->SetShowTitle(false);
    ShowHistogram(*chNiceChart, *FHistogram);
}

TTuningFindings TChartPanel::Findings() const {
    return FindTuning(SeriesValues(FSeries, &TShotValues::Speed), UsableSpread(), FillPressures());
}

std::vector<std::pair<std::string, std::string>> TChartPanel::FindingsFacts() const {
    return TuningFacts(Findings(), FSeries.Units().SpeedUnit, FTranslate);
}

// The band spans the usable shots, the line the fitted speeds from the first shot to the last;
// the line only over speeds, whose axis it is drawn in.
void TChartPanel::ShowTuning() {
    const bool Usable = actUsableShots->isChecked(), Drift = actSpeedDrift->isChecked();
    std::optional<TXBand> Band;
    std::optional<TValueLine> Line;
    std::string Words;
    if ((Usable || Drift) && FSeries.Count() > 0) {
        const TTuningFindings Found = Findings();
        const std::string& Unit = FSeries.Units().SpeedUnit;
        if (Usable && Found.Usable) {
            const auto First = static_cast<double>(Found.Usable->First + 1);
            const auto Last = static_cast<double>(Found.Usable->Last + 1);
            Band = TXBand{First, Last, std::to_string(Found.Usable->First + 1),
                          First < Last ? std::to_string(Found.Usable->Last + 1) : ""};
            Words = UsableShotsText(Found, Unit, FTranslate);
        }
        if (Drift) {
            Words += (Words.empty() ? "" : "\n") + DriftText(Found, Unit, FTranslate);
            const double Last = static_cast<double>(FSeries.Count());
            if (Found.Drift && sbSpeedChart->isChecked())
                Line = TValueLine{1, Found.Drift->SpeedAt(1), Last, Found.Drift->SpeedAt(Last)};
        }
    }
    if (Band == chNiceChart->Band() && Line == chNiceChart->GuideLine() &&
        Words == chNiceChart->Title() && chNiceChart->ShowTitle() == !Words.empty())
        return;
    const auto Resume = chNiceChart->SuspendedUpdates();
    chNiceChart->SetTitleFont(SansSerifFont(13));
    chNiceChart->SetBand(Band);
    chNiceChart->SetGuideLine(Line);
    chNiceChart->SetTitle(Words);
    chNiceChart->SetShowTitle(!Words.empty());
}

const QToolButton& TChartPanel::PlottedToggle() const {
    return sbEnergyChart->isChecked() ? *sbEnergyChart : *sbSpeedChart;
}

void TChartPanel::ShowSpread() {
    const auto Spread = [&](const TRunningValues& Values, const std::string& Unit) {
        const TSpreadTexts Texts = SpreadTexts(Values);
        return platform::Format(FTranslate("ES %s  SD %s %s"),
                                {Texts.ExtremeSpread, Texts.StandardDeviation, Unit});
    };
    const TShotStatistics& Statistics = FSeries.Statistics();
    lblSpreadText->setText(
        QString::fromStdString(Spread(Statistics.Speed, FSeries.Units().SpeedUnit) + "\n" +
                               Spread(Statistics.Energy, FSeries.Units().EnergyUnit)));
}

void TChartPanel::chNiceChartMouseMove(int X, int Y) {
    double XValue = 0, YValue = 0;
    std::string Text;
    if (chNiceChart->SeriesCount() > 0 && chNiceChart->ClientToValues(X, Y, XValue, YValue))
        Text = Hint(XValue);
    lblChartText->setText(QString::fromStdString(Text));
}

void TChartPanel::RefreshReadOut() {
    const QPoint Mouse = QCursor::pos();
    if (QApplication::widgetAt(Mouse) != chNiceChart) {
        lblChartText->clear();
        return;
    }
    const QPoint At = chNiceChart->mapFromGlobal(Mouse);
    chNiceChartMouseMove(At.x(), At.y());
}

std::string TChartPanel::Hint(double X) const {
    if (!FHistogram)
        return ShotHint(X);
    const TUnitSystem& Units = FSeries.Units();
    return HistogramHint(*FHistogram, X,
                         sbEnergyChart->isChecked() ? Units.EnergyUnit : Units.SpeedUnit,
                         FTranslate);
}

// The point at X is shot X; the one shot of a series is drawn at 1 and 2.
std::string TChartPanel::ShotHint(double X) const {
    const std::size_t Shots = std::min(FShownShots, FSeries.Count());
    const double Last = static_cast<double>(Shots == 1 ? 2 : Shots);
    if (X != std::floor(X) || X < 1 || X > Last)
        return {};
    const TShotValues& Shot = FSeries.Values(std::min(static_cast<std::size_t>(X), Shots) - 1);
    return platform::Format(FTranslate("Shot: %s; Speed: %s %s; Energy: %s %s"),
                            {std::to_string(static_cast<long long>(X)), FormatValue(Shot.Speed),
                             FSeries.Units().SpeedUnit, FormatValue(Shot.Energy),
                             FSeries.Units().EnergyUnit});
}
