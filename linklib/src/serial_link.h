// serial_link.h - the one serial port of the library, on POSIX termios.
#ifndef Q7M_SERIAL_LINK_H
#define Q7M_SERIAL_LINK_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "receiver.h"

namespace q7m {

inline constexpr int kBaudRates[4] = {9600, 19200, 38400, 57600};
inline constexpr int kByteTimeoutMs = 400;   // each single-byte read waits at most this long
inline constexpr int kWriteTimeoutMs = 400;  // a write gives up after this long

// The device that port number n ("COMn") stands for: the [Ports] entry of
// ZelkSerial.ini when there is one, otherwise the n-th serial device present
// (USB adapters first, then on-board UARTs).  Empty when there is none.
std::string portDevice(int portNumber);

// The serial devices present, in the order of the default port mapping.
std::vector<std::string> serialDevicesPresent();

// Appends every byte crossing the line to the file named by $Q7M_TRACE.
class LineTrace {
public:
    LineTrace();
    ~LineTrace();
    LineTrace(const LineTrace&) = delete;
    LineTrace& operator=(const LineTrace&) = delete;
    bool enabled() const { return fd_ >= 0; }
    void bytes(const char* direction, const std::uint8_t* data, std::size_t n);
    void note(const std::string& text);

private:
    int fd_ = -1;
};

class SerialLink {
public:
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
    void setIniSection(std::uint8_t section) { iniSection = section; }
    static void createIni();

    // Protocol layer on top of the port.
    std::size_t readLines(std::uint8_t* buffer, int wanted);
    std::size_t readFrame(std::uint8_t* buffer);
    bool writeFrame(const std::uint8_t* payload, std::size_t length);

    bool isOpen() const { return handle >= 0; }

    std::int32_t baudIndex = 0;
    std::int32_t readInterval = 0;
    std::int32_t readMultiplier = 0;
    std::int32_t readConstant = 0;
    Receiver rx;  // rxLength, rxLines, rxLinesWanted, rxState, rxBuffer
    int handle = -1;
    std::string portName;
    std::uint8_t iniSection = 0;
    std::uint8_t txBuffer[kTxBufferSize]{};

private:
    bool configure();
    void waitUntilSent();
    void dropPending();

    // Bytes already fetched from the device but not yet handed to the
    // receiver; a purge discards them together with the device's queue.
    std::uint8_t pending_[256]{};
    std::size_t pendingPos_ = 0;
    std::size_t pendingLen_ = 0;
    LineTrace trace_;
};

}  // namespace q7m

#endif
