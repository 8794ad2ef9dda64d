#include "optical/optical.h"

namespace zelk {

Optical::Optical(ModVals& vals, Dispatcher& d, Levels& levels, OpticalTab& tab)
    : v_(vals), d_(d), levels_(levels), t_(tab) {
    t_.cmdMute4.onClick = [this] { cmdMute4_Click(); };
    t_.Timer2.onTimer = [this] { Timer2_Timer(); };
}

void Optical::StreamLock(bool locked) {
    t_.lblLock.setCaption(locked ? "Stream Lock" : "No Stream");
    t_.lblLock.setBackColour(locked ? kGreen : kRed);
}

void Optical::cmdMute4_Click() {
    d_.RetryFunction(FN_StopStream);
    levels_.cmdMute_Click();
}

void Optical::Timer2_Timer() { t_.lblStart.setVisible(!t_.lblStart.visible()); }

void Optical::leaveTab() {
    if (running_) running_ = false;
}

void Optical::linkLost(std::uint16_t) { leaveTab(); }

}  // namespace zelk
