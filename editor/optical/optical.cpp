#include "optical.h"

#include "editor.h"

namespace zelk {

void Optical::wire() { ed_.main.cmdMute4.onClick = [this] { cmdMute4_Click(); }; }

void Optical::StreamLock(bool locked) {
    auto& l = ed_.main.lblLock;
    l.setCaption(locked ? "Stream Lock" : "No Stream");
    l.setBackColour(locked ? kGreen : kRed);
}

void Optical::cmdMute4_Click() {
    ed_.dispatch.RetryFunction(FN_StopStream);
    ed_.levels.cmdMute_Click();
}

}  // namespace zelk
