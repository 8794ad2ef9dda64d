#include "connection/polling.h"

#include "form/translate.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace zelk {

int parseRefreshSeconds(const std::string& text, int previous) {
    // Leading blanks and a '+' are allowed; the number is read with a
    // decimal point whatever the locale.
    const char* s = text.c_str();
    const char* last = s + text.size();
    while (s < last && (*s == ' ' || *s == '\t')) ++s;
    if (s < last && *s == '+') ++s;
    double v = 0;
    const auto r = std::from_chars(s, last, v);
    if (r.ec != std::errc() || r.ptr == s) return previous;
    const char* end = r.ptr;
    while (end < last && *end == ' ') ++end;
    if (end != last || !std::isfinite(v)) return previous;
    const double n = std::floor(v);
    // A period below one second would re-read the unit at every tick and
    // starve the line: keep the previous period, as for letters.
    if (n < 1 || n > 32767) return previous;
    return static_cast<int>(n);
}

Polling::Polling(ModVals& vals, Dispatcher& d, Document& doc, Upload& upload, ChannelOps& channels, Controls c)
    : v_(vals), d_(d), doc_(doc), upload_(upload), channels_(channels), c_(c) {
    auto& b = c_.bar;
    b.tmrPoll.onTimer = [this] { tmrPoll_Timer(); };
    b.tmrRefresh.onTimer = [this] { tmrRefresh_Timer(); };
    b.mnuRef.onClick = [this] { mnuRef_Click(); };
    b.mnuAutoRef.onClick = [this] { mnuAutoRef_Click(); };
    c_.ref.chkRef.onClick = [this] { chkRef_Click(); };
    c_.ref.Command1.onClick = [this] { Command1_Click(); };
}

void Polling::tmrPoll_Timer() {
    if (v_.UnitBusy || !v_.OnLine) return;
    v_.PollActive = kTrue;
    d_.RetryFunction(FN_GetFormat);
    d_.RetryFunction(FN_GetMute);
    d_.RetryFunction(FN_GetVol);
    v_.PollActive = kFalse;
}

void Polling::tmrRefresh_Timer() {
    if (v_.UnitBusy || !v_.OnLine || !autoRefreshOn()) return;
    RefreshCounter = static_cast<std::int16_t>(RefreshCounter + 1);
    if (RefreshCounter >= v_.RefreshSeconds) {
        mnuRef_Click();
        RefreshCounter = 0;
    }
}

void Polling::mnuRef_Click() {
    if (v_.UnitBusy || !v_.OnLine) return;
    upload_.ShowSettings();
    channels_.LoadChannelData();
    doc_.showName(translate("Document", "CP Settings"));
}

void Polling::mnuAutoRef_Click() {
    auto& r = c_.ref;
    c_.bar.form.setEnabled(false);
    r.form.setVisible(true);
    r.chkRef.setValue(v_.AutoRefreshEnabled);
    r.txtRef.setText(std::to_string(v_.RefreshSeconds));
    chkRef_Click();
    r.form.setFocus();
    if (autoRefreshOn() && !upload_.autoUpload()) upload_.mnuAuto_Click();
}

void Polling::chkRef_Click() { c_.ref.txtRef.setEnabled(c_.ref.chkRef.value() == 1); }

void Polling::Command1_Click() { frmRef_Unload(); }

void Polling::frmRef_Unload() {
    auto& r = c_.ref;
    setAutoRefresh(r.chkRef.value(), parseRefreshSeconds(r.txtRef.text(), v_.RefreshSeconds));
    r.form.setVisible(false);
    c_.bar.form.setEnabled(true);
}

void Polling::frmRef_Cancel() {
    c_.ref.form.setVisible(false);
    c_.bar.form.setEnabled(true);
}

void Polling::setAutoRefresh(int enabled, int seconds) {
    v_.AutoRefreshEnabled = static_cast<std::int16_t>(enabled);
    v_.RefreshSeconds = static_cast<std::int16_t>(seconds);
    c_.bar.mnuAutoRef.setChecked(autoRefreshOn());
}

void Polling::startPolling() {
    c_.bar.tmrPoll.setInterval(2000);
    c_.bar.tmrPoll.setEnabled(true);
}

void Polling::suspend() { c_.bar.tmrPoll.setEnabled(false); }
void Polling::resume() { c_.bar.tmrPoll.setEnabled(true); }

}  // namespace zelk
