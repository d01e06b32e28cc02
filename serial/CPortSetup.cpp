#include "serial/CPortSetup.h"

#include "platform/ModalDialogs.h"
#include "platform/ScopeGuard.h"

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <exception>
#include <iterator>
#include <memory>

namespace {

// The desktop's sans-serif font at 8 points on a 96 dpi screen.
QFont DialogFont() {
    QFont Font;
    Font.setFamilies({QStringLiteral("Sans Serif")});
    Font.setStyleHint(QFont::SansSerif);
    Font.setPixelSize(11);
    return Font;
}

QLabel* NewLabel(QWidget* Parent, int Top, const char* Text) {
    auto* Label = new QLabel(QString::fromUtf8(Text), Parent);
    Label->move(8, Top);
    Label->adjustSize();
    return Label;
}

TComComboBox* NewCombo(QWidget* Parent, int Top, TComProperty Property) {
    auto* Combo = new TComComboBox(Parent);
    Combo->setGeometry(80, Top, 129, 21);
    Combo->SetComProperty(Property);
    return Combo;
}

QPushButton* NewButton(QWidget* Parent, int Left, const char* Text) {
    auto* Button = new QPushButton(QString::fromUtf8(Text), Parent);
    Button->setGeometry(Left, 184, 75, 25);
    return Button;
}

} // namespace

// Without a parent Qt centres the dialog on the screen when it is shown.
TComSetupFrm::TComSetupFrm(QWidget* Parent) : QDialog(Parent) {
    setWindowTitle(QStringLiteral("Setup"));
    setFont(DialogFont());
    setFixedSize(231, 216);
    GroupBox1 = new QGroupBox(QStringLiteral(" Settings "), this);
    GroupBox1->setGeometry(8, 8, 217, 169);
    Label1 = NewLabel(GroupBox1, 24, "Port");
    Label2 = NewLabel(GroupBox1, 48, "Baud rate");
    Label3 = NewLabel(GroupBox1, 72, "Data bits");
    Label4 = NewLabel(GroupBox1, 96, "Stop bits");
    Label5 = NewLabel(GroupBox1, 120, "Parity");
    Label6 = NewLabel(GroupBox1, 144, "Flow control");
    Combo1 = NewCombo(GroupBox1, 16, cpPort);
    Combo2 = NewCombo(GroupBox1, 40, cpBaudRate);
    Combo3 = NewCombo(GroupBox1, 64, cpDataBits);
    Combo4 = NewCombo(GroupBox1, 88, cpStopBits);
    Combo5 = NewCombo(GroupBox1, 112, cpParity);
    Combo6 = NewCombo(GroupBox1, 136, cpFlowControl);
    Button1 = NewButton(this, 70, "OK");
    Button1->setDefault(true);
    Button2 = NewButton(this, 150, "Cancel");
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    QWidget* const TabOrder[] = {Combo1, Combo2, Combo3, Combo4, Combo5, Combo6, Button1, Button2};
    for (std::size_t Index = 1; Index < std::size(TabOrder); ++Index)
        setTabOrder(TabOrder[Index - 1], TabOrder[Index]);
}

void RunPortSetupDialog(TCustomComPort& Port) {
    const auto Form = std::make_unique<TComSetupFrm>();
    const std::array<TComComboBox*, 6> Combos = Form->Combos();
    for (TComComboBox* Combo : Combos)
        Combo->SetComPort(&Port);
    for (TComComboBox* Combo : Combos)
        Combo->ReadFromPort();
    if (platform::ModalDialogs().Execute(*Form) != QDialog::Accepted)
        return;
    // The choices taken before one that fails still reach the device, so that the port and the
    // device never disagree; the failure is reported afterwards.
    std::exception_ptr Failed;
    {
        Port.BeginSettingsUpdate();
        const platform::TScopeGuard EndUpdate([&Port] { Port.LeaveSettingsUpdate(); });
        try {
            for (TComComboBox* Combo : Combos)
                Combo->ApplyToPort();
        } catch (...) {
            Failed = std::current_exception();
        }
    }
    Port.ApplyAllSettings();
    if (Failed)
        std::rethrow_exception(Failed);
}
