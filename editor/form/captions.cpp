#include "form/captions.h"

#include <charconv>

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
    for (int i = 0; i <= 20; ++i) items.push_back(i == 0 ? "0 dB" : "-" + std::to_string(i) + " dB");
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

}  // namespace zelk
