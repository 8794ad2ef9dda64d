// options.h - format selection, the Options tab and the OBE switch.
#ifndef ZELK_CONTROLS_OPTIONS_H
#define ZELK_CONTROLS_OPTIONS_H

#include <array>

#include "connection/dispatcher.h"
#include "connection/live_status.h"
#include "form/forms.h"
#include "model/auto_upload.h"
#include "model/document.h"
#include "model/record.h"

namespace zelk {

class Options {
public:
    struct Controls {
        std::array<Button, 6>& cmdMode;  // the format buttons
        OptionsTab& options;
        ObeTab& obe;  // the OBE switch and filter list
    };
    Options(ModVals& vals, Document& doc, Dispatcher& d, AutoUpload& upload, LiveStatus& live, Controls c);

    void cmdMode_Click(int index);
    void cboNonsyncMode_Click();
    void cboNonsyncTrim_Click();
    void cboSurroundDelay_Click();
    void cboReaderDelay_Click();
    void chkDisableMatrix_Click();
    void optDefaultFormat_Click(int index);
    void optF1Key_Click(int index);
    void cmdOBEEnable_Click();
    void cboObeF_Click();

    // Entering the OBE tab puts the unit in OBE mode.
    void enterObeTab() { d_.RetryFunction(FN_EnableOBE); }

private:
    void systemEdited();
    ModVals& v_;
    Document& doc_;
    Dispatcher& d_;
    AutoUpload& upload_;
    LiveStatus& live_;
    Controls c_;
};

}  // namespace zelk

#endif
