#include "app/UPeletWeightBox.h"

#include "platform/HandlerGuard.h"
#include "platform/NumberFormats.h"
#include "platform/ScopeGuard.h"
#include "windows/SpinButton.h"

#include <QLabel>
#include <QLineEdit>

TPeletWeightBox::TPeletWeightBox(TSeries& Series, QWidget* Parent)
    : QWidget(Parent), lblPeletWeightCaption(new QLabel("Pelet Weight [g]:", this)),
      ePeletWeight(new QLineEdit("0.547", this)), spinPeletWeight(new TSpinButton(this)),
      FSeries(Series) {
    ePeletWeight->setGeometry(4, 18, 105, 24);
    spinPeletWeight->setGeometry(108, 19, 20, 22);
    spinPeletWeight->setCursor(Qt::PointingHandCursor);
    connect(ePeletWeight, &QLineEdit::textChanged, this,
            Guarded(this, &TPeletWeightBox::ePeletWeightChange));
    spinPeletWeight->OnUpClick = [this] { spinPeletWeightUpClick(); };
    spinPeletWeight->OnDownClick = [this] { spinPeletWeightDownClick(); };
}

void TPeletWeightBox::ApplyTranslation(const TTranslate& Translate, const std::string& WeightUnit) {
    lblPeletWeightCaption->setText(
        QString::fromStdString(TranslateWith(Translate, "Pelet Weight [%s]:", WeightUnit)));
    lblPeletWeightCaption->adjustSize();
}

void TPeletWeightBox::ShowPeletWeight() {
    const auto Guard = platform::ScopedValue(FWeightEditGuard, true);
    ePeletWeight->setText(
        QString::fromStdString(platform::FormatFloat("0.000", FSeries.PeletWeight())));
}

double TPeletWeightBox::ReadPeletWeightEdit() const {
    double Value = 0;
    return platform::TryStrToFloat(ePeletWeight->text().toStdString(), Value) ? Value : 0;
}

void TPeletWeightBox::ePeletWeightChange() {
    if (FWeightEditGuard)
        return;
    const double Value = ReadPeletWeightEdit();
    if (Value == 0)
        return;
    FSeries.SetPeletWeight(Value);
    RestartRecalculation();
}

void TPeletWeightBox::spinPeletWeightUpClick() {
    StepPeletWeight(+0.001);
}

void TPeletWeightBox::spinPeletWeightDownClick() {
    StepPeletWeight(-0.001);
}

// The arrows drop every error: a weight they cannot step is left as it is.
void TPeletWeightBox::StepPeletWeight(double Step) {
    try {
        double Value = 0;
        if (!platform::TryStrToFloat(ePeletWeight->text().toStdString(), Value))
            return;
        FSeries.SetPeletWeight(Value + Step);
        ShowPeletWeight();
        RecalculateNow();
    } catch (...) {
        return;
    }
}
