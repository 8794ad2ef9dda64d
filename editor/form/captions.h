// captions.h - the fixed texts the controls show: button captions, option
// captions and the items of the drop-down lists.
#ifndef ZELK_FORM_CAPTIONS_H
#define ZELK_FORM_CAPTIONS_H

#include <array>
#include <string>
#include <vector>

#include "form/translate.h"

namespace zelk {

// The items of the drop-down lists, in English (for files and q7mctl) or
// as the user reads them (kShown).
// Items of the reader-delay list: 0.00 to 99.00 TC frames in quarter frames.
std::vector<std::string> readerDelayItems(Words words = kEnglish);
std::vector<std::string> surroundDelayItems(Words words = kEnglish);  // "0 mS" .. "100 mS"
std::vector<std::string> nonsyncTrimItems(Words words = kEnglish);    // "0 dB", "-1 dB" .. "-20 dB"
std::vector<std::string> nonsyncModeItems(Words words = kEnglish);
std::vector<std::string> obeFrequencyItems(Words words = kEnglish);   // "50 Hz" .. "120 Hz"
// The texts of these tables are marked for translation ("Captions"); put
// them into the user's language where they are shown.
extern const std::array<const char*, 7> kSubFrequencyNames;
extern const std::array<const char*, 3> kSubBandwidthNames;
extern const std::array<const char*, 5> kPowerOnFormatNames;
extern const std::array<const char*, 4> kF1KeyNames;
extern const std::array<const char*, 6> kFormatCaptions;
extern const std::array<const char*, 6> kEqChannelCaptions;

// Units shown beside values whose own texts are bare numbers ("0.0", "1k").
inline constexpr const char* kUnitDb = ZELK_TEXT("Units", "dB");
inline constexpr const char* kUnitHz = ZELK_TEXT("Units", "Hz");

// The marks beside a slider's scale: the value at its high end, at zero,
// and at its low end ("" where there is no mark).
struct ScaleMarks {
    const char* high;
    const char* zero;
    const char* low;
};
inline constexpr ScaleMarks kHalfDbScale{"+6", "0", "-6"};   // bands, trims, sub-bass gain, OBE gain (dB)
inline constexpr ScaleMarks kBassScale{"+10", "0", "-10"};   // bass and treble (dB)
inline constexpr ScaleMarks kFaderScale{"9.9", "", "0.0"};   // the fader: its ends

// How the "Date Installed" text reads: time of the last upload, then the date.
inline constexpr const char* kDateInstalledFormat = ZELK_TEXT("Captions", "h:mm AM/PM dd/mm/yy");

}  // namespace zelk

#endif
