// site_overview.h - File > Site Overview: every unit of the site in one
// table, one row per port of the port table plus the editor's own.  The
// other units are read side by side in the background (UnitSurvey); the
// editor's own unit is read through its own link, never opened a second
// time.  A row connects the editor to its unit (after the question about
// unsaved changes), and "Approve as Baseline" keeps what a unit holds as
// that screen's approved configuration, FOLDER/COMn.zcf.
#ifndef ZELK_FILES_SITE_OVERVIEW_H
#define ZELK_FILES_SITE_OVERVIEW_H

#include <functional>
#include <string>
#include <vector>

#include "connection/connect.h"
#include "connection/lifecycle.h"
#include "connection/port_speed.h"
#include "files/service_visit.h"
#include "files/site_survey.h"
#include "form/forms.h"
#include "form/paths.h"
#include "form/services.h"
#include "model/document.h"
#include "model/record.h"

namespace zelk {

// What the window remembers, in "site.ini" in the data folder.
struct SiteSettings {
    std::string baselineFolder;  // "" until chosen: <data folder>/baselines
    int refreshSeconds = 0;      // 0: no automatic refresh
};
SiteSettings readSiteSettings(const std::string& dataDir);
bool writeSiteSettings(const std::string& dataDir, const SiteSettings& s);

struct SiteRow {
    enum class State { Unread, Reading, OnLine, NoAnswer, Busy, ThisEditor };
    enum class Baseline { Unknown, None, Matches, Differs };
    int port = 0;
    std::string target;  // what the port map gives for it
    std::string screen;  // from the baseline's theater information
    State state = State::Unread;
    std::string versions, format, fader, mute, lastUpload, asFound;
    Baseline baseline = Baseline::Unknown;
    int differences = 0;
    std::string detail;  // why a unit was not read
};

class SiteOverview {
public:
    struct Controls {
        MainBar& bar;  // the menu item, the status bar
        FrmSite& site;
    };
    struct Parts {
        Connection& connection;
        PortSpeed& ports;
        ServiceVisit& service;  // reads the editor's own unit through its link
        Document& doc;
        DocumentCommands& docs;
    };
    SiteOverview(ModVals& vals, Parts parts, MessageBoxService& msg, FileDialogService& files, ClockService& clock,
                 const Paths& paths, Controls c);

    void setSurvey(UnitSurvey* s) { survey_ = s; }

    void mnuSite_Click();
    void cmdRefresh_Click();
    void cmdFolder_Click();
    void cboPeriod_Click();
    void tmrSite_Timer();
    void grdUnits_DblClick();  // and Enter
    void cmdConnect_Click();
    void cmdApprove_Click();
    void cmdClose_Click();

    const std::vector<SiteRow>& rows() const { return rows_; }
    // The folder of the baselines in use.
    std::string baselineFolder() const;

private:
    void refresh();
    void surveyDone(const SurveyResult& r);
    void readOwnUnit(SiteRow& row);
    void connectTo(int port);
    void approveOwnUnit(const std::string& path);
    // Runs `f` now, or once the job under way has ended (it is stopped).
    void whenIdle(std::function<void()> f);
    void show();
    void status(const std::string& text);
    int selectedPort() const;
    std::string timeText() const;

    ModVals& v_;
    Parts p_;
    MessageBoxService& msg_;
    FileDialogService& files_;
    ClockService& clock_;
    const Paths& paths_;
    Controls c_;
    UnitSurvey* survey_ = nullptr;
    SiteSettings settings_;
    std::vector<SiteRow> rows_;
    std::function<void()> afterJob_;  // waits for the job under way
    bool refreshAgain_ = false;       // a refresh asked for while one ran
    bool refreshing_ = false;         // reading the editor's own unit
    std::string note_;                // what the last connect or approve did
};

}  // namespace zelk

#endif
