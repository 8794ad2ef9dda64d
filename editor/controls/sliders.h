// sliders.h - the event scheme shared by every slider and its entry
// field: live field updates while dragging, apply when a move ends, one
// position per key press, arrow keys to the neighbouring slider, and typed
// values checked and snapped onto the slider.
#ifndef ZELK_CONTROLS_SLIDERS_H
#define ZELK_CONTROLS_SLIDERS_H

#include <functional>
#include <string>

namespace zelk {

class Editor;
class Slider;
class TextBox;

// Key codes the sliders and fields use.
enum Key : int {
    KEY_ENTER = 13, KEY_ESCAPE = 27, KEY_LEFT = 37, KEY_UP = 38, KEY_RIGHT = 39, KEY_DOWN = 40,
    KEY_NUMPAD_PLUS = 107, KEY_NUMPAD_MINUS = 109, KEY_F1 = 112, KEY_F2 = 113,
};
inline constexpr int SHIFT_CTRL = 2;

// Reads typed text as a number the way the fields do: an optional sign,
// digits and a decimal point, surrounding blanks allowed.  False for empty
// text, letters or a lone sign.
bool readTypedNumber(const std::string& text, double& value);
// Half-to-even rounding to a whole number.
long roundHalfEven(double v);

class Sliders {
public:
    explicit Sliders(Editor& ed) : ed_(ed) {}
    void wire();

    // Apply condition of every family but the fader.
    bool applyCondition(const Slider& s) const;

private:
    // kind: the family's display and stepping rules.
    enum class Family { Band, Bass, Gain, Trim, Obe };
    void wireSlider(Slider& s, TextBox& field, Family family, std::function<void()> apply,
                    std::function<void(int key)> focusMove);
    void wireField(TextBox& field, Slider& s, Family family);
    std::string text(Family f, int raw) const;
    Editor& ed_;
};

}  // namespace zelk

#endif
