// The network ports against a scripted server: negotiation, 0xFF in data,
// speed changes confirmed or not, purges, and every way a connection can
// fail, each named as such.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

#include "fake_server.h"
#include "port/network_port.h"
#include "q7mslib.h"
#include "receiver.h"
#include "unit_link.h"

using namespace q7m;
using q7mtest::FakeServer;

namespace {


std::string slurp(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string frame(const std::vector<std::uint8_t>& payload) {
    std::uint8_t wire[1024];
    const std::size_t n = buildFrame(payload.data(), payload.size(), wire, sizeof wire);
    return std::string(reinterpret_cast<char*>(wire), n);
}

// A unit that answers the mute and volume queries, the system block
// request (with `block`) and a system block write, and takes speed
// commands and line feeds silently.
FakeServer::Unit miniUnit(std::vector<std::uint8_t> block) {
    return [block, written = std::string()](std::string& in) mutable -> std::string {
        std::string out;
        for (;;) {
            if (in.empty()) return out;
            if (in[0] == '\x10') {  // a frame: wait for DLE ETX
                const auto end = in.find("\x10\x03", 2);
                if (end == std::string::npos) return out;
                const std::uint8_t code = static_cast<std::uint8_t>(in[2]);
                in.erase(0, end + 2);
                if (code == 0x01) {
                    std::vector<std::uint8_t> payload = {0x12};
                    payload.insert(payload.end(), block.begin(), block.end());
                    out += frame(payload);
                } else if (code == 0x0A) {
                    out += frame({0x01});
                } else if (code == 0x11) {
                    out += frame({0x21});
                }
                continue;
            }
            const auto cr = in.find('\r');
            if (in[0] == '\n') {
                in.erase(0, 1);
                continue;
            }
            if (cr == std::string::npos) return out;
            const std::string cmd = in.substr(0, cr);
            in.erase(0, cr + 1);
            if (cmd == "M") out += "MUT +\r\nOK\r\nQ7M>\r\n";
            if (cmd == "V") out += "VOL 70\r\nOK\r\nQ7M>\r\n";
        }
    };
}

// A listener whose queue is full: connections to it are never answered.
class DeadAddress {
public:
    DeadAddress() {
        full_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        filler_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::bind(full_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            ::getsockname(full_, reinterpret_cast<sockaddr*>(&a), &len) != 0 || ::listen(full_, 0) != 0 ||
            ::connect(filler_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
            throw std::runtime_error(std::string("dead address: ") + std::strerror(errno));
        port_ = ntohs(a.sin_port);
    }
    ~DeadAddress() {
        ::close(filler_);
        ::close(full_);
    }
    DeadAddress(const DeadAddress&) = delete;
    DeadAddress& operator=(const DeadAddress&) = delete;
    int port() const { return port_; }

private:
    int full_ = -1, filler_ = -1, port_ = 0;
};

class NetworkLink : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/q7mnet.XXXXXX";
        dir = ::mkdtemp(tmpl);
        ::setenv("Q7M_CONFIG_DIR", dir.c_str(), 1);
        trace = dir + "/trace.txt";
        ::setenv("Q7M_TRACE", trace.c_str(), 1);
    }
    void TearDown() override {
        unit.reset();
        ::unsetenv("Q7M_CONFIG_DIR");
        ::unsetenv("Q7M_TRACE");
        [[maybe_unused]] int r = std::system(("rm -rf '" + dir + "'").c_str());
    }
    UnitLink& link(const std::string& target) {
        std::ofstream(dir + "/ZelkSerial.ini") << "[Ports]\r\nCOM1=" << target << "\r\n";
        unit = std::make_unique<UnitLink>();
        return *unit;
    }
    std::string dir, trace;
    std::unique_ptr<UnitLink> unit;
};

}  // namespace

TEST(Telnet, EscapingAndDecodingRoundTripEveryByteAndKeepCommandsInOrder) {
    std::vector<std::uint8_t> all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<std::uint8_t>(b));
    all.push_back(0xFF);
    all.push_back(0xFF);
    std::vector<std::uint8_t> wire;
    telnet::appendEscaped(wire, all.data(), all.size());
    EXPECT_EQ(wire.size(), all.size() + 3);
    // A command in the middle of the data, and a subnegotiation with an escaped 0xFF.
    const auto mid = telnet::command(telnet::WILL, telnet::BINARY);
    wire.insert(wire.begin() + 100, mid.begin(), mid.end());
    const auto sub = telnet::comPort(101, {0x00, 0x00, 0xFF, 0x00});
    wire.insert(wire.end(), sub.begin(), sub.end());

    telnet::Decoder d;
    std::vector<std::uint8_t> data;
    std::vector<telnet::Event> events;
    std::size_t dataBeforeCommand = 0;
    for (auto b : wire) {
        auto e = d.step(b);
        if (e.kind == telnet::Event::Data) {
            data.push_back(e.byte);
        } else if (e.kind != telnet::Event::None) {
            if (events.empty()) dataBeforeCommand = data.size();
            events.push_back(e);
        }
    }
    EXPECT_EQ(data, all);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, telnet::Event::Will);
    EXPECT_EQ(dataBeforeCommand, 100u);
    EXPECT_EQ(events[1].kind, telnet::Event::Sub);
    EXPECT_EQ(events[1].sub, (std::vector<std::uint8_t>{telnet::COM_PORT, 101, 0x00, 0x00, 0xFF, 0x00}));
}

TEST_F(NetworkLink, Rfc2217NegotiatesTheLineAndCarriesBlocksWith0xFFAnywhere) {
    std::vector<std::uint8_t> block(128, 0xFF);
    FakeServer server({}, miniUnit(block));
    UnitLink& l = link(server.url());
    ASSERT_EQ(l.initDll(1), 0) << slurp(trace);
    EXPECT_EQ(server.speeds(), std::vector<std::uint32_t>{9600});
    const auto settings = server.settings();
    ASSERT_EQ(settings.size(), 4u);
    EXPECT_EQ(settings[0], (std::vector<std::uint8_t>{telnet::COM_PORT, telnet::SET_DATASIZE, 8}));
    EXPECT_EQ(settings[1], (std::vector<std::uint8_t>{telnet::COM_PORT, telnet::SET_PARITY, 1}));
    EXPECT_EQ(settings[2], (std::vector<std::uint8_t>{telnet::COM_PORT, telnet::SET_STOPSIZE, 1}));
    EXPECT_EQ(settings[3], (std::vector<std::uint8_t>{telnet::COM_PORT, telnet::SET_CONTROL, 1}));

    std::uint8_t got[128] = {};
    ASSERT_EQ(l.getSystem(got), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(got, got + 128), block);

    // Writing: a block full of 0xFF arrives at the unit unescaped.
    std::vector<std::uint8_t> mine(128);
    for (int i = 0; i < 128; ++i) mine[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i % 2 ? 0xFF : i);
    ASSERT_EQ(l.setSystem(mine.data()), 0);
    std::vector<std::uint8_t> payload = {0x12};
    payload.insert(payload.end(), mine.begin(), mine.end());
    EXPECT_NE(server.dataReceived().find(frame(payload)), std::string::npos);
}

TEST_F(NetworkLink, A0xFFInEachPositionOfABlockArrivesSingle) {
    std::vector<std::uint8_t> block(128, 0x55);
    std::size_t at = 0;
    FakeServer server({}, [&](std::string& in) {
        block.assign(128, 0x55);
        block[at] = 0xFF;
        return miniUnit(block)(in);
    });
    UnitLink& l = link(server.url());
    ASSERT_EQ(l.initDll(1), 0);
    for (at = 0; at < 128; ++at) {
        std::uint8_t got[128] = {};
        ASSERT_EQ(l.getSystem(got), 0) << "0xFF at " << at;
        ASSERT_EQ(got[at], 0xFF) << at;
        ASSERT_EQ(got[(at + 1) % 128], 0x55) << at;
    }
}

TEST_F(NetworkLink, SpeedChangesAreConfirmedOverRfc2217AndRefusedOverRawTcp) {
    {
        FakeServer server({}, miniUnit(std::vector<std::uint8_t>(128)));
        UnitLink& l = link(server.url());
        ASSERT_EQ(l.initDll(1), 0);
        EXPECT_EQ(l.setDllBaud(1), 0);
        EXPECT_EQ(server.speeds(), (std::vector<std::uint32_t>{9600, 19200}));
        EXPECT_EQ(server.connections(), 1) << "the speed changes on the open connection";
        std::int16_t v = 0;
        EXPECT_EQ(l.getVol(&v), 0);
        EXPECT_EQ(v, 70);
        EXPECT_EQ(l.setDllBaud(0), 0);
        EXPECT_EQ(server.speeds(), (std::vector<std::uint32_t>{9600, 19200, 9600}));
        EXPECT_GE(server.purges(), 2);  // ClearError-style reset after each change
    }
    {
        FakeServer::Options raw;
        raw.rfc2217 = false;
        FakeServer server(raw, miniUnit(std::vector<std::uint8_t>(128)));
        UnitLink& l = link(server.url());
        ASSERT_EQ(l.initDll(1), 0);
        EXPECT_EQ(l.setDllBaud(1), LINK_ERR_TEXT_COMMAND | LINK_ERR_RANGE);
        EXPECT_EQ(server.dataReceived(), "M\r") << "the unit must not be told to change";
        EXPECT_NE(slurp(trace).find("speed change to 19200 refused: COM1 is a raw TCP port"), std::string::npos)
            << slurp(trace);
        std::int16_t v = 0;
        EXPECT_EQ(l.getVol(&v), 0);
        EXPECT_EQ(l.setDllBaud(0), 0);  // staying at 9600 is fine
    }
}

TEST_F(NetworkLink, ASpeedChangeTheServerNeverConfirmsFailsTheNextCommandInBoundedTime) {
    FakeServer::Options o;
    o.speedConfirmsLeft = 1;  // the speed of the open only
    FakeServer server(o, miniUnit(std::vector<std::uint8_t>(128)));
    UnitLink& l = link(server.url() + "?timeout=0.5");
    ASSERT_EQ(l.initDll(1), 0);
    l.setDllBaud(1);  // bounded: the server never confirms, and the fault says so
    EXPECT_EQ(l.serial.lastStatus().fault, PortFault::Negotiation);
    EXPECT_NE(l.serial.lastStatus().sentence.find("did not confirm 19200 bit/s"), std::string::npos)
        << l.serial.lastStatus().sentence;
    EXPECT_NE(slurp(trace).find("-- speed COM1: negotiation"), std::string::npos) << slurp(trace);
}

TEST_F(NetworkLink, ARefusedOptionIsNamed) {
    struct Case {
        const char* name;
        FakeServer::Options options;
        const char* inSentence;
    };
    FakeServer::Options noComPort, noBinary;
    noComPort.refuseComPort = true;
    noBinary.refuseBinary = true;
    const Case cases[] = {
        {"COM-PORT-OPTION refused", noComPort, "it refused COM-PORT-OPTION"},
        {"BINARY refused", noBinary, "it refused BINARY"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeServer server(c.options, miniUnit({}));
        UnitLink& l = link(server.url() + "?timeout=1");
        EXPECT_EQ(l.initDll(1), 0x0041);
        const PortStatus& s = l.serial.lastStatus();
        EXPECT_EQ(s.fault, PortFault::Negotiation);
        EXPECT_NE(s.sentence.find(c.inSentence), std::string::npos) << s.sentence;
        EXPECT_EQ(s.sentence.find("dialout"), std::string::npos);
    }
}

TEST_F(NetworkLink, AResetMidBlockIsAClosedConnectionNotATimeOutAndLeavesTheCallersBlockAlone) {
    for (const bool rfc2217 : {true, false}) {
        SCOPED_TRACE(rfc2217 ? "rfc2217" : "raw");
        FakeServer::Options o;
        o.rfc2217 = rfc2217;
        o.resetAfterBytes = 20 + 60;  // the mute reply (20 bytes), then 60 bytes of the block
        FakeServer server(o, miniUnit(std::vector<std::uint8_t>(128, 0xAB)));
        UnitLink& l = link(server.url());
        ASSERT_EQ(l.initDll(1), 0);
        std::uint8_t mine[128] = {};
        EXPECT_EQ(l.getSystem(mine), 0x000C);
        EXPECT_EQ(l.serial.lastStatus().fault, PortFault::Closed);
        EXPECT_NE(l.serial.lastStatus().sentence.find("The connection to 127.0.0.1:"), std::string::npos);
        EXPECT_EQ(l.serial.lastStatus().sentence.find("dialout"), std::string::npos);
        EXPECT_EQ(std::vector<std::uint8_t>(mine, mine + 128), std::vector<std::uint8_t>(128, 0));
    }
}

TEST_F(NetworkLink, ConnectFailuresAreNamedAsNetworkFailures) {
    // A port nobody listens on.
    int closedPort = 0;
    {
        FakeServer gone({}, miniUnit({}));
        closedPort = gone.port();
    }
    const DeadAddress silent;
    const int silentPort = silent.port();
    // A server that takes the connection and says it is busy.
    FakeServer::Options busy;
    busy.greeting = "Port's device already in use\r\n";
    busy.closeAtOnce = true;
    FakeServer busyServer(busy, miniUnit({}));

    struct Case {
        std::string url;
        PortFault fault;
        const char* inSentence;
    };
    const Case cases[] = {
        {"socket://127.0.0.1:" + std::to_string(closedPort), PortFault::Refused, "refused the connection"},
        {"rfc2217://127.0.0.1:" + std::to_string(silentPort) + "?timeout=0.3", PortFault::ConnectTimeout,
         "did not answer within 0.3 s"},
        // A name the resolver refuses without asking any server (a label over 63 characters).
        {"socket://" + std::string(70, 'u') + ".invalid:4001", PortFault::NameNotResolved, "did not resolve"},
        {busyServer.url(), PortFault::InUse, "the server said \"Port's device already in use\""},
        // TCP to a multicast address: the system says at once that no route leads there.
        {"socket://224.0.0.1:4001", PortFault::Unreachable, "cannot be reached from this computer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        UnitLink& l = link(c.url);
        EXPECT_EQ(l.initDll(1), 0x0041);
        const PortStatus& s = l.serial.lastStatus();
        EXPECT_EQ(faultName(s.fault), std::string(faultName(c.fault)));
        EXPECT_NE(s.sentence.find(c.inSentence), std::string::npos) << s.sentence;
        EXPECT_EQ(s.sentence.find("dialout"), std::string::npos) << s.sentence;
        // The diagnosis from outside the library opens the port as the library does.
        EXPECT_EQ(diagnosePort(1).sentence, s.sentence);
    }
}

TEST_F(NetworkLink, AServerStillReleasingTheDeviceForTheLastClientIsTriedAgainBriefly) {
    for (const bool rfc2217 : {true, false}) {
        SCOPED_TRACE(rfc2217 ? "rfc2217" : "raw");
        FakeServer::Options o;
        o.rfc2217 = rfc2217;
        o.busyConnections = 2;
        FakeServer server(o, miniUnit({}));
        UnitLink& l = link(server.url());
        EXPECT_EQ(l.initDll(1), 0);
        EXPECT_EQ(server.connections(), 3);
        EXPECT_NE(slurp(trace).find("the server is busy (the server said \"Port's device already in use\"); trying again"),
                  std::string::npos);
    }
}

TEST_F(NetworkLink, APurgeDropsWhatTheServerSentBeforeConfirmingIt) {
    for (const bool confirms : {true, false}) {
        SCOPED_TRACE(confirms ? "server confirms purges" : "server never confirms purges");
        FakeServer::Options o;
        o.beforePurgeConfirm = "VOL 99\r\nOK\r\nQ7M>\r\n";  // stale: sent before the purge took effect
        o.confirmPurge = confirms;
        FakeServer server(o, miniUnit({}));
        UnitLink& l = link(server.url());
        ASSERT_EQ(l.initDll(1), 0);
        const int atOpen = server.purges();
        EXPECT_NE(l.clearError(), 0);
        std::int16_t v = 0;
        EXPECT_EQ(l.getVol(&v), 0);
        // Without confirmations the query may take a stale reply and return
        // before the server has read the second purge: wait for it.
        EXPECT_TRUE(FakeServer::eventually([&] { return server.purges() >= atOpen + 2; }));
        EXPECT_EQ(server.purges(), atOpen + 2);
        if (confirms) {
            EXPECT_EQ(v, 70) << "the stale reply must not be taken for this one";
        }
        // Without confirmations stale bytes cannot be told apart, but the
        // port does not wait for confirmations that never come.
    }
}

TEST(Telnet, ASubnegotiationTooLongIsNeverDeliveredHoweverItsLastByteCame) {
    for (const std::uint8_t last : {std::uint8_t{0x41}, telnet::IAC}) {
        SCOPED_TRACE(last);
        for (const std::size_t size : {telnet::kMaxSub, telnet::kMaxSub + 1}) {
            // option, command, then value bytes up to `size` in all, the last one `last` (escaped when 0xFF)
            std::vector<std::uint8_t> body = {telnet::COM_PORT, 101};
            body.resize(size - 1, 0x20);
            body.push_back(last);
            std::vector<std::uint8_t> wire = {telnet::IAC, telnet::SB};
            telnet::appendEscaped(wire, body.data(), body.size());
            wire.insert(wire.end(), {telnet::IAC, telnet::SE});
            telnet::Decoder d;
            std::vector<telnet::Event> subs;
            for (auto b : wire)
                if (auto e = d.step(b); e.kind == telnet::Event::Sub) subs.push_back(e);
            if (size <= telnet::kMaxSub) {
                ASSERT_EQ(subs.size(), 1u);
                EXPECT_EQ(subs[0].sub, body);
            } else {
                EXPECT_TRUE(subs.empty()) << "a truncated subnegotiation was delivered";
            }
        }
    }
}

TEST_F(NetworkLink, EveryLineSettingIsCheckedByTheValueTheServerConfirms) {
    struct Case {
        std::uint8_t command;
        std::uint32_t confirmed;
        const char* inSentence;
    };
    const Case cases[] = {
        {telnet::SET_PARITY, 3, "was asked for no parity and confirmed even parity"},
        {telnet::SET_DATASIZE, 7, "was asked for 8 data bits and confirmed 7 data bits"},
        {telnet::SET_STOPSIZE, 2, "was asked for one stop bit and confirmed two stop bits"},
        {telnet::SET_CONTROL, 3, "was asked for no flow control and confirmed hardware flow control"},
        {telnet::SET_BAUDRATE, 19200, "was asked for 9600 bit/s and confirmed 19200 bit/s"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inSentence);
        FakeServer::Options o;
        o.confirmAs[c.command] = c.confirmed;
        FakeServer server(o, miniUnit({}));
        UnitLink& l = link(server.url());
        EXPECT_EQ(l.initDll(1), 0x0041);
        const PortStatus& s = l.serial.lastStatus();
        EXPECT_EQ(s.fault, PortFault::SettingMismatch);
        EXPECT_NE(s.sentence.find(c.inSentence), std::string::npos) << s.sentence;
        EXPECT_EQ(server.dataReceived(), "") << "nothing may reach the unit over a wrong line";
        const PortStatus diagnosis = diagnosePort(1);
        EXPECT_EQ(diagnosis.fault, PortFault::SettingMismatch);
        EXPECT_EQ(diagnosis.sentence, s.sentence);
    }
    // A speed change confirmed at another speed fails as well.
    FakeServer::Options o;
    o.confirmAs[telnet::SET_BAUDRATE] = 9600;
    FakeServer server(o, miniUnit({}));
    UnitLink& l = link(server.url());
    ASSERT_EQ(l.initDll(1), 0);
    l.setDllBaud(1);
    EXPECT_EQ(l.serial.lastStatus().fault, PortFault::SettingMismatch);
    EXPECT_NE(l.serial.lastStatus().sentence.find("was asked for 19200 bit/s and confirmed 9600 bit/s"),
              std::string::npos)
        << l.serial.lastStatus().sentence;
}

TEST_F(NetworkLink, WhatArrivesBeforeTheFirstPurgeIsConfirmedNeverReachesAReader) {
    FakeServer::Options o;
    o.chatter = "VOL 99\r\nOK\r\nQ7M>\r\n";  // before and during the negotiation
    FakeServer server(o, miniUnit({}));
    Rfc2217Port port(parsePortTarget(server.url()), {});
    ASSERT_TRUE(port.open(9600).ok());
    std::uint8_t got[64];
    const ReadResult r = port.read(got, sizeof got, 100);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(got), r.count), "");
    EXPECT_EQ(r.status.fault, PortFault::TimedOut);
}

TEST_F(NetworkLink, OptionsNobodyAskedForAreRefusedOncePerVerbAndOption) {
    using telnet::DO;
    using telnet::DONT;
    using telnet::WILL;
    using telnet::WONT;
    const std::uint8_t ECHO = 1, NAWS = 31;
    FakeServer::Options o;
    // Besides its own WILL SGA, WILL ECHO and DO COM-PORT-OPTION: the
    // server asks to be the COM-PORT client, and asks again for ECHO.
    o.offers = {{WILL, telnet::COM_PORT}, {DO, ECHO}, {WILL, ECHO}, {DO, NAWS}, {DO, ECHO}};
    FakeServer server(o, miniUnit({}));
    UnitLink& l = link(server.url());
    ASSERT_EQ(l.initDll(1), 0);
    // The refusals went out before the line settings, which are confirmed.
    std::vector<std::pair<std::uint8_t, std::uint8_t>> refusals;
    for (const auto& c : server.optionCommands())
        if (c.first == DONT || c.first == WONT) refusals.push_back(c);
    using P = std::pair<std::uint8_t, std::uint8_t>;
    EXPECT_EQ(refusals, (std::vector<P>{{DONT, ECHO}, {DONT, telnet::COM_PORT}, {WONT, ECHO}, {WONT, NAWS}}));
}

TEST_F(NetworkLink, AWriteCutInsideAnEscaped0xFFFinishesThePairBeforeAnythingElse) {
    FakeServer server({}, miniUnit({}));
    q7mtest::HalfPairSend buffer;
    Rfc2217Port port(parsePortTarget(server.url()), {});
    port.useIo(buffer);
    ASSERT_TRUE(port.open(9600).ok());
    buffer.armed = true;
    const std::uint8_t first[] = {'A', 0xFF, 'B'};
    const WriteResult cut = port.write(first, sizeof first, 100);
    EXPECT_EQ(cut.written, 2u) << "A, and the 0xFF whose second half is owed";
    EXPECT_EQ(cut.status.fault, PortFault::TimedOut);
    const std::uint8_t next[] = {'C'};
    EXPECT_EQ(port.write(next, 1, 100).written, 1u);
    EXPECT_TRUE(FakeServer::eventually([&] { return server.dataReceived().size() >= 3; }));
    EXPECT_EQ(server.dataReceived(), std::string("A\xFF" "C"));
}

TEST_F(NetworkLink, ADrainWaitsUntilTheServerHasHandledTheBytes) {
    FakeServer server({}, miniUnit({}));
    Rfc2217Port port(parsePortTarget(server.url()), {});
    ASSERT_TRUE(port.open(9600).ok());
    server.setLag(300);  // a busy server: what it receives waits a while
    const std::uint8_t speed[] = {'B', '2', '\r'};
    ASSERT_EQ(port.write(speed, sizeof speed, 400).written, 3u);
    port.drain(400);
    EXPECT_EQ(server.dataReceived(), "B2\r") << "the speed may change only after the command went out";
}

TEST(PeerHungUp, ADescriptorThatIsNotOpenCountsAsClosed) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    ::close(fd);
    std::string said;
    EXPECT_TRUE(peerHungUp(fd, 3000, said));
}

// A name lookup that blocks until released (a name server that does not
// answer), or gives fixed addresses; the system's resolver comes back at
// the end of the test.
class Lookup {
public:
    ~Lookup() {
        release();
        setNameLookup({});
        // The abandoned lookup's thread ends once released.
        FakeServer::eventually([this] { return running_ == 0; });
    }
    void hang() {
        setNameLookup([this](const std::string&, int, std::vector<SocketAddress>&) {
            ++running_;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                released_.wait(lock, [this] { return free_; });
            }
            --running_;
            return failure();
        });
    }
    void give(const std::vector<int>& tcpPorts) {
        setNameLookup([tcpPorts](const std::string&, int, std::vector<SocketAddress>& found) {
            for (const int p : tcpPorts) {
                SocketAddress a;
                auto* in = reinterpret_cast<sockaddr_in*>(&a.address);
                in->sin_family = AF_INET;
                in->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                in->sin_port = htons(static_cast<std::uint16_t>(p));
                a.length = sizeof(sockaddr_in);
                found.push_back(a);
            }
            return PortStatus::success();
        });
    }
    void release() {
        std::lock_guard<std::mutex> lock(mutex_);
        free_ = true;
        released_.notify_all();
    }

private:
    static PortStatus failure() {
        PortStatus s;
        s.fault = PortFault::NameNotResolved;
        return s;
    }
    std::mutex mutex_;
    std::condition_variable released_;
    bool free_ = false;
    std::atomic<int> running_{0};
};

TEST_F(NetworkLink, OneDeadlineCoversTheNameLookupEveryAddressAndTheNegotiation) {
    {
        SCOPED_TRACE("a name server that never answers");
        Lookup lookup;
        lookup.hang();
        UnitLink& l = link("rfc2217://booth-3.example:2217?timeout=0.3");
        EXPECT_EQ(l.initDll(1), 0x0041);
        EXPECT_EQ(l.serial.lastStatus().fault, PortFault::NameNotResolved);
        EXPECT_NE(l.serial.lastStatus().sentence.find("(the name service did not answer within 0.3 s)"),
                  std::string::npos)
            << l.serial.lastStatus().sentence;
    }
    {
        SCOPED_TRACE("a dead first address");
        DeadAddress dead;
        FakeServer server({}, miniUnit({}));
        Lookup lookup;
        lookup.give({dead.port(), server.port()});
        UnitLink& l = link("rfc2217://booth-3.example:2217?timeout=2");
        EXPECT_EQ(l.initDll(1), 0) << l.serial.lastStatus().sentence;
    }
    {
        SCOPED_TRACE("a server that takes most of the time for each stage");
        FakeServer::Options o;
        o.lagMs = 400;  // the options agreed after 400 ms, the settings after 800
        FakeServer server(o, miniUnit({}));
        UnitLink& l = link(server.url() + "?timeout=0.6");
        EXPECT_EQ(l.initDll(1), 0x0041);
        EXPECT_EQ(l.serial.lastStatus().fault, PortFault::Negotiation);
        EXPECT_NE(l.serial.lastStatus().sentence.find(
                      "did not confirm 8 data bits, no parity, one stop bit and no flow control within 600 ms"),
                  std::string::npos)
            << l.serial.lastStatus().sentence;
    }
}
