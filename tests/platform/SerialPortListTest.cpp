#include "platform/SerialPortList.h"

#include "tests/platform/PlatformTestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>

using platform::ListSerialPortDevices;
using platform::TSerialPortInfo;
using tests::TTempFolder;
using tests::WriteFileText;

namespace fs = std::filesystem;

namespace {

// A small copy of sysfs: device folders under devices/, drivers under bus/, and class/tty
// entries that are links into devices/, the way the kernel lays them out.
class TFakeSysfs {
public:
    fs::path TtyClass() const { return Root() / "class/tty"; }

    // A tty whose device is Device (relative to devices/), bound to Driver; Device empty for a
    // virtual terminal without a device.
    fs::path AddTty(const std::string& Name, const std::string& Device, const std::string& Driver) {
        const fs::path TtyFolder =
            Root() / "devices" / (Device.empty() ? "virtual" : Device) / "tty" / Name;
        fs::create_directories(TtyFolder);
        fs::create_directories(TtyClass());
        fs::create_directory_symlink(TtyFolder, TtyClass() / Name);
        if (Device.empty())
            return TtyFolder;
        const fs::path DriverFolder = Root() / "bus/drivers" / Driver;
        fs::create_directories(DriverFolder);
        fs::create_directory_symlink(Root() / "devices" / Device, TtyFolder / "device");
        if (!fs::exists(Root() / "devices" / Device / "driver"))
            fs::create_directory_symlink(DriverFolder, Root() / "devices" / Device / "driver");
        return TtyFolder;
    }

    void Attribute(const fs::path& Folder, const std::string& Name, const std::string& Text) {
        fs::create_directories(Folder);
        WriteFileText((Folder / Name).string(), Text + "\n");
    }

    fs::path Devices() const { return Root() / "devices"; }

private:
    fs::path Root() const { return Folder.Path(); }
    TTempFolder Folder;
};

class SerialPortListTest : public testing::Test {
protected:
    void SetUp() override {
        const fs::path Usb = Sysfs.Devices() / "pci0000:00/usb1/1-1";
        Sysfs.Attribute(Usb, "idVendor", "0403");
        Sysfs.Attribute(Usb, "manufacturer", "FTDI");
        Sysfs.Attribute(Usb, "product", "FT232R USB UART");
        Sysfs.AddTty("ttyUSB0", "pci0000:00/usb1/1-1/1-1:1.0/ttyUSB0", "ftdi_sio");

        const fs::path Acm = Sysfs.Devices() / "pci0000:00/usb1/1-2";
        Sysfs.Attribute(Acm, "idVendor", "2341");
        Sysfs.Attribute(Acm, "product", "Chrony");
        Sysfs.AddTty("ttyACM0", "pci0000:00/usb1/1-2/1-2:1.0", "cdc_acm");

        Sysfs.Attribute(Sysfs.AddTty("ttyS0", "platform/serial8250/port0", "serial8250"), "type",
                        "4");
        Sysfs.Attribute(Sysfs.AddTty("ttyS1", "platform/serial8250/port1", "serial8250"), "type",
                        "0");
        Sysfs.AddTty("ttyS2", "platform/serial8250/port2", "serial8250");
        Sysfs.AddTty("ttyAMA0", "platform/fe201000.serial", "uart-pl011");
        Sysfs.AddTty("tty0", "", "");
        Sysfs.AddTty("ptmx", "", "");
    }

    TFakeSysfs Sysfs;
};

} // namespace

TEST_F(SerialPortListTest, ListsDevicesWithDriversNamedByUsbStringsOrDriver) {
    const std::vector<TSerialPortInfo> Expected = {
        {"ttyACM0", "Chrony"},
        {"ttyAMA0", "uart-pl011"},
        {"ttyS0", "serial8250"}, // ttyS1 (type 0) and ttyS2 (no type) have no UART
        {"ttyUSB0", "FTDI FT232R USB UART"},
    };
    EXPECT_EQ(ListSerialPortDevices(Sysfs.TtyClass(), ""), Expected);
}

TEST_F(SerialPortListTest, AddsExtraPathsSortedWithoutRegardToCaseEachOnce) {
    const auto Ports = ListSerialPortDevices(
        Sysfs.TtyClass(), ":/tmp/Sim:/dev/pts/3::/dev/pts/3:/dev/pts/10:/tmp/sim:");
    std::vector<std::string> Names;
    for (const TSerialPortInfo& Port : Ports) {
        Names.push_back(Port.Name);
        if (Port.Name.starts_with('/')) {
            EXPECT_EQ(Port.Description, "");
        }
    }
    EXPECT_EQ(Names, (std::vector<std::string>{"/dev/pts/10", "/dev/pts/3", "/tmp/Sim", "/tmp/sim",
                                               "ttyACM0", "ttyAMA0", "ttyS0", "ttyUSB0"}));
}

TEST(SerialPortList, MissingTtyClassGivesOnlyTheExtraPaths) {
    TTempFolder Empty;
    EXPECT_EQ(ListSerialPortDevices(Empty.Path() / "class/tty", "/dev/pts/2"),
              (std::vector<TSerialPortInfo>{{"/dev/pts/2", ""}}));
}

TEST(SerialPortList, ThePublicListReadsTheEnvironment) {
    const char* Saved = std::getenv("TARVEX_PORTS");
    const std::string Before = Saved ? Saved : "";
    ::setenv("TARVEX_PORTS", "/nonexistent/zz-sim-b:/nonexistent/ZZ-sim-a", 1);
    const auto Ports = ListSerialPortDevices();
    Saved ? ::setenv("TARVEX_PORTS", Before.c_str(), 1) : ::unsetenv("TARVEX_PORTS");

    ASSERT_GE(Ports.size(), 2u);
    EXPECT_EQ(Ports[0].Name, "/nonexistent/ZZ-sim-a"); // "/" sorts before device names
    EXPECT_EQ(Ports[1].Name, "/nonexistent/zz-sim-b");
}
