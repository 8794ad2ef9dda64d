// The built library, loaded by name, driven against q7msim over a real
// pseudo-terminal.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

#include "connection/link_api.h"
#include "port/port_map.h"
#include "q7mslib.h"
#include "ser2net_process.h"
#include "sim_process.h"

using namespace q7mtest;
using zelk::LinkLibrary;

namespace {

std::string run(const std::string& cmd) { return runCommand(cmd).out; }

// A fresh copy of the library (its own UnitLink) talking to a fresh unit.
class LinkTest : public ::testing::Test {
protected:
    void start(std::vector<std::string> simArgs = {}) {
        sim = std::make_unique<SimProcess>(std::move(simArgs));
        ASSERT_TRUE(sim->running());
        ASSERT_TRUE(lib.load(libraryPath())) << lib.error();
    }
    void connect() {
        ASSERT_EQ(api().InitDLL(1), 0);
        sim->clearLog();
    }
    void TearDown() override {
        if (lib.loaded()) api().DLLShutdown();
        lib.unload();
        sim.reset();
    }
    const zelk::LinkApi& api() { return lib.api(); }
    std::vector<std::string> texts() { return sim->logMatching("TEXT "); }

    std::unique_ptr<SimProcess> sim;
    LinkLibrary lib;
};

// A unit played by the test on a pseudo-terminal of its own: when the bytes
// received end with a command, its scripted answer is sent back.
class PtyUnit {
public:
    PtyUnit() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) slave_ = ::ptsname(master_);
        thread_ = std::thread([this] { serve(); });
    }
    ~PtyUnit() {
        stop_ = true;
        thread_.join();
        if (master_ >= 0) ::close(master_);
    }
    const std::string& device() const { return slave_; }
    void answer(const std::string& command, const std::string& reply) {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_[command] = reply;
    }

private:
    void serve() {
        std::string received;
        while (!stop_) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            char buf[256];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0) {  // nobody has the other side open: look again shortly
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            received.append(buf, static_cast<std::size_t>(n));
            std::lock_guard<std::mutex> lock(mutex_);
            for (const auto& [command, reply] : answers_) {
                if (received.size() >= command.size() &&
                    received.compare(received.size() - command.size(), command.size(), command) == 0) {
                    [[maybe_unused]] auto w = ::write(master_, reply.data(), reply.size());
                    received.clear();
                    break;
                }
            }
        }
    }
    int master_ = -1;
    std::string slave_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::map<std::string, std::string> answers_;
    std::thread thread_;
};

std::vector<std::string> traceNotes(const std::string& trace) {
    std::vector<std::string> notes;
    std::istringstream in(readFile(trace));
    std::string line;
    while (std::getline(in, line))
        if (auto at = line.find(" -- "); at != std::string::npos) notes.push_back(line.substr(at + 4));
    return notes;
}

// Lines of the trace that contain `needle`.
int traceCount(const std::string& trace, const std::string& needle) {
    std::istringstream in(readFile(trace));
    int n = 0;
    for (std::string line; std::getline(in, line);) n += line.find(needle) != std::string::npos;
    return n;
}

bool anyStartsWith(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const auto& l : lines)
        if (l.rfind(prefix, 0) == 0) return true;
    return false;
}

}  // namespace

TEST(LinkLibraryExports, ExactlyTheTwentyNineEntryPoints) {
    const std::string out = run("nm -D --defined-only '" + libraryPath() + "'");
    std::set<std::string> names;
    std::istringstream in(out);
    std::string addr, type, name;
    while (in >> addr >> type >> name) names.insert(name);
    const std::set<std::string> expected = {
        "InitDLL", "DLLShutdown", "SetDLLBaud", "DLLCreateIni", "ClearError", "GetUnitVersion", "GetSystem",
        "SetSystem", "GetAudio", "SetAudio", "SetVol", "GetVol", "SetMute", "GetMute", "SelectFormat", "GetFormat",
        "SetPink", "SetPhase", "SetRT60", "SetProjector", "EnableOBE", "BeginGainStream", "BeginSlitStream",
        "BeginAzimuthStream", "StopStream", "GetOptGain", "GetSingleSlitloss", "GetOptSlitloss", "GetOptAzimuth"};
    EXPECT_EQ(names, expected) << out;
}

TEST(LinkLibraryLoading, MissingFileOrSymbolsGiveAClearErrorNotACrash) {
    LinkLibrary lib;
    EXPECT_FALSE(lib.load("/nonexistent/libq7mslib.so"));
    EXPECT_NE(lib.error().find("Cannot load"), std::string::npos);
    EXPECT_FALSE(lib.loaded());
    // A real shared library that is not ours: every name is missing.
    EXPECT_FALSE(lib.load("libm.so.6"));
    EXPECT_NE(lib.error().find("InitDLL"), std::string::npos);
    EXPECT_NE(lib.error().find("GetOptAzimuth"), std::string::npos);
}

TEST_F(LinkTest, CommandsBeforeInitFailWithTheirContextAndSendNothing) {
    start();
    std::int16_t v = 5;
    std::uint8_t block[224] = {};
    EXPECT_EQ(api().GetVol(&v), 0x00C0);
    EXPECT_EQ(v, 5);
    EXPECT_EQ(api().SetVol(70), 0x00C0);
    EXPECT_EQ(api().GetSystem(block), 0x0048);
    EXPECT_EQ(api().SetAudio(block), 0x0050);
    EXPECT_EQ(api().StopStream(), 0x0140);
    EXPECT_EQ(api().EnableOBE(), 0x0140);
    EXPECT_EQ(api().GetOptGain(&v), 0x0140);
    EXPECT_EQ(api().GetOptSlitloss(block), 0x0140);
    EXPECT_EQ(api().SetDLLBaud(1), 0x00C0);
    // The barrier: back at 9600 (the rate applies even before InitDLL), a
    // connection's first command reaches the unit, and nothing came before it.
    EXPECT_EQ(api().SetDLLBaud(0), 0x00C0);
    ASSERT_EQ(api().InitDLL(1), 0);
    std::vector<std::string> heard;
    for (const auto& l : sim->log())
        if (l.rfind("TEXT", 0) == 0 || l.rfind("FRAME", 0) == 0) heard.push_back(l);
    EXPECT_EQ(heard, std::vector<std::string>{"TEXT M"});
}

TEST_F(LinkTest, InitTestsTheLineWithAMuteQueryAndPortZeroMeansOne) {
    start();
    EXPECT_EQ(api().InitDLL(0), 0);
    EXPECT_TRUE(sim->waitForLog("TEXT M"));
    EXPECT_EQ(api().DLLShutdown(), 1);
    std::int16_t v = 0;
    EXPECT_EQ(api().GetVol(&v), 0x00C0);  // shut down: not connected any more
    EXPECT_EQ(api().InitDLL(1), 0);       // and InitDLL works again
}

TEST_F(LinkTest, MissingPortSilentUnitAndSecondOpener) {
    const TempDir traceDir;
    const std::string trace = traceDir.file("trace.txt");
    ::setenv("Q7M_TRACE", trace.c_str(), 1);
    start();
    ::unsetenv("Q7M_TRACE");
    writeFile(sim->dir() + "/ZelkSerial.ini",
              "[Ports]\r\nCOM1=" + sim->link() + "\r\nCOM3=" + sim->dir() + "/no-such-port\r\n");
    EXPECT_EQ(api().InitDLL(3), 0x0041);

    ASSERT_TRUE(sim->control("silent on"));
    writeFile(trace, "");
    EXPECT_EQ(api().InitDLL(1), 0x00C4);
    // One mute query and one wait for its first byte: nothing is retried
    // inside the library.
    EXPECT_EQ(traceCount(trace, " TX 4D 0D"), 1) << readFile(trace);
    EXPECT_EQ(traceCount(trace, " -- read COM1: timed-out"), 1) << readFile(trace);
    std::int16_t v = 0;
    EXPECT_EQ(api().GetVol(&v), 0x00C0);  // a failed InitDLL leaves the link closed
    ASSERT_TRUE(sim->control("silent off"));
    ASSERT_EQ(api().InitDLL(1), 0);

    // A second copy of the library (its own state) cannot open the same port.
    const std::string copy = sim->dir() + "/libcopy.so";
    ASSERT_EQ(std::system(("cp '" + libraryPath() + "' '" + copy + "'").c_str()), 0);
    LinkLibrary second;
    ASSERT_TRUE(second.load(copy)) << second.error();
    EXPECT_EQ(second.api().InitDLL(1), 0x0041);
}

TEST_F(LinkTest, LiveCommandsSendTheirBytesAndReadTheUnitsState) {
    start();
    connect();
    EXPECT_EQ(api().SetVol(7), 0);
    EXPECT_EQ(api().SetMute(255), 0);
    EXPECT_EQ(api().SelectFormat(4), 0);
    EXPECT_EQ(api().SetPink(5, 1), 0);
    EXPECT_EQ(api().SetPhase(0, 0), 0);
    EXPECT_EQ(api().SetRT60(1), 0);
    EXPECT_EQ(api().SetProjector(1), 0);
    EXPECT_EQ(api().EnableOBE(), 0);
    EXPECT_EQ(texts(), (std::vector<std::string>{"TEXT V07", "TEXT M+", "TEXT FD", "TEXT PS+", "TEXT HL-", "TEXT R+",
                                                  "TEXT A2", "TEXT AO"}));
    std::int16_t vol = 0, fmt = 0;
    std::uint8_t mute = 0;
    EXPECT_EQ(api().GetVol(&vol), 0);
    EXPECT_EQ(vol, 7);
    EXPECT_EQ(api().GetMute(&mute), 0);
    EXPECT_EQ(mute, 1);
    EXPECT_EQ(api().GetFormat(&fmt), 0);
    EXPECT_EQ(fmt, 4);

    // The front panel.
    ASSERT_TRUE(sim->control("fader 5.5"));
    ASSERT_TRUE(sim->control("mute off"));
    ASSERT_TRUE(sim->control("format S"));
    EXPECT_EQ(api().GetVol(&vol), 0);
    EXPECT_EQ(vol, 55);
    EXPECT_EQ(api().GetMute(&mute), 0);
    EXPECT_EQ(mute, 0);
    EXPECT_EQ(api().GetFormat(&fmt), 0);
    EXPECT_EQ(fmt, 2);
}

TEST_F(LinkTest, OutOfRangeIndexesAreRefusedBeforeAnythingIsSent) {
    start();
    connect();
    EXPECT_EQ(api().SelectFormat(6), LINK_ERR_TEXT_COMMAND | LINK_ERR_RANGE);
    EXPECT_EQ(api().SelectFormat(-1), LINK_ERR_TEXT_COMMAND | LINK_ERR_RANGE);
    EXPECT_EQ(api().SetPink(6, 1), LINK_ERR_TEXT_COMMAND | LINK_ERR_RANGE);
    EXPECT_EQ(api().SetPhase(-1, 0), LINK_ERR_TEXT_COMMAND | LINK_ERR_RANGE);
    EXPECT_EQ(api().SetDLLBaud(4), LINK_ERR_TEXT_COMMAND | LINK_ERR_RANGE);
    EXPECT_EQ(api().SetVol(100), LINK_ERR_TEXT_COMMAND | LINK_ERR_RANGE);
    EXPECT_EQ(api().SetVol(-5), LINK_ERR_TEXT_COMMAND | LINK_ERR_RANGE);
    std::int16_t v = 0;
    EXPECT_EQ(api().GetVol(&v), 0);  // still talking at 9600
    EXPECT_EQ(texts(), std::vector<std::string>{"TEXT V"});
}

TEST_F(LinkTest, GarbledCutAndWrongReplies) {
    start();
    connect();
    std::int16_t fmt = 3, vol = 12;
    std::uint8_t mute = 7;
    ASSERT_TRUE(sim->control("badtext 1"));
    EXPECT_EQ(api().GetFormat(&fmt), 0x0080);
    EXPECT_EQ(fmt, -1);
    ASSERT_TRUE(sim->control("badtext 1"));
    EXPECT_EQ(api().GetMute(&mute), 0);
    EXPECT_EQ(mute, 7);  // unknown character: flag left alone, not an error

    ASSERT_TRUE(sim->control("dropline 1"));
    EXPECT_EQ(api().GetVol(&vol), 0x0084);  // the reply never completes
    EXPECT_EQ(vol, 12);
    // The cut reply's lines are still pending: ClearError purges them, sends
    // one line feed, and the next command starts clean.
    EXPECT_NE(api().ClearError(), 0);
    EXPECT_EQ(api().GetVol(&vol), 0);
    EXPECT_EQ(vol, 70);

    std::uint8_t audio[224], system[128];
    ASSERT_TRUE(sim->control("wrongcode 1"));
    EXPECT_EQ(api().GetAudio(audio), 0x0030);
    ASSERT_EQ(api().GetSystem(system), 0);
    sim->clearLog();
    ASSERT_TRUE(sim->control("wrongcode 1"));
    EXPECT_EQ(api().SetSystem(system), 0x0028);  // "ready" came back wrong
    EXPECT_EQ(api().GetVol(&vol), 0);              // the barrier: answered after all that came before
    EXPECT_TRUE(sim->logMatching("FRAME 12").empty()) << "the data must not be sent";

    ASSERT_TRUE(sim->control("silent on"));
    EXPECT_EQ(api().GetSystem(system), 0x000C);
    EXPECT_EQ(api().SetAudio(audio), 0x0014);
    EXPECT_EQ(api().StopStream(), 0x0104);
    ASSERT_TRUE(sim->control("silent off"));
}

TEST_F(LinkTest, BlocksTravelIntactBothWaysWithDleBytes) {
    start();
    connect();
    std::uint8_t system[128] = {}, audio[224] = {};
    ASSERT_EQ(api().GetSystem(system), 0);
    ASSERT_EQ(api().GetAudio(audio), 0);
    EXPECT_EQ(system[8], 0x10);  // the simulator's believable block carries DLE, XON, XOFF
    EXPECT_EQ(system[10], 0x11);
    EXPECT_EQ(system[11], 0x13);
    EXPECT_EQ(audio[0], 0x43);

    std::uint8_t newSystem[128], newAudio[224];
    for (int i = 0; i < 128; ++i) newSystem[i] = static_cast<std::uint8_t>(i % 3 == 0 ? 0x10 : i);
    for (int i = 0; i < 224; ++i) newAudio[i] = static_cast<std::uint8_t>(255 - i);
    ASSERT_EQ(api().SetSystem(newSystem), 0);
    ASSERT_EQ(api().SetAudio(newAudio), 0);
    EXPECT_EQ(sim->logMatching("STORED").size(), 2u);

    std::uint8_t back[224] = {};
    ASSERT_EQ(api().GetSystem(back), 0);
    EXPECT_EQ(0, std::memcmp(back, newSystem, 128));
    ASSERT_EQ(api().GetAudio(back), 0);
    EXPECT_EQ(0, std::memcmp(back, newAudio, 224));

    // The unit's own copy, written by the simulator, agrees.
    const std::string saved = sim->dir() + "/unit.img";
    ASSERT_TRUE(sim->control("save " + saved));
    const std::string img = readFile(saved);
    ASSERT_EQ(img.size(), 352u);
    EXPECT_EQ(0, std::memcmp(img.data(), newSystem, 128));
    EXPECT_EQ(0, std::memcmp(img.data() + 128, newAudio, 224));
}

TEST_F(LinkTest, VersionsOfACurrentAndOfAnOldUnit) {
    start({"--cpu", "1.05", "--build", "77", "--dspc", "1.02", "--dspf", "1.10"});
    connect();
    std::int16_t v[7] = {};
    ASSERT_EQ(api().GetUnitVersion(v), 0);
    EXPECT_EQ((std::array<std::int16_t, 7>{v[0], v[1], v[2], v[3], v[4], v[5], v[6]}),
              (std::array<std::int16_t, 7>{1, 5, 77, 1, 2, 1, 10}));
    ASSERT_TRUE(sim->control("dropline 1"));
    EXPECT_EQ(api().GetUnitVersion(v), 0x0084);
}

TEST_F(LinkTest, MeasurementStreams) {
    start({"--record-ms", "30"});
    connect();
    std::int16_t gain = 0x7777, kind = -1;
    std::uint8_t rec[28] = {}, pair[22] = {};

    EXPECT_EQ(api().GetOptGain(&gain), 0x0300);  // no stream: five empty reads
    EXPECT_EQ(gain, 0x7777);

    ASSERT_EQ(api().BeginGainStream(), 0);
    ASSERT_EQ(api().GetOptGain(&gain), 0);
    const int left = gain & 0xFF, right = (gain >> 8) & 0xFF;
    EXPECT_NEAR(left, 80, 20);
    EXPECT_NEAR(right, 80, 20);

    ASSERT_EQ(api().BeginSlitStream(), 0);
    ASSERT_EQ(api().GetSingleSlitloss(rec, &kind), 0);
    EXPECT_TRUE(kind == 0 || kind == 1);
    std::memset(pair, 0, sizeof pair);
    ASSERT_EQ(api().GetOptSlitloss(pair), 0);
    // Both halves filled; the high bands fall off (a larger byte is less signal).
    EXPECT_GT(pair[10], pair[5]);
    EXPECT_GT(pair[21], pair[16]);

    ASSERT_EQ(api().BeginAzimuthStream(), 0);
    ASSERT_EQ(api().GetOptAzimuth(rec), 0);
    gain = 0x1234;
    EXPECT_EQ(api().GetOptGain(&gain), 0x0300);  // wrong stream running
    EXPECT_EQ(gain, 0x1234);

    EXPECT_EQ(api().StopStream(), 0);
    EXPECT_EQ(api().GetOptAzimuth(rec), 0x0300);
}

TEST_F(LinkTest, BaudChangeFollowsTheUnitAndMismatchGarbles) {
    start();
    connect();
    ASSERT_EQ(api().SetDLLBaud(1), 0);
    EXPECT_TRUE(sim->waitForLog("TEXT B2"));
    std::int16_t v = 0;
    EXPECT_EQ(api().GetVol(&v), 0);
    EXPECT_EQ(v, 70);
    ASSERT_EQ(api().SetDLLBaud(0), 0);
    EXPECT_EQ(api().GetVol(&v), 0);

    // The unit misses the speed command: the two ends no longer understand each other.
    ASSERT_TRUE(sim->control("silent on"));
    EXPECT_EQ(api().SetDLLBaud(1), 0);
    ASSERT_TRUE(sim->control("silent off"));
    EXPECT_EQ(api().GetVol(&v), 0x0084);
    EXPECT_FALSE(sim->logMatching("GARBLED").empty());
}

TEST_F(LinkTest, ClearErrorWritesOneLineFeedAndTheTraceRecordsIt) {
    sim = std::make_unique<SimProcess>();
    const std::string trace = sim->dir() + "/trace.txt";
    ::setenv("Q7M_TRACE", trace.c_str(), 1);
    ASSERT_TRUE(lib.load(libraryPath())) << lib.error();
    ASSERT_EQ(api().InitDLL(1), 0);
    ::unsetenv("Q7M_TRACE");
    ASSERT_TRUE(sim->control("silent on"));
    std::int16_t v = 0;
    EXPECT_EQ(api().GetVol(&v), 0x0084);
    writeFile(trace, "");
    EXPECT_NE(api().ClearError(), 0);
    ASSERT_TRUE(sim->control("silent off"));
    EXPECT_EQ(api().GetVol(&v), 0);
    const std::string t = readFile(trace);
    // exactly: the line feed, then the volume query
    std::istringstream in(t);
    std::string line;
    std::vector<std::string> tx;
    std::string rx;
    while (std::getline(in, line)) {
        if (line.find(" TX ") != std::string::npos) tx.push_back(line.substr(line.find(" TX ") + 1));
        if (line.find(" RX ") != std::string::npos) rx += line.substr(line.find(" RX ") + 3);
    }
    EXPECT_EQ(tx, (std::vector<std::string>{"TX 0A", "TX 56 0D"})) << t;
    EXPECT_EQ(rx.rfind(" 56 4F 4C 20 37 30", 0), 0u) << t;  // the reply starts "VOL 70"
}

TEST_F(LinkTest, AHangUpFailsCommandsWithoutHanging) {
    const TempDir traceDir;
    const std::string trace = traceDir.file("trace.txt");
    ::setenv("Q7M_TRACE", trace.c_str(), 1);
    start();
    ::unsetenv("Q7M_TRACE");
    connect();
    ASSERT_TRUE(sim->control("hangup"));
    writeFile(trace, "");
    std::int16_t v = 0;
    const unsigned e = api().GetVol(&v);
    EXPECT_TRUE(e == 0x0082 || e == 0x0084) << e;
    // The hang-up ends the call at once: no read waits out its time-out.
    const auto notes = traceNotes(trace);
    EXPECT_TRUE(anyStartsWith(notes, "write COM1: closed") || anyStartsWith(notes, "read COM1: closed"))
        << readFile(trace);
    EXPECT_FALSE(anyStartsWith(notes, "read COM1: timed-out")) << readFile(trace);
}

TEST(LinkReconnect, AUnitSwitchedOffMidFrameIsReachedAgainAtTheFirstConnect) {
    TempDir dir;
    PtyUnit unit;
    ASSERT_FALSE(unit.device().empty());
    ::setenv("Q7M_CONFIG_DIR", dir.path().c_str(), 1);
    writeFile(dir.file("ZelkSerial.ini"), "[Ports]\r\nCOM1=" + unit.device() + "\r\n");
    LinkLibrary lib;
    ASSERT_TRUE(lib.load(libraryPath())) << lib.error();
    unit.answer("M\r", "MUT +\r\nOK\r\nQ7M>\r\n");
    // The system block request is answered with the first 40 bytes of the
    // block: the unit was switched off in the middle of it.
    unit.answer(std::string("\x10\x02\x01\x10\x03"), std::string("\x10\x02\x12", 3) + std::string(40, 'a'));
    ASSERT_EQ(lib.api().InitDLL(1), 0);
    std::uint8_t block[128];
    EXPECT_EQ(lib.api().GetSystem(block), 0x000C);
    EXPECT_EQ(lib.api().DLLShutdown(), 1);
    EXPECT_EQ(lib.api().InitDLL(1), 0) << "the new connection must not wait for the old frame to end";
    lib.api().DLLShutdown();
    ::unsetenv("Q7M_CONFIG_DIR");
}

TEST_F(LinkTest, GetVolRefusesAnAnswerWithoutANumberInsteadOfReportingZero) {
    start();
    connect();
    std::int16_t vol = 12;
    ASSERT_TRUE(sim->control("badtext 1"));  // "VOL ?0"
    EXPECT_EQ(api().GetVol(&vol), 0x00A0);
    EXPECT_EQ(vol, 12);
    EXPECT_EQ(api().GetVol(&vol), 0);
    EXPECT_EQ(vol, 70);
}

TEST_F(LinkTest, TheTraceSaysWhyAnOpenFailedAndWhyAReadEnded) {
    sim = std::make_unique<SimProcess>();
    const std::string trace = sim->dir() + "/trace.txt";
    ::setenv("Q7M_TRACE", trace.c_str(), 1);
    ASSERT_TRUE(lib.load(libraryPath())) << lib.error();
    const std::string copy = sim->dir() + "/libcopy.so";
    ASSERT_EQ(std::system(("cp '" + libraryPath() + "' '" + copy + "'").c_str()), 0);
    LinkLibrary second;
    ASSERT_TRUE(second.load(copy)) << second.error();
    ::unsetenv("Q7M_TRACE");

    EXPECT_EQ(api().InitDLL(3), 0x0041);
    EXPECT_TRUE(anyStartsWith(traceNotes(trace), "open COM3: not-found (errno 2, ")) << readFile(trace);
    const q7m::PortStatus missing = q7m::diagnosePort(3);
    EXPECT_EQ(missing.fault, q7m::PortFault::NotFound);
    EXPECT_NE(missing.sentence.find("absent3, which does not exist"), std::string::npos) << missing.sentence;

    ASSERT_EQ(api().InitDLL(1), 0);
    EXPECT_EQ(second.api().InitDLL(1), 0x0041);
    EXPECT_TRUE(anyStartsWith(traceNotes(trace), "open COM1: in-use (errno 11, ")) << readFile(trace);
    const q7m::PortStatus busy = q7m::diagnosePort(1);
    EXPECT_EQ(busy.fault, q7m::PortFault::InUse);
    EXPECT_EQ(busy.sentence.find("dialout"), std::string::npos) << busy.sentence;

    std::int16_t v = 0;
    ASSERT_TRUE(sim->control("silent on"));
    EXPECT_EQ(api().GetVol(&v), 0x0084);
    EXPECT_TRUE(anyStartsWith(traceNotes(trace), "read COM1: timed-out")) << readFile(trace);
    EXPECT_FALSE(anyStartsWith(traceNotes(trace), "read COM1: closed"));
    ASSERT_TRUE(sim->control("silent off"));
    ASSERT_TRUE(sim->control("hangup"));
    sim->stop();
    writeFile(trace, "");
    const auto e = api().GetVol(&v);
    EXPECT_TRUE(e == 0x0082 || e == 0x0084) << e;
    const auto notes = traceNotes(trace);
    EXPECT_TRUE(anyStartsWith(notes, "write COM1: closed") || anyStartsWith(notes, "read COM1: closed"))
        << readFile(trace);
    EXPECT_FALSE(anyStartsWith(notes, "read COM1: timed-out")) << readFile(trace);
}

// ---------------------------------------------------------------- ser2net

class LinkThroughSer2Net : public LinkTest {
protected:
    void SetUp() override {
        if (!Ser2Net::installed()) GTEST_SKIP() << "ser2net is not installed (scripts/setup.sh installs it)";
        sim = std::make_unique<SimProcess>();
        ASSERT_TRUE(sim->running());
        server = std::make_unique<Ser2Net>(sim->link(), sim->dir());
        ASSERT_TRUE(server->running());
    }
    void TearDown() override {
        LinkTest::TearDown();
        server.reset();
    }
    // Maps COM2 to `url` and loads the library (with the line trace on).
    void use(const std::string& url) {
        writeFile(sim->dir() + "/ZelkSerial.ini", "[Ports]\r\nCOM1=" + sim->link() + "\r\nCOM2=" + url + "\r\n");
        trace = sim->dir() + "/trace.txt";
        ::setenv("Q7M_TRACE", trace.c_str(), 1);
        ASSERT_TRUE(lib.load(libraryPath())) << lib.error();
        ::unsetenv("Q7M_TRACE");
        ASSERT_EQ(api().InitDLL(2), 0) << readFile(trace) << readFile(sim->dir() + "/ser2net.log");
    }
    std::unique_ptr<Ser2Net> server;
    std::string trace;
};

TEST_F(LinkThroughSer2Net, RawTcpCarriesEverythingAt9600AndRefusesASpeedChange) {
    use(server->raw());
    std::int16_t v[7] = {};
    ASSERT_EQ(api().GetUnitVersion(v), 0);
    std::uint8_t system[128], audio[224];
    ASSERT_EQ(api().GetSystem(system), 0);
    ASSERT_EQ(api().GetAudio(audio), 0);
    const std::string image = sim->dir() + "/unit.img";
    ASSERT_TRUE(sim->control("save " + image));
    const std::string direct = readFile(image);
    ASSERT_EQ(direct.size(), 352u);
    EXPECT_EQ(0, std::memcmp(direct.data(), system, 128));
    EXPECT_EQ(0, std::memcmp(direct.data() + 128, audio, 224));

    sim->clearLog();
    EXPECT_EQ(api().SetDLLBaud(1), LINK_ERR_TEXT_COMMAND | LINK_ERR_RANGE);
    EXPECT_TRUE(sim->logMatching("TEXT B").empty()) << "the unit must stay at 9600";
    EXPECT_TRUE(anyStartsWith(traceNotes(trace), "speed change to 19200 refused: COM2 is a raw TCP port"))
        << readFile(trace);
    const q7m::PortStatus why = q7m::portRateSupported(2, 19200);
    EXPECT_EQ(why.fault, q7m::PortFault::RateUnsupported);
    std::int16_t vol = 0;
    EXPECT_EQ(api().GetVol(&vol), 0);
    EXPECT_EQ(vol, 70);
}

TEST_F(LinkThroughSer2Net, Rfc2217ChangesSpeedBothWaysAndCarries0xFF) {
    use(server->rfc2217());
    ASSERT_EQ(api().SetDLLBaud(1), 0);
    EXPECT_TRUE(sim->waitForLog("TEXT B2"));
    std::int16_t vol = 0;
    EXPECT_EQ(api().GetVol(&vol), 0);  // a unit and port at different speeds would garble this
    EXPECT_EQ(vol, 70);
    EXPECT_TRUE(sim->logMatching("GARBLED").empty());

    std::uint8_t mine[128];
    for (int i = 0; i < 128; ++i) mine[i] = static_cast<std::uint8_t>(i % 3 == 0 ? 0xFF : 0x10 + i);
    ASSERT_EQ(api().SetSystem(mine), 0);
    std::uint8_t back[128] = {};
    ASSERT_EQ(api().GetSystem(back), 0);
    EXPECT_EQ(0, std::memcmp(back, mine, 128));
    std::uint8_t audio[224];
    ASSERT_EQ(api().GetAudio(audio), 0);

    ASSERT_EQ(api().SetDLLBaud(0), 0);
    EXPECT_TRUE(sim->waitForLog("TEXT B1"));
    EXPECT_EQ(api().GetVol(&vol), 0);
    EXPECT_TRUE(sim->logMatching("GARBLED").empty());
}

TEST_F(LinkThroughSer2Net, TheServerStoppedMidTransferGivesABoundedNamedError) {
    use(server->rfc2217());
    sim->clearLog();
    std::thread stopper([&] {
        if (sim->waitForLog("FRAME 02")) server->stop();  // as the unit starts sending the audio block
    });
    std::uint8_t audio[224];
    std::memset(audio, 0x5A, sizeof audio);
    EXPECT_EQ(api().GetAudio(audio), 0x0014);
    stopper.join();
    for (auto b : audio) ASSERT_EQ(b, 0x5A) << "the caller's block is left as it was";
    const auto notes = traceNotes(trace);
    EXPECT_TRUE(anyStartsWith(notes, "read COM2: closed")) << readFile(trace);
    EXPECT_FALSE(anyStartsWith(notes, "read COM2: timed-out")) << readFile(trace);

    // The next connect names the network, not the user's groups.
    EXPECT_EQ(api().InitDLL(2), 0x0041);
    const q7m::PortStatus why = q7m::diagnosePort(2);
    EXPECT_EQ(why.fault, q7m::PortFault::Refused);
    EXPECT_EQ(why.sentence.find("dialout"), std::string::npos) << why.sentence;
}

TEST_F(LinkThroughSer2Net, ARemoteSiteAnswersInTimeAcrossALongRoundTrip) {
    // 400 ms: a reply's first byte comes later than the wire's 400 ms byte
    // time-out; the network port waits longer.
    DelayProxy slowRaw(server->rawPort(), 400);
    use("socket://127.0.0.1:" + std::to_string(slowRaw.port()));
    std::uint8_t system[128], audio[224];
    EXPECT_EQ(api().GetSystem(system), 0);
    EXPECT_EQ(api().GetAudio(audio), 0);
    api().DLLShutdown();

    DelayProxy slowRfc(server->rfc2217Port(), 200);
    writeFile(sim->dir() + "/ZelkSerial.ini", "[Ports]\r\nCOM3=rfc2217://127.0.0.1:" + std::to_string(slowRfc.port()) + "\r\n");
    ASSERT_EQ(api().InitDLL(3), 0) << readFile(trace);
    ASSERT_EQ(api().SetDLLBaud(1), 0);
    std::int16_t vol = 0;
    EXPECT_EQ(api().GetVol(&vol), 0);
    EXPECT_EQ(api().SetDLLBaud(0), 0);
    EXPECT_EQ(api().GetVol(&vol), 0);
    EXPECT_TRUE(sim->logMatching("GARBLED").empty());
}
