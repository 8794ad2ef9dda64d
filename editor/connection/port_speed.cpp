#include "connection/port_speed.h"

#include "port/port_map.h"

namespace zelk {

PortSpeed::PortSpeed(ModVals& vals, Dispatcher& d, MainBar& bar) : v_(vals), d_(d), bar_(bar) {
    for (int n = 1; n <= 4; ++n) {
        bar_.mnuComN[n - 1].onClick = [this, n] { mnuCom_Click(n); };
        bar_.mnuBaudN[n - 1].onClick = [this, n] { mnuBaud_Click(n); };
    }
}

void PortSpeed::mnuCom_Click(int n) {
    for (int i = 1; i <= 4; ++i) bar_.mnuComN[i - 1].setChecked(i == n);
    v_.ComPort = static_cast<std::int16_t>(n);
    showSpeedsForPort();
}

void PortSpeed::showSpeedsForPort() {
    const q7m::PortStatus s = q7m::portRateSupported(v_.ComPort <= 0 ? 1 : v_.ComPort, 19200);
    auto& item = bar_.mnuBaudN[1];
    item.setEnabled(s.ok());
    item.setCaption(s.ok() ? "19200" : "19200 (not on this port)");
    item.setTip(s.ok() ? std::string() : s.sentence);
}

void PortSpeed::mnuBaud_Click(int n) {
    v_.BaudIndex = static_cast<std::int16_t>(n - 1);
    d_.RetryFunction(FN_SetDLLBaud, n - 1);
    for (int i = 1; i <= 4; ++i) bar_.mnuBaudN[i - 1].setChecked(i == n);
}

void PortSpeed::showPortAndSpeed() {
    const int b = v_.BaudIndex;
    for (int i = 0; i < 4; ++i) bar_.mnuBaudN[i].setChecked(i == b);
    const int p = v_.ComPort;
    if (p >= 1 && p <= 4)
        for (int i = 1; i <= 4; ++i) bar_.mnuComN[i - 1].setChecked(i == p);
    showSpeedsForPort();
}

}  // namespace zelk
