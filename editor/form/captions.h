// captions.h - the fixed texts the controls show: button captions, option
// captions and the items of the drop-down lists.
#ifndef ZELK_FORM_CAPTIONS_H
#define ZELK_FORM_CAPTIONS_H

#include <array>
#include <string>
#include <vector>

namespace zelk {

// Items of the reader-delay list: 0.00 to 99.00 TC frames in quarter frames.
std::vector<std::string> readerDelayItems();
std::vector<std::string> surroundDelayItems();  // "0 mS" .. "100 mS"
std::vector<std::string> nonsyncTrimItems();    // "0 dB", "-1 dB" .. "-20 dB"
std::vector<std::string> nonsyncModeItems();
std::vector<std::string> obeFrequencyItems();   // "50 Hz" .. "120 Hz"
extern const std::array<const char*, 7> kSubFrequencyNames;
extern const std::array<const char*, 3> kSubBandwidthNames;
extern const std::array<const char*, 5> kPowerOnFormatNames;
extern const std::array<const char*, 4> kF1KeyNames;
extern const std::array<const char*, 6> kFormatCaptions;
extern const std::array<const char*, 6> kEqChannelCaptions;

}  // namespace zelk

#endif
