// service_visit.h - what an installer needs on a service visit, around the
// editor's own behaviour (it sends no setting the editor would not send,
// and changes none of its messages):
//  - Compare with Unit: the settings the editor and the unit hold
//    differently, read fresh from the unit, in a table with a check box
//    per section and per setting; shown before an explicit upload when
//    "Show differences before upload" (or "Ask for a reason before each
//    upload") is on, and by Apply to the Unit; "Upload Selected" sends the
//    unit's settings with only the ticked ones changed, and the editor then
//    holds what the unit holds;
//  - never half-written: when the audio block of an upload of both blocks
//    fails after the system block was stored, the unit's previous system
//    block (read just before) goes back through a new link;
//  - the unit's history: every upload recorded (old and new values, the
//    result, the reason), File > Unit History;
//  - verify: after every upload the block(s) sent are read back and
//    compared; a mismatch is named and the configuration stays not uploaded;
//  - the as-found archive: the unit's configuration as first read on each
//    connection, kept before anything is uploaded; File > Open As-Found;
//  - the service report (PDF, written by a ReportWriter).
#ifndef ZELK_FILES_SERVICE_VISIT_H
#define ZELK_FILES_SERVICE_VISIT_H

#include <string>
#include <vector>

#include "connection/dispatcher.h"
#include "connection/lifecycle.h"
#include "connection/upload.h"
#include "files/as_found.h"
#include "files/service_report.h"
#include "form/forms.h"
#include "form/paths.h"
#include "form/services.h"
#include "files/history.h"
#include "form/translate.h"
#include "model/channel_ops.h"
#include "model/compare.h"
#include "model/document.h"
#include "model/sections.h"
#include "model/record.h"

namespace zelk {

// Writes a service report as a PDF file (the Qt front end's QPdfWriter).
class ReportWriter {
public:
    virtual ~ReportWriter() = default;
    // "" when written, otherwise why not.
    virtual std::string writePdf(const ServiceReport& report, const std::string& path) = 0;
};

inline const std::string kReportFilter = ZELK_TEXT("ServiceVisit", "PDF Files (*.pdf)|*.pdf");

class ServiceVisit {
public:
    struct Controls {
        MainBar& bar;  // the menu items, the status bar
        FrmCompare& compare;
        FrmAsFound& asFound;
        FrmHistory& history;
    };
    struct Parts {
        Dispatcher& dispatch;
        Upload& upload;
        Document& doc;
        DocumentCommands& docs;
        ChannelOps& channels;
    };
    ServiceVisit(ModVals& vals, Parts parts, MessageBoxService& msg, FileDialogService& files, ClockService& clock,
                 const Paths& paths, Controls c);

    void setReportWriter(ReportWriter* w) { writer_ = w; }
    // Whether verify and the as-found archive read the unit: always in the
    // program; tests that pin the editor's own library traffic turn it off.
    void setUnitReads(bool on) { unitReads_ = on; }

    // Menu commands.
    void mnuCompare_Click();
    void mnuShowDiff_Click();
    void mnuAsFound_Click();
    void mnuReport_Click();
    void mnuApply_Click();
    void mnuHistory_Click();
    void mnuAskReason_Click();

    // Upload's hooks: the table before an explicit upload (false: not now),
    // the unit's previous blocks read just before both go out, and the
    // read-back (or the roll-back) and the history record after every upload.
    bool beforeExplicitUpload(int which);
    void beforeSend(int which);
    void afterUpload(int which);
    // File commands' hook: a file was opened.
    void fileOpened();
    // Connection's hook: a unit was connected and read.
    void unitConnected();

    // frmCompare and frmAsFound.
    void cmdCompareUpload_Click();
    void cmdCompareCancel_Click();
    void grdDiff_Check(int row);
    void cmdHistoryClose_Click();
    void cmdAsFoundOpen_Click();
    void cmdAsFoundCancel_Click();

    // Reads the unit's blocks (`which`) through the dispatcher, leaving the
    // editor's record as it was.  False when the unit could not be read
    // (reported, and off line, by the dispatcher).
    bool readUnit(SystemBlock& system, AudioBlock& audio, Blocks which = Blocks::Both);

    bool showDifferencesBeforeUpload() const { return settings_.showDifferencesBeforeUpload; }
    bool askReasonBeforeUpload() const { return settings_.askReasonBeforeUpload; }
    // This unit's history file (the port and where it leads).
    std::string historyFile() const;
    // The result of the last verify, in words ("" before any upload).
    const std::string& lastVerify() const { return verifyText_; }
    // Whether that verify found the unit holding what was sent.
    bool lastVerifyMatched() const { return verifyMatched_; }
    // The last as-found file kept ("" when none this run).
    const std::string& lastAsFound() const { return asFoundPath_; }
    ServiceReport currentReport() const;

private:
    enum class TableUse { Compare, BeforeUpload, Apply };
    void showTable(TableUse use);
    void showTableChecks();
    void showUploadEnabled();
    void uploadSelected();
    bool rollBack();
    void remember(const SystemBlock& s, const AudioBlock& a, Blocks which);
    void keepRecord(const HistoryRecord& r);
    HistoryRecord newRecord(const std::string& action) const;
    void status(const std::string& text);
    void optionNotSaved();
    static std::string notUploaded();
    std::string timeText() const;
    ModVals& v_;
    Parts p_;
    MessageBoxService& msg_;
    FileDialogService& files_;
    ClockService& clock_;
    const Paths& paths_;
    Controls c_;
    ReportWriter* writer_ = nullptr;
    bool unitReads_ = true;
    ServiceSettings settings_;

    bool passThrough_ = false;  // the table's Upload: the upload goes on without the table
    // The table: the unit as it read it, its differences, and per row the
    // difference shown (-1 for a section's row) and its section.
    TableUse use_ = TableUse::Compare;
    SystemBlock tableSystem_;
    AudioBlock tableAudio_;
    std::vector<FieldDifference> tableDiffs_;
    std::vector<int> rowDiff_;
    std::vector<Section> rowSection_;
    std::string reason_;  // given with the upload under way
    // The unit's blocks as last read (on connecting, by the table, by every
    // read-back), the old values of the history's records.
    SystemBlock unitSystem_;
    AudioBlock unitAudio_;
    bool unitKnown_ = false;
    bool rollBackReady_ = false;  // unitSystem_ was read just before an upload of both blocks
    std::string verifyText_;
    bool verifyMatched_ = false;
    SystemBlock verifiedSystem_;  // what the last verify found in the unit
    AudioBlock verifiedAudio_;
    bool versionsRead_ = false;
    std::string asFoundPath_;
    std::vector<AsFoundEntry> listed_;
    std::string lastDiffs_;  // the fields of the last mismatch, so a repeat only updates the status
};

}  // namespace zelk

#endif
