// port_speed.h - the "COM Port Selection" and "Baud Rate" menus.
#ifndef ZELK_CONNECTION_PORT_SPEED_H
#define ZELK_CONNECTION_PORT_SPEED_H

#include "connection/dispatcher.h"
#include "connection/link_events.h"
#include "form/forms.h"
#include "form/services.h"
#include "model/record.h"

namespace zelk {

class PortSpeed : public LinkEvents {
public:
    PortSpeed(ModVals& vals, Dispatcher& d, MessageBoxService& msg, MainBar& bar);

    void mnuCom_Click(int n);   // mnuCom1_Click .. mnuCom4_Click
    void mnuBaud_Click(int n);  // mnuBaud1_Click .. mnuBaud4_Click
    // Check marks after the settings file was read.
    void showPortAndSpeed();
    // Which speeds the chosen port can run: a raw TCP serial server keeps
    // its line at 9600, so 19200 is not offered there, and says why.
    void showSpeedsForPort();
    // The speed menu is closed while a measurement runs.
    void enableSpeedMenu(bool enable) { bar_.mnuBaud.setEnabled(enable); }
    // A link given up is back at 9600: the menu says so.
    void linkLost(std::uint16_t) override { showPortAndSpeed(); }

private:
    bool unitAnswers();  // one version query, no retries
    ModVals& v_;
    Dispatcher& d_;
    MessageBoxService& msg_;
    MainBar& bar_;
};

}  // namespace zelk

#endif
