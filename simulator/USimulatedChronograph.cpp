#include "simulator/USimulatedChronograph.h"

#include "platform/SerialPortList.h"
#include "simulator/RecordGenerator.h"

#include <random>

TSimulatedChronograph::TSimulatedChronograph(const std::string& Description)
    : FSender([this] { Send(); }) {
    platform::OfferSerialPort({FDevice.SlavePath(), Description});
}

TSimulatedChronograph::~TSimulatedChronograph() {
    platform::WithdrawSerialPort(FDevice.SlavePath());
    FStop.RequestStop();
    FSender.join();
}

void TSimulatedChronograph::Send() {
    // A spring air rifle around 175 m/s with the spread of a good one; every run differs.
    chronosim::TRecordOptions Records;
    Records.Mean = 175.0;
    Records.Spread = 1.5;
    Records.Seed = std::random_device()();
    chronosim::TRecordGenerator Generator(Records);
    chronosim::TSendOptions Sending;
    Sending.PauseMin = std::chrono::milliseconds(1000);
    Sending.PauseMax = std::chrono::milliseconds(3000);
    Sending.Seed = Records.Seed;
    chronosim::TPtyLineWriter Writer(FDevice);
    try {
        chronosim::RunSender(Generator, Sending, std::ref(Writer), FStop);
    } catch (const std::exception&) {
        // Only a broken pseudo-terminal stops the simulation; the program goes on without it.
    }
}
