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
    EXPECT_EQ(f.grdDiff.columns(), (std::vector<std::string>{"Setting", "Editor", "Unit"}));
    EXPECT_EQ(f.grdDiff.rows(), (Rows{{"Left Channel trim", "1.0 dB", "0.0 dB"}}));
    EXPECT_EQ(f.lblSummary.caption(), "1 setting differs between the editor and the unit (read from the unit at "
                                      "3:07:00 PM).");
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
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetSystem", "SetAudio", "GetSystem", "GetAudio"}));

    // On: the table, nothing sent; Cancel sends nothing.
    h.bar().mnuShowDiff.click();
    EXPECT_TRUE(h.bar().mnuShowDiff.checked());
    EXPECT_TRUE(readServiceSettings(serviceSettingsPath(h.dir.file("data"))).showDifferencesBeforeUpload);
    h.moveLeftTrim(16);
    h.fake.clear();
    h.e().main.format.cmdUp.click();
    EXPECT_TRUE(f.form.visible());
    EXPECT_EQ(f.grdDiff.rows(), (Rows{{"Left Channel trim", "-2.0 dB", "-1.0 dB"}}));
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
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetSystem", "SetAudio", "GetSystem", "GetAudio"}));
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
