// error_text.h - the user-facing line for each bit of the link error word.
//
// Shared by the editor's error box and the q7mctl command-line client so
// both explain a failure in the same words (the editor's in the user's
// language, q7mctl's in English).  Bits 12 to 15 have no text.
#ifndef ZELK_FORM_ERROR_TEXT_H
#define ZELK_FORM_ERROR_TEXT_H

#include <array>
#include <cstdint>
#include <string_view>

#include "form/translate.h"

namespace zelk {

inline constexpr std::array<std::string_view, 12> kErrorBitLines = {
    ZELK_TEXT("Errors", "- Serial Port Error"),
    ZELK_TEXT("Errors", "- Error Transmitting"),
    ZELK_TEXT("Errors", "- Error Receiving"),
    ZELK_TEXT("Errors", "- Error Communicating System Block"),
    ZELK_TEXT("Errors", "- Error Communicating Audio Block"),
    ZELK_TEXT("Errors", "- Invalid response from unit"),
    ZELK_TEXT("Errors", "- Could Not Initialise"),
    ZELK_TEXT("Errors", "- Error during ASCII command"),
    ZELK_TEXT("Errors", "- Error during streaming"),
    ZELK_TEXT("Errors", "- Data is not as requested"),
    ZELK_TEXT("Errors", "- Current OS is not compatable"),
    ZELK_TEXT("Errors", "- Value out of range"),
};

// The line for bit `bit` (0..15), or an empty view when the bit has no text.
inline constexpr std::string_view errorBitLine(int bit) {
    return (bit >= 0 && bit < static_cast<int>(kErrorBitLines.size())) ? kErrorBitLines[static_cast<std::size_t>(bit)]
                                                                       : std::string_view{};
}

}  // namespace zelk

#endif
