#pragma once

// The pellet weight under the logo: its caption, the edit and the arrows that step it by a
// milligram. A weight typed in reaches the series at once and the display soon; a stepped one
// is shown at once.

#include "series/USeries.h"

#include <QWidget>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class TSpinButton;

class TPeletWeightBox : public QWidget {
public:
    TPeletWeightBox(TSeries& Series, QWidget* Parent);

    // The display soon, or now.
    std::function<void()> RestartRecalculation, RecalculateNow;

    void ApplyTranslation(const TTranslate& Translate, const std::string& WeightUnit);
    // The series' weight in the edit, without taking it back as typed.
    void ShowPeletWeight();
    // The weight as typed, or 0 when the edit holds no number.
    double ReadPeletWeightEdit() const;

    void ePeletWeightChange();
    void spinPeletWeightUpClick();
    void spinPeletWeightDownClick();

    QLabel* const lblPeletWeightCaption;
    QLineEdit* const ePeletWeight;
    TSpinButton* const spinPeletWeight;

private:
    void StepPeletWeight(double Step);

    TSeries& FSeries;
    bool FWeightEditGuard = false;
};
