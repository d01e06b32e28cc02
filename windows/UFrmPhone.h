#pragma once

// The window that shows the live read-out on a phone: the address with its token as a QR code
// for the phone's camera and as text, how many phones read it, and the switch that ends
// sharing. Closing the window leaves sharing as it is, so that the phones keep reading.

#include "windows/MainSettings.h"
#include "windows/ReadoutSharing.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

class TFrmPhone : public QDialog {
public:
    TFrmPhone(TReadoutSharing& Sharing, const TMainSettings& Settings, QWidget* Parent);
    ~TFrmPhone() override;

    // Switches sharing off, or on again with a new address.
    void btnSwitchClick();
    // Shows the state of sharing, its addresses and the code of the chosen one.
    void ShowSharing();
    void cbAddressSelect();

    QLabel* const lblHint;
    QLabel* const imgCode;
    QComboBox* const cbAddress;
    QLabel* const lblPhones;
    QLabel* const lblWarning;
    QPushButton* const btnSwitch;
    QPushButton* const btnClose;

private:
    QString Caption(const char* English) const;

    TReadoutSharing& FSharing;
    const TMainSettings& FSettings;
};

// Switches sharing on unless it is, then shows the window over Parent; a port that cannot be
// had is told in the error box, and the window then offers to try again.
void ShowOnPhone(TReadoutSharing& Sharing, const TMainSettings& Settings, QWidget* Parent);
