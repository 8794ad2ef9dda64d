#include "equaliser.h"

#include "editor.h"

namespace zelk {

void Equaliser::wire() {
    auto& m = ed_.main;
    for (int i = 0; i < 6; ++i) m.cmdEQChan[i].onClick = [this, i] { cmdEQChan_Click(i); };
    m.cmdPink.onClick = [this] { cmdPink_Click(); };
    for (int i = 0; i < 3; ++i) m.optBand[i].onClick = [this, i] { optBand_Click(i); };
    for (int i = 0; i < 7; ++i) m.optSPB[i].onClick = [this, i] { optSPB_Click(i); };
}

void Equaliser::cmdEQChan_Click(int index) {
    auto& m = ed_.main;
    if (index < 0 || index >= kChannels) return;
    SetEQPinkNoise(0);
    m.offLook(m.cmdEQChan[m.CurrentEQChannel]);
    m.cmdEQChan[index].setBold(true);
    m.cmdEQChan[index].setBackColour(kGrey);
    ed_.channels.SaveChannelData(m.CurrentEQChannel);
    ClearEQFormStatus();
    const std::string& name = ed_.tables.ChannelNames[static_cast<std::size_t>(index)];
    if (isWideChannel(index)) {
        m.Frame1[8].setVisible(true);
        m.frmBandA.setVisible(true);
        m.frmBandA.setCaption(name);
    } else if (isSurroundChannel(index)) {
        m.Frame1[8].setVisible(true);
        m.frmBandB.setVisible(true);
        m.frmBandB.setCaption(name);
    } else {
        m.Frame1[8].setVisible(false);
        m.frmBass.setVisible(true);
    }
    m.CurrentEQChannel = static_cast<std::int16_t>(index);
    ed_.channels.LoadChannelData();
    if (m.cmdPink.bold()) SetEQPinkNoise(-1);
}

void Equaliser::ClearEQFormStatus() {
    auto& m = ed_.main;
    m.frmBass.setVisible(false);
    m.frmBandA.setVisible(false);
    m.frmBandB.setVisible(false);
}

void Equaliser::ApplyChannelChange() {
    auto& m = ed_.main;
    if (ed_.vals.LoadingControls) return;
    m.SettingsDirty = kTrue;
    ed_.channels.SaveChannelData(m.CurrentEQChannel);
    ed_.upload.UploadToUnit(2, 0);
}

void Equaliser::SetEQPinkNoise(int state) { ed_.dispatch.RetryFunction(FN_SetPink, ed_.main.CurrentEQChannel, state); }

void Equaliser::cmdPink_Click() {
    auto& m = ed_.main;
    const bool on = m.cmdPink.caption() != "Pink Noise On";
    m.showToggle(m.cmdPink, on, on ? "Pink Noise On" : "Pink Noise Off");
    ed_.svc.ui.repaint();
    SetEQPinkNoise(on ? -1 : 0);
}

// While the program fills the sub-bass options (loading or resetting a
// channel) they store nothing: the record is being written by the caller,
// and the channel being edited may not be the subwoofer.
void Equaliser::optBand_Click(int index) {
    auto& m = ed_.main;
    if (ed_.vals.LoadingControls) return;
    m.SettingsDirty = kTrue;
    ed_.vals.audioBlock.channelEq(m.CurrentEQChannel).subBandwidth() = static_cast<std::uint8_t>(index);
    ed_.upload.UploadToUnit(2, 0);
}

void Equaliser::optSPB_Click(int index) {
    auto& m = ed_.main;
    if (ed_.vals.LoadingControls) return;
    m.SettingsDirty = kTrue;
    ed_.vals.audioBlock.channelEq(m.CurrentEQChannel).subFrequency() = static_cast<std::uint8_t>(index);
    ed_.upload.UploadToUnit(2, 0);
}

}  // namespace zelk
