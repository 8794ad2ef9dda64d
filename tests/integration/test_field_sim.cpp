// Verify after upload against q7msim with a failing memory cell: the editor
// names the setting the unit stored wrong and keeps the configuration not
// uploaded; once the unit stores what it is sent again, the next upload is
// verified.
#include <gtest/gtest.h>

#include "connection/link_api.h"
#include "editor_harness.h"
#include "sim_process.h"

using namespace zelktest;
using q7mtest::SimProcess;

TEST(FieldWithUnit, VerifyCatchesAUnitThatStoresADifferentByte) {
    SimProcess sim;
    zelk::LinkLibrary lib;
    ASSERT_TRUE(lib.load(q7mtest::libraryPath())) << lib.error();
    Harness h(&lib.api());
    h.ed->service.setUnitReads(true);
    h.initialise();
    ASSERT_TRUE(h.connect());
    auto& m = h.ed->main;
    EXPECT_FALSE(h.ed->service.lastAsFound().empty());

    // The Center trim's memory cell (audio byte 6 + 2) flips its lowest bit.
    ASSERT_TRUE(sim.control("corrupt audio 8"));
    m.trim.sclPNG[2].userScroll(14);
    m.trim.sclPNG[2].userRelease();
    h.msg.boxes.clear();
    m.trim.cmdUp.click();
    ASSERT_TRUE(sim.waitForLog("STORED audio block (byte 8 sent as 14, kept as 15)"));
    EXPECT_FALSE(h.ed->service.lastVerifyMatched());
    ASSERT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.msg.boxes[0].title, "Upload Not Verified");
    EXPECT_NE(h.msg.boxes[0].text.find("Center Channel trim: sent -1.0 dB, the unit holds -1.5 dB\n"),
              std::string::npos)
        << h.msg.boxes[0].text;
    EXPECT_EQ(h.msg.boxes[0].text.find("Left Channel"), std::string::npos);
    EXPECT_EQ(m.bar.staStatus.caption(),
              "NOT verified: the unit holds other values for Center Channel trim. The configuration is not uploaded.");
    EXPECT_EQ(m.bar.lblStat.caption(), "On Line");

    // Compare with Unit shows the same single difference.
    m.bar.mnuCompare.click();
    EXPECT_EQ(h.ed->compare.grdDiff.rows(),
              (std::vector<std::vector<std::string>>{{"", "Output Trims", "", ""},
                                                     {"", "Center Channel trim", "-1.0 dB", "-1.5 dB"}}));
    h.ed->compare.cmdCancel.click();

    // Mended: the next upload is verified.
    ASSERT_TRUE(sim.control("corrupt off"));
    m.trim.cmdUp.click();
    EXPECT_TRUE(h.ed->service.lastVerifyMatched());
    EXPECT_EQ(m.bar.staStatus.caption().rfind("Verified: the unit holds the settings sent", 0), 0u);
    if (lib.api().DLLShutdown) lib.api().DLLShutdown();
}
