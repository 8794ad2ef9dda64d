#include "optical/readout.h"

#include "form/translate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zelk {

const std::array<const char*, 11> kSlitBandNames = {"1.6", "2.0", "2.5", "3.1", "4.0", "5.0",
                                                    "6.3", "8.0", "10",  "12",  "16"};

namespace {
std::string fromRef(int above) {
    if (above == 0) return translate("Optical", "on Ref.");
    return fill(above > 0 ? translate("Optical", "%1 above Ref.") : translate("Optical", "%1 below Ref."),
                {std::to_string(std::abs(above))});
}
std::string signedDb(double v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%+.1f", v == 0 ? 0.0 : v);
    return buf;
}
}  // namespace

GainReadout readGain(std::int16_t gainReading) {
    const auto raw = static_cast<std::uint16_t>(gainReading);
    return {raw & 0xFF, (raw >> 8) & 0xFF};
}

std::string GainReadout::text() const {
    return fill(translate("Optical", "Left  %1\nRight %2"), {fromRef(leftAboveRef()), fromRef(rightAboveRef())});
}

SlitReadout readSlit(const std::array<std::uint8_t, 22>& s) {
    SlitReadout r;
    for (int side = 0; side < 2; ++side) {
        int v[11];
        for (int i = 0; i < 11; ++i) v[i] = 255 - s[static_cast<std::size_t>(side * 11 + i)];
        const long ref = roundEven((v[4] + v[5] + v[6]) / 3.0);
        int worst = 0;
        for (int i = 0; i < 11; ++i) {
            r.deviationDb[side][i] = (v[i] - ref) * kSlitDbPerUnit;
            if (std::abs(r.deviationDb[side][i]) > std::abs(r.deviationDb[side][worst])) worst = i;
        }
        r.worstBand[side] = worst;
    }
    return r;
}

std::string SlitReadout::text() const {
    std::string t;
    for (int side = 0; side < 2; ++side) {
        const int w = worstBand[side];
        t += fill(side == 0 ? translate("Optical", "Left: worst %1 kHz %2 dB\n")
                            : translate("Optical", "Right: worst %1 kHz %2 dB\n"),
                  {kSlitBandNames[w], signedDb(deviationDb[side][w])});
        for (int i = 0; i < 11; ++i) {
            t += std::string(kSlitBandNames[i]) + " " + signedDb(deviationDb[side][i]);
            t += i == 10 ? "\n" : (i % 4 == 3 ? "\n" : "  ");
        }
    }
    if (!t.empty()) t.pop_back();
    return t;
}

std::optional<double> azimuthCorrelation(const AzimuthTrailData& trail, const std::array<bool, 10>& filled) {
    double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    int count = 0;
    for (int k = 0; k < 10; ++k) {
        if (!filled[static_cast<std::size_t>(k)]) continue;
        for (const auto& pair : trail[static_cast<std::size_t>(k)]) {
            const double x = DrawAzimuthConvert(pair[0]), y = DrawAzimuthConvert(pair[1]);
            sx += x;
            sy += y;
            sxx += x * x;
            syy += y * y;
            sxy += x * y;
            ++count;
        }
    }
    if (count == 0) return std::nullopt;
    const double vx = sxx - sx * sx / count, vy = syy - sy * sy / count;
    if (vx <= 0 || vy <= 0) return std::nullopt;
    return (sxy - sx * sy / count) / std::sqrt(vx * vy);
}

std::string azimuthText(std::optional<double> now, std::optional<double> best) {
    auto v = [](std::optional<double> d, char* out, std::size_t n) {
        if (d) std::snprintf(out, n, "%.3f", *d);
        else std::snprintf(out, n, "-");
    };
    char a[16], b[16];
    v(now, a, sizeof a);
    v(best, b, sizeof b);
    return fill(translate("Optical", "Track correlation %1\nBest since Start  %2\n(1.000 = aligned)"), {a, b});
}

}  // namespace zelk
