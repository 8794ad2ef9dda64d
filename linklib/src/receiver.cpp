#include "receiver.h"

namespace q7m {

RxResult Receiver::feed(std::uint8_t b) {
    switch (rxState) {
    case RX_IDLE:
        if (b == DLE) {
            rxState = RX_DLE;
        } else {
            // First byte of a text reply: stored but never counted as a line end.
            rxLength = 0;
            rxLines = 0;
            store(b);
            rxState = RX_TEXT;
        }
        return RX_MORE;

    case RX_TEXT:
        if (full()) {
            rxState = RX_IDLE;  // overlong reply: dropped
            return RX_MORE;
        }
        if (b == LF) {
            store(b);
            if (rxLines + 1 == rxLinesWanted) {
                rxLines += 1;
                rxState = RX_IDLE;
                return RX_LINES_DONE;
            }
            rxLines += 1;
            return RX_MORE;
        }
        store(b);
        if (b == DLE) rxState = RX_DLE;
        return RX_MORE;

    case RX_DLE:
        if (b == STX) {
            rxLength = 0;
            rxState = RX_FRAME;
        } else if (b != DLE) {
            rxState = RX_IDLE;
        }
        return RX_MORE;

    case RX_FRAME:
        if (b == DLE) {
            rxState = RX_FRAME_DLE;
        } else if (full()) {
            rxState = RX_IDLE;  // frame dropped
        } else {
            store(b);
        }
        return RX_MORE;

    case RX_FRAME_DLE:
        if (b == DLE) {
            if (full()) {
                rxState = RX_IDLE;
            } else {
                store(DLE);
                rxState = RX_FRAME;
            }
            return RX_MORE;
        }
        if (b == ETX) {
            rxState = RX_IDLE;
            return RX_FRAME_DONE;
        }
        if (b == STX) {
            rxLength = 0;  // frame restarts
            rxState = RX_FRAME;
            return RX_MORE;
        }
        rxState = RX_IDLE;  // anything else after DLE: frame dropped
        return RX_MORE;

    default:
        rxState = RX_IDLE;
        return RX_MORE;
    }
}

std::size_t buildFrame(const std::uint8_t* payload, std::size_t length, std::uint8_t* out, std::size_t capacity) {
    std::size_t n = 0;
    auto put = [&](std::uint8_t b) {
        if (n >= capacity) return false;
        out[n++] = b;
        return true;
    };
    if (!put(DLE) || !put(STX)) return 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (!put(payload[i])) return 0;
        if (payload[i] == DLE && !put(DLE)) return 0;
    }
    if (!put(DLE) || !put(ETX)) return 0;
    return n;
}

}  // namespace q7m
