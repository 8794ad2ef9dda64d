// lookup.h - the fixed tables of the editor and the rules that turn stored
// codes into the texts the user sees.
#ifndef ZELK_MODEL_LOOKUP_H
#define ZELK_MODEL_LOOKUP_H

#include <array>
#include <string>
#include <vector>

#include "form/captions.h"

namespace zelk {

struct LookupTables {
    std::array<std::string, 6> ChannelNames;
    std::array<int, 6> SliderLeftNeighbour{};
    std::array<int, 6> SliderRightNeighbour{};
};

// Number formats of the displays ("0.0", "0", "00"...).
std::string format0(double v);   // "0"
std::string format00(double v);  // "0.0"

// Stored code -> shown text.
std::string bandText(int raw);      // band, sub-bass gain and trim: 6 - raw/2, "0.0"
std::string bassText(int raw);      // bass and treble: 10 - raw, "0"
std::string obeSliderText(int raw); // OBE gain slider position: raw/2 - 6, "0.0"
std::string volumeText(int level);  // fader: level/10, "0.0"

}  // namespace zelk

#endif
