#include "port/port_map.h"

// What a port number stands for and the sentences for port faults, alike
// on every platform; what differs (which devices exist, probing one, the
// words for a device fault) is in port_posix.cpp and port_win32.cpp.
#include "port/port_map.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "port/network_port.h"
#include "port/port_platform.h"
#include "profile.h"

namespace q7m {

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string trimmed(std::string_view s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return std::string(s.substr(b, e - b + 1));
}

PortTarget invalid(std::string text, std::string problem) {
    PortTarget t;
    t.kind = PortTarget::Kind::Invalid;
    t.text = std::move(text);
    t.problem = std::move(problem);
    return t;
}

}  // namespace

std::string codeText(const PortStatus& s) {
    return (s.systemCode ? "Windows error " : "errno ") + std::to_string(s.code) + ", " + detail::codeWords(s);
}

const char* faultName(PortFault f) {
    switch (f) {
    case PortFault::None: return "ok";
    case PortFault::NotMapped: return "not-mapped";
    case PortFault::BadAddress: return "bad-address";
    case PortFault::NotFound: return "not-found";
    case PortFault::NoPermission: return "no-permission";
    case PortFault::InUse: return "in-use";
    case PortFault::NotSerial: return "not-serial";
    case PortFault::NameNotResolved: return "name-not-resolved";
    case PortFault::Refused: return "refused";
    case PortFault::ConnectTimeout: return "connect-timeout";
    case PortFault::Unreachable: return "unreachable";
    case PortFault::Negotiation: return "negotiation";
    case PortFault::SettingMismatch: return "setting-mismatch";
    case PortFault::RateUnsupported: return "rate-unsupported";
    case PortFault::Closed: return "closed";
    case PortFault::TimedOut: return "timed-out";
    case PortFault::Io: return "io";
    }
    return "io";
}


PortTarget parsePortTarget(std::string_view raw) {
    const std::string text = trimmed(raw);
    PortTarget t;
    t.text = text;
    if (text.empty()) return t;
    const auto scheme = text.find("://");
    if (scheme == std::string::npos) {
        t.kind = PortTarget::Kind::Device;
        t.device = text;
        return t;
    }
    const std::string kind = lower(std::string_view(text).substr(0, scheme));
    if (kind == "socket") t.kind = PortTarget::Kind::Socket;
    else if (kind == "rfc2217") t.kind = PortTarget::Kind::Rfc2217;
    else return invalid(text, "\"" + kind + "://\" is not a kind of port this library knows (socket:// or rfc2217://)");

    std::string rest = text.substr(scheme + 3);
    std::string query;
    if (const auto q = rest.find('?'); q != std::string::npos) {
        query = rest.substr(q + 1);
        rest.resize(q);
    }
    if (!rest.empty() && rest.back() == '/') rest.pop_back();
    std::string portText;
    if (!rest.empty() && rest[0] == '[') {  // [IPv6]:port
        const auto close = rest.find(']');
        if (close == std::string::npos) return invalid(text, "the host's closing ']' is missing");
        t.host = rest.substr(1, close - 1);
        if (close + 1 >= rest.size() || rest[close + 1] != ':') return invalid(text, "the TCP port number is missing");
        portText = rest.substr(close + 2);
    } else {
        const auto colon = rest.rfind(':');
        if (colon == std::string::npos) return invalid(text, "the TCP port number is missing (HOST:PORT)");
        t.host = rest.substr(0, colon);
        portText = rest.substr(colon + 1);
    }
    if (t.host.empty()) return invalid(text, "the host is missing (HOST:PORT)");
    char* end = nullptr;
    const long port = std::strtol(portText.c_str(), &end, 10);
    if (portText.empty() || *end != '\0' || port < 1 || port > 65535)
        return invalid(text, "\"" + portText + "\" is not a TCP port number (1-65535)");
    t.tcpPort = static_cast<int>(port);

    // Options, in the forms serial tools use: ign_set_control,
    // timeout=SECONDS, logging=LEVEL, separated by '&'.
    std::size_t pos = 0;
    while (pos <= query.size() && !query.empty()) {
        auto amp = query.find('&', pos);
        if (amp == std::string::npos) amp = query.size();
        const std::string opt = query.substr(pos, amp - pos);
        pos = amp + 1;
        if (opt.empty()) continue;
        const auto eq = opt.find('=');
        const std::string key = lower(opt.substr(0, eq));
        const std::string value = eq == std::string::npos ? std::string() : opt.substr(eq + 1);
        if (key == "ign_set_control" && t.kind == PortTarget::Kind::Rfc2217) {
            t.ignoreSetControl = true;
        } else if (key == "timeout") {
            char* e = nullptr;
            const double seconds = std::strtod(value.c_str(), &e);
            if (value.empty() || *e != '\0' || !(seconds > 0) || seconds > 300)
                return invalid(text, "timeout=" + value + " is not a number of seconds (above 0, at most 300)");
            t.connectTimeoutMs = static_cast<int>(std::lround(seconds * 1000));
        } else if (key == "logging") {
            t.logging = value.empty() ? "debug" : value;
        } else {
            return invalid(text, "the option \"" + opt + "\" is not understood here (" +
                                     (t.kind == PortTarget::Kind::Rfc2217 ? "ign_set_control, " : "") +
                                     "timeout=SECONDS, logging=LEVEL)");
        }
        if (amp == query.size()) break;
    }
    return t;
}

PortMapping mapPort(int number) {
    PortMapping m;
    m.number = number == 0 ? 1 : number;
    m.name = "COM" + std::to_string(m.number);
    m.iniFile = iniPath();
    Profile ini(m.iniFile);
    ini.load();
    if (auto entry = ini.get("Ports", m.name); entry && !trimmed(*entry).empty()) {
        m.fromTable = true;
        m.target = parsePortTarget(*entry);
        return m;
    }
    if (const std::string device = detail::defaultDevice(m.number); !device.empty()) m.target = parsePortTarget(device);
    return m;
}

std::string describePort(int number) {
    const PortMapping m = mapPort(number);
    switch (m.target.kind) {
    case PortTarget::Kind::None:
        return m.name + " is not mapped: no [Ports] entry in " + m.iniFile + " and fewer than " +
               std::to_string(m.number) + " serial devices present";
    case PortTarget::Kind::Invalid:
        return m.name + " is mapped to \"" + m.target.text + "\" in " + m.iniFile + ", which cannot be used: " +
               m.target.problem;
    default: break;
    }
    std::string what = m.target.text;
    if (m.target.kind == PortTarget::Kind::Socket) what += " (raw TCP: the line speed is fixed by the server)";
    if (m.target.kind == PortTarget::Kind::Rfc2217) what += " (RFC 2217 serial server)";
    if (m.fromTable) return m.name + " is " + what + " (from [Ports] in " + m.iniFile + ")";
    return m.name + " is " + what + " (" + detail::defaultRule(m.number) + "; not in [Ports] of " + m.iniFile + ")";
}

std::string explainFault(const PortMapping& m, const PortStatus& s) {
    const std::string& target = m.target.text;
    const std::string where = m.name + (target.empty() ? std::string() : " (" + target + ")");
    const std::string fixMap = m.fromTable ? "correct " + m.name + " under [Ports] in " + m.iniFile
                                           : "map " + m.name + " under [Ports] in " + m.iniFile;
    const bool network = m.target.kind == PortTarget::Kind::Socket || m.target.kind == PortTarget::Kind::Rfc2217;
    const std::string server = m.target.host + ":" + std::to_string(m.target.tcpPort);
    const std::string said = s.sentence.empty() ? std::string() : " (" + s.sentence + ")";
    switch (s.fault) {
    case PortFault::None: return {};
    case PortFault::NotMapped:
        return m.name + " is not mapped to any device: add a line such as " + m.name + "=" + detail::exampleDevice() +
               " under [Ports] in " + m.iniFile + ", or plug in a serial adapter.";
    case PortFault::BadAddress:
        return m.name + " is mapped to \"" + target + "\", which cannot be used" +
               (m.target.problem.empty() ? std::string() : ": " + m.target.problem) + "; " + fixMap + ".";
    case PortFault::NotFound: return detail::notFoundSentence(m, fixMap);
    case PortFault::NoPermission: return detail::noPermissionSentence(m, where);
    case PortFault::InUse:
        return where + " is in use by another program" + said + ": close that program, then connect again.";
    case PortFault::NotSerial:
        return m.name + " is " + target + ", which is not a serial device: " + fixMap + ".";
    case PortFault::NameNotResolved:
        return "The host name \"" + m.target.host + "\" of " + where + " did not resolve" + said +
               ": check the name, or use the server's address, under [Ports] in " + m.iniFile + ".";
    case PortFault::Refused:
        return "The host " + server + " of " + m.name +
               " refused the connection: check that the serial server runs and listens on TCP port " +
               std::to_string(m.target.tcpPort) + ", and that no other program is connected to it.";
    case PortFault::ConnectTimeout:
    {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", m.target.connectTimeoutMs / 1000.0);
        return "The host " + server + " of " + m.name + " did not answer within " + seconds +
               " s: check the address, the network and any VPN (a slow link may need ?timeout=SECONDS).";
    }
    case PortFault::Unreachable:
        return "The host " + server + " of " + m.name + " cannot be reached from this computer (" +
               (s.code ? detail::codeWords(s) : std::string("no route to host")) +
               "): check the address, that this computer is on the network of the server (cable, Wi-Fi, VPN), "
               "and that the server is switched on.";
    case PortFault::Negotiation:
        return "The serial server of " + where + " failed the RFC 2217 negotiation" + said +
               ": it is not an RFC 2217 server, or not one this program can use; check that it offers RFC 2217 "
               "on that port (ser2net: telnet(rfc2217)), or use socket://.";
    case PortFault::SettingMismatch:
        return "The serial server of " + where + " was " + s.sentence +
               ", so the unit would receive garbled bytes: let the server take the line settings from this "
               "program, or set its port to 8 data bits, no parity, one stop bit and no flow control.";
    case PortFault::RateUnsupported:
        if (m.target.kind == PortTarget::Kind::Socket)
            return m.name + " is a raw TCP port (" + target +
                   "), whose line speed is set on the server and cannot be changed from here: stay at 9600, or "
                   "map the unit through an rfc2217:// port.";
        return where + " cannot run at that speed: use 9600, 19200, 38400 or 57600.";
    case PortFault::Closed:
        if (network)
            return "The connection to " + server + " (" + m.name + ") was closed" + said +
                   ": check that the serial server still runs and the network is up, then connect again.";
        return where + " went away (hang-up): check the adapter and its cable, then connect again.";
    case PortFault::TimedOut:
        return "No answer on " + where + " within the time-out: check that the unit is switched on and the cable "
               "is connected.";
    case PortFault::Io:
        return where + " failed: " + (s.code ? detail::codeWords(s) : std::string("input/output error")) + said + ".";
    }
    return {};
}

std::unique_ptr<Port> makePort(const PortTarget& target, PortNotes notes) {
    switch (target.kind) {
    case PortTarget::Kind::Device: return detail::makeDevicePort(target.device);
    case PortTarget::Kind::Socket: return std::make_unique<TcpPort>(target, std::move(notes));
    case PortTarget::Kind::Rfc2217: return std::make_unique<Rfc2217Port>(target, std::move(notes));
    default: return nullptr;
    }
}

PortStatus diagnosePort(int number) {
    const PortMapping m = mapPort(number);
    PortStatus s;
    switch (m.target.kind) {
    case PortTarget::Kind::None: s = failure(PortFault::NotMapped, 0); break;
    case PortTarget::Kind::Invalid: s = failure(PortFault::BadAddress, 0); break;
    case PortTarget::Kind::Device: s = detail::probeDevice(m.target.device); break;
    default: {
        // A network port: opened as the library opens it (the name, the
        // connection, a busy server's message, the RFC 2217 negotiation and
        // the line settings), then let go.  Nothing reaches the unit.
        auto port = makePort(m.target);
        s = port->open(9600);
        port->close();
        break;
    }
    }
    s.sentence = explainFault(m, s);
    return s;
}

PortStatus portRateSupported(int number, int bitsPerSecond) {
    const PortMapping m = mapPort(number);
    auto port = makePort(m.target);
    PortStatus s = port ? port->rateSupported(bitsPerSecond) : failure(PortFault::BadAddress, 0);
    s.sentence = explainFault(m, s);
    return s;
}

}  // namespace q7m
