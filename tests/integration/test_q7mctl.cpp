// q7mctl as a technician runs it, against q7msim.
#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

#include "files/config_file.h"
#include "sim_process.h"

using namespace q7mtest;

namespace {
struct Run {
    int status;
    std::string out;
};
Run q7mctl(const std::string& args) {
    const std::string cmd = std::string(Q7MCTL_PATH) + " " + args + " 2>&1";
    Run r{-1, {}};
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) r.out += buf;
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
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
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Fader: 6.5\nMute: off\nFormat: SR-TYPE\n");
    EXPECT_TRUE(sim.waitForLog("TEXT B1"));  // back to 9600 at the end

    EXPECT_EQ(q7mctl("vol 12").status, 2);
    r = q7mctl("-p 4 version");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("- Serial Port Error\n- Could Not Initialise\n"), std::string::npos) << r.out;
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

    // Edit the file and send it back.
    data.systemBlock.surroundDelay() = 7;
    data.audioBlock.trimLevel(0) = 20;
    ASSERT_TRUE(zelk::WriteConfigFile(file, data));
    sim.clearLog();
    r = q7mctl("restore " + file);
    ASSERT_EQ(r.status, 0) << r.out;
    const auto stored = sim.logMatching("STORED");
    EXPECT_EQ(stored, (std::vector<std::string>{"STORED system block", "STORED audio block"}));
    ASSERT_TRUE(sim.control("save " + sim.dir() + "/unit.img"));
    const std::string img = readFile(sim.dir() + "/unit.img");
    ASSERT_EQ(img.size(), 352u);
    EXPECT_EQ(img[6], 7);
    EXPECT_EQ(img[128 + 6], 20);
    EXPECT_EQ(static_cast<std::uint8_t>(img[128 + 194]), 0x10 + 194 % 7);  // carried bytes kept

    writeFile(sim.dir() + "/bad.zcf", "\"ZELK CP Settings File: V1.0\"\r\n1,2\r\n");
    r = q7mctl("restore " + sim.dir() + "/bad.zcf");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Incorrect format"), std::string::npos);
}
