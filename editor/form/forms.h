// forms.h - the controls of the editor's windows, as the logic sees them.
//
// Each window is a plain object holding its controls by their names; the
// behaviour lives in the subsystem components (model, files, connection,
// controls, optical), which share these objects.
#ifndef ZELK_FORM_FORMS_H
#define ZELK_FORM_FORMS_H

#include <array>
#include <string>

#include "controls.h"
#include "record.h"

namespace zelk {

inline const std::string kAppTitle = "ZELK Cinema Processor and EQ Software";

struct FrmMain {
    FrmMain();

    Label form{"frmMain"};  // caption = window title; enabled = takes input

    // Tab strip and its eight frames.
    int SSTAB1_Tab = 0;  // the tab showing
    std::array<std::string, 8> tabCaptions;
    std::array<Frame, 8> frmtabs;
    std::array<Frame, 22> Frame1;
    std::array<Frame, 3> Frame8;

    // Connection.
    Button cmdConnect{"cmdConnect"};
    Label lblStat{"lblStat"};
    std::array<Label, 3> lnlInfo;
    Timer tmrPoll{"tmrPoll"};
    Timer tmrRefresh{"tmrRefresh"};
    Timer Timer2{"Timer2"};
    Timer tmrClock{"tmrClock"};
    Label lblClock{"lblClock"};
    std::array<Button, 6> cmdUp;
    Button cmdtest{"cmdtest"};  // hidden; its colour is the neutral button colour

    // Format selection and fader.
    std::array<Button, 6> cmdMode;
    std::array<TextBox, 4> lblVol;
    Slider sclVol{"sclVol"};
    Button cmdMute{"cmdMute"}, cmdMute2{"cmdMute2"}, cmdMute3{"cmdMute3"}, cmdMute4{"cmdMute4"}, cmdMute5{"cmdMute5"};
    std::array<Button, 3> cmdSet7;
    std::array<Button, 3> cmdAdjust;

    // Output trim.
    std::array<Slider, 6> sclPNG;
    std::array<TextBox, 6> lblPNG;
    Button cmdReset{"cmdReset"};
    Button cmdRT60{"cmdRT60"};
    std::array<Button, 6> cmdPN;
    std::array<Button, 6> cmdPhase;

    // Equaliser.
    std::array<Button, 6> cmdEQChan;
    Frame frmBandA{"frmBandA"}, frmBandB{"frmBandB"}, frmBass{"frmBass"};
    std::array<Slider, 27> sclA;
    std::array<TextBox, 27> lblBand;
    std::array<Slider, 9> sclB;
    std::array<TextBox, 9> lblLSRSv;
    Slider sclGain{"sclGain"};
    TextBox lblGain{"lblGain"};
    std::array<OptionButton, 3> optBand;
    std::array<OptionButton, 7> optSPB;
    Slider sclBass{"sclBass"}, sclTreb{"sclTreb"};
    TextBox lblBass{"lblBass"}, lblTreb{"lblTreb"};
    Button cmdCopy{"cmdCopy"}, cmdClear{"cmdClear"}, cmdPaste{"cmdPaste"}, cmdPink{"cmdPink"};

    // OBE.
    ComboBox cboObeF{"cboObeF"};
    Slider sclOBE{"sclOBE"};
    TextBox lblOBE{"lblOBE"};
    Button cmdOBEEnable{"cmdOBEEnable"};
    Button cmdPNC{"cmdPNC"}, cmdPNS{"cmdPNS"};

    // Optical setup.
    Button cmdStart{"cmdStart"};
    std::array<OptionButton, 3> optOptical;
    std::array<Button, 2> cmdPro;
    Label lblLock{"lblLock"};
    Label lblStart{"lblStart"};
    Timer tmrOptical{"tmrOptical"};

    // Options.
    ComboBox cboNonsyncMode{"cboNonsyncMode"}, cboNonsyncTrim{"cboNonsyncTrim"};
    ComboBox cboReaderDelay{"cboReaderDelay"}, cboSurroundDelay{"cboSurroundDelay"};
    CheckBox chkDisableMatrix{"chkDisableMatrix"};
    std::array<OptionButton, 5> optDefaultFormat;
    std::array<OptionButton, 4> optF1Key;

    // Theater information and help.
    std::array<TextBox, 11> txtTheaterInfo;
    Button cmdEdit{"cmdEdit"};
    TextBox RTFc{"RTFc"};  // the help text (rich text); caption = file content

    // Menus.
    MenuItem mnuNew{"mnuNew"}, mnuLoad{"mnuLoad"}, mnuSave{"mnuSave"}, mnuSaveAs{"mnuSaveAs"};
    MenuItem mnuRef{"mnuRef"}, mnuend{"mnuend"};
    MenuItem mnuAuto{"mnuAuto"}, mnuConfirm{"mnuConfirm"}, mnuShort{"mnuShort"};
    MenuItem mnuAutoRef{"mnuAutoRef"}, mnuSet{"mnuSet"}, mnuSys{"mnuSys"};
    MenuItem mnuCom{"mnuCom"}, mnuBaud{"mnuBaud"};
    std::array<MenuItem, 4> mnuComN;   // mnuCom1 .. mnuCom4
    std::array<MenuItem, 4> mnuBaudN;  // mnuBaud1 .. mnuBaud4

    // Window state.
    VbBool SettingsDirty = kFalse;
    std::int16_t CurrentEQChannel = 0;
    std::int16_t CopiedChannel = 7;  // 7: nothing copied
    VbBool UnitAccepted = kFalse;
    VbBool SaveAborted = kFalse;
    VbBool QuietFileMode = kFalse;
    std::int16_t RefreshCounter = 0;
    std::array<VbBool, 3> FaderPromptDone{};  // tabs 1, 2, 3
    VbBool SliderKeysUp = kTrue;
    std::int16_t SliderFocusValue = 255;

    Colour neutralColour() const { return cmdtest.backColour(); }
    // Toggle-button looks.
    void offLook(Control& c) const {
        c.setBackColour(neutralColour());
        c.setBold(false);
    }
    static void onLook(Control& c) {
        c.setBackColour(kYellow);
        c.setBold(true);
    }
    // A toggle button switched on or off, with the caption of its new state.
    void showToggle(Control& c, bool on, const std::string& caption) const {
        if (on) onLook(c);
        else offLook(c);
        c.setCaption(caption);
    }
};

// Progress dialog shown while connecting.
struct FrmProg {
    FrmProg();
    Label form{"frmProg"};
    Label lblCap{"lblCap"};
    Slider pb{"pb"};  // progress bar, 0..10
    Button cmdCan{"cmdCan"};
};

// "Set Theater Information".
struct FrmTheater {
    FrmTheater();
    Label form{"frmTheater"};
    std::array<TextBox, 11> txtTheaterInfo;
    Button cmdOK{"cmdOK"}, cmdCan{"cmdCan"};
    VbBool TheaterChanged = kFalse;
};

// "Automatic Update".
struct FrmRef {
    FrmRef();
    Label form{"frmRef"};
    CheckBox chkRef{"chkRef"};
    Label Label2{"Label2"}, Label1{"Label1"};
    TextBox txtRef{"txtRef"};
    Button Command1{"Command1"};
};

// Splash window.
struct FrmSplash {
    FrmSplash();
    Label form{"frmSplash"};
    Label Label1{"Label1"};
    Timer Timer1{"Timer1"};
};

// The always-on-top fader dialog.
struct FrmFader {
    FrmFader();
    Label form{"frmFader"};
    TextBox lblVol{"lblVol"};
    Slider sclVol{"sclVol"};
    VbBool SliderKeysUp = kTrue;
    std::int16_t SliderFocusValue = 255;
};

extern const std::array<const char*, 11> kTheaterLabels;

}  // namespace zelk

#endif
