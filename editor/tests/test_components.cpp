// Components built alone, each with only what its constructor asks for:
// the substitute library, the services and small fakes of the components
// it calls.  No Editor is built here.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "connection/dispatcher.h"
#include "connection/live_status.h"
#include "connection/online_gate.h"
#include "connection/port_speed.h"
#include "connection/upload.h"
#include "controls/equaliser.h"
#include "controls/levels.h"
#include "editor_harness.h"
#include "files/config_file.h"
#include "files/file_commands.h"
#include "files/theater.h"
#include "model/channel_ops.h"

using namespace zelktest;

namespace {

// Records the link events in order, as text.
struct RecordingSink : LinkEvents {
    std::vector<std::string> events;
    void linkStatus(LinkStatus s) override {
        events.push_back(s == LinkStatus::OnLine ? "OnLine" : s == LinkStatus::OffLine ? "OffLine" : "Data?");
    }
    void retryProgress(int n) override { events.push_back("progress " + std::to_string(n)); }
    void liveValueChanged(LiveValue v) override {
        events.push_back(v == LiveValue::Format ? "format" : v == LiveValue::Volume ? "volume" : "mute");
    }
    void streamLost() override { events.push_back("streamLost"); }
    void linkLost(std::uint16_t e) override { events.push_back("linkLost " + std::to_string(e)); }
};

struct FakePoll : PollControl {
    int suspended = 0, resumed = 0;
    int autoEnabled = -1, autoSeconds = -1;
    void suspend() override { ++suspended; }
    void resume() override { ++resumed; }
    void setAutoRefresh(int e, int s) override {
        autoEnabled = e;
        autoSeconds = s;
    }
};

struct FakeUpload : AutoUpload {
    std::vector<std::pair<int, int>> requests;
    void UploadToUnit(int which, int force) override { requests.emplace_back(which, force); }
};

struct FakeStamp : StampDisplay {
    int shown = 0;
    void ShowDate() override { ++shown; }
};

// The pieces most components stand on: the record, services, the
// substitute library and a dispatcher raising events into a recorder.
struct Base {
    FakeLink fake;
    ModVals vals;
    TestClock clock;
    ScriptedMessageBox msg;
    CountingUi ui;
    RecordingSink sink;
    std::string hint;
    DirectRunner runner;
    std::vector<std::string> callsBeforeHint;  // the library's calls when the diagnosis ran
    Dispatcher d{fake.api(), runner, vals, clock, msg, sink, [this]() -> Dispatcher::HintJob {
                     return [this] {
                         callsBeforeHint = fake.names();
                         return hint;
                     };
                 }};
    void onLine() { vals.OnLine = kTrue; }
};

}  // namespace

TEST(DispatcherAlone, RaisesStatusProgressAndLiveEventsInOrder) {
    Base b;
    b.fake.failNext("InitDLL", 0x0041, 2);
    EXPECT_EQ(b.d.RetryFunction(FN_InitDLL), 0);
    EXPECT_EQ(b.sink.events, (std::vector<std::string>{"progress 1", "Data?", "progress 2", "OnLine"}));
    EXPECT_EQ(b.vals.OnLine, kTrue);

    b.sink.events.clear();
    b.fake.volume = b.vals.CurrentVolume;  // unchanged: no event
    b.d.RetryFunction(FN_GetVol);
    b.fake.volume = 42;
    b.fake.format = static_cast<std::int16_t>(b.vals.CurrentFormat + 1);
    b.fake.mute = 1;
    b.d.RetryFunction(FN_GetVol);
    b.d.RetryFunction(FN_GetFormat);
    b.d.RetryFunction(FN_GetMute);
    EXPECT_EQ(b.sink.events, (std::vector<std::string>{"volume", "format", "mute"}));
    EXPECT_EQ(b.vals.CurrentVolume, 42);
    EXPECT_EQ(b.vals.CurrentMute, kTrue);
}

TEST(DispatcherAlone, GivingUpReportsOnceShutsDownThenRaisesLinkLost) {
    Base b;
    b.onLine();
    b.hint = "Permission denied on /dev/ttyUSB0";
    b.fake.failNext("GetVol", 0x0084, 6);
    EXPECT_EQ(b.d.RetryFunction(FN_GetVol), 0x0084);
    ASSERT_EQ(b.msg.boxes.size(), 1u);
    // Before the unit was accepted the box says it could not connect, with
    // the port's hint on a line of its own.
    EXPECT_EQ(b.msg.boxes[0].text, "Unable to connect to unit!\n\nPermission denied on /dev/ttyUSB0");
    EXPECT_EQ(b.sink.events.back(), "linkLost 132");
    EXPECT_EQ(b.sink.events[b.sink.events.size() - 2], "OffLine");
    EXPECT_EQ(b.fake.names().back(), "DLLShutdown");
    // The diagnosis opens the port itself: only once the library let go.
    ASSERT_FALSE(b.callsBeforeHint.empty());
    EXPECT_EQ(b.callsBeforeHint.back(), "DLLShutdown");
    EXPECT_EQ(b.vals.OnLine, kFalse);

    // Off line every call is skipped silently.
    b.fake.clear();
    EXPECT_EQ(b.d.RetryFunction(FN_SetVol), 0);
    EXPECT_TRUE(b.fake.calls.empty());

    // After acceptance the full report, and the acceptance is forgotten.
    b.onLine();
    b.d.setUnitAccepted(true);
    b.msg.boxes.clear();
    b.d.DispErr(0x0028);
    EXPECT_EQ(b.msg.boxes[0].text.rfind("The following Errors were encountered:", 0), 0u);
    EXPECT_FALSE(b.d.UnitAccepted());

    // A lost stream is only a stream event: nothing shown, still on line.
    b.onLine();
    b.sink.events.clear();
    b.msg.boxes.clear();
    b.d.DispErr(kStreamLostWord);
    EXPECT_EQ(b.sink.events, (std::vector<std::string>{"streamLost"}));
    EXPECT_TRUE(b.msg.boxes.empty());
    EXPECT_EQ(b.vals.OnLine, kTrue);
}

namespace {
struct LevelsAlone : Base {
    FormatTab format;
    TrimTab trim;
    EqTab eq;
    ObeTab obe;
    OpticalTab optical;
    FrmFader fader;
    FakePoll poll;
    SliderKeys keys;
    LiveStatus live{vals,
                    {format.cmdMode,
                     {&format.cmdMute, &trim.fader.cmdMute, &eq.fader.cmdMute, &optical.cmdMute4, &obe.fader.cmdMute},
                     {&format.lblVol, &trim.fader.lblVol, &eq.fader.lblVol, &obe.fader.lblVol},
                     format.sclVol,
                     fader,
                     obe},
                    ui};
    Levels levels{vals, d, live, poll, keys, msg, ui, {format, {&trim.fader, &eq.fader, &obe.fader}, trim, obe, fader}};
};
}  // namespace

TEST(DispatcherAlone, AFailedOrCancelledBlockReadLeavesTheRecordAsItWas) {
    Base b;
    b.onLine();
    b.d.setUnitAccepted(true);
    b.vals.audioBlock.bytes.fill(1);
    b.fake.audio.fill(9);
    b.fake.partialRead = 100;  // each failed read wrote part of the block
    b.fake.failNext("GetAudio", 0x0014, kMaxAttempts);
    EXPECT_EQ(b.d.RetryFunction(FN_GetAudio), 0x0014);
    EXPECT_EQ(b.vals.audioBlock.bytes[0], 1);

    // A read whose wait was given up writes nothing, though it succeeds.
    b.onLine();
    b.fake.onCall = [&](const std::string& name) {
        if (name == "GetAudio") b.runner.requestCancel();
    };
    EXPECT_EQ(b.d.RetryFunction(FN_GetAudio), kCancelledWord);
    EXPECT_EQ(b.vals.audioBlock.bytes[0], 1);
}

TEST(DispatcherAlone, ACancelEndsTheExchangeBetweenAttemptsOffLineWithoutAReport) {
    // Asked for while the library opens the port: that call is given up
    // once it returns, and no attempt follows.
    Base b;
    b.fake.failNext("InitDLL", 0x0041, 6);
    b.fake.onCall = [&](const std::string& name) {
        if (name == "InitDLL" && b.fake.count("InitDLL") == 2) b.runner.requestCancel();
    };
    EXPECT_EQ(b.d.RetryFunction(FN_InitDLL), kCancelledWord);
    EXPECT_EQ(b.fake.names(), (std::vector<std::string>{"InitDLL", "InitDLL", "DLLShutdown"}));
    EXPECT_TRUE(b.msg.boxes.empty());
    EXPECT_EQ(b.sink.events, (std::vector<std::string>{"progress 1", "OffLine", "linkLost 32768"}));
    EXPECT_FALSE(b.runner.cancelRequested());  // spent with its exchange
    b.fake.onCall = nullptr;
    b.fake.clear();
    EXPECT_EQ(b.d.RetryFunction(FN_InitDLL), 0);  // the next Connect works

    // On line at 19200, asked for during a retry's clearing: the line goes
    // back to 9600 and the library shuts down, and nothing is reported.
    b.d.setUnitAccepted(true);
    b.vals.BaudIndex = 1;
    b.fake.clear();
    b.sink.events.clear();
    b.fake.failNext("GetVol", 0x0084, 6);
    b.fake.onCall = [&](const std::string& name) {
        if (name == "ClearError") b.runner.requestCancel();
    };
    EXPECT_EQ(b.d.RetryFunction(FN_GetVol), kCancelledWord);
    EXPECT_EQ(b.fake.calls, (std::vector<LinkCall>{{"GetVol", {}}, {"ClearError", {}}, {"SetDLLBaud", {0}},
                                                   {"DLLShutdown", {}}}));
    EXPECT_TRUE(b.msg.boxes.empty());
    EXPECT_EQ(b.vals.OnLine, kFalse);
    EXPECT_FALSE(b.d.UnitAccepted());
    EXPECT_EQ(b.sink.events.back(), "linkLost 32768");
}

TEST(LevelsAlone, ToggleStateDrivesLookAndTheUnitAndLeavingSwitchesOnlyWhatIsOn) {
    LevelsAlone h;
    h.onLine();
    h.trim.cmdPN[2].click();
    h.trim.cmdPhase[4].click();
    EXPECT_TRUE(h.levels.pinkOn(2));
    EXPECT_EQ(h.trim.cmdPN[2].caption(), "On");
    EXPECT_TRUE(h.trim.cmdPN[2].bold());
    EXPECT_EQ(h.trim.cmdPhase[4].caption(), "Inverted");
    EXPECT_EQ(h.fake.calls, (std::vector<LinkCall>{{"SetPink", {2, -1}}, {"SetPhase", {4, -1}}}));

    // A caption changed behind the owner's back decides nothing.
    h.trim.cmdPN[2].setCaption("Off");
    h.fake.clear();
    h.levels.leaveTrimTab();
    EXPECT_EQ(h.fake.calls, (std::vector<LinkCall>{{"SetPink", {2, 0}}, {"SetPhase", {4, 0}}}));
    EXPECT_FALSE(h.levels.pinkOn(2));
    EXPECT_EQ(h.trim.cmdPhase[4].caption(), "In Phase");

    // RT-60 on shows every pink button off without telling the unit.
    h.trim.cmdPN[0].click();
    h.fake.clear();
    h.trim.cmdRT60.click();
    EXPECT_FALSE(h.levels.pinkOn(0));
    EXPECT_EQ(h.fake.calls, (std::vector<LinkCall>{{"SetRT60", {-1}}}));
}

TEST(LevelsAlone, FaderKeysHoldThePollAndMuteShowsOnEveryTab) {
    LevelsAlone h;
    h.onLine();
    h.format.sclVol.onKeyDown(KEY_UP);
    EXPECT_EQ(h.poll.suspended, 1);
    EXPECT_EQ(h.vals.CurrentVolume, 71);
    EXPECT_EQ(h.obe.fader.lblVol.text(), "7.1");
    h.format.sclVol.onKeyUp(KEY_NUMPAD_PLUS);
    EXPECT_EQ(h.poll.resumed, 1);

    h.fake.clear();
    h.eq.fader.cmdMute.click();
    EXPECT_EQ(h.fake.calls, (std::vector<LinkCall>{{"SetMute", {-1}}}));
    for (Button* b : {&h.format.cmdMute, &h.trim.fader.cmdMute, &h.optical.cmdMute4, &h.obe.fader.cmdMute})
        EXPECT_EQ(b->caption(), "Un-Mute") << b->name();
}

namespace {
struct EqualiserAlone : Base {
    Label window{"frmMain"};
    Document doc{window};
    LookupTables tables;
    EqTab eq;
    TrimTab trim;
    OptionsTab options;
    ObeTab obe;
    FakeUpload upload;
    ChannelOps channels{vals, tables, doc, {eq, trim, options, obe}, msg, upload};
    Equaliser equaliser{vals, doc, d, channels, upload, tables, ui, eq};
    SliderKeys keys;
    Sliders sliders{vals, doc, tables, keys, equaliser, upload, msg, {eq, trim, obe}};
    EqualiserAlone() { channels.InitialiseLookupArrays(); }
};
}  // namespace

TEST(EqualiserAlone, ChangingChannelSavesTheOldOneAndShowsTheNewOne) {
    EqualiserAlone h;
    h.onLine();
    h.vals.audioBlock.channelEq(2).bandGain(5) = 3;
    h.equaliser.cmdEQChan_Click(0);
    h.eq.sclA[5].setValue(20);  // an edit on Left
    EXPECT_TRUE(h.doc.dirty());
    EXPECT_EQ(h.upload.requests, (std::vector<std::pair<int, int>>{{2, 0}}));
    EXPECT_EQ(h.vals.audioBlock.channelEq(0).bandGain(5), 20);

    h.equaliser.cmdEQChan_Click(2);
    EXPECT_EQ(h.eq.sclA[5].value(), 3);
    EXPECT_EQ(h.eq.frmBandA.caption(), "Center Channel");
    EXPECT_TRUE(h.eq.cmdEQChan[2].bold());
    EXPECT_FALSE(h.eq.cmdEQChan[0].bold());
    EXPECT_EQ(h.upload.requests.size(), 1u);  // showing a channel uploads nothing

    h.equaliser.cmdEQChan_Click(5);
    EXPECT_TRUE(h.eq.frmBass.visible());
    EXPECT_FALSE(h.eq.Frame1_8.visible());

    // Pink noise follows the channel being edited, and leaving switches it off.
    h.fake.clear();
    h.eq.cmdPink.click();
    h.equaliser.cmdEQChan_Click(1);
    h.equaliser.leaveTab();
    EXPECT_EQ(h.fake.calls, (std::vector<LinkCall>{{"SetPink", {5, -1}},
                                                   {"SetPink", {5, 0}},
                                                   {"SetPink", {1, -1}},
                                                   {"SetPink", {1, 0}}}));
    EXPECT_EQ(h.eq.cmdPink.caption(), "Pink Noise Off");
}

namespace {
struct UploadAlone : Base {
    Label window{"frmMain"};
    Document doc{window};
    MainBar bar;
    FormatTab format;
    TrimTab trim;
    EqTab eq;
    ObeTab obe;
    OpticalTab optical;
    OptionsTab options;
    FrmFader fader;
    FakeStamp stamp;
    LiveStatus live{vals,
                    {format.cmdMode,
                     {&format.cmdMute, &trim.fader.cmdMute, &eq.fader.cmdMute, &optical.cmdMute4, &obe.fader.cmdMute},
                     {&format.lblVol, &trim.fader.lblVol, &eq.fader.lblVol, &obe.fader.lblVol},
                     format.sclVol,
                     fader,
                     obe},
                    ui};
    OnLineGate gate{{&format.cmdUp}, {&format.Frame1_1}};
    Upload upload{vals,  d,   doc,
                  live,  gate, stamp,
                  clock, msg, {bar, {&format.cmdUp, &trim.cmdUp, &eq.cmdUp, &optical.cmdUp, &options.cmdUp, &obe.cmdUp},
                               options, trim, obe}};
};
}  // namespace

TEST(UploadAlone, RulesOfAutomaticAndRequestedUploads) {
    UploadAlone h;
    h.onLine();
    h.upload.UploadToUnit(2, 0);  // automatic upload off
    EXPECT_TRUE(h.fake.calls.empty());

    h.upload.setOptions(false, true, false);
    EXPECT_TRUE(h.bar.mnuConfirm.checked());
    EXPECT_TRUE(h.bar.mnuShort.enabled());
    h.msg.answer(MsgResult::No);
    h.trim.cmdUp.click();
    EXPECT_EQ(h.msg.boxes.back().title, "Confirm Upload!");
    EXPECT_TRUE(h.fake.calls.empty());
    h.trim.cmdUp.click();  // Yes
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetSystem", "SetAudio"}));
    EXPECT_EQ(h.stamp.shown, 1);
    // 25 March 2004, 15:07: month 3 stored as 4, 3 PM.
    EXPECT_EQ(h.fake.audio[0], 4 * 16 + 3);

    h.bar.mnuAuto.click();
    EXPECT_TRUE(h.upload.autoUpload());
    EXPECT_FALSE(h.bar.mnuConfirm.enabled());
    h.fake.clear();
    h.upload.UploadToUnit(1, 0);
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetSystem"}));
    {
        LoadingScope loading(h.vals);  // the program filling controls sends nothing
        h.upload.UploadToUnit(1, 0);
    }
    EXPECT_EQ(h.fake.count("SetSystem"), 1);
}

TEST(UploadAlone, ShowSettingsStopsAtTheFirstFailedReadAndOtherwiseMarksClean) {
    UploadAlone h;
    h.onLine();
    h.doc.markDirty();
    h.fake.failNext("GetSystem", 0x0048, 6);
    h.upload.ShowSettings();
    EXPECT_EQ(h.fake.count("GetMute"), 0);
    EXPECT_TRUE(h.doc.dirty());
    EXPECT_EQ(h.vals.LoadingControls, kFalse);

    h.onLine();
    h.fake.clear();
    h.fake.system[6] = 4;
    h.fake.audio[6 + 2] = 20;
    h.upload.ShowSettings();
    EXPECT_FALSE(h.doc.dirty());
    EXPECT_EQ(h.options.cboSurroundDelay.listIndex(), 4);
    EXPECT_EQ(h.trim.sclPNG[2].value(), 20);
    EXPECT_EQ(h.stamp.shown, 1);
}

namespace {
struct FileCommandsAlone : UploadAlone {
    q7mtest::TempDir dir;
    Paths paths;
    LookupTables tables;
    FakeUpload autoUpload;
    FakePoll poll;
    FrmTheater theaterDlg;
    TheaterTab theaterTab;
    ScriptedFileDialog files;
    ChannelOps channels{vals, tables, doc, {eq, trim, options, obe}, msg, autoUpload};
    TheaterInfoEditor theater{vals, doc, clock, {bar, theaterTab, theaterDlg, format.lblClock}};
    PortSpeed portSpeed{vals, d, msg, bar};
    FileCommands cmds{vals, doc, {d, live, upload, channels, theater, poll, portSpeed}, files, msg,
                      fake.api(), paths, {bar}};
    FileCommandsAlone() {
        paths.programDir = dir.path();
        paths.dataDir = dir.file("data");
        paths.configDir = dir.file("config");
        channels.InitialiseLookupArrays();
    }
};
}  // namespace

TEST(FileCommandsAlone, SaveAsThenOpenBringsBackTheConfigurationAndTellsTheUnit) {
    FileCommandsAlone h;
    h.onLine();
    h.vals.TheaterInfo[1] = "Rex";
    h.vals.audioBlock.trimLevel(3) = 7;
    h.vals.CurrentVolume = 55;
    h.files.paths.push_back(h.dir.file("rex"));  // typed without an extension
    h.bar.mnuSaveAs.click();
    EXPECT_EQ(h.files.proposed.back(), "Rex.zcf");
    EXPECT_EQ(h.vals.ConfigFilePath, h.dir.file("rex.zcf"));
    EXPECT_EQ(h.window.caption(), kAppTitle + "   <" + h.dir.file("rex.zcf") + ">");

    h.cmds.mnuNew_Click();
    EXPECT_EQ(h.vals.audioBlock.trimLevel(3), 12);
    EXPECT_EQ(h.vals.TheaterInfo[1], "");

    h.fake.clear();
    h.files.paths.push_back(h.dir.file("rex.zcf"));
    h.bar.mnuLoad.click();
    EXPECT_EQ(h.vals.audioBlock.trimLevel(3), 7);
    EXPECT_EQ(h.trim.sclPNG[3].value(), 7);
    EXPECT_EQ(h.theaterTab.txtTheaterInfo[1].text(), "Rex");
    EXPECT_EQ(h.fake.calls, (std::vector<LinkCall>{{"SetVol", {55}}, {"SelectFormat", {0}}, {"SetMute", {0}}}));
    EXPECT_EQ(h.poll.suspended, 1);
    EXPECT_EQ(h.poll.resumed, 1);
    EXPECT_FALSE(h.doc.dirty());
}

TEST(FileCommands, SuffixRuleLooksAtTheFileNameOnly) {
    EXPECT_EQ(withConfigSuffix("/home/a.b/theatre"), "/home/a.b/theatre.zcf");
    EXPECT_EQ(withConfigSuffix("/home/ab/theatre.zcf"), "/home/ab/theatre.zcf");
    EXPECT_EQ(withConfigSuffix("/home/ab/theatre.v2"), "/home/ab/theatre.v2");
    EXPECT_EQ(withConfigSuffix("plain"), "plain.zcf");
}

TEST(PortSpeedAlone, ARawTcpPortDoesNotOffer19200AndSaysWhy) {
    Base b;
    q7mtest::TempDir dir;
    q7mtest::writeFile(dir.file("ZelkSerial.ini"),
                       "[Ports]\r\nCOM1=" + dir.file("tty") + "\r\ncom2 = socket://127.0.0.1:4001\r\n");
    ::setenv("Q7M_CONFIG_DIR", dir.path().c_str(), 1);
    MainBar bar;
    PortSpeed ps(b.vals, b.d, b.msg, bar);
    bar.mnuComN[1].click();
    EXPECT_EQ(b.vals.ComPort, 2);
    EXPECT_FALSE(bar.mnuBaudN[1].enabled());
    EXPECT_EQ(bar.mnuBaudN[1].caption(), "19200 (not on this port)");
    EXPECT_FALSE(bar.mnuBaudN[1].tip().empty());
    bar.mnuComN[0].click();
    EXPECT_TRUE(bar.mnuBaudN[1].enabled());
    EXPECT_EQ(bar.mnuBaudN[1].caption(), "19200");
    ::unsetenv("Q7M_CONFIG_DIR");
}

TEST(FileCommandsAlone, AFailedSaveSaysWhyKeepsTheChangesAndTheOldFile) {
    FileCommandsAlone h;
    const std::string folder = h.dir.file("locked");
    ::mkdir(folder.c_str(), 0755);
    const std::string path = folder + "/theatre.zcf";
    q7mtest::writeFile(path, "old contents");
    // A folder where the new file cannot be created: the rename target is a
    // folder (works as root too).
    const std::string blocked = h.dir.file("blocked.zcf");
    ::mkdir(blocked.c_str(), 0755);
    h.doc.markDirty();
    h.files.paths.push_back(blocked);
    h.bar.mnuSaveAs.click();
    ASSERT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.msg.boxes[0].title, "File Error");
    EXPECT_NE(h.msg.boxes[0].text.find(blocked), std::string::npos);
    EXPECT_NE(h.msg.boxes[0].text.find("not changed"), std::string::npos);
    EXPECT_TRUE(h.doc.dirty());
    EXPECT_TRUE(h.cmds.SaveAborted);
    EXPECT_EQ(h.vals.ConfigFilePath, "");  // still no file of its own
    EXPECT_EQ(q7mtest::readFile(path), "old contents");

    // The quiet snapshot save fails without a box.
    h.msg.boxes.clear();
    EXPECT_FALSE(h.cmds.saveWorkingCopy(blocked));
    EXPECT_TRUE(h.msg.boxes.empty());
}

TEST(PortSpeedAlone, ASpeedTheUnitDoesNotAnswerAtGoesBackAndSaysSo) {
    Base b;
    b.onLine();
    MainBar bar;
    PortSpeed ps(b.vals, b.d, b.msg, bar);
    // Accepted: one version query confirms the new rate.
    bar.mnuBaudN[1].click();
    EXPECT_EQ(b.fake.calls, (std::vector<LinkCall>{{"SetDLLBaud", {1}}, {"GetUnitVersion", {}}}));
    EXPECT_TRUE(bar.mnuBaudN[1].checked());
    EXPECT_EQ(b.vals.BaudIndex, 1);
    EXPECT_TRUE(b.msg.boxes.empty());

    // Back to 9600, where the unit does not answer: back to 19200, checked.
    b.fake.clear();
    b.fake.failNext("GetUnitVersion", 0x0084);
    bar.mnuBaudN[0].click();
    EXPECT_EQ(b.fake.calls, (std::vector<LinkCall>{{"SetDLLBaud", {0}},
                                                   {"GetUnitVersion", {}},
                                                   {"SetDLLBaud", {1}},
                                                   {"GetUnitVersion", {}}}));
    EXPECT_EQ(b.vals.BaudIndex, 1);
    EXPECT_TRUE(bar.mnuBaudN[1].checked());
    ASSERT_EQ(b.msg.boxes.size(), 1u);
    EXPECT_EQ(b.msg.boxes[0].text, "The unit did not answer at 9600 bit/s. It is still at 19200 bit/s, and so is the link.");

    // Neither rate answers: said so, with the way out.
    b.fake.clear();
    b.fake.failNext("GetUnitVersion", 0x0084, 2);
    bar.mnuBaudN[0].click();
    EXPECT_NE(b.msg.boxes.back().text.find("answers neither at 9600 nor at 19200"), std::string::npos);
}
