#include "levels.h"

#include <algorithm>

#include "editor.h"

namespace zelk {

void Levels::wire() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    for (int i = 0; i < 3; ++i) {
        m.cmdSet7[i].onClick = [this, i] { cmdSet7_Click(i); };
        m.cmdAdjust[i].onClick = [this, i] { cmdAdjust_Click(i); };
    }
    for (Button* b : {&m.cmdMute, &m.cmdMute2, &m.cmdMute3, &m.cmdMute5}) b->onClick = [this] { cmdMute_Click(); };
    for (int i = 0; i < 6; ++i) {
        m.cmdPN[i].onClick = [this, i] { cmdPN_Click(i); };
        m.cmdPhase[i].onClick = [this, i] { cmdPhase_Click(i); };
    }
    m.cmdRT60.onClick = [this] { cmdRT60_Click(); };
    m.cmdPNC.onClick = [this] { cmdPNC_Click(); };
    m.cmdPNS.onClick = [this] { cmdPNS_Click(); };

    // Main fader: the level follows the thumb while dragging and is sent
    // when the move ends.
    m.sclVol.onScroll = [this, &m, &v] {
        v.CurrentVolume = static_cast<std::int16_t>(99 - m.sclVol.value());
        ed_.polling.ReflectVolumeLevel(false);
    };
    m.sclVol.onChange = [this] { sclVol_Change(); };
    m.sclVol.onMouseDown = [&m] { m.tmrPoll.setEnabled(false); };
    m.sclVol.onMouseUp = [&m] { m.tmrPoll.setEnabled(true); };
    m.sclVol.onKeyDown = [this, &m](int key) {
        m.tmrPoll.setEnabled(false);
        m.SliderKeysUp = kFalse;
        stepLevel(key);
    };
    m.sclVol.onKeyUp = [this, &m](int key) {
        m.tmrPoll.setEnabled(true);
        m.SliderKeysUp = kTrue;
        if (key == KEY_NUMPAD_PLUS || key == KEY_NUMPAD_MINUS) sclVol_Change();
    };
    for (auto& f : m.lblVol) {
        f.onValidate = [this, &f](bool& cancel) { lblVol_Validate(f, cancel); };
        f.onKeyDown = [&f](int key, int) {
            if (key == KEY_ESCAPE) f.setText("");
            if (key == KEY_ENTER || key == KEY_ESCAPE) {
                f.validate();
                f.setFocus();
            }
        };
    }

    // Fader dialog.
    auto& fd = ed_.fader;
    fd.sclVol.onGotFocus = [&v, &fd] {
        v.FaderDialogActive = kTrue;
        fd.SliderFocusValue = static_cast<std::int16_t>(fd.sclVol.value());
    };
    fd.sclVol.onLostFocus = [&v] { v.FaderDialogActive = kFalse; };
    fd.sclVol.onScroll = [this, &v, &fd] {
        v.CurrentVolume = static_cast<std::int16_t>(99 - fd.sclVol.value());
        ed_.polling.ReflectVolumeLevel(true);
    };
    fd.sclVol.onChange = [this, &v, &fd] {
        if (!v.FaderDialogActive) return;
        v.CurrentVolume = static_cast<std::int16_t>(99 - fd.sclVol.value());
        if (fd.SliderKeysUp && !v.LoadingControls) {
            ed_.polling.ReflectVolumeLevel(false);
            ed_.dispatch.RetryFunction(FN_SetVol);
        }
    };
    fd.sclVol.onMouseDown = [&m] { m.tmrPoll.setEnabled(false); };
    fd.sclVol.onMouseUp = [&m] { m.tmrPoll.setEnabled(true); };
    fd.lblVol.onValidate = [this, &fd](bool& cancel) { lblVol_Validate(fd.lblVol, cancel); };
}

void Levels::stepLevel(int key) {
    auto& v = ed_.vals;
    int level = v.CurrentVolume;
    if (key == KEY_UP || key == KEY_RIGHT || key == KEY_NUMPAD_PLUS) ++level;
    if (key == KEY_DOWN || key == KEY_LEFT || key == KEY_NUMPAD_MINUS) --level;
    v.CurrentVolume = static_cast<std::int16_t>(std::clamp(level, 0, 99));
    ed_.polling.ReflectVolumeLevel(true);
}

void Levels::sclVol_Change() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    if (v.FaderDialogActive) return;
    v.CurrentVolume = static_cast<std::int16_t>(99 - m.sclVol.value());
    if (m.SliderKeysUp && !v.LoadingControls) {
        ed_.polling.ReflectVolumeLevel(false);
        ed_.dispatch.RetryFunction(FN_SetVol);
    }
}

void Levels::lblVol_Validate(TextBox& field, bool& cancel) {
    auto& v = ed_.vals;
    long level = v.CurrentVolume;
    double typed = 0;
    if (readTypedNumber(field.text(), typed)) level = roundHalfEven(typed * 10);
    if (level >= 0 && level <= 99) {
        v.CurrentVolume = static_cast<std::int16_t>(level);
        ed_.polling.ReflectVolumeLevel(true);
        field.setText(volumeText(static_cast<int>(level)));
        field.setSelection(static_cast<int>(field.text().size()), 0);
    } else {
        cancel = true;
        ed_.box("Error, Please enter a number between 0 and 9.9!", "Range Check Error", MsgIcon::Exclamation,
                MsgButtons::OK);
        field.setSelection(0, static_cast<int>(field.text().size()));
    }
}

void Levels::cmdSet7_Click(int) {
    if (ed_.box("Are you sure you want to Set Fader = 7.0 ?", "Set Fader = 7.0", MsgIcon::Question,
                MsgButtons::YesNo) != MsgResult::Yes)
        return;
    ed_.vals.CurrentVolume = 70;
    ed_.polling.ReflectVolumeLevel(true);
}

void Levels::cmdAdjust_Click(int) {
    auto& fd = ed_.fader;
    fd.form.move(0, 0);
    fd.form.setVisible(true);
    fd.sclVol.focusIn();
}

void Levels::frmFader_Unload() {
    bool cancel = false;
    lblVol_Validate(ed_.fader.lblVol, cancel);
    ed_.fader.form.setVisible(false);
    ed_.vals.FaderDialogActive = kFalse;
}

void Levels::cmdMute_Click() {
    auto& v = ed_.vals;
    v.CurrentMute = vb(v.CurrentMute == 0);
    ed_.dispatch.RetryFunction(FN_SetMute);
    ed_.polling.ReflectMuteStatus();
}

void Levels::cmdPN_Click(int i) {
    auto& m = ed_.main;
    const bool on = !m.cmdPN[i].bold();
    m.showToggle(m.cmdPN[i], on, on ? "On" : "Off");
    ed_.dispatch.RetryFunction(FN_SetPink, i, on ? -1 : 0);
    if (ed_.vals.CurrentMute) cmdMute_Click();
}

void Levels::cmdPhase_Click(int i) {
    auto& m = ed_.main;
    const bool on = !m.cmdPhase[i].bold();
    m.showToggle(m.cmdPhase[i], on, on ? "Inverted" : "In Phase");
    ed_.dispatch.RetryFunction(FN_SetPhase, i, on ? -1 : 0);
}

void Levels::cmdRT60_Click() {
    auto& m = ed_.main;
    for (auto& b : m.cmdPN) m.showToggle(b, false, "Off");  // display only
    const bool on = m.cmdRT60.caption() != "On";
    m.showToggle(m.cmdRT60, on, on ? "On" : "Off");
    if (on) ed_.svc.ui.repaint();
    ed_.dispatch.RetryFunction(FN_SetRT60, 0, on ? -1 : 0);
}

void Levels::togglePink(Button& b, int channel) {
    const bool on = b.caption() != "On";
    ed_.main.showToggle(b, on, on ? "On" : "Off");
    ed_.dispatch.RetryFunction(FN_SetPink, channel, on ? -1 : 0);
}

void Levels::cmdPNC_Click() { togglePink(ed_.main.cmdPNC, 2); }
void Levels::cmdPNS_Click() { togglePink(ed_.main.cmdPNS, 5); }

}  // namespace zelk
