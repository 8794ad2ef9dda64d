#include "files/service_visit.h"

#include <cstdio>

#include "files/file_commands.h"
#include "model/stamp.h"
#include "port/port_map.h"

namespace zelk {

namespace {

const char* blocksWord(Blocks b) {
    return b == Blocks::System ? "system block" : b == Blocks::Audio ? "audio block" : "system and audio blocks";
}

Blocks blocksOf(int which) { return which == 1 ? Blocks::System : which == 2 ? Blocks::Audio : Blocks::Both; }

// The differences as lines "Setting: sent X, the unit holds Y", at most `max`.
std::string differenceLines(const std::vector<FieldDifference>& diffs, std::size_t max) {
    std::string s;
    for (std::size_t i = 0; i < diffs.size() && i < max; ++i)
        s += diffs[i].name + ": sent " + diffs[i].left + ", the unit holds " + diffs[i].right + "\n";
    if (diffs.size() > max) s += "... and " + std::to_string(diffs.size() - max) + " more\n";
    return s;
}

}  // namespace

ServiceVisit::ServiceVisit(ModVals& vals, Parts parts, MessageBoxService& msg, FileDialogService& files,
                           ClockService& clock, const Paths& paths, Controls c)
    : v_(vals), p_(parts), msg_(msg), files_(files), clock_(clock), paths_(paths), c_(c) {
    auto& b = c_.bar;
    b.mnuCompare.onClick = [this] { mnuCompare_Click(); };
    b.mnuShowDiff.onClick = [this] { mnuShowDiff_Click(); };
    b.mnuAsFound.onClick = [this] { mnuAsFound_Click(); };
    b.mnuReport.onClick = [this] { mnuReport_Click(); };
    c_.compare.cmdUpload.onClick = [this] { cmdCompareUpload_Click(); };
    c_.compare.cmdCancel.onClick = [this] { cmdCompareCancel_Click(); };
    c_.asFound.cmdOpen.onClick = [this] { cmdAsFoundOpen_Click(); };
    c_.asFound.cmdCancel.onClick = [this] { cmdAsFoundCancel_Click(); };
    c_.asFound.grdFiles.onClick = [this] { c_.asFound.cmdOpen.setEnabled(c_.asFound.grdFiles.selected() >= 0); };
    c_.asFound.grdFiles.onDblClick = [this] { cmdAsFoundOpen_Click(); };
    p_.upload.beforeExplicitUpload = [this](int which) { return beforeExplicitUpload(which); };
    p_.upload.afterUpload = [this](int which) { afterUpload(which); };

    settings_ = readServiceSettings(serviceSettingsPath(paths_.dataDir));
    b.mnuShowDiff.setChecked(settings_.showDifferencesBeforeUpload);
}

void ServiceVisit::status(const std::string& text) { c_.bar.staStatus.setCaption(text); }

std::string ServiceVisit::timeText() const {
    const LocalTime t = clock_.now();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", t.hour % 12 == 0 ? 12 : t.hour % 12, t.minute, t.second,
                  t.hour >= 12 ? "PM" : "AM");
    return buf;
}

bool ServiceVisit::readUnit(SystemBlock& system, AudioBlock& audio, Blocks which) {
    // The dispatcher reads into the record's blocks (with its retries and
    // its report); the record gets its own bytes back at once.  A failed
    // read leaves the record's bytes untouched in any case.
    if (!v_.OnLine) return false;
    if (which != Blocks::Audio) {
        const SystemBlock keep = v_.systemBlock;
        const bool ok = p_.dispatch.RetryFunction(FN_GetSystem) == 0 && v_.OnLine;
        system = v_.systemBlock;
        v_.systemBlock = keep;
        if (!ok) return false;
    }
    if (which != Blocks::System) {
        const AudioBlock keep = v_.audioBlock;
        const bool ok = p_.dispatch.RetryFunction(FN_GetAudio) == 0 && v_.OnLine;
        audio = v_.audioBlock;
        v_.audioBlock = keep;
        if (!ok) return false;
    }
    return true;
}

// ---------------------------------------------------------------- compare

void ServiceVisit::mnuCompare_Click() {
    if (!v_.OnLine) {
        msg_.show("Compare with Unit reads the unit's settings: connect to the unit first.", "Compare with Unit",
                  MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    showTable(false);
}

void ServiceVisit::showTable(bool beforeUpload) {
    SystemBlock s;
    AudioBlock a;
    if (!readUnit(s, a)) return;
    const auto diffs = compareConfigurations(v_.systemBlock, v_.audioBlock, s, a);
    std::vector<std::vector<std::string>> rows;
    for (const auto& d : diffs) rows.push_back({d.name, d.left, d.right});
    auto& f = c_.compare;
    f.grdDiff.setContent({"Setting", "Editor", "Unit"}, std::move(rows));
    const std::string when = " (read from the unit at " + timeText() + ")";
    if (diffs.empty())
        f.lblSummary.setCaption("No differences: the unit holds the editor's settings" + when + ".");
    else
        f.lblSummary.setCaption(std::to_string(diffs.size()) +
                                (diffs.size() == 1 ? " setting differs" : " settings differ") +
                                " between the editor and the unit" + when + ".");
    f.form.setCaption(beforeUpload ? "Upload Settings: Differences from the Unit" : "Differences from the Unit");
    f.cmdUpload.setEnabled(v_.OnLine);
    f.form.setVisible(true);
}

void ServiceVisit::mnuShowDiff_Click() {
    settings_.showDifferencesBeforeUpload = !settings_.showDifferencesBeforeUpload;
    c_.bar.mnuShowDiff.setChecked(settings_.showDifferencesBeforeUpload);
    if (!writeServiceSettings(serviceSettingsPath(paths_.dataDir), settings_))
        status("The option could not be saved in " + serviceSettingsPath(paths_.dataDir) + ": it holds for this run.");
}

bool ServiceVisit::beforeExplicitUpload(int) {
    // The start-up snapshot going back at exit ("Revert?" answered Yes)
    // comes this way too, with the working file loaded: it is no Upload
    // Settings of the user's and must go out as it always does.
    const bool revert = v_.ConfigFilePath == paths_.workingFile();
    if (passThrough_ || revert || !settings_.showDifferencesBeforeUpload) {
        passThrough_ = false;
        return true;
    }
    showTable(true);
    return false;  // the table's Upload sends
}

void ServiceVisit::cmdCompareUpload_Click() {
    c_.compare.form.setVisible(false);
    passThrough_ = true;
    p_.upload.UploadToUnit(0, -1);
    passThrough_ = false;
}

void ServiceVisit::cmdCompareCancel_Click() { c_.compare.form.setVisible(false); }

// ---------------------------------------------------------------- verify

void ServiceVisit::afterUpload(int which) {
    verifyText_.clear();
    verifyMatched_ = false;
    if (!v_.OnLine || !unitReads_) return;  // the upload failed: reported, off line
    const Blocks blocks = blocksOf(which);
    SystemBlock s = v_.systemBlock;
    AudioBlock a = v_.audioBlock;
    if (!readUnit(s, a, blocks)) {
        verifyText_ = std::string("Not verified: the unit stopped answering before the ") + blocksWord(blocks) +
                      " could be read back.";
        status(verifyText_ + " The configuration is not uploaded.");
        return;
    }
    verifiedSystem_ = s;
    verifiedAudio_ = a;
    const auto diffs = compareConfigurations(v_.systemBlock, v_.audioBlock, s, a, blocks);
    if (diffs.empty()) {
        verifyMatched_ = true;
        lastDiffs_.clear();
        verifyText_ = "Verified: the unit holds the settings sent (" + std::string(blocksWord(blocks)) +
                      " read back at " + timeText() + ").";
        status(verifyText_);
        return;
    }
    verifyText_ = "NOT verified: the unit holds other values for " + differenceSummary(diffs) + ".";
    status(verifyText_ + " The configuration is not uploaded.");
    // One box per fault: a unit that keeps storing the same wrong value is
    // said once, then in the status bar at every upload.
    const std::string fields = differenceLines(diffs, 12);
    if (fields == lastDiffs_) return;
    lastDiffs_ = fields;
    msg_.show("The unit did not keep what was sent. These settings read back differently:\n\n" + fields +
                  "\nThe configuration is not uploaded. Upload again; if the same settings come back wrong, the unit "
                  "needs service.",
              "Upload Not Verified", MsgIcon::Exclamation, MsgButtons::OK);
}

// ---------------------------------------------------------------- as found

void ServiceVisit::unitConnected() {
    if (!v_.OnLine) return;  // reading the settings failed: reported, off line
    versionsRead_ = true;
    if (!unitReads_) return;
    lastDiffs_.clear();
    // The unit's own bytes, read again: the controls may have brought a
    // value outside their range into the record.
    ConfigData found = ConfigData::from(v_);
    if (!readUnit(found.systemBlock, found.audioBlock)) return;
    found.TheaterInfo[9] = stampText(UnpackUploadStamp(found.audioBlock));
    const std::string dir = asFoundDirectory(paths_.dataDir);
    settings_ = readServiceSettings(serviceSettingsPath(paths_.dataDir));
    const int port = v_.ComPort <= 0 ? 1 : v_.ComPort;
    const KeepResult r =
        keepAsFound(dir, found, clock_.now(), settings_.asFoundMaxFiles, {port, q7m::mapPort(port).target.text});
    if (!r) {
        status("The as-found configuration could not be kept: " + r.error);
        return;
    }
    asFoundPath_ = r.path;
    std::string text = "As found: the unit's configuration is kept in " + r.path + ".";
    if (const std::string note = prunedNote(r.removed, settings_.asFoundMaxFiles); !note.empty()) text += " " + note;
    status(text);
}

void ServiceVisit::mnuAsFound_Click() {
    const std::string dir = asFoundDirectory(paths_.dataDir);
    listed_ = listAsFound(dir);
    if (listed_.empty()) {
        msg_.show("No as-found configuration has been kept yet: one is kept each time the editor connects to a "
                  "unit.\n\nFolder: " + dir,
                  "Open As-Found", MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    std::vector<std::vector<std::string>> rows;
    auto shown = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
    for (const auto& e : listed_)
        rows.push_back({shown(e.theater), shown(e.screen), shown(e.serial), e.when.empty() ? e.fileName : e.when,
                        e.source.port > 0 ? "COM" + std::to_string(e.source.port) : "-"});
    auto& f = c_.asFound;
    f.grdFiles.setContent({"Theater", "Screen", "S/N", "Found", "Port"}, std::move(rows));
    f.lblFolder.setCaption("Kept in " + dir);
    f.cmdOpen.setEnabled(false);
    f.form.setVisible(true);
}

void ServiceVisit::cmdAsFoundOpen_Click() {
    auto& f = c_.asFound;
    const int row = f.grdFiles.selected();
    if (row < 0 || row >= static_cast<int>(listed_.size())) return;
    const AsFoundEntry e = listed_[static_cast<std::size_t>(row)];
    f.form.setVisible(false);
    // Opened as Open opens a file, but never made the current file: a Save
    // must not overwrite what was found.
    const std::string previous = v_.ConfigFilePath;
    if (!p_.docs.loadWorkingCopy(e.path)) {
        v_.ConfigFilePath = previous;
        msg_.show("The as-found file could not be read: " + e.path, "Open As-Found", MsgIcon::Exclamation,
                  MsgButtons::OK);
        return;
    }
    v_.ConfigFilePath.clear();
    p_.doc.showName("As found: " + e.fileName);
    status("Opened the as-found configuration " + e.fileName + ". Save As keeps a copy; it is not uploaded.");
}

void ServiceVisit::cmdAsFoundCancel_Click() { c_.asFound.form.setVisible(false); }

// ---------------------------------------------------------------- report

ServiceReport ServiceVisit::currentReport() const {
    ReportContext ctx;
    ctx.when = clock_.now();
    if (versionsRead_) ctx.versions = v_.unitVersions;
    // The verify result belongs in the report while the configuration is
    // still the one verified.
    if (!verifyText_.empty() &&
        compareConfigurations(v_.systemBlock, v_.audioBlock, verifiedSystem_, verifiedAudio_).empty())
        ctx.verify = verifyText_;
    return buildServiceReport(ConfigData::from(v_), ctx);
}

void ServiceVisit::mnuReport_Click() {
    if (!writer_) {
        msg_.show("This program was built without the PDF writer.", "Export Service Report", MsgIcon::Exclamation,
                  MsgButtons::OK);
        return;
    }
    const LocalTime t = clock_.now();
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", t.year, t.month, t.day);
    const std::string& theater = v_.TheaterInfo[1];
    const std::string proposed = (theater.empty() ? std::string("Service report") : safeFileName(theater) + " service report") +
                                 " " + date + ".pdf";
    auto chosen = files_.showSave(kReportFilter, proposed);
    if (!chosen || chosen->empty()) return;
    std::string path = *chosen;
    if (path.size() < 4 || path.compare(path.size() - 4, 4, ".pdf") != 0) path += ".pdf";
    if (const std::string why = writer_->writePdf(currentReport(), path); !why.empty()) {
        msg_.show("The service report could not be written to " + path + ":\n" + why, "Export Service Report",
                  MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    status("Service report written to " + path + ".");
}

}  // namespace zelk
