// q7msim from the host's side of the line: its control channel, the faults
// of the line (cut, unplug, hang-up, deferred faults), pacing, the TCP
// listener and the simulated optical reader.  Every control line is acted
// on, then acknowledged, so a test can rely on its effect as soon as the
// acknowledgement is there.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "sim_process.h"

using namespace q7mtest;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kVolReply = "VOL 70\r\nOK\r\nQ7M>\r\n";
const std::string kMuteReply = "MUT -\r\nOK\r\nQ7M>\r\n";
const std::string kVersionReply = "Q7M CPU/DSP Versions\r\nV1.06.0000\r\nV1.03\r\nV1.09\r\nOK\r\n";

// The host's end of the line: the simulated port opened as a program
// opens a serial port, or a TCP connection to the simulator's listener.
class Host {
public:
    static Host serial(const std::string& path, speed_t speed = B9600) {
        Host h;
        h.fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (h.fd_ >= 0) {
            termios tio{};
            ::tcgetattr(h.fd_, &tio);
            ::cfmakeraw(&tio);
            ::cfsetispeed(&tio, speed);
            ::cfsetospeed(&tio, speed);
            ::tcsetattr(h.fd_, TCSANOW, &tio);
        }
        return h;
    }
    // Connects to "127.0.0.1:PORT"; errno tells why when it fails.
    static Host tcp(const std::string& address) {
        Host h;
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(std::stoi(address.substr(address.rfind(':') + 1))));
        ::inet_pton(AF_INET, address.substr(0, address.rfind(':')).c_str(), &a.sin_addr);
        h.fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::connect(h.fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            const int e = errno;
            ::close(h.fd_);
            h.fd_ = -1;
            errno = e;
        }
        return h;
    }
    Host(Host&& o) noexcept : fd_(o.fd_), hungUp_(o.hungUp_) { o.fd_ = -1; }
    ~Host() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    bool hungUp() const { return hungUp_; }
    void setSpeed(speed_t speed) {
        termios tio{};
        ::tcgetattr(fd_, &tio);
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
        ::tcsetattr(fd_, TCSANOW, &tio);
    }
    bool send(const std::string& bytes) {
        return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // Reads until `tail` ends what arrived, the line hangs up, or `ms`
    // pass (a bound, not a wait: the expected bytes end it early).
    std::string readUntil(const std::string& tail, int ms = 3000) {
        std::string got;
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end && !hungUp_) {
            if (got.size() >= tail.size() && got.compare(got.size() - tail.size(), tail.size(), tail) == 0) break;
            pollfd p{fd_, POLLIN, 0};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            if (::poll(&p, 1, static_cast<int>(std::max<long>(1, left))) <= 0) continue;
            char buf[512];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n > 0) got.append(buf, static_cast<std::size_t>(n));
            else if (n == 0 || (errno != EAGAIN && errno != EINTR)) hungUp_ = true;
        }
        return got;
    }

private:
    Host() = default;
    int fd_ = -1;
    bool hungUp_ = false;
};

// A framed block request: DLE STX code DLE ETX.
std::string frameRequest(std::uint8_t code) { return std::string("\x10\x02") + static_cast<char>(code) + "\x10\x03"; }

// Waits (bounded) until the log holds `count` lines containing `needle`.
bool waitForCount(const SimProcess& sim, const std::string& needle, std::size_t count) {
    for (int i = 0; i < 600; ++i) {
        if (sim.logMatching(needle).size() >= count) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

TEST(SimulatorControl, AcceptsWellFormedLinesAndRefusesMalformedOnes) {
    SimProcess sim;
    ASSERT_TRUE(sim.running());
    for (const char* good : {"fader 5.5", "format S", "format 0", "mute on", "garble 3", "garble 0", "cut 12",
                             "ignore B", "ignore B 0", "baud 9600", "after 3 silent on", "after 1 reader 2 slit 0.5",
                             "reader gain -1.5 +0.5", "reader 2 azimuth -0.25", "reader 1 noise off", "reader show",
                             "status", "corrupt audio 6", "corrupt system 127", "corrupt off"})
        EXPECT_TRUE(sim.control(good)) << good;

    for (const char* bad : {"fader abc", "fader 10.0", "fader 55", "fader -1", "fader 5.55", "format Q", "format 6",
                            "mute maybe", "garble x", "save", "bogus", "fader 5.5 extra", "cut", "cut -3", "cut x",
                            "unplug soon", "hangup 5 6", "plug in", "quit now", "after 0 silent on", "after 2 bogus",
                            "after 2", "after x silent on", "ignore v", "ignore BB", "ignore B x", "baud 4800",
                            "baud 19200.0", "reader", "reader gain 1", "reader 3 gain 0 0", "reader gain 0 7",
                            "reader slit 11", "reader azimuth 1e-1", "reader azimuth 0x1", "reader noise maybe",
                            "reader tilt 1", "status now", "corrupt", "corrupt audio", "corrupt audio 224",
                            "corrupt system 128", "corrupt disk 3", "corrupt audio x", "corrupt off now"}) {
        EXPECT_FALSE(sim.control(bad)) << bad;
        EXPECT_EQ(sim.logMatching(std::string("ACK ") + bad + ": error").size(), 1u) << bad;
    }
}

TEST(SimulatorControl, SaveIsCompleteWhenAcknowledgedAndReplacesTheOldImage) {
    SimProcess sim;
    const std::string img = sim.dir() + "/unit.img";
    writeFile(img, "old");
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(sim.control("save " + img));
        ASSERT_EQ(readFile(img).size(), 352u) << "round " << i;
    }
    // A folder that does not exist: refused, and said so.
    EXPECT_FALSE(sim.control("save " + sim.dir() + "/missing/unit.img"));
    EXPECT_EQ(sim.logMatching("cannot write").size(), 1u);
}

// A cut stops exactly the next reply after N bytes; the reply after it is
// whole again.
TEST(SimulatorLine, CutStopsTheNextReplyAfterNBytes) {
    SimProcess sim;
    Host host = Host::serial(sim.link());
    ASSERT_TRUE(host.ok());
    struct Case {
        std::string request;
        std::size_t cut;
        std::string wholeStart;  // what the whole reply starts with
    };
    const std::string systemFrameStart = "\x10\x02\x12";
    for (const Case& c : {Case{"X\r", 5, kVersionReply}, Case{"X\r", 0, kVersionReply},
                          Case{frameRequest(0x01), 3, systemFrameStart}, Case{frameRequest(0x01), 70, systemFrameStart}}) {
        ASSERT_TRUE(sim.control("cut " + std::to_string(c.cut)));
        ASSERT_TRUE(host.send(c.request));
        ASSERT_TRUE(host.send("V\r"));  // the barrier: its reply is whole
        const std::string got = host.readUntil(kVolReply);
        ASSERT_GE(got.size(), kVolReply.size()) << c.cut;
        const std::string cut = got.substr(0, got.size() - kVolReply.size());
        EXPECT_EQ(cut.size(), c.cut);
        EXPECT_EQ(cut.substr(0, 3), c.wholeStart.substr(0, std::min<std::size_t>(3, c.cut)));
        EXPECT_EQ(got.substr(cut.size()), kVolReply);
    }
    EXPECT_EQ(sim.logMatching("CUT reply after").size(), 4u);

    // A reply shorter than the cut goes whole, and the cut is used up.
    ASSERT_TRUE(sim.control("cut 500"));
    ASSERT_TRUE(host.send("V\rV\r"));
    EXPECT_EQ(host.readUntil(kVolReply + kVolReply), kVolReply + kVolReply);
}

TEST(SimulatorLine, UnplugLosesBothDirectionsUntilPlug) {
    SimProcess sim;
    Host host = Host::serial(sim.link());
    ASSERT_TRUE(host.ok());

    // The cable is pulled during a block reply: the host keeps what had
    // left, the rest is lost.
    ASSERT_TRUE(host.send(frameRequest(0x01)));
    ASSERT_TRUE(sim.waitForLog("FRAME 01"));
    ASSERT_TRUE(sim.control("unplug"));
    ASSERT_TRUE(host.send("V\r"));  // lost on the way
    ASSERT_TRUE(sim.waitForLog("LOST 2 bytes from the host (unplugged)"));
    ASSERT_TRUE(sim.control("plug"));
    ASSERT_TRUE(host.send("V\r"));
    const std::string got = host.readUntil(kVolReply);
    ASSERT_GE(got.size(), kVolReply.size());
    EXPECT_EQ(got.substr(got.size() - kVolReply.size()), kVolReply);
    const std::size_t partial = got.size() - kVolReply.size();
    const auto lost = sim.logMatching("bytes on their way to the host");
    // The whole frame is 135 bytes (128 data, two doubled DLEs): what the
    // host got and what was lost add up to it.
    const std::size_t lostBytes = lost.empty() ? 0 : std::stoul(lost[0].substr(lost[0].find("LOST ") + 5));
    EXPECT_EQ(partial + lostBytes, 135u);
    // What left is the frame's start: as much of it as the line carried
    // before the cable came out (on a busy machine, a byte or two).
    const std::size_t start = std::min<std::size_t>(partial, 3);
    EXPECT_EQ(got.substr(0, start), std::string("\x10\x02\x12").substr(0, start));
    EXPECT_FALSE(host.hungUp());

    // A timed unplug comes back by itself.
    ASSERT_TRUE(sim.control("unplug 50"));
    ASSERT_TRUE(waitForCount(sim, "RECONNECTED", 2));
    ASSERT_TRUE(host.send("V\r"));
    EXPECT_EQ(host.readUntil(kVolReply), kVolReply);
}

TEST(SimulatorLine, HangupClosesThePortAndPlugBringsANewOneAtTheSamePath) {
    SimProcess sim;
    const std::string firstDevice = sim.logMatching("LINE ").at(0);
    {
        Host host = Host::serial(sim.link());
        ASSERT_TRUE(host.ok());
        ASSERT_TRUE(sim.control("hangup"));
        host.readUntil("never", 2000);
        EXPECT_TRUE(host.hungUp());  // a read ends at once with a hang-up, not a time-out
        EXPECT_FALSE(exists(sim.link()));
        EXPECT_FALSE(Host::serial(sim.link()).ok());
    }
    ASSERT_TRUE(sim.control("plug"));
    ASSERT_TRUE(exists(sim.link()));
    Host host = Host::serial(sim.link());
    ASSERT_TRUE(host.ok());
    ASSERT_TRUE(host.send("V\r"));
    EXPECT_EQ(host.readUntil(kVolReply), kVolReply);
    EXPECT_EQ(sim.logMatching("LINE ").size(), 2u) << firstDevice;

    // A timed hang-up: the port is back after the given time.
    ASSERT_TRUE(sim.control("hangup 100"));
    EXPECT_FALSE(exists(sim.link()));
    ASSERT_TRUE(waitForCount(sim, "RECONNECTED", 2));
    EXPECT_TRUE(exists(sim.link()));
}

// `after N LINE` acts once N more replies have left the line: a fault can
// strike in the middle of a multi-step exchange the test cannot interrupt.
TEST(SimulatorLine, AfterActsOnceTheRepliesHaveLeft) {
    SimProcess sim;
    Host host = Host::serial(sim.link());
    ASSERT_TRUE(host.ok());
    ASSERT_TRUE(sim.control("after 2 silent on"));
    ASSERT_TRUE(host.send("V\r"));
    EXPECT_EQ(host.readUntil(kVolReply), kVolReply);
    ASSERT_TRUE(sim.control("status"));  // the barrier: a line acted on after that reply
    EXPECT_TRUE(sim.logMatching("ACK silent on").empty());
    ASSERT_TRUE(host.send("V\r"));
    EXPECT_EQ(host.readUntil(kVolReply), kVolReply);
    ASSERT_TRUE(sim.waitForLog("ACK silent on: ok"));

    // Write announcement answered, then the port hangs up before the data.
    ASSERT_TRUE(sim.control("silent off"));
    ASSERT_TRUE(sim.control("after 1 hangup"));
    ASSERT_TRUE(host.send(frameRequest(0x0A)));
    const std::string ack = host.readUntil("\x10\x03", 3000);
    EXPECT_EQ(ack, "\x10\x02\x01\x10\x03");
    host.readUntil("never", 2000);
    EXPECT_TRUE(host.hungUp());
    EXPECT_TRUE(sim.waitForLog("HUNG UP"));
}

TEST(SimulatorLine, IgnoreAndBaudStrandTheHostAsANoisyLineWould) {
    SimProcess sim;
    Host host = Host::serial(sim.link());
    ASSERT_TRUE(host.ok());
    ASSERT_TRUE(sim.control("ignore V 1"));
    ASSERT_TRUE(host.send("V\rV\r"));
    ASSERT_TRUE(host.send("M\r"));  // the barrier: answered after whatever the Vs got
    EXPECT_EQ(host.readUntil(kMuteReply), kVolReply + kMuteReply);  // one V answered
    EXPECT_EQ(sim.logMatching("IGNORED TEXT V").size(), 1u);

    // The unit left at 19200: a host at 9600 gets nothing but junk.
    ASSERT_TRUE(sim.control("baud 19200"));
    ASSERT_TRUE(host.send("V\r"));
    ASSERT_TRUE(sim.waitForLog("GARBLED 2 bytes (port at 9600, unit at 19200)"));
    host.setSpeed(B19200);
    ASSERT_TRUE(host.send("\nV\r"));  // a line feed ends the junk the unit holds
    EXPECT_EQ(host.readUntil(kVolReply), kVolReply);
}

// Every byte takes its time on the wire, the first ones after a pause too.
TEST(SimulatorLine, RepliesAreNeverFasterThanTheWire) {
    SimProcess sim;
    Host host = Host::serial(sim.link());
    ASSERT_TRUE(host.ok());
    for (int round = 0; round < 3; ++round) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));  // the line idles: what is measured
        const auto t0 = Clock::now();
        ASSERT_TRUE(host.send("X\r"));
        ASSERT_EQ(host.readUntil(kVersionReply), kVersionReply);
        const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        EXPECT_GE(seconds, kVersionReply.size() * 10.0 / 9600) << "round " << round;
    }
}

TEST(SimulatorTcp, ServesOneClientAtATime) {
    SimProcess sim({"--listen", "127.0.0.1:0"});
    const std::string address = sim.listenAddress();
    ASSERT_FALSE(address.empty());
    {
        Host first = Host::tcp(address);
        ASSERT_TRUE(first.ok()) << std::strerror(errno);
        ASSERT_TRUE(first.send("X\r"));
        EXPECT_EQ(first.readUntil(kVersionReply), kVersionReply);

        Host second = Host::tcp(address);
        ASSERT_TRUE(second.ok());
        second.readUntil("never", 2000);
        EXPECT_TRUE(second.hungUp());  // closed at once
        EXPECT_TRUE(sim.waitForLog("REFUSED"));

        // A speed command cannot move the server's line: the unit is stranded.
        ASSERT_TRUE(first.send("B2\r"));
        ASSERT_TRUE(first.send("V\r"));
        ASSERT_TRUE(sim.waitForLog("GARBLED 2 bytes (network line at 9600, unit at 19200)"));
        ASSERT_TRUE(sim.control("baud 9600"));
        ASSERT_TRUE(first.send("\nV\r"));
        EXPECT_EQ(first.readUntil(kVolReply), kVolReply);
    }
    ASSERT_TRUE(sim.waitForLog("CLIENT left"));
    Host again = Host::tcp(address);
    ASSERT_TRUE(again.ok());
    ASSERT_TRUE(again.send("V\r"));
    EXPECT_EQ(again.readUntil(kVolReply), kVolReply);
}

TEST(SimulatorTcp, HangupRefusesConnectionsUntilPlug) {
    SimProcess sim({"--listen", "127.0.0.1:0"});
    const std::string address = sim.listenAddress();
    Host client = Host::tcp(address);
    ASSERT_TRUE(client.ok());
    ASSERT_TRUE(sim.control("hangup"));
    client.readUntil("never", 2000);
    EXPECT_TRUE(client.hungUp());
    Host refused = Host::tcp(address);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(errno, ECONNREFUSED);
    ASSERT_TRUE(sim.control("plug"));
    Host back = Host::tcp(address);
    ASSERT_TRUE(back.ok()) << std::strerror(errno);
    ASSERT_TRUE(back.send("V\r"));
    EXPECT_EQ(back.readUntil(kVolReply), kVolReply);
}

TEST(SimulatorTcp, ListensWithoutAPseudoTerminal) {
    TempDir dir;
    const std::string log = dir.file("sim.log");
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devnull = ::open("/dev/null", O_RDWR);
        ::dup2(devnull, 0);
        ::dup2(devnull, 1);
        ::execl(simulatorPath().c_str(), "q7msim", "--listen", "127.0.0.1:0", "--log", log.c_str(), nullptr);
        ::_exit(127);
    }
    std::string address;
    for (int i = 0; i < 300 && address.empty(); ++i) {
        const std::string text = readFile(log);
        if (const auto at = text.find("LISTENING "); at != std::string::npos && text.find('\n', at) != std::string::npos)
            address = text.substr(at + 10, text.find('\n', at) - at - 10);
        else std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_FALSE(address.empty());
    {
        Host client = Host::tcp(address);
        ASSERT_TRUE(client.ok());
        ASSERT_TRUE(client.send("X\r"));
        EXPECT_EQ(client.readUntil(kVersionReply), kVersionReply);
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

namespace {
// At least the next `count` framed records from a running stream, whole
// frames only (one read may bring more on a busy machine).
std::vector<std::string> records(Host& host, std::size_t count) {
    std::vector<std::string> out;
    std::string buf;
    for (int reads = 0; reads < 50 && out.size() < count; ++reads) {
        buf += host.readUntil("\x10\x03", 1000);
        std::size_t end;
        while ((end = buf.find("\x10\x03")) != std::string::npos) {
            const auto start = buf.rfind("\x10\x02", end);
            if (start != std::string::npos) out.push_back(buf.substr(start, end + 2 - start));
            buf.erase(0, end + 2);
        }
    }
    return out;
}
}  // namespace

TEST(SimulatorReader, ControlLinesTurnTheReaderWhileItStreams) {
    SimProcess sim({"--record-ms", "20"});
    Host host = Host::serial(sim.link());
    ASSERT_TRUE(host.ok());
    ASSERT_TRUE(sim.control("reader noise off"));
    ASSERT_TRUE(sim.control("reader gain 0 0"));
    ASSERT_TRUE(host.send("AG\r"));
    // Records made after the acknowledgement carry the new alignment.
    auto expectRecords = [&](const std::string& payload) {
        const auto got = records(host, 4);
        ASSERT_GE(got.size(), 4u);
        EXPECT_EQ(got.back(), "\x10\x02" + payload + "\x10\x03");
    };
    expectRecords("\x24\x50\x50");
    ASSERT_TRUE(sim.control("reader 1 gain -6 0"));
    expectRecords("\x24\xA7\x50");
    ASSERT_TRUE(sim.control("reader 2 gain -40 -40"));  // the other projector's reader
    expectRecords("\x24\xA7\x50");
    ASSERT_TRUE(host.send("A2\r"));
    expectRecords("\x24\xFD\xFD");
    EXPECT_EQ(sim.logMatching("READER 2: gain -40.00 -40.00 dB").size(), 1u);

    // Azimuth: aligned, the two samples of every pair agree.
    ASSERT_TRUE(sim.control("reader gain 0 0"));
    ASSERT_TRUE(sim.control("reader azimuth 0"));
    ASSERT_TRUE(host.send("AZ\r"));
    const auto az = records(host, 4);
    ASSERT_GE(az.size(), 4u);
    const std::string& rec = az.back();
    ASSERT_EQ(rec.substr(0, 3), "\x10\x02\x27");
    std::string samples;  // undo the doubling of DLE bytes
    for (std::size_t i = 3; i + 2 < rec.size(); ++i) {
        samples += rec[i];
        if (rec[i] == '\x10') ++i;
    }
    ASSERT_EQ(samples.size(), 28u);
    for (std::size_t i = 0; i < 28; i += 2) EXPECT_EQ(samples[i], samples[i + 1]) << i;
}
