// The simulated optical reader: what turning each screw does to the
// measurement records, read the way the editor's displays read them.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "sim_reader.h"
#include "sim_unit.h"

using namespace q7msim;

namespace {

OpticalReader quiet(ReaderAlignment a) {
    OpticalReader r(a);
    r.noise = false;
    return r;
}

// The slit-loss display's value of a band: 255 - byte, two units per dB.
double drawn(std::uint8_t b) { return 255.0 - b; }

// Correlation of the two tracks over `records` azimuth records.
double trackCorrelation(const OpticalReader& r, int records = 60) {
    std::mt19937 rng(7);
    double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    int n = 0;
    for (int k = 0; k < records; ++k) {
        const auto rec = r.azimuthPayload(rng);
        for (std::size_t i = 0; i + 1 < rec.size(); i += 2) {
            const double x = static_cast<std::int8_t>(rec[i]), y = static_cast<std::int8_t>(rec[i + 1]);
            sx += x, sy += y, sxx += x * x, syy += y * y, sxy += x * y, ++n;
        }
    }
    const double cov = sxy / n - (sx / n) * (sy / n);
    return cov / std::sqrt((sxx / n - (sx / n) * (sx / n)) * (syy / n - (sy / n) * (sy / n)));
}

}  // namespace

TEST(SimReader, GainMovesEachBarFromTheReferenceLine) {
    struct Case {
        double left, right;
        std::uint8_t leftByte, rightByte;
    };
    // 80 is the reference line; the bar height 255 - byte follows the
    // track's amplitude (175 units at 0 dB) and stops at the top.
    for (const Case& c : {Case{0, 0, 80, 80}, Case{-6, 0, 167, 80}, Case{0, 3.5, 80, 0}, Case{-40, -1, 253, 99}}) {
        std::mt19937 rng(1);
        const auto rec = quiet({c.left, c.right, 0, 0}).gainPayload(rng);
        ASSERT_EQ(rec.size(), 2u);
        EXPECT_EQ(rec[0], c.leftByte) << c.left;
        EXPECT_EQ(rec[1], c.rightByte) << c.right;
    }
    // With jitter the levels wander, but around the same place.
    OpticalReader live({0, 0, 0, 0});
    std::mt19937 rng(2);
    double sum = 0;
    for (int i = 0; i < 200; ++i) sum += live.gainPayload(rng)[0];
    EXPECT_NEAR(sum / 200, 80.0, 1.0);
}

TEST(SimReader, SlitTiltMakesTheHighBandsFallOff) {
    std::mt19937 rng(3);
    // Square slit: flat, every band on the side's reference.
    const auto flat = quiet({0, 0, 0, 0}).slitPayload(0, rng);
    ASSERT_EQ(flat.size(), 11u);
    for (auto b : flat) EXPECT_EQ(b, flat[0]);

    for (double tilt : {0.5, 1.0, -1.0}) {
        const auto rec = quiet({0, 0, tilt, 0}).slitPayload(0, rng);
        const double ref = (drawn(rec[4]) + drawn(rec[5]) + drawn(rec[6])) / 3;
        for (std::size_t i = 1; i < rec.size(); ++i) EXPECT_LE(drawn(rec[i]), drawn(rec[i - 1])) << tilt << " band " << i;
        const double lossDb = (ref - drawn(rec[10])) / 2;
        const double expected = std::fabs(tilt) == 1.0 ? 3.8 : 0.85;  // 16 kHz against the 4-6.3 kHz reference
        EXPECT_NEAR(lossDb, expected, 0.4) << tilt;
    }
    // Each track's record carries its own gain: "%" left, "&" right.
    const auto left = quiet({0, 2, 0.7, 0}).slitPayload(0, rng);
    const auto right = quiet({0, 2, 0.7, 0}).slitPayload(1, rng);
    for (std::size_t i = 0; i < 11; ++i) EXPECT_EQ(drawn(right[i]) - drawn(left[i]), 4.0) << i;
}

TEST(SimReader, AzimuthErrorDecorrelatesTheTracks) {
    std::mt19937 rng(4);
    const auto aligned = quiet({0, 0, 0, 0}).azimuthPayload(rng);
    ASSERT_EQ(aligned.size(), 28u);
    for (std::size_t i = 0; i < 28; i += 2) EXPECT_EQ(aligned[i], aligned[i + 1]) << "pair " << i / 2;

    // The correlation follows the cosine of the phase shift between the
    // tracks and falls as the error grows, whichever way it is turned.
    double previous = 1.01;
    for (double deg : {0.0, 0.1, 0.25, 0.5, 0.9}) {
        const double c = trackCorrelation(quiet({0, 0, 0, deg}));
        EXPECT_NEAR(c, std::cos(OpticalReader::azimuthPhase(deg)), 0.05) << deg;
        EXPECT_LT(c, previous) << deg;
        EXPECT_NEAR(trackCorrelation(quiet({0, 0, 0, -deg})), c, 0.05) << deg;
        previous = c;
    }
    EXPECT_GT(trackCorrelation(OpticalReader({0, 0, 0, 0})), 0.98);  // with jitter, still in agreement
}

TEST(SimReader, EachProjectorHasItsOwnReader) {
    SimUnit unit;
    unit.readers[0] = quiet({0, 0, 0, 0});
    unit.readers[1] = quiet({-6, 3.5, 0, 0});
    Replies replies;
    const std::string gain = "AG\r";
    unit.receive(reinterpret_cast<const std::uint8_t*>(gain.data()), gain.size(), replies);
    EXPECT_TRUE(replies.empty());  // streams start without a reply
    EXPECT_EQ(unit.streamTick(), (Bytes{0x10, 0x02, 0x24, 80, 80, 0x10, 0x03}));
    const std::string second = "A2\r";
    unit.receive(reinterpret_cast<const std::uint8_t*>(second.data()), second.size(), replies);
    EXPECT_EQ(unit.streamTick(), (Bytes{0x10, 0x02, 0x24, 167, 0, 0x10, 0x03}));
}
