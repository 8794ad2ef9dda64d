// online_gate.h - the frames and buttons that only work with a unit on
// line: enabled when the unit is accepted, disabled when the link is lost.
#ifndef ZELK_CONNECTION_ONLINE_GATE_H
#define ZELK_CONNECTION_ONLINE_GATE_H

#include <vector>

#include "form/controls.h"

namespace zelk {

class OnLineGate {
public:
    // `all`: what EnableFrames switches; `live`: the part that showing the
    // unit's settings enables again (the format, fader and mute frames).
    OnLineGate(std::vector<Control*> all, std::vector<Control*> live) : all_(std::move(all)), live_(std::move(live)) {}

    void EnableFrames(bool enable) {
        for (Control* c : all_) c->setEnabled(enable);
    }
    void enableLiveFrames() {
        for (Control* c : live_) c->setEnabled(true);
    }

private:
    std::vector<Control*> all_, live_;
};

}  // namespace zelk

#endif
