// port_map.h - what a port number stands for, and why a port cannot be used.
//
// The library, the editor and q7mctl name ports by number ("COMn").  This
// is the one place that turns a number into a device or a network address
// (the [Ports] table of ZelkSerial.ini, read by the library's own settings
// parser: section and key names are not case-sensitive, blanks around them
// do not matter), and that explains a port failure in one sentence naming
// the cause and the fix.  It is linked statically into the library and into
// the programs that use it (q7m_port), so the editor's hints and the
// library's behaviour cannot drift apart.
#ifndef Q7M_PORT_PORT_MAP_H
#define Q7M_PORT_PORT_MAP_H

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "port/port.h"

namespace q7m {

// Where a port number leads.
struct PortTarget {
    enum class Kind {
        None,     // nothing stands for this port
        Device,   // a serial device: `device`
        Socket,   // raw TCP to a serial server: socket://HOST:PORT
        Rfc2217,  // telnet with the COM-PORT-OPTION: rfc2217://HOST:PORT[?OPTIONS]
        Invalid,  // an entry that cannot be understood: `problem` says why
    };
    Kind kind = Kind::None;
    std::string text;  // as written in the port map, or the device found
    std::string device;
    std::string host;
    int tcpPort = 0;
    // URL options (network ports).
    int connectTimeoutMs = 5000;   // timeout=SECONDS
    bool ignoreSetControl = false; // ign_set_control: do not wait for the server's confirmations
    std::string logging;           // logging=LEVEL: the line trace records the negotiation too
    std::string problem;
};

// Reads one port map entry: a device path, socket://HOST:PORT or
// rfc2217://HOST:PORT[?OPTIONS] ([IPv6] hosts in brackets).
PortTarget parsePortTarget(std::string_view text);

struct PortMapping {
    int number = 1;        // 0 is taken as 1, as InitDLL does
    std::string name;      // "COM3"
    PortTarget target;
    bool fromTable = false;  // from [Ports]; otherwise the n-th serial device found
    std::string iniFile;     // the ZelkSerial.ini that was read
};

// What port `number` stands for now.
PortMapping mapPort(int number);

// The serial devices present, in the order of the default mapping: USB
// adapters (ttyUSB, then ttyACM), on-board UARTs the kernel reports as real,
// then ttyAMA.
std::vector<std::string> serialDevicesPresent();

// One line for people: "COM1 is /dev/ttyUSB0 (from [Ports] in
// /home/a/.config/q7m/ZelkSerial.ini)", "COM2 is /dev/ttyS0 (the 2nd serial
// device found; not in [Ports] of ...)", "COM3 is not mapped ...".
std::string describePort(int number);

// Looks at port `number` again to find why it cannot be used: the mapping,
// then the device (exists, is a serial device, may be opened, is not held
// by another program) or, for a network port, an open as the library does
// it (the name, the connection, a server that says it is busy, the RFC 2217
// negotiation and the line settings it confirms), within the port's
// time-out.  Sends nothing to the unit and keeps nothing open.  A fault of
// None means nothing is wrong with the port itself (then the unit is the
// suspect).
PortStatus diagnosePort(int number);

// Whether port `number` can run the line at `bitsPerSecond` (a raw TCP port
// cannot change its speed).  The sentence says why not.
PortStatus portRateSupported(int number, int bitsPerSecond);

// The sentence for `status` on `mapping`; `status.sentence`, when a port
// filled it, is a detail that the sentence takes in.
std::string explainFault(const PortMapping& mapping, const PortStatus& status);

// Classifies the errno of a failed device open.
PortFault faultFromOpenErrno(int err);

// A new, closed port object for `target` (nullptr for None and Invalid);
// it may write notes for the line trace to `notes`.
std::unique_ptr<Port> makePort(const PortTarget& target, PortNotes notes = {});

}  // namespace q7m

#endif
