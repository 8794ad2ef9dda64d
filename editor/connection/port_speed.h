// port_speed.h - the "COM Port Selection" and "Baud Rate" menus.
#ifndef ZELK_CONNECTION_PORT_SPEED_H
#define ZELK_CONNECTION_PORT_SPEED_H

namespace zelk {

class Editor;

class PortSpeed {
public:
    explicit PortSpeed(Editor& ed) : ed_(ed) {}
    void wire();

    void mnuCom_Click(int n);   // mnuCom1_Click .. mnuCom4_Click
    void mnuBaud_Click(int n);  // mnuBaud1_Click .. mnuBaud4_Click
    // Check marks after the settings file was read.
    void showPortAndSpeed();

private:
    Editor& ed_;
};

}  // namespace zelk

#endif
