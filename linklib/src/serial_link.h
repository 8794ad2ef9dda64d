// serial_link.h - the one port of the library: the port object of the
// protocol (receiver, frame buffer, speed) over whichever kind of port the
// port map names.
#ifndef Q7M_SERIAL_LINK_H
#define Q7M_SERIAL_LINK_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/system.h"
#include "port/port.h"
#include "port/port_map.h"
#include "port/rates.h"
#include "receiver.h"

namespace q7m {

inline constexpr int kByteTimeoutMs = 400;   // each single-byte read waits at most this long
inline constexpr int kWriteTimeoutMs = 400;  // a write gives up after this long

// Appends every byte crossing the line to the file named by $Q7M_TRACE.
class LineTrace {
public:
    LineTrace();
    LineTrace(const LineTrace&) = delete;
    LineTrace& operator=(const LineTrace&) = delete;
    bool enabled() const { return file_.isOpen(); }
    void bytes(const char* direction, const std::uint8_t* data, std::size_t n);
    void note(const std::string& text);

private:
    platform::AppendFile file_;
};

class SerialLink {
public:
    // Makes the port object for a mapped target; tests put a scripted port here.
    using PortFactory = std::function<std::unique_ptr<Port>(const PortTarget&)>;

    SerialLink();
    ~SerialLink();
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    bool open(const std::string& name);
    int close();
    bool setBaudIndex(int index);
    int purgeReceive();
    int resetLink();
    std::size_t writeRaw(const std::uint8_t* data, std::size_t count);
    std::optional<std::uint8_t> readByte();
    static void createIni();

    // Protocol layer on top of the port.
    std::size_t readLines(std::uint8_t* buffer, int wanted);
    std::size_t readFrame(std::uint8_t* buffer);
    bool writeFrame(const std::uint8_t* payload, std::size_t length);

    bool isOpen() const { return port_ && port_->isOpen(); }

    // Whether the port can run at baud table[index]; asked before the unit
    // is told to change speed.  The sentence says why not.
    PortStatus rateSupported(int index) const;

    // Why the last open failed, or how the last read or write ended when it
    // did not succeed (TimedOut, Closed, ...), with its sentence.
    const PortStatus& lastStatus() const { return lastStatus_; }

    void setPortFactory(PortFactory factory) { factory_ = std::move(factory); }
    LineTrace& trace() { return trace_; }

    std::int32_t baudIndex = 0;
    Receiver rx;  // rxLength, rxLines, rxLinesWanted, rxState, rxBuffer
    std::string portName;
    std::uint8_t txBuffer[kTxBufferSize]{};

private:
    void dropPending();
    // Feeds the receiver byte by byte until it says `done`; the reply is
    // copied out, closed with a 0.  0 when a byte did not come.
    std::size_t readUntil(RxResult done, std::uint8_t* buffer);
    void noteFailure(const char* what, const PortStatus& status);

    std::unique_ptr<Port> port_;  // the open port ("handle"); null or closed when none
    PortMapping mapping_;         // what portName stood for at the last open
    PortFactory factory_;
    PortStatus lastStatus_;

    // Bytes already fetched from the port but not yet handed to the
    // receiver; a purge discards them together with the port's queue.
    std::uint8_t pending_[256]{};
    std::size_t pendingPos_ = 0;
    std::size_t pendingLen_ = 0;
    LineTrace trace_;
};

}  // namespace q7m

#endif
