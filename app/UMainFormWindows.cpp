// The setup and live windows, the read-outs under the mouse, and the About box of the logo.

#include "app/UChartPanel.h"
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
    TFrmSetup Setup(FSettings, this);
    platform::ModalDialogs().Execute(Setup);
}

void TMainForm::btnLiveClick() {
    auto* Live = new TFrmLive(FSettings, this);
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

void TMainForm::chNiceChartMouseMove(int X, int Y) {
    pnlMiddleBottom->ShowReadOut(X, Y, FSeries, Translator());
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

std::string TMainForm::CellHint(int Column, int Row) const {
    const std::string Text = CellText(Column, Row);
    if (Row < 1 || static_cast<std::size_t>(Row) > FTableModel->ShownShots())
        return Text;
    const std::string Received = ReceivedText(FSeries.Shots()[Row - 1]);
    return Received.empty() ? Text : Text + "\n" + TranslateWith("Received: %s", Received);
}
