// rfc2217_session.h - the client's side of an RFC 2217 conversation, free
// of sockets and clocks: bytes from the server go in; the data the reader
// may have and the replies the client owes the server come out.  It keeps
// what was agreed (BINARY both ways, the COM-PORT-OPTION), what each
// setting was asked for and confirmed as, and which purges and timing marks
// are still unanswered.  Rfc2217Port drives it over the socket; the fuzz
// target drives it with arbitrary bytes.
#ifndef Q7M_PORT_RFC2217_SESSION_H
#define Q7M_PORT_RFC2217_SESSION_H

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "port/telnet.h"

namespace q7m::telnet {

// What one call to Session::receive gave (appended to).
struct Received {
    std::vector<std::uint8_t> heard;    // every data byte, stale or not, in order
    std::vector<std::uint8_t> data;     // the data bytes the reader may have
    std::vector<std::uint8_t> replies;  // wire bytes the client owes the server now
};

// "no parity", "8 data bits", "19200 bit/s", ...: a COM-PORT setting's
// value in words.
std::string settingText(std::uint8_t command, std::uint32_t value);

class Session {
public:
    // The opening: WILL and DO BINARY, WILL and DO SGA, WILL COM-PORT-OPTION.
    std::vector<std::uint8_t> hello();

    void receive(const std::uint8_t* wire, std::size_t count, Received& out);

    // BINARY both ways and the COM-PORT-OPTION agreed.
    bool agreed() const { return serverWillBinary_ && serverDoBinary_ && serverDoComPort_; }
    // What the server refused that the link needs ("" while nothing).
    const std::string& refused() const { return refused_; }

    // Asks for a COM-PORT setting (SET-BAUDRATE's value takes four bytes,
    // the others one): the wire form to send.
    std::vector<std::uint8_t> ask(std::uint8_t command, std::uint32_t value);
    // Every ask of `command` answered; then confirmed() is the value of the
    // last answer and asked() that of the last ask.
    bool answered(std::uint8_t command) const { return outstanding_[command] == 0; }
    std::uint32_t asked(std::uint8_t command) const { return asked_[command]; }
    std::uint32_t confirmed(std::uint8_t command) const { return confirmed_[command]; }

    // Purges.  Data is stale (heard, not delivered) until the first purge
    // is confirmed, and again while a later one is unanswered.
    std::vector<std::uint8_t> askPurge();
    bool stale() const { return !firstPurgeDone_ || purgesOutstanding_ > 0; }
    // The server does not confirm purges: stop waiting for it; from now on
    // a purge drops only what has arrived.
    void givePurgesUp();
    bool purgesConfirmed() const { return purgeConfirms_; }

    // TIMING-MARK: the server's answer (WILL or WONT) follows its handling
    // of every byte sent before the question.
    std::vector<std::uint8_t> askMark();
    bool marked() const { return marksOutstanding_ == 0; }
    void giveMarksUp() { marksOutstanding_ = 0; }

private:
    void refuse(std::uint8_t verb, std::uint8_t option, Received& out);
    void handle(const Event& e, Received& out);

    Decoder decoder_;
    bool askedBinary_ = false, askedSga_ = false, askedComPort_ = false;  // hello() sent
    bool serverWillBinary_ = false, serverDoBinary_ = false, serverDoComPort_ = false;
    std::string refused_;
    std::bitset<512> refusals_;  // DONT (for a WILL) and WONT (for a DO) sent, per option
    std::array<int, 6> outstanding_{};  // asks of commands 1..5 not yet answered
    std::array<std::uint32_t, 6> asked_{}, confirmed_{};
    bool firstPurgeDone_ = false;
    int purgesOutstanding_ = 0;
    bool purgeConfirms_ = true;
    int marksOutstanding_ = 0;
};

}  // namespace q7m::telnet

#endif
