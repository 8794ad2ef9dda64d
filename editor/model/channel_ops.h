// channel_ops.h - the configuration record's defaults (ResetAll, the
// lookup tables) and the per-channel equaliser operations: moving a
// channel's record onto the shared equaliser sliders and back, resetting a
// channel, and the Reset / Copy / Paste commands.
#ifndef ZELK_MODEL_CHANNEL_OPS_H
#define ZELK_MODEL_CHANNEL_OPS_H

#include <cstdint>
#include <functional>
#include <vector>

#include "form/forms.h"
#include "form/services.h"
#include "model/auto_upload.h"
#include "model/document.h"
#include "model/lookup.h"
#include "model/record.h"

namespace zelk {

class ChannelOps {
public:
    struct Controls {
        EqTab& eq;
        TrimTab& trim;
        OptionsTab& options;  // ResetAll puts the options back to their defaults
        ObeTab& obe;
    };
    ChannelOps(ModVals& vals, LookupTables& tables, Document& doc, Controls c, MessageBoxService& msg,
               AutoUpload& upload);

    void InitialiseLookupArrays();
    void ResetAll();
    // Told at the end of ResetAll, so the owners of the live displays and
    // test-signal buttons show the defaults too.
    void onResetAll(std::function<void()> f) { resetListeners_.push_back(std::move(f)); }

    void LoadChannelData();
    void SaveChannelData(int channel);
    void ResetChannelData(int channel);
    void PasteChannelData(int source);

    void cmdClear_Click();
    void cmdCopy_Click();
    void cmdPaste_Click();
    void cmdReset_Click();

    // The channel whose record is on the sliders, and the one marked by
    // Copy (7: nothing copied).
    std::int16_t CurrentEQChannel = 0;
    std::int16_t CopiedChannel = 7;

private:
    void wire();
    ModVals& v_;
    LookupTables& tables_;
    Document& doc_;
    Controls c_;
    MessageBoxService& msg_;
    AutoUpload& upload_;
    std::vector<std::function<void()>> resetListeners_;
};

}  // namespace zelk

#endif
