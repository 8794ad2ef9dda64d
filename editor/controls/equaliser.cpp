#include "controls/equaliser.h"

#include "controls/unit_command.h"
#include "form/translate.h"

namespace zelk {

Equaliser::Equaliser(ModVals& vals, Document& doc, Dispatcher& d, ChannelOps& channels, AutoUpload& upload,
                     const LookupTables& tables, UiService& ui, EqTab& tab)
    : v_(vals), doc_(doc), d_(d), channels_(channels), upload_(upload), tables_(tables), ui_(ui), t_(tab) {
    for (int i = 0; i < 6; ++i) t_.cmdEQChan[i].onClick = [this, i] { cmdEQChan_Click(i); };
    t_.cmdPink.onClick = [this] { cmdPink_Click(); };
    for (int i = 0; i < 3; ++i) t_.optBand[i].onClick = [this, i] { optBand_Click(i); };
    for (int i = 0; i < 7; ++i) t_.optSPB[i].onClick = [this, i] { optSPB_Click(i); };
}

void Equaliser::cmdEQChan_Click(int index) {
    if (index < 0 || index >= kChannels) return;
    SetEQPinkNoise(0);
    offLook(t_.cmdEQChan[channels_.CurrentEQChannel]);
    t_.cmdEQChan[index].setBold(true);
    t_.cmdEQChan[index].setBackColour(kGrey);
    channels_.SaveChannelData(channels_.CurrentEQChannel);
    ClearEQFormStatus();
    const std::string& name = tables_.ChannelNames[static_cast<std::size_t>(index)];
    if (isWideChannel(index)) {
        t_.Frame1_8.setVisible(true);
        t_.frmBandA.setVisible(true);
        t_.frmBandA.setCaption(name);
    } else if (isSurroundChannel(index)) {
        t_.Frame1_8.setVisible(true);
        t_.frmBandB.setVisible(true);
        t_.frmBandB.setCaption(name);
    } else {
        t_.Frame1_8.setVisible(false);
        t_.frmBass.setVisible(true);
    }
    channels_.CurrentEQChannel = static_cast<std::int16_t>(index);
    channels_.LoadChannelData();
    if (pink_) SetEQPinkNoise(-1);
}

void Equaliser::ClearEQFormStatus() {
    t_.frmBass.setVisible(false);
    t_.frmBandA.setVisible(false);
    t_.frmBandB.setVisible(false);
}

void Equaliser::ApplyChannelChange() {
    if (v_.LoadingControls) return;
    doc_.markDirty();
    channels_.SaveChannelData(channels_.CurrentEQChannel);
    upload_.UploadToUnit(2, 0);
}

void Equaliser::SetEQPinkNoise(int state) { d_.RetryFunction(FN_SetPink, channels_.CurrentEQChannel, state); }

void Equaliser::showPink(bool on) {
    pink_ = on;
    showToggle(t_.cmdPink, on, on ? translate("Captions", "Pink Noise On") : translate("Captions", "Pink Noise Off"));
}

// The button shows what the unit accepted: off line, or when the command
// fails, it stays as it was.
void Equaliser::cmdPink_Click() {
    const bool on = !pink_;
    if (!unitTook(d_, v_, FN_SetPink, channels_.CurrentEQChannel, on ? -1 : 0)) return;
    showPink(on);
    ui_.repaint();
}

void Equaliser::leaveTab() {
    if (!pink_) return;
    showPink(false);
    ui_.repaint();
    SetEQPinkNoise(0);
}

// While the program fills the sub-bass options (loading or resetting a
// channel) they store nothing: the record is being written by the caller,
// and the channel being edited may not be the subwoofer.
void Equaliser::optBand_Click(int index) {
    if (v_.LoadingControls) return;
    doc_.markDirty();
    v_.audioBlock.channelEq(channels_.CurrentEQChannel).subBandwidth() = static_cast<std::uint8_t>(index);
    upload_.UploadToUnit(2, 0);
}

void Equaliser::optSPB_Click(int index) {
    if (v_.LoadingControls) return;
    doc_.markDirty();
    v_.audioBlock.channelEq(channels_.CurrentEQChannel).subFrequency() = static_cast<std::uint8_t>(index);
    upload_.UploadToUnit(2, 0);
}

}  // namespace zelk
