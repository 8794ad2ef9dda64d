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
#include "port/port.h"
#include "port/port_map.h"
#include "port/telnet.h"

namespace q7m {

// Connects to target.host:target.tcpPort within target.connectTimeoutMs.
// On success `fd` is a connected non-blocking socket and `elapsedMs` the
// time the connection took (about one round trip).
PortStatus connectTcp(const PortTarget& target, NativeFd& fd, int& elapsedMs);

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

class NetworkPort : public Port {
public:
    NetworkPort(PortTarget target, PortNotes notes);
    ~NetworkPort() override;
    NetworkPort(const NetworkPort&) = delete;
    NetworkPort& operator=(const NetworkPort&) = delete;

    void drain(int timeoutMs) override;
    bool close() override;
    bool isOpen() const override { return fd_ != kNoFd; }
    std::string describe() const override { return target_.text; }
    int allowanceMs() const { return allowanceMs_; }

protected:
    PortStatus connect();
    // Connects and runs `greet` (the protocol's opening); while the server
    // takes the connection only to drop it with a message (still releasing
    // the device for the previous client), tries again for a short while.
    PortStatus connectAndGreet(const std::function<PortStatus()>& greet);
    // Sends bytes already in wire form; the count is of wire bytes.
    WriteResult sendWire(const std::uint8_t* data, std::size_t count, int timeoutMs);
    // A Closed status that carries what the server said before the unit
    // was spoken to, when it was text ("Port's device already in use").
    PortStatus closedStatus(const PortStatus& raw) const;
    void remember(const std::uint8_t* data, std::size_t n);
    void note(const std::string& text) const {
        if (notes_) notes_(text);
    }

    PortTarget target_;
    PortNotes notes_;
    NativeFd fd_ = kNoFd;
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
};

class Rfc2217Port : public NetworkPort {
public:
    using NetworkPort::NetworkPort;
    PortStatus open(int bitsPerSecond) override;
    PortStatus rateSupported(int bitsPerSecond) const override;
    // Sends SET-BAUDRATE and waits (bounded) for the server to confirm it.
    PortStatus setRate(int bitsPerSecond) override;
    ReadResult read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) override;
    WriteResult write(const std::uint8_t* data, std::size_t count, int timeoutMs) override;
    // Drops what has arrived and asks the server to purge its receive
    // buffer; data that arrives before the server's confirmation is stale
    // and dropped as it comes.
    bool purgeReceive() override;

private:
    using Clock = std::chrono::steady_clock;
    // Reads what the socket has within `timeoutMs` and decodes it.
    PortStatus negotiate(int bitsPerSecond);
    PortStatus pump(int timeoutMs);
    PortStatus waitFor(const std::function<bool()>& done, const char* what);
    void handle(const telnet::Event& e);
    PortStatus sendCommand(const std::vector<std::uint8_t>& wire);

    telnet::Decoder decoder_;
    std::vector<std::uint8_t> data_;  // decoded data not yet read
    std::size_t dataPos_ = 0;
    bool serverWillBinary_ = false, serverDoBinary_ = false, serverDoComPort_ = false;
    std::string refused_;  // the option the server refused
    std::vector<std::uint8_t> answered_;  // options we already declined
    int confirmed_[6] = {};  // replies seen per command 1..5
    std::uint32_t confirmedBaud_ = 0;
    int purgesPending_ = 0;
    bool purgeConfirms_ = true;  // false once a server failed to confirm a purge
    Clock::time_point purgeDeadline_{};
};

}  // namespace q7m

#endif
