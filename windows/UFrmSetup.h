#pragma once

// The setup window: language, unit system, speed and energy limits with the legal energy
// presets, pellet weight and the spread of speed a fill's usable shots may have. It keeps
// no settings of its own: every control writes straight through to the main window's settings,
// so every change is in force at once and there is no OK or Cancel.

#include "text/UTranslator.h"
#include "windows/MainSettings.h"
#include "windows/ReadoutSharing.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class TFittingLabel;
class TSpinButton;

class TFrmSetup : public QDialog {
    Q_OBJECT

public:
    // Parent is the main window: the window opens centred over it. With Sharing, a button at
    // the bottom shows the live read-out on a phone.
    TFrmSetup(TMainSettings& Settings, QWidget* Parent, TReadoutSharing* Sharing = nullptr);

    void FormShow();
    void UpdateCaptions();

    void btnCeskyClick() { ChooseLanguage(LANG_CZECH); }
    void btnDeutschClick() { ChooseLanguage(LANG_GERMAN); }
    void btnEnglishClick() { ChooseLanguage(LANG_ENGLISH); }
    void rbMetricClick();
    void rbImperialClick();
    void eSpeedLimitChange() { EntryChange(FSpeedLimitEntry); }
    void eEnergyLimitChange();
    void ePeletWeightChange() { EntryChange(FPeletWeightEntry); }
    void eUsableSpreadChange() { EntryChange(FUsableSpreadEntry); }
    // A preset (Index 1 and on) writes its value in the current unit into the energy edit.
    void cbEnergyPresetSelect(int Index);
    void btnPhoneClick();
    void spinSpeedLimitUpClick() { EntryStep(FSpeedLimitEntry, +1); }
    void spinSpeedLimitDownClick() { EntryStep(FSpeedLimitEntry, -1); }
    void spinEnergyLimitUpClick() { EntryStep(FEnergyLimitEntry, +1); }
    void spinEnergyLimitDownClick() { EntryStep(FEnergyLimitEntry, -1); }
    void spinPeletWeightUpClick() { EntryStep(FPeletWeightEntry, +1); }
    void spinPeletWeightDownClick() { EntryStep(FPeletWeightEntry, -1); }
    void spinUsableSpreadUpClick() { EntryStep(FUsableSpreadEntry, +1); }
    void spinUsableSpreadDownClick() { EntryStep(FUsableSpreadEntry, -1); }

    QGroupBox* const gbLanguage;
    QToolButton* const btnCesky;
    QToolButton* const btnDeutsch;
    QToolButton* const btnEnglish;
    QLabel* const lblLanguageCzech;
    QLabel* const lblLanguageGerman;
    QLabel* const lblLanguageEnglish;
    QGroupBox* const gbUnits;
    QRadioButton* const rbMetric;
    QRadioButton* const rbImperial;
    QGroupBox* const gbLimits;
    TFittingLabel* const lblSpeedLimit;
    QLineEdit* const eSpeedLimit;
    TSpinButton* const spinSpeedLimit;
    TFittingLabel* const lblEnergyLimit;
    QLineEdit* const eEnergyLimit;
    TSpinButton* const spinEnergyLimit;
    // "Custom value", then the presets in their order.
    QComboBox* const cbEnergyPreset;
    TFittingLabel* const lblPeletWeight;
    QLineEdit* const ePeletWeight;
    TSpinButton* const spinPeletWeight;
    TFittingLabel* const lblUsableSpread;
    QLineEdit* const eUsableSpread;
    TSpinButton* const spinUsableSpread;
    // Only with sharing.
    QPushButton* const btnPhone;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    // The three numeric edits work alike and differ only in these values.
    struct TNumberEntry {
        QLineEdit* Edit;
        double Fallback; // stored when the edit's text is not a number
        double Step;
        const char* Pattern; // how a stepped value is written back
        void (TMainSettings::*Setter)(double);
    };

    void ConnectHandlers();
    void WidenForPresetBox();
    void ChooseLanguage(int Code);
    void EntryChange(const TNumberEntry& Entry);
    void EntryStep(const TNumberEntry& Entry, double Direction);
    QToolButton* LanguageButton(int Code) const;
    void ShowUnitSystem();
    // The preset the energy limit is in the current unit, or "Custom value".
    void ShowEnergyPreset();
    // The limit's number as the edit shows it.
    QString EnergyLimitShown() const;
    void ShowEnergyLimit();

    TMainSettings& FSettings;
    TReadoutSharing* const FSharing;
    QButtonGroup* const FLanguageGroup;
    const TNumberEntry FSpeedLimitEntry;
    const TNumberEntry FEnergyLimitEntry;
    const TNumberEntry FPeletWeightEntry;
    const TNumberEntry FUsableSpreadEntry;
};
