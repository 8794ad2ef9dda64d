#include "connection/upload.h"

#include "model/stamp.h"

namespace zelk {

Upload::Upload(ModVals& vals, Dispatcher& d, Document& doc, LiveStatus& live, OnLineGate& gate, StampDisplay& stamp,
               ClockService& clock, MessageBoxService& msg, Controls c)
    : v_(vals), d_(d), doc_(doc), live_(live), gate_(gate), stamp_(stamp), clock_(clock), msg_(msg), c_(c) {
    for (int i = 0; i < 6; ++i) c_.cmdUp[static_cast<std::size_t>(i)]->onClick = [this, i] { cmdUp_Click(i); };
    c_.bar.mnuAuto.onClick = [this] { mnuAuto_Click(); };
    c_.bar.mnuConfirm.onClick = [this] { mnuConfirm_Click(); };
    c_.bar.mnuShort.onClick = [this] { mnuShort_Click(); };
    showOptions();
}

void Upload::UploadToUnit(int which, int force) {
    if (!v_.OnLine) return;
    if (force == 0 && (!auto_ || v_.LoadingControls)) return;
    if (force == -1 && beforeExplicitUpload && !beforeExplicitUpload(which)) return;
    if (force == -1 && !auto_ && confirm_) {
        if (msg_.show("Are you sure you want to Upload the Current Settings?", "Confirm Upload!", MsgIcon::Question,
                      MsgButtons::YesNo) == MsgResult::No)
            return;
    }
    StampDate d;
    StampTime t;
    stampParts(clock_.now(), d, t);
    PackUploadStamp(v_.audioBlock, d, t);
    if (which == 0 || which == 1) d_.RetryFunction(FN_SetSystem);
    if (which == 0 || which == 2) d_.RetryFunction(FN_SetAudio);
    stamp_.ShowDate();
    if (afterUpload) afterUpload(which);
}

void Upload::cmdUp_Click(int) { UploadToUnit(0, -1); }

void Upload::ShowSettings() {
    LoadingScope loading(v_);
    if (d_.RetryFunction(FN_GetAudio) != 0) return;
    if (d_.RetryFunction(FN_GetSystem) != 0) return;
    ApplyUnitAudioSettings();
    ApplyUnitSystemSettings();
    if (d_.RetryFunction(FN_GetMute) != 0) return;
    if (d_.RetryFunction(FN_GetVol) != 0) return;
    if (d_.RetryFunction(FN_GetFormat) != 0) return;
    live_.ReflectMuteStatus();
    live_.ReflectModeStatus();
    live_.ReflectVolumeLevel(true);
    if (v_.OnLine) gate_.enableLiveFrames();
    doc_.markClean();
    stamp_.ShowDate();
}

void Upload::ApplyUnitSystemSettings() {
    auto& o = c_.options;
    auto& s = v_.systemBlock;
    o.cboSurroundDelay.setListIndex(s.surroundDelay());
    o.cboNonsyncMode.setListIndex(s.nonsyncMode());
    o.cboNonsyncTrim.setListIndex(s.nonsyncTrim());
    if (s.powerOnFormat() < o.optDefaultFormat.size()) o.optDefaultFormat[s.powerOnFormat()].setValue(true);
    if (s.f1KeyAssignment() < o.optF1Key.size()) o.optF1Key[s.f1KeyAssignment()].setValue(true);
    o.chkDisableMatrix.setValue(s.matrixDisabled() ? 1 : 0);
    o.cboReaderDelay.setListIndex(s.readerDelay());
}

void Upload::ApplyUnitAudioSettings() {
    auto& a = v_.audioBlock;
    for (int ch = 0; ch < kChannels; ++ch) c_.trim.sclPNG[ch].setValue(a.trimLevel(ch));
    c_.obe.sclOBE.setValue(24 - a.obeGain());
    v_.ObeEnabled = vb(a.obeFrequency() != 0);
    v_.ObeFrequencyIndex = a.obeFrequency() != 0 ? a.obeFrequency() : 1;
    live_.ReflectOBEStatus();
}

void Upload::setOptions(bool autoUpload, bool confirm, bool shortcuts) {
    auto_ = autoUpload;
    confirm_ = confirm;
    short_ = shortcuts;
    showOptions();
}

// The check marks show the options; "Confirm Message Box" and "Enable
// Shortcuts" only apply without automatic upload.
void Upload::showOptions() {
    auto& b = c_.bar;
    b.mnuAuto.setChecked(auto_);
    b.mnuConfirm.setChecked(confirm_);
    b.mnuShort.setChecked(short_);
    b.mnuShort.setEnabled(!auto_);
    b.mnuConfirm.setEnabled(!auto_);
}

void Upload::mnuAuto_Click() { setOptions(!auto_, confirm_, short_); }
void Upload::mnuConfirm_Click() { setOptions(auto_, !confirm_, short_); }
void Upload::mnuShort_Click() { setOptions(auto_, confirm_, !short_); }

}  // namespace zelk
