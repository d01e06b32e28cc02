// The setup and live windows, and the About box of the logo.

#include "app/UMainForm.h"
#include "platform/ModalDialogs.h"
#include "windows/UFrmLive.h"
#include "windows/UFrmSetup.h"

#include <QCoreApplication>

void TMainForm::btnSetupClick() {
    TFrmSetup Setup(FSettings, this, &FPhone);
    platform::ModalDialogs().Execute(Setup);
}

void TMainForm::btnLiveClick() {
    auto* Live = new TFrmLive(FSettings, this, &FPhone);
    Live->ShowPlaceholders();
    LiveUpdate = [this, Live](const TShotValues& Shot, int ShotNumber) {
        Live->UpdateReadout(Shot.Speed, FSettings.SpeedUnit(), FSettings.PeletWeight(),
                            FSettings.WeightUnit(), Shot.Energy, FSettings.EnergyUnit(), ShotNumber,
                            {FSeries.SpeedLimit(), FSeries.EnergyLimit()});
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
