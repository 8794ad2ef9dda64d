#include "files/site_overview.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "files/as_found.h"
#include "files/config_file.h"
#include "form/captions.h"
#include "form/translate.h"
#include "model/compare.h"
#include "model/stamp.h"
#include "platform/files.h"
#include "port/port_map.h"

namespace zelk {

namespace {

constexpr int kPeriods[4] = {0, 30, 60, 300};  // seconds, by cboPeriod's index

std::string siteSettingsPath(const std::string& dataDir) { return dataDir + "/site.ini"; }

std::string baselineName(int port) { return "COM" + std::to_string(port) + ".zcf"; }

// A configuration file read as any file from outside is: small, regular,
// never a device or a pipe.
bool readConfig(const std::string& path, ConfigData& data) {
    const auto file = q7m::platform::readSmallFile(path, 64LL * 1024);
    return file.status == q7m::platform::SmallFile::Status::Ok && parseConfigText(file.bytes, data) == ReadResult::Ok;
}

// "Rex Cinema, screen 2" from a baseline's theater information.
std::string screenName(const ConfigData& d) {
    const std::string& theater = d.TheaterInfo[1];
    const std::string& screen = d.TheaterInfo[8];
    if (screen.empty()) return theater;
    return theater.empty() ? fill(translate("SiteOverview", "screen %1"), {screen})
                           : fill(translate("SiteOverview", "%1, screen %2"), {theater, screen});
}

std::string versionText(const std::string& cpu, const std::string& dspc, const std::string& dspf) {
    return cpu.empty() ? std::string() : fill(translate("SiteOverview", "CPU %1, DSP %2/%3"), {cpu, dspc, dspf});
}

std::string stateText(SiteRow::State s) {
    switch (s) {
    case SiteRow::State::Unread: return "";
    case SiteRow::State::Reading: return translate("SiteOverview", "reading...");
    case SiteRow::State::OnLine: return translate("SiteOverview", "on line");
    case SiteRow::State::NoAnswer: return translate("SiteOverview", "no answer");
    case SiteRow::State::Busy: return translate("SiteOverview", "busy");
    case SiteRow::State::ThisEditor: return translate("SiteOverview", "this editor");
    }
    return "";
}

std::string baselineText(const SiteRow& r) {
    switch (r.baseline) {
    case SiteRow::Baseline::Unknown: return "";
    case SiteRow::Baseline::None: return translate("SiteOverview", "none");
    case SiteRow::Baseline::Matches: return translate("SiteOverview", "matches");
    case SiteRow::Baseline::Differs:
        return fill(r.differences == 1 ? translate("SiteOverview", "%1 differs") : translate("SiteOverview", "%1 differ"),
                    {std::to_string(r.differences)});
    }
    return "";
}

// The unit's mute ("on", "off") and its format (a format button's caption,
// as q7mctl reports it) as the user reads them.
std::string muteText(const std::string& mute) {
    if (mute == ZELK_TEXT("SiteOverview", "on")) return translate("SiteOverview", "on");
    if (mute == ZELK_TEXT("SiteOverview", "off")) return translate("SiteOverview", "off");
    return mute;
}
std::string formatText(const std::string& format) {
    for (const char* f : kFormatCaptions)
        if (format == f) return translate("Captions", f);
    return format;
}

std::vector<int> sitePorts(int own) {
    std::vector<int> ports;
    for (int n = 1; n <= 255; ++n) {
        const q7m::PortMapping m = q7m::mapPort(n);
        if (m.fromTable && m.target.kind != q7m::PortTarget::Kind::None) ports.push_back(n);
    }
    if (std::find(ports.begin(), ports.end(), own) == ports.end()) ports.push_back(own);
    std::sort(ports.begin(), ports.end());
    return ports;
}

}  // namespace

SiteSettings readSiteSettings(const std::string& dataDir) {
    SiteSettings s;
    std::ifstream in(siteSettingsPath(dataDir));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "BaselineFolder") s.baselineFolder = value;
        if (key == "RefreshSeconds" && !value.empty() && value.size() <= 5 &&
            value.find_first_not_of("0123456789") == std::string::npos)
            s.refreshSeconds = std::stoi(value);
    }
    return s;
}

bool writeSiteSettings(const std::string& dataDir, const SiteSettings& s) {
    if (!q7m::platform::makeDirectories(dataDir)) return false;
    return q7m::platform::writeFileAtomically(siteSettingsPath(dataDir), "BaselineFolder=" + s.baselineFolder +
                                                                             "\nRefreshSeconds=" +
                                                                             std::to_string(s.refreshSeconds) + "\n")
        .ok;
}

SiteOverview::SiteOverview(ModVals& vals, Parts parts, MessageBoxService& msg, FileDialogService& files,
                           ClockService& clock, const Paths& paths, Controls c)
    : v_(vals), p_(parts), msg_(msg), files_(files), clock_(clock), paths_(paths), c_(c) {
    auto& f = c_.site;
    c_.bar.mnuSite.onClick = [this] { mnuSite_Click(); };
    f.cmdRefresh.onClick = [this] { cmdRefresh_Click(); };
    f.cmdFolder.onClick = [this] { cmdFolder_Click(); };
    f.cboPeriod.onClick = [this] { cboPeriod_Click(); };
    f.tmrSite.onTimer = [this] { tmrSite_Timer(); };
    f.cmdConnect.onClick = [this] { cmdConnect_Click(); };
    f.cmdApprove.onClick = [this] { cmdApprove_Click(); };
    f.cmdClose.onClick = [this] { cmdClose_Click(); };
    f.grdUnits.onDblClick = [this] { grdUnits_DblClick(); };
    f.grdUnits.onClick = [this] {
        const bool chosen = selectedPort() > 0;
        c_.site.cmdConnect.setEnabled(chosen);
        c_.site.cmdApprove.setEnabled(chosen);
    };
}

std::string SiteOverview::baselineFolder() const {
    return settings_.baselineFolder.empty() ? paths_.dataDir + "/baselines" : settings_.baselineFolder;
}

void SiteOverview::status(const std::string& text) {
    c_.site.lblStatus.setCaption(note_.empty() ? text : note_ + " " + text);
}

std::string SiteOverview::timeText() const {
    const LocalTime t = clock_.now();
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return buf;
}

int SiteOverview::selectedPort() const {
    const int i = c_.site.grdUnits.selected();
    return i >= 0 && i < static_cast<int>(rows_.size()) ? rows_[static_cast<std::size_t>(i)].port : 0;
}

void SiteOverview::mnuSite_Click() {
    settings_ = readSiteSettings(paths_.dataDir);
    auto& f = c_.site;
    int period = 0;
    for (int i = 0; i < 4; ++i)
        if (kPeriods[i] == settings_.refreshSeconds) period = i;
    f.cboPeriod.setListIndex(period);
    f.tmrSite.setInterval(kPeriods[period] * 1000);
    f.tmrSite.setEnabled(kPeriods[period] > 0);
    f.lblFolder.setCaption(fill(translate("SiteOverview", "Baselines: %1"), {baselineFolder()}));
    f.form.setVisible(true);
    refresh();
}

void SiteOverview::cmdRefresh_Click() {
    note_.clear();
    refresh();
}

void SiteOverview::tmrSite_Timer() {
    if (c_.site.form.visible()) refresh();
}

void SiteOverview::cboPeriod_Click() {
    const int i = std::clamp(c_.site.cboPeriod.listIndex(), 0, 3);
    c_.site.tmrSite.setInterval(kPeriods[i] * 1000);
    c_.site.tmrSite.setEnabled(kPeriods[i] > 0);
    if (settings_.refreshSeconds == kPeriods[i]) return;
    settings_.refreshSeconds = kPeriods[i];
    writeSiteSettings(paths_.dataDir, settings_);
}

void SiteOverview::cmdFolder_Click() {
    const auto chosen = files_.showFolder(translate("SiteOverview", "Baseline Folder"), baselineFolder());
    if (!chosen || chosen->empty()) return;
    settings_.baselineFolder = *chosen;
    if (!writeSiteSettings(paths_.dataDir, settings_))
        status(fill(translate("SiteOverview", "The folder could not be remembered in %1: it holds for now."),
                    {siteSettingsPath(paths_.dataDir)}));
    c_.site.lblFolder.setCaption(fill(translate("SiteOverview", "Baselines: %1"), {baselineFolder()}));
    refresh();
}

void SiteOverview::cmdClose_Click() {
    c_.site.tmrSite.setEnabled(false);
    c_.site.form.setVisible(false);
}

void SiteOverview::show() {
    std::vector<std::vector<std::string>> cells;
    for (const SiteRow& r : rows_)
        cells.push_back({r.screen, "COM" + std::to_string(r.port), r.target, stateText(r.state), r.versions,
                         formatText(r.format), r.fader, muteText(r.mute), baselineText(r), r.lastUpload, r.asFound});
    auto& g = c_.site.grdUnits;
    const int selected = g.selected();
    g.setContent({translate("SiteOverview", "Screen"), translate("SiteOverview", "Port"),
                  translate("SiteOverview", "Target"), translate("SiteOverview", "State"),
                  translate("SiteOverview", "Versions"), translate("SiteOverview", "Format"),
                  translate("SiteOverview", "Fader"), translate("SiteOverview", "Mute"),
                  translate("SiteOverview", "Baseline"), translate("SiteOverview", "Last Upload"),
                  translate("SiteOverview", "As Found")},
                 std::move(cells));
    if (selected >= 0 && selected < static_cast<int>(rows_.size())) g.setSelected(selected);
}

void SiteOverview::whenIdle(std::function<void()> f) {
    if (survey_ && survey_->busy()) {
        afterJob_ = std::move(f);
        survey_->stop();
        return;
    }
    f();
}

void SiteOverview::refresh() {
    if (refreshing_ || (survey_ && survey_->busy())) {
        refreshAgain_ = true;
        return;
    }
    refreshAgain_ = false;
    const std::string folder = baselineFolder();
    // The default folder is made on first use; a chosen one must exist.
    if (settings_.baselineFolder.empty()) q7m::platform::makeDirectories(folder);
    const bool ownOnLine = v_.OnLine != 0;
    const int own = v_.ComPort <= 0 ? 1 : v_.ComPort;
    std::vector<SiteRow> rows;
    std::vector<int> others;
    const auto asFound = newestAsFoundByPort(asFoundDirectory(paths_.dataDir));
    for (int port : sitePorts(own)) {
        SiteRow r;
        r.port = port;
        r.target = q7m::mapPort(port).target.text;
        ConfigData baseline;
        if (readConfig(q7m::platform::joinPath(folder, baselineName(port)), baseline)) r.screen = screenName(baseline);
        for (const auto& [p, when] : asFound)
            if (p == port) r.asFound = when;
        // Keep what was shown until the new reading comes.
        for (const SiteRow& old : rows_)
            if (old.port == port) {
                r.versions = old.versions, r.format = old.format, r.fader = old.fader, r.mute = old.mute;
                r.lastUpload = old.lastUpload, r.baseline = old.baseline, r.differences = old.differences;
            }
        if (ownOnLine && port == own) {
            r.state = SiteRow::State::ThisEditor;
        } else {
            r.state = SiteRow::State::Reading;
            others.push_back(port);
        }
        rows.push_back(std::move(r));
    }
    rows_ = std::move(rows);
    show();
    if (!others.empty()) {
        if (survey_) {
            status(fill(others.size() == 1 ? translate("SiteOverview", "Reading %1 unit...")
                                           : translate("SiteOverview", "Reading %1 units..."),
                        {std::to_string(others.size())}));
            survey_->read(others, folder, [this](const SurveyResult& r) { surveyDone(r); });
        } else {
            for (SiteRow& r : rows_)
                if (r.state == SiteRow::State::Reading) r.state = SiteRow::State::Unread;
        }
    }
    // The editor's own unit, through its own link, while the others are
    // read.  The window keeps turning meanwhile (q7mctl's answer may come),
    // so the row is read into a copy and put back by its port.
    if (ownOnLine) {
        refreshing_ = true;
        SiteRow mine;
        for (const SiteRow& r : rows_)
            if (r.state == SiteRow::State::ThisEditor) mine = r;
        readOwnUnit(mine);
        for (SiteRow& r : rows_)
            if (r.port == mine.port && r.state == SiteRow::State::ThisEditor) r = mine;
        refreshing_ = false;
    }
    show();
    if (others.empty() || !survey_) status(fill(translate("SiteOverview", "Read at %1."), {timeText()}));
}

void SiteOverview::readOwnUnit(SiteRow& row) {
    ConfigData unit = ConfigData::from(v_);
    if (!p_.service.readUnit(unit.systemBlock, unit.audioBlock)) {
        // Reported by the dispatcher; the editor is off line now.
        row.state = SiteRow::State::NoAnswer;
        row.detail = translate("SiteOverview", "the editor's link to the unit failed");
        return;
    }
    const auto& w = v_.unitVersions;
    char cpu[24], dspc[16], dspf[16];
    std::snprintf(cpu, sizeof cpu, "%d.%02d", w[0], w[1]);
    std::snprintf(dspc, sizeof dspc, "%d.%02d", w[3], w[4]);
    std::snprintf(dspf, sizeof dspf, "%d.%02d", w[5], w[6]);
    std::string cpuText = cpu;
    if (w[2] != 0) {
        char build[16];
        std::snprintf(build, sizeof build, ".%04d", w[2]);
        cpuText += build;
    }
    row.versions = versionText(cpuText, dspc, dspf);
    row.format = v_.CurrentFormat >= 0 && v_.CurrentFormat < 6 ? kFormatCaptions[static_cast<std::size_t>(v_.CurrentFormat)] : "?";
    row.fader = std::to_string(v_.CurrentVolume / 10) + "." + std::to_string(v_.CurrentVolume % 10);
    row.mute = v_.CurrentMute ? "on" : "off";
    const UnpackedStamp stamp = UnpackUploadStamp(unit.audioBlock);
    row.lastUpload = stamp.month >= 2 && stamp.month <= 13 && stamp.day >= 1 ? stampText(stamp) : "";
    // The baseline over the unit's own blocks: only what it holds can differ.
    ConfigData wanted = unit;
    const std::string path = q7m::platform::joinPath(baselineFolder(), baselineName(row.port));
    if (!readConfig(path, wanted)) {
        row.baseline = SiteRow::Baseline::None;
        return;
    }
    row.differences = static_cast<int>(
        compareConfigurations(wanted.systemBlock, wanted.audioBlock, unit.systemBlock, unit.audioBlock).size());
    row.baseline = row.differences == 0 ? SiteRow::Baseline::Matches : SiteRow::Baseline::Differs;
}

void SiteOverview::surveyDone(const SurveyResult& result) {
    for (SiteRow& r : rows_) {
        if (r.state != SiteRow::State::Reading) continue;
        r.state = SiteRow::State::Unread;
        r.detail = result.error;
        for (const UnitReading& u : result.units) {
            if (u.port != r.port) continue;
            if (u.state == "busy") {
                r.state = SiteRow::State::Busy;
            } else if (u.state == "no answer" || u.state.empty()) {
                r.state = SiteRow::State::NoAnswer;
            } else {
                r.state = SiteRow::State::OnLine;
                r.versions = versionText(u.cpu, u.dspController, u.dspFirmware);
                r.format = u.format;
                r.fader = u.fader;
                r.mute = u.mute;
                r.lastUpload = u.lastUpload;
                r.differences = u.differences;
                r.baseline = u.state == "matches"   ? SiteRow::Baseline::Matches
                             : u.state == "differs" ? SiteRow::Baseline::Differs
                                                    : SiteRow::Baseline::None;
            }
            if (r.state != SiteRow::State::OnLine) {
                r.versions.clear(), r.format.clear(), r.fader.clear(), r.mute.clear(), r.lastUpload.clear();
                r.baseline = SiteRow::Baseline::Unknown;
            }
            r.detail = u.error.empty() ? u.result : u.error;
        }
    }
    show();
    status(result.error.empty() ? fill(translate("SiteOverview", "Read at %1."), {timeText()})
                                : fill(translate("SiteOverview", "The other units could not be read: %1"), {result.error}));
    if (afterJob_) {
        auto f = std::move(afterJob_);
        afterJob_ = nullptr;
        f();
    } else if (refreshAgain_ && !refreshing_) {
        refresh();
    }
}

// ---------------------------------------------------------------- connect

void SiteOverview::grdUnits_DblClick() { cmdConnect_Click(); }

void SiteOverview::cmdConnect_Click() {
    const int port = selectedPort();
    if (port <= 0) return;
    if (v_.OnLine && port == v_.ComPort) {
        status(fill(translate("SiteOverview", "The editor is connected to COM%1 already."), {std::to_string(port)}));
        return;
    }
    // Connecting reads the unit's settings into the editor: what is not
    // saved would be lost.
    if (p_.doc.dirty()) {
        const MsgResult r =
            msg_.show(fill(translate("SiteOverview", "Do you want to save your changes before connecting to COM%1?"),
                           {std::to_string(port)}),
                      translate("SiteOverview", "Save?"), MsgIcon::Question, MsgButtons::YesNoCancel);
        if (r == MsgResult::Cancel) return;
        if (r == MsgResult::Yes && !p_.docs.saveBeforeExit()) return;
    }
    // A q7mctl reading that port holds it: it is stopped first.
    whenIdle([this, port] { connectTo(port); });
}

void SiteOverview::connectTo(int port) {
    v_.ComPort = static_cast<std::int16_t>(port);
    p_.ports.showPortAndSpeed();
    p_.connection.cmdConnect_Click();
    note_ = fill(v_.OnLine ? translate("SiteOverview", "The editor is connected to COM%1.")
                           : translate("SiteOverview", "The editor could not connect to COM%1."),
                 {std::to_string(port)});
    refresh();
}

// ---------------------------------------------------------------- approve

void SiteOverview::cmdApprove_Click() {
    const int port = selectedPort();
    if (port <= 0) return;
    const std::string folder = baselineFolder();
    if (!q7m::platform::makeDirectories(folder)) {
        msg_.show(fill(translate("SiteOverview", "The baseline folder %1 cannot be made: %2"),
                       {folder, std::strerror(errno)}),
                  translate("SiteOverview", "Approve as Baseline"), MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    const std::string path = q7m::platform::joinPath(folder, baselineName(port));
    if (q7m::platform::pathKind(path) != q7m::platform::PathKind::Missing &&
        msg_.show(fill(translate("SiteOverview", "%1 already holds the approved configuration of this screen.\n\n"
                                                 "Replace it with what the unit on COM%2 holds now?"),
                       {path, std::to_string(port)}),
                  translate("SiteOverview", "Approve as Baseline"), MsgIcon::Question,
                  MsgButtons::YesNoDefaultNo) != MsgResult::Yes)
        return;
    if (v_.OnLine && port == v_.ComPort) {
        approveOwnUnit(path);
        refresh();
        return;
    }
    whenIdle([this, port, folder] {
        if (!survey_) return;
        note_.clear();
        status(fill(translate("SiteOverview", "Reading COM%1 for its baseline..."), {std::to_string(port)}));
        survey_->approve(port, folder, [this, port](const SurveyResult& r) {
            std::string why = r.error;
            for (const UnitReading& u : r.units)
                if (u.port == port && !u.ok) why = u.error;
            note_ = fill(why.empty() ? translate("SiteOverview", "COM%1 approved.")
                                     : translate("SiteOverview", "COM%1 was not approved."),
                         {std::to_string(port)});
            if (!why.empty())
                msg_.show(fill(translate("SiteOverview", "The unit on COM%1 could not be kept as its baseline:\n\n%2"),
                               {std::to_string(port), why}),
                          translate("SiteOverview", "Approve as Baseline"), MsgIcon::Exclamation, MsgButtons::OK);
            refresh();
        });
    });
}

void SiteOverview::approveOwnUnit(const std::string& path) {
    ConfigData data = ConfigData::from(v_);
    if (!p_.service.readUnit(data.systemBlock, data.audioBlock)) return;  // reported by the dispatcher
    // A new baseline keeps the screen's name from the one it replaces.
    ConfigData old;
    for (auto& t : data.TheaterInfo) t.clear();
    if (readConfig(path, old)) data.TheaterInfo = old.TheaterInfo;
    data.TheaterInfo[9] = stampText(UnpackUploadStamp(data.audioBlock));
    if (const std::string why = saveConfigFile(path, data); !why.empty()) {
        msg_.show(fill(translate("SiteOverview", "The baseline could not be written to %1:\n%2"), {path, why}),
                  translate("SiteOverview", "Approve as Baseline"), MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    note_ = fill(translate("SiteOverview", "COM%1 approved."), {std::to_string(v_.ComPort)});
}

}  // namespace zelk
