// levels.h - controls that act on the running unit at once: the fader
// (four tabs and the fader dialog), mute, pink noise, phase and RT-60.
#ifndef ZELK_CONTROLS_LEVELS_H
#define ZELK_CONTROLS_LEVELS_H

#include <array>

#include "connection/dispatcher.h"
#include "connection/live_status.h"
#include "connection/polling.h"
#include "controls/sliders.h"
#include "form/forms.h"
#include "form/services.h"
#include "model/record.h"

namespace zelk {

class Levels {
public:
    struct Controls {
        FormatTab& format;  // the main fader and its mute button
        std::array<FaderGroup*, 3> groups;
        TrimTab& trim;      // pink noise, phase, RT-60
        ObeTab& obe;        // pink noise on center and sub
        FrmFader& fader;
    };
    Levels(ModVals& vals, Dispatcher& d, LiveStatus& live, PollControl& polling, SliderKeys& keys, MessageBoxService& msg,
           UiService& ui, Controls c);

    void cmdSet7_Click(int index);
    void cmdAdjust_Click(int index);
    void cmdMute_Click();
    void cmdPN_Click(int index);
    void cmdPhase_Click(int index);
    void cmdRT60_Click();
    void cmdPNC_Click();
    void cmdPNS_Click();
    void sclVol_Change();
    void frmFader_Unload();
    // Validation of a fader field (lblVol of the main window or the dialog).
    void lblVol_Validate(TextBox& field, bool& cancel);
    // Puts `text` in the main fader field and validates it, as typing would.
    void setFaderText(const std::string& text);

    // Tab actions: leaving the output trim tab switches its test signals
    // off in the unit; leaving the OBE or options tab switches off the
    // OBE tab's pink noise; entering the optical tab closes the fader dialog.
    void leaveTrimTab();
    void leaveObeTab();
    void leaveOptionsTab();
    void enterOpticalTab();
    // A new configuration: every test-signal button shows off (the unit is
    // not told).
    void showTestSignalsOff();
    // The unit's pink noise and phase inversion were switched off on every
    // channel (a clean disconnect): every button that shows them says off.
    void unitQuietened();

    bool pinkOn(int ch) const { return pink_[static_cast<std::size_t>(ch)]; }
    bool phaseInverted(int ch) const { return phase_[static_cast<std::size_t>(ch)]; }

private:
    void stepLevel(int key);
    void setPink(int ch, bool on);
    void setPhase(int ch, bool on);
    void setPinkCenter(bool on);
    void setPinkSub(bool on);
    ModVals& v_;
    Dispatcher& d_;
    LiveStatus& live_;
    PollControl& polling_;
    SliderKeys& keys_;
    MessageBoxService& msg_;
    UiService& ui_;
    Controls c_;
    std::array<bool, 6> pink_{}, phase_{};
    bool rt60_ = false, pinkCenter_ = false, pinkSub_ = false;
    bool faderKeysUp_ = true;  // the fader dialog's own key state
    std::int16_t faderFocusValue_ = 255;
};

}  // namespace zelk

#endif
