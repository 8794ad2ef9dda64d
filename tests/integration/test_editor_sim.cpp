// The editor's logic with the real library against q7msim.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "editor_harness.h"
#include "connection/link_api.h"
#include "sim_process.h"

using namespace zelktest;
using q7mtest::SimProcess;

namespace {

struct WithUnit {
    explicit WithUnit(std::vector<std::string> simArgs = {}) : sim(std::move(simArgs)) {
        EXPECT_TRUE(lib.load(q7mtest::libraryPath())) << lib.error();
        h = std::make_unique<Harness>(&lib.api());
        h->initialise();
    }
    ~WithUnit() {
        if (lib.loaded() && lib.api().DLLShutdown) lib.api().DLLShutdown();
    }
    Editor& e() { return *h->ed; }
    SimProcess sim;
    zelk::LinkLibrary lib;
    std::unique_ptr<Harness> h;
};

}  // namespace

TEST(EditorWithUnit, ConnectReadsTheUnitAndUploadsWhatTheUserChanged) {
    WithUnit u({"--cpu", "1.05", "--build", "77"});
    ASSERT_TRUE(u.h->connect());
    auto& m = u.e().main;
    EXPECT_EQ(m.bar.lblStat.caption(), "On Line");
    EXPECT_EQ(m.format.lnlInfo[0].caption(), "CPU Version: 1.05.0077");
    EXPECT_EQ(m.format.lnlInfo[1].caption(), "DSP Controller: 1.03");
    EXPECT_EQ(m.format.lnlInfo[2].caption(), "DSP Firmware: 1.09");
    // The simulator's installed configuration is on screen.
    EXPECT_EQ(m.options.cboSurroundDelay.text(), "20 mS");
    EXPECT_EQ(m.options.cboNonsyncTrim.text(), "-3 dB");
    EXPECT_EQ(m.options.cboReaderDelay.text(), "2.00 TC Frames");
    EXPECT_EQ(m.format.lblVol.text(), "7.0");
    EXPECT_TRUE(m.format.cmdMode[3].bold());
    EXPECT_EQ(u.e().vals.systemBlock.bytes[8], 0x10);
    EXPECT_EQ(m.theater.txtTheaterInfo[9].text(), "3:07 PM 25/03/04");
    EXPECT_EQ(vb(u.e().document.dirty()), kFalse);

    // An edit with automatic upload on reaches the unit, stamped.
    u.sim.clearLog();
    m.bar.mnuAuto.click();
    m.options.cboSurroundDelay.setText("50 mS");
    m.trim.sclPNG[4].setValue(16);
    ASSERT_TRUE(u.sim.waitForLog("STORED audio block"));
    const std::string saved = u.sim.dir() + "/unit.img";
    ASSERT_TRUE(u.sim.control("save " + saved));
    const std::string img = q7mtest::readFile(saved);
    ASSERT_EQ(img.size(), 352u);
    EXPECT_EQ(img[6], 5);             // surround delay
    EXPECT_EQ(img[128 + 6 + 4], 16);  // right channel trim
    EXPECT_EQ(static_cast<std::uint8_t>(img[128]), 0x43);  // stamped by the test clock: March, 3 PM
    EXPECT_EQ(u.sim.logMatching("STORED").size(), 2u);
}

TEST(EditorWithUnit, OldUnitIsRejected) {
    WithUnit u({"--dspf", "1.08"});
    EXPECT_FALSE(u.h->connect());
    ASSERT_EQ(u.h->msg.boxes.size(), 1u);
    EXPECT_EQ(u.h->msg.boxes[0].title, "Cinema Processor Error");
    EXPECT_EQ(u.e().main.bar.lblStat.caption(), "Off Line");
    EXPECT_TRUE(u.sim.logMatching("FRAME").empty());  // no block was read
}

TEST(EditorWithUnit, PollFollowsTheFrontPanel) {
    WithUnit u;
    ASSERT_TRUE(u.h->connect());
    auto& m = u.e().main;
    ASSERT_TRUE(u.sim.control("format S"));
    ASSERT_TRUE(u.sim.control("mute on"));
    ASSERT_TRUE(u.sim.control("fader 5.5"));
    m.bar.tmrPoll.tick();
    EXPECT_EQ(u.e().vals.CurrentFormat, 2);
    EXPECT_TRUE(m.format.cmdMode[2].bold());
    EXPECT_EQ(m.format.cmdMute.caption(), "Un-Mute");
    EXPECT_EQ(m.trim.fader.lblVol.text(), "5.5");
    EXPECT_EQ(m.format.sclVol.value(), 99 - 55);
    EXPECT_EQ(m.bar.lblStat.caption(), "On Line");
}

TEST(EditorWithUnit, SilentUnitGoesOffLineAfterSixAttempts) {
    WithUnit u;
    ASSERT_TRUE(u.h->connect());
    u.sim.clearLog();
    ASSERT_TRUE(u.sim.control("silent on"));
    u.e().main.bar.tmrPoll.tick();
    EXPECT_EQ(u.sim.logMatching("TEXT F").size(), 6u);
    EXPECT_EQ(u.e().main.bar.lblStat.caption(), "Off Line");
    ASSERT_EQ(u.h->msg.boxes.size(), 1u);
    EXPECT_NE(u.h->msg.boxes[0].text.find("- Error Receiving\n- Error during ASCII command"), std::string::npos);
    // The library was shut down: the port can be opened again.
    ASSERT_TRUE(u.sim.control("silent off"));
    u.e().dispatch.setUnitAccepted(false);
    EXPECT_TRUE(u.h->connect());
}

TEST(EditorWithUnit, StartSnapshotsTheUnitAndCloseRevertsAndQuietensIt) {
    WithUnit u;
    ASSERT_TRUE(u.e().lifecycle.Form_Load());
    EXPECT_EQ(u.e().main.bar.form.caption(), "ZELK Cinema Processor and EQ Software   <CP Settings>");
    const std::string snapshot = q7mtest::readFile(u.e().paths.workingFile());
    EXPECT_EQ(snapshot.rfind("\"ZELK CP Settings File: V1.0\"\r\n3,70,#FALSE#\r\n", 0), 0u) << snapshot.substr(0, 60);

    // Change something in the unit, then close: No to saving, Yes to reverting.
    u.e().main.bar.mnuAuto.click();
    u.e().main.options.cboSurroundDelay.setText("90 mS");
    ASSERT_TRUE(u.sim.waitForLog("STORED system block"));
    u.sim.clearLog();
    u.h->msg.answer(MsgResult::No);
    u.h->msg.answer(MsgResult::Yes);
    ASSERT_TRUE(u.e().lifecycle.Form_Unload());
    std::vector<std::string> commands;
    for (auto& l : u.sim.log())
        if (l.rfind("TEXT ", 0) == 0 || l.rfind("STORED", 0) == 0) commands.push_back(l);
    const std::vector<std::string> expected = {
        "TEXT V70", "TEXT FX", "TEXT M-", "STORED system block", "STORED audio block",
        "TEXT PL-", "TEXT HL-", "TEXT PP-", "TEXT HP-", "TEXT PC-", "TEXT HC-", "TEXT PQ-", "TEXT HQ-",
        "TEXT PR-", "TEXT HR-", "TEXT PS-", "TEXT HS-", "TEXT A-", "TEXT B1"};
    EXPECT_EQ(commands, expected);
    ASSERT_TRUE(u.sim.control("save " + u.sim.dir() + "/unit.img"));
    EXPECT_EQ(q7mtest::readFile(u.sim.dir() + "/unit.img")[6], 2);  // the snapshot's 20 mS is back
}

// The unit answers block transfers badly while it streams records: every
// block transfer (Update, automatic update, Upload Settings with the read
// for a roll-back and the verify, Compare with Unit, Upload Selected, Apply
// to the Unit) finds the measurement's stream stopped, and the measurement
// goes on afterwards.
TEST(EditorWithUnit, BlockTransfersDuringEachMeasurementAskEachBlockOnce) {
    WithUnit u;
    ASSERT_TRUE(u.h->connect());
    auto& e = u.e();
    auto& t = e.main.optical;
    auto& table = e.compare;
    e.service.setUnitReads(true);
    e.polling.setAutoRefresh(1, 1);  // automatic update at every tick of its timer
    auto asked = [&](const char* request) { return u.sim.logMatching(request).size(); };
    const char* system = "FRAME 01 len=1";
    const char* audio = "FRAME 02 00 len=2";
    auto expectAsked = [&](const char* what, std::size_t systemReads, std::size_t audioReads, std::size_t systemStores,
                           std::size_t audioStores) {
        SCOPED_TRACE(what);
        EXPECT_EQ(asked(system), systemReads);
        EXPECT_EQ(asked(audio), audioReads);
        EXPECT_EQ(asked("STORED system block"), systemStores);
        EXPECT_EQ(asked("STORED audio block"), audioStores);
        u.sim.clearLog();
    };
    for (int mode = 0; mode < 3; ++mode) {
        SCOPED_TRACE(mode);
        t.optOptical[static_cast<std::size_t>(mode)].setValue(true);
        t.cmdStart.click();
        for (int i = 0; i < 3; ++i) t.tmrOptical.tick();
        ASSERT_GT(e.optical.recordsDrawn(), 0);

        u.sim.clearLog();
        e.main.bar.mnuRef.click();
        expectAsked("Update", 1, 1, 0, 0);
        e.main.bar.tmrRefresh.tick();
        expectAsked("automatic update", 1, 1, 0, 0);
        t.cmdUp.click();  // the unit's blocks read for a roll-back, sent, read back
        expectAsked("Upload Settings", 2, 2, 1, 1);

        // Two settings changed in the editor only (automatic upload is off).
        e.main.options.cboSurroundDelay.setText(mode == 1 ? "50 mS" : "90 mS");
        e.main.trim.sclPNG[2].userScroll(10 + mode);
        e.main.trim.sclPNG[2].userRelease();
        u.sim.clearLog();
        e.main.bar.mnuCompare.click();
        expectAsked("Compare with Unit", 1, 1, 0, 0);
        ASSERT_EQ(table.grdDiff.rows().size(), 4u);  // Options, Surround Delay, Output Trims, Centre
        table.grdDiff.userCheck(2);                  // the unit keeps its trims
        table.cmdUpload.click();
        expectAsked("Upload Selected", 1, 0, 1, 0);  // the system block, read back
        e.main.trim.sclPNG[2].userScroll(20 + mode);
        e.main.trim.sclPNG[2].userRelease();
        e.main.bar.mnuApply.click();
        expectAsked("Apply to the Unit", 1, 1, 0, 0);
        table.cmdUpload.click();
        expectAsked("Apply to the Unit's upload", 2, 2, 1, 1);

        // The pictures go on.
        const long drawn = e.optical.recordsDrawn();
        for (int i = 0; i < 3; ++i) t.tmrOptical.tick();
        EXPECT_EQ(e.optical.recordsDrawn(), drawn + 3);
        EXPECT_EQ(t.lblLock.caption(), "Stream Lock");
        EXPECT_FALSE(t.cmdMute4.enabled());
        EXPECT_EQ(e.main.bar.lblStat.caption(), "On Line");
        EXPECT_EQ(e.service.lastVerify().rfind("Verified", 0), 0u) << e.service.lastVerify();
        EXPECT_TRUE(u.h->msg.boxes.empty());
        t.cmdStart.click();
    }
}
