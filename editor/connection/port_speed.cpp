#include "connection/port_speed.h"

#include <array>

#include "form/translate.h"
#include "port/port_map.h"
#include "port/rates.h"

namespace zelk {

PortSpeed::PortSpeed(ModVals& vals, Dispatcher& d, MessageBoxService& msg, MainBar& bar)
    : v_(vals), d_(d), msg_(msg), bar_(bar) {
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
    item.setCaption(s.ok() ? "19200" : translate("PortSpeed", "19200 (not on this port)"));
    item.setTip(s.ok() ? std::string() : s.sentence);
}

namespace {
const std::string kRates[4] = {std::to_string(q7m::kBaudRates[0]), std::to_string(q7m::kBaudRates[1]),
                               std::to_string(q7m::kBaudRates[2]), std::to_string(q7m::kBaudRates[3])};
}  // namespace

void PortSpeed::mnuBaud_Click(int n) {
    const int previous = v_.BaudIndex;
    v_.BaudIndex = static_cast<std::int16_t>(n - 1);
    const bool sent = d_.RetryFunction(FN_SetDLLBaud, n - 1) == 0 && v_.OnLine;
    // The unit must answer at the new rate; when it does not (it missed the
    // speed command, or the cable cannot carry the rate), both ends go back
    // and the user is told at which speed the unit now is.
    if (sent && n - 1 != previous && !unitAnswers()) {
        d_.runDirect([fn = d_.link().SetDLLBaud, previous] {
            if (fn) fn(previous);
        });
        const bool back = unitAnswers();
        if (back) v_.BaudIndex = static_cast<std::int16_t>(previous);
        msg_.show(fill(back ? translate("PortSpeed", "The unit did not answer at %1 bit/s. It is still at %2 bit/s, "
                                                     "and so is the link.")
                            : translate("PortSpeed", "The unit answers neither at %1 nor at %2 bit/s. Switch it off "
                                                     "and on again (it starts at 9600 bit/s), then press Connect."),
                       {kRates[n - 1], kRates[previous]}),
                  translate("PortSpeed", "Speed Change"), MsgIcon::Exclamation, MsgButtons::OK);
        n = v_.BaudIndex + 1;
    }
    for (int i = 1; i <= 4; ++i) bar_.mnuBaudN[i - 1].setChecked(i == n);
}

bool PortSpeed::unitAnswers() {
    const auto e = d_.runner().result([fn = d_.link().GetUnitVersion] {
        std::array<std::int16_t, 7> versions{};
        return fn ? fn(versions.data()) : std::uint16_t{LINK_ERR_INIT};
    });
    return e == 0;
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
