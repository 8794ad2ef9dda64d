// The port map and the port diagnosis that the editor and q7mctl show.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "port/port_map.h"
#include "port/serial_port_posix.h"
#include "pty_helpers.h"

using namespace q7m;
using q7mtest::Pty;
using Kind = PortTarget::Kind;

namespace {

class PortMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/q7mports.XXXXXX";
        dir = ::mkdtemp(tmpl);
        ::chmod(dir.c_str(), 0755);  // readable for the tries as an ordinary user
        ::setenv("Q7M_CONFIG_DIR", dir.c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("Q7M_CONFIG_DIR");
        [[maybe_unused]] int r = std::system(("rm -rf '" + dir + "'").c_str());
    }
    void ini(const std::string& text) {
        std::ofstream(dir + "/ZelkSerial.ini") << text;
        ::chmod((dir + "/ZelkSerial.ini").c_str(), 0644);
    }
    std::string dir;
};

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(PortTarget, DevicePathsAndNetworkUrlsAreReadAndMistakesNamed) {
    struct Case {
        const char* text;
        Kind kind;
        const char* hostOrDevice;
        int tcpPort;
        const char* problem;  // part of the reason for Invalid
    };
    const Case cases[] = {
        {"/dev/ttyUSB0", Kind::Device, "/dev/ttyUSB0", 0, ""},
        {"  /dev/serial/by-id/usb-FTDI-if00  ", Kind::Device, "/dev/serial/by-id/usb-FTDI-if00", 0, ""},
        {"", Kind::None, "", 0, ""},
        {"socket://192.0.2.7:4001", Kind::Socket, "192.0.2.7", 4001, ""},
        {"SOCKET://booth-3.example:4001/", Kind::Socket, "booth-3.example", 4001, ""},
        {"rfc2217://localhost:2217", Kind::Rfc2217, "localhost", 2217, ""},
        {"rfc2217://[::1]:2217?ign_set_control&timeout=2.5&logging=debug", Kind::Rfc2217, "::1", 2217, ""},
        {"socket://host", Kind::Invalid, "", 0, "port number is missing"},
        {"socket://:4001", Kind::Invalid, "", 0, "host is missing"},
        {"socket://host:70000", Kind::Invalid, "", 0, "not a TCP port number"},
        {"socket://host:40x1", Kind::Invalid, "", 0, "not a TCP port number"},
        {"rfc2217://[::1:2217", Kind::Invalid, "", 0, "closing ']'"},
        {"telnet://host:23", Kind::Invalid, "", 0, "not a kind of port"},
        {"socket://host:4001?ign_set_control", Kind::Invalid, "", 0, "not understood"},
        {"rfc2217://host:2217?baud=19200", Kind::Invalid, "", 0, "not understood"},
        {"rfc2217://host:2217?timeout=0", Kind::Invalid, "", 0, "seconds"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const PortTarget t = parsePortTarget(c.text);
        EXPECT_EQ(static_cast<int>(t.kind), static_cast<int>(c.kind)) << t.problem;
        if (c.kind == Kind::Device) {
            EXPECT_EQ(t.device, c.hostOrDevice);
        }
        if (c.kind == Kind::Socket || c.kind == Kind::Rfc2217) {
            EXPECT_EQ(t.host, c.hostOrDevice);
            EXPECT_EQ(t.tcpPort, c.tcpPort);
        }
        if (c.kind == Kind::Invalid) {
            EXPECT_TRUE(has(t.problem, c.problem)) << t.problem;
        }
    }
    const PortTarget t = parsePortTarget("rfc2217://[::1]:2217?ign_set_control&timeout=2.5&logging=debug");
    EXPECT_TRUE(t.ignoreSetControl);
    EXPECT_EQ(t.connectTimeoutMs, 2500);
    EXPECT_EQ(t.logging, "debug");
}

TEST_F(PortMapTest, TheTableIsReadWithoutRegardToCaseOrBlanks) {
    ini("; ports of booth 3\r\n[ports]\r\n  com1 = /dev/ttyUSB0  \r\nCOM2=\r\n[Serial]\r\nCOM3=/dev/not-here\r\n");
    const PortMapping m = mapPort(1);
    EXPECT_TRUE(m.fromTable);
    EXPECT_EQ(m.name, "COM1");
    EXPECT_EQ(m.target.device, "/dev/ttyUSB0");
    EXPECT_EQ(m.iniFile, dir + "/ZelkSerial.ini");
    EXPECT_EQ(mapPort(0).target.device, "/dev/ttyUSB0");  // 0 is port 1, as InitDLL takes it
    EXPECT_FALSE(mapPort(2).fromTable);                    // an empty entry maps nothing
    EXPECT_FALSE(mapPort(3).fromTable);                    // only [Ports] maps ports

    EXPECT_TRUE(has(describePort(1), "COM1 is /dev/ttyUSB0 (from [Ports] in " + dir + "/ZelkSerial.ini)"))
        << describePort(1);
    EXPECT_TRUE(has(describePort(99), "COM99 is not mapped")) << describePort(99);
}

TEST_F(PortMapTest, DiagnosisNamesTheCauseAndTheFix) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    std::ofstream(dir + "/plain-file") << "x";
    ini("[Ports]\r\nCOM1=" + dir + "/ttyUSB9\r\nCOM2=" + dir + "/plain-file\r\nCOM3=ftp://x:1\r\nCOM4=" +
        pty.slave + "\r\n");
    struct Case {
        int port;
        PortFault fault;
        const char* inSentence;
    };
    const Case cases[] = {
        {1, PortFault::NotFound, "which does not exist: plug the adapter in, or correct COM1 under [Ports] in"},
        {2, PortFault::NotSerial, "which is not a serial device"},
        {3, PortFault::BadAddress, "not a kind of port"},
        {99, PortFault::NotMapped, "add a line such as COM99=/dev/ttyUSB0 under [Ports]"},
        {4, PortFault::None, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        const PortStatus s = diagnosePort(c.port);
        EXPECT_EQ(faultName(s.fault), std::string(faultName(c.fault)));
        EXPECT_TRUE(has(s.sentence, c.inSentence)) << s.sentence;
        EXPECT_FALSE(has(s.sentence, "dialout")) << s.sentence;
    }

    // Held by the library (another program, as far as the port is concerned).
    PosixSerialPort holder(pty.slave);
    ASSERT_TRUE(holder.open(9600).ok());
    const PortStatus busy = diagnosePort(4);
    EXPECT_EQ(busy.fault, PortFault::InUse);
    EXPECT_TRUE(has(busy.sentence, "COM4 (" + pty.slave + ") is in use by another program")) << busy.sentence;
    EXPECT_FALSE(has(busy.sentence, "dialout"));
    ASSERT_EQ(::chmod(pty.slave.c_str(), 0666), 0);
    const int busyAsUser = q7mtest::runAsNobody([] { return static_cast<int>(diagnosePort(4).fault); });
    if (busyAsUser >= 0) {
        EXPECT_EQ(busyAsUser, static_cast<int>(PortFault::InUse));
    }
    holder.close();
    EXPECT_EQ(diagnosePort(4).fault, PortFault::None) << "the diagnosis keeps nothing open";
}

TEST_F(PortMapTest, AUserOutsideTheDialoutGroupIsToldHowToJoinIt) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    ini("[Ports]\r\nCOM2=" + pty.slave + "\r\n");
    ASSERT_EQ(::chmod(pty.slave.c_str(), 0600), 0);
    const int fault = q7mtest::runAsNobody([] {
        const PortStatus s = diagnosePort(2);
        if (s.sentence.find("add your user to the 'dialout' group (sudo usermod -aG dialout $USER)") ==
            std::string::npos)
            return 100;
        return static_cast<int>(s.fault);
    });
    if (fault < 0) GTEST_SKIP() << "needs root to try the port as another user";
    EXPECT_EQ(fault, static_cast<int>(PortFault::NoPermission));
}

TEST(PortFaultSentence, EachOpenErrorHasItsOwnCause) {
    EXPECT_EQ(faultFromOpenErrno(ENOENT), PortFault::NotFound);
    EXPECT_EQ(faultFromOpenErrno(ENXIO), PortFault::NotFound);
    EXPECT_EQ(faultFromOpenErrno(EACCES), PortFault::NoPermission);
    EXPECT_EQ(faultFromOpenErrno(EBUSY), PortFault::InUse);
    EXPECT_EQ(faultFromOpenErrno(EIO), PortFault::Io);
}
