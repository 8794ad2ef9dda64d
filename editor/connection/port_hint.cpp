#include "connection/port_hint.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <unistd.h>

namespace zelk {

namespace {

std::string comName(int port) { return "COM " + std::to_string(port); }

std::string noAnswer(int port, const std::string& device) {
    return "No answer on " + comName(port) + (device.empty() ? std::string() : " (" + device + ")") +
           ": check that the unit is switched on and cabled to this port, or choose another port in "
           "Options > COM Port Selection.";
}

// The [Ports] entry "COMn=/dev/..." of ZelkSerial.ini, or "".
std::string mappedDevice(const std::string& ini, int port) {
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
    return device;
}

}  // namespace

std::string portHint(const std::string& configDir, int port) {
    if (port <= 0) port = 1;
    const std::string ini = configDir + "/ZelkSerial.ini";
    const std::string device = mappedDevice(ini, port);
    // Without a [Ports] entry the library picks the port's device itself.
    if (device.empty()) return noAnswer(port, device);
    if (::access(device.c_str(), F_OK) != 0)
        return comName(port) + " is " + device + ", which does not exist: plug the adapter in, or correct [Ports] in " +
               ini + ".";
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == EACCES || errno == EPERM)
            return "Permission denied on " + device +
                   ": add your user to the 'dialout' group (sudo usermod -aG dialout $USER) and log in again.";
        if (errno == EBUSY) return device + " is in use by another program: close it and connect again.";
        return noAnswer(port, device);
    }
    // The link library takes the port exclusively; so may other programs.
    const bool inUse = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    if (inUse) return device + " is in use by another program: close it and connect again.";
    return noAnswer(port, device);
}

std::string unitStoppedHint(int port) {
    if (port <= 0) port = 1;
    return "The unit on " + comName(port) +
           " answered, then stopped answering: check the cable and the unit, then press Connect again.";
}

}  // namespace zelk
