#pragma once

// The serial ports a user can pick: the kernel's serial devices, plus the device paths that the
// environment variable TARVEX_PORTS names (colon-separated), so that pseudo-terminals and the
// chronograph simulator can be offered too.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct TSerialPortInfo {
    std::string Name;        // what the port opens with: "ttyUSB0", or a full path
    std::string Description; // "FTDI FT232R USB UART", the driver's name, or empty

    bool operator==(const TSerialPortInfo&) const = default;
};

// The ports of /sys/class/tty, of TARVEX_PORTS and those this process offers itself, sorted by
// name without regard to letter case, each name once.
std::vector<TSerialPortInfo> ListSerialPortDevices();

// A device of this process's own (the simulated chronograph's pseudo-terminal) joins the list
// while it exists.
void OfferSerialPort(const TSerialPortInfo& Port);
void WithdrawSerialPort(const std::string& Name);

// The same from a given tty class folder and variable value.
std::vector<TSerialPortInfo> ListSerialPortDevices(const std::filesystem::path& TtyClassFolder,
                                                   std::string_view ExtraPorts);

} // namespace platform
