#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receiver.h"

using namespace q7m;

namespace {

struct Fed {
    std::vector<RxResult> results;
    RxResult last() const { return results.back(); }
};

Fed feedAll(Receiver& rx, const std::vector<std::uint8_t>& bytes) {
    Fed f;
    for (auto b : bytes) f.results.push_back(rx.feed(b));
    return f;
}

std::vector<std::uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }
std::string bufferText(const Receiver& rx) {
    return std::string(rx.rxBuffer.begin(), rx.rxBuffer.begin() + rx.rxLength);
}

}  // namespace

TEST(Receiver, StartsInsideATextReplyAndCompletesOnTheWantedLineCount) {
    Receiver rx;
    EXPECT_EQ(rx.rxState, RX_TEXT);
    rx.reset();
    rx.rxLinesWanted = 3;
    auto f = feedAll(rx, bytesOf("VOL 70\r\nOK\r\nQ7M>\r"));
    EXPECT_EQ(f.last(), RX_MORE);
    EXPECT_EQ(rx.feed(LF), RX_LINES_DONE);
    EXPECT_EQ(rx.rxState, RX_IDLE);
    EXPECT_EQ(bufferText(rx), "VOL 70\r\nOK\r\nQ7M>\r\n");
    EXPECT_EQ(rx.rxLines, 3);
}

TEST(Receiver, FirstByteOfATextReplyIsNeverCountedAsALineEnd) {
    Receiver rx;
    rx.reset();
    rx.rxLinesWanted = 1;
    EXPECT_EQ(rx.feed(LF), RX_MORE);  // first byte: stored, not examined
    EXPECT_EQ(rx.feed('x'), RX_MORE);
    EXPECT_EQ(rx.feed(LF), RX_LINES_DONE);
    EXPECT_EQ(rx.rxLength, 3);
}

TEST(Receiver, FrameWithDoubledDleArrivesSingleAndSurvivesTextOnEitherSide) {
    Receiver rx;
    rx.reset();
    std::uint8_t payload[] = {0x24, 0x10, 0xFF};
    std::uint8_t wire[16];
    const auto n = buildFrame(payload, sizeof payload, wire, sizeof wire);
    ASSERT_EQ(n, 8u);  // DLE STX 24 10 10 FF DLE ETX
    EXPECT_EQ(wire[3], 0x10);
    EXPECT_EQ(wire[4], 0x10);
    auto f = feedAll(rx, std::vector<std::uint8_t>(wire, wire + n));
    EXPECT_EQ(f.last(), RX_FRAME_DONE);
    ASSERT_EQ(rx.rxLength, 3);
    const auto value = static_cast<std::int16_t>(rx.rxBuffer[1] | (rx.rxBuffer[2] << 8));
    EXPECT_EQ(value, -240);
}

TEST(Receiver, DleStxInsideAFrameRestartsIt) {
    Receiver rx;
    rx.reset();
    auto f = feedAll(rx, {DLE, STX, 0x01, 0x02, DLE, STX, 0x21, DLE, ETX});
    EXPECT_EQ(f.last(), RX_FRAME_DONE);
    ASSERT_EQ(rx.rxLength, 1);
    EXPECT_EQ(rx.rxBuffer[0], 0x21);
}

TEST(Receiver, DleFollowedByAnythingElseDropsTheFrame) {
    Receiver rx;
    rx.reset();
    auto f = feedAll(rx, {DLE, STX, 0x12, 0x34, DLE, 0x55, DLE, ETX});
    for (auto r : f.results) EXPECT_NE(r, RX_FRAME_DONE);
    EXPECT_EQ(rx.rxState, RX_IDLE);
    // The line recovers with the next complete frame.
    EXPECT_EQ(feedAll(rx, {DLE, STX, 0x21, DLE, ETX}).last(), RX_FRAME_DONE);
}

TEST(Receiver, StateTableOutsideFrames) {
    struct Row {
        std::int32_t from;
        std::uint8_t byte;
        std::int32_t to;
    };
    const Row rows[] = {
        {RX_IDLE, DLE, RX_DLE},   {RX_IDLE, 'A', RX_TEXT},  {RX_TEXT, DLE, RX_DLE}, {RX_TEXT, 'A', RX_TEXT},
        {RX_DLE, STX, RX_FRAME},  {RX_DLE, DLE, RX_DLE},    {RX_DLE, 'A', RX_IDLE}, {RX_FRAME, DLE, RX_FRAME_DLE},
        {RX_FRAME, 'A', RX_FRAME}, {RX_FRAME_DLE, DLE, RX_FRAME}, {RX_FRAME_DLE, ETX, RX_IDLE},
        {RX_FRAME_DLE, STX, RX_FRAME}, {RX_FRAME_DLE, 'A', RX_IDLE},
    };
    for (const auto& r : rows) {
        Receiver rx;
        rx.rxState = r.from;
        rx.rxLinesWanted = 5;
        rx.feed(r.byte);
        EXPECT_EQ(rx.rxState, r.to) << "from " << r.from << " byte " << int(r.byte);
    }
}

TEST(Receiver, OverlongRepliesAndFramesAreDropped) {
    Receiver rx;
    rx.reset();
    rx.rxLinesWanted = 1;
    std::vector<std::uint8_t> longText(1024, 'a');
    auto f = feedAll(rx, longText);
    EXPECT_EQ(rx.rxLength, 1024);
    EXPECT_EQ(rx.feed(LF), RX_MORE);  // 1025th byte: reply dropped
    EXPECT_EQ(rx.rxState, RX_IDLE);

    rx.reset();
    std::vector<std::uint8_t> frame(2 + 1025 + 2, 0x55);  // DLE STX, 1025 payload bytes, DLE ETX
    frame[0] = DLE;
    frame[1] = STX;
    frame[frame.size() - 2] = DLE;
    frame[frame.size() - 1] = ETX;
    f = feedAll(rx, frame);
    for (auto r : f.results) EXPECT_NE(r, RX_FRAME_DONE);
}

TEST(Receiver, CompletedFrameDoesNotEndATextReadAndViceVersa) {
    Receiver rx;
    rx.reset();
    rx.rxLinesWanted = 1;
    auto f = feedAll(rx, {DLE, STX, 0x21, DLE, ETX});
    EXPECT_EQ(f.last(), RX_FRAME_DONE);  // the text reader ignores this and reads on
    f = feedAll(rx, bytesOf("OK\r\n"));
    EXPECT_EQ(f.last(), RX_LINES_DONE);
    EXPECT_EQ(bufferText(rx), "OK\r\n");
}

TEST(Receiver, BuildFrameRefusesWhatDoesNotFit) {
    std::uint8_t payload[4] = {0x10, 0x10, 0x10, 0x10};
    std::uint8_t out[11];
    EXPECT_EQ(buildFrame(payload, 4, out, sizeof out), 0u);  // needs 12
    std::uint8_t big[12];
    EXPECT_EQ(buildFrame(payload, 4, big, sizeof big), 12u);
}
