#include "sim_reader.h"

#include <cmath>

namespace q7msim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kReferenceHeight = 175.0;  // bar height of the reference level (255 - 80)
constexpr double kSlitBase = 200.0;         // drawn slit-loss value of a band at 0 dB
constexpr double kSlitUnitsPerDb = 2.0;     // the display's 24 units span 12 dB
constexpr double kAzimuthAmplitude = 90.0;  // peak sample of a track at 0 dB

double amplitude(double db) { return std::pow(10.0, db / 20.0); }

std::uint8_t clampByte(double v) { return static_cast<std::uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, v)))); }

// Gaussian jitter with standard deviation `sd`, or none.
double jitter(std::mt19937& rng, bool on, double sd) { return on ? std::normal_distribution<double>(0.0, sd)(rng) : 0.0; }

std::uint8_t signedSample(double v) {
    const long r = std::lround(std::fmin(127.0, std::fmax(-127.0, v)));
    return static_cast<std::uint8_t>(r & 0xFF);
}

}  // namespace

double OpticalReader::slitLossDb(double slitDegrees, double bandHz) {
    // The slit's image smears over kTrackWidthMm * tan(tilt) along the film;
    // that aperture passes a wave of length L with the factor sinc(pi*a/L).
    const double smearMm = kTrackWidthMm * std::fabs(std::tan(slitDegrees * kPi / 180.0));
    const double x = kPi * smearMm * bandHz / kFilmSpeedMmPerS;
    if (x < 1e-9) return 0.0;
    const double factor = std::fabs(std::sin(x) / x);
    return 20.0 * std::log10(std::fmax(factor, 1e-3));  // a null reads as -60 dB
}

double OpticalReader::azimuthPhase(double azimuthDegrees) {
    const double offsetMm = kTrackSpacingMm * std::tan(azimuthDegrees * kPi / 180.0);
    return 2.0 * kPi * kAzimuthToneHz * offsetMm / kFilmSpeedMmPerS;
}

std::vector<std::uint8_t> OpticalReader::gainPayload(std::mt19937& rng) const {
    auto level = [&](double db) {
        const double height = kReferenceHeight * amplitude(db + jitter(rng, noise, 0.08));
        return clampByte(255.0 - height);
    };
    const std::uint8_t left = level(align.gainLeftDb);
    const std::uint8_t right = level(align.gainRightDb);
    return {left, right};
}

std::vector<std::uint8_t> OpticalReader::slitPayload(int kind, std::mt19937& rng) const {
    const double gain = kind == 0 ? align.gainLeftDb : align.gainRightDb;
    std::vector<std::uint8_t> rec;
    for (double hz : kBandsHz) {
        const double db = gain + slitLossDb(align.slitDegrees, hz) + jitter(rng, noise, 0.15);
        rec.push_back(static_cast<std::uint8_t>(255 - clampByte(kSlitBase + kSlitUnitsPerDb * db)));
    }
    return rec;
}

std::vector<std::uint8_t> OpticalReader::azimuthPayload(std::mt19937& rng) const {
    std::uniform_real_distribution<double> moment(0.0, 2.0 * kPi);
    // Film weave wobbles the azimuth a little; hiss rides on both tracks.
    const double phase = azimuthPhase(align.azimuthDegrees + jitter(rng, noise, 0.02));
    const double aLeft = kAzimuthAmplitude * amplitude(align.gainLeftDb);
    const double aRight = kAzimuthAmplitude * amplitude(align.gainRightDb);
    std::vector<std::uint8_t> rec;
    for (int i = 0; i < 14; ++i) {
        const double p = moment(rng);
        rec.push_back(signedSample(aLeft * std::sin(p) + jitter(rng, noise, 2.0)));
        rec.push_back(signedSample(aRight * std::sin(p + phase) + jitter(rng, noise, 2.0)));
    }
    return rec;
}

}  // namespace q7msim
