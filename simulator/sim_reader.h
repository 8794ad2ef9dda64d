// sim_reader.h - a simulated optical sound reader of one projector: its
// alignment, and the measurement records the unit makes from it.
//
// The model: a 35 mm stereo variable-area soundtrack (two tracks of
// kTrackWidthMm, their centres kTrackSpacingMm apart) runs past the
// scanning slit at kFilmSpeedMmPerS.  Turning the reader's screws changes:
//   - the gain of each track (dB relative to the unit's reference level);
//   - the slit's tilt within a track: its image smears along the film, so
//     the higher frequencies of the slit-loss film lose level;
//   - the azimuth: the slit is no longer square to the film travel, so the
//     two tracks are read at different moments and an in-phase tone on
//     both tracks comes out phase-shifted (kAzimuthToneHz).
#ifndef Q7M_SIM_READER_H
#define Q7M_SIM_READER_H

#include <array>
#include <cstdint>
#include <random>
#include <vector>

namespace q7msim {

struct ReaderAlignment {
    double gainLeftDb = 0.0;   // level of each track, dB relative to the reference line
    double gainRightDb = 0.0;
    double slitDegrees = 0.0;  // tilt of the slit within the tracks; 0 = square
    double azimuthDegrees = 0.0;  // azimuth error; 0 = both tracks read at once
};

class OpticalReader {
public:
    static constexpr double kFilmSpeedMmPerS = 456.0;  // 24 frames/s
    static constexpr double kTrackWidthMm = 0.84;
    static constexpr double kTrackSpacingMm = 1.0;
    static constexpr double kAzimuthToneHz = 7000.0;
    static constexpr std::array<double, 11> kBandsHz = {1600, 2000, 2500, 3150, 4000, 5000,
                                                        6300, 8000, 10000, 12500, 16000};

    explicit OpticalReader(ReaderAlignment a = {}) : align(a) {}

    ReaderAlignment align;
    bool noise = true;  // a little jitter, as a real film and reader give

    // Payloads of the records (without the message code).
    // Gain: two level bytes, left then right; 80 is the reference level,
    // a smaller byte a taller bar (0 = full scale, 255 = no signal).
    std::vector<std::uint8_t> gainPayload(std::mt19937& rng) const;
    // Slit loss of one track (kind 0 = left, 1 = right): eleven bytes, one
    // per band; the drawn value is 255 - byte, two units per dB.
    std::vector<std::uint8_t> slitPayload(int kind, std::mt19937& rng) const;
    // Azimuth: fourteen pairs of signed 8-bit samples (left, right) of the
    // in-phase tone, taken at random moments.
    std::vector<std::uint8_t> azimuthPayload(std::mt19937& rng) const;

    // The level of one slit-loss band relative to the unit's reference
    // band level, in dB (0 for a square slit; negative = loss).
    static double slitLossDb(double slitDegrees, double bandHz);
    // The phase shift between the tracks for an azimuth error, in radians.
    static double azimuthPhase(double azimuthDegrees);
};

}  // namespace q7msim

#endif
