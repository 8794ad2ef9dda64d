#include "upload.h"

#include "editor.h"

namespace zelk {

void stampParts(const LocalTime& t, StampDate& d, StampTime& tm) {
    d.year = t.year % 100;
    d.day = t.day;
    d.month = t.month + 1;  // January is stored as 2
    // Weekday codes: FRI 0, SAT 1, SUN 2, MON 3, TUE 4, WED 5, THU 6.
    static constexpr int codes[7] = {2, 3, 4, 5, 6, 0, 1};  // by weekday, Sunday first
    d.weekday = codes[((t.weekday % 7) + 7) % 7];
    tm.hour = t.hour > 12 ? t.hour - 12 : t.hour;
    tm.minute = t.minute;
    tm.afternoon = t.hour >= 12 ? 1 : 0;
}

void PackUploadStamp(AudioBlock& destination, const StampDate& d, const StampTime& t) {
    destination.uploadStamp(0) = static_cast<std::uint8_t>(d.month * 16 + t.hour);
    destination.uploadStamp(1) = static_cast<std::uint8_t>(d.weekday * 32 + d.day);
    destination.uploadStamp(2) = static_cast<std::uint8_t>(t.afternoon * 64 + t.minute);
    destination.uploadStamp(3) = static_cast<std::uint8_t>(d.year);
}

void Upload::wire() {
    auto& m = ed_.main;
    for (int i = 0; i < 6; ++i) m.cmdUp[i].onClick = [this, i] { cmdUp_Click(i); };
    m.mnuAuto.onClick = [this] { mnuAuto_Click(); };
    m.mnuConfirm.onClick = [this] { mnuConfirm_Click(); };
    m.mnuShort.onClick = [this] { mnuShort_Click(); };
}

void Upload::UploadToUnit(int which, int force) {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    if (!v.OnLine) return;
    if (force == 0 && (!m.mnuAuto.checked() || v.LoadingControls)) return;
    if (force == -1 && !m.mnuAuto.checked() && m.mnuConfirm.checked()) {
        if (ed_.box("Are you sure you want to Upload the Current Settings?", "Confirm Upload!", MsgIcon::Question,
                    MsgButtons::YesNo) == MsgResult::No)
            return;
    }
    StampDate d;
    StampTime t;
    stampParts(ed_.svc.clock.now(), d, t);
    PackUploadStamp(v.audioBlock, d, t);
    if (which == 0 || which == 1) ed_.dispatch.RetryFunction(FN_SetSystem);
    if (which == 0 || which == 2) ed_.dispatch.RetryFunction(FN_SetAudio);
    ed_.theaterInfo.ShowDate();
}

void Upload::cmdUp_Click(int) { UploadToUnit(0, -1); }

void Upload::ShowSettings() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    auto& d = ed_.dispatch;
    v.LoadingControls = kTrue;
    [&] {
        if (d.RetryFunction(FN_GetAudio) != 0) return;
        if (d.RetryFunction(FN_GetSystem) != 0) return;
        ApplyUnitAudioSettings();
        ApplyUnitSystemSettings();
        if (d.RetryFunction(FN_GetMute) != 0) return;
        if (d.RetryFunction(FN_GetVol) != 0) return;
        if (d.RetryFunction(FN_GetFormat) != 0) return;
        ed_.polling.ReflectMuteStatus();
        ed_.polling.ReflectModeStatus();
        ed_.polling.ReflectVolumeLevel(true);
        if (v.OnLine) {
            m.Frame1[3].setEnabled(true);
            m.Frame1[1].setEnabled(true);
            m.Frame8[0].setEnabled(true);
            m.Frame8[1].setEnabled(true);
            m.cmdMute4.setEnabled(true);
        }
        m.SettingsDirty = kFalse;
        ed_.theaterInfo.ShowDate();
    }();
    v.LoadingControls = kFalse;
}

void Upload::ApplyUnitSystemSettings() {
    auto& m = ed_.main;
    auto& s = ed_.vals.systemBlock;
    m.cboSurroundDelay.setListIndex(s.surroundDelay());
    m.cboNonsyncMode.setListIndex(s.nonsyncMode());
    m.cboNonsyncTrim.setListIndex(s.nonsyncTrim());
    if (s.powerOnFormat() < m.optDefaultFormat.size()) m.optDefaultFormat[s.powerOnFormat()].setValue(true);
    if (s.f1KeyAssignment() < m.optF1Key.size()) m.optF1Key[s.f1KeyAssignment()].setValue(true);
    m.chkDisableMatrix.setValue(s.matrixDisabled() ? 1 : 0);
    m.cboReaderDelay.setListIndex(s.readerDelay());
}

void Upload::ApplyUnitAudioSettings() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    auto& a = v.audioBlock;
    for (int ch = 0; ch < kChannels; ++ch) m.sclPNG[ch].setValue(a.trimLevel(ch));
    m.sclOBE.setValue(24 - a.obeGain());
    v.ObeEnabled = vb(a.obeFrequency() != 0);
    v.ObeFrequencyIndex = a.obeFrequency() != 0 ? a.obeFrequency() : 1;
    ed_.polling.ReflectOBEStatus();
}

void Upload::applyAutoUploadRule() {
    auto& m = ed_.main;
    const bool autoOn = m.mnuAuto.checked();
    m.mnuShort.setEnabled(!autoOn);
    m.mnuConfirm.setEnabled(!autoOn);
}

void Upload::mnuAuto_Click() {
    auto& m = ed_.main;
    m.mnuAuto.setChecked(!m.mnuAuto.checked());
    applyAutoUploadRule();
}

void Upload::mnuConfirm_Click() { ed_.main.mnuConfirm.setChecked(!ed_.main.mnuConfirm.checked()); }
void Upload::mnuShort_Click() { ed_.main.mnuShort.setChecked(!ed_.main.mnuShort.checked()); }

}  // namespace zelk
