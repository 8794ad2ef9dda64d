// The editor against q7msim when the unit fails the audio block of an
// upload after storing its system block: the previous system block goes
// back and the unit is left as it was, whether the unit answered wrongly or
// its port went away and came back.
#include <gtest/gtest.h>

#include "connection/link_api.h"
#include "editor_harness.h"
#include "sim_process.h"

using namespace zelktest;
using q7mtest::SimProcess;

TEST(EditorWithUnit, AFailedAudioBlockLeavesTheUnitWithItsPreviousSettings) {
    for (const char* fault : {"onaudio wrongcode 6", "onaudio hangup 500"}) {
        SCOPED_TRACE(fault);
        SimProcess sim;
        zelk::LinkLibrary lib;
        ASSERT_TRUE(lib.load(q7mtest::libraryPath())) << lib.error();
        Harness h(&lib.api());
        h.ed->service.setUnitReads(true);
        h.clock.realPauses = true;  // the dispatcher's retries give the port time to come back
        h.initialise();
        ASSERT_TRUE(h.connect());
        ASSERT_TRUE(sim.control("save " + sim.dir() + "/before.img"));
        auto& m = h.ed->main;
        m.options.cboSurroundDelay.setText("90 mS");
        m.trim.sclPNG[2].userScroll(20);
        m.trim.sclPNG[2].userRelease();
        sim.clearLog();
        ASSERT_TRUE(sim.control(fault));
        m.trim.cmdUp.click();

        EXPECT_EQ(sim.logMatching("STORED system block").size(), 2u) << "the new block, then the previous one";
        EXPECT_TRUE(sim.logMatching("STORED audio block").empty());
        ASSERT_TRUE(sim.control("save " + sim.dir() + "/after.img"));
        EXPECT_EQ(q7mtest::readFile(sim.dir() + "/after.img"), q7mtest::readFile(sim.dir() + "/before.img"));
        EXPECT_EQ(m.bar.staStatus.caption(),
                  "Upload rolled back: the unit holds its previous settings. The configuration is not uploaded.");
        EXPECT_EQ(m.bar.lblStat.caption(), "Off Line");
        const auto history = zelk::readHistory(h.ed->service.historyFile()).records;
        ASSERT_FALSE(history.empty());
        EXPECT_EQ(history.back().result, "rolled back");
        EXPECT_EQ(history.back().changes.size(), 2u);
        EXPECT_EQ(h.ed->vals.systemBlock.surroundDelay(), 9) << "the edit stays in the editor";
        if (lib.api().DLLShutdown) lib.api().DLLShutdown();
    }
}
