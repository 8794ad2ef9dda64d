#include "controls/levels.h"

#include <algorithm>

#include "controls/unit_command.h"
#include "form/translate.h"
#include "model/lookup.h"

namespace zelk {

namespace {
std::string onOff(bool on) { return on ? translate("Captions", "On") : translate("Captions", "Off"); }
}  // namespace

Levels::Levels(ModVals& vals, Dispatcher& d, LiveStatus& live, PollControl& polling, SliderKeys& keys,
               MessageBoxService& msg, UiService& ui, Controls c)
    : v_(vals), d_(d), live_(live), polling_(polling), keys_(keys), msg_(msg), ui_(ui), c_(c) {
    auto& f = c_.format;
    for (int i = 0; i < 3; ++i) {
        auto* g = c_.groups[static_cast<std::size_t>(i)];
        g->cmdSet7.onClick = [this, i] { cmdSet7_Click(i); };
        g->cmdAdjust.onClick = [this, i] { cmdAdjust_Click(i); };
        g->cmdMute.onClick = [this] { cmdMute_Click(); };
    }
    f.cmdMute.onClick = [this] { cmdMute_Click(); };
    for (int i = 0; i < 6; ++i) {
        c_.trim.cmdPN[i].onClick = [this, i] { cmdPN_Click(i); };
        c_.trim.cmdPhase[i].onClick = [this, i] { cmdPhase_Click(i); };
    }
    c_.trim.cmdRT60.onClick = [this] { cmdRT60_Click(); };
    c_.obe.cmdPNC.onClick = [this] { cmdPNC_Click(); };
    c_.obe.cmdPNS.onClick = [this] { cmdPNS_Click(); };

    // Main fader: the level follows the thumb while dragging and is sent
    // when the move ends.
    f.sclVol.onScroll = [this] {
        v_.CurrentVolume = static_cast<std::int16_t>(99 - c_.format.sclVol.value());
        live_.ReflectVolumeLevel(false);
    };
    f.sclVol.onChange = [this] { sclVol_Change(); };
    f.sclVol.onMouseDown = [this] { polling_.suspend(); };
    f.sclVol.onMouseUp = [this] { polling_.resume(); };
    f.sclVol.onKeyDown = [this](int key) {
        polling_.suspend();
        keys_.SliderKeysUp = kFalse;
        stepLevel(key);
    };
    // A step key's move ends when the key is released: the level goes to
    // the unit then, once, whichever key it was.
    f.sclVol.onKeyUp = [this](int) {
        polling_.resume();
        keys_.SliderKeysUp = kTrue;
        sclVol_Change();
    };
    std::array<TextBox*, 5> fields = {&f.lblVol, &c_.groups[0]->lblVol, &c_.groups[1]->lblVol,
                                      &c_.groups[2]->lblVol, &c_.fader.lblVol};
    for (TextBox* field : fields) {
        field->onValidate = [this, field](bool& cancel) { lblVol_Validate(*field, cancel); };
        field->onKeyDown = [field](int key, int) {
            if (key == KEY_ESCAPE) field->setText("");
            if (key == KEY_ENTER || key == KEY_ESCAPE) {
                field->validate();
                field->setFocus();
            }
        };
    }

    // Fader dialog.
    auto& fd = c_.fader;
    fd.sclVol.onGotFocus = [this] {
        v_.FaderDialogActive = kTrue;
        faderFocusValue_ = static_cast<std::int16_t>(c_.fader.sclVol.value());
    };
    fd.sclVol.onLostFocus = [this] { v_.FaderDialogActive = kFalse; };
    fd.sclVol.onScroll = [this] {
        v_.CurrentVolume = static_cast<std::int16_t>(99 - c_.fader.sclVol.value());
        live_.ReflectVolumeLevel(true);
    };
    fd.sclVol.onChange = [this] {
        if (!v_.FaderDialogActive) return;
        v_.CurrentVolume = static_cast<std::int16_t>(99 - c_.fader.sclVol.value());
        if (faderKeysUp_ && !v_.LoadingControls) {
            live_.ReflectVolumeLevel(false);
            d_.RetryFunction(FN_SetVol);
        }
    };
    fd.sclVol.onMouseDown = [this] { polling_.suspend(); };
    fd.sclVol.onMouseUp = [this] { polling_.resume(); };
    fd.sclVol.onKeyDown = [this](int key) {
        polling_.suspend();
        faderKeysUp_ = false;
        stepLevel(key);
    };
    fd.sclVol.onKeyUp = [this](int) {
        polling_.resume();
        faderKeysUp_ = true;
        if (c_.fader.sclVol.onChange) c_.fader.sclVol.onChange();
    };
    fd.cmdClose.onClick = [this] { frmFader_Unload(); };
}

void Levels::stepLevel(int key) {
    int level = v_.CurrentVolume;
    if (key == KEY_UP || key == KEY_RIGHT || key == KEY_NUMPAD_PLUS) ++level;
    if (key == KEY_DOWN || key == KEY_LEFT || key == KEY_NUMPAD_MINUS) --level;
    if (key == KEY_PAGE_UP) level += kFaderPageStep;
    if (key == KEY_PAGE_DOWN) level -= kFaderPageStep;
    v_.CurrentVolume = static_cast<std::int16_t>(std::clamp(level, 0, 99));
    live_.ReflectVolumeLevel(true);
}

void Levels::sclVol_Change() {
    if (v_.FaderDialogActive) return;
    v_.CurrentVolume = static_cast<std::int16_t>(99 - c_.format.sclVol.value());
    if (keys_.SliderKeysUp && !v_.LoadingControls) {
        live_.ReflectVolumeLevel(false);
        d_.RetryFunction(FN_SetVol);
    }
}

void Levels::lblVol_Validate(TextBox& field, bool& cancel) {
    long level = v_.CurrentVolume;
    double typed = 0;
    if (readTypedNumber(field.text(), typed)) level = roundHalfEven(typed * 10);
    if (level >= 0 && level <= 99) {
        v_.CurrentVolume = static_cast<std::int16_t>(level);
        live_.ReflectVolumeLevel(true);
        field.setText(volumeText(static_cast<int>(level)));
        field.setSelection(static_cast<int>(field.text().size()), 0);
    } else {
        cancel = true;
        msg_.show(translate("Levels", "Error, Please enter a number between 0 and 9.9!"),
                  translate("Levels", "Range Check Error"), MsgIcon::Exclamation, MsgButtons::OK);
        // The refused text goes: the field shows the level in force again,
        // selected, so typing replaces it.
        field.setText(volumeText(v_.CurrentVolume));
        field.setSelection(0, static_cast<int>(field.text().size()));
    }
}

void Levels::setFaderText(const std::string& text) {
    c_.format.lblVol.setText(text);
    bool cancel = false;
    lblVol_Validate(c_.format.lblVol, cancel);
}

void Levels::cmdSet7_Click(int) {
    if (msg_.show(translate("Levels", "Are you sure you want to Set Fader = 7.0 ?"),
                  translate("Levels", "Set Fader = 7.0"), MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
        return;
    v_.CurrentVolume = 70;
    live_.ReflectVolumeLevel(true);
}

// The front end places the dialog beside the main window, clear of the
// controls it adjusts.
void Levels::cmdAdjust_Click(int) {
    auto& fd = c_.fader;
    fd.form.setVisible(true);
    fd.sclVol.focusIn();
}

void Levels::frmFader_Unload() {
    bool cancel = false;
    lblVol_Validate(c_.fader.lblVol, cancel);
    c_.fader.form.setVisible(false);
    v_.FaderDialogActive = kFalse;
}

// The buttons below change their look only for what the unit accepted:
// off line, or when the command fails, they stay as they were.
void Levels::cmdMute_Click() {
    const std::int16_t before = v_.CurrentMute;
    v_.CurrentMute = vb(before == 0);
    if (!unitTook(d_, v_, FN_SetMute)) v_.CurrentMute = before;
    live_.ReflectMuteStatus();
}

void Levels::setPink(int ch, bool on) {
    pink_[static_cast<std::size_t>(ch)] = on;
    showToggle(c_.trim.cmdPN[ch], on, onOff(on));
}

void Levels::setPhase(int ch, bool on) {
    phase_[static_cast<std::size_t>(ch)] = on;
    showToggle(c_.trim.cmdPhase[ch], on, on ? translate("Captions", "Inverted") : translate("Captions", "In Phase"));
}

void Levels::setPinkCenter(bool on) {
    pinkCenter_ = on;
    showToggle(c_.obe.cmdPNC, on, onOff(on));
}

void Levels::setPinkSub(bool on) {
    pinkSub_ = on;
    showToggle(c_.obe.cmdPNS, on, onOff(on));
}

void Levels::cmdPN_Click(int i) {
    const bool on = !pinkOn(i);
    if (!unitTook(d_, v_, FN_SetPink, i, on ? -1 : 0)) return;
    setPink(i, on);
    if (v_.CurrentMute) cmdMute_Click();
}

void Levels::cmdPhase_Click(int i) {
    const bool on = !phaseInverted(i);
    if (!unitTook(d_, v_, FN_SetPhase, i, on ? -1 : 0)) return;
    setPhase(i, on);
}

void Levels::cmdRT60_Click() {
    const bool on = !rt60_;
    if (!unitTook(d_, v_, FN_SetRT60, 0, on ? -1 : 0)) return;
    for (int ch = 0; ch < kChannels; ++ch) setPink(ch, false);  // display only
    rt60_ = on;
    showToggle(c_.trim.cmdRT60, rt60_, onOff(rt60_));
    ui_.repaint();
}

void Levels::cmdPNC_Click() {
    const bool on = !pinkCenter_;
    if (unitTook(d_, v_, FN_SetPink, 2, on ? -1 : 0)) setPinkCenter(on);
}

void Levels::cmdPNS_Click() {
    const bool on = !pinkSub_;
    if (unitTook(d_, v_, FN_SetPink, 5, on ? -1 : 0)) setPinkSub(on);
}

void Levels::leaveTrimTab() {
    for (int i = 0; i < kChannels; ++i) {
        if (pinkOn(i)) d_.RetryFunction(FN_SetPink, i, 0);
        setPink(i, false);
        if (phaseInverted(i)) d_.RetryFunction(FN_SetPhase, i, 0);
        setPhase(i, false);
    }
}

void Levels::leaveObeTab() {
    if (pinkCenter_) {
        setPinkCenter(false);
        d_.RetryFunction(FN_SetPink, 2, 0);
    }
    if (pinkSub_) {
        setPinkSub(false);
        d_.RetryFunction(FN_SetPink, 5, 0);
    }
    d_.RetryFunction(FN_StopStream);
}

void Levels::leaveOptionsTab() {
    setPinkCenter(false);
    d_.RetryFunction(FN_SetPink, 2, 0);
    setPinkSub(false);
    d_.RetryFunction(FN_SetPink, 5, 0);
}

void Levels::enterOpticalTab() {
    if (c_.fader.form.visible()) frmFader_Unload();
}

void Levels::showTestSignalsOff() {
    for (int ch = 0; ch < kChannels; ++ch) {
        setPink(ch, false);
        setPhase(ch, false);
    }
}

void Levels::unitQuietened() {
    showTestSignalsOff();
    setPinkCenter(false);
    setPinkSub(false);
}

}  // namespace zelk
