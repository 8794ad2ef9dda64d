// tabs.h - the tab strip: the enter and leave actions of each tab (given
// by the components that own the tabs), the one-time fader question, and
// the main window's keyboard shortcuts.
#ifndef ZELK_CONTROLS_TABS_H
#define ZELK_CONTROLS_TABS_H

#include <array>
#include <functional>
#include <vector>

#include "connection/connect.h"
#include "connection/upload.h"
#include "controls/equaliser.h"
#include "controls/levels.h"
#include "form/forms.h"
#include "form/services.h"
#include "model/record.h"

namespace zelk {

class Tabs {
public:
    Tabs(ModVals& vals, MessageBoxService& msg, Levels& levels, Equaliser& eq, Connection& connection, Upload& upload,
         MainBar& bar);

    // The user chose tab `newTab`; the strip already shows it.
    void selectTab(int newTab);
    void SSTAB1_Click(int previousTab);
    void ClearTabStatus();
    void Form_KeyDown(int keyCode, int shift);

    // What happens when a tab is entered or left.
    void onEnter(int tab, std::function<void()> action) { enter_[static_cast<std::size_t>(tab)].push_back(std::move(action)); }
    void onLeave(int tab, std::function<void()> action) { leave_[static_cast<std::size_t>(tab)].push_back(std::move(action)); }

    std::array<bool, 3> FaderPromptDone{};  // tabs 1, 2, 3

private:
    ModVals& v_;
    MessageBoxService& msg_;
    Levels& levels_;
    Equaliser& eq_;
    Connection& connection_;
    Upload& upload_;
    MainBar& bar_;
    std::array<std::vector<std::function<void()>>, 8> enter_, leave_;
};

}  // namespace zelk

#endif
