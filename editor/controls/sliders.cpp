#include "sliders.h"

#include <cmath>
#include <cstdlib>

#include "editor.h"

namespace zelk {

bool readTypedNumber(const std::string& text, double& value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t j = text.size();
    while (j > i && text[j - 1] == ' ') --j;
    const std::string t = text.substr(i, j - i);
    if (t.empty()) return false;
    bool digit = false;
    for (std::size_t k = 0; k < t.size(); ++k) {
        const char c = t[k];
        if (c >= '0' && c <= '9') digit = true;
        else if (!((c == '-' || c == '+') && k == 0) && c != '.') return false;
    }
    if (!digit) return false;
    char* end = nullptr;
    value = std::strtod(t.c_str(), &end);
    return *end == '\0' && std::isfinite(value);
}

long roundHalfEven(double v) { return std::lrint(v); }

bool Sliders::applyCondition(const Slider& s) const {
    return ed_.main.SliderKeysUp && s.value() != ed_.main.SliderFocusValue;
}

std::string Sliders::text(Family f, int raw) const {
    switch (f) {
    case Family::Bass: return bassText(raw);
    case Family::Obe: return obeSliderText(raw);
    default: return bandText(raw);
    }
}

void Sliders::wireSlider(Slider& s, TextBox& field, Family family, std::function<void()> apply,
                         std::function<void(int key)> focusMove) {
    auto& m = ed_.main;
    s.onGotFocus = [&m, &s] { m.SliderFocusValue = static_cast<std::int16_t>(s.value()); };
    s.onScroll = [this, &s, &field, family] { field.setText(text(family, s.value())); };
    s.onChange = std::move(apply);
    s.onKeyDown = [this, &m, &s, &field, family, focusMove](int key) {
        m.SliderKeysUp = kFalse;
        // Vertical sliders have raw 0 at the top; the OBE slider is
        // horizontal with the larger gain to the right.
        int step = 0;
        switch (family) {
        case Family::Gain:
            if (key == KEY_UP || key == KEY_NUMPAD_PLUS || key == KEY_RIGHT) step = -1;
            if (key == KEY_DOWN || key == KEY_NUMPAD_MINUS || key == KEY_LEFT) step = 1;
            break;
        case Family::Obe:
            if (key == KEY_UP || key == KEY_NUMPAD_PLUS || key == KEY_RIGHT) step = 1;
            if (key == KEY_DOWN || key == KEY_NUMPAD_MINUS || key == KEY_LEFT) step = -1;
            break;
        default:
            if (key == KEY_UP || key == KEY_NUMPAD_PLUS) step = -1;
            if (key == KEY_DOWN || key == KEY_NUMPAD_MINUS) step = 1;
            if ((key == KEY_LEFT || key == KEY_RIGHT) && focusMove) focusMove(key);
        }
        if (step != 0) s.setValue(s.value() + step);
        field.setText(text(family, s.value()));
    };
    s.onKeyUp = [&m, &s](int key) {
        m.SliderKeysUp = kTrue;
        // The move ends with the key: arrows through the control's own
        // end-of-move change, the keypad keys by this explicit call.
        if (key == KEY_UP || key == KEY_DOWN || key == KEY_LEFT || key == KEY_RIGHT || key == KEY_NUMPAD_PLUS ||
            key == KEY_NUMPAD_MINUS)
            if (s.onChange) s.onChange();
    };
    wireField(field, s, family);
}

void Sliders::wireField(TextBox& field, Slider& s, Family family) {
    field.onValidate = [this, &field, &s, family](bool& cancel) {
        const bool bass = family == Family::Bass;
        double v = bass ? 10 - s.value() : family == Family::Obe ? s.value() / 2.0 - 6 : 6 - s.value() / 2.0;
        double typed = 0;
        if (readTypedNumber(field.text(), typed)) v = bass ? static_cast<double>(roundHalfEven(typed)) : typed;
        const double limit = bass ? 10 : 6;
        if (v >= -limit && v <= limit) {
            int raw = 0;
            if (bass) raw = 10 - static_cast<int>(v);
            else if (family == Family::Obe) raw = static_cast<int>(std::floor(2 * v)) + 12;
            else raw = 12 - static_cast<int>(std::floor(2 * v));
            s.setValue(raw);
            field.setText(text(family, raw));
        } else {
            cancel = true;
            ed_.box(bass ? "Error, Please enter a number between -10 and 10!"
                         : "Error, Please enter a number between -6 and 6!",
                    "Range Check Error", MsgIcon::Exclamation, MsgButtons::OK);
            field.setSelection(0, static_cast<int>(field.text().size()));
        }
    };
    field.onKeyDown = [&field](int key, int) {
        if (key == KEY_ESCAPE) field.setText("");
        if (key == KEY_ENTER || key == KEY_ESCAPE) {
            field.validate();
            field.setFocus();
        }
    };
}

void Sliders::wire() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    auto apply = [this] { ed_.equaliser.ApplyChannelChange(); };
    for (int i = 0; i < 27; ++i) {
        Slider& s = m.sclA[i];
        wireSlider(s, m.lblBand[i], Family::Band, [this, &s, apply] {
            if (applyCondition(s)) apply();
        }, [&m, i](int key) { m.sclA[key == KEY_LEFT ? (i + 26) % 27 : (i + 1) % 27].focusIn(); });
    }
    for (int i = 0; i < 9; ++i) {
        Slider& s = m.sclB[i];
        wireSlider(s, m.lblLSRSv[i], Family::Band, [this, &s, apply] {
            if (applyCondition(s)) apply();
        }, [&m, i](int key) { m.sclB[key == KEY_LEFT ? (i + 8) % 9 : (i + 1) % 9].focusIn(); });
    }
    wireSlider(m.sclBass, m.lblBass, Family::Bass, [this, apply] {
        if (applyCondition(ed_.main.sclBass)) apply();
    }, [&m](int) { m.sclTreb.focusIn(); });
    wireSlider(m.sclTreb, m.lblTreb, Family::Bass, [this, apply] {
        if (applyCondition(ed_.main.sclTreb)) apply();
    }, [&m](int) { m.sclBass.focusIn(); });

    wireSlider(m.sclGain, m.lblGain, Family::Gain, [this, &m, &v] {
        v.audioBlock.channelEq(5).subGain() = static_cast<std::uint8_t>(m.sclGain.value());
        if (applyCondition(m.sclGain)) {
            m.lblGain.setText(bandText(m.sclGain.value()));
            ed_.upload.UploadToUnit(2, 0);
        }
    }, nullptr);

    for (int i = 0; i < 6; ++i) {
        Slider& s = m.sclPNG[i];
        wireSlider(s, m.lblPNG[i], Family::Trim, [this, &m, &v, &s, i] {
            v.audioBlock.trimLevel(i) = static_cast<std::uint8_t>(s.value());
            if (applyCondition(s)) {
                m.SettingsDirty = kTrue;
                m.lblPNG[i].setText(bandText(s.value()));
                ed_.upload.UploadToUnit(2, 0);
            }
        }, [this, &m, i](int key) {
            const auto& t = ed_.tables;
            m.sclPNG[key == KEY_LEFT ? t.SliderLeftNeighbour[i] : t.SliderRightNeighbour[i]].focusIn();
        });
    }

    wireSlider(m.sclOBE, m.lblOBE, Family::Obe, [this, &m, &v] {
        // The slider runs the other way from the stored gain.
        v.audioBlock.obeGain() = static_cast<std::uint8_t>(24 - m.sclOBE.value());
        if (applyCondition(m.sclOBE)) {
            m.SettingsDirty = kTrue;
            m.lblOBE.setText(obeSliderText(m.sclOBE.value()));
            ed_.upload.UploadToUnit(2, 0);
        }
    }, nullptr);
}

}  // namespace zelk
