// error_text.h - the user-facing line for each bit of the link error word.
//
// Shared by the editor's error box and the q7mctl command-line client so
// both explain a failure in the same words.  Bits 12 to 15 have no text.
#ifndef ZELK_FORM_ERROR_TEXT_H
#define ZELK_FORM_ERROR_TEXT_H

#include <array>
#include <cstdint>
#include <string_view>

namespace zelk {

inline constexpr std::array<std::string_view, 12> kErrorBitLines = {
    "- Serial Port Error",
    "- Error Transmitting",
    "- Error Receiving",
    "- Error Communicating System Block",
    "- Error Communicating Audio Block",
    "- Invalid response from unit",
    "- Could Not Initialise",
    "- Error during ASCII command",
    "- Error during streaming",
    "- Data is not as requested",
    "- Current OS is not compatable",
    "- Value out of range",
};

// The line for bit `bit` (0..15), or an empty view when the bit has no text.
inline constexpr std::string_view errorBitLine(int bit) {
    return (bit >= 0 && bit < static_cast<int>(kErrorBitLines.size())) ? kErrorBitLines[static_cast<std::size_t>(bit)]
                                                                       : std::string_view{};
}

}  // namespace zelk

#endif
