// editor.h - the editor's composition root: the windows' controls, the
// record and the services, and one component per subsystem, each built
// with only what it uses.  Included only by app/ and the Qt front end.
#ifndef ZELK_APP_EDITOR_H
#define ZELK_APP_EDITOR_H

#include "connection/connect.h"
#include "connection/dispatcher.h"
#include "connection/lifecycle.h"
#include "connection/link_api.h"
#include "connection/link_events.h"
#include "connection/link_runner.h"
#include "connection/live_status.h"
#include "connection/online_gate.h"
#include "connection/polling.h"
#include "connection/port_speed.h"
#include "connection/upload.h"
#include "controls/equaliser.h"
#include "controls/levels.h"
#include "controls/options.h"
#include "controls/sliders.h"
#include "controls/tabs.h"
#include "files/file_commands.h"
#include "files/service_visit.h"
#include "files/site_overview.h"
#include "files/theater.h"
#include "form/forms.h"
#include "form/paths.h"
#include "form/services.h"
#include "model/channel_ops.h"
#include "model/document.h"
#include "model/lookup.h"
#include "model/record.h"
#include "optical/optical.h"

namespace zelk {

struct Services {
    MessageBoxService& msg;
    FileDialogService& files;
    ClockService& clock;
    UiService& ui;
    LinkRunner& runner;  // where library calls run
};

class Editor {
public:
    Editor(Services services, const LinkApi& link, Paths paths);
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // Windows and record.
    FrmMain main;
    FrmProg prog;
    FrmTheater theater;
    FrmRef ref;
    FrmSplash splash;
    FrmFader fader;
    FrmCompare compare;
    FrmAsFound asFound;
    FrmHistory history;
    FrmSite site;
    ModVals vals;
    LookupTables tables;

    Services svc;
    const LinkApi& link;
    Paths paths;

    // Components, in the order they are built: each uses only those above it.
    Document document;        // unsaved changes and the window title
    LinkEventHub linkEvents;  // the dispatcher's events, passed to their subscribers
    Dispatcher dispatch;      // RetryFunction, DispErr
    LiveStatus live;          // the live value displays
    OnLineGate gate;          // what needs the unit on line
    TheaterInfoEditor theaterInfo;
    Upload upload;            // upload and apply, the upload options
    ChannelOps channels;      // configuration record and channel operations
    Polling polling;          // poll, refresh, automatic update
    PortSpeed portSpeed;      // port and speed menus
    Connection connection;    // Connect and the version check
    FileCommands fileCmds;    // file menu and working files
    Lifecycle lifecycle;      // start-up and shut-down
    SliderKeys sliderKeys;
    Levels levels;            // fader, mute, test signals
    Equaliser equaliser;
    Sliders sliders;
    Options options;          // format, options, OBE switch
    Tabs tabs;
    Optical optical;
    ServiceVisit service;     // compare, verify, roll-back, as-found archive, history, service report
    SiteOverview siteOverview;  // every unit of the site
};

}  // namespace zelk

#endif
