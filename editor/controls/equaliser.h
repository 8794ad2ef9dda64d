// equaliser.h - the E.Q tab: channel selection, the three panes, applying
// an equaliser change, the sub-bass options and equaliser pink noise.
#ifndef ZELK_CONTROLS_EQUALISER_H
#define ZELK_CONTROLS_EQUALISER_H

#include "connection/dispatcher.h"
#include "controls/sliders.h"
#include "form/forms.h"
#include "form/services.h"
#include "model/auto_upload.h"
#include "model/channel_ops.h"
#include "model/document.h"
#include "model/lookup.h"
#include "model/record.h"

namespace zelk {

class Equaliser : public ChannelChange {
public:
    Equaliser(ModVals& vals, Document& doc, Dispatcher& d, ChannelOps& channels, AutoUpload& upload,
              const LookupTables& tables, UiService& ui, EqTab& tab);

    void cmdEQChan_Click(int index);
    void ClearEQFormStatus();
    void ApplyChannelChange() override;
    void SetEQPinkNoise(int state);
    void cmdPink_Click();
    void optBand_Click(int index);
    void optSPB_Click(int index);

    // Tab actions: entering shows the Left channel; leaving switches the
    // equaliser's pink noise off.
    void enterTab() { cmdEQChan_Click(0); }
    void leaveTab();
    // The unit's pink noise was switched off on every channel.
    void unitQuietened() { showPink(false); }

    bool pinkOn() const { return pink_; }

private:
    void showPink(bool on);
    ModVals& v_;
    Document& doc_;
    Dispatcher& d_;
    ChannelOps& channels_;
    AutoUpload& upload_;
    const LookupTables& tables_;
    UiService& ui_;
    EqTab& t_;
    bool pink_ = false;
};

}  // namespace zelk

#endif
