// fake_port.h - a scripted port for the protocol tests: what the "unit"
// sends is queued as chunks, time-outs and hang-ups; what the library
// writes is recorded.
#ifndef Q7M_TESTS_FAKE_PORT_H
#define Q7M_TESTS_FAKE_PORT_H

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "port/port.h"

namespace q7mtest {

// The line as the test sees it; it outlives the port objects the link
// makes and drops (one per open).
struct FakeLine {
    struct Chunk {
        q7m::PortFault fault = q7m::PortFault::None;  // None: `bytes` arrive; TimedOut or Closed: the read ends so
        std::string bytes;
    };
    std::deque<Chunk> incoming;
    std::string written;
    std::vector<int> openedAt;  // the rate of every open
    int closes = 0;
    int purges = 0;
    std::vector<int> purgesAtWrite;  // how many purges came before each write
    q7m::PortStatus openResult;      // what the next open returns
    q7m::PortStatus rateResult;      // what rateSupported answers
    bool open = false;

    void reply(std::string bytes) { incoming.push_back({q7m::PortFault::None, std::move(bytes)}); }
    void timeOut() { incoming.push_back({q7m::PortFault::TimedOut, {}}); }
    void hangUp() { incoming.push_back({q7m::PortFault::Closed, {}}); }
};

class FakePort : public q7m::Port {
public:
    explicit FakePort(std::shared_ptr<FakeLine> line) : line_(std::move(line)) {}
    q7m::PortStatus open(int rate) override {
        line_->openedAt.push_back(rate);
        line_->open = line_->openResult.ok();
        return line_->openResult;
    }
    q7m::PortStatus rateSupported(int) const override { return line_->rateResult; }
    q7m::PortStatus setRate(int) override { return {}; }
    q7m::ReadResult read(std::uint8_t* buffer, std::size_t capacity, int) override {
        q7m::ReadResult r;
        if (line_->incoming.empty()) {
            r.status.fault = q7m::PortFault::TimedOut;
            return r;
        }
        auto& c = line_->incoming.front();
        if (c.fault != q7m::PortFault::None) {
            r.status.fault = c.fault;
            if (c.fault == q7m::PortFault::Closed) r.status.code = 5;  // EIO, as a pseudo-terminal gives
            line_->incoming.pop_front();
            return r;
        }
        r.count = std::min(capacity, c.bytes.size());
        std::copy_n(c.bytes.data(), r.count, buffer);
        c.bytes.erase(0, r.count);
        if (c.bytes.empty()) line_->incoming.pop_front();
        return r;
    }
    q7m::WriteResult write(const std::uint8_t* data, std::size_t count, int) override {
        line_->written.append(reinterpret_cast<const char*>(data), count);
        line_->purgesAtWrite.push_back(line_->purges);
        return {count, {}};
    }
    bool purgeReceive() override {
        ++line_->purges;
        return true;
    }
    void drain(int) override {}
    bool close() override {
        ++line_->closes;
        line_->open = false;
        return true;
    }
    bool isOpen() const override { return line_->open; }
    std::string describe() const override { return "fake"; }

private:
    std::shared_ptr<FakeLine> line_;
};

}  // namespace q7mtest

#endif
