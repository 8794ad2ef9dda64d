// File commands, theater information, settings file, start-up and shut-down.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "files/config_file.h"
#include "editor_harness.h"

using namespace zelktest;
using q7mtest::readFile;
using q7mtest::writeFile;

namespace {
const std::string kTitle = "ZELK Cinema Processor and EQ Software   ";

bool exists(const std::string& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0;
}

struct Fresh : Harness {
    Fresh() { initialise(); }
    Editor& e() { return *ed; }
    FileCommands& f() { return ed->fileCmds; }
    std::string file(const std::string& name) { return dir.file(name); }
};
}  // namespace

TEST(FileCommands, NewAsksOnlyWhenChangedAndResets) {
    Fresh h;
    auto& m = h.e().main;
    h.f().mnuNew_Click();
    EXPECT_TRUE(h.msg.boxes.empty());
    EXPECT_EQ(m.bar.form.caption(), kTitle + "<Untitled>");
    EXPECT_FALSE(m.bar.mnuSave.enabled());

    m.trim.sclPNG[0].setValue(2);
    h.e().vals.TheaterInfo[1] = "Roxy";
    ASSERT_EQ(vb(h.ed->document.dirty()), kTrue);
    h.msg.answer(MsgResult::No);
    h.f().mnuNew_Click();
    ASSERT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.msg.boxes[0].text, "Do you want to save your changes?");
    EXPECT_EQ(h.msg.boxes[0].title, "Save?");
    EXPECT_EQ(h.msg.boxes[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(h.files.filters.empty());  // No: nothing written, no dialog
    EXPECT_EQ(h.e().vals.audioBlock.trimLevel(0), 12);
    EXPECT_EQ(h.e().vals.TheaterInfo[1], "");
    EXPECT_EQ(vb(h.ed->document.dirty()), kFalse);
    EXPECT_TRUE(h.fake.calls.empty());  // New sends nothing
}

TEST(FileCommands, SaveAsProposesTheTheaterNameAndSaveReusesThePath) {
    Fresh h;
    auto& m = h.e().main;
    m.bar.mnuSet.click();  // typed in the theater dialog
    h.e().theater.txtTheaterInfo[1].setText("Odeon/Leicester Sq");
    h.e().theater.cmdOK.click();
    EXPECT_EQ(m.theater.txtTheaterInfo[1].text(), "Odeon/Leicester Sq");
    h.files.paths.push_back(std::nullopt);
    h.f().mnuSave_Click();  // no file yet: Save As, cancelled
    EXPECT_EQ(h.files.proposed.back(), "Odeon_Leicester Sq.zcf");
    EXPECT_EQ(h.files.filters.back(), "ZELK VELQ Config Files (*.zcf)|*.zcf");
    EXPECT_EQ(h.ed->fileCmds.SaveAborted, true);

    const std::string path = h.file("odeon.zcf");
    h.files.paths.push_back(path);
    h.ed->document.markDirty();
    h.f().mnuSaveAs_Click();
    EXPECT_TRUE(exists(path));
    EXPECT_EQ(m.bar.form.caption(), kTitle + "<" + path + ">");
    EXPECT_EQ(vb(h.ed->document.dirty()), kFalse);
    EXPECT_TRUE(m.bar.mnuSave.enabled());
    EXPECT_EQ(h.e().vals.HasConfigFile, kFalse);  // Save As does not change it

    // Save writes the sliders' values of the channel on screen.
    h.e().main.eq.sclA[0].setValue(3);
    h.f().mnuSave_Click();
    ConfigData d;
    ASSERT_EQ(ReadConfigFile(path, d), ReadResult::Ok);
    EXPECT_EQ(d.audioBlock.channelEq(0).bandGain(0), 3);
    EXPECT_EQ(h.files.filters.size(), 2u);  // no dialog for Save
}

TEST(FileCommands, OpenShowsTheFileAndSendsTheLiveValues) {
    Fresh h;
    auto& m = h.e().main;
    ConfigData d = ConfigData::from(h.e().vals);
    d.systemBlock.surroundDelay() = 3;
    d.audioBlock.trimLevel(2) = 20;
    d.audioBlock.obeFrequency() = 4;
    d.CurrentVolume = 55;
    d.CurrentMute = kTrue;
    d.TheaterInfo[9] = "typed date";
    d.TheaterInfo[0] = "Circuit X";
    ASSERT_TRUE(WriteConfigFile(h.file("a.zcf"), d));
    h.e().vals.OnLine = kTrue;
    h.e().upload.setOptions(true, false, false);
    h.files.paths.push_back(h.file("a.zcf"));
    h.f().mnuLoad_Click();
    EXPECT_EQ(h.files.filters.back(),
              "ZELK VELQ Config Files (*.zcf)|*.zcf|Old Config File format (*.cfg)|*.cfg");
    // Live values sent, blocks not uploaded.
    EXPECT_EQ(h.fake.calls, (std::vector<LinkCall>{{"SetVol", {55}}, {"SelectFormat", {0}}, {"SetMute", {-1}}}));
    EXPECT_EQ(m.options.cboSurroundDelay.text(), "30 mS");
    EXPECT_EQ(m.trim.lblPNG[2].text(), "-4.0");
    EXPECT_EQ(m.trim.sclPNG[2].value(), 20);
    EXPECT_EQ(m.obe.cmdOBEEnable.caption(), "OBE Enable");
    EXPECT_EQ(m.obe.cboObeF.text(), "80 Hz");
    EXPECT_EQ(m.obe.fader.lblVol.text(), "5.5");
    EXPECT_EQ(m.format.cmdMute.caption(), "Un-Mute");
    EXPECT_EQ(m.theater.txtTheaterInfo[9].text(), "typed date");
    EXPECT_EQ(m.theater.txtTheaterInfo[0].text(), "Circuit X");
    EXPECT_EQ(m.bar.form.caption(), kTitle + "<" + h.file("a.zcf") + ">");
    EXPECT_EQ(vb(h.ed->document.dirty()), kFalse);
    EXPECT_EQ(h.e().vals.HasConfigFile, kTrue);
    EXPECT_TRUE(m.bar.tmrPoll.enabled());

    // A later Open after an edit asks, and Yes saves to the current file.
    m.options.cboSurroundDelay.setListIndex(9);
    h.files.paths.push_back(std::nullopt);
    h.f().mnuLoad_Click();
    ASSERT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.msg.boxes[0].text, "Do you want to save your changes?");
    ConfigData saved;
    ASSERT_EQ(ReadConfigFile(h.file("a.zcf"), saved), ReadResult::Ok);
    EXPECT_EQ(saved.systemBlock.surroundDelay(), 9);
}

TEST(FileCommands, FailedOpenKeepsEverythingAndThePreviousPath) {
    Fresh h;
    auto& m = h.e().main;
    ASSERT_TRUE(WriteConfigFile(h.file("good.zcf"), ConfigData::from(h.e().vals)));
    h.files.paths.push_back(h.file("good.zcf"));
    h.f().mnuLoad_Click();
    const std::string caption = m.bar.form.caption();
    h.e().vals.audioBlock.trimLevel(1) = 7;
    std::string broken = configFileText(ConfigData::from(h.e().vals));
    broken.resize(broken.size() / 2);
    writeFile(h.file("broken.zcf"), broken);
    h.files.paths.push_back(h.file("broken.zcf"));
    h.f().mnuLoad_Click();
    ASSERT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.msg.boxes[0].text, "Error open opening file! Incorrect format!");
    EXPECT_EQ(h.msg.boxes[0].title, "File Error");
    EXPECT_EQ(h.msg.boxes[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(h.e().vals.audioBlock.trimLevel(1), 7);
    EXPECT_EQ(h.e().vals.ConfigFilePath, h.file("good.zcf"));
    EXPECT_EQ(m.bar.form.caption(), caption);
    EXPECT_EQ(h.e().vals.LoadingControls, kFalse);
    EXPECT_TRUE(m.bar.tmrPoll.enabled());

    // Wrong header (an upper-case .CFG is read as text): no message at all.
    writeFile(h.file("OLD.CFG"), std::string(352, '\x01'));
    h.files.paths.push_back(h.file("OLD.CFG"));
    h.f().mnuLoad_Click();
    EXPECT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.e().vals.ConfigFilePath, h.file("good.zcf"));

    // An old binary image replaces both blocks.
    std::string image(352, '\x02');
    image[6] = 4;
    writeFile(h.file("old.cfg"), image);
    h.files.paths.push_back(h.file("old.cfg"));
    h.f().mnuLoad_Click();
    EXPECT_EQ(h.e().vals.systemBlock.surroundDelay(), 4);
    EXPECT_EQ(m.options.cboSurroundDelay.text(), "40 mS");
    EXPECT_EQ(h.e().vals.audioBlock.bytes[200], 2);
}

TEST(Theater, DialogOkCancelAndQuotes) {
    Fresh h;
    auto& m = h.e().main;
    auto& t = h.e().theater;
    h.e().vals.TheaterInfo[1] = "Roxy";
    m.theater.cmdEdit.click();
    EXPECT_TRUE(t.form.visible());
    EXPECT_FALSE(m.bar.form.enabled());
    EXPECT_EQ(t.txtTheaterInfo[1].text(), "Roxy");
    t.cmdOK.click();  // nothing typed
    EXPECT_EQ(vb(h.ed->document.dirty()), kFalse);
    EXPECT_TRUE(m.bar.form.enabled());

    m.bar.mnuSet.click();
    t.txtTheaterInfo[1].setText("The \"Grand\"");
    EXPECT_EQ(t.txtTheaterInfo[1].text(), "The 'Grand'");
    t.cmdCan.click();
    EXPECT_EQ(h.e().vals.TheaterInfo[1], "Roxy");

    m.bar.mnuSet.click();
    t.txtTheaterInfo[1].setText("Grand");
    t.cmdOK.click();
    EXPECT_EQ(h.e().vals.TheaterInfo[1], "Grand");
    EXPECT_EQ(m.theater.txtTheaterInfo[1].text(), "Grand");
    EXPECT_EQ(vb(h.ed->document.dirty()), kTrue);

    h.clock.time = {2004, 3, 25, 4, 15, 7, 9};
    m.bar.tmrClock.tick();
    EXPECT_EQ(m.format.lblClock.caption(), "03:07:09 PM");
}

TEST(Settings, FileFormatRoundTripAndDamage) {
    ProgramSettings s;
    s.ComPort = 3;
    s.Auto = true;
    s.Short = true;
    s.AutoRefreshEnabled = 1;
    s.RefreshSeconds = 45;
    EXPECT_EQ(settingsFileText(s), " 3\r\nTrue\r\nFalse\r\nTrue\r\n 1\r\n 45\r\n");
    ProgramSettings back;
    parseSettingsFile(settingsFileText(s), back);
    EXPECT_EQ(back.ComPort, 3);
    EXPECT_TRUE(back.Auto);
    EXPECT_FALSE(back.Confirm);
    EXPECT_EQ(back.RefreshSeconds, 45);

    ProgramSettings damaged;
    parseSettingsFile(" 2\r\nFalse\r\nmaybe\r\nTrue\r\n", damaged);
    EXPECT_EQ(damaged.ComPort, 2);
    EXPECT_FALSE(damaged.Auto);
    EXPECT_FALSE(damaged.Short);  // after the bad line nothing is taken

    Fresh h;
    auto& m = h.e().main;
    q7mtest::TempDir dummy;
    ::mkdir(h.e().paths.dataDir.c_str(), 0755);
    writeFile(h.e().paths.settingsFile(), " 3\r\nFalse\r\nTrue\r\nFalse\r\n 1\r\n 30\r\n");
    h.f().InitialiseSettings();
    EXPECT_EQ(h.e().vals.ComPort, 3);
    EXPECT_TRUE(m.bar.mnuComN[2].checked());
    EXPECT_FALSE(m.bar.mnuComN[0].checked());
    EXPECT_TRUE(m.bar.mnuBaudN[0].checked());
    EXPECT_FALSE(m.bar.mnuAuto.checked());
    EXPECT_TRUE(m.bar.mnuConfirm.checked());
    EXPECT_TRUE(m.bar.mnuShort.enabled());
    EXPECT_TRUE(m.bar.mnuAutoRef.checked());
    EXPECT_EQ(h.e().vals.RefreshSeconds, 30);
    EXPECT_EQ(h.fake.count("DLLCreateIni"), 1);  // no ZelkSerial.ini yet

    ::mkdir(h.e().paths.configDir.c_str(), 0755);
    writeFile(h.e().paths.configDir + "/ZelkSerial.ini", "[Ports]\r\nCOM1=/dev/mine\r\n");
    h.fake.clear();
    h.f().InitialiseSettings();
    EXPECT_EQ(h.fake.count("DLLCreateIni"), 0);
}

TEST(Lifecycle, StartOffLineAndOnLine) {
    Harness off;
    off.fake.failNext("InitDLL", 0x0041, 6);
    ASSERT_TRUE(off.ed->lifecycle.Form_Load());
    EXPECT_EQ(off.ed->main.bar.form.caption(), kTitle + "<Untitled>");
    EXPECT_FALSE(exists(off.ed->paths.workingFile()));
    ASSERT_EQ(off.msg.texts().size(), 1u);
    EXPECT_EQ(off.msg.texts()[0].rfind("Unable to connect to unit!\n\nNo answer on COM 1", 0), 0u);
    EXPECT_EQ(off.ed->vals.LoadingControls, kFalse);
    EXPECT_TRUE(off.ed->main.bar.frmtabs[0].enabled());
    EXPECT_FALSE(off.ed->main.bar.frmtabs[1].enabled());

    Harness on;
    writeFile(on.dir.file("VELQ-HELP.rtf"), "{\\rtf1 Help text}");
    on.fake.system[6] = 7;
    ASSERT_TRUE(on.ed->lifecycle.Form_Load());
    EXPECT_EQ(on.ed->main.bar.form.caption(), kTitle + "<CP Settings>");
    EXPECT_EQ(on.ed->vals.ConfigFilePath, "");
    ConfigData snapshot;
    ASSERT_EQ(ReadConfigFile(on.ed->paths.workingFile(), snapshot), ReadResult::Ok);
    EXPECT_EQ(snapshot.systemBlock.surroundDelay(), 7);
    EXPECT_EQ(on.ed->main.help.RTFc.text(), "{\\rtf1 Help text}");
    EXPECT_EQ(on.fake.names().back(), "StopStream");
    EXPECT_TRUE(on.msg.boxes.empty());
}

TEST(Lifecycle, ScreenTooSmallEndsAtOnce) {
    Harness h;
    h.ui.height = 8999;
    EXPECT_FALSE(h.ed->lifecycle.Form_Load());
    ASSERT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.msg.boxes[0].text,
              "Error, screen resolution too low. Please select a screen resolution of at least 800 x 600.");
    EXPECT_EQ(h.msg.boxes[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(h.fake.count("InitDLL"));
    Harness exact;
    exact.ui.height = 9000;
    EXPECT_TRUE(exact.ed->lifecycle.Form_Load());
    EXPECT_EQ(exact.ui.movedToTop, 2);
}

TEST(Lifecycle, CloseWithCancelSaveAndRevert) {
    Harness h;
    ASSERT_TRUE(h.ed->lifecycle.Form_Load());
    auto& m = h.ed->main;
    m.trim.sclPNG[0].setValue(1);  // an edit
    h.fake.clear();

    h.msg.answer(MsgResult::Cancel);
    EXPECT_FALSE(h.ed->lifecycle.Form_Unload());
    EXPECT_TRUE(h.fake.calls.empty());
    EXPECT_FALSE(exists(h.ed->paths.settingsFile()));
    EXPECT_EQ(h.ed->vals.OnLine, kTrue);

    // Yes, but the file dialog is cancelled: the window stays open.
    h.msg.answer(MsgResult::Yes);
    h.files.paths.push_back(std::nullopt);
    EXPECT_FALSE(h.ed->lifecycle.Form_Unload());
    EXPECT_EQ(h.ed->fileCmds.SaveAborted, false);

    // No to saving, Yes to reverting: the snapshot goes back to the unit,
    // then the unit is quietened and the link closed.
    h.msg.answer(MsgResult::No);
    h.msg.answer(MsgResult::Yes);
    h.fake.clear();
    EXPECT_TRUE(h.ed->lifecycle.Form_Unload());
    EXPECT_EQ(h.msg.boxes.back().text, "Do you want to revert back to original settings?");
    EXPECT_EQ(h.msg.boxes.back().title, "Revert?");
    EXPECT_EQ(h.msg.boxes.back().buttons, MsgButtons::YesNoDefaultNo);  // Enter keeps the unit as it is
    EXPECT_EQ(h.ed->vals.audioBlock.trimLevel(0), 12);
    std::vector<std::string> expected = {"SetVol", "SelectFormat", "SetMute", "SetSystem", "SetAudio"};
    for (int ch = 0; ch < 6; ++ch) {
        expected.push_back("SetPink");
        expected.push_back("SetPhase");
    }
    for (auto n : {"StopStream", "SetDLLBaud", "DLLShutdown"}) expected.push_back(n);
    EXPECT_EQ(h.fake.names(), expected);
    EXPECT_EQ(h.fake.calls[5], (LinkCall{"SetPink", {0, 0}}));
    EXPECT_EQ(h.fake.calls[h.fake.calls.size() - 2], (LinkCall{"SetDLLBaud", {0}}));
    EXPECT_FALSE(exists(h.ed->paths.workingFile()));
    EXPECT_EQ(readFile(h.ed->paths.settingsFile()), " 1\r\nFalse\r\nFalse\r\nFalse\r\n 0\r\n 60\r\n");
}

TEST(Lifecycle, CloseOffLineAsksNothingAndCallsNothing) {
    Harness h;
    h.fake.failNext("InitDLL", 0x0041, 6);
    ASSERT_TRUE(h.ed->lifecycle.Form_Load());
    h.msg.boxes.clear();
    h.fake.clear();
    EXPECT_TRUE(h.ed->lifecycle.Form_Unload());
    EXPECT_TRUE(h.msg.boxes.empty());
    EXPECT_TRUE(h.fake.calls.empty());
    EXPECT_TRUE(exists(h.ed->paths.settingsFile()));
}
