// polling.h - following the unit's front panel, the "Update" command,
// automatic update, and the routines that show the live values.
#ifndef ZELK_CONNECTION_POLLING_H
#define ZELK_CONNECTION_POLLING_H

#include <string>

namespace zelk {

class Editor;

// The automatic update period typed in the dialog: the integer part of a
// number, or `previous` for text that is no number or a value below 1.
int parseRefreshSeconds(const std::string& text, int previous);

class Polling {
public:
    explicit Polling(Editor& ed) : ed_(ed) {}
    void wire();

    void tmrPoll_Timer();
    void tmrRefresh_Timer();
    void Timer2_Timer();
    void mnuRef_Click();
    void mnuAutoRef_Click();
    void chkRef_Click();
    void Command1_Click();
    void frmRef_Unload();

    void ReflectModeStatus();
    void ReflectMuteStatus();
    void ReflectVolumeLevel(bool setMainSlider);
    void ReflectOBEStatus();

private:
    Editor& ed_;
};

}  // namespace zelk

#endif
