#include "connection/port_hint.h"

#include <cerrno>
#include <fstream>
#include <unistd.h>

namespace zelk {

std::string portHint(const std::string& configDir, int port) {
    if (port <= 0) port = 1;
    const std::string ini = configDir + "/ZelkSerial.ini";
    // The port table entry, if any: "COMn=/dev/..." in the [Ports] section.
    std::ifstream in(ini);
    std::string line, section, device;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            section = line;
            continue;
        }
        const auto eq = line.find('=');
        if (section == "[Ports]" && eq != std::string::npos && line.substr(0, eq) == "COM" + std::to_string(port))
            device = line.substr(eq + 1);
    }
    if (device.empty()) return {};
    if (::access(device.c_str(), F_OK) != 0)
        return "COM " + std::to_string(port) + " is " + device + ", which does not exist (see [Ports] in " + ini + ").";
    if (::access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES)
        return "Permission denied on " + device +
               ": add your user to the 'dialout' group (sudo usermod -aG dialout $USER) and log in again.";
    return {};
}

}  // namespace zelk
