#pragma once

// A chronograph played by the program itself (option --simulate): a pseudo-terminal that sends
// a shot every one to three seconds while someone has it open, offered in the port list as
// "Simulated chronograph" for the whole run.

#include "platform/PseudoTerminal.h"
#include "simulator/Sender.h"

#include <memory>
#include <string>
#include <thread>

class TSimulatedChronograph {
public:
    // Description is the port list's tooltip for the device.
    explicit TSimulatedChronograph(const std::string& Description);
    ~TSimulatedChronograph();
    TSimulatedChronograph(const TSimulatedChronograph&) = delete;
    TSimulatedChronograph& operator=(const TSimulatedChronograph&) = delete;

    const std::string& PortName() const { return FDevice.SlavePath(); }

private:
    void Send();

    platform::TPseudoTerminal FDevice;
    chronosim::TStopSignal FStop;
    std::thread FSender;
};
