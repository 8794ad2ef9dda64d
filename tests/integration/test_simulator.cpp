// The simulator's control channel: every line is acted on, then
// acknowledged, so a test can rely on its effect as soon as the
// acknowledgement is there.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "sim_process.h"

using namespace q7mtest;

TEST(SimulatorControl, AcceptsFrontPanelLinesAndRefusesMalformedOnes) {
    SimProcess sim;
    ASSERT_TRUE(sim.running());
    EXPECT_TRUE(sim.control("fader 5.5"));
    EXPECT_TRUE(sim.control("format S"));
    EXPECT_TRUE(sim.control("format 0"));
    EXPECT_TRUE(sim.control("mute on"));
    EXPECT_TRUE(sim.control("garble 3"));
    EXPECT_TRUE(sim.control("garble 0"));

    for (const char* bad : {"fader abc", "fader 10.0", "fader 55", "fader -1", "fader 5.55", "format Q",
                            "format 6", "mute maybe", "garble x", "save", "bogus", "fader 5.5 extra"}) {
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
