#include "model/channel_ops.h"

namespace zelk {

ChannelOps::ChannelOps(ModVals& vals, LookupTables& tables, Document& doc, Controls c, MessageBoxService& msg,
                       AutoUpload& upload)
    : v_(vals), tables_(tables), doc_(doc), c_(c), msg_(msg), upload_(upload) {
    wire();
}

void ChannelOps::wire() {
    c_.eq.cmdClear.onClick = [this] { cmdClear_Click(); };
    c_.eq.cmdCopy.onClick = [this] { cmdCopy_Click(); };
    c_.eq.cmdPaste.onClick = [this] { cmdPaste_Click(); };
    c_.trim.cmdReset.onClick = [this] { cmdReset_Click(); };
}

void ChannelOps::InitialiseLookupArrays() {
    tables_.ChannelNames = {"Left Channel",          "Left Surround Channel", "Center Channel",
                            "Right Surround Channel", "Right Channel",         "Subwoofer Channel"};
    tables_.SliderLeftNeighbour = {5, 4, 0, 1, 2, 3};
    tables_.SliderRightNeighbour = {2, 3, 4, 5, 1, 0};
}

void ChannelOps::ResetAll() {
    auto& o = c_.options;
    auto& obe = c_.obe;
    {
        LoadingScope loading(v_);
        for (int ch = 0; ch < kChannels; ++ch) {
            ResetChannelData(ch);
            c_.trim.sclPNG[ch].setValue(12);
            v_.audioBlock.trimLevel(ch) = 12;  // also when the slider already sat at 12
            auto eq = v_.audioBlock.channelEq(ch);
            eq.bass() = 10;
            eq.treble() = 10;
        }
        o.cboSurroundDelay.setText("0 mS");
        o.cboNonsyncMode.setText("Screen Channels");
        o.cboReaderDelay.setText("0.00 TC Frames");
        o.cboNonsyncTrim.setText("0 dB");
        o.optF1Key[0].setValue(true);
        o.optDefaultFormat[0].setValue(true);
        o.chkDisableMatrix.setValue(0);

        obe.cboObeF.setText("50 Hz");
        obe.sclOBE.setValue(12);
        // The screen says OBE is off, so the record says so too: a new
        // configuration must not upload OBE switched on.
        v_.audioBlock.obeFrequency() = 0;
        v_.ObeEnabled = kFalse;
        v_.ObeFrequencyIndex = 1;
        v_.CurrentMute = kFalse;
        v_.CurrentFormat = 0;
        v_.CurrentVolume = 70;
        for (auto& f : resetListeners_) f();
    }
}

void ChannelOps::LoadChannelData() {
    auto& e = c_.eq;
    LoadingScope loading(v_);
    const int ch = CurrentEQChannel;
    auto eq = v_.audioBlock.channelEq(ch);
    if (isWideChannel(ch)) {
        for (int band = 0; band < 27; ++band) {
            e.sclA[band].setValue(eq.bandGain(band));
            e.lblBand[band].setText(bandText(e.sclA[band].value()));
        }
    } else if (isSurroundChannel(ch)) {
        for (int band = 0; band < 9; ++band) {
            e.sclB[band].setValue(eq.bandGain(band));
            e.lblLSRSv[band].setText(bandText(e.sclB[band].value()));
        }
    } else if (ch == 5) {
        if (eq.subBandwidth() < e.optBand.size()) e.optBand[eq.subBandwidth()].setValue(true);
        if (eq.subFrequency() < e.optSPB.size()) e.optSPB[eq.subFrequency()].setValue(true);
        e.sclGain.setValue(eq.subGain());
        e.lblGain.setText(bandText(e.sclGain.value()));
    }
    e.sclBass.setValue(eq.bass());
    e.sclTreb.setValue(eq.treble());
    e.lblBass.setText(bassText(e.sclBass.value()));
    e.lblTreb.setText(bassText(e.sclTreb.value()));
}

void ChannelOps::SaveChannelData(int channel) {
    auto& e = c_.eq;
    if (channel < 0 || channel >= kChannels) return;
    auto eq = v_.audioBlock.channelEq(channel);
    if (isWideChannel(channel)) {
        for (int band = 0; band < 27; ++band) eq.bandGain(band) = static_cast<std::uint8_t>(e.sclA[band].value());
    } else if (isSurroundChannel(channel)) {
        for (int band = 0; band < 9; ++band) eq.bandGain(band) = static_cast<std::uint8_t>(e.sclB[band].value());
    } else {
        eq.subGain() = static_cast<std::uint8_t>(e.sclGain.value());
    }
    eq.bass() = static_cast<std::uint8_t>(e.sclBass.value());
    eq.treble() = static_cast<std::uint8_t>(e.sclTreb.value());
}

void ChannelOps::ResetChannelData(int channel) {
    auto& e = c_.eq;
    if (channel < 0 || channel >= kChannels) return;
    LoadingScope loading(v_);
    auto eq = v_.audioBlock.channelEq(channel);
    if (isWideChannel(channel) || isSurroundChannel(channel)) {
        for (int band = 0; band < bandCount(channel); ++band) eq.bandGain(band) = 12;
    } else {
        e.optSPB[0].setValue(true);
        eq.subFrequency() = 0;
        e.optBand[0].setValue(true);
        eq.subBandwidth() = 0;
        e.sclGain.setValue(12);
        eq.subGain() = 12;
    }
    eq.bass() = 10;
    eq.treble() = 10;
}

void ChannelOps::PasteChannelData(int source) {
    auto& e = c_.eq;
    if (source < 0 || source >= kChannels) return;
    auto eq = v_.audioBlock.channelEq(source);
    {
        // The sliders take the source's values as one edit: stored into the
        // channel being edited once, uploaded once by the caller.
        LoadingScope loading(v_);
        if (isWideChannel(source)) {
            for (int band = 0; band < 27; ++band) {
                e.sclA[band].setValue(eq.bandGain(band));
                e.lblBand[band].setText(bandText(e.sclA[band].value()));
            }
        } else if (isSurroundChannel(source)) {
            for (int band = 0; band < 9; ++band) {
                e.sclB[band].setValue(eq.bandGain(band));
                e.lblLSRSv[band].setText(bandText(e.sclB[band].value()));
            }
        }
        e.sclBass.setValue(eq.bass());
        e.sclTreb.setValue(eq.treble());
        e.lblBass.setText(bassText(e.sclBass.value()));
        e.lblTreb.setText(bassText(e.sclTreb.value()));
    }
    doc_.markDirty();
    SaveChannelData(CurrentEQChannel);
}

void ChannelOps::cmdClear_Click() {
    const std::string& name = tables_.ChannelNames[static_cast<std::size_t>(CurrentEQChannel)];
    if (msg_.show("Are you sure you want to reset " + name + "?", "Reset Channel?", MsgIcon::Question,
                  MsgButtons::YesNo) == MsgResult::No)
        return;
    ResetChannelData(CurrentEQChannel);
    LoadChannelData();
    doc_.markDirty();
    upload_.UploadToUnit(2, 0);
}

void ChannelOps::cmdCopy_Click() { CopiedChannel = CurrentEQChannel; }

void ChannelOps::cmdPaste_Click() {
    const int source = CopiedChannel, target = CurrentEQChannel;
    if (source == target) return;
    if (source == 7) {
        msg_.show("Nothing to Paste!", "Error", MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    const bool compatible =
        (isWideChannel(source) && isWideChannel(target)) || (isSurroundChannel(source) && isSurroundChannel(target));
    if (!compatible) {
        msg_.show("Incompatable Channel Format!", "Error", MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    const auto& names = tables_.ChannelNames;
    if (msg_.show("Are you sure you want to copy " + names[static_cast<std::size_t>(source)] + " to " +
                      names[static_cast<std::size_t>(target)] + "?",
                  "Copy?", MsgIcon::Question, MsgButtons::YesNo) == MsgResult::No)
        return;
    PasteChannelData(source);
    upload_.UploadToUnit(2, 0);
}

void ChannelOps::cmdReset_Click() {
    {
        LoadingScope loading(v_);
        for (int ch = 0; ch < kChannels; ++ch) {
            c_.trim.sclPNG[ch].setValue(12);
            c_.trim.lblPNG[ch].setText("0.0");
            v_.audioBlock.trimLevel(ch) = 12;
        }
    }
    upload_.UploadToUnit(2, 0);
}

}  // namespace zelk
