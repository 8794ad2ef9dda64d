// Optical alignment: the pictures' drawing commands, the measurement
// control against the substitute library, and the readouts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "editor_harness.h"
#include "optical/optical_draw.h"
#include "optical/readout.h"

using namespace zelktest;

namespace {

// Writes every command as a line of text: "box 89,255,109,80".
class Recorder : public Canvas {
public:
    std::vector<std::string> cmds;
    void clear() override { cmds.push_back("clear"); }
    void pen(Colour c, int w) override { add("pen", c.r, c.g, c.b, w); }
    void style(LineStyle s) override {
        cmds.push_back(s == LineStyle::Solid ? "solid" : s == LineStyle::Dashed ? "dashed" : "dotted");
    }
    void line(double a, double b, double c, double d) override { add("line", a, b, c, d); }
    void box(double a, double b, double c, double d) override { add("box", a, b, c, d); }
    void point(double x, double y, Colour c) override { add("point", x, y, c.b == 255 && c.r == 0 ? 1 : 0); }
    void text(double x, double y, const std::string& s) override {
        char buf[64];
        std::snprintf(buf, sizeof buf, "text %g,%g ", x, y);
        cmds.push_back(buf + s);
    }
    void font(const std::string& n, double size) override {
        char buf[64];
        std::snprintf(buf, sizeof buf, "font %s %g", n.c_str(), size);
        cmds.push_back(buf);
    }
    bool has(const std::string& c) const { return std::find(cmds.begin(), cmds.end(), c) != cmds.end(); }
    std::vector<std::string> starting(const std::string& prefix) const {
        std::vector<std::string> out;
        for (auto& c : cmds)
            if (c.rfind(prefix, 0) == 0) out.push_back(c);
        return out;
    }

private:
    template <typename... T>
    void add(const char* name, T... v) {
        std::string s = name;
        const double vals[] = {static_cast<double>(v)...};
        for (std::size_t i = 0; i < sizeof...(T); ++i) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%s%g", i == 0 ? " " : ",", vals[i]);
            s += buf;
        }
        cmds.push_back(s);
    }
};

struct Pictures {
    Picture graph{"OptGraph", 305, 285};
    Picture azi{"optAzi", 257, 257};
    Recorder g, a;
    Pictures() {
        graph.attach(g);
        azi.attach(a);
    }
};

}  // namespace

TEST(OpticalDrawing, GainBarsAgainstTheReferenceLine) {
    Pictures p;
    // Left level 80 (on the reference), right 255 (no bar).
    DrawGain(p.graph, static_cast<std::int16_t>(0xFF50));
    EXPECT_EQ(p.g.cmds, (std::vector<std::string>{
                            "clear", "pen 0,0,0,1", "line 25,0,25,255", "line 25,255,300,255", "dashed",
                            "line 25,80,300,80", "solid", "text 2,76 Ref.", "pen 0,0,255,1", "box 89,255,109,80",
                            "box 217,255,237,255", "pen 0,0,0,1", "text 89,263   Left", "text 217,263  Right"}));
}

TEST(OpticalDrawing, SlitLossBandsClampAndReachTheDashedLineOrTheTop) {
    Pictures p;
    std::array<std::uint8_t, 22> s{};
    for (int i = 0; i < 11; ++i) s[static_cast<std::size_t>(i)] = 100;  // side A: all equal
    for (int i = 0; i < 11; ++i) s[static_cast<std::size_t>(11 + i)] = 100;
    s[11 + 0] = 100 - 6;   // 6 above the reference: to the top
    s[11 + 1] = 100 - 40;  // far above: clamped to the top
    s[11 + 2] = 100 + 18;  // 18 below: nothing
    s[11 + 3] = 100 + 3;   // 3 below
    DrawSlit(p.graph, s);
    const auto boxes = p.g.starting("box");
    ASSERT_EQ(boxes.size(), 22u);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(boxes[static_cast<std::size_t>(2 * i)], "box " + std::to_string(33 + 11 * i) + ",255," +
                                                              std::to_string(39 + 11 * i) + ",64")
            << i;
    EXPECT_EQ(boxes[1], "box 171,255,177,0");
    EXPECT_EQ(boxes[3], "box 182,255,188,0");
    EXPECT_EQ(boxes[5], "box 193,255,199,255");
    // 15 of 24 units: 15/24*255 = 159.375 -> 159, 255 - 159 = 96.
    EXPECT_EQ(boxes[7], "box 204,255,210,96");
    EXPECT_TRUE(p.g.has("line 162,255,162,0"));
    EXPECT_TRUE(p.g.has("text 2,60 Ref."));
    EXPECT_TRUE(p.g.has("text 2,128 12 dB"));
    EXPECT_TRUE(p.g.has("text 2,137 Range"));
    EXPECT_TRUE(p.g.has("text 149,272 Band (kHz)"));  // 280 - 8.5 = 271.5: half to even
    EXPECT_TRUE(p.g.has("font Small Fonts 6"));
    EXPECT_TRUE(p.g.has("text 32,258 1.6"));
    EXPECT_TRUE(p.g.has("text 280,258 16"));  // 32 + 138 + 110
    EXPECT_EQ(p.graph.fontSize(), 8);
}

TEST(OpticalDrawing, AzimuthSamplesConvertToEvenSignedOffsets) {
    const std::vector<std::pair<int, int>> cases = {{0, 0},     {1, 0},      {3, 4},     {5, 4},     {7, 8},
                                                    {253, -4},  {0x10, 16},  {0xF0, -16}, {0x80, -128},
                                                    {0x81, -128}, {127, 128}, {0xFF, 0}};
    for (auto [in, out] : cases) EXPECT_EQ(DrawAzimuthConvert(in), out) << in;
}

TEST(OpticalDrawing, AzimuthPlotsTheNewestAndErasesOnlyPointsNoOtherRecordHolds) {
    Pictures p;
    AzimuthTrailData trail{};
    // Slot 3 is the newest: pair 0 at (0x10, 0xF0).  Slot 4 is the oldest:
    // pair 0 at (0x20, 0x20), which slot 7 also holds, pair 1 at (0x30, 0x00).
    trail[3][0] = {0x10, 0xF0};
    trail[4][0] = {0x20, 0x20};
    trail[4][1] = {0x30, 0x00};
    trail[7][5] = {0x20, 0x20};
    DrawAzimuth(p.azi, trail, 3, 4);
    EXPECT_EQ(p.a.cmds[0], "dotted");
    EXPECT_EQ(p.a.cmds[1], "line 128,0,128,255");
    EXPECT_EQ(p.a.cmds[2], "line 0,128,255,128");
    EXPECT_TRUE(p.a.has("point 144,144,1"));   // blue: 16 right, 16 below
    EXPECT_FALSE(p.a.has("point 160,96,0"));   // kept: slot 7 holds it
    EXPECT_TRUE(p.a.has("point 176,128,0"));   // erased in white
    // The centre (all-zero pairs) is held by the other slots: never erased.
    EXPECT_FALSE(p.a.has("point 128,128,0"));
    EXPECT_EQ(p.azi.penWidth(), 1);
}

namespace {
struct OnOptical : Harness {
    Recorder g, a;
    OnOptical() {
        initialise();
        EXPECT_TRUE(connect());
        ed->main.optical.OptGraph.attach(g);
        ed->main.optical.optAzi.attach(a);
        fake.clear();
    }
    Optical& o() { return ed->optical; }
    OpticalTab& t() { return ed->main.optical; }
};
}  // namespace

TEST(OpticalControl, StartInSlitLossModeAndStopRestoreTheFormat) {
    OnOptical h;
    h.ed->vals.CurrentFormat = 3;
    h.t().optOptical[1].setValue(true);  // while stopped: nothing sent
    h.t().optOptical[2].setValue(true);
    h.t().optOptical[1].setValue(true);
    EXPECT_TRUE(h.fake.calls.empty());
    h.t().cmdStart.click();
    EXPECT_EQ(h.fake.calls, (std::vector<LinkCall>{
                                {"SetProjector", {0}}, {"SelectFormat", {1}}, {"BeginSlitStream", {}}, {"GetMute", {}}}));
    EXPECT_EQ(h.t().cmdStart.caption(), "Stop");
    EXPECT_FALSE(h.t().cmdMute4.enabled());
    EXPECT_FALSE(h.ed->main.bar.mnuBaud.enabled());
    EXPECT_FALSE(h.ed->main.bar.tmrPoll.enabled());
    EXPECT_TRUE(h.t().tmrOptical.enabled());

    h.fake.clear();
    h.t().cmdStart.click();
    EXPECT_EQ(h.fake.calls,
              (std::vector<LinkCall>{
                  {"SetProjector", {0}}, {"StopStream", {}}, {"SetProjector", {0}}, {"SelectFormat", {3}}}));
    EXPECT_EQ(h.t().cmdStart.caption(), "Start");
    EXPECT_TRUE(h.t().cmdMute4.enabled());
    EXPECT_TRUE(h.ed->main.bar.mnuBaud.enabled());
    EXPECT_TRUE(h.ed->main.bar.tmrPoll.enabled());
    EXPECT_FALSE(h.t().tmrOptical.enabled());
    EXPECT_TRUE(h.g.has("clear"));
}

TEST(OpticalControl, RunningModeProjectorAndMuteRestartTheStream) {
    OnOptical h;
    h.t().cmdStart.click();
    h.fake.clear();
    h.t().optOptical[2].setValue(true);
    h.t().cmdPro[1].click();
    h.t().cmdMute4.click();
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"StopStream", "SetProjector", "BeginAzimuthStream",
                                                         "StopStream", "SetProjector", "BeginAzimuthStream",
                                                         "StopStream", "SetMute", "BeginAzimuthStream"}));
    EXPECT_TRUE(h.t().cmdPro[1].bold());
    EXPECT_EQ(h.t().cmdPro[1].backColour(), kGreen);
    EXPECT_FALSE(h.t().cmdPro[0].bold());
}

TEST(OpticalControl, TicksDrawEachRecordAndTheAzimuthSlotWraps) {
    OnOptical h;
    h.t().optOptical[2].setValue(true);
    h.t().cmdStart.click();
    std::vector<int> slots;
    for (int i = 0; i < 12; ++i) {
        h.fake.azimuthRecord[0] = static_cast<std::uint8_t>(i);
        slots.push_back(h.o().AzimuthSlot);
        h.t().tmrOptical.tick();
    }
    EXPECT_EQ(slots, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1}));
    EXPECT_EQ(h.o().recordsDrawn(), 12);
    EXPECT_EQ(h.t().lblLock.caption(), "Stream Lock");
    EXPECT_TRUE(h.t().optAzi.visible());
    EXPECT_EQ(h.a.starting("dotted").size(), 12u);

    // Gain and slit loss: the kind chooses the half of SlitReadings.
    h.t().optOptical[1].setValue(true);
    h.fake.slitRecord.fill(7);
    h.fake.slitKind = 1;
    h.t().tmrOptical.tick();
    EXPECT_EQ(h.o().SlitReadings[11], 7);
    EXPECT_EQ(h.o().SlitReadings[0], 0);
    EXPECT_FALSE(h.t().optAzi.visible());
}

TEST(OpticalControl, NoStreamKeepsRunningAndALinkFailureStopsTheMeasurement) {
    OnOptical h;
    h.t().cmdStart.click();
    h.fake.failNext("GetOptGain", 0x0300);
    h.t().tmrOptical.tick();
    EXPECT_EQ(h.t().lblLock.caption(), "No Stream");
    EXPECT_EQ(h.t().lblLock.backColour(), kRed);
    EXPECT_TRUE(h.o().running());
    EXPECT_TRUE(h.msg.boxes.empty());
    EXPECT_EQ(h.fake.count("GetOptGain"), 1);  // a read is never retried

    h.fake.failNext("GetOptGain", 0x0104);
    h.t().tmrOptical.tick();
    ASSERT_EQ(h.msg.boxes.size(), 1u);
    EXPECT_EQ(h.ed->vals.OnLine, kFalse);
    EXPECT_FALSE(h.o().running());
    EXPECT_EQ(h.t().cmdStart.caption(), "Start");
    EXPECT_FALSE(h.t().tmrOptical.enabled());
}

TEST(OpticalControl, StartOrStopThatLoseTheLinkEndStoppedWithOneBox) {
    struct Case {
        const char* failing;
        bool stop;  // the failure comes while stopping
    };
    for (const Case c : {Case{"SetProjector", false}, Case{"SelectFormat", false}, Case{"BeginGainStream", false},
                         Case{"StopStream", true}}) {
        SCOPED_TRACE(c.failing);
        OnOptical h;
        h.ed->vals.CurrentFormat = 3;
        if (c.stop) h.t().cmdStart.click();
        h.fake.failNext(c.failing, 0x0084, kMaxAttempts);
        h.t().cmdStart.click();
        h.t().tmrOptical.tick();  // a tick that comes anyway
        EXPECT_EQ(h.msg.boxes.size(), 1u);
        EXPECT_EQ(h.ed->vals.OnLine, kFalse);
        EXPECT_FALSE(h.o().running());
        EXPECT_EQ(h.t().cmdStart.caption(), "Start");
        EXPECT_FALSE(h.t().tmrOptical.enabled());
        EXPECT_FALSE(h.t().lblLock.visible());
        EXPECT_TRUE(h.ed->main.bar.mnuBaud.enabled());
        EXPECT_EQ(h.ed->vals.CurrentFormat, 3);
        EXPECT_EQ(h.fake.count("GetOptGain"), 0);
    }
}

// Block transfers one after another (Update, then Compare with Unit) stop
// the stream once; the next reading starts it again.
TEST(OpticalControl, BlockTransfersDuringAMeasurementHoldTheStreamAndStopShowsTheFormatInForce) {
    OnOptical h;
    h.ed->vals.CurrentFormat = 3;
    h.t().cmdStart.click();
    EXPECT_TRUE(h.ed->main.format.cmdMode[1].bold());  // A-TYPE while measuring
    h.fake.clear();
    h.ed->main.bar.mnuRef.click();
    h.ed->main.bar.mnuCompare.click();
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"StopStream", "GetAudio", "GetSystem", "GetMute", "GetVol",
                                                         "GetFormat", "GetSystem", "GetAudio"}));
    h.fake.clear();
    h.t().tmrOptical.tick();
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"BeginGainStream", "GetOptGain"}));
    EXPECT_FALSE(h.t().cmdMute4.enabled());
    h.t().cmdStart.click();
    EXPECT_EQ(h.fake.calls.back(), (LinkCall{"SelectFormat", {3}}));
    EXPECT_TRUE(h.ed->main.format.cmdMode[3].bold());
    EXPECT_FALSE(h.ed->main.format.cmdMode[1].bold());
}

TEST(OpticalControl, LeavingTheTabStopsARunningMeasurement) {
    OnOptical h;
    h.ed->tabs.selectTab(4);
    h.t().cmdStart.click();
    h.fake.clear();
    h.ed->tabs.selectTab(0);
    EXPECT_FALSE(h.o().running());
    EXPECT_EQ(h.fake.names(), (std::vector<std::string>{"SetProjector", "StopStream", "SetProjector", "SelectFormat"}));
}

TEST(OpticalReadout, GainSlitAndAzimuthNumbers) {
    const auto gain = readGain(static_cast<std::int16_t>(0x5C4C));  // left 76, right 92
    EXPECT_EQ(gain.leftAboveRef(), 4);
    EXPECT_EQ(gain.rightAboveRef(), -12);
    EXPECT_EQ(gain.text(), "Left  4 above Ref.\nRight 12 below Ref.");
    EXPECT_EQ(readGain(static_cast<std::int16_t>(0x5050)).text(), "Left  on Ref.\nRight on Ref.");

    std::array<std::uint8_t, 22> s{};
    s.fill(100);
    s[10] = 107;  // 16 kHz of the left half: 7 units below = -3.5 dB
    s[11 + 0] = 98;
    const auto slit = readSlit(s);
    EXPECT_DOUBLE_EQ(slit.deviationDb[0][10], -3.5);
    EXPECT_EQ(slit.worstBand[0], 10);
    EXPECT_DOUBLE_EQ(slit.deviationDb[1][0], 1.0);
    EXPECT_NE(slit.text().find("Left: worst 16 kHz -3.5 dB"), std::string::npos);

    AzimuthTrailData trail{};
    std::array<bool, 10> filled{};
    EXPECT_FALSE(azimuthCorrelation(trail, filled));
    for (int k = 0; k < 3; ++k) {
        filled[static_cast<std::size_t>(k)] = true;
        for (int i = 0; i < 14; ++i) {
            const auto v = static_cast<std::uint8_t>((i * 37 + k * 11) % 200);
            trail[static_cast<std::size_t>(k)][static_cast<std::size_t>(i)] = {v, v};  // tracks agree
        }
    }
    EXPECT_NEAR(*azimuthCorrelation(trail, filled), 1.0, 1e-9);
    for (auto& pair : trail[0]) pair[1] = static_cast<std::uint8_t>(255 - pair[1]);  // one record out of phase
    EXPECT_LT(*azimuthCorrelation(trail, filled), 0.5);
}
