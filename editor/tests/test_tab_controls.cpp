// Tabs, entry fields, sliders, levels and options with the substitute library.
#include <gtest/gtest.h>

#include <functional>

#include "editor_harness.h"

using namespace zelktest;

namespace {
struct OnLine : Harness {
    OnLine() {
        initialise();
        EXPECT_TRUE(connect());
        fake.clear();
        msg.boxes.clear();
    }
    Editor& e() { return *ed; }
    std::vector<LinkCall> calls() const { return fake.calls; }
};
}  // namespace

TEST(Tabs, LeavingOutputTrimSwitchesTestSignalsOffChannelByChannel) {
    OnLine h;
    auto& m = h.e().main;
    h.e().tabs.selectTab(1);
    m.trim.cmdPN[0].click();
    m.trim.cmdPN[4].click();
    m.trim.cmdPhase[2].click();
    EXPECT_EQ(m.trim.cmdPN[0].caption(), "On");
    EXPECT_EQ(m.trim.cmdPN[0].backColour(), kYellow);
    h.fake.clear();
    h.e().tabs.selectTab(5);
    EXPECT_EQ(h.calls(), (std::vector<LinkCall>{{"SetPink", {0, 0}}, {"SetPhase", {2, 0}}, {"SetPink", {4, 0}}}));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(m.trim.cmdPN[i].caption(), "Off");
        EXPECT_EQ(m.trim.cmdPhase[i].caption(), "In Phase");
        EXPECT_FALSE(m.trim.cmdPN[i].bold());
    }
    EXPECT_TRUE(m.bar.frmtabs[5].enabled());
    EXPECT_FALSE(m.bar.frmtabs[1].enabled());
    // Leaving Options always sends pink off for centre and sub; leaving OBE always stops the stream.
    h.fake.clear();
    h.e().tabs.selectTab(3);
    EXPECT_EQ(h.calls(), (std::vector<LinkCall>{{"EnableOBE", {}}, {"SetPink", {2, 0}}, {"SetPink", {5, 0}}}));
    h.fake.clear();
    h.e().tabs.selectTab(0);
    EXPECT_EQ(h.calls(), (std::vector<LinkCall>{{"StopStream", {}}}));
}

TEST(Tabs, FaderQuestionOncePerTab) {
    OnLine h;
    auto& m = h.e().main;
    h.e().tabs.selectTab(1);  // the fader reads 7.0: no question
    EXPECT_TRUE(h.msg.boxes.empty());
    h.e().vals.CurrentVolume = 65;
    h.e().live.ReflectVolumeLevel(true);
    h.fake.clear();
    h.e().tabs.selectTab(0);
    h.msg.answer(MsgResult::No);
    h.e().tabs.selectTab(2);
    ASSERT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.msg.boxes[0].text, "Do you want to set fader = 7.0?");
    EXPECT_EQ(h.msg.boxes[0].title, "Fader=7.0?");
    EXPECT_EQ(m.format.lblVol.text(), "6.5");
    h.e().tabs.selectTab(0);
    h.e().tabs.selectTab(2);
    EXPECT_EQ(h.msg.boxes.size(), 1u);  // not again on tab 2
    h.e().tabs.selectTab(1);             // but once on tab 1, and Yes sets 7.0
    EXPECT_EQ(h.msg.boxes.size(), 2u);
    EXPECT_EQ(m.obe.fader.lblVol.text(), "7.0");
    EXPECT_EQ(h.e().vals.CurrentVolume, 70);
    EXPECT_EQ(h.fake.count("SetVol"), 1);
}

TEST(Tabs, KeyboardShortcuts) {
    OnLine h;
    auto& m = h.e().main;
    h.e().tabs.selectTab(1);
    h.fake.clear();
    h.e().tabs.Form_KeyDown('G', SHIFT_CTRL);  // shortcuts off
    h.e().tabs.Form_KeyDown(KEY_F2, 0);
    EXPECT_TRUE(h.fake.calls.empty());
    m.bar.mnuShort.click();
    h.e().tabs.Form_KeyDown('G', SHIFT_CTRL);  // not the E.Q tab
    EXPECT_TRUE(h.fake.calls.empty());
    h.e().tabs.Form_KeyDown(KEY_F2, 0);
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetSystem", "SetAudio"}));
    h.e().tabs.selectTab(2);
    h.fake.clear();
    h.e().tabs.Form_KeyDown('G', SHIFT_CTRL);
    EXPECT_EQ(m.eq.cmdPink.caption(), "Pink Noise On");
    h.e().tabs.Form_KeyDown('Q', SHIFT_CTRL);  // right surround: the noise follows
    EXPECT_EQ(h.calls(), (std::vector<LinkCall>{{"SetPink", {0, -1}}, {"SetPink", {0, 0}}, {"SetPink", {3, -1}}}));
    EXPECT_EQ(h.ed->channels.CurrentEQChannel, 3);
    EXPECT_TRUE(m.eq.frmBandB.visible());
    EXPECT_FALSE(m.eq.frmBandA.visible());
    EXPECT_EQ(m.eq.frmBandB.caption(), "Right Surround Channel");
    h.fake.clear();
    h.e().tabs.selectTab(0);  // leaving the E.Q tab switches it off
    EXPECT_EQ(h.calls(), (std::vector<LinkCall>{{"SetPink", {3, 0}}}));
    EXPECT_EQ(m.eq.cmdPink.caption(), "Pink Noise Off");
    m.bar.mnuAuto.click();
    h.fake.clear();
    h.e().tabs.Form_KeyDown(KEY_F2, 0);  // automatic upload on: F2 does nothing
    EXPECT_TRUE(h.fake.calls.empty());
}

TEST(EntryFields, TypedValuesAreCheckedAndSnapped) {
    OnLine h;
    auto& m = h.e().main;
    h.e().tabs.selectTab(2);
    m.bar.mnuAuto.click();
    h.fake.clear();
    auto type = [&](TextBox& f, const std::string& text) {
        f.setText(text);
        f.keyDown(KEY_ENTER);
        return f.text();
    };
    EXPECT_EQ(type(m.eq.lblBand[3], "1.3"), "1.0");
    EXPECT_EQ(m.eq.sclA[3].value(), 10);
    EXPECT_EQ(h.e().vals.audioBlock.channelEq(0).bandGain(3), 10);
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetAudio"}));
    EXPECT_EQ(type(m.eq.lblBand[3], "-1.3"), "-1.5");
    EXPECT_EQ(type(m.eq.lblBand[3], "6"), "6.0");
    EXPECT_EQ(m.eq.sclA[3].value(), 0);
    h.fake.clear();
    EXPECT_EQ(type(m.eq.lblBand[3], "6"), "6.0");  // same raw value: nothing applied
    EXPECT_TRUE(h.fake.calls.empty());
    EXPECT_EQ(type(m.eq.lblBand[3], "abc"), "6.0");  // unreadable: back to the value, no message
    EXPECT_TRUE(h.msg.boxes.empty());
    EXPECT_EQ(type(m.eq.lblBand[3], "6.1"), "6.0");  // refused: the value in force again, selected
    ASSERT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.msg.boxes[0].text, "Error, Please enter a number between -6 and 6!");
    EXPECT_EQ(h.msg.boxes[0].title, "Range Check Error");
    EXPECT_EQ(m.eq.lblBand[3].selStart(), 0);
    EXPECT_EQ(m.eq.lblBand[3].selLength(), 3);
    EXPECT_EQ(type(m.eq.lblBass, "-10"), "-10");
    EXPECT_EQ(m.eq.sclBass.value(), 20);
    EXPECT_EQ(type(m.eq.lblTreb, "2.5"), "2");  // halves to even
    m.eq.lblTreb.setText("3");
    m.eq.lblTreb.keyDown(KEY_ESCAPE);
    EXPECT_EQ(m.eq.lblTreb.text(), "2");
    EXPECT_EQ(type(m.eq.lblBass, "11"), "-10");
    EXPECT_EQ(h.msg.boxes.back().text, "Error, Please enter a number between -10 and 10!");
    EXPECT_EQ(type(m.obe.lblOBE, "-6"), "-6.0");
    EXPECT_EQ(m.obe.sclOBE.value(), 0);
    // The fader: every display follows, and the level is sent.
    h.fake.clear();
    EXPECT_EQ(type(m.eq.fader.lblVol, "7.04"), "7.0");
    EXPECT_TRUE(h.fake.calls.empty());  // 70 already
    EXPECT_EQ(type(m.eq.fader.lblVol, "9.9"), "9.9");
    EXPECT_EQ(m.format.lblVol.text(), "9.9");
    EXPECT_EQ(h.e().fader.lblVol.text(), "9.9");
    EXPECT_EQ(h.calls(), (std::vector<LinkCall>{{"SetVol", {99}}}));
    // A refused level leaves the field showing the level in force, on
    // every tab, and nothing is sent.
    h.fake.clear();
    EXPECT_EQ(type(m.eq.fader.lblVol, "10"), "9.9");
    EXPECT_EQ(h.msg.boxes.back().text, "Error, Please enter a number between 0 and 9.9!");
    EXPECT_EQ(type(m.eq.fader.lblVol, "-0.1"), "9.9");
    EXPECT_EQ(m.eq.fader.lblVol.selLength(), 3);
    EXPECT_EQ(h.e().vals.CurrentVolume, 99);
    EXPECT_TRUE(h.fake.calls.empty());
    // The fader dialog's field takes Enter and Escape like the others.
    auto& dialog = h.e().fader.lblVol;
    EXPECT_EQ(type(dialog, "5"), "5.0");
    EXPECT_EQ(m.trim.fader.lblVol.text(), "5.0");
    EXPECT_EQ(h.calls(), (std::vector<LinkCall>{{"SetVol", {50}}}));
    dialog.setText("3");
    dialog.keyDown(KEY_ESCAPE);
    EXPECT_EQ(dialog.text(), "5.0");
    EXPECT_EQ(h.fake.count("SetVol"), 1);
}

TEST(Sliders, KeysStepOnceApplyOnReleaseAndWalkNeighbours) {
    OnLine h;
    auto& m = h.e().main;
    m.bar.mnuAuto.click();
    h.e().tabs.selectTab(2);
    m.eq.sclBass.setValue(10);
    m.eq.sclBass.gotFocus();
    h.fake.clear();
    for (int i = 0; i < 3; ++i) m.eq.sclBass.onKeyDown(KEY_UP);
    EXPECT_EQ(m.eq.sclBass.value(), 7);
    EXPECT_EQ(m.eq.lblBass.text(), "3");
    EXPECT_TRUE(h.fake.calls.empty());
    m.eq.sclBass.onKeyUp(KEY_UP);
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetAudio"}));
    EXPECT_EQ(h.e().vals.audioBlock.channelEq(0).bass(), 7);

    // Dragging updates the field live and applies once on release.
    h.fake.clear();
    m.eq.sclA[3].gotFocus();
    for (int v : {11, 10, 9, 8}) m.eq.sclA[3].userScroll(v);
    EXPECT_EQ(m.eq.lblBand[3].text(), "2.0");
    EXPECT_TRUE(h.fake.calls.empty());
    m.eq.sclA[3].userRelease();
    EXPECT_EQ(h.fake.count("SetAudio"), 1);
    // Clicking without moving applies nothing.
    h.fake.clear();
    m.eq.sclA[5].gotFocus();
    m.eq.sclA[5].userRelease();
    EXPECT_TRUE(h.fake.calls.empty());

    int focused = -1;
    for (int i = 0; i < 6; ++i)
        m.trim.sclPNG[i].observe([&focused, i](Control&, Prop p) {
            if (p == Prop::Focus) focused = i;
        });
    m.trim.sclPNG[0].onKeyDown(KEY_LEFT);
    EXPECT_EQ(focused, 5);
    m.trim.sclPNG[5].onKeyDown(KEY_RIGHT);
    EXPECT_EQ(focused, 0);
    m.trim.sclPNG[4].onKeyDown(KEY_RIGHT);
    EXPECT_EQ(focused, 1);
}

TEST(Levels, MutePinkPhaseRt60AndFormat) {
    OnLine h;
    auto& m = h.e().main;
    m.trim.fader.cmdMute.click();
    EXPECT_EQ(m.obe.fader.cmdMute.caption(), "Un-Mute");
    EXPECT_EQ(m.format.cmdMute.backColour(), kRed);
    h.fake.clear();
    m.trim.cmdPN[0].click();  // pink noise while muted un-mutes
    EXPECT_EQ(h.calls(), (std::vector<LinkCall>{{"SetPink", {0, -1}}, {"SetMute", {0}}}));
    EXPECT_EQ(m.optical.cmdMute4.caption(), "Mute");
    h.fake.clear();
    m.trim.cmdRT60.click();
    EXPECT_EQ(h.calls(), (std::vector<LinkCall>{{"SetRT60", {-1}}}));
    EXPECT_EQ(m.trim.cmdPN[0].caption(), "Off");
    EXPECT_EQ(m.trim.cmdRT60.caption(), "On");
    h.fake.clear();
    m.obe.cmdPNS.click();
    EXPECT_EQ(h.calls(), (std::vector<LinkCall>{{"SetPink", {5, -1}}}));
    h.fake.clear();
    m.format.cmdMode[2].click();
    m.format.cmdMode[2].click();  // already the format: nothing
    EXPECT_EQ(h.calls(), (std::vector<LinkCall>{{"SelectFormat", {2}}}));
    EXPECT_TRUE(m.format.cmdMode[2].bold());
    h.msg.answer(MsgResult::No);
    m.trim.fader.cmdSet7.click();
    h.e().vals.CurrentVolume = 50;
    h.e().live.ReflectVolumeLevel(true);
    h.fake.clear();
    m.eq.fader.cmdSet7.click();
    EXPECT_EQ(h.msg.boxes.back().text, "Are you sure you want to Set Fader = 7.0 ?");
    EXPECT_EQ(h.calls(), (std::vector<LinkCall>{{"SetVol", {70}}}));
}

// A button that acts on the unit changes its look only for what the unit
// accepted: off line it does nothing, and a failed command leaves it as it
// was (the failure is reported once and the editor goes off line).
TEST(Levels, ButtonsShowOnlyWhatTheUnitAccepted) {
    struct Row {
        const char* name;
        std::function<Button&(FrmMain&)> button;
        const char* entry;
        std::function<std::string(FrmMain&)> look;
    };
    auto caption = [](const std::function<Button&(FrmMain&)>& b) {
        return [b](FrmMain& m) { return b(m).caption() + (b(m).bold() ? " bold" : ""); };
    };
    const std::vector<Row> rows = {
        {"mute", [](FrmMain& m) -> Button& { return m.trim.fader.cmdMute; }, "SetMute",
         caption([](FrmMain& m) -> Button& { return m.format.cmdMute; })},
        {"pink", [](FrmMain& m) -> Button& { return m.trim.cmdPN[0]; }, "SetPink", nullptr},
        {"phase", [](FrmMain& m) -> Button& { return m.trim.cmdPhase[1]; }, "SetPhase", nullptr},
        {"rt60", [](FrmMain& m) -> Button& { return m.trim.cmdRT60; }, "SetRT60", nullptr},
        {"pink centre", [](FrmMain& m) -> Button& { return m.obe.cmdPNC; }, "SetPink", nullptr},
        {"pink sub", [](FrmMain& m) -> Button& { return m.obe.cmdPNS; }, "SetPink", nullptr},
        {"eq pink", [](FrmMain& m) -> Button& { return m.eq.cmdPink; }, "SetPink", nullptr},
        {"format", [](FrmMain& m) -> Button& { return m.format.cmdMode[1]; }, "SelectFormat", nullptr},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        auto look = r.look ? r.look : caption(r.button);
        {
            Harness off;  // never connected
            off.initialise();
            const std::string before = look(off.ed->main);
            r.button(off.ed->main).click();
            EXPECT_EQ(look(off.ed->main), before);
            EXPECT_TRUE(off.fake.calls.empty());
        }
        {
            OnLine failing;
            const std::string before = look(failing.e().main);
            failing.fake.failNext(r.entry, 0x0080, 6);
            r.button(failing.e().main).click();
            EXPECT_EQ(look(failing.e().main), before);
            EXPECT_EQ(failing.fake.count(r.entry), 6);
            EXPECT_EQ(failing.msg.boxes.size(), 1u);
            EXPECT_EQ(failing.e().vals.OnLine, kFalse);
            r.button(failing.e().main).click();  // now off line: still nothing
            EXPECT_EQ(look(failing.e().main), before);
        }
        {
            OnLine ok;
            const std::string before = look(ok.e().main);
            r.button(ok.e().main).click();
            EXPECT_NE(look(ok.e().main), before);
        }
    }
}

TEST(Levels, FaderKeysSendTheLevelOnceWhenReleasedOnTheMainSliderAndInTheDialog) {
    OnLine h;
    auto& m = h.e().main;
    auto& s = m.format.sclVol;
    s.gotFocus();
    s.onKeyDown(KEY_UP);
    s.onKeyDown(KEY_UP);
    EXPECT_EQ(m.obe.fader.lblVol.text(), "7.2");
    EXPECT_FALSE(m.bar.tmrPoll.enabled());
    EXPECT_TRUE(h.fake.calls.empty());  // held: nothing yet
    s.onKeyUp(KEY_UP);
    EXPECT_EQ(h.calls(), (std::vector<LinkCall>{{"SetVol", {72}}}));
    EXPECT_TRUE(m.bar.tmrPoll.enabled());
    h.fake.clear();
    s.onKeyDown(KEY_PAGE_DOWN);
    s.onKeyUp(KEY_PAGE_DOWN);
    EXPECT_EQ(h.calls(), (std::vector<LinkCall>{{"SetVol", {62}}}));
    EXPECT_EQ(s.value(), 99 - 62);
    for (int i = 0; i < 5; ++i) s.onKeyDown(KEY_PAGE_UP);  // stops at 9.9
    s.onKeyUp(KEY_PAGE_UP);
    EXPECT_EQ(h.e().vals.CurrentVolume, 99);

    // The dialog's slider: the same keys, the level sent once on release.
    h.fake.clear();
    m.trim.fader.cmdAdjust.click();
    auto& f = h.e().fader;
    EXPECT_TRUE(f.form.visible());
    EXPECT_EQ(h.e().vals.FaderDialogActive, kTrue);  // the focus went to its slider
    f.sclVol.onKeyDown(KEY_DOWN);
    f.sclVol.onKeyDown(KEY_LEFT);
    EXPECT_TRUE(h.fake.calls.empty());
    EXPECT_EQ(m.format.lblVol.text(), "9.7");
    f.sclVol.onKeyUp(KEY_LEFT);
    EXPECT_EQ(h.calls(), (std::vector<LinkCall>{{"SetVol", {97}}}));
    EXPECT_EQ(m.format.sclVol.value(), 2);
    f.cmdClose.click();
    EXPECT_FALSE(f.form.visible());
    EXPECT_EQ(h.e().vals.FaderDialogActive, kFalse);
}

TEST(Sliders, AMoveBackToTheStartingValueIsAppliedToo) {
    OnLine h;
    auto& m = h.e().main;
    m.bar.mnuAuto.click();
    auto& s = m.eq.sclA[0];
    s.gotFocus();
    const int start = s.value();
    for (int key : {KEY_UP, KEY_DOWN}) {
        h.fake.clear();
        s.onKeyDown(key);
        s.onKeyUp(key);
        EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetAudio"}));
    }
    EXPECT_EQ(s.value(), start);
    EXPECT_EQ(h.e().vals.audioBlock.channelEq(0).bandGain(0), start);  // the record holds what the screen shows
    EXPECT_EQ(h.fake.audiosSent.back(), h.e().vals.audioBlock.bytes);
}

TEST(Sliders, PageKeysMoveTwoDecibelsAndApplyOnRelease) {
    OnLine h;
    auto& m = h.e().main;
    m.bar.mnuAuto.click();
    struct Row {
        Slider& s;
        TextBox& field;
        std::string afterPageUp, atTop;
    };
    const std::vector<Row> rows = {
        {m.eq.sclA[3], m.eq.lblBand[3], "2.0", "6.0"},    {m.eq.sclB[0], m.eq.lblLSRSv[0], "2.0", "6.0"},
        {m.eq.sclGain, m.eq.lblGain, "2.0", "6.0"},       {m.eq.sclBass, m.eq.lblBass, "2", "10"},
        {m.eq.sclTreb, m.eq.lblTreb, "2", "10"},          {m.trim.sclPNG[1], m.trim.lblPNG[1], "2.0", "6.0"},
        {m.obe.sclOBE, m.obe.lblOBE, "2.0", "6.0"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.s.name());
        r.field.setText("0");  // from the middle of the scale
        r.field.keyDown(KEY_ENTER);
        r.s.gotFocus();
        h.fake.clear();
        r.s.onKeyDown(KEY_PAGE_UP);
        EXPECT_EQ(r.field.text(), r.afterPageUp);
        EXPECT_TRUE(h.fake.calls.empty());
        r.s.onKeyUp(KEY_PAGE_UP);
        EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetAudio"}));
        for (int i = 0; i < 6; ++i) r.s.onKeyDown(KEY_PAGE_UP);
        EXPECT_EQ(r.field.text(), r.atTop);  // held at the end of the scale
        r.s.onKeyUp(KEY_PAGE_UP);
        r.s.onKeyDown(KEY_PAGE_DOWN);
        r.s.onKeyUp(KEY_PAGE_DOWN);
        EXPECT_EQ(r.field.text(), r.atTop == "10" ? "8" : "4.0");
    }
}

TEST(Options, FieldsRelabelAndObeRules) {
    OnLine h;
    auto& m = h.e().main;
    m.options.optF1Key[3].setValue(true);
    EXPECT_EQ(m.format.cmdMode[0].caption(), "Ext 2-Trk SR Type NR");
    m.options.optF1Key[1].setValue(true);
    EXPECT_EQ(m.format.cmdMode[0].caption(), "External N.R.");
    EXPECT_EQ(h.e().vals.systemBlock.f1KeyAssignment(), 1);
    m.options.optDefaultFormat[4].setValue(true);
    EXPECT_EQ(h.e().vals.systemBlock.powerOnFormat(), 4);
    m.options.chkDisableMatrix.setValue(1);
    EXPECT_EQ(h.e().vals.systemBlock.matrixDisabled(), 1);
    EXPECT_TRUE(h.fake.calls.empty());  // automatic upload off: stored and flagged only
    EXPECT_EQ(vb(h.ed->document.dirty()), kTrue);

    m.bar.mnuAuto.click();
    h.fake.clear();
    m.obe.cboObeF.setListIndex(3);  // OBE disabled: nothing stored or sent
    EXPECT_EQ(h.e().vals.ObeFrequencyIndex, 1);
    EXPECT_TRUE(h.fake.calls.empty());
    m.obe.cmdOBEEnable.click();
    EXPECT_EQ(h.e().vals.audioBlock.obeFrequency(), 1);
    EXPECT_EQ(h.fake.audiosSent.back()[193], 1);
    m.obe.cboObeF.setListIndex(7);
    EXPECT_EQ(h.e().vals.audioBlock.obeFrequency(), 8);
    m.obe.cmdOBEEnable.click();
    EXPECT_EQ(h.e().vals.audioBlock.obeFrequency(), 0);
    m.obe.cmdOBEEnable.click();
    EXPECT_EQ(h.e().vals.audioBlock.obeFrequency(), 8);  // the last filter comes back
    EXPECT_EQ(m.obe.cboObeF.text(), "120 Hz");
}
