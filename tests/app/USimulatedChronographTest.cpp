#include "simulator/USimulatedChronograph.h"

#include "platform/SerialPortList.h"
#include "serial/CPort.h"
#include "series/ShotReceiver.h"
#include "tests/support/WaitUntil.h"

#include <gtest/gtest.h>

namespace {

bool Listed(const std::string& Name, const std::string& Description) {
    for (const platform::TSerialPortInfo& Port : platform::ListSerialPortDevices())
        if (Port.Name == Name)
            return Port.Description == Description;
    return false;
}

TEST(SimulatedChronograph, OfferedInThePortListWhileItLivesAndSendsShots) {
    std::string Name;
    {
        TSimulatedChronograph Simulated("Simulated chronograph");
        Name = Simulated.PortName();
        EXPECT_TRUE(Listed(Name, "Simulated chronograph"));
        TComPort Port;
        Port.SetPort(Name);
        TSeries Series;
        const std::vector<TData>& Shots = Series.Shots();
        TShotReceiver Receiver(Series);
        Port.OnRxChar = [&](QObject*, int Count) { Receiver.ReceiveText(Port.ReadText(Count)); };
        Port.OpenPort();
        // A shot every one to three seconds: two arrive within ten.
        ASSERT_TRUE(WaitUntil([&] { return Shots.size() >= 2; }, std::chrono::seconds(10)));
        for (const TData& Shot : Shots) {
            EXPECT_EQ(Shot.SpeedUnit(), "M/S");
            EXPECT_NEAR(Shot.Speed(), 175.0, 15.0);
        }
        Port.ClosePort();
    }
    EXPECT_FALSE(Listed(Name, "Simulated chronograph"));
}

} // namespace
