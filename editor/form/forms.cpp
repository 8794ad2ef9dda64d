#include "form/forms.h"

#include "form/captions.h"
#include "form/translate.h"
#include "port/rates.h"

namespace zelk {

const std::array<const char*, 11> kTheaterLabels = {
    ZELK_TEXT("Captions", "Circuit:"),         ZELK_TEXT("Captions", "Theater Name:"),
    ZELK_TEXT("Captions", "Address:"),         ZELK_TEXT("Captions", "City:"),
    ZELK_TEXT("Captions", "Zip Code:"),        ZELK_TEXT("Captions", "State / County:"),
    ZELK_TEXT("Captions", "Phone:"),           ZELK_TEXT("Captions", "S/N of Processor:"),
    ZELK_TEXT("Captions", "Screen Number:"),   ZELK_TEXT("Captions", "Date Installed:"),
    ZELK_TEXT("Captions", "Notes:")};

const std::array<const char*, 6> kScreenChannelNames = {
    ZELK_TEXT("Captions", "Left"), ZELK_TEXT("Captions", "Center"), ZELK_TEXT("Captions", "Right"),
    ZELK_TEXT("Captions", "LS"),   ZELK_TEXT("Captions", "RS"),     ZELK_TEXT("Captions", "Sub")};

namespace {
template <typename Array>
void captionArray(Array& labels, const std::string& base, const char* const* captions) {
    nameArray(labels, base);
    for (std::size_t i = 0; i < labels.size(); ++i) labels[i].setCaption(translate("Captions", captions[i]));
}
}  // namespace

FaderGroup::FaderGroup(int index, const std::string& muteName)
    : Frame8("Frame8(" + std::to_string(index) + ")"),
      lblFader("lblFader(" + std::to_string(index + 1) + ")"),
      lblVol("lblVol(" + std::to_string(index + 1) + ")"),
      cmdMute(muteName),
      cmdSet7("cmdSet7(" + std::to_string(index) + ")"),
      cmdAdjust("cmdAdjust(" + std::to_string(index) + ")") {
    Frame8.setCaption(translate("Captions", "Master Fader"));
    lblFader.setCaption(translate("Captions", " Fader"));
    lblVol.setText("7.0");
    cmdMute.setCaption(translate("Captions", "Mute"));
    cmdSet7.setCaption(translate("Captions", "Set Fader = 7.0"));
    cmdAdjust.setCaption(translate("Captions", "Adjust Fader"));
}

MainBar::MainBar() {
    form.setCaption(kAppTitle);
    tabCaptions = {translate("Captions", "Format &Selection"), translate("Captions", "&Output Trim"),
                   translate("Captions", "&E.Q"),              translate("Captions", "O&BE"),
                   translate("Captions", "O&ptical Setup"),    translate("Captions", "Op&tions"),
                   translate("Captions", "Theater &Information"), translate("Captions", "&Help")};
    nameArray(frmtabs, "frmtabs");
    cmdConnect.setCaption(translate("Captions", "Connect"));
    cmdDisconnect.setCaption(translate("Captions", "Disconnect"));
    lblStat.setCaption(translate("Captions", "Off Line"));
    cmdtest.setCaption("Command1");
    cmdtest.setVisible(false);

    for (int i = 0; i < 4; ++i) {
        mnuComN[i].setName("mnuCom" + std::to_string(i + 1));
        mnuBaudN[i].setName("mnuBaud" + std::to_string(i + 1));
    }
    mnuNew.setCaption(translate("Captions", "New"));
    mnuLoad.setCaption(translate("Captions", "Open"));
    mnuSave.setCaption(translate("Captions", "Save"));
    mnuSaveAs.setCaption(translate("Captions", "Save As ..."));
    mnuRef.setCaption(translate("Captions", "Update"));
    mnuRef.shortcut = "Ctrl+U";
    mnuend.setCaption(translate("Captions", "E&xit"));
    mnuend.shortcut = "Ctrl+X";
    mnuAuto.setCaption(translate("Captions", "Automatically Upload"));
    mnuConfirm.setCaption(translate("Captions", "Confirm Message Box"));
    mnuShort.setCaption(translate("Captions", "Enable Shortcuts"));
    mnuAutoRef.setCaption(translate("Captions", "Automatic Update"));
    mnuSet.setCaption(translate("Captions", "Set Theater Information"));
    mnuSys.setCaption(translate("Captions", "Use System Date/Time"));
    mnuCom.setCaption(translate("Captions", "COM Port Selection"));
    mnuBaud.setCaption(translate("Captions", "Baud Rate"));
    for (int i = 0; i < 4; ++i) {
        mnuComN[i].setCaption(fill(translate("Captions", "COM %1"), {std::to_string(i + 1)}));
        mnuBaudN[i].setCaption(std::to_string(q7m::kBaudRates[i]));
    }
    mnuComN[0].setChecked(true);
    mnuBaudN[0].setChecked(true);
    mnuBaudN[2].setEnabled(false);
    mnuBaudN[3].setEnabled(false);

    tmrPoll.talksToUnit = true;
    tmrRefresh.talksToUnit = true;
    tmrPoll.setInterval(5000);
    tmrPoll.setEnabled(false);
    tmrRefresh.setInterval(1000);
    tmrClock.setInterval(1000);

    mnuCompare.setCaption(translate("Captions", "Compare with Unit..."));
    mnuAsFound.setCaption(translate("Captions", "Open As-Found..."));
    mnuSite.setCaption(translate("Captions", "Site Overview..."));
    mnuReport.setCaption(translate("Captions", "Export Service Report..."));
    mnuShowDiff.setCaption(translate("Captions", "Show differences before upload"));
    mnuApply.setCaption(translate("Captions", "Apply to the Unit..."));
    mnuHistory.setCaption(translate("Captions", "Unit History..."));
    mnuAskReason.setCaption(translate("Captions", "Ask for a reason before each upload"));
    mnuSupport.setCaption(translate("Captions", "Save Support Bundle..."));
}

FormatTab::FormatTab() {
    nameArray(cmdMode, "cmdMode");
    nameArray(lnlInfo, "lnlInfo");
    Frame1_3.setCaption(translate("Captions", "Mode:"));
    Frame1_1.setCaption(translate("Captions", "Master Fader"));
    Frame1_21.setCaption(translate("Captions", "Processor Unit Information"));
    for (int i = 0; i < 6; ++i) cmdMode[i].setCaption(translate("Captions", kFormatCaptions[i]));
    lblVol.setText("7.0");
    sclVol.setMax(99);
    sclVol.setValue(29);
    lblFader.setCaption(translate("Captions", " Fader"));
    cmdMute.setCaption(translate("Captions", "Mute"));
    lblLogo.setCaption(translate("Captions", "ZELK"));
    lblProduct.setCaption(translate("Captions", "Cinema Processor and EQ Software"));
    lblClock.setCaption(translate("Captions", "00:00:00 PM"));
    cmdUp.setCaption(translate("Captions", "Upload Settings"));
}

TrimTab::TrimTab() {
    frmTrim.setCaption(translate("Captions", "Trim Level"));
    captionArray(lblTrimChannel, "lblTrimChannel", kScreenChannelNames.data());
    captionArray(lblPinkChannel, "lblPinkChannel", kScreenChannelNames.data());
    nameArray(sclPNG, "sclPNG");
    nameArray(lblPNG, "lblPNG");
    nameArray(cmdPN, "cmdPN");
    nameArray(cmdPhase, "cmdPhase");
    for (int i = 0; i < 6; ++i) {
        sclPNG[i].setMax(24);
        sclPNG[i].setValue(12);
        lblPNG[i].setText("0.0");
        cmdPN[i].setCaption(translate("Captions", "Off"));
        cmdPhase[i].setCaption(translate("Captions", "In Phase"));
    }
    cmdReset.setCaption(translate("Captions", "Reset"));
    Frame1_13.setCaption(translate("Captions", "Pink noise"));
    lblPinkRow.setCaption(translate("Captions", "Pink Noise:"));
    lblPhaseRow.setCaption(translate("Captions", "Phase:"));
    Frame1_5.setCaption(translate("Captions", "RT-60 Mode"));
    cmdRT60.setCaption(translate("Captions", "Off"));
    cmdUp.setCaption(translate("Captions", "Upload Settings"));
}

EqTab::EqTab() {
    static const char* const wide[27] = {"40",  "50",  "63",  "80",  "100", "125", "160", "200", "250",
                                         "315", "400", "500", "630", "800", "1k",  "1.2k", "1.6k", "2k",
                                         "2.5k", "3.1k", "4k", "5k", "6.3k", "8k", "10k", "12k", "16k"};
    static const char* const octave[9] = {"63", "125", "250", "500", "1k", "2k", "4k", "8k", "16k"};
    frmChannel.setCaption(translate("Captions", "Channel"));
    nameArray(cmdEQChan, "cmdEQChan");
    for (int i = 0; i < 6; ++i) cmdEQChan[i].setCaption(translate("Captions", kEqChannelCaptions[i]));
    cmdCopy.setCaption(translate("Captions", "Copy"));
    cmdClear.setCaption(translate("Captions", "Reset"));
    cmdPaste.setCaption(translate("Captions", "Paste"));
    cmdPink.setCaption(translate("Captions", "Pink Noise Off"));
    // The bands' frequencies read the same in every language.
    nameArray(lblBandHz, "lblBandHz");
    for (std::size_t i = 0; i < lblBandHz.size(); ++i) lblBandHz[i].setCaption(wide[i]);
    nameArray(lblOctaveHz, "lblOctaveHz");
    for (std::size_t i = 0; i < lblOctaveHz.size(); ++i) lblOctaveHz[i].setCaption(octave[i]);
    nameArray(sclA, "sclA");
    nameArray(lblBand, "lblBand");
    nameArray(sclB, "sclB");
    nameArray(lblLSRSv, "lblLSRSv");
    for (int i = 0; i < 27; ++i) {
        sclA[i].setMax(24);
        sclA[i].setValue(12);
        lblBand[i].setText("0.0");
    }
    for (int i = 0; i < 9; ++i) {
        sclB[i].setMax(24);
        sclB[i].setValue(12);
        lblLSRSv[i].setText("0.0");
    }
    frmBandA.setCaption(translate("Captions", "Left Channel"));
    frmBandB.setCaption(translate("Captions", "Left Surround Channel"));
    frmBass.setCaption(translate("Captions", "Sub Bass Parametric Equalizer"));
    frmBandB.setVisible(false);  // the Left channel's pane shows first
    frmBass.setVisible(false);
    lblGainCaption.setCaption(translate("Captions", "Gain:"));
    sclGain.setMax(24);
    sclGain.setValue(12);
    lblGain.setText("0.0");
    frmBandwidth.setCaption(translate("Captions", "Bandwidth"));
    frmFrequency.setCaption(translate("Captions", "Frequency"));
    nameArray(optBand, "optBand");
    nameArray(optSPB, "optSPB");
    makeOptionGroup(optBand);
    makeOptionGroup(optSPB);
    for (int i = 0; i < 3; ++i) optBand[i].setCaption(translate("Captions", kSubBandwidthNames[i]));
    for (int i = 0; i < 7; ++i) optSPB[i].setCaption(translate("Captions", kSubFrequencyNames[i]));
    Frame1_8.setCaption(translate("Captions", "Bass / Treble"));
    lblBassCaption.setCaption(translate("Captions", "Bass:"));
    lblTrebCaption.setCaption(translate("Captions", "Treble:"));
    sclBass.setMax(20);
    sclBass.setValue(10);
    sclTreb.setMax(20);
    sclTreb.setValue(10);
    lblBass.setText("0");
    lblTreb.setText("0");
    cmdUp.setCaption(translate("Captions", "Upload Settings"));
}

ObeTab::ObeTab() {
    frmObe.setCaption(translate("Captions", "OBE"));
    cmdOBEEnable.setCaption(translate("Captions", "OBE Disable"));
    lblObeFilter.setCaption(translate("Captions", "OBE Filter"));
    lblObeGain.setCaption(translate("Captions", "OBE Gain:"));
    cboObeF.setItems(obeFrequencyItems(kShown));
    sclOBE.setMax(24);
    sclOBE.setValue(12);
    lblOBE.setText("0.0");
    lblPinkCenter.setCaption(translate("Captions", "Pink-Center:"));
    lblPinkSub.setCaption(translate("Captions", "Pink-Sub Bass:"));
    cmdPNC.setCaption(translate("Captions", "Off"));
    cmdPNS.setCaption(translate("Captions", "Off"));
    cmdUp.setCaption(translate("Captions", "Upload Settings"));
}

OpticalTab::OpticalTab() {
    frmChangeOpt.setCaption(translate("Captions", "Measurement"));
    optAzi.setVisible(false);
    nameArray(optOptical, "optOptical");
    makeOptionGroup(optOptical);
    optOptical[0].setCaption(translate("Captions", "Gain"));
    optOptical[1].setCaption(translate("Captions", "Slit Loss"));
    optOptical[2].setCaption(translate("Captions", "Azimuth"));
    cmdStart.setCaption(translate("Captions", "Start"));
    nameArray(cmdPro, "cmdPro");
    cmdPro[0].setCaption(translate("Captions", "Projector 1"));
    cmdPro[1].setCaption(translate("Captions", "Projector 2"));
    lblLock.setCaption(translate("Captions", "Stream Lock"));
    lblLock.setVisible(false);
    lblStart.setCaption(translate("Captions", "Press Start  -->"));
    tmrOptical.talksToUnit = true;
    tmrOptical.setEnabled(false);
    tmrOptical.setInterval(1);
    Timer2.setInterval(1000);
    cmdMute4.setCaption(translate("Captions", "Mute"));
    cmdUp.setCaption(translate("Captions", "Upload Settings"));
}

OptionsTab::OptionsTab() {
    lblNonsyncMode.setCaption(translate("Captions", "Non-Sync Output Mode:"));
    lblNonsyncTrim.setCaption(translate("Captions", "Non-Sync Trim:"));
    lblReaderDelay.setCaption(translate("Captions", "Timecode Reader Offset:"));
    lblSurroundDelay.setCaption(translate("Captions", "Surround Delay:"));
    cboNonsyncMode.setItems(nonsyncModeItems(kShown));
    cboNonsyncTrim.setItems(nonsyncTrimItems(kShown));
    cboSurroundDelay.setItems(surroundDelayItems(kShown));
    cboReaderDelay.setItems(readerDelayItems(kShown));
    chkDisableMatrix.setCaption(translate("Captions", "Matrix Decoding Disabled"));
    frmPowerOn.setCaption(translate("Captions", "Power On Format"));
    frmF1Key.setCaption(translate("Captions", "F1 (MONO) Format Key Assignment"));
    nameArray(optDefaultFormat, "optDefaultFormat");
    nameArray(optF1Key, "optF1Key");
    makeOptionGroup(optDefaultFormat);
    makeOptionGroup(optF1Key);
    for (int i = 0; i < 5; ++i) optDefaultFormat[i].setCaption(translate("Captions", kPowerOnFormatNames[i]));
    for (int i = 0; i < 4; ++i) optF1Key[i].setCaption(translate("Captions", kF1KeyNames[i]));
    cmdUp.setCaption(translate("Captions", "Upload Settings"));
}

TheaterTab::TheaterTab() {
    captionArray(lblTheater, "lblTheater", kTheaterLabels.data());
    nameArray(txtTheaterInfo, "txtTheaterInfo");
    for (auto& t : txtTheaterInfo) t.setEnabled(true);
    cmdEdit.setCaption(translate("Captions", "Edit"));
}

std::array<TextBox*, 4> FrmMain::faderFields() {
    return {&format.lblVol, &trim.fader.lblVol, &eq.fader.lblVol, &obe.fader.lblVol};
}

std::array<Button*, 5> FrmMain::muteButtons() {
    return {&format.cmdMute, &trim.fader.cmdMute, &eq.fader.cmdMute, &optical.cmdMute4, &obe.fader.cmdMute};
}

std::array<Button*, 6> FrmMain::uploadButtons() {
    return {&format.cmdUp, &trim.cmdUp, &eq.cmdUp, &optical.cmdUp, &options.cmdUp, &obe.cmdUp};
}

FrmProg::FrmProg() {
    form.setCaption("");
    form.setVisible(false);
    pb.setMax(10);
    cmdCan.setCaption(translate("Captions", "Cancel"));
}

FrmTheater::FrmTheater() {
    form.setCaption(translate("Captions", "Set Theater Information"));
    form.setVisible(false);
    captionArray(lblTheater, "lblTheater", kTheaterLabels.data());
    nameArray(txtTheaterInfo, "txtTheaterInfo");
    cmdOK.setCaption(translate("Captions", "OK"));
    cmdCan.setCaption(translate("Captions", "Cancel"));
}

FrmRef::FrmRef() {
    form.setCaption(translate("Captions", "Automatic Update"));
    form.setVisible(false);
    chkRef.setCaption(translate("Captions", "Enable Automatic Update"));
    Label2.setCaption(translate("Captions", "Every"));
    txtRef.setText("60");
    Label1.setCaption(translate("Captions", "seconds"));
    Command1.setCaption(translate("Captions", "OK"));
}

FrmSplash::FrmSplash() {
    form.setCaption("");
    Label1.setCaption(translate("Captions", "Loading Please Wait..."));
    Timer1.setInterval(100);
    Timer1.setEnabled(true);
}

FrmFader::FrmFader() {
    form.setCaption(translate("Captions", "Fader:"));
    form.setVisible(false);
    lblVol.setText("7.0");
    sclVol.setMax(99);
    sclVol.setValue(29);
    cmdClose.setCaption(translate("Captions", "Close"));
}

void Table::setContent(std::vector<std::string> columns, std::vector<std::vector<std::string>> rows) {
    columns_ = std::move(columns);
    rows_ = std::move(rows);
    checks_.clear();
    selected_ = -1;
    notify(Prop::Items);
}

int Table::check(int row) const {
    return row >= 0 && row < static_cast<int>(checks_.size()) ? checks_[static_cast<std::size_t>(row)] : kNoBox;
}

void Table::setChecks(std::vector<int> checks) {
    checks.resize(rows_.size(), kNoBox);
    checks_ = std::move(checks);
    notify(Prop::Value);
}

void Table::setSelected(int row) {
    if (row < -1 || row >= static_cast<int>(rows_.size())) row = -1;
    assign(selected_, row, Prop::ListIndex);
}

FrmCompare::FrmCompare() {
    form.setCaption(translate("Captions", "Differences from the Unit"));
    form.setVisible(false);
    cmdUpload.setCaption(translate("Captions", "Upload Selected"));
    cmdCancel.setCaption(translate("Captions", "Cancel"));
    lblNote.setCaption(translate("Captions", "The upload date stamp and the bytes the unit does not use are not compared."));
    lblReason.setCaption(translate("Captions", "Reason (optional, kept in the unit's history):"));
}

FrmHistory::FrmHistory() {
    form.setCaption(translate("Captions", "Unit History"));
    form.setVisible(false);
    cmdClose.setCaption(translate("Captions", "Close"));
}

FrmSupport::FrmSupport() {
    form.setCaption(translate("Captions", "Save Support Bundle"));
    form.setVisible(false);
    chkTheater.setCaption(translate("Captions", "Include theater information and host names"));
    cmdSave.setCaption(translate("Captions", "Save..."));
    cmdCancel.setCaption(translate("Captions", "Cancel"));
}

FrmSite::FrmSite() {
    form.setCaption(translate("Captions", "Site Overview"));
    form.setVisible(false);
    cmdFolder.setCaption(translate("Captions", "Baseline Folder..."));
    cmdRefresh.setCaption(translate("Captions", "Refresh"));
    cmdConnect.setCaption(translate("Captions", "Connect"));
    cmdConnect.setEnabled(false);
    cmdApprove.setCaption(translate("Captions", "Approve as Baseline"));
    cmdApprove.setEnabled(false);
    cmdClose.setCaption(translate("Captions", "Close"));
    cboPeriod.setItems({translate("Captions", "No automatic refresh"), translate("Captions", "Refresh every 30 s"),
                        translate("Captions", "Refresh every minute"), translate("Captions", "Refresh every 5 minutes")});
    cboPeriod.setListIndex(0);
    tmrSite.setEnabled(false);
    tmrSite.talksToUnit = true;
}

FrmAsFound::FrmAsFound() {
    form.setCaption(translate("Captions", "As-Found Configurations"));
    form.setVisible(false);
    cmdOpen.setCaption(translate("Captions", "Open"));
    cmdOpen.setEnabled(false);
    cmdCancel.setCaption(translate("Captions", "Cancel"));
}

}  // namespace zelk
