// network_port.h - ports reached through a serial device server on the
// network: raw TCP (socket://HOST:PORT), where the server's line speed is
// fixed, and RFC 2217 (rfc2217://HOST:PORT), which carries the line
// settings and purges over a telnet connection.
#ifndef Q7M_PORT_NETWORK_PORT_H
#define Q7M_PORT_NETWORK_PORT_H

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "port/fd_io.h"
#include "port/socket.h"
#include "port/port.h"
#include "port/port_map.h"
#include "port/rfc2217_session.h"

namespace q7m {

using NetClock = std::chrono::steady_clock;

// Turns a host name and TCP port into addresses; blocks as long as the
// name service takes.  A failure is NameNotResolved (or Io) with the
// resolver's words.
using NameLookup = std::function<PortStatus(const std::string& host, int tcpPort, std::vector<SocketAddress>& found)>;

// The lookup the network ports use; an empty one puts back the system's
// resolver.  Tests put a substitute here (a name server that never answers,
// a host whose first address is dead).
void setNameLookup(NameLookup lookup);

// Connects to target.host:target.tcpPort before `deadline`, which bounds
// everything: the name lookup (run on a thread of its own and abandoned
// at the deadline), and every address.  Addresses are tried in the
// resolver's order, the next one started when the ones under way have had
// kNextAddressMs, so a dead first address does not use up the time.  On
// success `fd` is a connected non-blocking socket and `elapsedMs` the time
// the winning connection took (about one round trip).
PortStatus connectTcp(const PortTarget& target, NetClock::time_point deadline, NativeFd& fd, int& elapsedMs);
inline constexpr int kNextAddressMs = 250;

// The extra time a network port waits for a byte on top of the link's own
// byte time-out: the round trip of a remote site.  At least
// kNetworkAllowanceMs, more when the connection itself was slow.
inline constexpr int kNetworkAllowanceMs = 1000;
inline constexpr int kNetworkAllowanceMaxMs = 5000;

// How long a busy server is tried again at open, and the least time a raw
// TCP open watches for a server that drops the connection at once (two
// round trips of the connection when that is longer, at most 1 s).
inline constexpr int kBusyRetryMs = 1000;
inline constexpr int kRawGreetingMs = 50;

// What a drain allows on top of the bytes' time on the serial line: the
// server's hand-over from its socket to its serial port.
inline constexpr int kDrainMarginMs = 40;

class NetworkPort : public Port {
public:
    NetworkPort(PortTarget target, PortNotes notes);
    ~NetworkPort() override;
    NetworkPort(const NetworkPort&) = delete;
    NetworkPort& operator=(const NetworkPort&) = delete;

    bool close() override;
    bool isOpen() const override { return fd_ != kNoFd; }
    std::string describe() const override { return target_.text; }

    // The system calls of reads and writes; tests put a limited one here.
    void useIo(SysIo& io) { io_ = &io; }

protected:
    // Starts an open: everything it does shares one deadline.
    void startOpen() { deadline_ = NetClock::now() + std::chrono::milliseconds(target_.connectTimeoutMs); }
    PortStatus connect();
    // Connects and runs `greet` (the protocol's opening); while the server
    // takes the connection only to drop it with a message (still releasing
    // the device for the previous client), tries again for a short while.
    PortStatus connectAndGreet(const std::function<PortStatus()>& greet);
    // Sends bytes already in wire form; the count is of wire bytes.
    WriteResult sendWire(const std::uint8_t* data, std::size_t count, int timeoutMs);
    ReadResult readWire(std::uint8_t* buffer, std::size_t capacity, int timeoutMs);
    // A Closed status that carries what the server said before the unit
    // was spoken to, when it was text ("Port's device already in use").
    PortStatus closedStatus(const PortStatus& raw) const;
    void remember(const std::uint8_t* data, std::size_t n);
    void note(const std::string& text) const {
        if (notes_) notes_(text);
    }
    // The bytes' time on the serial line at the current rate, and the margin.
    void waitLineTime(int extraMs);

    PortTarget target_;
    PortNotes notes_;
    SysIo* io_ = &systemIo(FdKind::Stream);
    NativeFd fd_ = kNoFd;
    NetClock::time_point deadline_{};  // of the open under way
    int rate_ = 9600;
    int allowanceMs_ = kNetworkAllowanceMs;
    std::size_t sinceDrain_ = 0;  // data bytes written since the last drain
    std::string lastWords_;       // what the server said before we sent the unit anything
    bool talked_ = false;         // data has gone to the unit on this connection
    int connectMs_ = 0;
};

class TcpPort : public NetworkPort {
public:
    using NetworkPort::NetworkPort;
    PortStatus open(int bitsPerSecond) override;
    // Only the server's own speed, taken to be the unit's 9600.
    PortStatus rateSupported(int bitsPerSecond) const override;
    PortStatus setRate(int bitsPerSecond) override;
    ReadResult read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) override;
    WriteResult write(const std::uint8_t* data, std::size_t count, int timeoutMs) override;
    bool purgeReceive() override;
    // The line speed of a raw TCP port never changes, so no speed change
    // can cut a command: nothing to wait for.
    void drain(int) override {}
};

class Rfc2217Port : public NetworkPort {
public:
    using NetworkPort::NetworkPort;
    PortStatus open(int bitsPerSecond) override;
    PortStatus rateSupported(int bitsPerSecond) const override;
    // Sends SET-BAUDRATE and waits (bounded) for the server to confirm it.
    PortStatus setRate(int bitsPerSecond) override;
    ReadResult read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) override;
    // Writes the data in wire form.  When the socket takes the first 0xFF
    // of an escaped pair and not the second, the second is owed and goes
    // out before anything else (the byte counts as written): the server
    // never sees an IAC followed by something else.
    WriteResult write(const std::uint8_t* data, std::size_t count, int timeoutMs) override;
    // Drops what has arrived and asks the server to purge its receive
    // buffer; data that arrives before the server's confirmation is stale
    // and dropped as it comes.
    bool purgeReceive() override;
    // Until the server has handled every byte sent (its answer to a
    // TIMING-MARK question), then their time on the serial line.
    void drain(int timeoutMs) override;

private:
    PortStatus negotiate(int bitsPerSecond);
    PortStatus changeRate(int bitsPerSecond, NetClock::time_point deadline);
    // Reads what the socket has within `timeoutMs` and hands it to the session.
    PortStatus pump(int timeoutMs);
    PortStatus waitFor(const std::function<bool()>& done, const std::string& what, NetClock::time_point deadline);
    PortStatus checkSetting(std::uint8_t command) const;
    // Sends what is owed from an earlier write, then `wire` (a command or
    // replies); what of it the socket did not take is owed in turn.
    PortStatus sendCommand(const std::vector<std::uint8_t>& wire);
    PortStatus payOwed(int timeoutMs);

    telnet::Session session_;
    std::vector<std::uint8_t> data_;  // decoded data not yet read
    std::size_t dataPos_ = 0;
    std::vector<std::uint8_t> owed_;  // wire bytes that must go out before any other
    NetClock::time_point purgeDeadline_{};
    bool marksAnswered_ = true;  // false once a server failed to answer a TIMING-MARK
};

}  // namespace q7m

#endif
