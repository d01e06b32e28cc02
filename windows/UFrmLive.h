#pragma once

// The live read-out: the latest shot's number, speed, pellet weight and energy in type large
// enough to read from the firing line, on a white window without a frame that covers the
// screen. Speed and energy turn red at their limits. A small button in the bottom-right corner
// opens a menu with the setup window, the read-out on a phone and a command that closes it; Escape
// closes it too, so that a window without a frame never traps the user.

#include "series/ReadoutTexts.h"
#include "series/USeries.h"
#include "windows/MainSettings.h"
#include "windows/ReadoutSharing.h"

#include <QWidget>
#include <functional>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QToolButton;
class TFittingLabel;

// What the main window calls with its last shot, and the shot's number, while a read-out is open.
using TLiveUpdate = std::function<void(const TShotValues& Shot, int ShotNumber)>;

class TFrmLive : public QWidget {
    Q_OBJECT

public:
    // Parent is the main window: the read-out covers the screen the main window is on. It
    // starts with placeholders in the current units. With Sharing, its menu shows the read-out
    // on a phone too.
    TFrmLive(TMainSettings& Settings, QWidget* Parent, TReadoutSharing* Sharing = nullptr);

    // The placeholders shown until the first shot; they use commas whatever the locale.
    void ShowPlaceholders();
    // Speed and energy with two decimals, or as many more as keep each on its side of its limit.
    void UpdateReadout(double Speed, const std::string& SpeedUnit, double PeletWeight,
                       const std::string& WeightUnit, double Energy, const std::string& EnergyUnit,
                       int ShotNumber, const TReadoutLimits& Limits = {});

    void FormShow();
    void FormResize();
    void btnMenuClick();
    void miSetupClick();
    void miPhoneClick();
    void miCloseliveClick();

    QLabel* const imgLogo;
    TFittingLabel* const lblShoot;
    TFittingLabel* const lblSpeed;
    TFittingLabel* const lblPeletWeight;
    TFittingLabel* const lblEnergy;
    QToolButton* const btnMenu;
    QMenu* const PopMenu;
    QAction* const miSetup;
    QAction* const miPhone;
    QAction* const miCloselive;

protected:
    void showEvent(QShowEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    void CoverOwnerScreen();

    TMainSettings& FSettings;
    TReadoutSharing* const FSharing;
};
