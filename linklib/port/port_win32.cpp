// The Windows side of the port map: port n is Windows' own COMn unless
// [Ports] says otherwise, the ports Windows knows, probing a port without
// keeping it, and the words for this platform's port faults.
#include "port/port_platform.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/win32_text.h"
#include "port/serial_port_win32.h"

namespace q7m {

std::vector<std::string> serialDevicesPresent() {
    // The serial ports of the machine, as the drivers register them.
    std::vector<std::pair<long, std::string>> found;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD nameLength = 256, type = 0;
            wchar_t value[64] = {};
            DWORD valueBytes = sizeof value - sizeof(wchar_t);
            const LONG rc = ::RegEnumValueW(key, i, name, &nameLength, nullptr, &type,
                                            reinterpret_cast<BYTE*>(value), &valueBytes);
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc != ERROR_SUCCESS || type != REG_SZ) continue;
            const std::string port = platform::narrow(value);
            long number = 0;
            if (port.size() > 3 && port.compare(0, 3, "COM") == 0) number = std::strtol(port.c_str() + 3, nullptr, 10);
            found.emplace_back(number, port);
        }
        ::RegCloseKey(key);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> ports;
    for (auto& [number, port] : found) ports.push_back(port);
    return ports;
}

namespace detail {

std::string defaultDevice(int number) { return number >= 1 ? "COM" + std::to_string(number) : std::string(); }

std::string defaultRule(int) { return "Windows' own port of that name"; }

std::string exampleDevice() { return "COM7"; }

PortStatus probeDevice(const std::string& device) {
    Win32SerialPort port(device);
    PortStatus s = port.open(9600);
    port.close();
    return s;
}

std::unique_ptr<Port> makeDevicePort(const std::string& device) { return std::make_unique<Win32SerialPort>(device); }

std::string notFoundSentence(const PortMapping& m, const std::string& fixMap) {
    const std::string look = "Windows' Device Manager lists the ports present under \"Ports (COM & LPT)\"";
    if (!m.fromTable)
        return m.name + " does not exist on this computer: plug the adapter in and choose the port number it got (" +
               look + "), or " + fixMap + ".";
    return m.name + " is " + m.target.text + ", which does not exist on this computer: plug the adapter in, or " +
           fixMap + " (" + look + ").";
}

std::string noPermissionSentence(const PortMapping&, const std::string& where) {
    return "Windows refused access to " + where +
           ": most often another program holds the port (a terminal program, another copy of the editor or q7mctl): "
           "close it, then connect again; if none does, check the adapter's driver in the Device Manager.";
}

std::string codeWords(const PortStatus& s) {
    if (s.systemCode) return platform::windowsErrorText(static_cast<unsigned long>(s.code));
    // errno values: the C runtime knows the classic ones, not the network
    // ones the socket layer uses.
    switch (s.code) {
    case ECONNRESET: return "Connection reset by peer";
    case ECONNREFUSED: return "Connection refused";
    case ECONNABORTED: return "Connection aborted";
    case ETIMEDOUT: return "Connection timed out";
    case EHOSTUNREACH: return "No route to host";
    case ENETUNREACH: return "Network is unreachable";
    case ENOTCONN: return "Transport endpoint is not connected";
    case EWOULDBLOCK: return "Operation would block";
    case EINPROGRESS: return "Operation now in progress";
    default: return std::strerror(s.code);
    }
}

}  // namespace detail

}  // namespace q7m
