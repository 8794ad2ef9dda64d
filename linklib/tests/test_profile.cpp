#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "profile.h"
#include "serial_link.h"
#include "temp_folder.h"

namespace {
using q7mtest::slurp;

struct ConfigDir : q7mtest::TempFolder {
    ConfigDir() : TempFolder("q7mprofile") { q7mtest::setEnv("Q7M_CONFIG_DIR", path); }
    ~ConfigDir() { q7mtest::unsetEnv("Q7M_CONFIG_DIR"); }
};
}  // namespace

TEST(Profile, CreateIniWritesTheTimeoutTablesAndKeepsOtherKeys) {
    ConfigDir dir;
    {
        std::ofstream f(dir.file("ZelkSerial.ini"));
        f << "; my ports\n[Ports]\nCOM1=/dev/ttyUSB3\n[Serial]\nSR_ReadInterval=99\nMyKey=keep\n";
    }
    q7m::SerialLink::createIni();
    q7m::Profile p(q7m::iniPath());
    ASSERT_TRUE(p.load());
    EXPECT_EQ(p.get("Ports", "COM1").value_or(""), "/dev/ttyUSB3");
    EXPECT_EQ(p.get("Serial", "MyKey").value_or(""), "keep");
    EXPECT_EQ(p.getInt("Serial", "SR_ReadInterval").value_or(-1), 12);
    EXPECT_EQ(p.getInt("Serial", "SR_ReadMultiplier").value_or(-1), 2);
    EXPECT_EQ(p.getInt("Serial", "SR_ReadConstant").value_or(-1), 20);
    EXPECT_EQ(p.getInt("Serial", "SR_ReadInterval19200").value_or(-1), 6);
    EXPECT_EQ(p.getInt("Serial", "SR_ReadConstant19200").value_or(-1), 4);
    EXPECT_EQ(p.getInt("Serial", "SR_ReadMultiplier38400").value_or(-1), 3);
    EXPECT_EQ(p.getInt("Serial", "SR_ReadConstant57600").value_or(-1), 10);
    EXPECT_EQ(p.getInt("Serial95", "SR_ReadInterval").value_or(-1), 16);
    EXPECT_EQ(p.getInt("Serial95", "SR_ReadMultiplier").value_or(-1), 6);
    EXPECT_EQ(p.getInt("Serial95", "SR_ReadConstant").value_or(-1), 15);
    EXPECT_NE(slurp(q7m::iniPath()).find("; my ports"), std::string::npos);
}

TEST(Profile, CreateIniOnAMissingFileMakesTwelvePlusThreeKeys) {
    ConfigDir dir;
    q7m::SerialLink::createIni();
    const std::string text = slurp(q7m::iniPath());
    std::istringstream in(text);
    std::string line, section;
    int serial = 0, serial95 = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind('[', 0) == 0) section = line;
        else if (line.find('=') != std::string::npos) (section == "[Serial]" ? serial : serial95)++;
    }
    EXPECT_EQ(serial, 12);
    EXPECT_EQ(serial95, 3);
}

TEST(Profile, PortTableMapsPortNumbersToDevices) {
    ConfigDir dir;
    {
        std::ofstream f(dir.file("ZelkSerial.ini"));
        f << "[ports]\r\ncom2 = /dev/ttyACM7\r\n";
    }
    EXPECT_EQ(q7m::mapPort(2).target.device, "/dev/ttyACM7");  // section and key names are not case-sensitive
}
