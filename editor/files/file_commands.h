// file_commands.h - the File menu (New, Open, Save, Save As) and the
// editor's own settings file.
#ifndef ZELK_FILES_FILE_COMMANDS_H
#define ZELK_FILES_FILE_COMMANDS_H

#include <functional>
#include <string>

#include "connection/dispatcher.h"
#include "connection/lifecycle.h"
#include "connection/live_status.h"
#include "connection/polling.h"
#include "connection/port_speed.h"
#include "connection/upload.h"
#include "files/theater.h"
#include "form/forms.h"
#include "form/paths.h"
#include "form/services.h"
#include "form/translate.h"
#include "model/channel_ops.h"
#include "model/document.h"
#include "model/record.h"

namespace zelk {

// In English; the file dialog is given them translated ("FileCommands").
inline const std::string kOpenFilter =
    ZELK_TEXT("FileCommands", "ZELK VELQ Config Files (*.zcf)|*.zcf|Old Config File format (*.cfg)|*.cfg");
inline const std::string kSaveFilter = ZELK_TEXT("FileCommands", "ZELK VELQ Config Files (*.zcf)|*.zcf");

// A theater name proposed as a file name: characters that would make it a
// path (or that file systems refuse) are replaced.
std::string safeFileName(const std::string& name);

// settings.dat: six lines, CR LF.
struct ProgramSettings {
    int ComPort = 1;
    bool Auto = false, Confirm = false, Short = false;
    int AutoRefreshEnabled = 0;
    int RefreshSeconds = 60;
};
std::string settingsFileText(const ProgramSettings& s);
// Reads what it can; values after a missing or damaged line keep `s`'s.
void parseSettingsFile(const std::string& text, ProgramSettings& s);

// A name typed in the save dialog without an extension gets ".zcf"; a dot
// in a folder's name does not count.
std::string withConfigSuffix(const std::string& path);

class FileCommands : public DocumentCommands {
public:
    struct Controls {
        MainBar& bar;  // the File menu
    };
    struct Parts {
        Dispatcher& dispatch;
        LiveStatus& live;
        Upload& upload;
        ChannelOps& channels;
        TheaterInfoEditor& theater;
        PollControl& polling;
        PortSpeed& portSpeed;
    };
    FileCommands(ModVals& vals, Document& doc, Parts parts, FileDialogService& files, MessageBoxService& msg,
                 const LinkApi& link, const Paths& paths, Controls c);

    void mnuNew_Click() override;
    void mnuLoad_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void InitialiseSettings() override;
    bool WriteSettings() override;

    bool saveBeforeExit() override;
    bool saveWorkingCopy(const std::string& path) override;
    bool loadWorkingCopy(const std::string& path) override;

    // Told after Open read a file the user chose into the editor.
    std::function<void()> afterOpen;

    // The dialog's file name, kept from one command to the next.
    std::string dialogFileName;
    std::string filter;
    // A save was cancelled or failed; quiet mode: no dialogs or captions.
    bool SaveAborted = false;
    bool QuietFileMode = false;

private:
    ProgramSettings currentSettings() const;
    void saveChangesQuestion(bool alwaysSave);
    void setFileCaption();
    bool writeOrSay(const std::string& path);
    ModVals& v_;
    Document& doc_;
    Parts p_;
    FileDialogService& files_;
    MessageBoxService& msg_;
    const LinkApi& link_;
    const Paths& paths_;
    Controls c_;
    bool loadSucceeded_ = false;
};

}  // namespace zelk

#endif
