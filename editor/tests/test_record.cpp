#include <gtest/gtest.h>

#include "editor_harness.h"

using namespace zelktest;

TEST(Record, FieldOffsetsOfTheBlocks) {
    SystemBlock s;
    s.f1KeyAssignment() = 1;
    s.matrixDisabled() = 2;
    s.nonsyncMode() = 3;
    s.surroundDelay() = 4;
    s.nonsyncTrim() = 5;
    s.powerOnFormat() = 6;
    s.setReaderDelay(300);
    EXPECT_EQ(s.bytes[0], 1);
    EXPECT_EQ(s.bytes[1], 2);
    EXPECT_EQ(s.bytes[3], 3);
    EXPECT_EQ(s.bytes[6], 4);
    EXPECT_EQ(s.bytes[24], 5);
    EXPECT_EQ(s.bytes[30], 6);
    EXPECT_EQ(s.bytes[4], 1);
    EXPECT_EQ(s.bytes[5], 44);
    EXPECT_EQ(s.readerDelay(), 300);

    AudioBlock a;
    a.trimLevel(5) = 9;
    a.channelEq(2).bandGain(26) = 7;
    a.channelEq(5).subFrequency() = 3;
    a.channelEq(4).treble() = 11;
    a.obeGain() = 13;
    a.obeFrequency() = 8;
    EXPECT_EQ(a.bytes[11], 9);
    EXPECT_EQ(a.bytes[12 + 60 + 26], 7);
    EXPECT_EQ(a.bytes[12 + 150 + 2], 3);
    EXPECT_EQ(a.bytes[12 + 120 + 28], 11);
    EXPECT_EQ(a.bytes[192], 13);
    EXPECT_EQ(a.bytes[193], 8);
}

TEST(Lookup, TablesAndDisplayTexts) {
    const auto items = readerDelayItems();
    ASSERT_EQ(items.size(), 397u);
    EXPECT_EQ(items[0], "0.00 TC Frames");
    EXPECT_EQ(items[1], "0.25 TC Frames");
    EXPECT_EQ(items[300], "75.00 TC Frames");
    EXPECT_EQ(items[396], "99.00 TC Frames");
    EXPECT_EQ(surroundDelayItems().back(), "100 mS");
    EXPECT_EQ(nonsyncTrimItems()[1], "-1 dB");
    EXPECT_EQ(nonsyncTrimItems().size(), 21u);
    EXPECT_EQ(obeFrequencyItems().back(), "120 Hz");

    EXPECT_EQ(bandText(0), "6.0");
    EXPECT_EQ(bandText(24), "-6.0");
    EXPECT_EQ(bandText(13), "-0.5");
    EXPECT_EQ(bandText(12), "0.0");
    EXPECT_EQ(bassText(20), "-10");
    EXPECT_EQ(bassText(0), "10");
    EXPECT_EQ(bassText(10), "0");
    EXPECT_EQ(obeSliderText(0), "-6.0");
    EXPECT_EQ(volumeText(70), "7.0");
    EXPECT_EQ(volumeText(99), "9.9");

    Harness h;
    h.ed->channels.InitialiseLookupArrays();
    const auto& t = h.ed->tables;
    EXPECT_EQ(t.ChannelNames[3], "Right Surround Channel");
    EXPECT_EQ(h.ed->main.options.cboReaderDelay.items().size(), 397u);
    // The neighbour tables walk L, C, R, LS, RS, Sub cyclically and undo each other.
    int ch = 0;
    std::vector<int> walk;
    for (int i = 0; i < 6; ++i) walk.push_back(ch = t.SliderRightNeighbour[ch]);
    EXPECT_EQ(walk, (std::vector<int>{2, 4, 1, 3, 5, 0}));
    for (int c = 0; c < 6; ++c) EXPECT_EQ(t.SliderLeftNeighbour[t.SliderRightNeighbour[c]], c);
}

TEST(ResetAll, NeutralConfigurationThatKeepsTheCarriedBytes) {
    Harness h;
    h.ed->channels.InitialiseLookupArrays();
    auto& v = h.ed->vals;
    for (auto& b : v.systemBlock.bytes) b = 0x5A;
    for (auto& b : v.audioBlock.bytes) b = 0x33;
    v.audioBlock.obeFrequency() = 4;
    v.ObeEnabled = kTrue;
    v.CurrentVolume = 12;
    v.CurrentMute = kTrue;
    v.CurrentFormat = 4;
    h.ed->main.trim.sclPNG[3].setValue(3);
    h.ed->upload.ApplyUnitSystemSettings();  // the controls show what the record holds
    h.ed->upload.ApplyUnitAudioSettings();

    h.ed->channels.ResetAll();

    for (int ch : {0, 2, 4})
        for (int b = 0; b < 27; ++b) EXPECT_EQ(v.audioBlock.channelEq(ch).bandGain(b), 12);
    for (int ch : {1, 3}) {
        for (int b = 0; b < 9; ++b) EXPECT_EQ(v.audioBlock.channelEq(ch).bandGain(b), 12);
        EXPECT_EQ(v.audioBlock.channelEq(ch).bandGain(9), 0x33);  // unused bands carried
    }
    EXPECT_EQ(v.audioBlock.channelEq(5).subGain(), 12);
    EXPECT_EQ(v.audioBlock.channelEq(5).subBandwidth(), 0);
    EXPECT_EQ(v.audioBlock.channelEq(5).subFrequency(), 0);
    for (int ch = 0; ch < 6; ++ch) {
        EXPECT_EQ(v.audioBlock.channelEq(ch).bass(), 10);
        EXPECT_EQ(v.audioBlock.channelEq(ch).treble(), 10);
        EXPECT_EQ(v.audioBlock.trimLevel(ch), 12);
    }
    for (int i : SystemBlock::kSysFields) EXPECT_EQ(v.systemBlock.bytes[static_cast<std::size_t>(i)], 0x5A);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(v.audioBlock.uploadStamp(i), 0x33);
    EXPECT_EQ(v.audioBlock.bytes[4], 0x33);
    EXPECT_EQ(v.audioBlock.bytes[200], 0x33);
    // The option fields went through their controls.
    EXPECT_EQ(v.systemBlock.surroundDelay(), 0);
    EXPECT_EQ(v.systemBlock.readerDelay(), 0);
    EXPECT_EQ(v.systemBlock.f1KeyAssignment(), 0);
    EXPECT_EQ(v.systemBlock.powerOnFormat(), 0);
    EXPECT_EQ(v.systemBlock.matrixDisabled(), 0);
    EXPECT_EQ(h.ed->main.options.cboNonsyncTrim.text(), "0 dB");
    // OBE off on screen and in the record.
    EXPECT_EQ(v.audioBlock.obeFrequency(), 0);
    EXPECT_EQ(v.ObeEnabled, kFalse);
    EXPECT_EQ(v.ObeFrequencyIndex, 1);
    EXPECT_EQ(h.ed->main.obe.cmdOBEEnable.caption(), "OBE Disable");
    EXPECT_FALSE(h.ed->main.obe.cboObeF.enabled());
    EXPECT_EQ(v.CurrentVolume, 70);
    EXPECT_EQ(v.CurrentMute, kFalse);
    EXPECT_EQ(v.CurrentFormat, 0);
    EXPECT_EQ(v.LoadingControls, kFalse);
}
