#include "connection/live_status.h"

#include "form/translate.h"
#include "model/lookup.h"

namespace zelk {

void LiveStatus::liveValueChanged(LiveValue which) {
    switch (which) {
    case LiveValue::Format: ReflectModeStatus(); break;
    case LiveValue::Volume:
        ReflectVolumeLevel(true);
        ui_.repaint();
        break;
    case LiveValue::Mute:
        ReflectMuteStatus();
        ui_.repaint();
        break;
    }
}

void LiveStatus::ReflectModeStatus() {
    for (int i = 0; i < 6; ++i) {
        auto& b = c_.cmdMode[static_cast<std::size_t>(i)];
        if (i == v_.CurrentFormat) {
            b.setBackColour(kGrey);
            b.setBold(true);
        } else {
            offLook(b);
        }
    }
}

void LiveStatus::ReflectMuteStatus() {
    const bool muted = v_.CurrentMute != 0;
    for (Button* b : c_.mutes) {
        if (muted) {
            b->setBackColour(kRed);
            b->setCaption(translate("Captions", "Un-Mute"));
            b->setBold(true);
        } else {
            offLook(*b);
            b->setCaption(translate("Captions", "Mute"));
        }
    }
}

void LiveStatus::ReflectVolumeLevel(bool setMainSlider) {
    const int level = v_.CurrentVolume;
    const std::string text = volumeText(level);
    for (TextBox* f : c_.faderFields) f->setText(text);
    c_.fader.lblVol.setText(text);
    c_.fader.sclVol.setValue(99 - level);
    if (setMainSlider) c_.sclVol.setValue(99 - level);
}

void LiveStatus::ReflectOBEStatus() {
    auto& o = c_.obe;
    const bool on = v_.ObeEnabled != 0;
    if (on) {
        o.cmdOBEEnable.setCaption(translate("Captions", "OBE Enable"));
        o.cmdOBEEnable.setBackColour(kYellow);
    } else {
        o.cmdOBEEnable.setCaption(translate("Captions", "OBE Disable"));
        o.cmdOBEEnable.setBackColour(kButtonFace);
    }
    o.cboObeF.setListIndex(v_.ObeFrequencyIndex - 1);
    o.cmdOBEEnable.setBold(on);
    o.sclOBE.setEnabled(on);
    o.cboObeF.setEnabled(on);
    o.lblOBE.setEnabled(on);
}

}  // namespace zelk
