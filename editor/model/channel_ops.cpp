#include "channel_ops.h"

#include "editor.h"

namespace zelk {

namespace {
// Sets LoadingControls for the life of the object and then puts back the
// value it had, so that a routine called while the caller is filling
// controls does not end the caller's loading early.
class Loading {
public:
    explicit Loading(ModVals& v) : v_(v), saved_(v.LoadingControls) { v.LoadingControls = kTrue; }
    ~Loading() { v_.LoadingControls = saved_; }
    Loading(const Loading&) = delete;
    Loading& operator=(const Loading&) = delete;

private:
    ModVals& v_;
    VbBool saved_;
};
}  // namespace

void ChannelOps::wire() {
    auto& m = ed_.main;
    m.cmdClear.onClick = [this] { cmdClear_Click(); };
    m.cmdCopy.onClick = [this] { cmdCopy_Click(); };
    m.cmdPaste.onClick = [this] { cmdPaste_Click(); };
    m.cmdReset.onClick = [this] { cmdReset_Click(); };
}

void ChannelOps::InitialiseLookupArrays() {
    auto& t = ed_.tables;
    t.ChannelNames = {"Left Channel",          "Left Surround Channel", "Center Channel",
                      "Right Surround Channel", "Right Channel",         "Subwoofer Channel"};
    t.SliderLeftNeighbour = {5, 4, 0, 1, 2, 3};
    t.SliderRightNeighbour = {2, 3, 4, 5, 1, 0};
    ed_.main.cboReaderDelay.setItems(readerDelayItems());
}

void ChannelOps::ResetAll() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    v.LoadingControls = kTrue;
    for (int ch = 0; ch < kChannels; ++ch) {
        ResetChannelData(ch);
        m.sclPNG[ch].setValue(12);
        v.audioBlock.trimLevel(ch) = 12;  // also when the slider already sat at 12
        auto eq = v.audioBlock.channelEq(ch);
        eq.bass() = 10;
        eq.treble() = 10;
        m.offLook(m.cmdPN[ch]);
        m.offLook(m.cmdPhase[ch]);
    }
    m.cboSurroundDelay.setText("0 mS");
    m.cboNonsyncMode.setText("Screen Channels");
    m.cboReaderDelay.setText("0.00 TC Frames");
    m.cboNonsyncTrim.setText("0 dB");
    m.optF1Key[0].setValue(true);
    m.optDefaultFormat[0].setValue(true);
    m.chkDisableMatrix.setValue(0);

    m.cboObeF.setText("50 Hz");
    m.sclOBE.setValue(12);
    m.cmdOBEEnable.setCaption("OBE Disable");
    m.offLook(m.cmdOBEEnable);
    m.cboObeF.setEnabled(false);
    m.sclOBE.setEnabled(false);
    m.lblOBE.setEnabled(false);
    // The screen says OBE is off, so the record says so too: a new
    // configuration must not upload OBE switched on.
    v.audioBlock.obeFrequency() = 0;
    v.ObeEnabled = kFalse;

    v.ObeFrequencyIndex = 1;
    v.CurrentMute = kFalse;
    v.CurrentFormat = 0;
    v.CurrentVolume = 70;
    v.LoadingControls = kFalse;
}

void ChannelOps::LoadChannelData() {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    Loading loading(v);
    const int ch = m.CurrentEQChannel;
    auto eq = v.audioBlock.channelEq(ch);
    if (isWideChannel(ch)) {
        for (int band = 0; band < 27; ++band) {
            m.sclA[band].setValue(eq.bandGain(band));
            m.lblBand[band].setText(bandText(m.sclA[band].value()));
        }
    } else if (isSurroundChannel(ch)) {
        for (int band = 0; band < 9; ++band) {
            m.sclB[band].setValue(eq.bandGain(band));
            m.lblLSRSv[band].setText(bandText(m.sclB[band].value()));
        }
    } else if (ch == 5) {
        if (eq.subBandwidth() < m.optBand.size()) m.optBand[eq.subBandwidth()].setValue(true);
        if (eq.subFrequency() < m.optSPB.size()) m.optSPB[eq.subFrequency()].setValue(true);
        m.sclGain.setValue(eq.subGain());
        m.lblGain.setText(bandText(m.sclGain.value()));
    }
    m.sclBass.setValue(eq.bass());
    m.sclTreb.setValue(eq.treble());
    m.lblBass.setText(bassText(m.sclBass.value()));
    m.lblTreb.setText(bassText(m.sclTreb.value()));
}

void ChannelOps::SaveChannelData(int channel) {
    auto& m = ed_.main;
    if (channel < 0 || channel >= kChannels) return;
    auto eq = ed_.vals.audioBlock.channelEq(channel);
    if (isWideChannel(channel)) {
        for (int band = 0; band < 27; ++band) eq.bandGain(band) = static_cast<std::uint8_t>(m.sclA[band].value());
    } else if (isSurroundChannel(channel)) {
        for (int band = 0; band < 9; ++band) eq.bandGain(band) = static_cast<std::uint8_t>(m.sclB[band].value());
    } else {
        eq.subGain() = static_cast<std::uint8_t>(m.sclGain.value());
    }
    eq.bass() = static_cast<std::uint8_t>(m.sclBass.value());
    eq.treble() = static_cast<std::uint8_t>(m.sclTreb.value());
}

void ChannelOps::ResetChannelData(int channel) {
    auto& m = ed_.main;
    if (channel < 0 || channel >= kChannels) return;
    Loading loading(ed_.vals);
    auto eq = ed_.vals.audioBlock.channelEq(channel);
    if (isWideChannel(channel) || isSurroundChannel(channel)) {
        for (int band = 0; band < bandCount(channel); ++band) eq.bandGain(band) = 12;
    } else {
        m.optSPB[0].setValue(true);
        eq.subFrequency() = 0;
        m.optBand[0].setValue(true);
        eq.subBandwidth() = 0;
        m.sclGain.setValue(12);
        eq.subGain() = 12;
    }
    eq.bass() = 10;
    eq.treble() = 10;
}

void ChannelOps::PasteChannelData(int source) {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    if (source < 0 || source >= kChannels) return;
    auto eq = v.audioBlock.channelEq(source);
    {
        // The sliders take the source's values as one edit: stored into the
        // channel being edited once, uploaded once by the caller.
        Loading loading(v);
        if (isWideChannel(source)) {
            for (int band = 0; band < 27; ++band) {
                m.sclA[band].setValue(eq.bandGain(band));
                m.lblBand[band].setText(bandText(m.sclA[band].value()));
            }
        } else if (isSurroundChannel(source)) {
            for (int band = 0; band < 9; ++band) {
                m.sclB[band].setValue(eq.bandGain(band));
                m.lblLSRSv[band].setText(bandText(m.sclB[band].value()));
            }
        }
        m.sclBass.setValue(eq.bass());
        m.sclTreb.setValue(eq.treble());
        m.lblBass.setText(bassText(m.sclBass.value()));
        m.lblTreb.setText(bassText(m.sclTreb.value()));
    }
    m.SettingsDirty = kTrue;
    SaveChannelData(m.CurrentEQChannel);
}

void ChannelOps::cmdClear_Click() {
    auto& m = ed_.main;
    const std::string name = ed_.tables.ChannelNames[static_cast<std::size_t>(m.CurrentEQChannel)];
    if (ed_.box("Are you sure you want to reset " + name + "?", "Reset Channel?", MsgIcon::Question,
                MsgButtons::YesNo) == MsgResult::No)
        return;
    ResetChannelData(m.CurrentEQChannel);
    LoadChannelData();
    m.SettingsDirty = kTrue;
    ed_.upload.UploadToUnit(2, 0);
}

void ChannelOps::cmdCopy_Click() { ed_.main.CopiedChannel = ed_.main.CurrentEQChannel; }

void ChannelOps::cmdPaste_Click() {
    auto& m = ed_.main;
    const int source = m.CopiedChannel, target = m.CurrentEQChannel;
    if (source == target) return;
    if (source == 7) {
        ed_.box("Nothing to Paste!", "Error", MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    const bool compatible =
        (isWideChannel(source) && isWideChannel(target)) || (isSurroundChannel(source) && isSurroundChannel(target));
    if (!compatible) {
        ed_.box("Incompatable Channel Format!", "Error", MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    const auto& names = ed_.tables.ChannelNames;
    if (ed_.box("Are you sure you want to copy " + names[static_cast<std::size_t>(source)] + " to " +
                    names[static_cast<std::size_t>(target)] + "?",
                "Copy?", MsgIcon::Question, MsgButtons::YesNo) == MsgResult::No)
        return;
    PasteChannelData(source);
    ed_.upload.UploadToUnit(2, 0);
}

void ChannelOps::cmdReset_Click() {
    auto& m = ed_.main;
    {
        Loading loading(ed_.vals);
        for (int ch = 0; ch < kChannels; ++ch) {
            m.sclPNG[ch].setValue(12);
            m.lblPNG[ch].setText("0.0");
            ed_.vals.audioBlock.trimLevel(ch) = 12;
        }
    }
    ed_.upload.UploadToUnit(2, 0);
}

}  // namespace zelk
