// editor.h - the editor's composition root: the windows' controls, the
// record and the services, shared by one component per subsystem.
#ifndef ZELK_APP_EDITOR_H
#define ZELK_APP_EDITOR_H

#include <string>

#include "channel_ops.h"
#include "connect.h"
#include "dispatcher.h"
#include "equaliser.h"
#include "file_commands.h"
#include "forms.h"
#include "levels.h"
#include "lifecycle.h"
#include "link_api.h"
#include "lookup.h"
#include "optical.h"
#include "options.h"
#include "paths.h"
#include "polling.h"
#include "port_speed.h"
#include "record.h"
#include "services.h"
#include "sliders.h"
#include "tabs.h"
#include "theater.h"
#include "upload.h"

namespace zelk {

struct Services {
    MessageBoxService& msg;
    FileDialogService& files;
    ClockService& clock;
    UiService& ui;
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
    ModVals vals;
    LookupTables tables;

    Services svc;
    const LinkApi& link;
    Paths paths;

    // Subsystem components.
    ChannelOps channels;     // configuration record and channel operations
    FileCommands fileCmds;   // file menu and working files
    TheaterInfoEditor theaterInfo;
    Dispatcher dispatch;     // RetryFunction, DispErr
    Connection connection;   // Connect and the version check
    Upload upload;           // upload and apply
    Polling polling;         // poll, refresh, live displays
    PortSpeed portSpeed;     // port and speed menus
    Lifecycle lifecycle;     // start-up and shut-down
    Tabs tabs;
    Sliders sliders;
    Equaliser equaliser;
    Levels levels;
    Options options;
    Optical optical;

    // Message box helper.
    MsgResult box(const std::string& text, const std::string& title, MsgIcon icon, MsgButtons buttons) {
        return svc.msg.show(text, title, icon, buttons);
    }
};

}  // namespace zelk

#endif
