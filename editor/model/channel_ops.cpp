#include "model/channel_ops.h"

#include "form/translate.h"
#include "model/compare.h"

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
    for (std::size_t ch = 0; ch < tables_.ChannelNames.size(); ++ch)
        tables_.ChannelNames[ch] = translate("Settings", kChannelNames[ch]);
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
        // The first item of each list: 0 mS, Screen Channels, 0.00 TC Frames, 0 dB.
        o.cboSurroundDelay.setListIndex(0);
        o.cboNonsyncMode.setListIndex(0);
        o.cboReaderDelay.setListIndex(0);
        o.cboNonsyncTrim.setListIndex(0);
        o.optF1Key[0].setValue(true);
        o.optDefaultFormat[0].setValue(true);
        o.chkDisableMatrix.setValue(0);

        obe.cboObeF.setListIndex(0);  // 50 Hz
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
    if (msg_.show(fill(translate("ChannelOps", "Are you sure you want to reset %1?"), {name}),
                  translate("ChannelOps", "Reset Channel?"), MsgIcon::Question, MsgButtons::YesNo) == MsgResult::No)
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
        msg_.show(translate("ChannelOps", "Nothing to Paste!"), translate("ChannelOps", "Error"), MsgIcon::Exclamation,
                  MsgButtons::OK);
        return;
    }
    const bool compatible =
        (isWideChannel(source) && isWideChannel(target)) || (isSurroundChannel(source) && isSurroundChannel(target));
    if (!compatible) {
        msg_.show(translate("ChannelOps", "Incompatable Channel Format!"), translate("ChannelOps", "Error"),
                  MsgIcon::Exclamation, MsgButtons::OK);
        return;
    }
    const auto& names = tables_.ChannelNames;
    if (msg_.show(fill(translate("ChannelOps", "Are you sure you want to copy %1 to %2?"),
                       {names[static_cast<std::size_t>(source)], names[static_cast<std::size_t>(target)]}),
                  translate("ChannelOps", "Copy?"), MsgIcon::Question, MsgButtons::YesNo) == MsgResult::No)
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
