#include <gtest/gtest.h>

#include "editor_harness.h"

using namespace zelktest;

namespace {
// An editor on line with automatic upload, as after connecting.
struct OnLine : Harness {
    OnLine() {
        initialise();
        ed->vals.OnLine = kTrue;
        ed->upload.setOptions(true, false, false);
        fake.clear();
    }
    Editor& e() { return *ed; }
    void showChannel(int ch) {
        e().equaliser.cmdEQChan_Click(ch);
        fake.clear();
    }
};
}  // namespace

TEST(ChannelOps, CopyLeftPasteOnCenterCopiesValuesAndUploadsOnce) {
    OnLine h;
    auto& m = h.e().main;
    auto& a = h.e().vals.audioBlock;
    h.showChannel(0);
    for (int b = 0; b < 27; ++b) a.channelEq(0).bandGain(b) = static_cast<std::uint8_t>(b % 25);
    a.channelEq(0).bass() = 3;
    a.channelEq(0).treble() = 17;
    h.e().channels.LoadChannelData();
    h.e().channels.cmdCopy_Click();
    h.showChannel(2);
    h.msg.answer(MsgResult::Yes);
    h.e().channels.cmdPaste_Click();
    ASSERT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.msg.boxes[0].text, "Are you sure you want to copy Left Channel to Center Channel?");
    EXPECT_EQ(h.msg.boxes[0].title, "Copy?");
    EXPECT_EQ(h.msg.boxes[0].icon, MsgIcon::Question);
    for (int b = 0; b < 27; ++b) {
        EXPECT_EQ(a.channelEq(2).bandGain(b), b % 25);
        EXPECT_EQ(m.eq.sclA[b].value(), b % 25);
    }
    EXPECT_EQ(m.eq.lblBand[1].text(), "5.5");
    EXPECT_EQ(a.channelEq(2).bass(), 3);
    EXPECT_EQ(a.channelEq(2).treble(), 17);
    EXPECT_EQ(m.eq.lblTreb.text(), "-7");
    EXPECT_EQ(a.channelEq(0).bandGain(3), 3);  // the source is unchanged
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetAudio"}));
    EXPECT_EQ(vb(h.ed->document.dirty()), kTrue);
}

TEST(ChannelOps, PasteRefusals) {
    OnLine h;
    h.showChannel(0);
    h.e().channels.cmdPaste_Click();  // nothing copied yet
    h.e().channels.cmdCopy_Click();
    h.e().channels.cmdPaste_Click();  // same channel: nothing at all
    h.showChannel(1);
    h.e().channels.cmdCopy_Click();
    h.showChannel(4);
    h.e().channels.cmdPaste_Click();  // 9-band onto 27-band
    h.showChannel(5);
    h.e().channels.cmdPaste_Click();  // anything onto the subwoofer
    h.e().channels.cmdCopy_Click();
    h.showChannel(0);
    h.e().channels.cmdPaste_Click();  // the subwoofer onto anything
    EXPECT_EQ(h.msg.texts(), (std::vector<std::string>{"Nothing to Paste!", "Incompatable Channel Format!",
                                                        "Incompatable Channel Format!",
                                                        "Incompatable Channel Format!"}));
    for (auto& b : h.msg.boxes) {
        EXPECT_EQ(b.title, "Error");
        EXPECT_EQ(b.icon, MsgIcon::Exclamation);
    }
    EXPECT_EQ(h.fake.count("SetAudio"), 0);

    // Answering No to the copy question changes nothing.
    h.e().vals.audioBlock.channelEq(1).bandGain(0) = 2;
    h.showChannel(1);
    h.e().channels.cmdCopy_Click();
    h.showChannel(3);
    h.msg.answer(MsgResult::No);
    h.e().channels.cmdPaste_Click();
    EXPECT_EQ(h.e().vals.audioBlock.channelEq(3).bandGain(0), 12);
    EXPECT_EQ(h.fake.count("SetAudio"), 0);
}

TEST(ChannelOps, ResetOnSubwooferAsksAndUploadsTheAudioBlock) {
    OnLine h;
    auto& m = h.e().main;
    auto sub = h.e().vals.audioBlock.channelEq(5);
    h.showChannel(5);
    sub.subGain() = 3;
    sub.subBandwidth() = 2;
    sub.subFrequency() = 6;
    sub.bass() = 0;
    h.e().channels.LoadChannelData();
    EXPECT_TRUE(m.eq.optSPB[6].value());
    h.msg.answer(MsgResult::No);
    h.e().channels.cmdClear_Click();
    EXPECT_EQ(sub.subGain(), 3);
    h.e().channels.cmdClear_Click();
    EXPECT_EQ(h.msg.boxes[1].text, "Are you sure you want to reset Subwoofer Channel?");
    EXPECT_EQ(h.msg.boxes[1].title, "Reset Channel?");
    EXPECT_EQ(sub.subGain(), 12);
    EXPECT_EQ(sub.subBandwidth(), 0);
    EXPECT_EQ(sub.subFrequency(), 0);
    EXPECT_EQ(sub.bass(), 10);
    EXPECT_EQ(m.eq.lblGain.text(), "0.0");
    EXPECT_TRUE(m.eq.optBand[0].value());
    EXPECT_TRUE(m.eq.optSPB[0].value());
    EXPECT_EQ(m.eq.lblBass.text(), "0");
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetAudio"}));
    // A reset of a screen channel while showing it must not touch the
    // subwoofer's options nor the shown channel's band bytes.
    h.showChannel(0);
    h.e().vals.audioBlock.channelEq(0).bandGain(2) = 20;
    h.e().channels.LoadChannelData();
    h.e().channels.cmdClear_Click();
    EXPECT_EQ(h.e().vals.audioBlock.channelEq(0).bandGain(2), 12);
    EXPECT_EQ(h.e().vals.audioBlock.channelEq(0).bandGain(1), 12);
}

TEST(ChannelOps, OutputTrimResetNeedsNoQuestionAndSendsNothingOffLine) {
    OnLine h;
    auto& m = h.e().main;
    for (int ch = 0; ch < 6; ++ch) {
        m.trim.sclPNG[ch].setValue(ch * 3);
        m.trim.lblPNG[ch].setText("x");
    }
    h.fake.clear();
    h.e().channels.cmdReset_Click();
    for (int ch = 0; ch < 6; ++ch) {
        EXPECT_EQ(m.trim.lblPNG[ch].text(), "0.0");
        EXPECT_EQ(h.e().vals.audioBlock.trimLevel(ch), 12);
    }
    EXPECT_TRUE(h.msg.boxes.empty());
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetAudio"}));

    h.e().vals.OnLine = kFalse;
    h.fake.clear();
    h.e().channels.cmdReset_Click();
    EXPECT_TRUE(h.fake.calls.empty());
}

TEST(ChannelOps, LoadAndSaveMoveOnlyTheChannelsOwnBands) {
    OnLine h;
    auto& m = h.e().main;
    auto& a = h.e().vals.audioBlock;
    h.showChannel(1);
    a.channelEq(1).bandGain(9) = 77;  // not a surround band: never touched
    m.eq.sclB[8].setValue(4);
    m.eq.sclTreb.setValue(20);
    h.e().channels.SaveChannelData(1);
    EXPECT_EQ(a.channelEq(1).bandGain(8), 4);
    EXPECT_EQ(a.channelEq(1).bandGain(9), 77);
    EXPECT_EQ(a.channelEq(1).treble(), 20);
    EXPECT_EQ(a.channelEq(3).treble(), 10);
}
