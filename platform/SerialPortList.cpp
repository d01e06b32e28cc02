#include "platform/SerialPortList.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <mutex>

namespace platform {
namespace {

namespace fs = std::filesystem;

// The first line of a sysfs attribute without its line end; empty when it cannot be read.
std::string ReadAttribute(const fs::path& File) {
    std::ifstream Stream(File);
    std::string Line;
    std::getline(Stream, Line);
    while (!Line.empty() && (Line.back() == '\n' || Line.back() == ' ' || Line.back() == '\r'))
        Line.pop_back();
    return Line;
}

bool IsLegacySerialName(std::string_view Name) {
    return Name.size() > 4 && Name.starts_with("ttyS") &&
           std::all_of(Name.begin() + 4, Name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The 8250 driver registers every legacy port the platform might have; a port without a UART
// behind it reports type 0 (PORT_UNKNOWN) and cannot be opened usefully.
bool IsLegacyPortWithoutUart(const std::string& Name, const fs::path& Entry) {
    if (!IsLegacySerialName(Name))
        return false;
    const std::string Type = ReadAttribute(Entry / "type");
    return Type.empty() || Type == "0";
}

std::string JoinNonEmpty(const std::string& First, const std::string& Second) {
    if (First.empty() || Second.empty())
        return First + Second;
    return First + " " + Second;
}

// A USB serial device's interface sits below the USB device, the folder with idVendor, whose
// manufacturer and product strings name the adapter.
std::string UsbDescription(const fs::path& Device) {
    std::error_code Error;
    for (fs::path Folder = fs::canonical(Device, Error); !Error && Folder.has_relative_path();
         Folder = Folder.parent_path()) {
        if (fs::exists(Folder / "idVendor", Error))
            return JoinNonEmpty(ReadAttribute(Folder / "manufacturer"),
                                ReadAttribute(Folder / "product"));
    }
    return "";
}

void AddKernelDevices(const fs::path& TtyClassFolder, std::vector<TSerialPortInfo>& Ports) {
    std::error_code Error;
    for (const fs::directory_entry& Entry : fs::directory_iterator(TtyClassFolder, Error)) {
        const std::string Name = Entry.path().filename().string();
        std::error_code DriverError;
        const fs::path Driver = fs::canonical(Entry.path() / "device" / "driver", DriverError);
        if (DriverError || IsLegacyPortWithoutUart(Name, Entry.path()))
            continue;
        const std::string Usb = UsbDescription(Entry.path() / "device");
        Ports.push_back({Name, Usb.empty() ? Driver.filename().string() : Usb});
    }
}

void AddExtraPorts(std::string_view ExtraPorts, std::vector<TSerialPortInfo>& Ports) {
    while (!ExtraPorts.empty()) {
        const std::size_t End = std::min(ExtraPorts.find(':'), ExtraPorts.size());
        if (End > 0)
            Ports.push_back({std::string(ExtraPorts.substr(0, End)), ""});
        ExtraPorts.remove_prefix(std::min(End + 1, ExtraPorts.size()));
    }
}

std::string FoldedCase(std::string Text) {
    for (char& c : Text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return Text;
}

// Letter case ignored ("ttyACM0" before "TTYS0" before "ttyUSB0"); names that differ only in
// case keep a fixed order.
bool NameLess(const TSerialPortInfo& A, const TSerialPortInfo& B) {
    const std::string FoldedA = FoldedCase(A.Name);
    const std::string FoldedB = FoldedCase(B.Name);
    return FoldedA != FoldedB ? FoldedA < FoldedB : A.Name < B.Name;
}

} // namespace

std::vector<TSerialPortInfo> ListSerialPortDevices(const fs::path& TtyClassFolder,
                                                   std::string_view ExtraPorts) {
    std::vector<TSerialPortInfo> Ports;
    AddKernelDevices(TtyClassFolder, Ports);
    AddExtraPorts(ExtraPorts, Ports);
    std::stable_sort(Ports.begin(), Ports.end(), NameLess);
    const auto SameName = [](const TSerialPortInfo& A, const TSerialPortInfo& B) {
        return A.Name == B.Name;
    };
    Ports.erase(std::unique(Ports.begin(), Ports.end(), SameName), Ports.end());
    return Ports;
}

namespace {

struct TOfferedPorts {
    std::mutex Lock;
    std::vector<TSerialPortInfo> Ports;
};

TOfferedPorts& OfferedPorts() {
    static TOfferedPorts Offered;
    return Offered;
}

} // namespace

std::vector<TSerialPortInfo> ListSerialPortDevices() {
    const char* Extra = std::getenv("TARVEX_PORTS");
    std::vector<TSerialPortInfo> Ports =
        ListSerialPortDevices("/sys/class/tty", Extra ? Extra : "");
    TOfferedPorts& Offered = OfferedPorts();
    const std::lock_guard Guard(Offered.Lock);
    for (const TSerialPortInfo& Port : Offered.Ports) {
        std::erase_if(Ports,
                      [&Port](const TSerialPortInfo& Listed) { return Listed.Name == Port.Name; });
        Ports.insert(std::upper_bound(Ports.begin(), Ports.end(), Port, NameLess), Port);
    }
    return Ports;
}

void OfferSerialPort(const TSerialPortInfo& Port) {
    WithdrawSerialPort(Port.Name);
    TOfferedPorts& Offered = OfferedPorts();
    const std::lock_guard Guard(Offered.Lock);
    Offered.Ports.push_back(Port);
}

void WithdrawSerialPort(const std::string& Name) {
    TOfferedPorts& Offered = OfferedPorts();
    const std::lock_guard Guard(Offered.Lock);
    std::erase_if(Offered.Ports,
                  [&Name](const TSerialPortInfo& Port) { return Port.Name == Name; });
}

} // namespace platform
