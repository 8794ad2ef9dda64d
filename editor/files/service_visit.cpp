#include "files/service_visit.h"

#include <cstdio>

#include "files/file_commands.h"
#include "form/translate.h"
#include "model/stamp.h"
#include "platform/system.h"
#include "port/port_map.h"

namespace zelk {

namespace {

std::string blocksWord(Blocks b) {
    return b == Blocks::System  ? translate("ServiceVisit", "system block")
           : b == Blocks::Audio ? translate("ServiceVisit", "audio block")
                                : translate("ServiceVisit", "system and audio blocks");
}

// The words the unit's history records keep in English (what was done and
// how it ended), as the user reads them.
std::string historyWord(const std::string& word) {
    static const char* const kWords[] = {
        ZELK_TEXT("History", "upload"),      ZELK_TEXT("History", "automatic upload"),
        ZELK_TEXT("History", "restore"),     ZELK_TEXT("History", "as-found"),
        ZELK_TEXT("History", "verified"),    ZELK_TEXT("History", "not verified"),
        ZELK_TEXT("History", "rolled back"), ZELK_TEXT("History", "half done"),
        ZELK_TEXT("History", "not sent"),    ZELK_TEXT("History", "nothing to send"),
        ZELK_TEXT("History", "kept")};
    for (const char* w : kWords)
        if (word == w) return translate("History", w);
    return word;
}

Blocks blocksOf(int which) { return which == 1 ? Blocks::System : which == 2 ? Blocks::Audio : Blocks::Both; }

// The differences as lines "Setting: sent X, the unit holds Y", at most `max`.
std::string differenceLines(const std::vector<FieldDifference>& diffs, std::size_t max) {
    std::string s;
    const std::string line = translate("ServiceVisit", "%1: sent %2, the unit holds %3\n");
    for (std::size_t i = 0; i < diffs.size() && i < max; ++i)
        s += fill(line, {diffs[i].shownName, diffs[i].shownLeft, diffs[i].shownRight});
    if (diffs.size() > max)
        s += fill(translate("ServiceVisit", "... and %1 more\n"), {std::to_string(diffs.size() - max)});
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
    c_.compare.grdDiff.onCheck = [this](int row) { grdDiff_Check(row); };
    c_.compare.txtReason.onChange = [this] { showUploadEnabled(); };
    b.mnuApply.onClick = [this] { mnuApply_Click(); };
    b.mnuHistory.onClick = [this] { mnuHistory_Click(); };
    b.mnuAskReason.onClick = [this] { mnuAskReason_Click(); };
    c_.history.cmdClose.onClick = [this] { cmdHistoryClose_Click(); };
    c_.asFound.cmdOpen.onClick = [this] { cmdAsFoundOpen_Click(); };
    c_.asFound.cmdCancel.onClick = [this] { cmdAsFoundCancel_Click(); };
    c_.asFound.grdFiles.onClick = [this] { c_.asFound.cmdOpen.setEnabled(c_.asFound.grdFiles.selected() >= 0); };
    c_.asFound.grdFiles.onDblClick = [this] { cmdAsFoundOpen_Click(); };
    p_.upload.beforeExplicitUpload = [this](int which) { return beforeExplicitUpload(which); };
    p_.upload.beforeSend = [this](int which) { beforeSend(which); };
    p_.upload.afterUpload = [this](int which) { afterUpload(which); };

    settings_ = readServiceSettings(serviceSettingsPath(paths_.dataDir));
    b.mnuShowDiff.setChecked(settings_.showDifferencesBeforeUpload);
    b.mnuAskReason.setChecked(settings_.askReasonBeforeUpload);
}

void ServiceVisit::status(const std::string& text) { c_.bar.staStatus.setCaption(text); }

void ServiceVisit::optionNotSaved() {
    status(fill(translate("ServiceVisit", "The option could not be saved in %1: it holds for this run."),
                {serviceSettingsPath(paths_.dataDir)}));
}

std::string ServiceVisit::notUploaded() { return translate("ServiceVisit", " The configuration is not uploaded."); }

std::string ServiceVisit::timeText() const {
    const LocalTime t = clock_.now();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d:%02d ", t.hour % 12 == 0 ? 12 : t.hour % 12, t.minute, t.second);
    return buf + (t.hour >= 12 ? translate("Clock", "PM") : translate("Clock", "AM"));
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
        msg_.show(translate("ServiceVisit", "Compare with Unit reads the unit's settings: connect to the unit first."),
                  translate("ServiceVisit", "Compare with Unit"), MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    showTable(TableUse::Compare);
}

void ServiceVisit::mnuApply_Click() {
    if (!v_.OnLine) {
        msg_.show(translate("ServiceVisit", "Apply to the Unit reads the unit's settings: connect to the unit first."),
                  translate("ServiceVisit", "Apply to the Unit"), MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    showTable(TableUse::Apply);
}

void ServiceVisit::fileOpened() {
    if (!v_.OnLine) return;
    status(translate("ServiceVisit", "The file is open in the editor and has not been sent: File > Apply to the "
                                     "Unit... shows what it changes in the unit and sends the settings you tick."));
}

void ServiceVisit::showTable(TableUse use) {
    SystemBlock s;
    AudioBlock a;
    if (!readUnit(s, a)) return;
    remember(s, a, Blocks::Both);
    use_ = use;
    tableSystem_ = s;
    tableAudio_ = a;
    tableDiffs_ = compareConfigurations(v_.systemBlock, v_.audioBlock, s, a);
    // A section's row, then its settings: sections in the tabs' order.
    std::vector<std::vector<std::string>> rows;
    rowDiff_.clear();
    rowSection_.clear();
    for (int i = 0; i < kSectionCount; ++i) {
        const auto sec = static_cast<Section>(i);
        bool first = true;
        for (std::size_t k = 0; k < tableDiffs_.size(); ++k) {
            const auto& d = tableDiffs_[k];
            if (sectionOf(d.block, d.offset) != sec) continue;
            if (first) {
                rows.push_back({"", sectionTitle(sec), "", ""});
                rowDiff_.push_back(-1);
                rowSection_.push_back(sec);
                first = false;
            }
            rows.push_back({"", d.shownName, d.shownLeft, d.shownRight});
            rowDiff_.push_back(static_cast<int>(k));
            rowSection_.push_back(sec);
        }
    }
    auto& f = c_.compare;
    f.grdDiff.setContent({"", translate("ServiceVisit", "Setting"), translate("ServiceVisit", "Editor"),
                          translate("ServiceVisit", "Unit")},
                         std::move(rows));
    f.grdDiff.setChecks(std::vector<int>(rowDiff_.size(), Table::kTicked));
    const std::string time = timeText();
    if (tableDiffs_.empty())
        f.lblSummary.setCaption(fill(translate("ServiceVisit", "No differences: the unit holds the editor's settings "
                                                               "(read from the unit at %1)."),
                                     {time}));
    else
        f.lblSummary.setCaption(fill(tableDiffs_.size() == 1
                                         ? translate("ServiceVisit", "%1 setting differs between the editor and the "
                                                                     "unit (read from the unit at %2). Untick what "
                                                                     "the unit is to keep; Upload Selected sends the "
                                                                     "rest.")
                                         : translate("ServiceVisit", "%1 settings differ between the editor and the "
                                                                     "unit (read from the unit at %2). Untick what "
                                                                     "the unit is to keep; Upload Selected sends the "
                                                                     "rest."),
                                     {std::to_string(tableDiffs_.size()), time}));
    const std::string name = v_.ConfigFilePath.empty() ? p_.doc.name() : v_.ConfigFilePath;
    f.form.setCaption(use == TableUse::BeforeUpload
                          ? translate("ServiceVisit", "Upload Settings: Differences from the Unit")
                      : use == TableUse::Apply ? fill(translate("ServiceVisit", "Apply to the Unit: %1"), {name})
                                               : translate("ServiceVisit", "Differences from the Unit"));
    f.txtReason.setText("");
    f.lblReason.setCaption(settings_.askReasonBeforeUpload
                               ? translate("ServiceVisit", "Reason (asked before each upload, kept in the unit's history):")
                               : translate("ServiceVisit", "Reason (optional, kept in the unit's history):"));
    showUploadEnabled();
    f.form.setVisible(true);
}

// A section's box ticks or unticks all its settings; a setting's box
// shows in its section's (ticked, unticked or partly).
void ServiceVisit::grdDiff_Check(int row) {
    auto& t = c_.compare.grdDiff;
    if (row < 0 || row >= static_cast<int>(rowDiff_.size())) return;
    std::vector<int> checks = t.checks();
    const auto at = static_cast<std::size_t>(row);
    const int now = checks[at] == Table::kTicked ? Table::kUnticked : Table::kTicked;
    for (std::size_t i = 0; i < checks.size(); ++i)
        if (i == at || (rowDiff_[at] < 0 && rowSection_[i] == rowSection_[at])) checks[i] = now;
    for (std::size_t i = 0; i < checks.size(); ++i) {
        if (rowDiff_[i] >= 0) continue;
        int ticked = 0, all = 0;
        for (std::size_t k = 0; k < checks.size(); ++k)
            if (rowDiff_[k] >= 0 && rowSection_[k] == rowSection_[i]) {
                ++all;
                ticked += checks[k] == Table::kTicked;
            }
        checks[i] = ticked == all ? Table::kTicked : ticked == 0 ? Table::kUnticked : Table::kPartly;
    }
    t.setChecks(std::move(checks));
    showUploadEnabled();
}

void ServiceVisit::showUploadEnabled() {
    auto& f = c_.compare;
    bool any = tableDiffs_.empty();
    for (std::size_t i = 0; i < rowDiff_.size(); ++i)
        any = any || (rowDiff_[i] >= 0 && f.grdDiff.check(static_cast<int>(i)) == Table::kTicked);
    const bool reasonGiven = f.txtReason.text().find_first_not_of(" \t") != std::string::npos;
    f.cmdUpload.setEnabled(v_.OnLine && any && (!settings_.askReasonBeforeUpload || reasonGiven));
}

void ServiceVisit::mnuShowDiff_Click() {
    settings_.showDifferencesBeforeUpload = !settings_.showDifferencesBeforeUpload;
    c_.bar.mnuShowDiff.setChecked(settings_.showDifferencesBeforeUpload);
    if (!writeServiceSettings(serviceSettingsPath(paths_.dataDir), settings_))
        optionNotSaved();
}

void ServiceVisit::mnuAskReason_Click() {
    settings_.askReasonBeforeUpload = !settings_.askReasonBeforeUpload;
    c_.bar.mnuAskReason.setChecked(settings_.askReasonBeforeUpload);
    if (!writeServiceSettings(serviceSettingsPath(paths_.dataDir), settings_))
        optionNotSaved();
}

bool ServiceVisit::beforeExplicitUpload(int) {
    // The start-up snapshot going back at exit ("Revert?" answered Yes)
    // comes this way too, with the working file loaded: it is no Upload
    // Settings of the user's and must go out as it always does.
    const bool revert = v_.ConfigFilePath == paths_.workingFile();
    const bool table = settings_.showDifferencesBeforeUpload || settings_.askReasonBeforeUpload;
    if (passThrough_ || revert || !table) {
        passThrough_ = false;
        return true;
    }
    showTable(TableUse::BeforeUpload);
    return false;  // the table's Upload sends
}

void ServiceVisit::cmdCompareUpload_Click() {
    auto& f = c_.compare;
    if (!f.cmdUpload.enabled()) return;
    f.form.setVisible(false);
    reason_ = f.txtReason.text();
    uploadSelected();
    reason_.clear();
}

// Everything ticked: the editor's configuration goes as it stands.
// Otherwise the unit's settings as the table read them, with the ticked
// ones taken from the editor; the editor then holds them too, and only the
// blocks that change are sent.
void ServiceVisit::uploadSelected() {
    const auto& t = c_.compare.grdDiff;
    std::vector<bool> ticked(tableDiffs_.size(), false);
    bool all = true;
    for (std::size_t i = 0; i < rowDiff_.size(); ++i) {
        if (rowDiff_[i] < 0) continue;
        const bool on = t.check(static_cast<int>(i)) == Table::kTicked;
        ticked[static_cast<std::size_t>(rowDiff_[i])] = on;
        all = all && on;
    }
    int which = 0;
    if (!all) {
        SystemBlock s = tableSystem_;
        AudioBlock a = tableAudio_;
        bool system = false, audio = false;
        takeSettings(s, a, v_.systemBlock, v_.audioBlock, [&](const FieldValue& field) {
            for (std::size_t k = 0; k < tableDiffs_.size(); ++k)
                if (ticked[k] && tableDiffs_[k].block == field.block && tableDiffs_[k].offset == field.offset) {
                    (field.block == Blocks::System ? system : audio) = true;
                    return true;
                }
            return false;
        });
        if (!system && !audio) return;
        which = system && audio ? 0 : system ? 1 : 2;
        v_.systemBlock = s;
        v_.audioBlock = a;
        {
            LoadingScope loading(v_);
            p_.upload.ApplyUnitSystemSettings();
            p_.upload.ApplyUnitAudioSettings();
            p_.channels.LoadChannelData();
        }
        // No longer the file's configuration, nor the one before.
        p_.doc.markDirty();
        status(translate("ServiceVisit", "The settings left unticked now hold the unit's values in the editor too."));
    }
    passThrough_ = true;
    p_.upload.UploadToUnit(which, -1);
    passThrough_ = false;
}

void ServiceVisit::cmdCompareCancel_Click() { c_.compare.form.setVisible(false); }

// ---------------------------------------------------------------- verify

void ServiceVisit::remember(const SystemBlock& s, const AudioBlock& a, Blocks which) {
    if (which != Blocks::Audio) unitSystem_ = s;
    if (which != Blocks::System) unitAudio_ = a;
    unitKnown_ = unitKnown_ || which == Blocks::Both;
}

void ServiceVisit::beforeSend(int which) {
    rollBackReady_ = false;
    if (which != 0 || !unitReads_ || !v_.OnLine) return;
    // What the unit holds now: what a failed audio block takes it back to.
    SystemBlock s;
    AudioBlock a;
    if (!readUnit(s, a)) return;
    remember(s, a, Blocks::Both);
    rollBackReady_ = true;
}

void ServiceVisit::afterUpload(int which) {
    verifyText_.clear();
    verifyMatched_ = false;
    if (!unitReads_) return;
    const Upload::Sent sent = p_.upload.lastSent();
    const Blocks blocks = blocksOf(which);
    HistoryRecord record = newRecord(sent.explicitUpload ? "upload" : "automatic upload");
    record.reason = reason_;
    if (unitKnown_)
        record.changes = historyChanges(
            compareConfigurations(unitSystem_, unitAudio_, v_.systemBlock, v_.audioBlock, blocks));
    if (which == 0 && sent.system && !sent.audio && rollBackReady_) {
        record.result = rollBack() ? kResultRolledBack : kResultHalfDone;
        keepRecord(record);
        return;
    }
    if (!v_.OnLine) {  // the upload failed: reported, off line
        record.result = sent.system || sent.audio ? kResultNotVerified : kResultNotSent;
        keepRecord(record);
        return;
    }
    SystemBlock s = v_.systemBlock;
    AudioBlock a = v_.audioBlock;
    if (!readUnit(s, a, blocks)) {
        verifyText_ = fill(translate("ServiceVisit", "Not verified: the unit stopped answering before the %1 could "
                                                     "be read back."),
                           {blocksWord(blocks)});
        status(verifyText_ + notUploaded());
        record.result = kResultNotVerified;
        keepRecord(record);
        return;
    }
    remember(s, a, blocks);
    verifiedSystem_ = s;
    verifiedAudio_ = a;
    const auto diffs = compareConfigurations(v_.systemBlock, v_.audioBlock, s, a, blocks);
    record.result = diffs.empty() ? kResultVerified : kResultNotVerified;
    keepRecord(record);
    if (diffs.empty()) {
        verifyMatched_ = true;
        lastDiffs_.clear();
        verifyText_ = fill(translate("ServiceVisit", "Verified: the unit holds the settings sent (%1 read back at %2)."),
                           {blocksWord(blocks), timeText()});
        status(verifyText_);
        return;
    }
    verifyText_ = fill(translate("ServiceVisit", "NOT verified: the unit holds other values for %1."),
                       {differenceSummary(diffs)});
    status(verifyText_ + notUploaded());
    // One box per fault: a unit that keeps storing the same wrong value is
    // said once, then in the status bar at every upload.
    const std::string fields = differenceLines(diffs, 12);
    if (fields == lastDiffs_) return;
    lastDiffs_ = fields;
    msg_.show(fill(translate("ServiceVisit", "The unit did not keep what was sent. These settings read back "
                                             "differently:\n\n%1\nThe configuration is not uploaded. Upload again; if "
                                             "the same settings come back wrong, the unit needs service."),
                   {fields}),
              translate("ServiceVisit", "Upload Not Verified"), MsgIcon::Exclamation, MsgButtons::OK);
}

// The unit stored the system block and then failed the audio block; the
// dispatcher has said so and gone off line.  Through a new link the unit's
// previous system block goes back (and its previous audio block, should the
// new one have been stored with only its confirmation lost); the link is
// then given up again, as the report said.  True when the unit reads back
// with its previous settings.
bool ServiceVisit::rollBack() {
    const SystemBlock previousSystem = unitSystem_;
    const AudioBlock previousAudio = unitAudio_;
    bool back = false;
    if (p_.dispatch.RetryFunction(FN_InitDLL) == 0 && v_.OnLine) {
        const SystemBlock mine = v_.systemBlock;
        const AudioBlock myAudio = v_.audioBlock;
        v_.systemBlock = previousSystem;
        bool sentBack = p_.dispatch.RetryFunction(FN_SetSystem) == 0 && v_.OnLine;
        SystemBlock s;
        AudioBlock a;
        if (sentBack && readUnit(s, a, Blocks::Audio) &&
            !compareConfigurations(s, a, previousSystem, previousAudio, Blocks::Audio).empty()) {
            v_.audioBlock = previousAudio;
            sentBack = p_.dispatch.RetryFunction(FN_SetAudio) == 0 && v_.OnLine;
        }
        v_.systemBlock = mine;
        v_.audioBlock = myAudio;
        if (sentBack && readUnit(s, a)) {
            remember(s, a, Blocks::Both);
            back = compareConfigurations(s, a, previousSystem, previousAudio).empty();
        }
    }
    if (v_.OnLine) p_.dispatch.DispErr(0);  // quietly: the failure has been reported
    if (back) {
        verifyText_ = translate("ServiceVisit", "Upload rolled back: the unit holds its previous settings.");
        status(verifyText_ + notUploaded());
        msg_.show(translate("ServiceVisit", "The unit stored the system block but not the audio block, so its "
                                            "previous system block was sent back: rolled back: the unit holds its "
                                            "previous settings.\n\nThe changes are kept in the editor; connect again "
                                            "and upload them once the unit answers."),
                  translate("ServiceVisit", "Upload Rolled Back"), MsgIcon::Exclamation, MsgButtons::OK);
        return true;
    }
    verifyText_ = translate("ServiceVisit", "The upload is HALF DONE: the unit stored the system block but not the "
                                            "audio block; it now holds the new system settings with its previous "
                                            "audio settings (equalisers, trims, OBE). Upload again once the unit "
                                            "answers.");
    status(verifyText_);
    msg_.show(verifyText_, translate("ServiceVisit", "Upload Half Done"), MsgIcon::Exclamation, MsgButtons::OK);
    return false;
}

// ---------------------------------------------------------------- history

std::string ServiceVisit::historyFile() const {
    return historyPath(paths_.dataDir, v_.ComPort, q7m::mapPort(v_.ComPort).target.text);
}

HistoryRecord ServiceVisit::newRecord(const std::string& action) const {
    HistoryRecord r;
    r.time = historyTime(clock_.now());
    r.user = q7m::platform::userName();
    r.program = "ZELKVELQ";
    r.port = "COM" + std::to_string(v_.ComPort);
    r.target = q7m::mapPort(v_.ComPort).target.text;
    r.action = action;
    return r;
}

void ServiceVisit::keepRecord(const HistoryRecord& r) {
    if (const std::string why = appendHistory(historyFile(), r); !why.empty())
        status(fill(translate("ServiceVisit", "The unit's history could not be written to %1: %2"), {historyFile(), why}));
}

void ServiceVisit::mnuHistory_Click() {
    const std::string path = historyFile();
    const HistoryRead h = readHistory(path);
    std::vector<std::vector<std::string>> rows;
    for (auto it = h.records.rbegin(); it != h.records.rend(); ++it) {
        std::string what = historyWord(it->action);
        if (!it->source.empty()) what += " " + it->source.substr(it->source.find_last_of("/\\") + 1);
        if (!it->sections.empty()) what += fill(translate("ServiceVisit", " (only %1)"), {it->sections});
        rows.push_back({it->time, it->program, it->user, what, historyWord(it->result), it->reason,
                        changesSummary(it->changes)});
    }
    auto& f = c_.history;
    f.grdHistory.setContent({translate("ServiceVisit", "When"), translate("ServiceVisit", "Program"),
                             translate("ServiceVisit", "User"), translate("ServiceVisit", "What"),
                             translate("ServiceVisit", "Result"), translate("ServiceVisit", "Reason"),
                             translate("ServiceVisit", "Changes")},
                            std::move(rows));
    f.lblFile.setCaption(fill(h.records.empty() ? translate("ServiceVisit", "Nothing recorded yet in %1")
                                                : translate("ServiceVisit", "Kept in %1"),
                              {path}));
    std::string note;
    for (const auto& n : h.notes) note += (note.empty() ? "" : "\n") + n;
    f.lblNote.setCaption(note);
    f.form.setCaption(fill(translate("ServiceVisit", "Unit History: COM%1"), {std::to_string(v_.ComPort)}));
    f.form.setVisible(true);
}

void ServiceVisit::cmdHistoryClose_Click() { c_.history.form.setVisible(false); }

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
    remember(found.systemBlock, found.audioBlock, Blocks::Both);
    found.TheaterInfo[9] = stampText(UnpackUploadStamp(found.audioBlock));
    const std::string dir = asFoundDirectory(paths_.dataDir);
    settings_ = readServiceSettings(serviceSettingsPath(paths_.dataDir));
    const int port = v_.ComPort <= 0 ? 1 : v_.ComPort;
    const KeepResult r =
        keepAsFound(dir, found, clock_.now(), settings_.asFoundMaxFiles, {port, q7m::mapPort(port).target.text});
    if (!r) {
        status(fill(translate("ServiceVisit", "The as-found configuration could not be kept: %1"), {r.error}));
        return;
    }
    asFoundPath_ = r.path;
    HistoryRecord mark = newRecord(kActionAsFound);
    mark.source = r.path;
    mark.result = kResultKept;
    keepRecord(mark);
    std::string text = fill(translate("ServiceVisit", "As found: the unit's configuration is kept in %1."), {r.path});
    if (const std::string note = prunedNote(r.removed, settings_.asFoundMaxFiles); !note.empty()) text += " " + note;
    status(text);
}

void ServiceVisit::mnuAsFound_Click() {
    const std::string dir = asFoundDirectory(paths_.dataDir);
    listed_ = listAsFound(dir);
    if (listed_.empty()) {
        msg_.show(fill(translate("ServiceVisit", "No as-found configuration has been kept yet: one is kept each time "
                                                 "the editor connects to a unit.\n\nFolder: %1"),
                       {dir}),
                  translate("ServiceVisit", "Open As-Found"), MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    std::vector<std::vector<std::string>> rows;
    auto shown = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
    for (const auto& e : listed_)
        rows.push_back({shown(e.theater), shown(e.screen), shown(e.serial), e.when.empty() ? e.fileName : e.when,
                        e.source.port > 0 ? "COM" + std::to_string(e.source.port) : "-"});
    auto& f = c_.asFound;
    f.grdFiles.setContent({translate("ServiceVisit", "Theater"), translate("ServiceVisit", "Screen"),
                           translate("ServiceVisit", "S/N"), translate("ServiceVisit", "Found"),
                           translate("ServiceVisit", "Port")},
                          std::move(rows));
    f.lblFolder.setCaption(fill(translate("ServiceVisit", "Kept in %1"), {dir}));
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
        msg_.show(fill(translate("ServiceVisit", "The as-found file could not be read: %1"), {e.path}),
                  translate("ServiceVisit", "Open As-Found"), MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    v_.ConfigFilePath.clear();
    p_.doc.showName(fill(translate("ServiceVisit", "As found: %1"), {e.fileName}));
    status(fill(translate("ServiceVisit", "Opened the as-found configuration %1. Save As keeps a copy; it is not "
                                         "uploaded."),
                {e.fileName}));
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
    ctx.changes = changesSinceAsFound(readHistory(historyFile()).records);
    return buildServiceReport(ConfigData::from(v_), ctx);
}

void ServiceVisit::mnuReport_Click() {
    if (!writer_) {
        msg_.show(translate("ServiceVisit", "This program was built without the PDF writer."),
                  translate("ServiceVisit", "Export Service Report"), MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    const LocalTime t = clock_.now();
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", t.year, t.month, t.day);
    const std::string& theater = v_.TheaterInfo[1];
    const std::string proposed =
        (theater.empty() ? fill(translate("ServiceVisit", "Service report %1"), {date})
                         : fill(translate("ServiceVisit", "%1 service report %2"), {safeFileName(theater), date})) +
        ".pdf";
    auto chosen = files_.showSave(translate("ServiceVisit", kReportFilter.c_str()), proposed);
    if (!chosen || chosen->empty()) return;
    std::string path = *chosen;
    if (path.size() < 4 || path.compare(path.size() - 4, 4, ".pdf") != 0) path += ".pdf";
    if (const std::string why = writer_->writePdf(currentReport(), path); !why.empty()) {
        msg_.show(fill(translate("ServiceVisit", "The service report could not be written to %1:\n%2"), {path, why}),
                  translate("ServiceVisit", "Export Service Report"), MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    status(fill(translate("ServiceVisit", "Service report written to %1."), {path}));
}

}  // namespace zelk
