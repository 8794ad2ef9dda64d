// q7mctl across a whole site: several q7msim units, each on its own
// pseudo-terminal, one worker process per port.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>

#include "files/config_file.h"
#include "sim_process.h"

using namespace q7mtest;

namespace {

struct CtlRun {
    int status;
    std::string out;
};
CtlRun q7mctl(const std::string& args) {
    const std::string cmd = std::string(Q7MCTL_PATH) + " " + args + " 2>&1";
    CtlRun r{-1, {}};
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) r.out += buf;
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0, nl;
    while ((nl = text.find('\n', start)) != std::string::npos) {
        out.push_back(text.substr(start, nl - start));
        start = nl + 1;
    }
    return out;
}

// Units on COM1, COM3, COM5 and COM6 (CPU builds 1, 3, 5, 6); COM2 is
// mapped to a device that does not exist.
class Site : public ::testing::Test {
protected:
    void SetUp() override {
        for (int port : {1, 3, 5, 6}) units[port] = std::make_unique<SimProcess>(std::vector<std::string>{"--build", std::to_string(port)});
        std::string ini = "[Ports]\r\nCOM2=" + dir.file("absent") + "\r\n";
        for (auto& [port, sim] : units) ini += "COM" + std::to_string(port) + "=" + sim->link() + "\r\n";
        writeFile(dir.file("ZelkSerial.ini"), ini);
        ::setenv("Q7M_CONFIG_DIR", dir.path().c_str(), 1);
    }
    TempDir dir;
    std::map<int, std::unique_ptr<SimProcess>> units;
};

}  // namespace

TEST_F(Site, OneLinePerUnitInPortOrder) {
    CtlRun r = q7mctl("-p 6,1,3,5-5 version");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(lines(r.out), (std::vector<std::string>{"COM1   ok      CPU 1.06.0001  DSP 1.03/1.09",
                                                       "COM3   ok      CPU 1.06.0003  DSP 1.03/1.09",
                                                       "COM5   ok      CPU 1.06.0005  DSP 1.03/1.09",
                                                       "COM6   ok      CPU 1.06.0006  DSP 1.03/1.09"}));

    // --all takes every mapped port; the missing device fails, the others do not.
    ASSERT_TRUE(units[3]->control("fader 5.5"));
    r = q7mctl("--all live");
    EXPECT_EQ(r.status, 1) << r.out;
    const auto l = lines(r.out);
    ASSERT_EQ(l.size(), 5u) << r.out;
    EXPECT_EQ(l[0], "COM1   ok      CPU 1.06.0001  DSP 1.03/1.09  Fader 7.0, mute off, EXTERNAL 6-TRK");
    EXPECT_EQ(l[1].rfind("COM2   FAILED  connecting failed: Serial Port Error, Could Not Initialise (0x0041)", 0), 0u)
        << l[1];
    EXPECT_EQ(l[2], "COM3   ok      CPU 1.06.0003  DSP 1.03/1.09  Fader 5.5, mute off, EXTERNAL 6-TRK");

    // A silent unit and one at another speed fail on their own lines.
    ASSERT_TRUE(units[5]->control("silent on"));
    ASSERT_TRUE(units[6]->control("baud 19200"));
    r = q7mctl("-p 1,5,6 -s 19200 version");
    EXPECT_EQ(r.status, 1);
    const auto m = lines(r.out);
    ASSERT_EQ(m.size(), 3u) << r.out;
    EXPECT_EQ(m[0], "COM1   ok      CPU 1.06.0001  DSP 1.03/1.09");
    EXPECT_EQ(m[1], "COM5   FAILED  connecting failed: Error Receiving, Could Not Initialise, Error during ASCII command (0x00C4)");
    EXPECT_EQ(m[2].rfind("COM6   FAILED  connecting failed", 0), 0u) << m[2];
    EXPECT_TRUE(units[1]->waitForLog("TEXT B1"));  // the unit that worked is back at 9600
}

TEST_F(Site, JsonForScripts) {
    const CtlRun r = q7mctl("-p 1,2 --json live");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "[\n"
              "  {\"port\": 1, \"ok\": true, \"cpu\": \"1.06.0001\", \"dspController\": \"1.03\", \"dspFirmware\": "
              "\"1.09\", \"fader\": \"7.0\", \"mute\": false, \"format\": \"EXTERNAL 6-TRK\", \"result\": \"Fader 7.0, "
              "mute off, EXTERNAL 6-TRK\"},\n"
              "  {\"port\": 2, \"ok\": false, \"error\": \"connecting failed: Serial Port Error, Could Not Initialise "
              "(0x0041): COM2 is " + dir.file("absent") + ", which does not exist: plug the adapter in, or correct COM2 "
              "under [Ports] in " + dir.file("ZelkSerial.ini") + ".\"}\n"
              "]\n");
    // One port with --json gives the same form.
    EXPECT_EQ(q7mctl("-p 3 --json version").out.rfind("[\n  {\"port\": 3, \"ok\": true", 0), 0u);
}

TEST_F(Site, BackupWritesOneFilePerUnit) {
    ASSERT_TRUE(units[5]->control("fader 3.5"));
    const std::string folder = dir.file("site");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const CtlRun r = q7mctl("-p 1,3,5-6 backup " + folder);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(lines(r.out)[2], "COM5   ok      CPU 1.06.0005  DSP 1.03/1.09  Saved the unit's configuration to " +
                                   folder + "/COM5.zcf (last upload 3:07 PM 25/03/04)");
    for (int port : {1, 3, 5, 6}) {
        zelk::ConfigData data;
        ASSERT_EQ(zelk::ReadConfigFile(folder + "/COM" + std::to_string(port) + ".zcf", data), zelk::ReadResult::Ok)
            << port;
        EXPECT_EQ(data.CurrentVolume, port == 5 ? 35 : 70) << port;
    }
}

TEST_F(Site, RefusesWhatCannotRunAcrossPorts) {
    struct Case {
        std::string args, says;
    };
    for (const Case& c : std::vector<Case>{
             {"-p 1,x version", "-p 1,x: 'x' is not a port number from 1 to 255 or a range such as 5-8"},
             {"-p 5-3 version", "the range '5-3' runs backwards"},
             {"-p 1,,2 version", "'' is not a port number"},
             {"-p 1,300 version", "'300' is not a port number"},
             {"-p 1,2 restore x.zcf", "'restore' works on one port at a time"},
             {"--all vol 5", "'vol' works on one port at a time"},
             {"--all -p 1 version", "give either -p or --all, not both"},
             {"-p 1,3 backup " + dir.file("none"), "is not an existing folder"},
         }) {
        const CtlRun r = q7mctl(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << c.args << "\n" << r.out;
    }
    writeFile(dir.file("ZelkSerial.ini"), "[Serial]\r\nSR_ReadInterval=12\r\n");
    const CtlRun r = q7mctl("--all version");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("no port is mapped"), std::string::npos) << r.out;
    for (auto& [port, sim] : units) EXPECT_TRUE(sim->logMatching("TEXT").empty()) << port;
}
