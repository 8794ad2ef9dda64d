// optical_draw.h - the gain, slit-loss and azimuth pictures, drawn from
// the latest measurement records with plain picture commands.
#ifndef ZELK_OPTICAL_OPTICAL_DRAW_H
#define ZELK_OPTICAL_OPTICAL_DRAW_H

#include <array>
#include <cstdint>
#include <string>

#include "form/picture.h"

namespace zelk {

inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kBlue{0, 0, 255};

// The last ten azimuth records: 14 pairs of samples each, as received.
using AzimuthPairs = std::array<std::array<std::uint8_t, 2>, 14>;
using AzimuthTrailData = std::array<AzimuthPairs, 10>;

// Nearest whole number, halves to even.
long roundEven(double v);

// Sets the current position to (x, y), rounded, and prints `text` there.
void PrintAt(Picture& p, double x, double y, const std::string& text);

// Gain: two level bars (low byte left, high byte right) against the
// reference line at level 80.
void DrawGain(Picture& g, std::int16_t gainReading);

// Slit loss: eleven band bars per side against each side's reference (the
// mean of bands 4 to 6); bytes 0-10 one side, 11-21 the other.
void DrawSlit(Picture& g, const std::array<std::uint8_t, 22>& slitReadings);

// One received sample as a signed, even plotting offset (-128 .. 126).
int DrawAzimuthConvert(int sample);

// Plots the newest record's points and erases the oldest record's points
// that no other record of the trail still has.
void DrawAzimuth(Picture& a, const AzimuthTrailData& trail, int newSlot, int oldSlot);

}  // namespace zelk

#endif
