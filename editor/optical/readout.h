// readout.h - numbers a technician can act on, beside the pictures: how
// far each gain bar is from the reference line, each slit-loss band's
// deviation from its side's reference in dB, and how well the two tracks
// agree over the azimuth trail.
#ifndef ZELK_OPTICAL_READOUT_H
#define ZELK_OPTICAL_READOUT_H

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "optical/optical_draw.h"

namespace zelk {

// The reference line of the gain picture.
inline constexpr int kGainReference = 80;
// The slit-loss picture spans 24 units over its "12 dB Range".
inline constexpr double kSlitDbPerUnit = 0.5;

struct GainReadout {
    int left = 0, right = 0;  // levels as drawn (smaller is a taller bar)
    // Distance of each bar's top from the reference line, in drawing units;
    // positive above the line.
    int leftAboveRef() const { return kGainReference - left; }
    int rightAboveRef() const { return kGainReference - right; }
    std::string text() const;
};
GainReadout readGain(std::int16_t gainReading);

struct SlitReadout {
    // Deviation of each band from its side's reference, in dB (side 0 is
    // the left half of the picture, side 1 the right half).
    std::array<std::array<double, 11>, 2> deviationDb{};
    std::array<int, 2> worstBand{};  // index of the band furthest from the reference
    std::string text() const;
};
SlitReadout readSlit(const std::array<std::uint8_t, 22>& slitReadings);

// Correlation of the two tracks over the slots of the trail filled since
// Start (first samples against second samples, as plotted): 1.0 when the
// reader is aligned, falling as the azimuth error grows.  Empty when it
// cannot be told (no record yet, or a track that does not move).
std::optional<double> azimuthCorrelation(const AzimuthTrailData& trail, const std::array<bool, 10>& filled);
std::string azimuthText(std::optional<double> now, std::optional<double> best);

extern const std::array<const char*, 11> kSlitBandNames;  // "1.6" .. "16" (kHz)

}  // namespace zelk

#endif
