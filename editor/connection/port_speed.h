// port_speed.h - the "COM Port Selection" and "Baud Rate" menus.
#ifndef ZELK_CONNECTION_PORT_SPEED_H
#define ZELK_CONNECTION_PORT_SPEED_H

#include "connection/dispatcher.h"
#include "form/forms.h"
#include "model/record.h"

namespace zelk {

class PortSpeed {
public:
    PortSpeed(ModVals& vals, Dispatcher& d, MainBar& bar);

    void mnuCom_Click(int n);   // mnuCom1_Click .. mnuCom4_Click
    void mnuBaud_Click(int n);  // mnuBaud1_Click .. mnuBaud4_Click
    // Check marks after the settings file was read.
    void showPortAndSpeed();

private:
    ModVals& v_;
    Dispatcher& d_;
    MainBar& bar_;
};

}  // namespace zelk

#endif
