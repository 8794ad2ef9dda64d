// optical.h - the optical setup tab: the "Stream Lock" indicator, the
// blinking "Press Start" prompt, the tab's mute button, and stopping a
// running measurement when the tab is left or the link is lost.
#ifndef ZELK_OPTICAL_OPTICAL_H
#define ZELK_OPTICAL_OPTICAL_H

#include "connection/dispatcher.h"
#include "connection/link_events.h"
#include "controls/levels.h"
#include "form/forms.h"
#include "model/record.h"

namespace zelk {

class Optical : public LinkEvents {
public:
    Optical(ModVals& vals, Dispatcher& d, Levels& levels, OpticalTab& tab);

    void StreamLock(bool locked);
    void cmdMute4_Click();
    void Timer2_Timer();
    // Leaving the tab stops a running measurement.
    void leaveTab();

    bool running() const { return running_; }

    void streamLost() override { StreamLock(false); }
    void linkLost(std::uint16_t) override;

private:
    ModVals& v_;
    Dispatcher& d_;
    Levels& levels_;
    OpticalTab& t_;
    bool running_ = false;
};

}  // namespace zelk

#endif
