#include "controls/tabs.h"

#include "form/translate.h"

#include <cctype>

namespace zelk {

Tabs::Tabs(ModVals& vals, MessageBoxService& msg, Levels& levels, Equaliser& eq, Connection& connection,
           Upload& upload, MainBar& bar)
    : v_(vals), msg_(msg), levels_(levels), eq_(eq), connection_(connection), upload_(upload), bar_(bar) {}

void Tabs::selectTab(int newTab) {
    if (newTab < 0 || newTab > 7 || newTab == bar_.SSTAB1_Tab) return;
    const int previous = bar_.SSTAB1_Tab;
    bar_.SSTAB1_Tab = newTab;
    SSTAB1_Click(previous);
}

void Tabs::ClearTabStatus() {
    for (auto& f : bar_.frmtabs) f.setEnabled(false);
}

void Tabs::SSTAB1_Click(int previousTab) {
    const int tab = bar_.SSTAB1_Tab;
    // The tabs with a fader ask once whether to start from 7.0.
    if (tab >= 1 && tab <= 3 && !FaderPromptDone[static_cast<std::size_t>(tab - 1)] && v_.CurrentVolume != 70) {
        if (msg_.show(translate("Tabs", "Do you want to set fader = 7.0?"), translate("Tabs", "Fader=7.0?"),
                      MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes)
            levels_.setFaderText("7.0");
        FaderPromptDone[static_cast<std::size_t>(tab - 1)] = true;
    }
    ClearTabStatus();
    if (v_.OnLine) bar_.frmtabs[tab].setEnabled(true);
    for (auto& action : enter_[static_cast<std::size_t>(tab)]) action();
    if (previousTab >= 0 && previousTab < 8)
        for (auto& action : leave_[static_cast<std::size_t>(previousTab)]) action();
    bar_.frmtabs[tab].setEnabled(true);
}

void Tabs::Form_KeyDown(int keyCode, int shift) {
    if (upload_.shortcuts() && shift == SHIFT_CTRL && bar_.SSTAB1_Tab == 2) {
        const char c = static_cast<char>(std::tolower(keyCode));
        switch (c) {
        case 'm': levels_.cmdMute_Click(); break;
        case '7': levels_.cmdSet7_Click(1); break;
        case 'g': eq_.cmdPink_Click(); break;
        case 'l': eq_.cmdEQChan_Click(0); break;
        case 'p': eq_.cmdEQChan_Click(1); break;
        case 'c': eq_.cmdEQChan_Click(2); break;
        case 'q': eq_.cmdEQChan_Click(3); break;
        case 'r': eq_.cmdEQChan_Click(4); break;
        case 'e': eq_.cmdEQChan_Click(5); break;
        default: break;
        }
    }
    if (v_.OnLine && upload_.shortcuts()) {
        if (keyCode == KEY_F1) connection_.cmdConnect_Click();
        if (keyCode == KEY_F2 && !upload_.autoUpload()) upload_.cmdUp_Click(0);
    }
}

}  // namespace zelk
