// receiver.h - the byte-by-byte receiver that separates the unit's two
// dialects on one line: text replies counted in line feeds, and DLE-framed
// binary messages.
#ifndef Q7M_RECEIVER_H
#define Q7M_RECEIVER_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace q7m {

inline constexpr std::uint8_t DLE = 0x10;
inline constexpr std::uint8_t STX = 0x02;
inline constexpr std::uint8_t ETX = 0x03;
inline constexpr std::uint8_t CR = 0x0D;
inline constexpr std::uint8_t LF = 0x0A;

inline constexpr std::size_t kRxBufferSize = 1024;
inline constexpr std::size_t kTxBufferSize = 1024;

enum RxState : std::int32_t { RX_TEXT = 0, RX_IDLE = 1, RX_DLE = 2, RX_FRAME = 3, RX_FRAME_DLE = 4 };
enum RxResult : std::int32_t { RX_FRAME_DONE = 0, RX_MORE = 6, RX_LINES_DONE = 100 };

class Receiver {
public:
    // Feeds one byte through the state machine.
    RxResult feed(std::uint8_t b);

    // Back to idle, as after a purge of the port.
    void reset() { rxState = RX_IDLE; }

    std::int32_t rxLength = 0;
    std::int32_t rxLines = 0;
    std::int32_t rxLinesWanted = 0;
    std::int32_t rxState = RX_TEXT;  // a freshly loaded library starts inside a text reply
    std::array<std::uint8_t, kRxBufferSize> rxBuffer{};

private:
    bool full() const { return rxLength >= static_cast<std::int32_t>(kRxBufferSize); }
    void store(std::uint8_t b) { rxBuffer[static_cast<std::size_t>(rxLength++)] = b; }
};

// Wraps a payload as DLE STX payload DLE ETX, doubling every DLE inside.
// Returns the number of bytes written to `out`, or 0 when it does not fit.
std::size_t buildFrame(const std::uint8_t* payload, std::size_t length, std::uint8_t* out, std::size_t capacity);

}  // namespace q7m

#endif
