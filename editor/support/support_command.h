// support_command.h - Help > Save Support Bundle: the dialog that says what
// goes into the archive, the choice to include theater texts and host
// names, and the archive written where the user says.  After a session
// that did not end cleanly, the next start says so once and offers it.
#ifndef ZELK_SUPPORT_SUPPORT_COMMAND_H
#define ZELK_SUPPORT_SUPPORT_COMMAND_H

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "form/forms.h"
#include "form/services.h"
#include "support/session.h"

namespace zelk {

class SupportCommand {
public:
    struct Sources {
        std::string dataDir, configDir;
        std::string program;  // "zelkvelq 1.0.0"
        // The versions as they stand when the bundle is written (the unit's
        // only while on line).
        std::function<std::vector<std::pair<std::string, std::string>>()> versions;
    };
    SupportCommand(FrmSupport& f, MainBar& bar, MessageBoxService& msg, FileDialogService& files, ClockService& clock,
                   Sources sources);

    void mnuSupport_Click();  // shows the dialog, the box not ticked
    void cmdSave_Click();
    void cmdCancel_Click();

    // Said once at the start after a session that ended uncleanly; Yes
    // opens the dialog.
    void offerAfterUncleanEnd(const PreviousSession& previous);

    // What the last save wrote ("" none).
    const std::string& lastWritten() const { return lastWritten_; }

private:
    FrmSupport& f_;
    MainBar& bar_;
    MessageBoxService& msg_;
    FileDialogService& files_;
    ClockService& clock_;
    Sources src_;
    std::string lastWritten_;
};

}  // namespace zelk

#endif
