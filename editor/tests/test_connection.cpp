// The connection subsystem with the substitute library: dispatcher,
// connecting, upload, polling, port and speed.
#include <gtest/gtest.h>

#include <cstdlib>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "editor_harness.h"
#include "connection/port_hint.h"
#include "model/stamp.h"

using namespace zelktest;

namespace {

struct Connected : Harness {
    Connected() {
        initialise();
        EXPECT_TRUE(connect());
        fake.clear();
        msg.boxes.clear();
        ui.repaints = 0;
    }
    Editor& e() { return *ed; }
};

std::vector<std::string> repeat(const std::string& s, int n) { return std::vector<std::string>(static_cast<std::size_t>(n), s); }

}  // namespace

TEST(Dispatcher, OffLineCallsAreSkippedSilently) {
    Harness h;
    h.initialise();
    h.ed->vals.UnitBusy = kFalse;
    for (int code : {0, 1, 4, 10, 13, 18, 21, 22}) EXPECT_EQ(h.ed->dispatch.RetryFunction(code), 0);
    EXPECT_TRUE(h.fake.calls.empty());
    EXPECT_TRUE(h.msg.boxes.empty());
    EXPECT_EQ(h.ed->vals.UnitBusy, kFalse);
    EXPECT_EQ(h.ed->dispatch.RetryFunction(99), 0);
}

TEST(Dispatcher, RetriesPauseClearAndShowDataQuestionAfterTheSecondFailure) {
    Connected h;
    auto& d = h.e().dispatch;
    // One failure: a single pause, never "Data?".
    h.fake.failNext("GetVol", 0x0084);
    std::vector<std::string> statuses;
    h.e().main.bar.lblStat.observe([&](Control& c, Prop p) {
        if (p == Prop::Caption) statuses.push_back(c.caption());
    });
    EXPECT_EQ(d.RetryFunction(FN_GetVol), 0);
    EXPECT_EQ(h.clock.sleptMs, 300);
    EXPECT_TRUE(statuses.empty());
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"GetVol", "ClearError", "GetVol"}));

    // Two failures: "Data?" after the second, "On Line" after the success.
    h.fake.clear();
    h.clock.sleptMs = 0;
    h.fake.failNext("GetFormat", 0x0084, 2);
    EXPECT_EQ(d.RetryFunction(FN_GetFormat), 0);
    EXPECT_EQ(statuses, (std::vector<std::string>{"Data?", "On Line"}));
    EXPECT_EQ(h.clock.sleptMs, 600);
    EXPECT_EQ(h.e().main.bar.lblStat.backColour(), kGreen);

    // Block transfers are retried without ClearError.
    h.fake.clear();
    h.fake.failNext("SetAudio", 0x0014, 2);
    d.RetryFunction(FN_SetAudio);
    EXPECT_EQ(h.fake.names(), repeat("SetAudio", 3));
    EXPECT_EQ(h.e().vals.UnitBusy, kFalse);
}

TEST(Dispatcher, SixFailuresReportOnceAndGoOffLine) {
    Connected h;
    h.fake.failNext("SetSystem", 0x0028, 6);
    EXPECT_EQ(h.e().dispatch.RetryFunction(FN_SetSystem), 0x0028);
    EXPECT_EQ(h.fake.count("SetSystem"), 6);
    EXPECT_EQ(h.fake.count("ClearError"), 0);
    EXPECT_EQ(h.fake.count("DLLShutdown"), 1);
    EXPECT_EQ(h.clock.sleptMs, 6 * 300);
    ASSERT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.msg.boxes[0].title, "Connection Error");
    EXPECT_EQ(h.msg.boxes[0].text,
              "The following Errors were encountered:\n\n- Error Communicating System Block\n"
              "- Invalid response from unit\n\n\nCannot Continue On Line!\n");
    EXPECT_EQ(h.e().vals.OnLine, kFalse);
    EXPECT_EQ(h.e().main.bar.lblStat.caption(), "Off Line");
    EXPECT_EQ(h.e().main.bar.lblStat.backColour(), kRed);
    EXPECT_FALSE(h.e().main.format.cmdUp.enabled());
    EXPECT_FALSE(h.e().main.bar.frmtabs[4].enabled());
    EXPECT_TRUE(h.e().main.obe.cmdUp.enabled());  // the OBE tab's button is not among the frames
    EXPECT_EQ(h.e().dispatch.UnitAccepted(), false);
    EXPECT_EQ(h.e().vals.UnitBusy, kFalse);
    // Off line now: further calls are skipped.
    h.fake.clear();
    EXPECT_EQ(h.e().dispatch.RetryFunction(FN_GetVol), 0);
    EXPECT_TRUE(h.fake.calls.empty());
}

TEST(Dispatcher, DispErrTexts) {
    EXPECT_EQ(errorReportText(3),
              "The following Errors were encountered:\n\n- Serial Port Error\n- Error Transmitting\n\n\n"
              "Cannot Continue On Line!\n");
    // The range bit has its line: the box never lists nothing.
    EXPECT_EQ(errorReportText(2048),
              "The following Errors were encountered:\n\n- Value out of range\n\n\nCannot Continue On Line!\n");
    EXPECT_NE(errorReportText(1024).find("- Current OS is not compatable\n"), std::string::npos);

    Connected h;
    h.e().dispatch.DispErr(kStreamLostWord);  // no stream: only the lock label
    EXPECT_TRUE(h.msg.boxes.empty());
    EXPECT_EQ(h.e().main.optical.lblLock.caption(), "No Stream");
    EXPECT_EQ(h.e().main.optical.lblLock.backColour(), kRed);
    EXPECT_EQ(h.e().vals.OnLine, kTrue);

    h.e().dispatch.DispErr(0);  // silent, but off line and the library shut
    EXPECT_TRUE(h.msg.boxes.empty());
    EXPECT_EQ(h.e().vals.OnLine, kFalse);
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"DLLShutdown"}));
}

TEST(Connect, SequenceCaptionsAndPolling) {
    Harness h;
    h.initialise();
    h.fake.system[0] = 3;  // F1 key: External 2-Trk Return W/ Internal SR Type N.R.
    h.fake.versions = {1, 5, 77, 1, 3, 1, 9};
    h.fake.volume = 55;
    h.fake.mute = 1;
    h.fake.format = 2;
    ASSERT_TRUE(h.connect());
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"InitDLL", "GetUnitVersion", "GetAudio", "GetSystem",
                                                         "GetMute", "GetVol", "GetFormat", "StopStream"}));
    auto& m = h.ed->main;
    EXPECT_EQ(m.format.lnlInfo[0].caption(), "CPU Version: 1.05.0077");
    EXPECT_EQ(m.format.lnlInfo[1].caption(), "DSP Controller: 1.03");
    EXPECT_EQ(m.format.lnlInfo[2].caption(), "DSP Firmware: 1.09");
    EXPECT_TRUE(m.format.Frame1_21.visible());
    EXPECT_EQ(m.bar.lblStat.caption(), "On Line");
    EXPECT_EQ(m.format.cmdMode[0].caption(), "Internal SR");
    EXPECT_TRUE(m.bar.tmrPoll.enabled());
    EXPECT_EQ(m.bar.tmrPoll.interval(), 2000);
    EXPECT_EQ(h.ed->vals.CurrentVolume, 55);
    EXPECT_EQ(m.eq.fader.lblVol.text(), "5.5");
    EXPECT_EQ(m.eq.fader.cmdMute.caption(), "Un-Mute");
    EXPECT_TRUE(m.format.cmdMode[2].bold());
    EXPECT_EQ(m.format.cmdMode[2].backColour(), kGrey);
    EXPECT_EQ(h.ed->vals.systemBlock.bytes, h.fake.system);
    EXPECT_EQ(vb(h.ed->document.dirty()), kFalse);
    EXPECT_EQ(h.ed->vals.LoadingControls, kFalse);
    EXPECT_EQ(h.ed->prog.lblCap.caption(), "Determining Software Version.");

}

TEST(Connect, DisconnectQuietensTheUnitAndConnectOnLineReconnectsOnTheChosenPort) {
    Connected h;
    auto& m = h.e().main;
    h.e().portSpeed.mnuBaud_Click(2);
    h.e().tabs.selectTab(1);
    m.trim.cmdPN[0].click();
    m.trim.cmdPhase[2].click();
    h.fake.clear();

    m.bar.cmdDisconnect.click();
    std::vector<LinkCall> quiet;
    for (int ch = 0; ch < 6; ++ch) {
        quiet.push_back({"SetPink", {ch, 0}});
        quiet.push_back({"SetPhase", {ch, 0}});
    }
    quiet.push_back({"StopStream", {}});
    quiet.push_back({"SetDLLBaud", {0}});
    std::vector<LinkCall> expected = quiet;
    expected.push_back({"DLLShutdown", {}});
    EXPECT_EQ(h.fake.calls, expected);
    EXPECT_TRUE(h.msg.boxes.empty());
    EXPECT_EQ(m.bar.lblStat.caption(), "Off Line");
    EXPECT_FALSE(m.bar.cmdDisconnect.enabled());
    EXPECT_FALSE(m.bar.tmrPoll.enabled());
    EXPECT_FALSE(m.trim.Frame1_13.enabled());
    EXPECT_EQ(m.trim.cmdPN[0].caption(), "Off");  // the unit was told: the buttons say so
    EXPECT_EQ(m.trim.cmdPhase[2].caption(), "In Phase");
    EXPECT_TRUE(m.bar.mnuBaudN[0].checked());
    EXPECT_FALSE(m.bar.mnuBaudN[1].checked());
    h.fake.clear();
    m.bar.cmdDisconnect.click();  // off line: nothing
    EXPECT_TRUE(h.fake.calls.empty());

    // Connect on line closes the link cleanly and opens it on the port chosen now.
    ASSERT_TRUE(h.connect());
    EXPECT_TRUE(m.bar.cmdDisconnect.enabled());
    h.e().portSpeed.mnuCom_Click(3);
    h.fake.clear();
    m.bar.cmdConnect.click();
    expected.push_back({"InitDLL", {3}});
    ASSERT_GE(h.fake.calls.size(), expected.size());
    EXPECT_EQ(std::vector<LinkCall>(h.fake.calls.begin(), h.fake.calls.begin() + static_cast<long>(expected.size())),
              expected);
    EXPECT_EQ(m.bar.lblStat.caption(), "On Line");
    EXPECT_FALSE(h.e().prog.form.visible());
    EXPECT_TRUE(h.msg.boxes.empty());
}

TEST(Connect, VersionRuleBoundaries) {
    struct Row {
        std::array<std::int16_t, 7> w;
        bool rejected;
    };
    const Row rows[] = {
        {{1, 5, 76, 1, 3, 1, 9}, true},   {{1, 5, 77, 1, 3, 1, 9}, false}, {{1, 6, 0, 1, 3, 1, 9}, false},
        {{1, 6, 0, 1, 3, 1, 8}, true},    {{1, 6, 0, 1, 2, 1, 9}, true},   {{1, 4, 99, 1, 3, 1, 9}, true},
        {{2, 0, 0, 1, 3, 1, 9}, false},   {{1, 6, 0, 1, 3, 2, 0}, false},  {{0, 0, 0, 0, 0, 0, 0}, true},
    };
    for (const auto& r : rows) EXPECT_EQ(versionRejected(describeVersions(r.w)), r.rejected) << r.w[0] << "." << r.w[1];
    EXPECT_EQ(describeVersions({1, 6, 0, 1, 3, 1, 9}).captions[0], "CPU Version: 1.06");
}

TEST(Connect, OldUnitIsRejectedAndAbsentUnitReported) {
    Harness h;
    h.initialise();
    h.fake.versions = {1, 6, 0, 1, 3, 1, 8};
    EXPECT_FALSE(h.connect());
    ASSERT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.msg.boxes[0].text, "Error cinema processor bios is out of date, contact ZELK for an update.");
    EXPECT_EQ(h.msg.boxes[0].title, "Cinema Processor Error");
    EXPECT_EQ(h.ed->main.bar.lblStat.caption(), "Off Line");
    EXPECT_EQ(h.ed->main.format.lnlInfo[2].caption(), "DSP Firmware: 1.08");
    EXPECT_EQ(h.fake.count("DLLShutdown"), 1);
    EXPECT_EQ(h.fake.count("GetAudio"), 0);
    // The box comes after the progress dialog has gone.
    std::vector<bool> progressShown;
    h.msg.onShow = [&](const ScriptedMessageBox::Box&) { progressShown.push_back(h.ed->prog.form.visible()); };
    h.ed->connection.cmdConnect_Click();
    EXPECT_EQ(progressShown, std::vector<bool>{false});

    Harness absent;  // (the substitute library is now this one's)
    absent.initialise();
    absent.fake.failNext("InitDLL", 0x0041, 6);
    absent.msg.onShow = [&](const ScriptedMessageBox::Box&) { progressShown.push_back(absent.ed->prog.form.visible()); };
    EXPECT_FALSE(absent.connect());
    EXPECT_EQ(absent.fake.count("InitDLL"), 6);
    EXPECT_EQ(absent.fake.count("ClearError"), 0);
    ASSERT_EQ(absent.msg.boxes.size(), 1u);
    EXPECT_EQ(absent.msg.boxes[0].text, "Unable to connect to unit!\n\n" + portHint(1));
    EXPECT_EQ(progressShown, (std::vector<bool>{false, false}));
    EXPECT_EQ(absent.msg.boxes[0].title, "Connection Error");
    EXPECT_EQ(absent.ed->main.bar.lblStat.caption(), "Off Line");
    EXPECT_EQ(absent.ed->prog.pb.value(), 6);
    EXPECT_GE(absent.ui.eventsProcessed, 6);
}

#ifndef _WIN32
TEST(Connect, TheConnectionBoxSaysWhyTheMappedPortFailed) {
    // The hint is the library's own diagnosis of the mapped port.
    q7mtest::TempDir dir;
    ::setenv("Q7M_CONFIG_DIR", dir.path().c_str(), 1);
    const std::string ini = dir.file("ZelkSerial.ini");
    auto mapTo = [&](const std::string& path) { q7mtest::writeFile(ini, "[Serial]\r\nX=1\r\n[Ports]\r\ncom2 = " + path + "\r\n"); };
    auto has = [](const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; };

    mapTo(dir.file("ttyGONE"));
    const std::string gone = portHint(2);
    EXPECT_TRUE(has(gone, dir.file("ttyGONE")) && has(gone, "does not exist")) << gone;
    EXPECT_FALSE(has(gone, "dialout")) << gone;

    // A port the library can open but where nothing answers: the unit is the suspect.
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string pty = ::ptsname(master);
    mapTo(pty);
    const std::string silent = portHint(2);
    EXPECT_EQ(silent.rfind("No answer on COM 2 (" + pty + "): check that the unit is switched on", 0), 0u) << silent;
    {
        // Another program holds the port.
        const int other = ::open(pty.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(other, 0);
        ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
        const std::string busy = portHint(2);
        EXPECT_TRUE(has(busy, "in use")) << busy;
        ::close(other);
    }
    ::close(master);
    ::unsetenv("Q7M_CONFIG_DIR");
}
#endif

TEST(Connect, TheConnectionBoxSaysWhenTheUnitFellSilent) {
    // The unit answered the first question and then fell silent.
    Harness h;
    h.initialise();
    h.fake.failNext("GetUnitVersion", 0x0004, 6);
    EXPECT_FALSE(h.connect());
    ASSERT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.msg.boxes[0].text, "Unable to connect to unit!\n\n" + unitStoppedHint(1));
    EXPECT_EQ(h.ed->main.bar.lblStat.caption(), "Off Line");
}

TEST(UploadStamp, PackingAndShowing) {
    auto pack = [](LocalTime t) {
        AudioBlock a;
        StampDate d;
        StampTime tm;
        stampParts(t, d, tm);
        PackUploadStamp(a, d, tm);
        return std::array<int, 4>{a.bytes[0], a.bytes[1], a.bytes[2], a.bytes[3]};
    };
    // Thursday 25 March 2004, 3:07 PM
    EXPECT_EQ(pack({2004, 3, 25, 4, 15, 7, 0}), (std::array<int, 4>{0x43, 0xD9, 0x47, 0x04}));
    const auto halfPastTwelve = pack({2004, 3, 25, 4, 12, 30, 0});
    EXPECT_EQ(halfPastTwelve[0] % 16, 12);
    EXPECT_EQ(halfPastTwelve[2], 64 + 30);
    const auto halfPastMidnight = pack({2004, 3, 25, 4, 0, 30, 0});
    EXPECT_EQ(halfPastMidnight[0] % 16, 0);
    EXPECT_EQ(halfPastMidnight[2], 30);
    EXPECT_EQ(pack({2004, 12, 31, 5, 23, 59, 0})[0], 13 * 16 + 11);  // December is stored as 13
    AudioBlock a;
    a.bytes[0] = 0x43;
    a.bytes[1] = 0xD9;
    a.bytes[2] = 0x47;
    a.bytes[3] = 0x04;
    EXPECT_EQ(stampText(UnpackUploadStamp(a)), "3:07 PM 25/03/04");
}

TEST(Upload, AutomaticAndExplicitRules) {
    Connected h;
    auto& m = h.e().main;
    // Automatic upload off: an option edit sends nothing, but is stored.
    m.options.cboSurroundDelay.setListIndex(5);
    EXPECT_EQ(h.e().vals.systemBlock.surroundDelay(), 5);
    EXPECT_EQ(vb(h.ed->document.dirty()), kTrue);
    EXPECT_TRUE(h.fake.calls.empty());
    // "Upload Settings": system, then audio, with the stamp.
    h.clock.time = {2005, 1, 1, 6, 0, 5, 0};
    m.eq.cmdUp.click();
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetSystem", "SetAudio"}));
    EXPECT_EQ(h.fake.audiosSent.back()[0], 2 * 16 + 0);
    EXPECT_EQ(m.theater.txtTheaterInfo[9].text(), "0:05 AM 01/01/05");
    EXPECT_EQ(h.e().vals.TheaterInfo[9], "0:05 AM 01/01/05");

    // Confirmation on: No sends nothing and keeps the stamp.
    h.fake.clear();
    m.bar.mnuConfirm.click();
    const auto stamp = h.e().vals.audioBlock.bytes;
    h.clock.time = {2006, 6, 6, 2, 9, 9, 0};
    h.msg.answer(MsgResult::No);
    m.format.cmdUp.click();
    ASSERT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.msg.boxes[0].text, "Are you sure you want to Upload the Current Settings?");
    EXPECT_EQ(h.msg.boxes[0].title, "Confirm Upload!");
    EXPECT_TRUE(h.fake.calls.empty());
    EXPECT_EQ(h.e().vals.audioBlock.bytes, stamp);

    // Automatic upload on: never asks; each edit sends only its block.
    m.bar.mnuAuto.click();
    EXPECT_FALSE(m.bar.mnuConfirm.enabled());
    EXPECT_FALSE(m.bar.mnuShort.enabled());
    m.format.cmdUp.click();
    EXPECT_EQ(h.msg.boxes.size(), 1u);
    h.fake.clear();
    m.trim.sclPNG[1].setValue(3);
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetAudio"}));
    EXPECT_EQ(h.fake.audiosSent.back()[7], 3);
    h.fake.clear();
    m.options.cboSurroundDelay.setListIndex(1);
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetSystem"}));
    h.fake.clear();
    m.options.cboReaderDelay.setListIndex(300);
    EXPECT_EQ(h.fake.systemsSent.back()[4], 1);
    EXPECT_EQ(h.fake.systemsSent.back()[5], 44);
    // While the program fills controls nothing is sent.
    h.fake.clear();
    h.e().vals.LoadingControls = kTrue;
    m.options.cboSurroundDelay.setListIndex(2);
    h.e().vals.LoadingControls = kFalse;
    EXPECT_TRUE(h.fake.calls.empty());
    m.bar.mnuAuto.click();
    EXPECT_TRUE(m.bar.mnuConfirm.enabled());
}

TEST(Upload, TheStatusBarSaysWhatReachedTheUnitAndWhatDidNot) {
    Connected h;
    auto& m = h.e().main;
    auto status = [&] { return m.bar.staStatus.caption(); };
    m.trim.sclPNG[1].setValue(3);  // automatic upload off
    EXPECT_EQ(status(), kNotSentYet);
    m.options.cmdUp.click();
    EXPECT_EQ(status(), "Uploaded to the unit at 3:07:00 PM: system and audio settings.");
    m.bar.mnuAuto.click();
    h.clock.time.hour = 9;
    m.trim.sclPNG[1].setValue(4);
    EXPECT_EQ(status(), "Uploaded to the unit at 9:07:00 AM: audio settings.");
    m.options.cboSurroundDelay.setListIndex(3);
    EXPECT_EQ(status(), "Uploaded to the unit at 9:07:00 AM: system settings.");
    // A failed upload is not reported as sent.
    h.fake.failNext("SetAudio", 0x0010, 6);
    m.trim.sclPNG[1].setValue(5);
    EXPECT_EQ(status(), "Upload not completed: the unit is off line.");
    m.trim.sclPNG[1].setValue(6);
    EXPECT_EQ(status(), kKeptOffLine);
}

TEST(Upload, ObeOffInTheUnitRestoresFrequencyOneWhenEnabled) {
    Harness h;
    h.initialise();
    h.fake.audio[193] = 0;
    h.fake.audio[192] = 10;
    ASSERT_TRUE(h.connect());
    auto& m = h.ed->main;
    EXPECT_EQ(m.obe.cmdOBEEnable.caption(), "OBE Disable");
    EXPECT_FALSE(m.obe.cboObeF.enabled());
    EXPECT_EQ(m.obe.sclOBE.value(), 14);
    EXPECT_EQ(h.ed->vals.audioBlock.obeGain(), 10);  // reading the unit does not change its gain
    EXPECT_EQ(m.obe.lblOBE.text(), "1.0");
    m.obe.cmdOBEEnable.click();
    EXPECT_EQ(h.ed->vals.audioBlock.obeFrequency(), 1);
    EXPECT_EQ(m.obe.cmdOBEEnable.caption(), "OBE Enable");
    EXPECT_EQ(m.obe.cmdOBEEnable.backColour(), kYellow);
    EXPECT_TRUE(m.obe.cboObeF.enabled());
    EXPECT_EQ(m.obe.cboObeF.text(), "50 Hz");
}

TEST(Polling, PollReadsThreeValuesAndRedrawsOnlyChanges) {
    Connected h;
    auto& m = h.e().main;
    m.bar.tmrPoll.tick();
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"GetFormat", "GetMute", "GetVol"}));
    EXPECT_EQ(h.ui.repaints, 0);
    EXPECT_EQ(h.e().vals.UnitBusy, kFalse);

    h.fake.clear();
    h.fake.format = 2;  // pressed on the unit's front panel
    m.bar.tmrPoll.tick();
    EXPECT_TRUE(m.format.cmdMode[2].bold());
    EXPECT_EQ(m.format.cmdMode[2].backColour(), kGrey);
    EXPECT_FALSE(m.format.cmdMode[3].bold());
    EXPECT_EQ(m.format.cmdMode[3].backColour(), kButtonFace);

    // Busy or off line: the poll does nothing.
    h.fake.clear();
    h.e().vals.UnitBusy = kTrue;
    m.bar.tmrPoll.tick();
    h.e().vals.UnitBusy = kFalse;
    h.e().vals.OnLine = kFalse;
    m.bar.tmrPoll.tick();
    EXPECT_TRUE(h.fake.calls.empty());
}

TEST(Polling, AutomaticUpdateCountsOnLineIdleSeconds) {
    Connected h;
    auto& m = h.e().main;
    h.e().polling.setAutoRefresh(0, 3);
    m.bar.tmrRefresh.tick();  // not enabled: no count
    EXPECT_EQ(h.ed->polling.RefreshCounter, 0);
    h.e().polling.setAutoRefresh(1, 3);
    EXPECT_TRUE(m.bar.mnuAutoRef.checked());
    m.bar.tmrRefresh.tick();
    m.bar.tmrRefresh.tick();
    EXPECT_TRUE(h.fake.calls.empty());
    h.e().vals.UnitBusy = kTrue;
    m.bar.tmrRefresh.tick();  // busy: no count, no reset
    EXPECT_EQ(h.ed->polling.RefreshCounter, 2);
    h.e().vals.UnitBusy = kFalse;
    m.bar.form.setCaption("something else");
    m.bar.tmrRefresh.tick();
    EXPECT_EQ(h.ed->polling.RefreshCounter, 0);
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"GetAudio", "GetSystem", "GetMute", "GetVol", "GetFormat"}));
    EXPECT_EQ(m.bar.form.caption(), "ZELK Cinema Processor and EQ Software   <CP Settings>");
}

TEST(Polling, RefreshDialog) {
    EXPECT_EQ(parseRefreshSeconds("12.9", 60), 12);
    EXPECT_EQ(parseRefreshSeconds("abc", 60), 60);
    EXPECT_EQ(parseRefreshSeconds("0", 60), 60);
    EXPECT_EQ(parseRefreshSeconds("-5", 60), 60);  // would re-read every second
    EXPECT_EQ(parseRefreshSeconds("", 60), 60);
    EXPECT_EQ(parseRefreshSeconds(" 30 ", 60), 30);

    Connected h;
    auto& m = h.e().main;
    auto& r = h.e().ref;
    h.e().polling.setAutoRefresh(1, 60);
    m.bar.mnuAutoRef.click();
    EXPECT_FALSE(m.bar.form.enabled());
    EXPECT_TRUE(r.form.visible());
    EXPECT_TRUE(m.bar.mnuAuto.checked());  // automatic update brings automatic upload
    EXPECT_EQ(r.txtRef.text(), "60");
    r.chkRef.setValue(0);
    EXPECT_FALSE(r.txtRef.enabled());
    r.txtRef.setText("15");
    r.Command1.click();
    EXPECT_TRUE(m.bar.form.enabled());
    EXPECT_FALSE(r.form.visible());
    EXPECT_EQ(h.e().vals.RefreshSeconds, 15);
    EXPECT_EQ(h.e().vals.AutoRefreshEnabled, 0);
    EXPECT_FALSE(m.bar.mnuAutoRef.checked());

    // "Update" off line does nothing.
    h.e().vals.OnLine = kFalse;
    m.bar.mnuRef.click();
    EXPECT_TRUE(h.fake.calls.empty());
}

TEST(PortSpeed, MenusOffAndOnLine) {
    Harness h;
    h.initialise();
    auto& m = h.ed->main;
    m.bar.mnuBaudN[1].click();
    EXPECT_TRUE(m.bar.mnuBaudN[1].checked());
    EXPECT_FALSE(m.bar.mnuBaudN[0].checked());
    EXPECT_EQ(h.ed->vals.BaudIndex, 1);
    EXPECT_TRUE(h.fake.calls.empty());
    m.bar.mnuComN[2].click();
    EXPECT_EQ(h.ed->vals.ComPort, 3);
    EXPECT_TRUE(m.bar.mnuComN[2].checked());
    EXPECT_FALSE(m.bar.mnuComN[0].checked());
    ASSERT_TRUE(h.connect());
    EXPECT_EQ(h.fake.calls[0], (LinkCall{"InitDLL", {3}}));
    h.fake.clear();
    m.bar.mnuBaudN[0].click();  // confirmed with one version query
    EXPECT_EQ(h.fake.calls, (std::vector<LinkCall>{{"SetDLLBaud", {0}}, {"GetUnitVersion", {}}}));
}
