// tabs.h - the tab strip: enter and leave actions of each tab, the
// one-time fader question, and the main window's keyboard shortcuts.
#ifndef ZELK_CONTROLS_TABS_H
#define ZELK_CONTROLS_TABS_H

namespace zelk {

class Editor;

class Tabs {
public:
    explicit Tabs(Editor& ed) : ed_(ed) {}
    void wire() {}

    // The user chose tab `newTab`; the strip already shows it.
    void selectTab(int newTab);
    void SSTAB1_Click(int previousTab);
    void ClearTabStatus();
    void Form_KeyDown(int keyCode, int shift);

private:
    Editor& ed_;
};

}  // namespace zelk

#endif
