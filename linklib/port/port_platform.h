// port_platform.h - what the port map asks of the platform it runs on.
// Internal to the port layer: port_posix.cpp and port_win32.cpp.
#ifndef Q7M_PORT_PORT_PLATFORM_H
#define Q7M_PORT_PORT_PLATFORM_H

#include <memory>
#include <string>

#include "port/port.h"
#include "port/port_map.h"

namespace q7m::detail {

// The device port `number` stands for when [Ports] has no entry for it
// ("" when none), and that rule in words for describePort.
std::string defaultDevice(int number);
std::string defaultRule(int number);

// A device name as a [Ports] entry would give it, for messages.
std::string exampleDevice();

// Opens the device the way the port would and lets it go at once: exists,
// is a serial device, may be opened, is not held by another program.
PortStatus probeDevice(const std::string& device);

// A new, closed port object for a local serial device.
std::unique_ptr<Port> makeDevicePort(const std::string& device);

// The sentences whose cause and fix depend on the platform.
std::string notFoundSentence(const PortMapping& m, const std::string& fixMap);
std::string noPermissionSentence(const PortMapping& m, const std::string& where);

// The system's words for `status.code`.
std::string codeWords(const PortStatus& status);

}  // namespace q7m::detail

#endif
