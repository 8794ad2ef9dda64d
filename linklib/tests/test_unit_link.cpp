// The protocol over a scripted port: the receiver across a reopen, GetVol's
// value check, and why a read or an open ended.
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <memory>
#include <sstream>

#include "fake_port.h"
#include "q7mslib.h"
#include "temp_folder.h"
#include "unit_link.h"

using namespace q7m;
using q7mtest::FakeLine;
using q7mtest::FakePort;

namespace {

const std::string kMuteOn = "MUT +\r\nOK\r\nQ7M>\r\n";

using q7mtest::slurp;
using q7mtest::setEnv;

class LinkOverFakePort : public ::testing::Test {
protected:
    void SetUp() override {
        setEnv("Q7M_CONFIG_DIR", folder.path);
        std::ofstream(folder.file("ZelkSerial.ini")) << "[Ports]\r\nCOM1=/dev/the-unit\r\n";
    }
    void TearDown() override {
        unit.reset();
        q7mtest::unsetEnv("Q7M_CONFIG_DIR");
        q7mtest::unsetEnv("Q7M_TRACE");
    }
    // The library's state object, made after the environment is set (the
    // trace file is chosen when it is made).
    UnitLink& link() {
        if (!unit) {
            unit = std::make_unique<UnitLink>();
            unit->serial.setPortFactory([l = line](const PortTarget& t) {
                EXPECT_EQ(t.device, "/dev/the-unit");
                return std::make_unique<FakePort>(l);
            });
        }
        return *unit;
    }
    void connect() {
        line->reply(kMuteOn);
        ASSERT_EQ(link().initDll(1), 0);
        line->written.clear();
    }

    q7mtest::TempFolder folder{"q7mlink"};
    std::shared_ptr<FakeLine> line = std::make_shared<FakeLine>();
    std::unique_ptr<UnitLink> unit;
};

}  // namespace

TEST_F(LinkOverFakePort, AFrameCutOffByAUnitSwitchedOffDoesNotOutliveTheConnection) {
    connect();
    std::uint8_t block[128] = {};
    line->reply("\x10\x02\x12" + std::string(60, 'a'));  // the unit goes off half-way through the block
    line->timeOut();
    EXPECT_EQ(link().getSystem(block), 0x000C);
    EXPECT_EQ(link().shutdown(), 1);

    // Switched back on: the next connect works at the first attempt.
    line->reply(kMuteOn);
    EXPECT_EQ(link().initDll(1), 0);
    std::int16_t vol = -1;
    line->reply("VOL 55\r\nOK\r\nQ7M>\r\n");
    EXPECT_EQ(link().getVol(&vol), 0);
    EXPECT_EQ(vol, 55);
}

TEST_F(LinkOverFakePort, ATextReplyCutOffDoesNotLeakIntoTheNextConnection) {
    connect();
    std::int16_t vol = -1;
    line->reply("VOL 70\r\nOK\r\n");
    line->timeOut();
    EXPECT_EQ(link().getVol(&vol), 0x0084);
    EXPECT_EQ(vol, -1);
    link().shutdown();

    line->reply("MUT -\r\nOK\r\nQ7M>\r\n");
    ASSERT_EQ(link().initDll(1), 0);
    std::uint8_t muted = 7;
    line->reply("MUT -\r\nOK\r\nQ7M>\r\n");
    EXPECT_EQ(link().getMute(&muted), 0);
    EXPECT_EQ(muted, 0) << "the reply read must be the unit's answer to this query";
}

// What the port received before the open (a server's greeting, the unit's
// chatter) must not be read as the reply to InitDLL's query.
TEST_F(LinkOverFakePort, TheFirstQueryOfAConnectionComesAfterAPurge) {
    line->reply(kMuteOn);
    ASSERT_EQ(link().initDll(1), 0);
    EXPECT_EQ(line->purgesAtWrite, std::vector<int>{1});
}

TEST_F(LinkOverFakePort, WithinOneOpenPortACutReplyIsContinuedByTheNextRead) {
    connect();
    std::int16_t vol = -1;
    line->reply("VOL 70\r\nOK\r\n");
    line->timeOut();
    EXPECT_EQ(link().getVol(&vol), 0x0084);
    line->reply("Q7M>\r\n");  // the rest of the same reply, late
    EXPECT_EQ(link().getVol(&vol), 0);
    EXPECT_EQ(vol, 70);
}

TEST_F(LinkOverFakePort, GetVolReadsADecimalValueAndRefusesAValueWithoutDigits) {
    struct Case {
        const char* value;  // the two characters at offsets 4 and 5
        std::uint16_t error;
        std::int16_t volume;  // -1: left alone
    };
    const Case cases[] = {
        {"70", 0, 70},      {"07", 0, 7},       {" 7", 0, 7},       {"7x", 0, 7},      {"99", 0, 99},
        {"?0", 0x00A0, -1}, {"??", 0x00A0, -1}, {"  ", 0x00A0, -1}, {"x7", 0x00A0, -1}, {" -", 0x00A0, -1},
        {"\r\n", 0x00A0, -1},
    };
    connect();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("value \"") + c.value + "\"");
        line->reply(std::string("VOL ") + c.value + "\r\nOK\r\nQ7M>\r\n");
        std::int16_t vol = -1;
        EXPECT_EQ(link().getVol(&vol), c.error);
        EXPECT_EQ(vol, c.volume);
        if (c.error) {
            line->incoming.clear();
            link().clearError();
        }
    }
    // GetMute and GetFormat keep their own rules for an unknown character.
    std::uint8_t muted = 7;
    line->reply("MUT ?\r\nOK\r\nQ7M>\r\n");
    EXPECT_EQ(link().getMute(&muted), 0);
    EXPECT_EQ(muted, 7);
    std::int16_t format = 3;
    line->reply("FMT ?\r\nOK\r\nQ7M>\r\n");
    EXPECT_EQ(link().getFormat(&format), 0x0080);
    EXPECT_EQ(format, -1);
}

TEST_F(LinkOverFakePort, AHangUpMidReplyIsToldApartFromATimeOut) {
    const std::string trace = folder.file("trace.txt");
    setEnv("Q7M_TRACE", trace);
    connect();
    std::int16_t vol = -1;

    line->reply("VOL 7");
    line->timeOut();
    EXPECT_EQ(link().getVol(&vol), 0x0084);
    EXPECT_EQ(link().serial.lastStatus().fault, PortFault::TimedOut);

    link().clearError();
    line->reply("VOL 7");
    line->hangUp();
    EXPECT_EQ(link().getVol(&vol), 0x0084);
    EXPECT_EQ(link().serial.lastStatus().fault, PortFault::Closed);
    EXPECT_NE(link().serial.lastStatus().sentence.find("went away"), std::string::npos)
        << link().serial.lastStatus().sentence;
    EXPECT_EQ(vol, -1);

    const std::string t = slurp(trace);
    EXPECT_NE(t.find("-- read COM1: timed-out, nothing within 400 ms"), std::string::npos) << t;
    EXPECT_NE(t.find("-- read COM1: closed (errno 5"), std::string::npos) << t;
}

TEST_F(LinkOverFakePort, TheReasonAnOpenFailedIsKeptAndTraced) {
    const std::string trace = folder.file("trace.txt");
    setEnv("Q7M_TRACE", trace);
    struct Case {
        PortFault fault;
        int code;
        const char* inSentence;
        bool dialoutHint;
    };
#ifdef _WIN32
    // What the Win32 port reports: Windows' own error numbers.
    const bool systemCode = true;
    const char* const codeName = " (Windows error ";
    const Case cases[] = {
        {PortFault::NotFound, 2, "does not exist", false},                     // ERROR_FILE_NOT_FOUND
        {PortFault::NoPermission, 5, "Windows refused access", false},         // ERROR_ACCESS_DENIED
        {PortFault::InUse, 32, "in use by another program", false},            // ERROR_SHARING_VIOLATION
    };
#else
    const bool systemCode = false;
    const char* const codeName = " (errno ";
    const Case cases[] = {
        {PortFault::NotFound, ENOENT, "does not exist", false},
        {PortFault::NoPermission, EACCES, "Permission denied", true},
        {PortFault::InUse, EBUSY, "in use by another program", false},
    };
#endif
    for (const auto& c : cases) {
        SCOPED_TRACE(faultName(c.fault));
        line->openResult = {c.fault, c.code, {}, systemCode};
        EXPECT_EQ(link().initDll(1), 0x0041);
        const PortStatus& s = link().serial.lastStatus();
        EXPECT_EQ(s.fault, c.fault);
        EXPECT_EQ(s.code, c.code);
        EXPECT_NE(s.sentence.find(c.inSentence), std::string::npos) << s.sentence;
        EXPECT_EQ(s.sentence.find("dialout") != std::string::npos, c.dialoutHint) << s.sentence;
        const std::string t = slurp(trace);
        EXPECT_NE(t.find(std::string("-- open COM1: ") + faultName(c.fault) + codeName + std::to_string(c.code)),
                  std::string::npos)
            << t;
    }
}

TEST_F(LinkOverFakePort, AnUnmappedPortSaysSoWithoutOpeningAnything) {
    std::ofstream(folder.file("ZelkSerial.ini")) << "[Ports]\r\nCOM7=ftp://nowhere\r\n";
    EXPECT_EQ(link().initDll(7), 0x0041);
    EXPECT_EQ(link().serial.lastStatus().fault, PortFault::BadAddress);
    EXPECT_TRUE(line->openedAt.empty());
}
