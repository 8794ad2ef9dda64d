// q7mctl as a technician runs it, against q7msim.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "fake_server.h"
#include "files/config_file.h"
#include "sim_process.h"

using namespace q7mtest;

namespace {
using CtlRun = CommandRun;
CtlRun q7mctl(const std::string& args) { return runCommand(std::string(Q7MCTL_PATH) + " " + args + " 2>&1"); }

// What the unit received: text commands and framed messages.
std::vector<std::string> received(const SimProcess& sim) {
    std::vector<std::string> out;
    for (const auto& l : sim.log())
        if (l.rfind("TEXT ", 0) == 0 || l.rfind("FRAME ", 0) == 0 || l.rfind("GARBLED", 0) == 0) out.push_back(l);
    return out;
}

// The unit's rate as its status line reports it.
std::string unitBaud(SimProcess& sim) {
    if (!sim.control("status")) return "?";
    const auto lines = sim.logMatching("status volume=");
    const auto& l = lines.back();
    const auto at = l.find("baud=") + 5;
    return l.substr(at, l.find(' ', at) - at);
}

std::string validZcf(const SimProcess& sim) {
    const std::string file = sim.dir() + "/valid.zcf";
    zelk::ConfigData data;
    EXPECT_TRUE(zelk::WriteConfigFile(file, data));
    return readFile(file);
}
}  // namespace

TEST(Q7mctl, VersionsLiveValuesAndErrors) {
    SimProcess sim({"--build", "12"});
    auto r = q7mctl("version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "CPU Version: 1.06.0012\nDSP Controller: 1.03\nDSP Firmware: 1.09\n");
    EXPECT_EQ(q7mctl("vol 6.5").status, 0);
    EXPECT_EQ(q7mctl("format SR-TYPE").status, 0);
    r = q7mctl("-s 19200 live");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "Fader: 6.5\nMute: off\nFormat: SR-TYPE\n");
    EXPECT_TRUE(sim.waitForLog("TEXT B1"));  // back to 9600 at the end
    EXPECT_EQ(unitBaud(sim), "9600");

    // A port that cannot be opened: the library's diagnosis, cause and fix.
    r = q7mctl("-p 4 version");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("- Serial Port Error\n- Could Not Initialise\n  COM4 is " + sim.dir() +
                         "/absent4, which does not exist: plug the adapter in"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("dialout"), std::string::npos) << r.out;
    ASSERT_TRUE(sim.control("silent on"));
    r = q7mctl("live");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("- Error Receiving\n- Could Not Initialise\n- Error during ASCII command"),
              std::string::npos)
        << r.out;
}

TEST(Q7mctl, BackupAndRestoreAUnit) {
    SimProcess sim;
    const std::string file = sim.dir() + "/theatre.zcf";
    auto r = q7mctl("backup " + file);
    ASSERT_EQ(r.status, 0) << r.out;
    zelk::ConfigData data;
    ASSERT_EQ(zelk::ReadConfigFile(file, data), zelk::ReadResult::Ok);
    EXPECT_EQ(data.systemBlock.surroundDelay(), 2);
    EXPECT_EQ(data.systemBlock.bytes[8], 0x10);
    EXPECT_EQ(data.CurrentVolume, 70);
    EXPECT_EQ(data.TheaterInfo[9], "3:07 PM 25/03/04");

    // Edit the file and send it back (blank lines after the last value are fine).
    data.systemBlock.surroundDelay() = 7;
    data.audioBlock.trimLevel(0) = 20;
    writeFile(file, zelk::configFileText(data) + "\r\n\r\n");
    sim.clearLog();
    r = q7mctl("-s 19200 restore " + file);
    ASSERT_EQ(r.status, 0) << r.out;
    const auto stored = sim.logMatching("STORED");
    EXPECT_EQ(stored, (std::vector<std::string>{"STORED system block", "STORED audio block"}));
    ASSERT_TRUE(sim.control("save " + sim.dir() + "/unit.img"));
    const std::string img = readFile(sim.dir() + "/unit.img");
    ASSERT_EQ(img.size(), 352u);
    EXPECT_EQ(img[6], 7);
    EXPECT_EQ(img[128 + 6], 20);
    EXPECT_EQ(static_cast<std::uint8_t>(img[128 + 194]), 0x10 + 194 % 7);  // carried bytes kept

    // An old image replaces both blocks whole.
    std::string image = img;
    image[6] = 3;
    image[128 + 194] = 0x55;
    writeFile(sim.dir() + "/old.cfg", image);
    ASSERT_EQ(q7mctl("restore " + sim.dir() + "/old.cfg").status, 0);
    ASSERT_TRUE(sim.control("save " + sim.dir() + "/unit.img"));
    EXPECT_EQ(readFile(sim.dir() + "/unit.img").substr(0, 128), image.substr(0, 128));
    EXPECT_EQ(readFile(sim.dir() + "/unit.img")[128 + 194], 0x55);
}

// Every refusal names its cause, exits with 2, and happens before a single
// byte goes to the unit.
TEST(Q7mctl, RefusesBadArgumentsAndFilesBeforeTalkingToTheUnit) {
    SimProcess sim;
    const std::string& d = sim.dir();
    const std::string valid = validZcf(sim);
    writeFile(d + "/trailing.zcf", valid + "1,2,3\r\n");
    std::string huge = valid;
    for (int i = 0; i < 200000; ++i) huge += "0\r\n";
    writeFile(d + "/huge.zcf", huge);
    writeFile(d + "/wrong.zcf", "\"ZELK CP Settings File: V2.0\"\r\n");
    writeFile(d + "/damaged.zcf", "\"ZELK CP Settings File: V1.0\"\r\n1,2\r\n");
    writeFile(d + "/long.cfg", std::string(1024, '\x01'));
    writeFile(d + "/short.cfg", std::string(100, '\x01'));
    ASSERT_EQ(::mkfifo((d + "/fifo.zcf").c_str(), 0600), 0);

    struct Case {
        std::string args, says;
    };
    const std::vector<Case> cases = {
        {"", "no command given"},
        {"bogus", "unknown command 'bogus'"},
        {"-x version", "unknown option -x"},
        {"-p abc version", "-p needs a port number from 1 to 255, not 'abc'"},
        {"-p 0 version", "not '0'"},
        {"-p 2x version", "not '2x'"},
        {"-p", "-p needs a value"},
        {"-s 4800 version", "-s takes 9600 or 19200, not '4800'"},
        {"version extra", "unexpected argument 'extra'"},
        {"version -p 2", "(options go before the command)"},
        {"vol", "'vol' needs an argument"},
        {"vol 12", "the fader runs from 0.0 to 9.9, not '12'"},
        {"vol 7,5", "not '7,5'"},
        {"mute maybe", "mute takes on or off"},
        {"format Q", "unknown format 'Q'"},
        {"-s 19200 recover", "leave out -s"},
        {"restore " + d + "/missing.zcf", "missing.zcf: no such file"},
        {"restore " + d, "a folder, not a configuration file"},
        {"restore /dev/zero", "a device, not a configuration file"},
        {"restore " + d + "/fifo.zcf", "a pipe, not a configuration file"},
        {"restore " + d + "/huge.zcf", "far more than a configuration file holds"},
        {"restore " + d + "/trailing.zcf", "unexpected content after the configuration's last value, from line 34"},
        {"restore " + d + "/wrong.zcf", "not a configuration file (it does not start with"},
        {"restore " + d + "/damaged.zcf", "a damaged configuration file"},
        {"restore " + d + "/long.cfg", "1024 bytes, but an old configuration image (.cfg) holds exactly 352"},
        {"restore " + d + "/short.cfg", "100 bytes"},
        {"backup " + d + "/missing/unit.zcf", "the folder " + d + "/missing does not exist"},
        {"backup " + d, "is a folder"},
    };
    for (const auto& c : cases) {
        const CtlRun r = q7mctl(c.args);
        EXPECT_EQ(r.status, 2) << c.args << "\n" << r.out;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << c.args << "\n" << r.out;
        EXPECT_NE(r.out.find("usage"), std::string::npos) << c.args;
    }
    EXPECT_TRUE(received(sim).empty()) << ::testing::PrintToString(received(sim));
    EXPECT_EQ(readFile(d + "/trailing.zcf"), valid + "1,2,3\r\n");  // files are only read
}

// The unit stops answering after it stored the system block: the restore
// says which block the unit now holds, and fails.
TEST(Q7mctl, AHalfDoneRestoreSaysWhichBlockTheUnitHolds) {
    SimProcess sim;
    const std::string file = sim.dir() + "/theatre.zcf";
    ASSERT_EQ(q7mctl("backup " + file).status, 0);
    // Replies: the link test, the two block reads, the system block's ready and accepted.
    ASSERT_TRUE(sim.control("after 5 silent on"));
    const CtlRun r = q7mctl("restore " + file);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("HALF DONE: the unit stored the system block of " + file + " but not its audio block"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(sim.logMatching("STORED"), std::vector<std::string>{"STORED system block"});
}

TEST(Q7mctl, SpeedChangesAreConfirmedAndAMissedOneIsUndone) {
    SimProcess sim;
    // The unit misses the speed command: q7mctl notices and both ends return to 9600.
    ASSERT_TRUE(sim.control("ignore B"));
    CtlRun r = q7mctl("-s 19200 version");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("did not answer at 19200 bit/s after the speed change; it is at 9600 bit/s"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(sim.logMatching("IGNORED TEXT B2").size(), 1u);
    EXPECT_EQ(unitBaud(sim), "9600");
    EXPECT_EQ(q7mctl("version").status, 0);

    // The closing return is missed once: the second try brings the unit back.
    // (Replies before it: the link test, the confirmation at 19200, the versions.)
    sim.clearLog();
    ASSERT_TRUE(sim.control("after 3 ignore B"));
    r = q7mctl("-s 19200 version");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(sim.logMatching("IGNORED TEXT B1").size(), 1u);
    EXPECT_EQ(unitBaud(sim), "9600");

    // Missed twice: the unit stays at 19200, and q7mctl says so.
    ASSERT_TRUE(sim.control("after 3 ignore B 2"));
    r = q7mctl("-s 19200 version");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("the return to 9600 bit/s failed: the unit did not answer at 9600 bit/s after the speed "
                         "change; it is at 19200 bit/s (run 'q7mctl -p 1 recover'"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(unitBaud(sim), "19200");
    EXPECT_EQ(q7mctl("version").status, 1);  // stranded

    r = q7mctl("recover");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "Found the unit on COM1 at 19200 bit/s and set it back to 9600 bit/s\n");
    EXPECT_EQ(unitBaud(sim), "9600");
    EXPECT_EQ(q7mctl("version").status, 0);
}

TEST(Q7mctl, RecoverFindsTheUnitAtEveryRate) {
    SimProcess sim;
    for (const std::string rate : {"57600", "38400", "19200"}) {
        ASSERT_TRUE(sim.control("baud " + rate));
        const CtlRun r = q7mctl("recover");
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(r.out, "Found the unit on COM1 at " + rate + " bit/s and set it back to 9600 bit/s\n");
        EXPECT_EQ(unitBaud(sim), "9600");
    }
    CtlRun r = q7mctl("recover");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "The unit on COM1 answers at 9600 bit/s: nothing to do\n");

    ASSERT_TRUE(sim.control("silent on"));
    r = q7mctl("recover");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("no unit answers on COM1 at 9600, 19200, 38400 or 57600 bit/s"), std::string::npos) << r.out;
    r = q7mctl("-p 4 recover");  // mapped to a device that does not exist: said at once
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("cannot open COM4 (error word 0x0041): COM4 is " + sim.dir() + "/absent4, which does not exist"),
              std::string::npos)
        << r.out;
}

// A raw TCP serial server's line speed is its own: a speed change is refused
// before the unit hears of it, and the port says why.
TEST(Q7mctl, ASpeedChangeOverARawTcpPortIsRefusedAndSaysWhy) {
    SimProcess sim({"--listen", "127.0.0.1:0"});
    const std::string address = sim.listenAddress();
    ASSERT_FALSE(address.empty());
    writeFile(sim.dir() + "/ZelkSerial.ini", "[Ports]\r\nCOM2=socket://" + address + "\r\n");
    const CtlRun r = q7mctl("-p 2 -s 19200 version");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "q7mctl: COM2 is a raw TCP port (socket://" + address +
                         "), whose line speed is set on the server and cannot be changed from here: stay at 9600, "
                         "or map the unit through an rfc2217:// port. Nothing was done.\n");
    EXPECT_TRUE(sim.logMatching("TEXT B").empty());
    EXPECT_EQ(unitBaud(sim), "9600");
    EXPECT_EQ(q7mctl("-p 2 version").status, 0);
}

// A serial server that does not keep to RFC 2217: the failure names the
// server's fault, not the unit, and exits 1.
TEST(Q7mctl, AServerThatBreaksTheNegotiationIsNamed) {
    TempDir dir;
    ::setenv("Q7M_CONFIG_DIR", dir.path().c_str(), 1);
    const FakeServer::Unit noUnit = [](std::string& in) {
        in.clear();
        return std::string();
    };
    FakeServer::Options even;
    even.confirmAs[q7m::telnet::SET_PARITY] = 3;
    FakeServer evenParity(even, noUnit);
    FakeServer::Options never;
    never.negotiate = false;  // takes the connection and says nothing
    FakeServer silent(never, noUnit);
    writeFile(dir.file("ZelkSerial.ini"),
              "[Ports]\r\nCOM1=" + evenParity.url() + "\r\nCOM2=" + silent.url() + "?timeout=0.5\r\n");

    CtlRun r = q7mctl("-p 1 version");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("The serial server of COM1 (" + evenParity.url() +
                         ") was asked for no parity and confirmed even parity"),
              std::string::npos)
        << r.out;
    r = q7mctl("-p 2 version");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("The serial server of COM2 (" + silent.url() +
                         "?timeout=0.5) failed the RFC 2217 negotiation (it did not confirm BINARY and "
                         "COM-PORT-OPTION within 500 ms): it is not an RFC 2217 server"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("try again"), std::string::npos) << r.out;
    ::unsetenv("Q7M_CONFIG_DIR");
}

// SIGTERM (or Ctrl-C) while the unit runs at 19200: q7mctl finishes the
// call under way, sets the unit back to 9600 and says it was stopped.
TEST(Q7mctl, ASignalAtAnotherSpeedStillEndsAt9600) {
    SimProcess sim;
    // The unit goes quiet once the speed change is confirmed, so the block
    // read that follows waits for its time-out: the signal lands then.
    ASSERT_TRUE(sim.control("after 2 silent on"));
    const std::string out = sim.dir() + "/q7mctl.out";
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        ::execl(Q7MCTL_PATH, "q7mctl", "-s", "19200", "dump", nullptr);
        ::_exit(127);
    }
    ASSERT_TRUE(sim.waitForLog("ACK silent on: ok"));
    ASSERT_TRUE(sim.control("silent off"));
    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "killed outright, leaving the unit at 19200";
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM) << readFile(out);
    EXPECT_NE(readFile(out).find("stopped by signal 15"), std::string::npos) << readFile(out);
    EXPECT_EQ(unitBaud(sim), "9600");
    EXPECT_EQ(q7mctl("version").status, 0);
}
