#include "optical/optical_draw.h"

#include "form/translate.h"

#include <algorithm>
#include <cmath>

namespace zelk {

long roundEven(double v) { return std::lrint(v); }  // the default rounding mode: halves to even

void PrintAt(Picture& p, double x, double y, const std::string& text) {
    p.text(static_cast<double>(roundEven(x)), static_cast<double>(roundEven(y)), text);
}

namespace {
// A cleared picture with its axes and the dashed reference line at `refY`,
// labelled "Ref.".
void frame(Picture& g, int refY) {
    g.clear();
    g.pen(kBlack, 1);
    g.line(25, 0, 25, 255);
    g.line(25, 255, 300, 255);
    g.style(LineStyle::Dashed);
    g.line(25, refY, 300, refY);
    g.style(LineStyle::Solid);
    PrintAt(g, 2, refY - g.fontSize() / 2, translate("Optical", "Ref."));
}
}  // namespace

void DrawGain(Picture& g, std::int16_t gainReading) {
    const auto raw = static_cast<std::uint16_t>(gainReading);
    const int left = raw & 0xFF;
    const int right = (raw >> 8) & 0xFF;
    frame(g, 80);
    g.pen(kBlue, 1);
    g.box(89, 255, 109, left);
    g.box(217, 255, 237, right);
    g.pen(kBlack, 1);
    PrintAt(g, 89, 255 + g.fontSize(), translate("Optical", "  Left"));
    PrintAt(g, 217, 255 + g.fontSize(), translate("Optical", " Right"));
}

void DrawSlit(Picture& g, const std::array<std::uint8_t, 22>& slitReadings) {
    static const char* const kBands[11] = {"1.6", "2.0", "2.5", "3.1", "4.0", "5.0", "6.3", "8.0", "10", "12", "16"};
    int side[2][11];
    for (int i = 0; i < 11; ++i) {
        side[0][i] = 255 - slitReadings[static_cast<std::size_t>(i)];
        side[1][i] = 255 - slitReadings[static_cast<std::size_t>(11 + i)];
    }
    int ref[2];
    for (int s = 0; s < 2; ++s) ref[s] = static_cast<int>(roundEven((side[s][4] + side[s][5] + side[s][6]) / 3.0));

    frame(g, 64);
    PrintAt(g, 2, 128, translate("Optical", "12 dB"));
    PrintAt(g, 2, g.fontSize() + 129, translate("Optical", "Range"));
    g.pen(kBlack, 2);
    g.line(162, 255, 162, 0);
    g.style(LineStyle::Solid);
    g.pen(kBlue, 2);
    for (int i = 0; i < 11; ++i) {
        for (int s = 0; s < 2; ++s) {
            const int r = ref[s];
            int v = std::clamp(side[s][i], r - 18, r + 6);
            v -= r - 18;  // 0 .. 24
            const long scaled = roundEven(v / 24.0 * 255);
            v = 255 - static_cast<int>(std::clamp<long>(scaled, 0, 255));
            const int x = (s == 0 ? 33 : 171) + 11 * i;
            g.box(x, 255, x + 6, v);
        }
    }
    g.fontSizeTo(6);
    g.pen(kBlack, 1);
    g.fontSizeTo(8.5);
    PrintAt(g, 149, 280 - g.fontSize(), translate("Optical", "Band (kHz)"));
    g.font("Small Fonts", 6);
    for (int s = 0; s < 2; ++s)
        for (int k = 0; k < 11; ++k) PrintAt(g, 32 + 138 * s + 11 * k, 258, kBands[k]);
    g.fontSizeTo(8);
}

int DrawAzimuthConvert(int v) {
    if (v >= 128) v -= 256;
    v = std::clamp(v, -127, 127);
    return 2 * static_cast<int>(roundEven(v / 2.0));
}

void DrawAzimuth(Picture& a, const AzimuthTrailData& trail, int newSlot, int oldSlot) {
    auto conv = [&](int slot, int pair, int which) {
        return DrawAzimuthConvert(trail[static_cast<std::size_t>(slot)][static_cast<std::size_t>(pair)]
                                       [static_cast<std::size_t>(which)]);
    };
    a.style(LineStyle::Dotted);
    a.line(128, 0, 128, 255);
    a.line(0, 128, 255, 128);
    a.style(LineStyle::Solid);
    a.pen(a.penColour(), 2);
    for (int i = 0; i < 14; ++i) {
        const int oldX = conv(oldSlot, i, 0), oldY = conv(oldSlot, i, 1);
        const int newX = conv(newSlot, i, 0), newY = conv(newSlot, i, 1);
        bool inUse = false;
        for (int k = 0; k < 10 && !inUse; ++k) {
            if (k == oldSlot) continue;
            for (int j = 0; j < 14; ++j) {
                if (conv(k, j, 0) == oldX && conv(k, j, 1) == oldY) {
                    inUse = true;
                    break;
                }
            }
        }
        if (!inUse) a.point(128 + oldX, 128 - oldY, kWhite);
        a.point(128 + newX, 128 - newY, kBlue);
    }
    a.pen(a.penColour(), 1);
}

}  // namespace zelk
