// polling.h - following the unit's front panel (the poll timer), the
// "Update" command, and automatic update with its dialog.
#ifndef ZELK_CONNECTION_POLLING_H
#define ZELK_CONNECTION_POLLING_H

#include <string>

#include "connection/dispatcher.h"
#include "connection/upload.h"
#include "form/forms.h"
#include "model/channel_ops.h"
#include "model/document.h"
#include "model/record.h"

namespace zelk {

// The automatic update period typed in the dialog: the integer part of a
// number, or `previous` for text that is no number or a value below 1.
int parseRefreshSeconds(const std::string& text, int previous);

// The poll timer as the controls and file commands see it: held while the
// user drags the fader or the program loads a file.
class PollControl {
public:
    virtual ~PollControl() = default;
    virtual void suspend() = 0;
    virtual void resume() = 0;
    // Automatic update as read from the settings file.
    virtual void setAutoRefresh(int enabled, int seconds) = 0;
};

class Polling : public PollControl {
public:
    struct Controls {
        MainBar& bar;  // poll and refresh timers, "Update", "Automatic Update", the window
        FrmRef& ref;
    };
    Polling(ModVals& vals, Dispatcher& d, Document& doc, Upload& upload, ChannelOps& channels, Controls c);

    void tmrPoll_Timer();
    void tmrRefresh_Timer();
    void mnuRef_Click();
    void mnuAutoRef_Click();
    void chkRef_Click();
    void Command1_Click();
    void frmRef_Unload();
    // Escape: the dialog closes and nothing typed in it is kept.
    void frmRef_Cancel();

    // The poll timer: started at 2000 ms once connected, held while the
    // user drags the fader or the program loads a file.
    void startPolling();
    void suspend() override;
    void resume() override;

    void setAutoRefresh(int enabled, int seconds) override;

    std::int16_t RefreshCounter = 0;

private:
    bool autoRefreshOn() const { return v_.AutoRefreshEnabled == 1; }
    ModVals& v_;
    Dispatcher& d_;
    Document& doc_;
    Upload& upload_;
    ChannelOps& channels_;
    Controls c_;
};

// Holds the poll timer for its life and starts it again afterwards.
class PollPause {
public:
    explicit PollPause(PollControl& p) : p_(p) { p_.suspend(); }
    ~PollPause() { p_.resume(); }
    PollPause(const PollPause&) = delete;
    PollPause& operator=(const PollPause&) = delete;

private:
    PollControl& p_;
};

}  // namespace zelk

#endif
