// lifecycle.h - the order of start-up and shut-down of the main window.
#ifndef ZELK_CONNECTION_LIFECYCLE_H
#define ZELK_CONNECTION_LIFECYCLE_H

#include <string>

#include "connection/connect.h"
#include "form/paths.h"
#include "connection/dispatcher.h"
#include "connection/upload.h"
#include "form/forms.h"
#include "form/services.h"
#include "model/channel_ops.h"
#include "model/document.h"
#include "model/record.h"

namespace zelk {

inline constexpr int kMinScreenTwips = 9000;

// What start-up and shut-down ask of the File commands.
class DocumentCommands {
public:
    virtual ~DocumentCommands() = default;
    virtual void InitialiseSettings() = 0;
    virtual bool WriteSettings() = 0;
    virtual void mnuNew_Click() = 0;
    // "Save?" at exit answered Yes: Save, or Save As without a file name.
    // False when the user cancelled or the save failed.
    virtual bool saveBeforeExit() = 0;
    // The start-up snapshot: written and read without dialogs or captions.
    virtual bool saveWorkingCopy(const std::string& path) = 0;
    virtual bool loadWorkingCopy(const std::string& path) = 0;
};

// Where the library's settings file is looked for: the config folder.
std::string winDir(const Paths& paths);

class Lifecycle {
public:
    struct Controls {
        MainBar& bar;
        FrmSplash& splash;
        EqTab& eq;  // the equaliser panes' starting place
        HelpTab& help;
    };
    Lifecycle(ModVals& vals, Document& doc, Dispatcher& d, Connection& connection, Upload& upload,
              ChannelOps& channels, DocumentCommands& docs, MessageBoxService& msg, UiService& ui, const Paths& paths,
              Controls c);

    void Timer1_Timer();  // the splash window's first tick
    // Returns false when the program must end at once (screen too small).
    bool Form_Load();
    // Returns true when the window may close (Cancel not set).
    bool Form_Unload();
    void mnuend_Click();
    // The session ends or the program is told to stop (a signal): nothing
    // is asked.  Unsaved changes go to the recovery file, the settings are
    // written, and the unit is quietened and let go as at a normal close.
    void endWithoutQuestions();
    // At start-up: changes kept by an editor that was told to stop are
    // offered; Yes opens them (unsaved, without a file name), No drops them.
    void offerRecovery();

    bool ended() const { return ended_; }

private:
    ModVals& v_;
    Document& doc_;
    Dispatcher& d_;
    Connection& connection_;
    Upload& upload_;
    ChannelOps& channels_;
    DocumentCommands& docs_;
    MessageBoxService& msg_;
    UiService& ui_;
    const Paths& paths_;
    Controls c_;
    bool ended_ = false;
    bool snapshotSaved_ = false;
};

}  // namespace zelk

#endif
