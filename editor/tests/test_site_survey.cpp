// Reading q7mctl's answer about a site's units: what it says, and what a
// damaged or foreign answer becomes (a message, never a crash).
#include <gtest/gtest.h>

#include "files/site_survey.h"

using namespace zelk;

TEST(SiteSurvey, ReadsEachUnitsStateAndValues) {
    const std::string json =
        "[\n"
        "  {\"port\": 2, \"ok\": false, \"state\": \"differs\", \"cpu\": \"1.06.0003\", \"dspController\": \"1.03\", "
        "\"dspFirmware\": \"1.09\", \"fader\": \"7.0\", \"mute\": true, \"format\": \"SR-TYPE\", \"formatIndex\": 2, "
        "\"lastUpload\": \"3:07 PM 25/03/04\", \"differences\": [{\"setting\": \"Left \\\"A\\\" \\u00e9\", "
        "\"baseline\": \"0.0 dB\", \"unit\": \"-1.0 dB\"}, {\"setting\": \"x\", \"baseline\": \"1\", \"unit\": \"2\"}]},\n"
        "  {\"port\": 6, \"ok\": false, \"state\": \"busy\", \"error\": \"busy: COM6 is in use\"}\n"
        "]\n";
    std::vector<UnitReading> units;
    ASSERT_EQ(parseUnitReadings(json, units), "");
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].port, 2);
    EXPECT_EQ(units[0].state, "differs");
    EXPECT_EQ(units[0].cpu, "1.06.0003");
    EXPECT_EQ(units[0].mute, "on");
    EXPECT_EQ(units[0].format, "SR-TYPE");
    EXPECT_EQ(units[0].lastUpload, "3:07 PM 25/03/04");
    EXPECT_EQ(units[0].differences, 2);
    EXPECT_EQ(units[1].state, "busy");
    EXPECT_EQ(units[1].mute, "");
    EXPECT_EQ(units[1].error, "busy: COM6 is in use");
}

TEST(SiteSurvey, ADamagedAnswerIsAMessageNotAResult) {
    std::vector<UnitReading> units;
    for (const std::string& bad : std::vector<std::string>{"", "[", "[{\"port\": 1", "{\"port\": 1}", "[1, 2]", "[{\"ok\": true}]",
                                  "[{\"port\": 1}] trailing", "[\"unterminated]", std::string(100000, '['),
                                  "[{\"port\": 1, \"state\": \"\\u12\"}]"})
        EXPECT_NE(parseUnitReadings(bad, units), "") << bad.substr(0, 40);
    // q7mctl refused or could not start: its own words come through.
    SurveyResult r = surveyResult("", "q7mctl: --all: no port is mapped in the [Ports] section\nusage: ...\n", 2, true);
    EXPECT_TRUE(r.units.empty());
    EXPECT_EQ(r.error, "q7mctl: --all: no port is mapped in the [Ports] section");
    r = surveyResult("", "No such file or directory", -1, false);
    EXPECT_EQ(r.error, "q7mctl, which reads the other units, could not be started: No such file or directory");
    EXPECT_EQ(surveyArguments({1, 3, 12}, "/b"), (std::vector<std::string>{"--json", "-p", "1,3,12", "verify", "/b"}));
}
