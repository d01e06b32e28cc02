// The setup and live windows, the read-outs under the mouse, and the About box of the logo.

#include "app/UMainForm.h"
#include "app/UShotTableModel.h"
#include "chart/NiceChart.h"
#include "platform/HandlerGuard.h"
#include "platform/ModalDialogs.h"
#include "platform/NumberFormats.h"
#include "windows/UFrmLive.h"
#include "windows/UFrmSetup.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QTableView>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <cmath>

void TMainForm::btnSetupClick() {
    TFrmSetup Setup(*this, this);
    platform::ModalDialogs().Execute(Setup);
}

void TMainForm::btnLiveClick() {
    auto* Live = new TFrmLive(*this, this);
    Live->ShowPlaceholders();
    LiveUpdate = [Live](double Speed, const std::string& SpeedUnit, double PeletWeight,
                        const std::string& WeightUnit, double Energy, const std::string& EnergyUnit,
                        int ShotNumber, bool SpeedAtLimit, bool EnergyAtLimit) {
        Live->UpdateReadout(Speed, SpeedUnit, PeletWeight, WeightUnit, Energy, EnergyUnit,
                            ShotNumber, SpeedAtLimit, EnergyAtLimit);
    };
    // A read-out opened during a series shows its last shot at once, not only at the next one.
    ShowLastShotLive();
    Live->show();
}

void TMainForm::imgLogoClick() {
    const std::string About =
        "TARVEX " + QCoreApplication::applicationVersion().toStdString() +
        "\nA companion program for air-gun chronographs.\n\nSettings and log: " + FDataFolder;
    platform::ModalDialogs().ShowInformation(this, About);
}

// The read-out follows the shots under a resting mouse, so that a deleted, cleared or replaced
// shot is not shown as if it were still there.
void TMainForm::RefreshChartReadOut() {
    const QPoint Mouse = QCursor::pos();
    if (QApplication::widgetAt(Mouse) != chNiceChart) {
        lblChartText->clear();
        return;
    }
    const QPoint At = chNiceChart->mapFromGlobal(Mouse);
    chNiceChartMouseMove(At.x(), At.y());
}

void TMainForm::chNiceChartMouseMove(int X, int Y) {
    double XValue = 0, YValue = 0;
    std::string Hint;
    if (chNiceChart->SeriesCount() > 0 && chNiceChart->ClientToValues(X, Y, XValue, YValue))
        Hint = ChartHint(XValue);
    lblChartText->setText(QString::fromStdString(Hint));
}

// The point at X is shot X; the one shot of a series is drawn at 1 and 2.
std::string TMainForm::ChartHint(double X) const {
    const std::size_t Shots = std::min(FChartShots, FSeries.Count());
    const double Last = static_cast<double>(Shots == 1 ? 2 : Shots);
    if (X != std::floor(X) || X < 1 || X > Last)
        return {};
    const TShotValues& Shot = FSeries.Values(std::min(static_cast<std::size_t>(X), Shots) - 1);
    return platform::Format(Translate("Shot: %s; Speed: %s %s; Energy: %s %s"),
                            {std::to_string(static_cast<long long>(X)), FormatValue(Shot.Speed),
                             SpeedUnit(), FormatValue(Shot.Energy), EnergyUnit()});
}

void TMainForm::stringGridLeftMouseMove(int X, int Y) {
    const QModelIndex Cell = stringGridLeft->indexAt(QPoint(X, Y));
    if (!Cell.isValid()) {
        QToolTip::hideText();
        return;
    }
    const QString Hint = QString::fromStdString(CellHint(Cell.column(), Cell.row() + 1));
    QToolTip::showText(stringGridLeft->viewport()->mapToGlobal(QPoint(X, Y)), Hint,
                       stringGridLeft->viewport());
    if (!StringGridLeftTimer->isActive())
        StringGridLeftTimer->start();
}

void TMainForm::StringGridLeftTimerTimer() {
    StringGridLeftTimer->stop();
    QToolTip::hideText();
}

bool TMainForm::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == stringGridLeft->viewport() && Event->type() == QEvent::MouseMove) {
        const QPoint At = static_cast<QMouseEvent*>(Event)->position().toPoint();
        RunGuarded(this, [this, At] { stringGridLeftMouseMove(At.x(), At.y()); });
    }
    if ((Watched == pnlLED || Watched == lblComPort) && Event->type() == QEvent::MouseButtonRelease)
        RunGuarded(this, [this] { comLEDConnectionClick(); });
    return QWidget::eventFilter(Watched, Event);
}

void TMainForm::ShowSpread(const TShotStatistics& Statistics) {
    const auto Spread = [this](const TRunningValues& Values, const std::string& Unit) {
        const TSpreadTexts Texts = SpreadTexts(Values);
        return platform::Format(Translate("ES %s  SD %s %s"),
                                {Texts.ExtremeSpread, Texts.StandardDeviation, Unit});
    };
    lblSpreadText->setText(QString::fromStdString(Spread(Statistics.Speed, SpeedUnit()) + "\n" +
                                                  Spread(Statistics.Energy, EnergyUnit())));
}

std::string TMainForm::CellHint(int Column, int Row) const {
    const std::string Text = CellText(Column, Row);
    if (Row < 1 || static_cast<std::size_t>(Row) > FTableModel->ShownShots())
        return Text;
    const std::string Received = ReceivedText(FSeries.Shots()[Row - 1]);
    return Received.empty() ? Text : Text + "\n" + TranslateWith("Received: %s", Received);
}
