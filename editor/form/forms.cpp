#include "form/forms.h"

#include "form/captions.h"
#include "port/rates.h"

namespace zelk {

const std::array<const char*, 11> kTheaterLabels = {
    "Circuit:", "Theater Name:", "Address:", "City:", "Zip Code:", "State / County:",
    "Phone:", "S/N of Processor:", "Screen Number:", "Date Installed:", "Notes:"};

const std::array<const char*, 6> kScreenChannelNames = {"Left", "Center", "Right", "LS", "RS", "Sub"};

namespace {
template <typename Array>
void captionArray(Array& labels, const std::string& base, const char* const* captions) {
    nameArray(labels, base);
    for (std::size_t i = 0; i < labels.size(); ++i) labels[i].setCaption(captions[i]);
}
}  // namespace

FaderGroup::FaderGroup(int index, const std::string& muteName)
    : Frame8("Frame8(" + std::to_string(index) + ")"),
      lblFader("lblFader(" + std::to_string(index + 1) + ")"),
      lblVol("lblVol(" + std::to_string(index + 1) + ")"),
      cmdMute(muteName),
      cmdSet7("cmdSet7(" + std::to_string(index) + ")"),
      cmdAdjust("cmdAdjust(" + std::to_string(index) + ")") {
    Frame8.setCaption("Master Fader");
    lblFader.setCaption(" Fader");
    lblVol.setText("7.0");
    cmdMute.setCaption("Mute");
    cmdSet7.setCaption("Set Fader = 7.0");
    cmdAdjust.setCaption("Adjust Fader");
}

MainBar::MainBar() {
    form.setCaption(kAppTitle);
    tabCaptions = {"Format &Selection", "&Output Trim", "&E.Q", "O&BE",
                   "O&ptical Setup",    "Op&tions",     "Theater &Information", "&Help"};
    nameArray(frmtabs, "frmtabs");
    cmdConnect.setCaption("Connect");
    cmdDisconnect.setCaption("Disconnect");
    lblStat.setCaption("Off Line");
    cmdtest.setCaption("Command1");
    cmdtest.setVisible(false);

    for (int i = 0; i < 4; ++i) {
        mnuComN[i].setName("mnuCom" + std::to_string(i + 1));
        mnuBaudN[i].setName("mnuBaud" + std::to_string(i + 1));
    }
    mnuNew.setCaption("New");
    mnuLoad.setCaption("Open");
    mnuSave.setCaption("Save");
    mnuSaveAs.setCaption("Save As ...");
    mnuRef.setCaption("Update");
    mnuRef.shortcut = "Ctrl+U";
    mnuend.setCaption("E&xit");
    mnuend.shortcut = "Ctrl+X";
    mnuAuto.setCaption("Automatically Upload");
    mnuConfirm.setCaption("Confirm Message Box");
    mnuShort.setCaption("Enable Shortcuts");
    mnuAutoRef.setCaption("Automatic Update");
    mnuSet.setCaption("Set Theater Information");
    mnuSys.setCaption("Use System Date/Time");
    mnuCom.setCaption("COM Port Selection");
    mnuBaud.setCaption("Baud Rate");
    for (int i = 0; i < 4; ++i) {
        mnuComN[i].setCaption("COM " + std::to_string(i + 1));
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

    mnuCompare.setCaption("Compare with Unit...");
    mnuAsFound.setCaption("Open As-Found...");
    mnuSite.setCaption("Site Overview...");
    mnuReport.setCaption("Export Service Report...");
    mnuShowDiff.setCaption("Show differences before upload");
    mnuApply.setCaption("Apply to the Unit...");
    mnuHistory.setCaption("Unit History...");
    mnuAskReason.setCaption("Ask for a reason before each upload");
    mnuSupport.setCaption("Save Support Bundle...");
}

FormatTab::FormatTab() {
    nameArray(cmdMode, "cmdMode");
    nameArray(lnlInfo, "lnlInfo");
    Frame1_3.setCaption("Mode:");
    Frame1_1.setCaption("Master Fader");
    Frame1_21.setCaption("Processor Unit Information");
    for (int i = 0; i < 6; ++i) cmdMode[i].setCaption(kFormatCaptions[i]);
    lblVol.setText("7.0");
    sclVol.setMax(99);
    sclVol.setValue(29);
    lblFader.setCaption(" Fader");
    cmdMute.setCaption("Mute");
    lblLogo.setCaption("ZELK");
    lblProduct.setCaption("Cinema Processor and EQ Software");
    lblClock.setCaption("00:00:00 PM");
    cmdUp.setCaption("Upload Settings");
}

TrimTab::TrimTab() {
    frmTrim.setCaption("Trim Level");
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
        cmdPN[i].setCaption("Off");
        cmdPhase[i].setCaption("In Phase");
    }
    cmdReset.setCaption("Reset");
    Frame1_13.setCaption("Pink noise");
    lblPinkRow.setCaption("Pink Noise:");
    lblPhaseRow.setCaption("Phase:");
    Frame1_5.setCaption("RT-60 Mode");
    cmdRT60.setCaption("Off");
    cmdUp.setCaption("Upload Settings");
}

EqTab::EqTab() {
    static const char* const wide[27] = {"40",  "50",  "63",  "80",  "100", "125", "160", "200", "250",
                                         "315", "400", "500", "630", "800", "1k",  "1.2k", "1.6k", "2k",
                                         "2.5k", "3.1k", "4k", "5k", "6.3k", "8k", "10k", "12k", "16k"};
    static const char* const octave[9] = {"63", "125", "250", "500", "1k", "2k", "4k", "8k", "16k"};
    frmChannel.setCaption("Channel");
    nameArray(cmdEQChan, "cmdEQChan");
    for (int i = 0; i < 6; ++i) cmdEQChan[i].setCaption(kEqChannelCaptions[i]);
    cmdCopy.setCaption("Copy");
    cmdClear.setCaption("Reset");
    cmdPaste.setCaption("Paste");
    cmdPink.setCaption("Pink Noise Off");
    captionArray(lblBandHz, "lblBandHz", wide);
    captionArray(lblOctaveHz, "lblOctaveHz", octave);
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
    frmBandA.setCaption("Left Channel");
    frmBandB.setCaption("Left Surround Channel");
    frmBass.setCaption("Sub Bass Parametric Equalizer");
    frmBandB.setVisible(false);  // the Left channel's pane shows first
    frmBass.setVisible(false);
    lblGainCaption.setCaption("Gain:");
    sclGain.setMax(24);
    sclGain.setValue(12);
    lblGain.setText("0.0");
    frmBandwidth.setCaption("Bandwidth");
    frmFrequency.setCaption("Frequency");
    nameArray(optBand, "optBand");
    nameArray(optSPB, "optSPB");
    makeOptionGroup(optBand);
    makeOptionGroup(optSPB);
    for (int i = 0; i < 3; ++i) optBand[i].setCaption(kSubBandwidthNames[i]);
    for (int i = 0; i < 7; ++i) optSPB[i].setCaption(kSubFrequencyNames[i]);
    Frame1_8.setCaption("Bass / Treble");
    lblBassCaption.setCaption("Bass:");
    lblTrebCaption.setCaption("Treble:");
    sclBass.setMax(20);
    sclBass.setValue(10);
    sclTreb.setMax(20);
    sclTreb.setValue(10);
    lblBass.setText("0");
    lblTreb.setText("0");
    cmdUp.setCaption("Upload Settings");
}

ObeTab::ObeTab() {
    frmObe.setCaption("OBE");
    cmdOBEEnable.setCaption("OBE Disable");
    lblObeFilter.setCaption("OBE Filter");
    lblObeGain.setCaption("OBE Gain:");
    cboObeF.setItems(obeFrequencyItems());
    sclOBE.setMax(24);
    sclOBE.setValue(12);
    lblOBE.setText("0.0");
    lblPinkCenter.setCaption("Pink-Center:");
    lblPinkSub.setCaption("Pink-Sub Bass:");
    cmdPNC.setCaption("Off");
    cmdPNS.setCaption("Off");
    cmdUp.setCaption("Upload Settings");
}

OpticalTab::OpticalTab() {
    frmChangeOpt.setCaption("Measurement");
    optAzi.setVisible(false);
    nameArray(optOptical, "optOptical");
    makeOptionGroup(optOptical);
    optOptical[0].setCaption("Gain");
    optOptical[1].setCaption("Slit Loss");
    optOptical[2].setCaption("Azimuth");
    cmdStart.setCaption("Start");
    nameArray(cmdPro, "cmdPro");
    cmdPro[0].setCaption("Projector 1");
    cmdPro[1].setCaption("Projector 2");
    lblLock.setCaption("Stream Lock");
    lblLock.setVisible(false);
    lblStart.setCaption("Press Start  -->");
    tmrOptical.talksToUnit = true;
    tmrOptical.setEnabled(false);
    tmrOptical.setInterval(1);
    Timer2.setInterval(1000);
    cmdMute4.setCaption("Mute");
    cmdUp.setCaption("Upload Settings");
}

OptionsTab::OptionsTab() {
    lblNonsyncMode.setCaption("Non-Sync Output Mode:");
    lblNonsyncTrim.setCaption("Non-Sync Trim:");
    lblReaderDelay.setCaption("Timecode Reader Offset:");
    lblSurroundDelay.setCaption("Surround Delay:");
    cboNonsyncMode.setItems(nonsyncModeItems());
    cboNonsyncTrim.setItems(nonsyncTrimItems());
    cboSurroundDelay.setItems(surroundDelayItems());
    cboReaderDelay.setItems(readerDelayItems());
    chkDisableMatrix.setCaption("Matrix Decoding Disabled");
    frmPowerOn.setCaption("Power On Format");
    frmF1Key.setCaption("F1 (MONO) Format Key Assignment");
    nameArray(optDefaultFormat, "optDefaultFormat");
    nameArray(optF1Key, "optF1Key");
    makeOptionGroup(optDefaultFormat);
    makeOptionGroup(optF1Key);
    for (int i = 0; i < 5; ++i) optDefaultFormat[i].setCaption(kPowerOnFormatNames[i]);
    for (int i = 0; i < 4; ++i) optF1Key[i].setCaption(kF1KeyNames[i]);
    cmdUp.setCaption("Upload Settings");
}

TheaterTab::TheaterTab() {
    captionArray(lblTheater, "lblTheater", kTheaterLabels.data());
    nameArray(txtTheaterInfo, "txtTheaterInfo");
    for (auto& t : txtTheaterInfo) t.setEnabled(true);
    cmdEdit.setCaption("Edit");
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
    cmdCan.setCaption("Cancel");
}

FrmTheater::FrmTheater() {
    form.setCaption("Set Theater Information");
    form.setVisible(false);
    captionArray(lblTheater, "lblTheater", kTheaterLabels.data());
    nameArray(txtTheaterInfo, "txtTheaterInfo");
    cmdOK.setCaption("OK");
    cmdCan.setCaption("Cancel");
}

FrmRef::FrmRef() {
    form.setCaption("Automatic Update");
    form.setVisible(false);
    chkRef.setCaption("Enable Automatic Update");
    Label2.setCaption("Every");
    txtRef.setText("60");
    Label1.setCaption("seconds");
    Command1.setCaption("OK");
}

FrmSplash::FrmSplash() {
    form.setCaption("");
    Label1.setCaption("Loading Please Wait...");
    Timer1.setInterval(100);
    Timer1.setEnabled(true);
}

FrmFader::FrmFader() {
    form.setCaption("Fader:");
    form.setVisible(false);
    lblVol.setText("7.0");
    sclVol.setMax(99);
    sclVol.setValue(29);
    cmdClose.setCaption("Close");
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
    form.setCaption("Differences from the Unit");
    form.setVisible(false);
    cmdUpload.setCaption("Upload Selected");
    cmdCancel.setCaption("Cancel");
    lblNote.setCaption("The upload date stamp and the bytes the unit does not use are not compared.");
    lblReason.setCaption("Reason (optional, kept in the unit's history):");
}

FrmHistory::FrmHistory() {
    form.setCaption("Unit History");
    form.setVisible(false);
    cmdClose.setCaption("Close");
}

FrmSupport::FrmSupport() {
    form.setCaption("Save Support Bundle");
    form.setVisible(false);
    chkTheater.setCaption("Include theater information and host names");
    cmdSave.setCaption("Save...");
    cmdCancel.setCaption("Cancel");
}

FrmSite::FrmSite() {
    form.setCaption("Site Overview");
    form.setVisible(false);
    cmdFolder.setCaption("Baseline Folder...");
    cmdRefresh.setCaption("Refresh");
    cmdConnect.setCaption("Connect");
    cmdConnect.setEnabled(false);
    cmdApprove.setCaption("Approve as Baseline");
    cmdApprove.setEnabled(false);
    cmdClose.setCaption("Close");
    cboPeriod.setItems({"No automatic refresh", "Refresh every 30 s", "Refresh every minute", "Refresh every 5 minutes"});
    cboPeriod.setListIndex(0);
    tmrSite.setEnabled(false);
    tmrSite.talksToUnit = true;
}

FrmAsFound::FrmAsFound() {
    form.setCaption("As-Found Configurations");
    form.setVisible(false);
    cmdOpen.setCaption("Open");
    cmdOpen.setEnabled(false);
    cmdCancel.setCaption("Cancel");
}

}  // namespace zelk
