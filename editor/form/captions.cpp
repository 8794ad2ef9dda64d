#include "form/captions.h"

#include <charconv>

namespace zelk {

const std::array<const char*, 7> kSubFrequencyNames = {
    ZELK_TEXT("Captions", "25 Hz"), ZELK_TEXT("Captions", "31.5 Hz"), ZELK_TEXT("Captions", "40 Hz"),
    ZELK_TEXT("Captions", "50 Hz"), ZELK_TEXT("Captions", "63 Hz"),   ZELK_TEXT("Captions", "80 Hz"),
    ZELK_TEXT("Captions", "100 Hz")};
const std::array<const char*, 3> kSubBandwidthNames = {
    ZELK_TEXT("Captions", "1/3 octave"), ZELK_TEXT("Captions", "2/3 octave"), ZELK_TEXT("Captions", "1 octave")};
const std::array<const char*, 5> kPowerOnFormatNames = {
    ZELK_TEXT("Captions", "EXTERNAL 6-TRK"), ZELK_TEXT("Captions", "NON-SYNC"), ZELK_TEXT("Captions", "SR TYPE"),
    ZELK_TEXT("Captions", "A TYPE"), ZELK_TEXT("Captions", "F1 ('Mono' button on unit)")};
const std::array<const char*, 4> kF1KeyNames = {
    ZELK_TEXT("Captions", "Optical Mono"), ZELK_TEXT("Captions", "External N.R."),
    ZELK_TEXT("Captions", "External 2-Trk Return W/ Internal A Type N.R."),
    ZELK_TEXT("Captions", "External 2-Trk Return W/ Internal SR Type N.R.")};
const std::array<const char*, 6> kFormatCaptions = {
    ZELK_TEXT("Captions", "Mono"),           ZELK_TEXT("Captions", "A-TYPE"),
    ZELK_TEXT("Captions", "SR-TYPE"),        ZELK_TEXT("Captions", "EXTERNAL 6-TRK"),
    ZELK_TEXT("Captions", "ZELK Digital"),   ZELK_TEXT("Captions", "NONSYNC")};
const std::array<const char*, 6> kEqChannelCaptions = {
    ZELK_TEXT("Captions", "Left"), ZELK_TEXT("Captions", "LS"),    ZELK_TEXT("Captions", "Center"),
    ZELK_TEXT("Captions", "RS"),   ZELK_TEXT("Captions", "Right"), ZELK_TEXT("Captions", "Subwoofer")};

std::vector<std::string> readerDelayItems(Words words) {
    std::vector<std::string> items;
    const std::string pattern = words.translate("Captions", "%1 TC Frames");
    char buf[32];
    // 0.25 steps are exact in binary floating point, so 397 items exactly.
    // to_chars writes a decimal point whatever locale a Qt application set.
    for (double x = 0.0; x <= 99.0; x += 0.25) {
        const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 2);
        items.push_back(fill(pattern, {std::string_view(buf, static_cast<std::size_t>(r.ptr - buf))}));
    }
    return items;
}

std::vector<std::string> surroundDelayItems(Words words) {
    std::vector<std::string> items;
    const std::string pattern = words.translate("Captions", "%1 mS");
    for (int i = 0; i <= 10; ++i) items.push_back(fill(pattern, {std::to_string(i * 10)}));
    return items;
}

std::vector<std::string> nonsyncTrimItems(Words words) {
    std::vector<std::string> items;
    const std::string pattern = words.translate("Captions", "%1 dB");
    for (int i = 0; i <= 20; ++i) items.push_back(fill(pattern, {i == 0 ? "0" : "-" + std::to_string(i)}));
    return items;
}

std::vector<std::string> nonsyncModeItems(Words words) {
    return {words.translate("Captions", "Screen Channels"), words.translate("Captions", "Surround Channels"),
            words.translate("Captions", "Screen And Surround Channels"),
            words.translate("Captions", "Matrix Decoded")};
}

std::vector<std::string> obeFrequencyItems(Words words) {
    std::vector<std::string> items;
    const std::string pattern = words.translate("Captions", "%1 Hz");
    for (int i = 1; i <= 8; ++i) items.push_back(fill(pattern, {std::to_string(40 + 10 * i)}));
    return items;
}

}  // namespace zelk
