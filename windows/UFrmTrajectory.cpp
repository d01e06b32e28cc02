#include "windows/UFrmTrajectory.h"

#include "chart/NiceChart.h"
#include "platform/HandlerGuard.h"
#include "series/TrajectoryTexts.h"
#include "windows/DialogButtons.h"
#include "windows/MainSettings.h"
#include "windows/QtText.h"
#include "windows/ScreenRoom.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>
#include <stdexcept>

namespace {

// The inputs in the order of TFrmTrajectory::Edits.
struct TInputField {
    const char* Caption;
    TBallisticQuantity Quantity;
};

enum TInputIndex : std::size_t {
    MuzzleSpeed,
    Coefficient,
    Weight,
    SightHeight,
    ZeroRange,
    LastRange,
    RangeStep,
    CrossWind,
    KillZone,
    MinimumEnergy,
    Temperature,
    Pressure,
    Humidity
};

constexpr std::array<TInputField, 13> Inputs{{
    {"Muzzle speed [%s]:", TBallisticQuantity::Speed},
    {"Ballistic coefficient [%s]:", TBallisticQuantity::Coefficient},
    {"Pellet weight [%s]:", TBallisticQuantity::Weight},
    {"Sight height [%s]:", TBallisticQuantity::Height},
    {"Zero range [%s]:", TBallisticQuantity::Range},
    {"Last range [%s]:", TBallisticQuantity::Range},
    {"Range step [%s]:", TBallisticQuantity::Range},
    {"Crosswind [%s]:", TBallisticQuantity::Wind},
    {"Kill zone [%s]:", TBallisticQuantity::KillZone},
    {"Minimum energy [%s]:", TBallisticQuantity::Energy},
    {"Temperature [%s]:", TBallisticQuantity::Temperature},
    {"Air pressure [%s]:", TBallisticQuantity::Pressure},
    {"Humidity [%s]:", TBallisticQuantity::Humidity},
}};

} // namespace

TFrmTrajectory::TFrmTrajectory(const TTrajectoryStart& Start, const TMainSettings& Settings,
                               TTranslate Translate, QWidget* Parent)
    : QDialog(Parent), grdTrajectory(new QTableWidget(this)), chDrop(new TNiceChart(this)),
      lblFindings(new QLabel(this)), lblNote(new QLabel(this)), btnKeep(NewDialogButton(this)),
      btnClose(NewDialogButton(this)), FUnits(UnitsOf(Settings)), FTranslate(std::move(Translate)),
      FKeep(Start.Keep) {
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    for (std::size_t Index = 0; Index < Inputs.size(); ++Index)
        Edits.push_back(new QLineEdit(this));
    LayOut();
    setWindowTitle(ToQString(FillPlaceholders(FTranslate("Trajectory of %s"), {Start.SeriesName})));
    FillEdits(Start);
    for (QLineEdit* Edit : Edits)
        connect(Edit, &QLineEdit::textChanged, this, Guarded(this, &TFrmTrajectory::Recompute));
    connect(btnKeep, &QPushButton::clicked, this, Guarded(this, &TFrmTrajectory::btnKeepClick));
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    btnKeep->setEnabled(static_cast<bool>(FKeep));
    Recompute();
}

void TFrmTrajectory::LayOut() {
    auto* Fields = new QFormLayout;
    for (std::size_t Index = 0; Index < Inputs.size(); ++Index) {
        const TBallisticUnit Unit = BallisticUnit(Inputs[Index].Quantity, FUnits);
        Fields->addRow(ToQString(FillPlaceholders(Translate(Inputs[Index].Caption), {Unit.Name})),
                       Edits[Index]);
    }
    lblNote->setText(ToQString(Translate(BallisticsNote)));
    lblNote->setWordWrap(true);
    btnKeep->setText(ToQString(Translate("Keep with the series")));
    btnClose->setText(ToQString(Translate("Close")));
    auto* Left = new QVBoxLayout;
    Left->addLayout(Fields);
    Left->addWidget(lblNote);
    Left->addWidget(btnKeep);
    Left->addStretch(1);
    lblFindings->setWordWrap(true);
    grdTrajectory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdTrajectory->verticalHeader()->hide();
    chDrop->SetShowLegend(false);
    // A slot a range step, labelled with its range, so that the axis counts in the table's steps.
    chDrop->SetAxisXOnePerValue(true);
    chDrop->SetShowTitle(false);
    chDrop->setMinimumSize(420, 240);
    auto* Right = new QVBoxLayout;
    Right->addWidget(chDrop, 1);
    Right->addWidget(grdTrajectory, 1);
    Right->addWidget(lblFindings);
    auto* Columns = new QHBoxLayout;
    Columns->addLayout(Left);
    Columns->addLayout(Right, 1);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch(1);
    Buttons->addWidget(btnClose);
    auto* Layout = new QVBoxLayout(this);
    Layout->addLayout(Columns, 1);
    Layout->addLayout(Buttons);
    FitToScreen(*this, {1150, 720});
}

void TFrmTrajectory::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    FitToScreen(*this, size());
}

void TFrmTrajectory::FillEdits(const TTrajectoryStart& Start) {
    const TTrajectoryInput Input = StartingTrajectory(
        Start.MuzzleSpeed, Start.PeletWeight, Start.Ballistics.BallisticCoefficient,
        Start.Ballistics.SightHeight, Start.Ballistics.ZeroRange);
    const std::array<double, Inputs.size()> Values{
        Input.MuzzleSpeed,         Input.BallisticCoefficient,
        Input.PelletMass,          Input.SightHeight,
        Input.ZeroRange,           Input.LastRange,
        Input.RangeStep,           Input.CrossWind,
        DefaultKillZone,           Input.MinimumEnergy,
        Input.Air.TemperatureC,    Input.Air.PressureHpa,
        Input.Air.RelativeHumidity};
    for (std::size_t Index = 0; Index < Inputs.size(); ++Index)
        Edits[Index]->setText(
            ToQString(BallisticUnit(Inputs[Index].Quantity, FUnits).Text(Values[Index])));
}

std::optional<double> TFrmTrajectory::Entered(std::size_t Input) const {
    return BallisticUnit(Inputs[Input].Quantity, FUnits).Read(Edits[Input]->text().toStdString());
}

std::optional<TTrajectoryInput> TFrmTrajectory::Input() const {
    std::array<double, Inputs.size()> Values{};
    for (std::size_t Index = 0; Index < Inputs.size(); ++Index) {
        const std::optional<double> Value = Entered(Index);
        if (!Value)
            return std::nullopt;
        Values[Index] = *Value;
    }
    TTrajectoryInput Input;
    Input.MuzzleSpeed = Values[MuzzleSpeed];
    Input.BallisticCoefficient = Values[Coefficient];
    Input.PelletMass = Values[Weight];
    Input.SightHeight = Values[SightHeight];
    Input.ZeroRange = Values[ZeroRange];
    Input.LastRange = Values[LastRange];
    Input.RangeStep = Values[RangeStep];
    Input.CrossWind = Values[CrossWind];
    Input.MinimumEnergy = Values[MinimumEnergy];
    Input.Air = {Values[Temperature], Values[Pressure], Values[Humidity]};
    return Input;
}

double TFrmTrajectory::KillZone() const {
    return Entered(TInputIndex::KillZone).value_or(0);
}

// Figures the ballistics cannot work with leave the table empty and say why.
void TFrmTrajectory::Recompute() {
    const std::optional<TTrajectoryInput> Entries = Input();
    try {
        if (!Entries)
            throw std::invalid_argument(Translate("Every field needs a number"));
        ShowTrajectory(*Entries);
    } catch (const std::invalid_argument& Error) {
        FRows.clear();
        FFindings = Error.what();
        ShowTable({});
        chDrop->ClearSeries();
    }
    lblFindings->setText(ToQString(FFindings));
}

void TFrmTrajectory::ShowTrajectory(const TTrajectoryInput& Entries) {
    const TTrajectory Trajectory = ComputeTrajectory(Entries);
    const TTrajectoryTable Table = TrajectoryTable(Trajectory, FUnits, FTranslate);
    FRows = Table.Rows;
    const double Zone = KillZone();
    FFindings = PointBlankText(PointBlankRange(Entries, Zone), Zone, FUnits, FTranslate);
    const std::string Energy =
        MinimumEnergyText(Trajectory, Entries.MinimumEnergy, FUnits, FTranslate);
    if (!Energy.empty())
        FFindings += "\n" + Energy;
    ShowTable(Table.Header);
    ShowChart(Trajectory, Zone);
}

void TFrmTrajectory::ShowTable(const std::vector<std::string>& Header) {
    grdTrajectory->clear();
    grdTrajectory->setColumnCount(static_cast<int>(Header.size()));
    grdTrajectory->setRowCount(static_cast<int>(FRows.size()));
    for (std::size_t Column = 0; Column < Header.size(); ++Column)
        grdTrajectory->setHorizontalHeaderItem(static_cast<int>(Column),
                                               new QTableWidgetItem(ToQString(Header[Column])));
    for (std::size_t Row = 0; Row < FRows.size(); ++Row)
        for (std::size_t Column = 0; Column < FRows[Row].size(); ++Column) {
            auto* Cell = new QTableWidgetItem(ToQString(FRows[Row][Column]));
            Cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grdTrajectory->setItem(static_cast<int>(Row), static_cast<int>(Column), Cell);
        }
    grdTrajectory->resizeColumnsToContents();
}

// The drop over range in the table's units, with the kill zone around the line of sight.
void TFrmTrajectory::ShowChart(const TTrajectory& Trajectory, double KillZone) {
    const TBallisticUnit Range = BallisticUnit(TBallisticQuantity::Range, FUnits);
    const TBallisticUnit Height = BallisticUnit(TBallisticQuantity::Height, FUnits);
    const auto Resume = chDrop->SuspendedUpdates();
    chDrop->ClearSeries();
    chDrop->SetAxisXTitle(FillPlaceholders(Translate("Range [%s]"), {Range.Name}));
    chDrop->SetAxisYTitle(FillPlaceholders(Translate("Drop [%s]"), {Height.Name}));
    TNiceSeries& Drop = chDrop->AddSeries(skLine);
    for (const TTrajectoryPoint& Point : Trajectory.Points)
        Drop.AddValue(Range.Shown(Point.Range), Height.Shown(Point.Drop), "");
    const double Half = Height.Shown(KillZone / 2);
    chDrop->SetLevelBand(TYBand{-Half, Half});
}

void TFrmTrajectory::btnKeepClick() {
    const std::optional<TTrajectoryInput> Entries = Input();
    if (!Entries || !FKeep)
        return;
    FKeep({Entries->BallisticCoefficient, Entries->SightHeight, Entries->ZeroRange});
}
