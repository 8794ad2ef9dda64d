#include "connection/lifecycle.h"

#include <fstream>
#include <sstream>

#include "form/translate.h"
#include "platform/files.h"

namespace zelk {

std::string winDir(const Paths& paths) {
    std::string dir = paths.configDir;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

Lifecycle::Lifecycle(ModVals& vals, Document& doc, Dispatcher& d, Connection& connection, Upload& upload,
                     ChannelOps& channels, DocumentCommands& docs, MessageBoxService& msg, UiService& ui,
                     const Paths& paths, Controls c)
    : v_(vals),
      doc_(doc),
      d_(d),
      connection_(connection),
      upload_(upload),
      channels_(channels),
      docs_(docs),
      msg_(msg),
      ui_(ui),
      paths_(paths),
      c_(c) {
    c_.splash.Timer1.onTimer = [this] { Timer1_Timer(); };
    c_.bar.mnuend.onClick = [this] { mnuend_Click(); };
}

void Lifecycle::Timer1_Timer() {
    c_.splash.Timer1.setInterval(0);
    c_.bar.form.setVisible(true);
    const bool ok = Form_Load();
    c_.splash.form.setVisible(false);
    if (!ok) ui_.quit();
}

bool Lifecycle::Form_Load() {
    auto& bar = c_.bar;
    channels_.InitialiseLookupArrays();
    docs_.InitialiseSettings();
    v_.OnLine = kFalse;
    {
        LoadingScope loading(v_);
        // Initial state of the tab controls.
        for (auto& f : bar.frmtabs) f.setEnabled(false);
        bar.frmtabs[0].setEnabled(true);
        c_.eq.frmBandA.move(0, 3710);
        c_.eq.frmBandB.move(0, 3710);
        c_.eq.frmBass.move(0, 3710);

        const int height = ui_.screenHeightTwips();
        if (height < kMinScreenTwips) {
            msg_.show(translate("Lifecycle", "Error, screen resolution too low. Please select a screen resolution "
                                             "of at least 800 x 600."),
                      translate("Lifecycle", "Screen Resolution Error"), MsgIcon::Critical, MsgButtons::OK);
            ended_ = true;
            return false;
        }
        if (height == kMinScreenTwips) ui_.moveMainWindowToTop();

        connection_.cmdConnect_Click();
        if (v_.OnLine) {
            doc_.showName(translate("Document", "CP Settings"));
        } else {
            docs_.mnuNew_Click();
            doc_.showName(translate("Document", "Untitled"));
        }
        d_.RetryFunction(FN_StopStream);
        v_.ProjectorIndex = 0;
        if (height == kMinScreenTwips) ui_.moveMainWindowToTop();

        std::ifstream help(paths_.helpFile(), std::ios::binary);
        if (help) {
            std::ostringstream text;
            text << help.rdbuf();
            c_.help.RTFc.setText(text.str());
        }
    }

    // A snapshot of the unit as found, for "revert" at exit.
    if (!v_.UnitBusy && v_.OnLine) {
        q7m::platform::makeDirectories(paths_.dataDir);
        snapshotSaved_ = docs_.saveWorkingCopy(paths_.workingFile());
    }
    offerRecovery();
    return true;
}

void Lifecycle::offerRecovery() {
    const std::string path = paths_.recoveryFile();
    if (q7m::platform::pathKind(path) != q7m::platform::PathKind::File) return;
    const MsgResult r =
        msg_.show(fill(translate("Lifecycle", "The editor was told to stop last time (the session ended, or the "
                                              "program was ended) while it held changes that were not saved. They "
                                              "were kept in %1.\n\nOpen them now?"),
                       {path}),
                  translate("Lifecycle", "Recover Changes?"), MsgIcon::Question, MsgButtons::YesNo);
    if (r == MsgResult::Yes) {
        // A file that cannot be read stays for another try; the load said why.
        if (!docs_.loadWorkingCopy(path)) return;
        v_.ConfigFilePath.clear();  // Save asks where: never over the recovery file
        doc_.markDirty();
        doc_.showName(translate("Document", "Recovered"));
    }
    q7m::platform::removeFile(path);
}

void Lifecycle::endWithoutQuestions() {
    if (ended_) return;
    if (doc_.dirty()) {
        q7m::platform::makeDirectories(paths_.dataDir);
        docs_.saveWorkingCopy(paths_.recoveryFile());
    }
    q7m::platform::removeFile(paths_.workingFile());
    docs_.WriteSettings();
    if (v_.OnLine) {
        quietenUnit(d_);
        d_.RetryFunction(FN_DLLShutdown);
    }
    ended_ = true;
}

bool Lifecycle::Form_Unload() {
    if (doc_.dirty()) {
        const MsgResult r = msg_.show(translate("Lifecycle", "Do you want to save changes before you exit?"),
                                      translate("Lifecycle", "Save?"), MsgIcon::Question, MsgButtons::YesNoCancel);
        if (r == MsgResult::Cancel) return false;
        if (r == MsgResult::Yes && !docs_.saveBeforeExit()) return false;
    }
    // Revert only to a snapshot that was written: without one there is
    // nothing to go back to.
    if (!v_.UnitBusy && v_.OnLine && snapshotSaved_) {
        // Yes throws away everything uploaded since start-up: Enter answers No.
        if (msg_.show(translate("Lifecycle", "Do you want to revert back to original settings?"),
                      translate("Lifecycle", "Revert?"), MsgIcon::Question,
                      MsgButtons::YesNoDefaultNo) == MsgResult::Yes) {
            if (docs_.loadWorkingCopy(paths_.workingFile())) upload_.cmdUp_Click(0);
        }
    }
    q7m::platform::removeFile(paths_.workingFile());
    docs_.WriteSettings();
    if (v_.OnLine) {
        quietenUnit(d_);
        d_.RetryFunction(FN_DLLShutdown);
    }
    ended_ = true;
    return true;
}

void Lifecycle::mnuend_Click() {
    if (Form_Unload()) ui_.quit();
}

}  // namespace zelk
