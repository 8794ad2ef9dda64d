#include "lifecycle.h"

#include <fstream>
#include <sstream>
#include <unistd.h>

#include "editor.h"

namespace zelk {

void Lifecycle::wire() {
    ed_.splash.Timer1.onTimer = [this] { Timer1_Timer(); };
    ed_.main.mnuend.onClick = [this] { mnuend_Click(); };
}

std::string Lifecycle::GetWinDir() const {
    std::string dir = ed_.paths.configDir;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

void Lifecycle::Timer1_Timer() {
    ed_.splash.Timer1.setInterval(0);
    ed_.main.form.setVisible(true);
    const bool ok = Form_Load();
    ed_.splash.form.setVisible(false);
    if (!ok) ed_.svc.ui.quit();
}

bool Lifecycle::Form_Load() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    ed_.channels.InitialiseLookupArrays();
    ed_.fileCmds.InitialiseSettings();
    v.OnLine = kFalse;
    m.tmrOptical.setEnabled(false);
    m.tmrOptical.setInterval(1);
    v.LoadingControls = kTrue;
    // Initial state of the tab controls.
    ed_.tabs.ClearTabStatus();
    m.frmtabs[0].setEnabled(true);
    m.frmBandA.move(0, 3710);
    m.frmBandB.move(0, 3710);
    m.frmBass.move(0, 3710);

    const int height = ed_.svc.ui.screenHeightTwips();
    if (height < kMinScreenTwips) {
        ed_.box("Error, screen resolution too low. Please select a screen resolution of at least 800 x 600.",
                "Screen Resolution Error", MsgIcon::Critical, MsgButtons::OK);
        ended_ = true;
        return false;
    }
    if (height == kMinScreenTwips) ed_.svc.ui.moveMainWindowToTop();

    ed_.connection.cmdConnect_Click();
    if (v.OnLine) {
        m.form.setCaption(kAppTitle + "   <CP Settings>");
    } else {
        ed_.fileCmds.mnuNew_Click();
        m.form.setCaption(kAppTitle + "   <Untitled>");
    }
    ed_.dispatch.RetryFunction(FN_StopStream);
    v.ProjectorIndex = 0;
    if (height == kMinScreenTwips) ed_.svc.ui.moveMainWindowToTop();

    std::ifstream help(ed_.paths.helpFile(), std::ios::binary);
    if (help) {
        std::ostringstream text;
        text << help.rdbuf();
        m.RTFc.setText(text.str());
    }
    v.LoadingControls = kFalse;

    if (!v.UnitBusy && v.OnLine) {
        makeDirectories(ed_.paths.dataDir);
        m.QuietFileMode = kTrue;
        v.ConfigFilePath = ed_.paths.workingFile();
        ed_.fileCmds.mnuSave_Click();
        v.ConfigFilePath.clear();
        m.QuietFileMode = kFalse;
    }
    return true;
}

bool Lifecycle::Form_Unload() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    auto& d = ed_.dispatch;
    if (m.SettingsDirty) {
        const MsgResult r = ed_.box("Do you want to save changes before you exit?", "Save?", MsgIcon::Question,
                                    MsgButtons::YesNoCancel);
        if (r == MsgResult::Cancel) return false;
        if (r == MsgResult::Yes) {
            m.SaveAborted = kFalse;
            if (!v.ConfigFilePath.empty()) ed_.fileCmds.mnuSave_Click();
            else ed_.fileCmds.mnuSaveAs_Click();
            if (m.SaveAborted) {
                m.SaveAborted = kFalse;
                return false;
            }
        }
    }
    if (!v.UnitBusy && v.OnLine) {
        if (ed_.box("Do you want to revert back to original settings?", "Revert?", MsgIcon::Question,
                    MsgButtons::YesNo) == MsgResult::Yes) {
            v.ConfigFilePath = ed_.paths.workingFile();
            m.QuietFileMode = kTrue;
            ed_.fileCmds.mnuLoad_Click();
            m.QuietFileMode = kFalse;
            ed_.upload.cmdUp_Click(0);
        }
    }
    ::unlink(ed_.paths.workingFile().c_str());
    ed_.fileCmds.WriteSettings();
    if (v.OnLine) {
        for (int ch = 0; ch < kChannels; ++ch) {
            d.RetryFunction(FN_SetPink, ch, 0);
            d.RetryFunction(FN_SetPhase, ch, 0);
        }
        d.RetryFunction(FN_StopStream);
        d.RetryFunction(FN_SetDLLBaud, 0);
        d.RetryFunction(FN_DLLShutdown);
    }
    ended_ = true;
    return true;
}

void Lifecycle::mnuend_Click() {
    if (Form_Unload()) ed_.svc.ui.quit();
}

}  // namespace zelk
