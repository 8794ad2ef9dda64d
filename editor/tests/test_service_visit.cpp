// The service visit in the editor, with the substitute library: Compare
// with Unit, the table before an explicit upload, verify after uploads, the
// as-found file on connecting, Open As-Found and the report command.
#include <gtest/gtest.h>

#include <filesystem>

#include "editor_harness.h"

using namespace zelktest;
namespace fs = std::filesystem;

namespace {

struct CapturingWriter : ReportWriter {
    std::string writePdf(const ServiceReport& r, const std::string& path) override {
        reports.push_back(r);
        paths.push_back(path);
        return failWith;
    }
    std::vector<ServiceReport> reports;
    std::vector<std::string> paths;
    std::string failWith;
};

struct Visit : Harness {
    Visit() {
        ed->service.setUnitReads(true);
        ed->service.setReportWriter(&writer);
        initialise();
        // The fake unit holds what a reset editor holds, and a stamp.
        fake.audio = ed->vals.audioBlock.bytes;
        fake.system = ed->vals.systemBlock.bytes;
        const std::uint8_t stamp[4] = {0x43, 0xD9, 0x47, 0x04};  // 3:07 PM 25/03/04
        std::copy(stamp, stamp + 4, fake.audio.begin());
        EXPECT_TRUE(connect());
        fake.clear();
        msg.boxes.clear();
    }
    Editor& e() { return *ed; }
    MainBar& bar() { return ed->main.bar; }
    // The user moves the Left trim slider to `raw` and lets go.
    void moveLeftTrim(int raw) {
        auto& s = ed->main.trim.sclPNG[0];
        s.userScroll(raw);
        s.userRelease();
    }
    std::vector<std::string> archive() const {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& f : fs::directory_iterator(dir.file("data/as-found"), ec)) names.push_back(f.path().string());
        return names;
    }
    CapturingWriter writer;
};

using Rows = std::vector<std::vector<std::string>>;

}  // namespace

TEST(ServiceVisit, CompareListsExactlyTheChangedTrimAndLeavesTheRecordAlone) {
    Visit h;
    h.moveLeftTrim(10);  // +1.0 dB, kept in the editor (automatic upload is off)
    EXPECT_TRUE(h.fake.names().empty());
    h.bar().mnuCompare.click();

    auto& f = h.e().compare;
    EXPECT_TRUE(f.form.visible());
    EXPECT_EQ(f.grdDiff.columns(), (std::vector<std::string>{"", "Setting", "Editor", "Unit"}));
    EXPECT_EQ(f.grdDiff.rows(), (Rows{{"", "Output Trims", "", ""}, {"", "Left Channel trim", "1.0 dB", "0.0 dB"}}));
    EXPECT_EQ(f.lblSummary.caption(), "1 setting differs between the editor and the unit (read from the unit at "
                                      "3:07:00 PM). Untick what the unit is to keep; Upload Selected sends the rest.");
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"GetSystem", "GetAudio"}));
    // Reading the unit did not touch the editor's configuration.
    EXPECT_EQ(h.e().vals.audioBlock.trimLevel(0), 10);
    EXPECT_EQ(h.e().vals.audioBlock.uploadStamp(0), 0x43);
    f.cmdCancel.click();
    EXPECT_FALSE(f.form.visible());
    EXPECT_EQ(h.fake.count("SetAudio"), 0);

    // The same editor and unit: no differences (the stamp is not one).
    h.fake.audio[6] = 10;
    h.fake.audio[0] = 0x22;
    h.bar().mnuCompare.click();
    EXPECT_TRUE(f.grdDiff.rows().empty());
    EXPECT_EQ(f.lblSummary.caption().rfind("No differences: the unit holds the editor's settings", 0), 0u);
}

TEST(ServiceVisit, CompareOffLineSaysToConnect) {
    Harness h;
    h.initialise();
    h.ed->main.bar.mnuCompare.click();
    ASSERT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.msg.boxes[0].title, "Compare with Unit");
    EXPECT_FALSE(h.ed->compare.form.visible());
    EXPECT_TRUE(h.fake.calls.empty());
}

TEST(ServiceVisit, TheTableComesBeforeAnExplicitUploadWhenTheOptionIsOn) {
    Visit h;
    auto& f = h.e().compare;
    h.moveLeftTrim(14);
    // Off (the default): Upload Settings sends at once, then verifies.
    h.e().main.trim.cmdUp.click();
    EXPECT_FALSE(f.form.visible());
    // The unit's blocks are read just before both go (what a failed audio
    // block takes it back to).
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"GetSystem", "GetAudio", "SetSystem", "SetAudio", "GetSystem",
                                                        "GetAudio"}));

    // On: the table, nothing sent; Cancel sends nothing.
    h.bar().mnuShowDiff.click();
    EXPECT_TRUE(h.bar().mnuShowDiff.checked());
    EXPECT_TRUE(readServiceSettings(serviceSettingsPath(h.dir.file("data"))).showDifferencesBeforeUpload);
    h.moveLeftTrim(16);
    h.fake.clear();
    h.e().main.format.cmdUp.click();
    EXPECT_TRUE(f.form.visible());
    EXPECT_EQ(f.grdDiff.rows(), (Rows{{"", "Output Trims", "", ""}, {"", "Left Channel trim", "-2.0 dB", "-1.0 dB"}}));
    EXPECT_EQ(h.fake.count("SetSystem") + h.fake.count("SetAudio"), 0);
    f.cmdCancel.click();
    EXPECT_EQ(h.fake.count("SetSystem") + h.fake.count("SetAudio"), 0);

    // Upload in the table: the upload confirmation still asks, then both
    // blocks go and are read back.
    h.bar().mnuConfirm.click();
    h.e().main.format.cmdUp.click();
    h.fake.clear();
    h.msg.answer(MsgResult::Yes);
    f.cmdUpload.click();
    EXPECT_FALSE(f.form.visible());
    ASSERT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.msg.boxes[0].title, "Confirm Upload!");
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"GetSystem", "GetAudio", "SetSystem", "SetAudio", "GetSystem",
                                                        "GetAudio"}));
    EXPECT_EQ(h.fake.audio[6], 16);
    // The next Upload Settings shows the table again.
    h.e().main.format.cmdUp.click();
    EXPECT_TRUE(f.form.visible());
    EXPECT_TRUE(f.grdDiff.rows().empty());
}

TEST(ServiceVisit, VerifyAfterUploadsSaysTheUnitHoldsTheSettings) {
    Visit h;
    // Automatic: only the block sent is read back.
    h.bar().mnuAuto.click();
    h.moveLeftTrim(11);
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetAudio", "GetAudio"}));
    EXPECT_EQ(h.bar().staStatus.caption(),
              "Verified: the unit holds the settings sent (audio block read back at 3:07:00 PM).");
    EXPECT_TRUE(h.e().service.lastVerifyMatched());

    // A unit that does not answer the read-back: the dispatcher reports it
    // and the configuration is not said to be uploaded.
    h.fake.clear();
    h.fake.failNext("GetAudio", 0x0014, 6);
    h.moveLeftTrim(12);
    EXPECT_FALSE(h.e().service.lastVerifyMatched());
    EXPECT_EQ(h.bar().staStatus.caption(),
              "Not verified: the unit stopped answering before the audio block could be read back. The "
              "configuration is not uploaded.");
    EXPECT_EQ(h.e().vals.audioBlock.trimLevel(0), 12);  // the record keeps the edit
    EXPECT_EQ(h.bar().lblStat.caption(), "Off Line");
}

TEST(ServiceVisit, ConnectingKeepsTheUnitAsFoundNeverOverwritingAndSaysWhatTheCapRemoved) {
    Visit h;
    auto files = h.archive();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(h.e().service.lastAsFound(), files[0]);
    EXPECT_EQ(fs::path(files[0]).filename(), "COM1_2004-03-25_150700.zcf");
    EXPECT_EQ(h.bar().staStatus.caption(), "As found: the unit's configuration is kept in " + files[0] + ".");
    ConfigData found;
    ASSERT_EQ(ReadConfigFile(files[0], found), ReadResult::Ok);
    AudioBlock unitAudio;
    SystemBlock unitSystem;
    unitAudio.bytes = h.fake.audio;
    unitSystem.bytes = h.fake.system;
    EXPECT_TRUE(compareConfigurations(found.systemBlock, found.audioBlock, unitSystem, unitAudio).empty());
    EXPECT_EQ(found.TheaterInfo[9], "3:07 PM 25/03/04");

    // Reconnecting in the same second: a second file, the first unchanged.
    const std::string first = q7mtest::readFile(files[0]);
    h.e().vals.TheaterInfo[1] = "Rex";
    h.e().vals.TheaterInfo[8] = "2";
    h.e().vals.TheaterInfo[7] = "Q7M-0042";
    h.fake.audio[7] = 3;
    h.clock.time.second = 5;
    h.e().dispatch.DispErr(0);
    ASSERT_TRUE(h.connect());
    files = h.archive();
    EXPECT_EQ(files.size(), 2u);
    EXPECT_EQ(q7mtest::readFile(h.dir.file("data/as-found/COM1_2004-03-25_150700.zcf")),
              first);
    EXPECT_TRUE(fs::exists(h.dir.file("data/as-found/Rex_screen-2_SN-Q7M-0042_2004-03-25_150705.zcf")));

    // A cap of 2: the next connection removes the oldest and says so.
    ASSERT_TRUE(writeServiceSettings(serviceSettingsPath(h.dir.file("data")), {false, 2}));
    h.clock.time.day = 26;
    h.e().dispatch.DispErr(0);
    ASSERT_TRUE(h.connect());
    EXPECT_EQ(h.archive().size(), 2u);
    EXPECT_NE(h.bar().staStatus.caption().find("The as-found archive holds at most 2 files: removed the oldest, "
                                                "COM1_2004-03-25_150700.zcf."),
              std::string::npos)
        << h.bar().staStatus.caption();
}

TEST(ServiceVisit, OpenAsFoundLoadsTheFileButNeverMakesItTheFileToSave) {
    Visit h;
    const std::string kept = h.e().service.lastAsFound();
    h.moveLeftTrim(4);
    h.e().vals.ConfigFilePath = "/somewhere/site.zcf";
    h.bar().mnuAsFound.click();
    auto& f = h.e().asFound;
    ASSERT_TRUE(f.form.visible());
    ASSERT_EQ(f.grdFiles.rows().size(), 1u);
    EXPECT_EQ(f.grdFiles.rows()[0], (std::vector<std::string>{"-", "-", "-", "2004-03-25 15:07:00", "COM1"}));
    EXPECT_FALSE(f.cmdOpen.enabled());
    f.grdFiles.userSelect(0);
    EXPECT_TRUE(f.cmdOpen.enabled());
    f.cmdOpen.click();
    EXPECT_FALSE(f.form.visible());
    EXPECT_EQ(h.e().vals.audioBlock.trimLevel(0), 12);  // as found, not as edited
    EXPECT_TRUE(h.e().vals.ConfigFilePath.empty());
    EXPECT_EQ(h.bar().form.caption(), kAppTitle + "   <As found: " + fs::path(kept).filename().string() + ">");

    // An empty archive says where it is kept.
    fs::remove(kept);
    h.bar().mnuAsFound.click();
    ASSERT_FALSE(h.msg.boxes.empty());
    EXPECT_EQ(h.msg.boxes.back().title, "Open As-Found");
    EXPECT_NE(h.msg.boxes.back().text.find(h.dir.file("data/as-found")), std::string::npos);
}

TEST(ServiceVisit, TheReportCarriesTheVerifyResultOnlyWhileTheConfigurationIsTheOneVerified) {
    Visit h;
    h.e().vals.TheaterInfo[1] = "Rex/Lyon";
    h.e().main.trim.cmdUp.click();
    ASSERT_TRUE(h.e().service.lastVerifyMatched());

    h.files.paths.push_back(h.dir.file("visit"));
    h.bar().mnuReport.click();
    ASSERT_EQ(h.writer.paths.size(), 1u);
    EXPECT_EQ(h.writer.paths[0], h.dir.file("visit.pdf"));
    EXPECT_EQ(h.files.filters.back(), kReportFilter);
    EXPECT_EQ(h.files.proposed.back(), "Rex_Lyon service report 2004-03-25.pdf");
    const ServiceReport& r = h.writer.reports[0];
    EXPECT_EQ(r.verify, h.e().service.lastVerify());
    EXPECT_EQ(r.unit.rows[0], (ReportRow{"CPU Version", "1.06"}));
    EXPECT_EQ(h.bar().staStatus.caption(), "Service report written to " + h.dir.file("visit.pdf") + ".");

    // After an edit, the verify no longer describes the configuration.
    h.moveLeftTrim(3);
    h.files.paths.push_back(h.dir.file("later.pdf"));
    h.writer.failWith = "disk full";
    h.bar().mnuReport.click();
    EXPECT_TRUE(h.writer.reports[1].verify.empty());
    ASSERT_FALSE(h.msg.boxes.empty());
    EXPECT_EQ(h.msg.boxes.back().text, "The service report could not be written to " + h.dir.file("later.pdf") +
                                           ":\ndisk full");
}

TEST(ServiceVisit, TheTableNeverHoldsBackTheRevertAtExit) {
    Harness h;
    h.ed->service.setUnitReads(true);
    ASSERT_TRUE(h.ed->lifecycle.Form_Load());  // connects and keeps the snapshot
    h.ed->main.bar.mnuShowDiff.click();
    const int found = h.fake.audio[6];
    h.ed->main.trim.sclPNG[0].userScroll(found == 20 ? 4 : 20);
    h.ed->main.trim.sclPNG[0].userRelease();
    h.fake.clear();
    h.msg.answer(MsgResult::No);   // Save? (the edit): no
    h.msg.answer(MsgResult::Yes);  // Revert?: yes
    ASSERT_TRUE(h.ed->lifecycle.Form_Unload());
    EXPECT_FALSE(h.ed->compare.form.visible());
    EXPECT_EQ(h.fake.count("SetSystem"), 1);
    EXPECT_EQ(h.fake.count("SetAudio"), 1);
    EXPECT_EQ(h.fake.audio[6], found);  // the snapshot's trim went back
}

TEST(ServiceVisit, UploadSelectedSendsOnlyTheTickedSettingsAndTheEditorThenHoldsWhatTheUnitHolds) {
    Visit h;
    auto& f = h.e().compare;
    auto& g = f.grdDiff;
    h.moveLeftTrim(14);
    h.e().main.trim.sclPNG[4].userScroll(16);
    h.e().main.trim.sclPNG[4].userRelease();
    h.e().main.options.cboSurroundDelay.setText("50 mS");
    h.bar().mnuCompare.click();
    ASSERT_EQ(g.rows().size(), 5u);  // Options, Surround Delay, Output Trims, Left, Right
    EXPECT_EQ(g.rows()[0][1], "Options");
    EXPECT_EQ(g.checks(), (std::vector<int>(5, Table::kTicked)));

    // The section's box: all of its settings, both ways; one setting: partly.
    g.userCheck(2);
    EXPECT_EQ(g.checks(), (std::vector<int>{1, 1, 0, 0, 0}));
    g.userCheck(4);
    EXPECT_EQ(g.checks(), (std::vector<int>{1, 1, Table::kPartly, 0, 1}));
    g.userCheck(0);
    EXPECT_EQ(g.checks(), (std::vector<int>{0, 0, Table::kPartly, 0, 1}));
    h.fake.clear();
    f.cmdUpload.click();
    // Only the audio block changes: only it goes, with the Right trim alone.
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetAudio", "GetAudio"}));
    EXPECT_EQ(h.fake.audio[6 + 4], 16);
    EXPECT_EQ(h.fake.audio[6 + 0], 12);
    EXPECT_EQ(h.e().vals.audioBlock.trimLevel(0), 12) << "the editor holds what the unit holds";
    EXPECT_EQ(h.e().main.trim.sclPNG[0].value(), 12);
    EXPECT_EQ(h.e().main.options.cboSurroundDelay.text(), "0 mS");
    EXPECT_TRUE(h.e().document.dirty());
    EXPECT_TRUE(h.e().service.lastVerifyMatched());
    h.bar().mnuCompare.click();
    EXPECT_TRUE(g.rows().empty());
    // Nothing ticked: nothing to send.
    h.moveLeftTrim(3);
    h.bar().mnuCompare.click();
    g.userCheck(0);
    EXPECT_FALSE(f.cmdUpload.enabled());
}

TEST(ServiceVisit, AReasonIsAskedWhenTheOptionIsOnAndKeptInTheHistoryWithTheChanges) {
    Visit h;
    auto& f = h.e().compare;
    h.bar().mnuAskReason.click();
    EXPECT_TRUE(readServiceSettings(serviceSettingsPath(h.dir.file("data"))).askReasonBeforeUpload);
    h.moveLeftTrim(14);
    h.e().main.trim.cmdUp.click();
    ASSERT_TRUE(f.form.visible()) << "the table comes with the question even without Show differences";
    EXPECT_FALSE(f.cmdUpload.enabled());
    f.txtReason.setText("   ");
    EXPECT_FALSE(f.cmdUpload.enabled());
    f.txtReason.setText("hum on the left");
    EXPECT_TRUE(f.cmdUpload.enabled());
    f.cmdUpload.click();
    EXPECT_EQ(h.fake.count("SetAudio"), 1);

    const HistoryRead read = readHistory(h.e().service.historyFile());
    EXPECT_TRUE(read.notes.empty());
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[0].action, "as-found");
    const HistoryRecord& r = read.records[1];
    EXPECT_EQ(r.time, "2004-03-25 15:07:00");
    EXPECT_EQ(r.program, "ZELKVELQ");
    EXPECT_EQ(r.port, "COM1");
    EXPECT_EQ(r.action, "upload");
    EXPECT_EQ(r.result, "verified");
    EXPECT_EQ(r.reason, "hum on the left");
    ASSERT_EQ(r.changes.size(), 1u);
    EXPECT_EQ(r.changes[0].setting, "Left Channel trim");
    EXPECT_EQ(r.changes[0].before, "0.0 dB");
    EXPECT_EQ(r.changes[0].after, "-1.0 dB");

    // File > Unit History: newest first; the report: the changes since the as-found.
    h.bar().mnuHistory.click();
    auto& hist = h.e().history;
    ASSERT_TRUE(hist.form.visible());
    ASSERT_EQ(hist.grdHistory.rows().size(), 2u);
    EXPECT_EQ(hist.grdHistory.rows()[0][4], "verified");
    EXPECT_EQ(hist.grdHistory.rows()[0][5], "hum on the left");
    EXPECT_EQ(hist.grdHistory.rows()[0][6], "Left Channel trim 0.0 dB -> -1.0 dB");
    EXPECT_EQ(hist.grdHistory.rows()[1][3].rfind("as-found ", 0), 0u);
    const ServiceReport report = h.e().service.currentReport();
    EXPECT_EQ(report.changes.heading, "Changes since the as-found");
    ASSERT_EQ(report.changes.rows.size(), 1u);
    EXPECT_EQ(report.changes.rows[0].second,
              "upload: verified. Left Channel trim 0.0 dB -> -1.0 dB. Reason: hum on the left");
}

TEST(ServiceVisit, AFailedAudioBlockSendsThePreviousSystemBlockBack) {
    for (const bool relinks : {true, false}) {
        SCOPED_TRACE(relinks ? "rolled back" : "half done");
        Visit h;
        const auto before = h.fake.system;
        h.e().main.options.cboSurroundDelay.setText("50 mS");
        h.moveLeftTrim(14);
        h.fake.failNext("SetAudio", 0x0030, 6);
        if (!relinks) h.fake.failNext("InitDLL", 0x0044, 6);
        h.e().main.trim.cmdUp.click();
        ASSERT_GE(h.fake.systemsSent.size(), 1u);
        EXPECT_EQ(h.fake.systemsSent[0][6], 5) << "the new system block was stored first";
        EXPECT_EQ(h.bar().lblStat.caption(), "Off Line");
        const HistoryRead read = readHistory(h.e().service.historyFile());
        ASSERT_FALSE(read.records.empty());
        if (relinks) {
            ASSERT_EQ(h.fake.systemsSent.size(), 2u);
            EXPECT_EQ(h.fake.system, before) << "the unit's previous system block went back";
            EXPECT_EQ(h.bar().staStatus.caption(),
                      "Upload rolled back: the unit holds its previous settings. The configuration is not uploaded.");
            EXPECT_EQ(h.msg.boxes.back().title, "Upload Rolled Back");
            EXPECT_EQ(read.records.back().result, "rolled back");
            EXPECT_EQ(h.fake.names().back(), "DLLShutdown") << "off line again, as the error report said";
        } else {
            EXPECT_EQ(h.fake.systemsSent.size(), 1u);
            EXPECT_EQ(h.bar().staStatus.caption().rfind("The upload is HALF DONE: the unit stored the system block", 0),
                      0u);
            EXPECT_EQ(read.records.back().result, "half done");
        }
        EXPECT_EQ(h.e().vals.systemBlock.surroundDelay(), 5) << "the editor keeps the edit";
    }
}

TEST(ServiceVisit, AFileOpenedOnLinePointsToApplyToTheUnitWhichShowsTheSameTable) {
    Visit h;
    ConfigData d = ConfigData::from(h.e().vals);
    d.audioBlock.trimLevel(0) = 20;
    ASSERT_TRUE(WriteConfigFile(h.dir.file("site.zcf"), d));
    h.files.paths.push_back(h.dir.file("site.zcf"));
    h.bar().mnuLoad.click();
    EXPECT_NE(h.bar().staStatus.caption().find("File > Apply to the Unit..."), std::string::npos)
        << h.bar().staStatus.caption();
    EXPECT_EQ(h.fake.count("SetAudio"), 0);
    h.bar().mnuApply.click();
    auto& f = h.e().compare;
    ASSERT_TRUE(f.form.visible());
    EXPECT_EQ(f.form.caption(), "Apply to the Unit: " + h.dir.file("site.zcf"));
    EXPECT_EQ(f.grdDiff.rows().size(), 2u);
    f.cmdUpload.click();
    EXPECT_EQ(h.fake.audio[6], 20);
}
