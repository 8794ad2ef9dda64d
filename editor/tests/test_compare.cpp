// The comparison of two configurations: each kind of setting named and
// valued in the editor's words and units; what is not a setting is never a
// difference.
#include <gtest/gtest.h>

#include "model/compare.h"

using namespace zelk;

namespace {

struct Config {
    SystemBlock s;
    AudioBlock a;
    Config() {
        // A neutral configuration: flat levels, 0 dB tones.
        for (int ch = 0; ch < 6; ++ch) {
            a.trimLevel(ch) = 12;
            for (int b = 0; b < 27; ++b) a.channelEq(ch).bandGain(b) = 12;
            a.channelEq(ch).bass() = 10;
            a.channelEq(ch).treble() = 10;
        }
        a.channelEq(5).subBandwidth() = 0;
        a.channelEq(5).subFrequency() = 0;
        a.obeGain() = 12;
    }
};

std::vector<FieldDifference> diff(const Config& l, const Config& r, Blocks which = Blocks::Both) {
    return compareConfigurations(l.s, l.a, r.s, r.a, which);
}

struct Case {
    const char* what;
    bool system;
    int offset;
    int value;
    const char* name;
    const char* before;  // the neutral value, in words
    const char* after;
};

TEST(Compare, EachKindOfSettingInWordsAndUnits) {
    const Case cases[] = {
        {"power-on format", true, 30, 2, "Power On Format", "EXTERNAL 6-TRK", "SR TYPE"},
        {"F1 key", true, 0, 3, "F1 (MONO) Format Key Assignment", "Optical Mono",
         "External 2-Trk Return W/ Internal SR Type N.R."},
        {"matrix check box", true, 1, 1, "Matrix Decoding Disabled", "No", "Yes"},
        {"non-sync mode", true, 3, 3, "Non-Sync Mode", "Screen Channels", "Matrix Decoded"},
        {"non-sync trim", true, 24, 7, "Non-Sync Trim", "0 dB", "-7 dB"},
        {"reader delay low byte", true, 5, 5, "Reader Delay", "0.00 TC Frames", "1.25 TC Frames"},
        {"reader delay high byte", true, 4, 1, "Reader Delay", "0.00 TC Frames", "64.00 TC Frames"},
        {"surround delay", true, 6, 4, "Surround Delay", "0 mS", "40 mS"},
        {"kept system byte", true, 27, 9, "System byte 27", "0", "9"},
        {"left trim", false, 6, 13, "Left Channel trim", "0.0 dB", "-0.5 dB"},
        {"subwoofer trim", false, 11, 0, "Subwoofer Channel trim", "0.0 dB", "6.0 dB"},
        {"27-band first band", false, 12, 24, "Left Channel 40 Hz", "0.0 dB", "-6.0 dB"},
        {"27-band kHz band", false, 12 + 60 + 15, 9, "Center Channel 1.25 kHz", "0.0 dB", "1.5 dB"},
        {"27-band last band", false, 12 + 120 + 26, 11, "Right Channel 16 kHz", "0.0 dB", "0.5 dB"},
        {"9-band band", false, 12 + 30 + 8, 14, "Left Surround Channel 16 kHz", "0.0 dB", "-1.0 dB"},
        {"bass", false, 12 + 90 + 27, 13, "Right Surround Channel bass", "0 dB", "-3 dB"},
        {"treble", false, 12 + 28, 0, "Left Channel treble", "0 dB", "10 dB"},
        {"sub-bass gain", false, 12 + 150, 20, "Subwoofer Channel sub-bass gain", "0.0 dB", "-4.0 dB"},
        {"sub-bass bandwidth", false, 12 + 151, 2, "Subwoofer Channel sub-bass bandwidth", "1/3 octave", "1 octave"},
        {"sub-bass frequency", false, 12 + 152, 1, "Subwoofer Channel sub-bass frequency", "25 Hz", "31.5 Hz"},
        {"OBE filter on", false, 193, 3, "OBE Filter", "Off", "70 Hz"},
        {"OBE gain", false, 192, 16, "OBE Gain", "0.0 dB", "-2.0 dB"},
        {"unknown code", true, 3, 40, "Non-Sync Mode", "Screen Channels", "code 40 (out of range)"},
        {"level out of range", false, 8, 25, "Center Channel trim", "0.0 dB", "code 25 (out of range)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Config l, r;
        (c.system ? r.s.bytes[static_cast<std::size_t>(c.offset)] : r.a.bytes[static_cast<std::size_t>(c.offset)]) =
            static_cast<std::uint8_t>(c.value);
        const auto d = diff(l, r);
        ASSERT_EQ(d.size(), 1u);
        EXPECT_EQ(d[0].name, c.name);
        EXPECT_EQ(d[0].left, c.before);
        EXPECT_EQ(d[0].right, c.after);
        EXPECT_EQ(d[0].block, c.system ? Blocks::System : Blocks::Audio);
        // Only the block that holds the setting reports it.
        EXPECT_TRUE(diff(l, r, c.system ? Blocks::Audio : Blocks::System).empty());
    }
}

TEST(Compare, TheStampAndTheCarriedBytesAreNotDifferences) {
    Config l;
    Config r;
    for (int i = 0; i < 4; ++i) r.a.uploadStamp(i) = static_cast<std::uint8_t>(0x40 + i);
    for (int i : {4, 5, 12 + 29, 12 + 30 + 9, 12 + 30 + 26, 12 + 150 + 3, 12 + 150 + 29, 194, 223})
        r.a.bytes[static_cast<std::size_t>(i)] = 0x5A;
    for (int i : {2, 7, 9, 14, 23, 31, 127}) r.s.bytes[static_cast<std::size_t>(i)] = 0x5A;
    EXPECT_TRUE(diff(l, r).empty());
}

TEST(Compare, DifferencesComeInTheTabsOrderAndAreSummarised) {
    Config l, r;
    r.a.obeFrequency() = 1;
    r.a.trimLevel(2) = 10;  // Center, shown second
    r.a.trimLevel(1) = 10;  // Left Surround, shown fourth
    r.s.surroundDelay() = 1;
    const auto d = diff(l, r);
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(d[0].name, "Surround Delay");
    EXPECT_EQ(d[1].name, "Center Channel trim");
    EXPECT_EQ(d[2].name, "Left Surround Channel trim");
    EXPECT_EQ(d[3].name, "OBE Filter");
    EXPECT_EQ(differenceSummary(d), "Surround Delay, Center Channel trim, Left Surround Channel trim and OBE Filter");
    EXPECT_EQ(differenceSummary(d, 2), "Surround Delay, Center Channel trim and 2 more");
    EXPECT_EQ(differenceSummary({d[0]}), "Surround Delay");

    const std::string table = differencesTable(d, "Editor", "Unit");
    EXPECT_EQ(table.substr(0, table.find('\n')).find("Setting"), 0u);
    EXPECT_NE(table.find("Center Channel trim"), std::string::npos);
    EXPECT_NE(table.find("1.0 dB"), std::string::npos);
}

TEST(Compare, DescribesEverySettingOnce) {
    const Config c;
    const auto all = describeFields(c.s, c.a);
    // 7 options, 6 trims, 3 x (27 + 2) + 2 x (9 + 2) + (3 + 2) equaliser
    // settings, 2 OBE, 10 kept system bytes.
    EXPECT_EQ(all.size(), 7u + 6u + 87u + 22u + 5u + 2u + 10u);
    EXPECT_EQ(describeFields(c.s, c.a, Blocks::System).size(), 17u);
    EXPECT_EQ(frequencyText(31.5), "31.5 Hz");
    EXPECT_EQ(frequencyText(3150), "3.15 kHz");
}

}  // namespace
