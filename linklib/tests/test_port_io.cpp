// The bounded read and write loops under the POSIX and network ports,
// driven by scripted system calls: interrupted calls, would-block, short
// writes, hang-up with and without data still pending.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <string>

#include "port/fd_io.h"

using namespace q7m;

namespace {

enum class Call { Read, Write, Poll };

struct Step {
    Call call;
    ssize_t ret;              // for Read/Write with data: ignored, the data's size is returned
    int err = 0;              // errno when ret < 0
    short revents = 0;        // Poll
    std::string data = {};    // Read: bytes delivered
};

class ScriptedIo : public SysIo {
public:
    explicit ScriptedIo(std::deque<Step> steps) : steps_(std::move(steps)) {}

    ssize_t read(NativeFd, void* buffer, std::size_t count) override {
        Step s = next(Call::Read, {Call::Read, -1, EAGAIN});
        if (s.ret < 0) return fail(s.err);
        const std::size_t n = std::min(count, s.data.size());
        std::copy_n(s.data.data(), n, static_cast<char*>(buffer));
        return static_cast<ssize_t>(n);
    }
    ssize_t write(NativeFd, const void* data, std::size_t count) override {
        Step s = next(Call::Write, {Call::Write, -1, EAGAIN});
        if (s.ret < 0) return fail(s.err);
        const auto n = std::min(count, static_cast<std::size_t>(s.ret));
        written.append(static_cast<const char*>(data), n);
        return static_cast<ssize_t>(n);
    }
    int poll(pollfd* fds, PollCount, int timeoutMs) override {
        EXPECT_GT(timeoutMs, 0) << "a poll with no time left";
        Step s = next(Call::Poll, {Call::Poll, 0});  // script used up: the time-out expires
        if (s.ret < 0) return static_cast<int>(fail(s.err));
        fds[0].revents = s.revents;
        return static_cast<int>(s.ret);
    }
    bool usedUp() const { return steps_.empty(); }
    std::string written;

private:
    Step next(Call call, Step whenEmpty) {
        if (steps_.empty()) return whenEmpty;
        Step s = steps_.front();
        steps_.pop_front();
        EXPECT_EQ(static_cast<int>(s.call), static_cast<int>(call)) << "system calls out of the scripted order";
        return s;
    }
    static ssize_t fail(int err) {
        errno = err;
        return -1;
    }
    std::deque<Step> steps_;
};

Step rd(std::string data) { return {Call::Read, 1, 0, 0, std::move(data)}; }
Step rdNothing() { return {Call::Read, 0}; }
Step rdErr(int err) { return {Call::Read, -1, err}; }
Step wr(ssize_t n) { return {Call::Write, n}; }
Step wrErr(int err) { return {Call::Write, -1, err}; }
Step pl(short revents) { return {Call::Poll, 1, 0, revents}; }
Step plTimeout() { return {Call::Poll, 0}; }
Step plErr(int err) { return {Call::Poll, -1, err}; }

struct ReadCase {
    const char* name;
    FdKind kind;
    std::deque<Step> script;
    std::string bytes;
    PortFault fault;
    int code;
};

struct WriteCase {
    const char* name;
    std::deque<Step> script;
    std::size_t written;
    PortFault fault;
};

}  // namespace

TEST(PortIo, ReadsEndWithBytesATimeOutOrAClosedLineAndAreNeverConfused) {
    const ReadCase cases[] = {
        {"bytes at once", FdKind::Terminal, {rd("AB")}, "AB", PortFault::None, 0},
        {"interrupted read, then bytes", FdKind::Terminal, {rdErr(EINTR), pl(POLLIN), rd("A")}, "A", PortFault::None, 0},
        {"would block, then bytes", FdKind::Terminal, {rdErr(EAGAIN), pl(POLLIN), rd("A")}, "A", PortFault::None, 0},
        {"interrupted poll is resumed", FdKind::Terminal, {rdNothing(), plErr(EINTR), rd("Z")}, "Z", PortFault::None, 0},
        {"nothing within the time-out", FdKind::Terminal, {rdNothing(), plTimeout()}, "", PortFault::TimedOut, 0},
        {"a quiet terminal is not a closed one", FdKind::Terminal, {rdNothing(), pl(POLLIN), rdNothing(), plTimeout()},
         "", PortFault::TimedOut, 0},
        {"hang-up with the reply's tail still buffered", FdKind::Terminal, {rdNothing(), pl(POLLIN | POLLHUP), rd("\r\n")},
         "\r\n", PortFault::None, 0},
        {"hang-up of a real terminal (reads give 0)", FdKind::Terminal, {rdNothing(), pl(POLLHUP), rdNothing()}, "",
         PortFault::Closed, 0},
        {"hang-up of a pseudo-terminal (reads fail EIO)", FdKind::Terminal, {rdErr(EIO)}, "", PortFault::Closed, EIO},
        {"hang-up reported with nothing readable", FdKind::Terminal, {rdNothing(), pl(POLLERR), rdErr(EAGAIN)}, "",
         PortFault::Closed, 0},
        {"adapter unplugged (ENODEV)", FdKind::Terminal, {rdErr(ENODEV)}, "", PortFault::Closed, ENODEV},
        {"peer closed the connection", FdKind::Stream, {rdNothing()}, "", PortFault::Closed, 0},
        {"connection reset", FdKind::Stream, {rdErr(EAGAIN), pl(POLLIN), rdErr(ECONNRESET)}, "", PortFault::Closed,
         ECONNRESET},
        {"stale descriptor", FdKind::Terminal, {rdNothing(), pl(POLLNVAL)}, "", PortFault::Io, EBADF},
        {"other read error", FdKind::Terminal, {rdErr(EINVAL)}, "", PortFault::Io, EINVAL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedIo io(c.script);
        std::uint8_t buf[16] = {};
        const ReadResult r = fdRead(io, 3, c.kind, buf, sizeof buf, 1000);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), r.count), c.bytes);
        EXPECT_EQ(faultName(r.status.fault), std::string(faultName(c.fault)));
        EXPECT_EQ(r.status.code, c.code);
        EXPECT_TRUE(io.usedUp());
    }
}

TEST(PortIo, WritesGoOutWholeThroughShortWritesAndInterruptionsOrSayHowFarTheyGot) {
    const WriteCase cases[] = {
        {"all at once", {wr(5)}, 5, PortFault::None},
        {"short writes", {wr(2), wr(1), wr(2)}, 5, PortFault::None},
        {"interrupted, then the rest", {wr(1), wrErr(EINTR), wr(4)}, 5, PortFault::None},
        {"would block until the port drains", {wr(3), wrErr(EAGAIN), pl(POLLOUT), wr(2)}, 5, PortFault::None},
        {"interrupted poll", {wrErr(EAGAIN), plErr(EINTR), wr(5)}, 5, PortFault::None},
        {"the port never drains", {wr(2), wrErr(EAGAIN), plTimeout()}, 2, PortFault::TimedOut},
        {"line gone half-way", {wr(2), wrErr(EIO)}, 2, PortFault::Closed},
        {"peer gone (EPIPE)", {wrErr(EPIPE)}, 0, PortFault::Closed},
        {"hang-up while waiting to write", {wrErr(EAGAIN), pl(POLLHUP)}, 0, PortFault::Closed},
        {"other error", {wr(1), wrErr(EINVAL)}, 1, PortFault::Io},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedIo io(c.script);
        const std::uint8_t data[5] = {'V', '0', '7', '\r', '\n'};
        const WriteResult w = fdWrite(io, 3, data, sizeof data, 1000);
        EXPECT_EQ(w.written, c.written);
        EXPECT_EQ(io.written, std::string("V07\r\n").substr(0, c.written));
        EXPECT_EQ(faultName(w.status.fault), std::string(faultName(c.fault)));
        EXPECT_TRUE(io.usedUp());
    }
}
