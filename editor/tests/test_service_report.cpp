// The service report's content, read from the model the PDF is drawn from.
#include <gtest/gtest.h>

#include "files/service_report.h"

using namespace zelk;

namespace {

ConfigData configuration() {
    ConfigData c;
    for (int ch = 0; ch < 6; ++ch) {
        c.audioBlock.trimLevel(ch) = 12;
        for (int b = 0; b < 27; ++b) c.audioBlock.channelEq(ch).bandGain(b) = 12;
        c.audioBlock.channelEq(ch).bass() = 10;
        c.audioBlock.channelEq(ch).treble() = 10;
    }
    c.TheaterInfo[1] = "Rex Cinema";
    c.TheaterInfo[8] = "2";
    c.systemBlock.surroundDelay() = 3;
    c.systemBlock.powerOnFormat() = 1;
    c.audioBlock.trimLevel(4) = 9;                 // Right: +1.5 dB
    c.audioBlock.channelEq(2).bandGain(15) = 16;   // Center 1.25 kHz: -2.0 dB
    c.audioBlock.channelEq(3).bandGain(0) = 4;     // RS 63 Hz: +4.0 dB
    c.audioBlock.channelEq(0).treble() = 14;       // Left treble: -4 dB
    c.audioBlock.channelEq(5).subGain() = 8;       // +2.0 dB
    c.audioBlock.channelEq(5).subBandwidth() = 1;
    c.audioBlock.channelEq(5).subFrequency() = 4;  // 63 Hz
    c.audioBlock.obeFrequency() = 2;
    c.CurrentVolume = 55;
    // Thursday 25 March 2004, 3:07 PM.
    c.audioBlock.uploadStamp(0) = 0x43;
    c.audioBlock.uploadStamp(1) = 0xD9;
    c.audioBlock.uploadStamp(2) = 0x47;
    c.audioBlock.uploadStamp(3) = 0x04;
    return c;
}

const std::string* row(const std::vector<ReportRow>& rows, const std::string& caption) {
    for (const auto& r : rows)
        if (r.first == caption) return &r.second;
    return nullptr;
}

TEST(ServiceReport, SaysTheTheaterTheUnitAndEverySettingInWords) {
    ReportContext ctx;
    ctx.when = {2026, 12, 8, 2, 14, 30, 0};
    ctx.versions = std::array<std::int16_t, 7>{1, 5, 77, 1, 3, 1, 9};
    const ServiceReport r = buildServiceReport(configuration(), ctx);

    EXPECT_EQ(r.date, "Tuesday 8 December 2026, 2:30 PM");
    EXPECT_EQ(*row(r.theater.rows, "Theater Name"), "Rex Cinema");
    EXPECT_EQ(*row(r.theater.rows, "Circuit"), "-");
    EXPECT_EQ(*row(r.unit.rows, "CPU Version"), "1.05.0077");
    EXPECT_EQ(*row(r.unit.rows, "DSP Firmware"), "1.09");
    EXPECT_EQ(*row(r.unit.rows, "Last upload (date stamp)"), "3:07 PM 25/03/04");

    ASSERT_EQ(r.settings.size(), 4u);
    EXPECT_EQ(*row(r.settings[0].rows, "Surround Delay"), "30 mS");
    EXPECT_EQ(*row(r.settings[0].rows, "Power On Format"), "NON-SYNC");
    EXPECT_EQ(*row(r.settings[0].rows, "Matrix Decoding Disabled"), "No");
    EXPECT_EQ(*row(r.settings[1].rows, "Right Channel trim"), "1.5 dB");
    EXPECT_EQ(*row(r.settings[1].rows, "Master fader"), "5.5");
    EXPECT_EQ(*row(r.settings[1].rows, "Format"), "Mono");
    EXPECT_EQ(*row(r.settings[2].rows, "OBE Filter"), "60 Hz");
    EXPECT_EQ(r.settings[3].rows.size(), 10u);
    EXPECT_TRUE(r.verify.empty());
}

TEST(ServiceReport, EachChannelPlotsItsOwnEqualiserOnTheFrequencyAxis) {
    const ServiceReport r = buildServiceReport(configuration(), {});
    ASSERT_EQ(r.channels.size(), 6u);
    // Screen order: Left, Center, Right, LS, RS, Sub.
    const int order[6] = {0, 2, 4, 1, 3, 5};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(r.channels[static_cast<std::size_t>(i)].channel, order[i]);

    const ChannelPlot& center = r.channels[1];
    EXPECT_EQ(center.title, "Center Channel (27 bands)");
    ASSERT_EQ(center.bands.size(), 27u);
    EXPECT_EQ(center.bands[15].hz, 1250);
    EXPECT_EQ(center.bands[15].db, -2.0);
    EXPECT_EQ(center.bands[15].label, "1.25 kHz");
    EXPECT_EQ(center.bands[0].db, 0.0);
    EXPECT_EQ(*row(center.rows, "1.25 kHz"), "-2.0 dB");

    const ChannelPlot& rs = r.channels[4];
    ASSERT_EQ(rs.bands.size(), 9u);
    EXPECT_EQ(rs.bands[0].hz, 63);
    EXPECT_EQ(rs.bands[0].db, 4.0);
    EXPECT_EQ(rs.bands[8].hz, 16000);

    EXPECT_EQ(r.channels[0].trebleDb, -4.0);
    EXPECT_EQ(*row(r.channels[0].rows, "treble"), "-4 dB");

    const ChannelPlot& sub = r.channels[5];
    EXPECT_TRUE(sub.bands.empty());
    ASSERT_TRUE(sub.subBass.has_value());
    EXPECT_EQ(sub.subBass->hz, 63);
    EXPECT_EQ(sub.subBass->db, 2.0);
    EXPECT_EQ(sub.subBandwidth, "2/3 octave");
    EXPECT_EQ(*row(sub.rows, "sub-bass frequency"), "63 Hz");
}

TEST(ServiceReport, AfterAnUploadItCarriesTheVerifyResultAndTheTextSaysItAll) {
    ReportContext ctx;
    ctx.verify = "Verified: the unit holds the settings sent at 2:29:51 PM.";
    ConfigData c = configuration();
    c.audioBlock.channelEq(5).subFrequency() = 9;  // not a choice: no point drawn, the words say so
    const ServiceReport r = buildServiceReport(c, ctx);
    EXPECT_FALSE(r.channels[5].subBass.has_value());
    EXPECT_EQ(*row(r.unit.rows, "Versions"), "not read: the editor was not connected to the unit");

    const std::string text = serviceReportText(r);
    for (const char* expected :
         {"Theater Information\n", "  Theater Name: Rex Cinema\n", "Verify after upload\n  Verified: the unit holds",
          "  Center Channel trim: 0.0 dB\n", "Subwoofer Channel (sub-bass parametric)\n",
          "  sub-bass frequency: code 9 (out of range)\n", "Left Surround Channel (9 bands)\n"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    // Verify comes before the settings.
    EXPECT_LT(text.find("Verify after upload"), text.find("Options\n"));
}

}  // namespace
