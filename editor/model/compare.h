// compare.h - every stored setting of a configuration in the words and
// units the editor shows (channel and band names, dB, ms, Hz, option
// captions), and the one comparison of two configurations that the editor
// (Compare with Unit, verify after upload) and q7mctl (diff, verify) share.
//
// Only what the unit stores as settings is compared: the upload date stamp
// and the bytes the unit carries unchanged (the audio block's bytes 4-5 and
// 194-223, each equaliser record's last byte, the bands a channel does not
// use, the system block's unlisted bytes) are not differences.
#ifndef ZELK_MODEL_COMPARE_H
#define ZELK_MODEL_COMPARE_H

#include <array>
#include <string>
#include <vector>

#include "form/translate.h"
#include "model/record.h"

namespace zelk {

// Which blocks a comparison covers, numbered as the upload's `Which`.
enum class Blocks { Both = 0, System = 1, Audio = 2 };

// The centre frequencies of the 27 and the 9 bands, and of the sub-bass
// section's choices, in hertz (for a frequency axis) and as shown ("1.25 kHz").
extern const std::array<double, 27> kWideBandHz;
extern const std::array<double, 9> kOctaveBandHz;
extern const std::array<double, 7> kSubFrequencyHz;
std::string frequencyText(double hz, Words words = kEnglish);  // "40 Hz", "1 kHz", "12.5 kHz"

// "Left Channel" .. "Subwoofer Channel", by channel index (marked "Settings").
extern const std::array<const char*, 6> kChannelNames;

struct FieldValue {
    std::string group;  // "Options", "Output Trim", "Left Channel", "OBE", "Kept bytes"
    std::string name;   // "Surround Delay", "Left Channel trim", "Center Channel 1.25 kHz"
    Blocks block = Blocks::System;
    int offset = 0;  // the field's first byte in its block
    int raw = 0;     // the stored code (the reader delay's 16 bits)
    std::string text;  // "10 mS", "-0.5 dB", "Matrix Decoded"; an unknown code reads "code 40 (out of range)"
};

// Every setting of `which` blocks, in the order the editor's tabs show
// them: options, output trims, each channel's equaliser (screen order),
// OBE, then the system bytes the editor keeps without showing.  In English
// (for files and q7mctl) or as the user reads them (kShown).
std::vector<FieldValue> describeFields(const SystemBlock& system, const AudioBlock& audio, Blocks which = Blocks::Both,
                                       Words words = kEnglish);

struct FieldDifference {
    std::string group, name;
    Blocks block = Blocks::System;
    int offset = 0;
    std::string left, right;  // the value on each side, in words
    // The same as the user reads them (the unit's history keeps the English).
    std::string shownGroup, shownName, shownLeft, shownRight;
};

// The settings that differ between two configurations, in describeFields'
// order.  When two different codes read the same ("Yes" for 1 and 2), the
// codes are added so the difference shows.
std::vector<FieldDifference> compareConfigurations(const SystemBlock& leftSystem, const AudioBlock& leftAudio,
                                                   const SystemBlock& rightSystem, const AudioBlock& rightAudio,
                                                   Blocks which = Blocks::Both);

// "Left Channel trim, Surround Delay and 2 more": the differing fields
// named for a one-line message (at most `named` names), as the user reads them.
std::string differenceSummary(const std::vector<FieldDifference>& diffs, std::size_t named = 4);

// The differences as plain text columns under a heading line naming the
// two sides ("Setting", `leftTitle`, `rightTitle`).
std::string differencesTable(const std::vector<FieldDifference>& diffs, const std::string& leftTitle,
                             const std::string& rightTitle);

}  // namespace zelk

#endif
