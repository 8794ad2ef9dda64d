#include "polling.h"

#include <cmath>
#include <cstdlib>

#include "editor.h"

namespace zelk {

int parseRefreshSeconds(const std::string& text, int previous) {
    const char* s = text.c_str();
    char* end = nullptr;
    const double v = std::strtod(s, &end);
    if (end == s) return previous;
    while (*end == ' ') ++end;
    if (*end != '\0' || !std::isfinite(v)) return previous;
    const double n = std::floor(v);
    // A period below one second would re-read the unit at every tick and
    // starve the line: keep the previous period, as for letters.
    if (n < 1 || n > 32767) return previous;
    return static_cast<int>(n);
}

void Polling::wire() {
    auto& m = ed_.main;
    m.tmrPoll.onTimer = [this] { tmrPoll_Timer(); };
    m.tmrRefresh.onTimer = [this] { tmrRefresh_Timer(); };
    m.Timer2.onTimer = [this] { Timer2_Timer(); };
    m.mnuRef.onClick = [this] { mnuRef_Click(); };
    m.mnuAutoRef.onClick = [this] { mnuAutoRef_Click(); };
    auto& r = ed_.ref;
    r.chkRef.onClick = [this] { chkRef_Click(); };
    r.Command1.onClick = [this] { Command1_Click(); };
}

void Polling::tmrPoll_Timer() {
    auto& v = ed_.vals;
    if (v.UnitBusy || !v.OnLine) return;
    v.PollActive = kTrue;
    ed_.dispatch.RetryFunction(FN_GetFormat);
    ed_.dispatch.RetryFunction(FN_GetMute);
    ed_.dispatch.RetryFunction(FN_GetVol);
    v.PollActive = kFalse;
}

void Polling::tmrRefresh_Timer() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    if (v.UnitBusy || !v.OnLine || !m.mnuAutoRef.checked()) return;
    m.RefreshCounter = static_cast<std::int16_t>(m.RefreshCounter + 1);
    if (m.RefreshCounter >= v.RefreshSeconds) {
        mnuRef_Click();
        m.RefreshCounter = 0;
    }
}

void Polling::Timer2_Timer() { ed_.main.lblStart.setVisible(!ed_.main.lblStart.visible()); }

void Polling::mnuRef_Click() {
    auto& v = ed_.vals;
    if (v.UnitBusy || !v.OnLine) return;
    ed_.upload.ShowSettings();
    ed_.channels.LoadChannelData();
    ed_.main.form.setCaption(kAppTitle + "   <CP Settings>");
}

void Polling::mnuAutoRef_Click() {
    auto& m = ed_.main;
    auto& r = ed_.ref;
    m.form.setEnabled(false);
    r.form.setVisible(true);
    r.chkRef.setValue(ed_.vals.AutoRefreshEnabled);
    r.txtRef.setText(std::to_string(ed_.vals.RefreshSeconds));
    chkRef_Click();
    r.form.setFocus();
    if (m.mnuAutoRef.checked() && !m.mnuAuto.checked()) ed_.upload.mnuAuto_Click();
}

void Polling::chkRef_Click() { ed_.ref.txtRef.setEnabled(ed_.ref.chkRef.value() == 1); }

void Polling::Command1_Click() { frmRef_Unload(); }

void Polling::frmRef_Unload() {
    auto& v = ed_.vals;
    auto& r = ed_.ref;
    v.RefreshSeconds = static_cast<std::int16_t>(parseRefreshSeconds(r.txtRef.text(), v.RefreshSeconds));
    v.AutoRefreshEnabled = static_cast<std::int16_t>(r.chkRef.value());
    ed_.main.mnuAutoRef.setChecked(v.AutoRefreshEnabled == 1);
    r.form.setVisible(false);
    ed_.main.form.setEnabled(true);
}

void Polling::ReflectModeStatus() {
    auto& m = ed_.main;
    for (int i = 0; i < 6; ++i) {
        if (i == ed_.vals.CurrentFormat) {
            m.cmdMode[i].setBackColour(kGrey);
            m.cmdMode[i].setBold(true);
        } else {
            m.offLook(m.cmdMode[i]);
        }
    }
}

void Polling::ReflectMuteStatus() {
    auto& m = ed_.main;
    const bool muted = ed_.vals.CurrentMute != 0;
    for (Button* b : {&m.cmdMute, &m.cmdMute2, &m.cmdMute3, &m.cmdMute4, &m.cmdMute5}) {
        if (muted) {
            b->setBackColour(kRed);
            b->setCaption("Un-Mute");
            b->setBold(true);
        } else {
            m.offLook(*b);
            b->setCaption("Mute");
        }
    }
}

void Polling::ReflectVolumeLevel(bool setMainSlider) {
    auto& m = ed_.main;
    const int level = ed_.vals.CurrentVolume;
    const std::string text = volumeText(level);
    for (auto& f : m.lblVol) f.setText(text);
    ed_.fader.lblVol.setText(text);
    ed_.fader.sclVol.setValue(99 - level);
    if (setMainSlider) m.sclVol.setValue(99 - level);
}

void Polling::ReflectOBEStatus() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    const bool on = v.ObeEnabled != 0;
    if (on) {
        m.cmdOBEEnable.setCaption("OBE Enable");
        m.cmdOBEEnable.setBackColour(kYellow);
    } else {
        m.cmdOBEEnable.setCaption("OBE Disable");
        m.cmdOBEEnable.setBackColour(m.neutralColour());
    }
    m.cboObeF.setListIndex(v.ObeFrequencyIndex - 1);
    m.cmdOBEEnable.setBold(on);
    m.sclOBE.setEnabled(on);
    m.cboObeF.setEnabled(on);
    m.lblOBE.setEnabled(on);
}

}  // namespace zelk
