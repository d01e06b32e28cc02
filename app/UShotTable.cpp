#include "app/UShotTable.h"

#include "app/UShotTableModel.h"
#include "platform/Fonts.h"
#include "platform/HandlerGuard.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

TShotTable::TShotTable(const TSeries& Series, QWidget* Parent)
    : QTableView(Parent), StringGridLeftTimer(new QTimer(this)), FSeries(Series),
      FModel(new TShotTableModel(Series, this)) {
    FModel->SetNumberBackground(palette().button());
    setModel(FModel);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setDefaultSectionSize(32);
    horizontalHeader()->setFixedHeight(20);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The desktop's sans-serif font is wider than the one the column widths were made for.
    horizontalHeader()->setFont(SansSerifFont(11));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    setColumnWidth(0, 32);
    setColumnWidth(1, 80);
    setColumnWidth(2, 80);
    StringGridLeftTimer->setInterval(2000);
    connect(StringGridLeftTimer, &QTimer::timeout, this,
            Guarded(this, &TShotTable::StringGridLeftTimerTimer));
}

// The model reads the series, which its owner may release before the table's children go.
TShotTable::~TShotTable() {
    setModel(nullptr);
}

void TShotTable::ApplyTranslation(const TTranslate& Translate, const TUnitSystem& Units) {
    FTranslate = Translate;
    FModel->SetCaptions(
        {QString::fromStdString(Translate("No.")),
         QString::fromStdString(TranslateWith(Translate, "Speed [%s]", Units.SpeedUnit)),
         QString::fromStdString(TranslateWith(Translate, "Energy [%s]", Units.EnergyUnit))});
}

void TShotTable::ShowSeries(bool Reset) {
    FModel->ShowSeries(Reset);
    FitNumberColumn();
}

std::size_t TShotTable::ShownShots() const {
    return FModel->ShownShots();
}

// The number column widens, never narrows, so that the numbers of a long series stay whole.
void TShotTable::FitNumberColumn() {
    const QString Widest = QString::number(std::max<std::size_t>(FSeries.Count(), 1));
    const int Needed = fontMetrics().horizontalAdvance(Widest) + 10;
    if (Needed > columnWidth(0))
        setColumnWidth(0, Needed);
}

// Row 0 of the design's table is the view's header; its rows 1... are the view's 0...
std::string TShotTable::CellText(int Column, int Row) const {
    const QVariant Text = Row == 0 ? FModel->headerData(Column, Qt::Horizontal, Qt::DisplayRole)
                                   : FModel->index(Row - 1, Column).data();
    return Text.toString().toStdString();
}

int TShotTable::RowCount() const {
    return FModel->rowCount() + 1;
}

std::string TShotTable::CellHint(int Column, int Row) const {
    const std::string Text = CellText(Column, Row);
    if (Row < 1 || static_cast<std::size_t>(Row) > FModel->ShownShots() || !FTranslate)
        return Text;
    const std::string Received = ReceivedText(FSeries.Shots()[Row - 1]);
    return Received.empty() ? Text
                            : Text + "\n" + TranslateWith(FTranslate, "Received: %s", Received);
}

void TShotTable::mouseMoveEvent(QMouseEvent* Event) {
    QTableView::mouseMoveEvent(Event);
    const QPoint At = Event->position().toPoint();
    RunGuarded(this, [this, At] { stringGridLeftMouseMove(At.x(), At.y()); });
}

void TShotTable::stringGridLeftMouseMove(int X, int Y) {
    const QModelIndex Cell = indexAt(QPoint(X, Y));
    if (!Cell.isValid()) {
        QToolTip::hideText();
        return;
    }
    const QString Hint = QString::fromStdString(CellHint(Cell.column(), Cell.row() + 1));
    QToolTip::showText(viewport()->mapToGlobal(QPoint(X, Y)), Hint, viewport());
    if (!StringGridLeftTimer->isActive())
        StringGridLeftTimer->start();
}

void TShotTable::StringGridLeftTimerTimer() {
    StringGridLeftTimer->stop();
    QToolTip::hideText();
}
