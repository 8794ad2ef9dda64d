#include "lookup.h"

#include <charconv>
#include <cmath>

namespace zelk {

const std::array<const char*, 7> kSubFrequencyNames = {"25 Hz", "31.5 Hz", "40 Hz", "50 Hz",
                                                       "63 Hz", "80 Hz",   "100 Hz"};
const std::array<const char*, 3> kSubBandwidthNames = {"1/3 octave", "2/3 octave", "1 octave"};
const std::array<const char*, 5> kPowerOnFormatNames = {"EXTERNAL 6-TRK", "NON-SYNC", "SR TYPE", "A TYPE",
                                                        "F1 ('Mono' button on unit)"};
const std::array<const char*, 4> kF1KeyNames = {"Optical Mono", "External N.R.",
                                                "External 2-Trk Return W/ Internal A Type N.R.",
                                                "External 2-Trk Return W/ Internal SR Type N.R."};
const std::array<const char*, 6> kFormatCaptions = {"Mono", "A-TYPE", "SR-TYPE", "EXTERNAL 6-TRK", "ZELK Digital",
                                                    "NONSYNC"};
const std::array<const char*, 6> kEqChannelCaptions = {"Left", "LS", "Center", "RS", "Right", "Subwoofer"};

std::vector<std::string> readerDelayItems() {
    std::vector<std::string> items;
    char buf[32];
    // 0.25 steps are exact in binary floating point, so 397 items exactly.
    // to_chars writes a decimal point whatever locale a Qt application set.
    for (double x = 0.0; x <= 99.0; x += 0.25) {
        const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 2);
        items.push_back(std::string(buf, r.ptr) + " TC Frames");
    }
    return items;
}

std::vector<std::string> surroundDelayItems() {
    std::vector<std::string> items;
    for (int i = 0; i <= 10; ++i) items.push_back(std::to_string(i * 10) + " mS");
    return items;
}

std::vector<std::string> nonsyncTrimItems() {
    std::vector<std::string> items;
    for (int i = 0; i <= 20; ++i) items.push_back(std::to_string(-i) + " dB");  // "0 dB", "-1 dB", ...
    return items;
}

std::vector<std::string> nonsyncModeItems() {
    return {"Screen Channels", "Surround Channels", "Screen And Surround Channels", "Matrix Decoded"};
}

std::vector<std::string> obeFrequencyItems() {
    std::vector<std::string> items;
    for (int i = 1; i <= 8; ++i) items.push_back(std::to_string(40 + 10 * i) + " Hz");
    return items;
}

namespace {
// Formats with the given decimals and a decimal point in every locale;
// never shows "-0".
std::string fixed(double v, int decimals) {
    char buf[48];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    std::string s(buf, r.ec == std::errc() ? r.ptr : buf);
    if (!s.empty() && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
}
}  // namespace

std::string format0(double v) { return fixed(v, 0); }
std::string format00(double v) { return fixed(v, 1); }

std::string bandText(int raw) { return format00(6.0 - raw / 2.0); }
std::string bassText(int raw) { return format0(10.0 - raw); }
std::string obeSliderText(int raw) { return format00(raw / 2.0 - 6.0); }
std::string volumeText(int level) { return format00(level / 10.0); }

}  // namespace zelk
