// The telnet decoder and the RFC 2217 client's negotiation: bytes from a
// server in, data and replies out.  Never more data out than came in; a
// reply only to a WILL or DO, as its refusal, and never twice for the same
// verb and option; no subnegotiation longer than the decoder keeps; and
// data escaped as the server sends it comes out as it went in.  A request
// the client did not make is refused the first time it comes.
#include <bitset>
#include <vector>

#include "fuzz_check.h"
#include "port/rfc2217_session.h"

using namespace q7m::telnet;

namespace {

// Replies owed for one byte: nothing, or the refusal of the request the
// decoder saw in that byte.
// `asked`: the client sent its opening, so BINARY and SGA (and, for a DO,
// COM-PORT-OPTION) are agreed to; anything else asked of it is refused the
// first time (TIMING-MARK is left out: the client asks for it itself).
void checkReplies(const Event& e, const std::vector<std::uint8_t>& replies, std::bitset<512>& refused, bool asked) {
    if (replies.empty()) {
        const bool request = e.kind == Event::Will || e.kind == Event::Do;
        const bool wanted = asked && (e.byte == BINARY || e.byte == SGA || (e.kind == Event::Do && e.byte == COM_PORT));
        const std::size_t slot = (e.kind == Event::Will ? 0u : 256u) + e.byte;
        FUZZ_CHECK(!request || wanted || e.byte == TIMING_MARK || refused.test(slot),
                   "a request (event %d, option %u) went unanswered", static_cast<int>(e.kind), e.byte);
        return;
    }
    FUZZ_CHECK(replies.size() == 3 && replies[0] == IAC, "%zu reply bytes for one byte in", replies.size());
    FUZZ_CHECK(e.kind == Event::Will || e.kind == Event::Do, "a reply to event %d", static_cast<int>(e.kind));
    const std::uint8_t expected = e.kind == Event::Will ? DONT : WONT;
    FUZZ_CHECK(replies[1] == expected && replies[2] == e.byte, "reply %u %u to event %d option %u", replies[1],
               replies[2], static_cast<int>(e.kind), e.byte);
    const std::size_t slot = (expected == DONT ? 0u : 256u) + e.byte;
    FUZZ_CHECK(!refused.test(slot), "option %u refused twice (verb %u)", e.byte, expected);
    refused.set(slot);
}

// The server's side of an agreement: both BINARY answers, DO COM-PORT-OPTION
// and the first purge confirmed.
const std::uint8_t kAgreement[] = {IAC, WILL, BINARY, IAC, DO, BINARY, IAC, DO, COM_PORT,
                                   IAC, SB,   COM_PORT, PURGE_DATA + kServerReply, PURGE_RECEIVE, IAC, SE};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Arbitrary bytes from the server, one at a time, to a client that has
    // asked for its options (or not, by the first byte) and a purge.
    Session session;
    Decoder shadow;  // tells which event each byte completed
    const bool asked = size > 0 && (data[0] & 1);
    if (asked) session.hello();
    if (size > 0 && (data[0] & 2)) session.askPurge();
    if (size > 0 && (data[0] & 4)) session.ask(SET_PARITY, NO_PARITY);
    std::bitset<512> refused;
    std::size_t dataOut = 0;
    for (std::size_t i = 0; i < size; ++i) {
        Received got;
        session.receive(data + i, 1, got);
        const Event e = shadow.step(data[i]);
        FUZZ_CHECK(got.heard.size() <= 1 && got.data.size() <= got.heard.size(), "%zu heard, %zu data for one byte",
                   got.heard.size(), got.data.size());
        FUZZ_CHECK(got.heard.empty() == (e.kind != Event::Data), "data out of step with the decoder at byte %zu", i);
        if (e.kind == Event::Sub) FUZZ_CHECK(e.sub.size() <= kMaxSub, "a %zu-byte subnegotiation", e.sub.size());
        checkReplies(e, got.replies, refused, asked);
        dataOut += got.data.size();
    }
    FUZZ_CHECK(dataOut <= size, "%zu data bytes out of %zu in", dataOut, size);

    // The same bytes as data, escaped, after an agreement: they come out
    // whole and owe nothing.
    Session agreed;
    agreed.hello();
    agreed.askPurge();
    Received setup;
    agreed.receive(kAgreement, sizeof kAgreement, setup);
    FUZZ_CHECK(agreed.agreed() && !agreed.stale() && setup.replies.empty(), "the agreement did not take");
    std::vector<std::uint8_t> wire;
    appendEscaped(wire, data, size);
    Received got;
    agreed.receive(wire.data(), wire.size(), got);
    FUZZ_CHECK(got.data == std::vector<std::uint8_t>(data, data + size), "%zu bytes in, %zu out", size, got.data.size());
    FUZZ_CHECK(got.replies.empty(), "replies to data");
    return 0;
}
