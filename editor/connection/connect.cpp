#include "connect.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <unistd.h>

#include "editor.h"

namespace zelk {

namespace {
// "1.06" in every locale (snprintf would write "1,06" once a Qt application
// has switched the C library to a decimal-comma locale).
std::string fmt2(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
    return std::string(buf, r.ptr);
}
}  // namespace

UnitVersionInfo describeVersions(const std::array<std::int16_t, 7>& w) {
    UnitVersionInfo v;
    v.cpu = w[0] + w[1] / 100.0;
    v.build = w[2];
    v.dspController = w[3] + w[4] / 100.0;
    v.dspFirmware = w[5] + w[6] / 100.0;
    v.captions[0] = "CPU Version: " + fmt2(v.cpu);
    if (w[2] != 0) {
        char build[16];
        std::snprintf(build, sizeof build, ".%04d", w[2]);
        v.captions[0] += build;
    }
    v.captions[1] = "DSP Controller: " + fmt2(v.dspController);
    v.captions[2] = "DSP Firmware: " + fmt2(v.dspFirmware);
    return v;
}

bool versionRejected(const UnitVersionInfo& v) {
    // The values are computed as word + word / 100, exactly as the limits.
    return (v.cpu == 1 + 5 / 100.0 && v.build < 77) || v.dspFirmware < 1 + 9 / 100.0 ||
           v.dspController < 1 + 3 / 100.0 || v.cpu < 1 + 5 / 100.0;
}

void Connection::wire() { ed_.main.cmdConnect.onClick = [this] { cmdConnect_Click(); }; }

void Connection::cmdConnect_Click() {
    ConnectToUnit();
    ed_.svc.ui.repaint();
    ed_.prog.form.setVisible(false);
}

void Connection::SetConnectStatus(int state) {
    auto& m = ed_.main;
    switch (state) {
    case 0:
        m.lblStat.setBackColour(kRed);
        m.lblStat.setCaption("Off Line");
        ed_.vals.OnLine = kFalse;
        break;
    case 1:
        m.lblStat.setBackColour(kGreen);
        m.lblStat.setCaption("On Line");
        ed_.vals.OnLine = kTrue;
        break;
    case 2:
        m.lblStat.setBackColour(kOrange);
        m.lblStat.setCaption("Data?");
        break;
    default: break;
    }
}

void Connection::EnableFrames(bool enable) {
    auto& m = ed_.main;
    for (int i = 0; i < 5; ++i) m.cmdUp[i].setEnabled(enable);
    m.Frame1[3].setEnabled(enable);
    m.Frame1[1].setEnabled(enable);
    m.Frame8[0].setEnabled(enable);
    m.cmdMute4.setEnabled(enable);
    m.Frame8[1].setEnabled(enable);
    m.Frame1[5].setEnabled(enable);
    m.Frame1[13].setEnabled(enable);
    m.frmtabs[4].setEnabled(enable);
}

bool Connection::ConnectToUnit() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    auto& d = ed_.dispatch;
    if (v.OnLine) return false;
    v.LoadingControls = kTrue;
    m.tmrPoll.setEnabled(false);
    SetConnectStatus(0);
    EnableFrames(false);

    ed_.prog.pb.setValue(0);
    ed_.prog.form.setVisible(true);
    ed_.prog.form.setFocus();
    ed_.svc.ui.repaint();
    m.Frame1[21].setVisible(false);
    ed_.prog.lblCap.setCaption("Connecting to Cinema Processor.");
    ed_.svc.ui.repaint();

    if (d.RetryFunction(FN_InitDLL) != 0) {
        v.LoadingControls = kFalse;
        return false;
    }
    ed_.prog.lblCap.setCaption("Determining Software Version.");
    ed_.svc.ui.repaint();
    if (d.RetryFunction(FN_GetUnitVersion) != 0) {
        v.LoadingControls = kFalse;
        return false;
    }
    const UnitVersionInfo info = describeVersions(v.unitVersions);
    for (int i = 0; i < 3; ++i) m.lnlInfo[i].setCaption(info.captions[i]);
    m.Frame1[21].setVisible(true);

    if (versionRejected(info)) {
        ed_.box("Error cinema processor bios is out of date, contact ZELK for an update.", "Cinema Processor Error",
                MsgIcon::Exclamation, MsgButtons::OK);
        d.DispErr(0);
        v.LoadingControls = kFalse;
        return false;
    }
    m.UnitAccepted = kTrue;
    EnableFrames(true);
    ed_.upload.ShowSettings();
    ed_.channels.LoadChannelData();

    const int f1 = v.systemBlock.f1KeyAssignment();
    std::string caption = f1 < 4 ? m.optF1Key[f1].caption() : m.cmdMode[0].caption();
    if (caption == "External 2-Trk Return W/ Internal SR Type N.R.") caption = "Internal SR";
    if (caption == "External 2-Trk Return W/ Internal A Type N.R.") caption = "Internal A";
    m.cmdMode[0].setCaption(caption);

    d.RetryFunction(FN_StopStream);
    v.LoadingControls = kFalse;
    m.tmrPoll.setInterval(2000);
    m.tmrPoll.setEnabled(true);
    return true;
}

std::string Connection::portHint() const {
    const int port = ed_.vals.ComPort <= 0 ? 1 : ed_.vals.ComPort;
    const std::string ini = ed_.paths.configDir + "/ZelkSerial.ini";
    // The port table entry, if any: "COMn=/dev/..." in the [Ports] section.
    std::ifstream in(ini);
    std::string line, section, device;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            section = line;
            continue;
        }
        const auto eq = line.find('=');
        if (section == "[Ports]" && eq != std::string::npos && line.substr(0, eq) == "COM" + std::to_string(port))
            device = line.substr(eq + 1);
    }
    if (device.empty()) return {};
    if (::access(device.c_str(), F_OK) != 0)
        return "COM " + std::to_string(port) + " is " + device + ", which does not exist (see [Ports] in " + ini + ").";
    if (::access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES)
        return "Permission denied on " + device +
               ": add your user to the 'dialout' group (sudo usermod -aG dialout $USER) and log in again.";
    return {};
}

}  // namespace zelk
