// forms.h - the controls of the editor's windows, as the logic sees them.
//
// The main window is one plain struct per tab plus the window bar (title,
// tab strip, connect button and status, timers, menus); each dialog is one
// struct.  The structs hold controls only: the state behind them lives in
// the components that own them (see docs/architecture.md).  Every control
// keeps the name the rules use ("sclA(3)", "cmdPN(2)", "Frame1(21)").
#ifndef ZELK_FORM_FORMS_H
#define ZELK_FORM_FORMS_H

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "form/controls.h"
#include "form/picture.h"

namespace zelk {

// The program's own name, the same in every language.
inline const std::string kAppTitle = "ZELK Cinema Processor and EQ Software";

// Screen order of the channels (Left, Center, Right, LS, RS, Sub) and the
// short names shown above their columns.
inline constexpr std::array<int, 6> kScreenOrder = {0, 2, 4, 1, 3, 5};
extern const std::array<const char*, 6> kScreenChannelNames;

// The fader group that three tabs carry: "Master Fader" frame, the level
// field, a mute button, "Set Fader = 7.0" and "Adjust Fader".
struct FaderGroup {
    FaderGroup(int index, const std::string& muteName);
    Frame Frame8;       // Frame8(index)
    Label lblFader;     // " Fader"
    TextBox lblVol;     // lblVol(index + 1)
    Button cmdMute;     // cmdMute2, cmdMute3 or cmdMute5
    Button cmdSet7;     // cmdSet7(index)
    Button cmdAdjust;   // cmdAdjust(index)
};

// The window itself: title, tab strip, connection, timers and menus.
struct MainBar {
    MainBar();
    Label form{"frmMain"};  // caption = window title; enabled = takes input

    int SSTAB1_Tab = 0;  // the tab showing
    std::array<std::string, 8> tabCaptions;
    std::array<Frame, 8> frmtabs;

    Button cmdConnect{"cmdConnect"};
    Button cmdDisconnect{"cmdDisconnect"};  // enabled while on line
    Label lblStat{"lblStat"};
    Label staStatus{"staStatus"};  // the status bar's message
    Button cmdtest{"cmdtest"};  // hidden; its colour is the neutral button colour

    Timer tmrPoll{"tmrPoll"};
    Timer tmrRefresh{"tmrRefresh"};
    Timer tmrClock{"tmrClock"};

    MenuItem mnuNew{"mnuNew"}, mnuLoad{"mnuLoad"}, mnuSave{"mnuSave"}, mnuSaveAs{"mnuSaveAs"};
    MenuItem mnuRef{"mnuRef"}, mnuend{"mnuend"};
    MenuItem mnuAuto{"mnuAuto"}, mnuConfirm{"mnuConfirm"}, mnuShort{"mnuShort"};
    MenuItem mnuAutoRef{"mnuAutoRef"}, mnuSet{"mnuSet"}, mnuSys{"mnuSys"};
    MenuItem mnuCom{"mnuCom"}, mnuBaud{"mnuBaud"};
    std::array<MenuItem, 4> mnuComN;   // mnuCom1 .. mnuCom4
    std::array<MenuItem, 4> mnuBaudN;  // mnuBaud1 .. mnuBaud4

    // The service visit: File > Compare with Unit, Open As-Found, Export
    // Service Report; Options > Upload Options > Show differences before upload.
    MenuItem mnuCompare{"mnuCompare"}, mnuAsFound{"mnuAsFound"}, mnuReport{"mnuReport"};
    MenuItem mnuShowDiff{"mnuShowDiff"};
    MenuItem mnuApply{"mnuApply"}, mnuHistory{"mnuHistory"}, mnuAskReason{"mnuAskReason"};
    // Help > Save Support Bundle... (where the editor was built with it).
    MenuItem mnuSupport{"mnuSupport"};
    // File > Site Overview: every unit of the site.
    MenuItem mnuSite{"mnuSite"};
};

// Tab 0, "Format Selection".
struct FormatTab {
    FormatTab();
    Frame Frame1_3{"Frame1(3)"};  // "Mode:"
    std::array<Button, 6> cmdMode;
    Frame Frame1_1{"Frame1(1)"};  // "Master Fader"
    TextBox lblVol{"lblVol(0)"};
    Slider sclVol{"sclVol"};
    Label lblFader{"lblFader"};
    Button cmdMute{"cmdMute"};
    Label lblLogo{"lblLogo"}, lblProduct{"lblProduct"};
    Label lblClock{"lblClock"};
    Frame Frame1_21{"Frame1(21)"};  // "Processor Unit Information"
    std::array<Label, 3> lnlInfo;
    Button cmdUp{"cmdUp(0)"};
};

// Tab 1, "Output Trim".
struct TrimTab {
    TrimTab();
    Frame frmTrim{"frmTrim"};  // "Trim Level"
    std::array<Label, 6> lblTrimChannel;  // channel names above the sliders, screen order
    std::array<Slider, 6> sclPNG;
    std::array<TextBox, 6> lblPNG;
    Button cmdReset{"cmdReset"};
    Frame Frame1_13{"Frame1(13)"};  // "Pink noise"
    Label lblPinkRow{"lblPinkRow"}, lblPhaseRow{"lblPhaseRow"};
    std::array<Label, 6> lblPinkChannel;
    std::array<Button, 6> cmdPN;
    std::array<Button, 6> cmdPhase;
    Frame Frame1_5{"Frame1(5)"};  // "RT-60 Mode"
    Button cmdRT60{"cmdRT60"};
    FaderGroup fader{0, "cmdMute2"};
    Button cmdUp{"cmdUp(1)"};
};

// Tab 2, "E.Q".
struct EqTab {
    EqTab();
    Frame frmChannel{"frmChannel"};  // "Channel"
    std::array<Button, 6> cmdEQChan;
    Button cmdCopy{"cmdCopy"}, cmdClear{"cmdClear"}, cmdPaste{"cmdPaste"}, cmdPink{"cmdPink"};
    Frame frmBandA{"frmBandA"}, frmBandB{"frmBandB"}, frmBass{"frmBass"};
    std::array<Label, 27> lblBandHz;  // centre frequencies above the 27 bands
    std::array<Slider, 27> sclA;
    std::array<TextBox, 27> lblBand;
    std::array<Label, 9> lblOctaveHz;
    std::array<Slider, 9> sclB;
    std::array<TextBox, 9> lblLSRSv;
    Label lblGainCaption{"lblGainCaption"};
    Slider sclGain{"sclGain"};
    TextBox lblGain{"lblGain"};
    Frame frmBandwidth{"frmBandwidth"}, frmFrequency{"frmFrequency"};
    std::array<OptionButton, 3> optBand;
    std::array<OptionButton, 7> optSPB;
    Frame Frame1_8{"Frame1(8)"};  // "Bass / Treble"
    Label lblBassCaption{"lblBassCaption"}, lblTrebCaption{"lblTrebCaption"};
    Slider sclBass{"sclBass"}, sclTreb{"sclTreb"};
    TextBox lblBass{"lblBass"}, lblTreb{"lblTreb"};
    FaderGroup fader{1, "cmdMute3"};
    Button cmdUp{"cmdUp(2)"};
};

// Tab 3, "OBE".
struct ObeTab {
    ObeTab();
    Frame frmObe{"frmObe"};
    Button cmdOBEEnable{"cmdOBEEnable"};
    Label lblObeFilter{"lblObeFilter"}, lblObeGain{"lblObeGain"};
    ComboBox cboObeF{"cboObeF"};
    Slider sclOBE{"sclOBE"};
    TextBox lblOBE{"lblOBE"};
    Label lblPinkCenter{"lblPinkCenter"}, lblPinkSub{"lblPinkSub"};
    Button cmdPNC{"cmdPNC"}, cmdPNS{"cmdPNS"};
    FaderGroup fader{2, "cmdMute5"};
    Button cmdUp{"cmdUp(5)"};
};

// Tab 4, "Optical Setup".
struct OpticalTab {
    OpticalTab();
    Frame frmChangeOpt{"frmChangeOpt"};
    std::array<OptionButton, 3> optOptical;
    Button cmdStart{"cmdStart"};
    std::array<Button, 2> cmdPro;
    Label lblLock{"lblLock"};
    Label lblStart{"lblStart"};
    Timer tmrOptical{"tmrOptical"};
    Timer Timer2{"Timer2"};  // blinks "Press Start  -->"
    Button cmdMute4{"cmdMute4"};
    Button cmdUp{"cmdUp(3)"};
    // The gain and slit-loss picture, and the azimuth picture laid over it.
    Picture OptGraph{"OptGraph", 305, 285};
    Picture optAzi{"optAzi", 257, 257};
    Label lblReadout{"lblReadout"};  // the numbers beside the pictures
};

// Tab 5, "Options".
struct OptionsTab {
    OptionsTab();
    Label lblNonsyncMode{"lblNonsyncMode"}, lblNonsyncTrim{"lblNonsyncTrim"};
    Label lblReaderDelay{"lblReaderDelay"}, lblSurroundDelay{"lblSurroundDelay"};
    ComboBox cboNonsyncMode{"cboNonsyncMode"}, cboNonsyncTrim{"cboNonsyncTrim"};
    ComboBox cboReaderDelay{"cboReaderDelay"}, cboSurroundDelay{"cboSurroundDelay"};
    CheckBox chkDisableMatrix{"chkDisableMatrix"};
    Frame frmPowerOn{"frmPowerOn"}, frmF1Key{"frmF1Key"};
    std::array<OptionButton, 5> optDefaultFormat;
    std::array<OptionButton, 4> optF1Key;
    Button cmdUp{"cmdUp(4)"};
};

// Tab 6, "Theater Information".
struct TheaterTab {
    TheaterTab();
    std::array<Label, 11> lblTheater;  // the field captions
    std::array<TextBox, 11> txtTheaterInfo;
    Button cmdEdit{"cmdEdit"};
};

// Tab 7, "Help".
struct HelpTab {
    TextBox RTFc{"RTFc"};  // the help text (rich text); caption = file content
};

struct FrmMain {
    MainBar bar;
    FormatTab format;
    TrimTab trim;
    EqTab eq;
    ObeTab obe;
    OpticalTab optical;
    OptionsTab options;
    TheaterTab theater;
    HelpTab help;

    // The controls that several tabs repeat, gathered for their owners.
    std::array<TextBox*, 4> faderFields();      // lblVol(0) .. lblVol(3)
    std::array<Button*, 5> muteButtons();       // cmdMute, cmdMute2 .. cmdMute5
    std::array<Button*, 6> uploadButtons();     // cmdUp(0) .. cmdUp(5)
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
    std::array<Label, 11> lblTheater;
    std::array<TextBox, 11> txtTheaterInfo;
    Button cmdOK{"cmdOK"}, cmdCan{"cmdCan"};
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
    Button cmdClose{"cmdClose"};
};

// A table of text (read only): column titles, rows, and the row the user
// selected (-1 none); Click when the user selects a row, DblClick when a
// row is opened.  A row may carry a check box in its first column (checks
// are empty or one per row; new content has none); Check when the user
// clicks one: the owner decides what the boxes then show.
class Table : public Control {
public:
    enum Check : int { kNoBox = -1, kUnticked = 0, kTicked = 1, kPartly = 2 };
    using Control::Control;
    const std::vector<std::string>& columns() const { return columns_; }
    const std::vector<std::vector<std::string>>& rows() const { return rows_; }
    void setContent(std::vector<std::string> columns, std::vector<std::vector<std::string>> rows);
    int selected() const { return selected_; }
    void setSelected(int row);
    const std::vector<int>& checks() const { return checks_; }
    int check(int row) const;  // kNoBox for a row without one
    void setChecks(std::vector<int> checks);
    std::function<void()> onClick, onDblClick;
    std::function<void(int row)> onCheck;
    void userCheck(int row) {
        if (onCheck) onCheck(row);
    }
    // User actions.
    void userSelect(int row) {
        setSelected(row);
        if (onClick) onClick();
    }
    void userOpen(int row) {
        setSelected(row);
        if (onDblClick) onDblClick();
    }

private:
    std::vector<std::string> columns_;
    std::vector<std::vector<std::string>> rows_;
    std::vector<int> checks_;
    int selected_ = -1;
};

// "Differences from the Unit": the settings the editor and the unit hold
// differently, shown on request, before an explicit upload and to apply an
// opened file; a check box per section and per setting picks what is sent.
struct FrmCompare {
    FrmCompare();
    Label form{"frmCompare"};
    Label lblSummary{"lblSummary"};
    Table grdDiff{"grdDiff"};  // (box), Setting, Editor, Unit; a section's row, then its settings
    Label lblNote{"lblNote"};
    Label lblReason{"lblReason"};
    TextBox txtReason{"txtReason"};  // one line, kept in the unit's history
    Button cmdUpload{"cmdUpload"}, cmdCancel{"cmdCancel"};
};

// "Unit History": what the unit on the port received, newest first.
struct FrmHistory {
    FrmHistory();
    Label form{"frmHistory"};
    Label lblFile{"lblFile"};
    Table grdHistory{"grdHistory"};  // When, Program, User, What, Result, Reason, Changes
    Label lblNote{"lblNote"};        // lines skipped
    Button cmdClose{"cmdClose"};
};

// "As-Found Configurations": the archive, by theater, screen and date.
struct FrmAsFound {
    FrmAsFound();
    Label form{"frmAsFound"};
    Label lblFolder{"lblFolder"};
    Table grdFiles{"grdFiles"};  // Theater, Screen, S/N, Found
    Button cmdOpen{"cmdOpen"}, cmdCancel{"cmdCancel"};
};

// "Save Support Bundle": what goes into the archive for the support desk,
// and whether theater texts and host names go with it.
struct FrmSupport {
    FrmSupport();
    Label form{"frmSupport"};
    Label lblContents{"lblContents"};
    CheckBox chkTheater{"chkTheater"};
    Button cmdSave{"cmdSave"}, cmdCancel{"cmdCancel"};
};

// "Site Overview": every port of the port table and the editor's own, one
// row per unit, read side by side; a window beside the main window.
struct FrmSite {
    FrmSite();
    Label form{"frmSite"};
    Table grdUnits{"grdUnits"};  // Screen, Port, Target, State, Versions, Format, Fader, Mute, Baseline, ...
    Label lblFolder{"lblFolder"};     // where the baselines are
    Label lblStatus{"lblStatus"};     // when the rows were read, or what is being read
    Button cmdFolder{"cmdFolder"};    // "Baseline Folder..."
    Button cmdRefresh{"cmdRefresh"};
    ComboBox cboPeriod{"cboPeriod"};  // the automatic refresh period
    Button cmdConnect{"cmdConnect"};  // the editor connects to the chosen unit
    Button cmdApprove{"cmdApprove"};  // "Approve as Baseline"
    Button cmdClose{"cmdClose"};
    Timer tmrSite{"tmrSite"};         // the automatic refresh
};

extern const std::array<const char*, 11> kTheaterLabels;

}  // namespace zelk

#endif
