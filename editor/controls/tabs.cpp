#include "tabs.h"

#include <cctype>

#include "editor.h"

namespace zelk {

void Tabs::selectTab(int newTab) {
    auto& m = ed_.main;
    if (newTab < 0 || newTab > 7 || newTab == m.SSTAB1_Tab) return;
    const int previous = m.SSTAB1_Tab;
    m.SSTAB1_Tab = newTab;
    SSTAB1_Click(previous);
}

void Tabs::ClearTabStatus() {
    for (auto& f : ed_.main.frmtabs) f.setEnabled(false);
}

void Tabs::SSTAB1_Click(int previousTab) {
    auto& m = ed_.main;
    auto& v = ed_.vals;
    auto& d = ed_.dispatch;
    const int tab = m.SSTAB1_Tab;

    if (tab >= 1 && tab <= 3 && !m.FaderPromptDone[static_cast<std::size_t>(tab - 1)] && m.lblVol[0].text() != "7.0") {
        if (ed_.box("Do you want to set fader = 7.0?", "Fader=7.0?", MsgIcon::Question, MsgButtons::YesNo) ==
            MsgResult::Yes) {
            m.lblVol[0].setText("7.0");
            bool cancel = false;
            ed_.levels.lblVol_Validate(m.lblVol[0], cancel);
        }
        m.FaderPromptDone[static_cast<std::size_t>(tab - 1)] = kTrue;
    }
    ClearTabStatus();
    if (v.OnLine) m.frmtabs[tab].setEnabled(true);

    switch (tab) {
    case 2: ed_.equaliser.cmdEQChan_Click(0); break;
    case 3: d.RetryFunction(FN_EnableOBE); break;
    case 4:
        if (ed_.fader.form.visible()) ed_.levels.frmFader_Unload();
        break;
    case 6: ed_.theaterInfo.ApplyTheaterTabFields(); break;
    default: break;
    }

    switch (previousTab) {
    case 1:
        for (int i = 0; i < 6; ++i) {
            if (m.cmdPN[i].bold()) d.RetryFunction(FN_SetPink, i, 0);
            m.showToggle(m.cmdPN[i], false, "Off");
            if (m.cmdPhase[i].bold()) d.RetryFunction(FN_SetPhase, i, 0);
            m.showToggle(m.cmdPhase[i], false, "In Phase");
        }
        break;
    case 2:
        if (m.cmdPink.caption() == "Pink Noise On") {
            m.showToggle(m.cmdPink, false, "Pink Noise Off");
            ed_.svc.ui.repaint();
            ed_.equaliser.SetEQPinkNoise(0);
        }
        break;
    case 3:
        if (m.cmdPNC.bold()) {
            m.showToggle(m.cmdPNC, false, "Off");
            d.RetryFunction(FN_SetPink, 2, 0);
        }
        if (m.cmdPNS.bold()) {
            m.showToggle(m.cmdPNS, false, "Off");
            d.RetryFunction(FN_SetPink, 5, 0);
        }
        d.RetryFunction(FN_StopStream);
        break;
    case 4:
        if (m.cmdStart.caption() == "Stop") m.cmdStart.click();
        break;
    case 5:
        m.showToggle(m.cmdPNC, false, m.cmdPN[1].caption());
        d.RetryFunction(FN_SetPink, 2, 0);
        m.showToggle(m.cmdPNS, false, m.cmdPN[5].caption());
        d.RetryFunction(FN_SetPink, 5, 0);
        break;
    default: break;
    }
    m.frmtabs[tab].setEnabled(true);
}

void Tabs::Form_KeyDown(int keyCode, int shift) {
    auto& m = ed_.main;
    if (m.mnuShort.checked() && shift == SHIFT_CTRL && m.SSTAB1_Tab == 2) {
        const char c = static_cast<char>(std::tolower(keyCode));
        switch (c) {
        case 'm': ed_.levels.cmdMute_Click(); break;
        case '7': ed_.levels.cmdSet7_Click(1); break;
        case 'g': ed_.equaliser.cmdPink_Click(); break;
        case 'l': ed_.equaliser.cmdEQChan_Click(0); break;
        case 'p': ed_.equaliser.cmdEQChan_Click(1); break;
        case 'c': ed_.equaliser.cmdEQChan_Click(2); break;
        case 'q': ed_.equaliser.cmdEQChan_Click(3); break;
        case 'r': ed_.equaliser.cmdEQChan_Click(4); break;
        case 'e': ed_.equaliser.cmdEQChan_Click(5); break;
        default: break;
        }
    }
    if (ed_.vals.OnLine && m.mnuShort.checked()) {
        if (keyCode == KEY_F1) ed_.connection.cmdConnect_Click();
        if (keyCode == KEY_F2 && !m.mnuAuto.checked()) ed_.upload.cmdUp_Click(0);
    }
}

}  // namespace zelk
