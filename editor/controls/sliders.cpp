#include "controls/sliders.h"

#include "form/translate.h"

#include <charconv>
#include <cmath>
#include <cstdlib>


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
    // from_chars reads a decimal point in every locale (a Qt application
    // may have set one with a decimal comma) and takes no leading '+'.
    const char* first = t.data() + (t[0] == '+' ? 1 : 0);
    const char* last = t.data() + t.size();
    if (first < last && *first == '+') return false;
    const auto r = std::from_chars(first, last, value);
    return r.ec == std::errc() && r.ptr == last && std::isfinite(value);
}

long roundHalfEven(double v) { return std::lrint(v); }

Sliders::Sliders(ModVals& vals, Document& doc, const LookupTables& tables, SliderKeys& keys, ChannelChange& eq,
                 AutoUpload& upload, MessageBoxService& msg, Controls c)
    : v_(vals), doc_(doc), tables_(tables), keys_(keys), eqChange_(eq), upload_(upload), msg_(msg), c_(c) {
    wire();
}

// The value applied becomes the slider's reference: a later move back to
// where the slider started is a change too, and reaches the record and the
// unit (otherwise the screen would show a value they do not hold).
bool Sliders::applyCondition(const Slider& s) {
    if (!keys_.SliderKeysUp || s.value() == keys_.SliderFocusValue) return false;
    keys_.SliderFocusValue = static_cast<std::int16_t>(s.value());
    return true;
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
    s.onGotFocus = [this, &s] { keys_.SliderFocusValue = static_cast<std::int16_t>(s.value()); };
    s.onScroll = [this, &s, &field, family] { field.setText(text(family, s.value())); };
    s.onChange = std::move(apply);
    s.onKeyDown = [this, &s, &field, family, focusMove = std::move(focusMove)](int key) {
        keys_.SliderKeysUp = kFalse;
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
        // Page Up raises the shown value by a page, Page Down lowers it.
        const int page = family == Family::Bass ? kWholeDbPageStep : kHalfDbPageStep;
        const int up = family == Family::Obe ? 1 : -1;  // the raw direction that raises the value
        if (key == KEY_PAGE_UP) step = up * page;
        if (key == KEY_PAGE_DOWN) step = -up * page;
        if (step != 0) s.setValue(s.value() + step);
        field.setText(text(family, s.value()));
    };
    s.onKeyUp = [this, &s](int key) {
        keys_.SliderKeysUp = kTrue;
        // The move ends with the key: arrows through the control's own
        // end-of-move change, the keypad keys by this explicit call.
        if (key == KEY_UP || key == KEY_DOWN || key == KEY_LEFT || key == KEY_RIGHT || key == KEY_NUMPAD_PLUS ||
            key == KEY_NUMPAD_MINUS || key == KEY_PAGE_UP || key == KEY_PAGE_DOWN)
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
            msg_.show(bass ? translate("Levels", "Error, Please enter a number between -10 and 10!")
                           : translate("Levels", "Error, Please enter a number between -6 and 6!"),
                      translate("Levels", "Range Check Error"), MsgIcon::Exclamation, MsgButtons::OK);
            // The refused text goes: the field shows the slider's value
            // again, selected, so typing replaces it.
            field.setText(text(family, s.value()));
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
    auto& e = c_.eq;
    auto& t = c_.trim;
    auto& o = c_.obe;
    auto apply = [this] { eqChange_.ApplyChannelChange(); };
    for (int i = 0; i < 27; ++i) {
        Slider& s = e.sclA[i];
        wireSlider(s, e.lblBand[i], Family::Band, [this, &s, apply] {
            if (applyCondition(s)) apply();
        }, [&e, i](int key) { e.sclA[key == KEY_LEFT ? (i + 26) % 27 : (i + 1) % 27].focusIn(); });
    }
    for (int i = 0; i < 9; ++i) {
        Slider& s = e.sclB[i];
        wireSlider(s, e.lblLSRSv[i], Family::Band, [this, &s, apply] {
            if (applyCondition(s)) apply();
        }, [&e, i](int key) { e.sclB[key == KEY_LEFT ? (i + 8) % 9 : (i + 1) % 9].focusIn(); });
    }
    wireSlider(e.sclBass, e.lblBass, Family::Bass, [this, &e, apply] {
        if (applyCondition(e.sclBass)) apply();
    }, [&e](int) { e.sclTreb.focusIn(); });
    wireSlider(e.sclTreb, e.lblTreb, Family::Bass, [this, &e, apply] {
        if (applyCondition(e.sclTreb)) apply();
    }, [&e](int) { e.sclBass.focusIn(); });

    wireSlider(e.sclGain, e.lblGain, Family::Gain, [this, &e] {
        v_.audioBlock.channelEq(5).subGain() = static_cast<std::uint8_t>(e.sclGain.value());
        if (applyCondition(e.sclGain)) {
            e.lblGain.setText(bandText(e.sclGain.value()));
            upload_.UploadToUnit(2, 0);
        }
    }, nullptr);

    for (int i = 0; i < 6; ++i) {
        Slider& s = t.sclPNG[i];
        wireSlider(s, t.lblPNG[i], Family::Trim, [this, &t, &s, i] {
            v_.audioBlock.trimLevel(i) = static_cast<std::uint8_t>(s.value());
            if (applyCondition(s)) {
                doc_.markDirty();
                t.lblPNG[i].setText(bandText(s.value()));
                upload_.UploadToUnit(2, 0);
            }
        }, [this, &t, i](int key) {
            t.sclPNG[key == KEY_LEFT ? tables_.SliderLeftNeighbour[i] : tables_.SliderRightNeighbour[i]].focusIn();
        });
    }

    wireSlider(o.sclOBE, o.lblOBE, Family::Obe, [this, &o] {
        // The slider runs the other way from the stored gain.
        v_.audioBlock.obeGain() = static_cast<std::uint8_t>(24 - o.sclOBE.value());
        if (applyCondition(o.sclOBE)) {
            doc_.markDirty();
            o.lblOBE.setText(obeSliderText(o.sclOBE.value()));
            upload_.UploadToUnit(2, 0);
        }
    }, nullptr);
}

}  // namespace zelk
