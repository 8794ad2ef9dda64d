// The receiver state machine: arbitrary bytes keep it within its buffer and
// states, and a payload framed by buildFrame comes out of it identical.
#include <algorithm>
#include <cstring>
#include <vector>

#include "fuzz_check.h"
#include "receiver.h"

using namespace q7m;

namespace {

void checkInvariants(const Receiver& rx, RxResult r) {
    FUZZ_CHECK(rx.rxLength >= 0 && rx.rxLength <= static_cast<std::int32_t>(kRxBufferSize), "rxLength %d",
               rx.rxLength);
    FUZZ_CHECK(rx.rxState >= RX_TEXT && rx.rxState <= RX_FRAME_DLE, "state %d", rx.rxState);
    FUZZ_CHECK(r == RX_FRAME_DONE || r == RX_MORE || r == RX_LINES_DONE, "result %d", r);
    if (r == RX_LINES_DONE) FUZZ_CHECK(rx.rxLines == rx.rxLinesWanted, "%d lines of %d", rx.rxLines, rx.rxLinesWanted);
}

// Frames `payload`, feeds it to an idle receiver and checks what comes out.
void roundTrip(Receiver& rx, const std::uint8_t* payload, std::size_t length) {
    std::vector<std::uint8_t> frame(2 * length + 4);
    const std::size_t n = buildFrame(payload, length, frame.data(), frame.size());
    FUZZ_CHECK(n >= length + 4 && n <= 2 * length + 4, "frame of %zu bytes for %zu", n, length);
    // One byte less room and the frame does not fit: nothing is built.
    FUZZ_CHECK(buildFrame(payload, length, frame.data(), n - 1) == 0, "a frame of %zu built into %zu", n, n - 1);
    rx.reset();
    const bool fits = length <= kRxBufferSize;
    for (std::size_t i = 0; i < n; ++i) {
        const RxResult r = rx.feed(frame[i]);
        checkInvariants(rx, r);
        if (!fits) continue;  // dropped at the 1025th byte; the rest is read as whatever it looks like
        if (i + 1 < n) FUZZ_CHECK(r != RX_FRAME_DONE, "frame ended at byte %zu of %zu", i, n);
        else FUZZ_CHECK(r == RX_FRAME_DONE, "a %zu-byte payload was lost", length);
    }
    if (!fits) return;
    FUZZ_CHECK(static_cast<std::size_t>(rx.rxLength) == length, "%d bytes out, %zu in", rx.rxLength, length);
    FUZZ_CHECK(std::equal(payload, payload + length, rx.rxBuffer.begin()), "payload changed");
    FUZZ_CHECK(rx.rxState == RX_IDLE, "state %d after a frame", rx.rxState);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Arbitrary bytes from any starting state, as a unit or a noisy line sends them.
    Receiver rx;
    if (size > 0) {
        rx.rxState = data[0] % 5;
        rx.rxLinesWanted = data[0] / 5 % 8;
    }
    for (std::size_t i = 1; i < size; ++i) checkInvariants(rx, rx.feed(data[i]));

    // The same bytes as a payload, on the receiver the noise left behind.
    roundTrip(rx, data, size);
    return 0;
}
