// connect.h - opening the link, the version check, and the on-line status.
#ifndef ZELK_CONNECTION_CONNECT_H
#define ZELK_CONNECTION_CONNECT_H

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "connection/dispatcher.h"
#include "connection/link_events.h"
#include "connection/online_gate.h"
#include "connection/polling.h"
#include "connection/upload.h"
#include "form/forms.h"
#include "form/services.h"
#include "model/channel_ops.h"
#include "model/record.h"

namespace zelk {

struct UnitVersionInfo {
    int cpu = 0, dspController = 0, dspFirmware = 0;  // in hundredths: 105 is 1.05
    std::int16_t build = 0;
    std::array<std::string, 3> captions;  // for lnlInfo(0..2)
};
UnitVersionInfo describeVersions(const std::array<std::int16_t, 7>& w);
// True when the unit's firmware is older than the editor accepts.
bool versionRejected(const UnitVersionInfo& v);

// Leaves the unit quiet before the link closes: pink noise and phase
// inversion off on every channel, measurement streams stopped, and the
// unit back at 9600 bit/s, where the next start expects it.
void quietenUnit(Dispatcher& d);

class Connection : public LinkEvents {
public:
    struct Controls {
        MainBar& bar;  // Connect, the status box
        FrmProg& prog;
        FormatTab& format;  // the unit information frame, the F1 format button
    };
    Connection(ModVals& vals, Dispatcher& d, OnLineGate& gate, Upload& upload, ChannelOps& channels, Polling& polling,
               UiService& ui, MessageBoxService& msg, Controls c);

    // Off line: connects.  On line: closes the link and opens it again, on
    // the port chosen now.
    void cmdConnect_Click();
    // Closes the link cleanly (the unit quietened, the library shut down)
    // and goes off line without a message.  Nothing off line.
    void cmdDisconnect_Click();
    // The progress dialog's Cancel (and Escape in it).
    void cmdCan_Click();
    bool ConnectToUnit();
    void SetConnectStatus(int state);
    void EnableFrames(bool enable) { gate_.EnableFrames(enable); }
    // Told when a connection has read the unit's settings, before anything
    // is sent to it.
    void onConnected(std::function<void()> f) { connected_.push_back(std::move(f)); }

    // Link events: the status box and the progress dialog follow the
    // dispatcher; a lost link disables what needs the unit.
    void linkStatus(LinkStatus s) override;
    void retryProgress(int attempts) override;

    // Told after a disconnect: the unit's test signals are off and it is
    // back at 9600 bit/s.
    void onDisconnected(std::function<void()> f) { disconnected_.push_back(std::move(f)); }

private:
    void disconnect();
    void closeProgress();
    std::vector<std::function<void()>> disconnected_;
    ModVals& v_;
    Dispatcher& d_;
    OnLineGate& gate_;
    Upload& upload_;
    ChannelOps& channels_;
    Polling& polling_;
    UiService& ui_;
    MessageBoxService& msg_;
    Controls c_;
    std::vector<std::function<void()>> connected_;
};

}  // namespace zelk

#endif
