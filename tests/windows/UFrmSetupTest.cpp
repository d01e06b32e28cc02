#include "windows/UFrmSetup.h"

#include "tests/support/ScopedFormatSettings.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/windows/OwnerWindow.h"
#include "tests/windows/RecordingSettings.h"
#include "windows/FittingLabel.h"
#include "windows/SpinButton.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

std::string Text(const QLineEdit* Edit) {
    return Edit->text().toStdString();
}
std::string Text(const QLabel* Label) {
    return Label->text().toStdString();
}

class SetupWindow : public testing::Test {
protected:
    TScopedFormatSettings Separators{"."};
    TRecordingSettings Settings;
    TScriptedDialogs Dialogs;

    std::unique_ptr<TFrmSetup> Shown() {
        auto Setup = std::make_unique<TFrmSetup>(Settings, nullptr);
        Setup->show();
        return Setup;
    }
    // The numeric edits with their arrows, stored values and fallbacks.
    struct TEntry {
        QLineEdit* Edit;
        TSpinButton* Spin;
        const double& Stored;
        double Fallback;
    };
    std::vector<TEntry> Entries(const TFrmSetup& Setup) const {
        return {{Setup.eSpeedLimit, Setup.spinSpeedLimit, Settings.Speed, 999999},
                {Setup.eEnergyLimit, Setup.spinEnergyLimit, Settings.Energy, 999999},
                {Setup.ePeletWeight, Setup.spinPeletWeight, Settings.Weight, 0.546},
                {Setup.eUsableSpread, Setup.spinUsableSpread, Settings.Spread, 0}};
    }
    enum { Speed, Energy, Weight };

    // Opens the window as the main window would, then forgets what opening stored.
    std::unique_ptr<TFrmSetup> Open() {
        auto Setup = Shown();
        Settings.Calls.clear();
        return Setup;
    }
};

TEST_F(SetupWindow, OpensWithTheButtonOfTheLanguageDownAndTheUnitSystemUntouched) {
    struct TCase {
        int Language;
        bool Imperial;
        const char* Down;
    };
    for (const TCase& Case : {TCase{5, false, "cz"}, TCase{7, true, "de"}, TCase{9, false, "gb"},
                              TCase{3, true, "gb"}}) {
        SCOPED_TRACE(Case.Language);
        Settings.LanguageCode = Case.Language;
        Settings.Imperial = Case.Imperial;
        auto Setup = Shown();
        EXPECT_EQ(Setup->btnCesky->isChecked(), std::string(Case.Down) == "cz");
        EXPECT_EQ(Setup->btnDeutsch->isChecked(), std::string(Case.Down) == "de");
        EXPECT_EQ(Setup->btnEnglish->isChecked(), std::string(Case.Down) == "gb");
        EXPECT_EQ(Setup->rbImperial->isChecked(), Case.Imperial);
        EXPECT_EQ(Setup->rbMetric->isChecked(), !Case.Imperial);
        for (const std::string& Setter : Settings.SetterNames())
            EXPECT_THAT(Setter,
                        testing::Not(testing::AnyOf("SetMetric", "SetImperial", "SetLanguage")));
    }
}

TEST_F(SetupWindow, ShowsTheSettingsInTheirShortestFormAndStoresOnlyChangedTexts) {
    Settings.Speed = 250; // the edit's own text, so its handler does not run
    Settings.Energy = 0.1 + 0.2;
    Settings.Weight = 0.547;
    auto Setup = Shown();
    EXPECT_EQ(Text(Setup->eSpeedLimit), "250");
    EXPECT_EQ(Text(Setup->eEnergyLimit), "0.3");
    EXPECT_EQ(Text(Setup->ePeletWeight), "0.547");
    EXPECT_THAT(Settings.SetterNames(), ElementsAre("SetEnergyLimit"));
    EXPECT_DOUBLE_EQ(Settings.Energy, 0.3);

    TScopedFormatSettings Comma(",");
    Settings.Speed = 999999;
    Settings.Weight = 0.546;
    auto Again = Shown();
    EXPECT_EQ(Text(Again->eSpeedLimit), "999999");
    EXPECT_EQ(Text(Again->eEnergyLimit), "0,3");
    EXPECT_EQ(Text(Again->ePeletWeight), "0,546");
    EXPECT_DOUBLE_EQ(Settings.Weight, 0.546);
}

TEST_F(SetupWindow, TypedNumbersAreStoredAndOtherTextsFallBackWithoutTouchingTheEdit) {
    auto Setup = Open();
    for (const TEntry& Entry : Entries(*Setup)) {
        SCOPED_TRACE(Entry.Edit->geometry().y());
        Entry.Edit->setText("12.5");
        EXPECT_EQ(Entry.Stored, 12.5);
        Entry.Edit->setText("0");
        EXPECT_EQ(Entry.Stored, 0) << "zero is a number like any other";
        for (const char* NotANumber : {"abc", "", "1,5", "12.5x"}) {
            Entry.Edit->setText("7");
            Entry.Edit->setText(NotANumber);
            EXPECT_EQ(Entry.Stored, Entry.Fallback) << NotANumber;
            EXPECT_EQ(Text(Entry.Edit), NotANumber);
            const std::size_t CallsBefore = Settings.Calls.size();
            Entry.Spin->UpButton()->click();
            Entry.Spin->DownButton()->click();
            EXPECT_EQ(Settings.Calls.size(), CallsBefore) << "the arrows do nothing";
            EXPECT_EQ(Text(Entry.Edit), NotANumber);
        }
    }
}

TEST_F(SetupWindow, ArrowsStepTheNumberAndStoreTheValueShown) {
    auto Setup = Open();
    struct TCase {
        int Entry;
        bool Up;
        const char* Before;
        const char* After;
        double Value;
    };
    for (const TCase& Case : {
             TCase{Speed, true, "250", "251", 251},
             TCase{Speed, true, "250.123", "251.12", 251.12},
             TCase{Speed, false, "0", "-1", -1},
             TCase{Energy, false, "12.005", "11.01", 11.01},
             TCase{Energy, true, "-0.5", "0.5", 0.5},
             TCase{Weight, true, "0.547", "0.548", 0.548},
             TCase{Weight, false, "0.547", "0.546", 0.546},
             TCase{Weight, false, "0", "-0.001", -0.001},
             TCase{Weight, true, "1", "1.001", 1.001},
         }) {
        SCOPED_TRACE(Case.Before);
        const TEntry Entry = Entries(*Setup)[Case.Entry];
        Entry.Edit->setText(Case.Before);
        (Case.Up ? Entry.Spin->UpButton() : Entry.Spin->DownButton())->click();
        EXPECT_EQ(Text(Entry.Edit), Case.After);
        EXPECT_DOUBLE_EQ(Entry.Stored, Case.Value);
    }
}

TEST_F(SetupWindow, ArrowsReadAndWriteTheDecimalSeparatorInForce) {
    TScopedFormatSettings Comma(",");
    auto Setup = Open();
    Setup->eSpeedLimit->setText("250,123");
    Setup->spinSpeedLimit->UpButton()->click();
    EXPECT_EQ(Text(Setup->eSpeedLimit), "251,12");
    EXPECT_DOUBLE_EQ(Settings.Speed, 251.12);
    Setup->ePeletWeight->setText("0,547");
    Setup->spinPeletWeight->UpButton()->click();
    EXPECT_EQ(Text(Setup->ePeletWeight), "0,548");
    EXPECT_DOUBLE_EQ(Settings.Weight, 0.548);
}

TEST_F(SetupWindow, CaptionsFollowTheLanguageAndTheUnitsButNamesAndTitleNeverChange) {
    auto Setup = Open();
    const auto Captions = [&] {
        return std::vector<std::string>{Setup->gbLanguage->title().toStdString(),
                                        Setup->gbUnits->title().toStdString(),
                                        Setup->rbMetric->text().toStdString(),
                                        Setup->rbImperial->text().toStdString(),
                                        Setup->gbLimits->title().toStdString(),
                                        Text(Setup->lblSpeedLimit),
                                        Text(Setup->lblEnergyLimit),
                                        Text(Setup->lblPeletWeight),
                                        Text(Setup->lblUsableSpread)};
    };
    EXPECT_THAT(Captions(),
                ElementsAre("Language", "Units", "Metrical", "Imperial", "Limits", "Speed [m/s]:",
                            "Energy [J]:", "Pelet Weight [g]:", "Usable ES [m/s]:"));

    Setup->btnDeutsch->click();
    EXPECT_THAT(Settings.SetterNames(), ElementsAre("SetLanguage"));
    EXPECT_EQ(Settings.LanguageCode, 7);
    EXPECT_THAT(Captions(), ElementsAre("Sprache", "Einheiten", "Metrisch", "Imperial", "Limiten",
                                        "Geschwindigkeit [m/s]:", "Energie [J]:",
                                        "Schussgewicht [g]:", "Nutzbare ES [m/s]:"));

    Setup->btnCesky->click();
    Setup->rbImperial->click();
    EXPECT_THAT(Settings.SetterNames(), ElementsAre("SetLanguage", "SetLanguage", "SetImperial"));
    EXPECT_THAT(Captions(), ElementsAre("Jazyk", "Jednotky", "Metrický", "Imperiální", "Limity",
                                        "Rychlost [fps]:", "Energie [fpe]:",
                                        "Hmotnost střely [gr]:", "Použitelné R [fps]:"));

    Setup->btnEnglish->click();
    Setup->rbMetric->click();
    EXPECT_EQ(Settings.LanguageCode, 9);
    EXPECT_FALSE(Settings.Imperial);
    EXPECT_EQ(Text(Setup->lblSpeedLimit), "Speed [m/s]:");
    EXPECT_EQ(Setup->windowTitle().toStdString(), "Setup");
    EXPECT_EQ(Text(Setup->lblLanguageCzech), "Česky");
    EXPECT_EQ(Text(Setup->lblLanguageGerman), "Deutsch");
    EXPECT_EQ(Text(Setup->lblLanguageEnglish), "English");
}

TEST_F(SetupWindow, SwitchingUnitsKeepsTheNumbersAndTheLanguageButtonsStayExclusive) {
    Settings.Speed = 250.5;
    auto Setup = Open();
    Setup->rbImperial->click();
    EXPECT_TRUE(Settings.Imperial);
    EXPECT_EQ(Text(Setup->eSpeedLimit), "250.5");
    EXPECT_EQ(Settings.Speed, 250.5);
    EXPECT_THAT(Settings.SetterNames(), ElementsAre("SetImperial"));

    Setup->btnDeutsch->click();
    Setup->btnDeutsch->click();
    EXPECT_TRUE(Setup->btnDeutsch->isChecked()) << "pressing the down button keeps it down";
    EXPECT_FALSE(Setup->btnCesky->isChecked());
    EXPECT_FALSE(Setup->btnEnglish->isChecked());
}

TEST_F(SetupWindow, IsAFixedToolWindowCentredOverItsOwnerWithTheFlagPictures) {
    TOwnerWindow Owner;
    TFrmSetup Setup(Settings, &Owner);
    Setup.show();
    // The design's height; as wide as the longest preset name needs.
    EXPECT_EQ(Setup.height(), 361);
    EXPECT_EQ(Setup.minimumSize(), Setup.maximumSize());
    EXPECT_EQ(Setup.windowType(), Qt::Tool);
    EXPECT_LE((Setup.geometry().center() - Owner.geometry().center()).manhattanLength(), 2);
    EXPECT_EQ(Setup.btnCesky->iconSize(), QSize(28, 19));
    EXPECT_EQ(Setup.btnDeutsch->iconSize(), QSize(29, 18));
    EXPECT_EQ(Setup.btnEnglish->iconSize(), QSize(29, 18));
    EXPECT_FALSE(Setup.btnEnglish->icon().isNull());
}

TEST_F(SetupWindow, NamesAreWhollyShownAndLongCaptionsEndBeforeTheirEdits) {
    Settings.LanguageCode = 7;
    Settings.Imperial = true;
    auto Setup = Open();
    const std::pair<TFittingLabel*, QLineEdit*> Rows[] = {
        {Setup->lblSpeedLimit, Setup->eSpeedLimit},
        {Setup->lblEnergyLimit, Setup->eEnergyLimit},
        {Setup->lblPeletWeight, Setup->ePeletWeight}};
    for (const auto& [Label, Edit] : Rows) {
        SCOPED_TRACE(Text(Label));
        EXPECT_LT(Label->geometry().right(), Edit->x());
        QFont Drawn = Label->font();
        Drawn.setPixelSize(Label->DrawnPixelSize());
        EXPECT_LE(QFontMetrics(Drawn).horizontalAdvance(Label->text()), Label->width());
        EXPECT_GE(Label->DrawnPixelSize(), 9) << "still readable";
    }
    for (const QLabel* Name :
         {Setup->lblLanguageCzech, Setup->lblLanguageGerman, Setup->lblLanguageEnglish}) {
        EXPECT_EQ(Name->font().pixelSize(), 13);
        EXPECT_GE(Name->width(), Name->fontMetrics().horizontalAdvance(Name->text())) << Text(Name);
    }
}

TEST_F(SetupWindow, AFailingSetterIsReportedInTheErrorBoxInsteadOfEscaping) {
    auto Setup = Open();
    Settings.LanguageError = "The captions could not be changed.";
    Setup->btnDeutsch->click();
    EXPECT_THAT(Dialogs.Errors, ElementsAre("The captions could not be changed."));
    EXPECT_EQ(Setup->gbLanguage->title().toStdString(), "Language");
    Settings.LanguageError.clear();
    Setup->btnDeutsch->click();
    EXPECT_THAT(Dialogs.Errors, testing::SizeIs(1));
    EXPECT_THAT(Dialogs.Questions, IsEmpty());
}

TEST_F(SetupWindow, PresetsSetTheEnergyLimitInTheUnitsInForceAndTheBoxFollowsTheLimit) {
    // The edit shows the law's exact value rounded; the limit stays exact.
    struct TCase {
        bool Imperial;
        int Preset;
        const char* Limit;
        double Exact;
    };
    for (const TCase& Case :
         {TCase{false, 1, "16.2698", 16.2698153799768}, TCase{true, 1, "12", 12},
          TCase{false, 2, "8.1349", 8.1349076899884}, TCase{true, 2, "6", 6},
          TCase{false, 3, "7.5", 7.5}, TCase{true, 3, "5.5317", 5.53171611957949}}) {
        SCOPED_TRACE(Case.Limit);
        Settings.Imperial = Case.Imperial;
        auto Setup = Open();
        Setup->cbEnergyPresetSelect(Case.Preset);
        EXPECT_EQ(Text(Setup->eEnergyLimit), Case.Limit);
        EXPECT_NEAR(Settings.Energy, Case.Exact, 1e-12);
        EXPECT_EQ(Setup->cbEnergyPreset->currentIndex(), Case.Preset);
    }
    auto Setup = Open();
    Setup->eEnergyLimit->setText("12.5");
    EXPECT_EQ(Setup->cbEnergyPreset->currentIndex(), 0) << "a limit of the shooter's own";
    Setup->eEnergyLimit->setText("12");
    EXPECT_EQ(Setup->cbEnergyPreset->currentIndex(), 1);
    Setup->rbMetric->click();
    EXPECT_EQ(Setup->cbEnergyPreset->currentIndex(), 0) << "12 J is no law's limit";
    Setup->btnDeutsch->click();
    EXPECT_EQ(Setup->cbEnergyPreset->itemText(1).toStdString(),
              "Großbritannien, Luftgewehr, 12 ft\u00B7lbf");
    EXPECT_EQ(Setup->cbEnergyPreset->itemText(0).toStdString(), "Eigener Wert");
}

} // namespace
