// sliders.h - the event scheme shared by every slider and its entry
// field: live field updates while dragging, apply when a move ends, one
// position per key press, arrow keys to the neighbouring slider, and typed
// values checked and snapped onto the slider.
#ifndef ZELK_CONTROLS_SLIDERS_H
#define ZELK_CONTROLS_SLIDERS_H

#include <functional>
#include <string>

#include "form/forms.h"
#include "form/services.h"
#include "model/auto_upload.h"
#include "model/document.h"
#include "model/lookup.h"
#include "model/record.h"

namespace zelk {

// Page Up and Page Down move a slider by this much: 2 dB on the level and
// gain sliders (half-dB raw steps), 2 dB on bass and treble (1 dB steps),
// 1.0 on the fader.
inline constexpr int kHalfDbPageStep = 4;
inline constexpr int kWholeDbPageStep = 2;
inline constexpr int kFaderPageStep = 10;

// Reads typed text as a number the way the fields do: an optional sign,
// digits and a decimal point, surrounding blanks allowed.  False for empty
// text, letters or a lone sign.
bool readTypedNumber(const std::string& text, double& value);
// Half-to-even rounding to a whole number.
long roundHalfEven(double v);

// The main window's slider key state, shared by the setting sliders and
// the main fader: a key held on a slider defers the apply to its release.
struct SliderKeys {
    VbBool SliderKeysUp = kTrue;
    std::int16_t SliderFocusValue = 255;
};

// Applies an equaliser slider's change to the channel being edited.
class ChannelChange {
public:
    virtual ~ChannelChange() = default;
    virtual void ApplyChannelChange() = 0;
};

class Sliders {
public:
    struct Controls {
        EqTab& eq;
        TrimTab& trim;
        ObeTab& obe;
    };
    Sliders(ModVals& vals, Document& doc, const LookupTables& tables, SliderKeys& keys, ChannelChange& eq,
            AutoUpload& upload, MessageBoxService& msg, Controls c);

    // Apply condition of every family but the fader: no key held, and the
    // value differs from the last one applied (or the one the slider had
    // when it took the focus).
    bool applyCondition(const Slider& s);

private:
    // kind: the family's display and stepping rules.
    enum class Family { Band, Bass, Gain, Trim, Obe };
    void wire();
    void wireSlider(Slider& s, TextBox& field, Family family, std::function<void()> apply,
                    std::function<void(int key)> focusMove);
    void wireField(TextBox& field, Slider& s, Family family);
    std::string text(Family f, int raw) const;
    ModVals& v_;
    Document& doc_;
    const LookupTables& tables_;
    SliderKeys& keys_;
    ChannelChange& eqChange_;
    AutoUpload& upload_;
    MessageBoxService& msg_;
    Controls c_;
};

}  // namespace zelk

#endif
