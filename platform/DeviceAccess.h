#pragma once

// Who may use a device: what a user needs to know when the system refuses a serial port.

#include <string>

namespace platform {

// The group that owns the device of a port name ("ttyUSB0" or a path), normally "dialout";
// empty when the device cannot be looked at.
std::string DeviceGroupName(const std::string& PortName);

// The login name of the user running the program.
std::string CurrentUserName();

// The full path a port name opens ("ttyUSB0" is /dev/ttyUSB0).
std::string DevicePath(const std::string& PortName);

} // namespace platform
