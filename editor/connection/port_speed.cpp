#include "port_speed.h"

#include "editor.h"

namespace zelk {

void PortSpeed::wire() {
    auto& m = ed_.main;
    for (int n = 1; n <= 4; ++n) {
        m.mnuComN[n - 1].onClick = [this, n] { mnuCom_Click(n); };
        m.mnuBaudN[n - 1].onClick = [this, n] { mnuBaud_Click(n); };
    }
}

void PortSpeed::mnuCom_Click(int n) {
    auto& m = ed_.main;
    for (int i = 1; i <= 4; ++i) m.mnuComN[i - 1].setChecked(i == n);
    ed_.vals.ComPort = static_cast<std::int16_t>(n);
}

void PortSpeed::mnuBaud_Click(int n) {
    auto& m = ed_.main;
    ed_.vals.BaudIndex = static_cast<std::int16_t>(n - 1);
    ed_.dispatch.RetryFunction(FN_SetDLLBaud, n - 1);
    for (int i = 1; i <= 4; ++i) m.mnuBaudN[i - 1].setChecked(i == n);
}

void PortSpeed::showPortAndSpeed() {
    auto& m = ed_.main;
    const int b = ed_.vals.BaudIndex;
    for (int i = 0; i < 4; ++i) m.mnuBaudN[i].setChecked(i == b);
    const int p = ed_.vals.ComPort;
    if (p >= 1 && p <= 4)
        for (int i = 1; i <= 4; ++i) m.mnuComN[i - 1].setChecked(i == p);
}

}  // namespace zelk
