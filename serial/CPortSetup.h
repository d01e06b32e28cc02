#pragma once

// The port setup dialog: the port name, baud rate, data bits, stop bits, parity and flow
// control of one port, each in a combo box bound to the port. Its texts are fixed English.

#include "serial/CPortCtl.h"

#include <QDialog>
#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

class TComSetupFrm : public QDialog {
public:
    explicit TComSetupFrm(QWidget* Parent = nullptr);

    // The six combos in the order they are bound, read and applied.
    std::array<TComComboBox*, 6> Combos() const {
        return {Combo1, Combo2, Combo3, Combo4, Combo5, Combo6};
    }

    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    TComComboBox* Combo1; // port
    TComComboBox* Combo2; // baud rate
    TComComboBox* Combo3; // data bits
    TComComboBox* Combo4; // stop bits
    TComComboBox* Combo5; // parity
    TComComboBox* Combo6; // flow control
    QPushButton* Button1; // OK
    QPushButton* Button2; // Cancel
};

// Shows the dialog for Port, modally. OK writes the six choices inside one settings update, so
// an open port receives its new line settings once; Cancel changes nothing. An error while
// writing leaves through the exception, after the update has ended; the choices written before
// it then reach the device with the next change or opening.
void RunPortSetupDialog(TCustomComPort& Port);
