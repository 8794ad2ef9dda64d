// port.h - the byte pipe under the link: one interface for every kind of
// port the library can talk through (a local serial device, and ports
// reached over the network), so the protocol code above it never sees a
// file descriptor, a socket or a platform error number.
//
// Every operation is bounded in time.  Failures come back as a fault kind
// (what went wrong, in terms a technician can act on), the platform's own
// error number for the trace, and one sentence naming the cause and the fix.
#ifndef Q7M_PORT_PORT_H
#define Q7M_PORT_PORT_H

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace q7m {

enum class PortFault {
    None = 0,
    NotMapped,          // no device or address stands for this port number
    BadAddress,         // the port map entry cannot be understood
    NotFound,           // the device does not exist (adapter unplugged, wrong name)
    NoPermission,       // the user may not open the device
    InUse,              // another program holds the port
    NotSerial,          // the name exists but is not a serial device
    NameNotResolved,    // a network host name did not resolve
    Refused,            // the host refused the connection
    ConnectTimeout,     // the host did not answer within the connect time
    Unreachable,        // no route to the host, or it is down (the network says so at once)
    Negotiation,        // a network serial server refused an option or did not confirm a setting
    SettingMismatch,    // a network serial server confirmed another line setting than the one asked
    RateUnsupported,    // this kind of port cannot change the line speed
    Closed,             // the device went away or the connection was closed
    TimedOut,           // nothing arrived within the time-out (the port itself is fine)
    Io,                 // any other failure of the platform
};

// Short name of a fault kind, for the trace ("not-found", "in-use", ...).
const char* faultName(PortFault fault);

struct PortStatus {
    PortFault fault = PortFault::None;
    int code = 0;          // errno, a resolver code or a system error number; 0 when none
    std::string sentence;  // the cause and the fix, one sentence; empty on success
    bool systemCode = false;  // `code` is the system's own error number (Windows: GetLastError), not errno

    bool ok() const { return fault == PortFault::None; }
    static PortStatus success() { return {}; }
};

// A failure of kind `fault` with the platform's error number `code` (0 when
// none) and, where the cause is known already, its words for the sentence.
inline PortStatus failure(PortFault fault, int code, std::string sentence = {}) {
    PortStatus s;
    s.fault = fault;
    s.code = code;
    s.sentence = std::move(sentence);
    return s;
}

// Whole milliseconds from now until `deadline`; 0 once it has passed.
inline int msLeft(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

struct ReadResult {
    std::size_t count = 0;  // bytes placed in the caller's buffer
    PortStatus status;      // TimedOut when nothing came; Closed when the peer went away
};

struct WriteResult {
    std::size_t written = 0;  // bytes the platform accepted (may be short)
    PortStatus status;
};

// `status.code` in words, for the trace: "errno 2, No such file or
// directory", "Windows error 5, Access is denied".
std::string codeText(const PortStatus& status);

// Where a port may write notes for the line trace (connection set-up,
// negotiation); empty when nobody listens.
using PortNotes = std::function<void(const std::string&)>;

class Port {
public:
    virtual ~Port() = default;

    // Opens the port and sets it raw: 8 data bits, no parity, one stop bit,
    // no flow control, no translation, at `bitsPerSecond`.  Nothing is
    // left open when it fails.
    virtual PortStatus open(int bitsPerSecond) = 0;

    // Whether this port can run the line at `bitsPerSecond`, asked before
    // the unit is told to change (a raw network port cannot).
    virtual PortStatus rateSupported(int bitsPerSecond) const = 0;

    // Changes the line speed of the open port.
    virtual PortStatus setRate(int bitsPerSecond) = 0;

    // Waits up to `timeoutMs` for the first byte, then returns what has
    // arrived, at most `capacity` bytes.  Status TimedOut when nothing came,
    // Closed when the device or the connection went away.
    virtual ReadResult read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) = 0;

    // Writes all of `data` or gives up after `timeoutMs`; the count says how
    // much went out.
    virtual WriteResult write(const std::uint8_t* data, std::size_t count, int timeoutMs) = 0;

    // Discards everything received and not yet read.
    virtual bool purgeReceive() = 0;

    // Waits (at most `timeoutMs`) until the bytes written have left, so a
    // speed change does not cut the last command.
    virtual void drain(int timeoutMs) = 0;

    // Closes the port and gives back what the open changed.  True when the
    // platform reported a clean close.
    virtual bool close() = 0;

    virtual bool isOpen() const = 0;

    // What the port is, for the trace and messages: a device path or a URL.
    virtual std::string describe() const = 0;
};

}  // namespace q7m

#endif
