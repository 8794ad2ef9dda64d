#include "forms.h"

#include "lookup.h"

namespace zelk {

const std::array<const char*, 11> kTheaterLabels = {
    "Circuit:", "Theater Name:", "Address:", "City:", "Zip Code:", "State / County:",
    "Phone:", "S/N of Processor:", "Screen Number:", "Date Installed:", "Notes:"};

FrmMain::FrmMain() {
    form.setCaption(kAppTitle);
    tabCaptions = {"Format &Selection", "&Output Trim", "&E.Q", "O&BE",
                   "O&ptical Setup",    "Op&tions",     "Theater &Information", "&Help"};
    nameArray(frmtabs, "frmtabs");
    nameArray(Frame1, "Frame1");
    nameArray(Frame8, "Frame8");
    nameArray(lnlInfo, "lnlInfo");
    nameArray(cmdUp, "cmdUp");
    nameArray(cmdMode, "cmdMode");
    nameArray(lblVol, "lblVol");
    nameArray(cmdSet7, "cmdSet7");
    nameArray(cmdAdjust, "cmdAdjust");
    nameArray(sclPNG, "sclPNG");
    nameArray(lblPNG, "lblPNG");
    nameArray(cmdPN, "cmdPN");
    nameArray(cmdPhase, "cmdPhase");
    nameArray(cmdEQChan, "cmdEQChan");
    nameArray(sclA, "sclA");
    nameArray(lblBand, "lblBand");
    nameArray(sclB, "sclB");
    nameArray(lblLSRSv, "lblLSRSv");
    nameArray(optBand, "optBand");
    nameArray(optSPB, "optSPB");
    nameArray(optOptical, "optOptical");
    nameArray(cmdPro, "cmdPro");
    nameArray(optDefaultFormat, "optDefaultFormat");
    nameArray(optF1Key, "optF1Key");
    nameArray(txtTheaterInfo, "txtTheaterInfo");
    for (int i = 0; i < 4; ++i) {
        mnuComN[i].setName("mnuCom" + std::to_string(i + 1));
        mnuBaudN[i].setName("mnuBaud" + std::to_string(i + 1));
    }
    makeOptionGroup(optBand);
    makeOptionGroup(optSPB);
    makeOptionGroup(optOptical);
    makeOptionGroup(optDefaultFormat);
    makeOptionGroup(optF1Key);

    // Design-time captions.
    cmdConnect.setCaption("Connect");
    lblStat.setCaption("Off Line");
    cmdtest.setCaption("Command1");
    cmdtest.setVisible(false);
    lblClock.setCaption("00:00:00 PM");
    Frame1[1].setCaption("Master Fader");
    Frame1[3].setCaption("Mode:");
    Frame1[5].setCaption("RT-60 Mode");
    Frame1[8].setCaption("Bass / Treble");
    Frame1[13].setCaption("Pink noise");
    Frame1[21].setCaption("Processor Unit Information");
    for (auto& f : Frame8) f.setCaption("Master Fader");
    for (int i = 0; i < 6; ++i) {
        cmdUp[i].setCaption("Upload Settings");
        cmdMode[i].setCaption(kFormatCaptions[i]);
        cmdPN[i].setCaption("Off");
        cmdPhase[i].setCaption("In Phase");
        cmdEQChan[i].setCaption(kEqChannelCaptions[i]);
        sclPNG[i].setMax(24);
        sclPNG[i].setValue(12);
        lblPNG[i].setText("0.0");
    }
    for (auto& b : cmdSet7) b.setCaption("Set Fader = 7.0");
    for (auto& b : cmdAdjust) b.setCaption("Adjust Fader");
    for (auto& f : lblVol) f.setText("7.0");
    sclVol.setMax(99);
    sclVol.setValue(29);
    for (Button* m : {&cmdMute, &cmdMute2, &cmdMute3, &cmdMute4, &cmdMute5}) m->setCaption("Mute");
    cmdReset.setCaption("Reset");
    cmdRT60.setCaption("Off");
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
    sclGain.setMax(24);
    sclGain.setValue(12);
    lblGain.setText("0.0");
    sclBass.setMax(20);
    sclBass.setValue(10);
    sclTreb.setMax(20);
    sclTreb.setValue(10);
    lblBass.setText("0");
    lblTreb.setText("0");
    for (int i = 0; i < 3; ++i) optBand[i].setCaption(kSubBandwidthNames[i]);
    for (int i = 0; i < 7; ++i) optSPB[i].setCaption(kSubFrequencyNames[i]);
    frmBandA.setCaption("Left Channel");
    frmBandB.setCaption("Left Surround Channel");
    frmBass.setCaption("Sub Bass Parametric Equalizer");
    frmBandB.setVisible(false);  // the Left channel's pane shows first
    frmBass.setVisible(false);
    cmdCopy.setCaption("Copy");
    cmdClear.setCaption("Reset");
    cmdPaste.setCaption("Paste");
    cmdPink.setCaption("Pink Noise Off");

    cboObeF.setItems(obeFrequencyItems());
    sclOBE.setMax(24);
    sclOBE.setValue(12);
    lblOBE.setText("0.0");
    cmdOBEEnable.setCaption("OBE Disable");
    cmdPNC.setCaption("Off");
    cmdPNS.setCaption("Off");

    cmdStart.setCaption("Start");
    optOptical[0].setCaption("Gain");
    optOptical[1].setCaption("Slit Loss");
    optOptical[2].setCaption("Azimuth");
    cmdPro[0].setCaption("Projector 1");
    cmdPro[1].setCaption("Projector 2");
    lblLock.setCaption("Stream Lock");
    lblLock.setVisible(false);
    lblStart.setCaption("Press Start  -->");

    cboNonsyncMode.setItems(nonsyncModeItems());
    cboNonsyncTrim.setItems(nonsyncTrimItems());
    cboSurroundDelay.setItems(surroundDelayItems());
    chkDisableMatrix.setCaption("Matrix Decoding Disabled");
    for (int i = 0; i < 5; ++i) optDefaultFormat[i].setCaption(kPowerOnFormatNames[i]);
    for (int i = 0; i < 4; ++i) optF1Key[i].setCaption(kF1KeyNames[i]);
    for (auto& t : txtTheaterInfo) t.setEnabled(true);
    cmdEdit.setCaption("Edit");

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
    static const char* const rates[4] = {"9600", "19200", "38400", "57600"};
    for (int i = 0; i < 4; ++i) {
        mnuComN[i].setCaption("COM " + std::to_string(i + 1));
        mnuBaudN[i].setCaption(rates[i]);
    }
    mnuComN[0].setChecked(true);
    mnuBaudN[0].setChecked(true);
    mnuBaudN[2].setEnabled(false);
    mnuBaudN[3].setEnabled(false);

    tmrPoll.setInterval(5000);
    tmrPoll.setEnabled(false);
    tmrRefresh.setInterval(1000);
    Timer2.setInterval(1000);
    tmrClock.setInterval(1000);
    tmrOptical.setEnabled(false);
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
}

}  // namespace zelk
