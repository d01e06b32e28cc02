#include "windows/UFrmBallisticCoefficient.h"

#include "platform/HandlerGuard.h"
#include "series/TrajectoryTexts.h"
#include "windows/DialogButtons.h"
#include "windows/MainSettings.h"
#include "windows/QtText.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <stdexcept>

namespace {

// The inputs in the order of the window's edits, with their ICAO standard values and a distance
// a shooter can set up on a range.
struct TAirField {
    const char* Caption;
    TBallisticQuantity Quantity;
    double Default;
};

constexpr std::array<TAirField, 4> Fields{{
    {"Distance between the positions [%s]:", TBallisticQuantity::Range, 20},
    {"Temperature [%s]:", TBallisticQuantity::Temperature, 15},
    {"Air pressure [%s]:", TBallisticQuantity::Pressure, 1013.25},
    {"Humidity [%s]:", TBallisticQuantity::Humidity, 0},
}};

} // namespace

TFrmBallisticCoefficient::TFrmBallisticCoefficient(TSeriesStore& Store, const TSeriesEntry& Near,
                                                   const TSampleSummary& NearSpeeds,
                                                   const TSampleSummary& FarSpeeds,
                                                   const TMainSettings& Settings,
                                                   TTranslate Translate, QWidget* Parent)
    : QDialog(Parent), lblResult(new QLabel(this)), btnKeep(NewDialogButton(this)),
      btnClose(NewDialogButton(this)), FStore(Store), FNearId(Near.Id), FNear(NearSpeeds),
      FFar(FarSpeeds), FUnits(UnitsOf(Settings)), FTranslate(std::move(Translate)) {
    for (std::size_t Index = 0; Index < Fields.size(); ++Index) {
        Edits.push_back(new QLineEdit(this));
        Edits.back()->setText(
            ToQString(BallisticUnit(Fields[Index].Quantity, FUnits).Text(Fields[Index].Default)));
    }
    LayOut(Near.Name);
    for (QLineEdit* Edit : Edits)
        connect(Edit, &QLineEdit::textChanged, this,
                Guarded(this, &TFrmBallisticCoefficient::Recompute));
    connect(btnKeep, &QPushButton::clicked, this,
            Guarded(this, &TFrmBallisticCoefficient::btnKeepClick));
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    Recompute();
}

void TFrmBallisticCoefficient::LayOut(const std::string& NearName) {
    setWindowTitle(ToQString(Translate("Ballistic coefficient")));
    auto* Form = new QFormLayout;
    for (std::size_t Index = 0; Index < Fields.size(); ++Index)
        Form->addRow(
            ToQString(FillPlaceholders(Translate(Fields[Index].Caption),
                                       {BallisticUnit(Fields[Index].Quantity, FUnits).Name})),
            Edits[Index]);
    lblResult->setWordWrap(true);
    lblResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* Note = new QLabel(ToQString(Translate(BallisticsNote)), this);
    Note->setWordWrap(true);
    btnKeep->setText(ToQString(FillPlaceholders(Translate("Keep with %s"), {NearName})));
    btnClose->setText(ToQString(Translate("Close")));
    auto* Buttons = new QHBoxLayout;
    Buttons->addWidget(btnKeep);
    Buttons->addStretch(1);
    Buttons->addWidget(btnClose);
    auto* Layout = new QVBoxLayout(this);
    Layout->addLayout(Form);
    Layout->addWidget(lblResult);
    Layout->addWidget(Note);
    Layout->addLayout(Buttons);
    resize(560, sizeHint().height());
}

// Figures that give no BC (a far series as fast as the near one) say why instead.
void TFrmBallisticCoefficient::Recompute() {
    FEstimate.reset();
    std::array<double, Fields.size()> Values{};
    for (std::size_t Index = 0; Index < Fields.size(); ++Index) {
        const std::optional<double> Value =
            BallisticUnit(Fields[Index].Quantity, FUnits).Read(Edits[Index]->text().toStdString());
        if (!Value) {
            lblResult->setText(ToQString(Translate("Every field needs a number")));
            btnKeep->setEnabled(false);
            return;
        }
        Values[Index] = *Value;
    }
    try {
        FEstimate = EstimateBallisticCoefficient(FNear, FFar, Values[0],
                                                 TAir{Values[1], Values[2], Values[3]});
        lblResult->setText(ToQString(BallisticCoefficientText(*FEstimate, FUnits, FTranslate)));
    } catch (const std::invalid_argument& Error) {
        lblResult->setText(ToQString(Error.what()));
    }
    btnKeep->setEnabled(FEstimate.has_value() && !FStore.ReadOnly());
}

// The sight and the zero the series may keep already stay.
void TFrmBallisticCoefficient::btnKeepClick() {
    if (!FEstimate)
        return;
    TSeriesBallistics Ballistics = FStore.Ballistics(FNearId).value_or(TSeriesBallistics{});
    Ballistics.BallisticCoefficient = FEstimate->Bc;
    FStore.SetBallistics(FNearId, Ballistics);
    btnKeep->setEnabled(false);
}
