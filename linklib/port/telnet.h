// telnet.h - the few pieces of the telnet protocol an RFC 2217 client
// needs: escaping 0xFF in data, building a subnegotiation, and a decoder
// that separates data bytes from commands, one byte at a time and in order.
#ifndef Q7M_PORT_TELNET_H
#define Q7M_PORT_TELNET_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace q7m::telnet {

inline constexpr std::uint8_t IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240;
inline constexpr std::uint8_t BINARY = 0, SGA = 3, TIMING_MARK = 6, COM_PORT = 44;

// COM-PORT-OPTION commands, client to server; the server answers with the
// same command + 100.
inline constexpr std::uint8_t SET_BAUDRATE = 1, SET_DATASIZE = 2, SET_PARITY = 3, SET_STOPSIZE = 4, SET_CONTROL = 5,
                              PURGE_DATA = 12;
inline constexpr std::uint8_t kServerReply = 100;
// (NO_PARITY: windows.h takes the name PARITY_NONE.)
inline constexpr std::uint8_t NO_PARITY = 1, STOPSIZE_1 = 1, CONTROL_NO_FLOW = 1, PURGE_RECEIVE = 1;
// The longest subnegotiation the decoder keeps; a longer one is dropped whole.
inline constexpr std::size_t kMaxSub = 64;

// Appends `data` to `out` with every 0xFF doubled.
void appendEscaped(std::vector<std::uint8_t>& out, const std::uint8_t* data, std::size_t count);

// IAC verb option.
std::vector<std::uint8_t> command(std::uint8_t verb, std::uint8_t option);

// IAC SB COM-PORT-OPTION cmd value... IAC SE, the value escaped.
std::vector<std::uint8_t> comPort(std::uint8_t cmd, const std::vector<std::uint8_t>& value);

struct Event {
    enum Kind { None, Data, Will, Wont, Do, Dont, Sub } kind = None;
    std::uint8_t byte = 0;              // Data: the byte; Will..Dont: the option
    std::vector<std::uint8_t> sub;      // Sub: option, then its bytes (unescaped)
};

class Decoder {
public:
    // One received byte in; at most one event out (None while inside a
    // command).  A subnegotiation longer than kMaxSub is never delivered.
    Event step(std::uint8_t b);

private:
    enum State { Plain, Iac, Verb, Sub, SubIac } state_ = Plain;
    std::uint8_t verb_ = 0;
    std::vector<std::uint8_t> sub_;
    bool subOverflow_ = false;
};

}  // namespace q7m::telnet

#endif
