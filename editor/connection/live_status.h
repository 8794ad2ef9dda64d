// live_status.h - the displays of the unit's live values: the format
// buttons, the mute buttons, the fader fields and sliders on every tab and
// in the fader dialog, and the OBE switch.  They show the record's values;
// they are redrawn when the program changes a value and when the unit
// reports a new one.
#ifndef ZELK_CONNECTION_LIVE_STATUS_H
#define ZELK_CONNECTION_LIVE_STATUS_H

#include <array>

#include "connection/link_events.h"
#include "form/forms.h"
#include "form/services.h"
#include "model/record.h"

namespace zelk {

class LiveStatus : public LinkEvents {
public:
    struct Controls {
        std::array<Button, 6>& cmdMode;
        std::array<Button*, 5> mutes;
        std::array<TextBox*, 4> faderFields;
        Slider& sclVol;
        FrmFader& fader;
        ObeTab& obe;
    };
    LiveStatus(ModVals& vals, Controls c, UiService& ui) : v_(vals), c_(c), ui_(ui) {}

    void ReflectModeStatus();
    void ReflectMuteStatus();
    void ReflectVolumeLevel(bool setMainSlider);
    void ReflectOBEStatus();

    void liveValueChanged(LiveValue which) override;

private:
    ModVals& v_;
    Controls c_;
    UiService& ui_;
};

}  // namespace zelk

#endif
