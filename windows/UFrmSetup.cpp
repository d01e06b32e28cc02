#include "windows/UFrmSetup.h"

#include "platform/Fonts.h"
#include "platform/HandlerGuard.h"
#include "platform/NumberFormats.h"
#include "resources/Pictures.h"
#include "series/UEnergyPresets.h"
#include "text/UTranslator.h"
#include "windows/FittingLabel.h"
#include "windows/SpinButton.h"
#include "windows/UFrmPhone.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolButton>
#include <algorithm>

namespace {

// Space kept between a caption and the edit to its right.
constexpr int CaptionGap = 4;

constexpr const char* CustomLimit = "Custom value";

// The button that shows the read-out on a phone, below the usable spread.
constexpr int PhoneButtonTop = 358, PhoneButtonHeight = 26;

QGroupBox* GroupBox(QWidget* Parent, const QRect& Geometry, const char* Title) {
    auto* Box = new QGroupBox(QString::fromUtf8(Title), Parent);
    Box->setGeometry(Geometry);
    return Box;
}

QToolButton* FlagButton(QWidget* Parent, const QRect& Geometry, const char* PictureName) {
    auto* Button = new QToolButton(Parent);
    Button->setGeometry(Geometry);
    Button->setCheckable(true);
    const QPixmap Flag = resources::Picture(PictureName);
    Button->setIcon(Flag);
    Button->setIconSize(Flag.size());
    return Button;
}

template <typename TLabel>
TLabel* TextLabel(QWidget* Parent, const QPoint& At, const char* Text) {
    auto* Label = new TLabel(Parent);
    Label->setText(QString::fromUtf8(Text));
    Label->move(At);
    Label->adjustSize();
    return Label;
}

QRadioButton* RadioButton(QWidget* Parent, const QRect& Geometry, const char* Text) {
    auto* Button = new QRadioButton(QString::fromUtf8(Text), Parent);
    Button->setGeometry(Geometry);
    return Button;
}

QLineEdit* NumberEdit(QWidget* Parent, const QRect& Geometry, const char* Text) {
    auto* Edit = new QLineEdit(QString::fromUtf8(Text), Parent);
    Edit->setGeometry(Geometry);
    return Edit;
}

QComboBox* PresetBox(QWidget* Parent, const QRect& Geometry) {
    auto* Box = new QComboBox(Parent);
    Box->setGeometry(Geometry);
    Box->addItem(CustomLimit);
    for (const TEnergyPreset& Preset : EnergyPresets)
        Box->addItem(QString::fromUtf8(Preset.Name));
    return Box;
}

// The width that shows every entry of the preset box whole in every language.
int PresetBoxWidth(const QComboBox& Box) {
    const TTranslator Translator;
    int Widest = 0;
    for (const int Language : {LANG_CZECH, LANG_GERMAN, LANG_ENGLISH})
        for (int Item = 0; Item < Box.count(); ++Item)
            Widest = std::max(
                Widest, Box.fontMetrics().horizontalAdvance(QString::fromStdString(
                            Translator.Translate(Box.itemText(Item).toStdString(), Language))));
    QStyleOptionComboBox Option;
    Option.initFrom(&Box);
    const QSize Contents(Widest, Box.fontMetrics().height());
    return Box.style()->sizeFromContents(QStyle::CT_ComboBox, &Option, Contents, &Box).width();
}

TSpinButton* SpinButton(QWidget* Parent, const QRect& Geometry) {
    auto* Spin = new TSpinButton(Parent);
    Spin->setGeometry(Geometry);
    return Spin;
}

// A caption as long as its text, but ending before the edit it names; a longer text is drawn
// smaller rather than running under the edit.
void ShowCaption(TFittingLabel* Label, const std::string& Text, const QWidget* Edit) {
    Label->setText(QString::fromStdString(Text));
    Label->adjustSize();
    const int Room = Edit->x() - CaptionGap - Label->x();
    if (Label->width() > Room)
        Label->resize(Room, Label->height());
}

} // namespace

TFrmSetup::TFrmSetup(TMainSettings& Settings, QWidget* Parent, TReadoutSharing* Sharing)
    : QDialog(Parent), gbLanguage(GroupBox(this, {4, 4, 229, 117}, "Language")),
      btnCesky(FlagButton(gbLanguage, {12, 20, 39, 25}, "flag_cz.png")),
      btnDeutsch(FlagButton(gbLanguage, {13, 48, 39, 25}, "flag_de.png")),
      btnEnglish(FlagButton(gbLanguage, {14, 76, 39, 25}, "flag_gb.png")),
      // The language names and the window's caption are never translated.
      lblLanguageCzech(TextLabel<QLabel>(gbLanguage, {68, 24}, "Česky")),
      lblLanguageGerman(TextLabel<QLabel>(gbLanguage, {68, 52}, "Deutsch")),
      lblLanguageEnglish(TextLabel<QLabel>(gbLanguage, {68, 80}, "English")),
      gbUnits(GroupBox(this, {4, 124, 229, 49}, "Units")),
      rbMetric(RadioButton(gbUnits, {12, 20, 97, 17}, "Metrical")),
      rbImperial(RadioButton(gbUnits, {120, 20, 97, 17}, "Imperial")),
      gbLimits(GroupBox(this, {4, 176, 229, 113}, "Limits")),
      lblSpeedLimit(TextLabel<TFittingLabel>(gbLimits, {12, 26}, "Speed:")),
      eSpeedLimit(NumberEdit(gbLimits, {136, 22, 61, 24}, "250")),
      spinSpeedLimit(SpinButton(gbLimits, {197, 23, 20, 22})),
      lblEnergyLimit(TextLabel<TFittingLabel>(gbLimits, {12, 54}, "Energy:")),
      eEnergyLimit(NumberEdit(gbLimits, {136, 50, 61, 24}, "250")),
      spinEnergyLimit(SpinButton(gbLimits, {197, 51, 20, 22})),
      cbEnergyPreset(PresetBox(gbLimits, {12, 79, 205, 24})),
      lblPeletWeight(TextLabel<TFittingLabel>(this, {16, 302}, "Pelet Weight:")),
      ePeletWeight(NumberEdit(this, {140, 298, 61, 24}, "0.547")),
      spinPeletWeight(SpinButton(this, {201, 299, 20, 22})),
      lblUsableSpread(TextLabel<TFittingLabel>(this, {16, 330}, "Usable ES:")),
      eUsableSpread(NumberEdit(this, {140, 326, 61, 24}, "3")),
      spinUsableSpread(SpinButton(this, {201, 327, 20, 22})), btnPhone(new QPushButton(this)),
      FSettings(Settings), FSharing(Sharing),
      FLanguageGroup(new QButtonGroup(this)), FSpeedLimitEntry{eSpeedLimit, 999999, 1, "0.##",
                                                               &TMainSettings::SetSpeedLimit},
      FEnergyLimitEntry{eEnergyLimit, 999999, 1, "0.##", &TMainSettings::SetEnergyLimit},
      FPeletWeightEntry{ePeletWeight, 0.546, 0.001, "0.000", &TMainSettings::SetPeletWeight},
      FUsableSpreadEntry{eUsableSpread, 0, 0.5, "0.##", &TMainSettings::SetUsableSpread} {
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Setup"));
    setFont(SansSerifFont(13));
    // The labels were sized before the window's font reached them.
    for (QLabel* Label : {lblLanguageCzech, lblLanguageGerman, lblLanguageEnglish})
        Label->adjustSize();
    setFixedSize(237, Sharing ? PhoneButtonTop + PhoneButtonHeight + 6 : 361);
    btnPhone->setGeometry(4, PhoneButtonTop, 229, PhoneButtonHeight);
    btnPhone->setVisible(Sharing != nullptr);
    WidenForPresetBox();
    for (QToolButton* Button : {btnCesky, btnDeutsch, btnEnglish})
        FLanguageGroup->addButton(Button);
    btnCesky->setChecked(true);
    rbMetric->setChecked(true);
    ConnectHandlers();
}

// The preset box takes its longest entry of any language, so that a switch of language moves
// nothing; the window, its groups and the edits at their right edge move out with it.
void TFrmSetup::WidenForPresetBox() {
    const int Extra = std::max(0, PresetBoxWidth(*cbEnergyPreset) - cbEnergyPreset->width());
    cbEnergyPreset->resize(cbEnergyPreset->width() + Extra, cbEnergyPreset->height());
    for (QWidget* Group : std::initializer_list<QWidget*>{gbLanguage, gbUnits, gbLimits, btnPhone})
        Group->resize(Group->width() + Extra, Group->height());
    for (QWidget* Edit : std::initializer_list<QWidget*>{
             eSpeedLimit, spinSpeedLimit, eEnergyLimit, spinEnergyLimit, ePeletWeight,
             spinPeletWeight, eUsableSpread, spinUsableSpread})
        Edit->move(Edit->x() + Extra, Edit->y());
    setFixedWidth(width() + Extra);
}

void TFrmSetup::ConnectHandlers() {
    connect(btnCesky, &QToolButton::clicked, this, Guarded(this, &TFrmSetup::btnCeskyClick));
    connect(btnDeutsch, &QToolButton::clicked, this, Guarded(this, &TFrmSetup::btnDeutschClick));
    connect(btnEnglish, &QToolButton::clicked, this, Guarded(this, &TFrmSetup::btnEnglishClick));
    connect(rbMetric, &QRadioButton::clicked, this, Guarded(this, &TFrmSetup::rbMetricClick));
    connect(rbImperial, &QRadioButton::clicked, this, Guarded(this, &TFrmSetup::rbImperialClick));
    connect(btnPhone, &QPushButton::clicked, this, Guarded(this, &TFrmSetup::btnPhoneClick));
    connect(eSpeedLimit, &QLineEdit::textChanged, this,
            Guarded(this, &TFrmSetup::eSpeedLimitChange));
    connect(eEnergyLimit, &QLineEdit::textChanged, this,
            Guarded(this, &TFrmSetup::eEnergyLimitChange));
    connect(ePeletWeight, &QLineEdit::textChanged, this,
            Guarded(this, &TFrmSetup::ePeletWeightChange));
    connect(eUsableSpread, &QLineEdit::textChanged, this,
            Guarded(this, &TFrmSetup::eUsableSpreadChange));
    connect(cbEnergyPreset, &QComboBox::activated, this, [this](int Index) {
        RunGuarded(this, [this, Index] { cbEnergyPresetSelect(Index); });
    });
    spinSpeedLimit->OnUpClick = Guarded(this, &TFrmSetup::spinSpeedLimitUpClick);
    spinSpeedLimit->OnDownClick = Guarded(this, &TFrmSetup::spinSpeedLimitDownClick);
    spinEnergyLimit->OnUpClick = Guarded(this, &TFrmSetup::spinEnergyLimitUpClick);
    spinEnergyLimit->OnDownClick = Guarded(this, &TFrmSetup::spinEnergyLimitDownClick);
    spinPeletWeight->OnUpClick = Guarded(this, &TFrmSetup::spinPeletWeightUpClick);
    spinPeletWeight->OnDownClick = Guarded(this, &TFrmSetup::spinPeletWeightDownClick);
    spinUsableSpread->OnUpClick = Guarded(this, &TFrmSetup::spinUsableSpreadUpClick);
    spinUsableSpread->OnDownClick = Guarded(this, &TFrmSetup::spinUsableSpreadDownClick);
}

void TFrmSetup::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    RunGuarded(this, [this] { FormShow(); });
}

void TFrmSetup::FormShow() {
    LanguageButton(FSettings.Language())->setChecked(true);
    // Checking a radio button from code runs no click handler, so showing the window leaves
    // the unit system as it is.
    if (FSettings.IsMetric())
        rbMetric->setChecked(true);
    if (FSettings.IsImperial())
        rbImperial->setChecked(true);
    // A text that differs from the edit's runs its change handler, which stores the value again.
    eSpeedLimit->setText(QString::fromStdString(platform::FloatToStr(FSettings.SpeedLimit())));
    ShowEnergyLimit();
    ePeletWeight->setText(QString::fromStdString(platform::FloatToStr(FSettings.PeletWeight())));
    eUsableSpread->setText(QString::fromStdString(platform::FloatToStr(FSettings.UsableSpread())));
    UpdateCaptions();
    activateWindow();
}

QToolButton* TFrmSetup::LanguageButton(int Code) const {
    switch (Code) {
    case LANG_CZECH:
        return btnCesky;
    case LANG_GERMAN:
        return btnDeutsch;
    default:
        return btnEnglish;
    }
}

void TFrmSetup::UpdateCaptions() {
    const TTranslator Translator;
    const int Language = FSettings.Language();
    const auto Caption = [&](const char* Text) {
        return QString::fromStdString(Translator.Translate(Text, Language));
    };
    const auto UnitCaption = [&](const char* Pattern, const std::string& Unit) {
        return platform::Format(Translator.Translate(Pattern, Language), {Unit});
    };
    gbLanguage->setTitle(Caption("Language"));
    gbUnits->setTitle(Caption("Units"));
    rbMetric->setText(Caption("Metrical"));
    rbImperial->setText(Caption("Imperial"));
    gbLimits->setTitle(Caption("Limits"));
    ShowCaption(lblSpeedLimit, UnitCaption("Speed [%s]:", FSettings.SpeedUnit()), eSpeedLimit);
    ShowCaption(lblEnergyLimit, UnitCaption("Energy [%s]:", FSettings.EnergyUnit()), eEnergyLimit);
    ShowCaption(lblPeletWeight, UnitCaption("Pelet Weight [%s]:", FSettings.WeightUnit()),
                ePeletWeight);
    ShowCaption(lblUsableSpread, UnitCaption("Usable ES [%s]:", FSettings.SpeedUnit()),
                eUsableSpread);
    lblUsableSpread->setToolTip(Caption("The widest extreme spread of speed that the usable shots "
                                        "of one fill may have"));
    btnPhone->setText(Caption("Show on a phone\u2026"));
    cbEnergyPreset->setItemText(0, Caption(CustomLimit));
    for (std::size_t i = 0; i < EnergyPresets.size(); ++i)
        cbEnergyPreset->setItemText(static_cast<int>(i) + 1, Caption(EnergyPresets[i].Name));
    ShowEnergyPreset();
}

// A preset's limit is shown rounded: its text stands for the exact value, which stays.
void TFrmSetup::eEnergyLimitChange() {
    const bool PresetShown = PresetOfLimit(FSettings.EnergyLimit(), UnitsOf(FSettings)) &&
                             eEnergyLimit->text() == EnergyLimitShown();
    if (!PresetShown)
        EntryChange(FEnergyLimitEntry);
    ShowEnergyPreset();
}

void TFrmSetup::btnPhoneClick() {
    ShowOnPhone(*FSharing, FSettings, this);
}

void TFrmSetup::cbEnergyPresetSelect(int Index) {
    if (Index < 1 || Index > static_cast<int>(EnergyPresets.size()))
        return;
    FSettings.SetEnergyLimit(PresetLimit(EnergyPresets[Index - 1], UnitsOf(FSettings)));
    ShowEnergyLimit();
}

QString TFrmSetup::EnergyLimitShown() const {
    return QString::fromStdString(EnergyLimitNumber(FSettings.EnergyLimit(), UnitsOf(FSettings)));
}

void TFrmSetup::ShowEnergyLimit() {
    eEnergyLimit->setText(EnergyLimitShown());
}

void TFrmSetup::ShowEnergyPreset() {
    const TEnergyPreset* Preset = PresetOfLimit(FSettings.EnergyLimit(), UnitsOf(FSettings));
    cbEnergyPreset->setCurrentIndex(Preset ? static_cast<int>(Preset - EnergyPresets.data()) + 1
                                           : 0);
}

void TFrmSetup::ChooseLanguage(int Code) {
    FSettings.SetLanguage(Code);
    UpdateCaptions();
}

// The numbers in the edits and the stored limits and weight are not converted: after a switch
// they stand for the same numbers in the new units. Only a legal preset stays its law.
void TFrmSetup::rbMetricClick() {
    FSettings.SetMetric();
    ShowUnitSystem();
}

void TFrmSetup::rbImperialClick() {
    FSettings.SetImperial();
    ShowUnitSystem();
}

// Each unit system keeps its own usable spread, and a legal preset its law.
void TFrmSetup::ShowUnitSystem() {
    eUsableSpread->setText(QString::fromStdString(platform::FloatToStr(FSettings.UsableSpread())));
    ShowEnergyLimit();
    UpdateCaptions();
}

void TFrmSetup::EntryChange(const TNumberEntry& Entry) {
    double Value = 0;
    if (!platform::TryStrToFloat(Entry.Edit->text().toStdString(), Value))
        Value = Entry.Fallback;
    (FSettings.*Entry.Setter)(Value);
}

// Writing the stepped value back runs the change handler again, so the stored value ends as the
// number shown, rounded to the pattern.
void TFrmSetup::EntryStep(const TNumberEntry& Entry, double Direction) {
    double Value = 0;
    if (!platform::TryStrToFloat(Entry.Edit->text().toStdString(), Value))
        return;
    Value += Direction * Entry.Step;
    (FSettings.*Entry.Setter)(Value);
    Entry.Edit->setText(QString::fromStdString(platform::FormatFloat(Entry.Pattern, Value)));
}
