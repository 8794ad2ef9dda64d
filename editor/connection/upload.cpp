#include "connection/upload.h"

#include <cstdio>

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
    // An edit that does not go to the unit says so, until an upload does.
    const bool edit = force == 0 && !v_.LoadingControls;
    if (!v_.OnLine) {
        if (edit) c_.bar.staStatus.setCaption(kKeptOffLine);
        return;
    }
    if (force == 0 && (!auto_ || v_.LoadingControls)) {
        if (edit) c_.bar.staStatus.setCaption(kNotSentYet);
        return;
    }
    if (force == -1 && beforeExplicitUpload && !beforeExplicitUpload(which)) return;
    if (force == -1 && !auto_ && confirm_) {
        if (msg_.show("Are you sure you want to Upload the Current Settings?", "Confirm Upload!", MsgIcon::Question,
                      MsgButtons::YesNo) == MsgResult::No)
            return;
    }
    StampDate d;
    StampTime t;
    const LocalTime now = clock_.now();
    stampParts(now, d, t);
    PackUploadStamp(v_.audioBlock, d, t);
    if (beforeSend) beforeSend(which);
    // A failure takes the editor off line, after which the library is not
    // called (and 0 comes back): what was stored is what succeeded on line.
    sent_ = {false, false, force == -1};
    if ((which == 0 || which == 1) && v_.OnLine) sent_.system = d_.RetryFunction(FN_SetSystem) == 0 && v_.OnLine;
    if ((which == 0 || which == 2) && v_.OnLine) sent_.audio = d_.RetryFunction(FN_SetAudio) == 0 && v_.OnLine;
    bool sent = (which == 2 || sent_.system) && (which == 1 || sent_.audio);
    stamp_.ShowDate();
    // Say what reached the unit.  A failure has taken the editor off line
    // (and skipped what came after it), with its own report.
    sent = sent && v_.OnLine;
    c_.bar.staStatus.setCaption(sent ? uploadStatusText(which, now) : "Upload not completed: the unit is off line.");
    // The read-back's verdict follows, so it is what stays shown.
    if (afterUpload) afterUpload(which);
}

std::string uploadStatusText(int which, const LocalTime& t) {
    const char* what = which == 1 ? "system settings" : which == 2 ? "audio settings" : "system and audio settings";
    const int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    char buf[96];
    std::snprintf(buf, sizeof buf, "Uploaded to the unit at %d:%02d:%02d %s: %s.", h12, t.minute, t.second,
                  t.hour >= 12 ? "PM" : "AM", what);
    return buf;
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
