#include "connection/connect.h"

#include <cerrno>
#include <cstdio>

#include "form/translate.h"
#include "model/lookup.h"

namespace zelk {

namespace {

// A firmware version as the unit gives it: two words, read as
// major + minor / 100 ("1.05").
struct FirmwareVersion {
    int major, minor;
    constexpr int hundredths() const { return major * 100 + minor; }
};

// The oldest firmware the editor works with: CPU 1.05 from build 77 on,
// DSP controller 1.03, DSP firmware 1.09.
constexpr FirmwareVersion kMinCpu{1, 5};
constexpr int kMinCpuBuild = 77;
constexpr FirmwareVersion kMinDspController{1, 3};
constexpr FirmwareVersion kMinDspFirmware{1, 9};

// Hundredths as "1.06", the same in every locale.
std::string fmt2(int hundredths) {
    const int a = hundredths < 0 ? -hundredths : hundredths;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%d.%02d", hundredths < 0 ? "-" : "", a / 100, a % 100);
    return buf;
}
}  // namespace

UnitVersionInfo describeVersions(const std::array<std::int16_t, 7>& w) {
    UnitVersionInfo v;
    v.cpu = FirmwareVersion{w[0], w[1]}.hundredths();
    v.build = w[2];
    v.dspController = FirmwareVersion{w[3], w[4]}.hundredths();
    v.dspFirmware = FirmwareVersion{w[5], w[6]}.hundredths();
    v.captions[0] = fill(translate("Connection", "CPU Version: %1"), {fmt2(v.cpu)});
    if (w[2] != 0) {
        char build[16];
        std::snprintf(build, sizeof build, ".%04d", w[2]);
        v.captions[0] += build;
    }
    v.captions[1] = fill(translate("Connection", "DSP Controller: %1"), {fmt2(v.dspController)});
    v.captions[2] = fill(translate("Connection", "DSP Firmware: %1"), {fmt2(v.dspFirmware)});
    return v;
}

bool versionRejected(const UnitVersionInfo& v) {
    return (v.cpu == kMinCpu.hundredths() && v.build < kMinCpuBuild) || v.dspFirmware < kMinDspFirmware.hundredths() ||
           v.dspController < kMinDspController.hundredths() || v.cpu < kMinCpu.hundredths();
}

void quietenUnit(Dispatcher& d) {
    for (int ch = 0; ch < kChannels; ++ch) {
        d.RetryFunction(FN_SetPink, ch, 0);
        d.RetryFunction(FN_SetPhase, ch, 0);
    }
    d.RetryFunction(FN_StopStream);
    d.RetryFunction(FN_SetDLLBaud, 0);
}

Connection::Connection(ModVals& vals, Dispatcher& d, OnLineGate& gate, Upload& upload, ChannelOps& channels,
                       Polling& polling, UiService& ui, MessageBoxService& msg, Controls c)
    : v_(vals), d_(d), gate_(gate), upload_(upload), channels_(channels), polling_(polling), ui_(ui), msg_(msg), c_(c) {
    c_.bar.cmdConnect.onClick = [this] { cmdConnect_Click(); };
    c_.bar.cmdDisconnect.onClick = [this] { cmdDisconnect_Click(); };
    c_.prog.cmdCan.onClick = [this] { cmdCan_Click(); };
}

// The progress dialog's Cancel: the dialog goes, and the wait for the unit
// with it; the connection ends off line without an error box.
void Connection::cmdCan_Click() {
    closeProgress();
    d_.runner().requestCancel();
}

void Connection::cmdConnect_Click() {
    if (v_.OnLine) disconnect();
    ConnectToUnit();
    ui_.repaint();
    closeProgress();
}

void Connection::cmdDisconnect_Click() {
    if (v_.OnLine) disconnect();
}

void Connection::disconnect() {
    polling_.suspend();
    quietenUnit(d_);
    v_.BaudIndex = 0;
    // A failure while quietening has already reported and closed the link.
    if (v_.OnLine) d_.DispErr(0);
    for (auto& f : disconnected_) f();
}

void Connection::closeProgress() { c_.prog.form.setVisible(false); }

void Connection::SetConnectStatus(int state) {
    auto& s = c_.bar.lblStat;
    switch (state) {
    case 0:
        s.setBackColour(kRed);
        s.setCaption(translate("Connection", "Off Line"));
        v_.OnLine = kFalse;
        c_.bar.cmdDisconnect.setEnabled(false);
        break;
    case 1:
        s.setBackColour(kGreen);
        s.setCaption(translate("Connection", "On Line"));
        v_.OnLine = kTrue;
        c_.bar.cmdDisconnect.setEnabled(true);
        break;
    case 2:
        s.setBackColour(kOrange);
        s.setCaption(translate("Connection", "Data?"));
        break;
    default: break;
    }
}

void Connection::linkStatus(LinkStatus s) {
    SetConnectStatus(static_cast<int>(s));
    if (s == LinkStatus::OffLine) EnableFrames(false);
    else ui_.repaint();
}

void Connection::retryProgress(int attempts) {
    c_.prog.pb.setValue(attempts);
    // The last attempt failed: the error box comes next, and must not sit
    // under a progress dialog that still says "Connecting".
    if (attempts >= kMaxAttempts) closeProgress();
    ui_.processEvents();
}

bool Connection::ConnectToUnit() {
    auto& f = c_.format;
    auto& prog = c_.prog;
    if (v_.OnLine) return false;
    LoadingScope loading(v_);
    polling_.suspend();
    SetConnectStatus(0);
    EnableFrames(false);

    prog.pb.setValue(0);
    prog.form.setVisible(true);
    prog.form.setFocus();
    ui_.repaint();
    f.Frame1_21.setVisible(false);
    prog.lblCap.setCaption(translate("Connection", "Connecting to Cinema Processor."));
    ui_.repaint();

    if (d_.RetryFunction(FN_InitDLL) != 0) return false;
    prog.lblCap.setCaption(translate("Connection", "Determining Software Version."));
    ui_.repaint();
    if (d_.RetryFunction(FN_GetUnitVersion) != 0) return false;
    const UnitVersionInfo info = describeVersions(v_.unitVersions);
    for (int i = 0; i < 3; ++i) f.lnlInfo[i].setCaption(info.captions[i]);
    f.Frame1_21.setVisible(true);

    if (versionRejected(info)) {
        closeProgress();
        msg_.show(translate("Connection", "Error cinema processor bios is out of date, contact ZELK for an update."),
                  translate("Connection", "Cinema Processor Error"),
                  MsgIcon::Exclamation, MsgButtons::OK);
        d_.DispErr(0);
        return false;
    }
    d_.setUnitAccepted(true);
    EnableFrames(true);
    upload_.ShowSettings();
    channels_.LoadChannelData();

    // The F1 format button is named after the format the F1 key selects
    // (the two external returns by their internal noise reduction).
    const int f1 = v_.systemBlock.f1KeyAssignment();
    static const char* const f1Captions[4] = {kF1KeyNames[0], kF1KeyNames[1], ZELK_TEXT("Captions", "Internal A"),
                                              ZELK_TEXT("Captions", "Internal SR")};
    if (f1 < 4) f.cmdMode[0].setCaption(translate("Captions", f1Captions[f1]));
    for (auto& told : connected_) told();

    d_.RetryFunction(FN_StopStream);
    polling_.startPolling();
    return true;
}

}  // namespace zelk
