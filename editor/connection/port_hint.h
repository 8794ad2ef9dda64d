// port_hint.h - the line under "Unable to connect to unit!" that tells why
// the unit could not be reached and what to do about it.
#ifndef ZELK_CONNECTION_PORT_HINT_H
#define ZELK_CONNECTION_PORT_HINT_H

#include <string>

namespace zelk {

// Why the link to COM `port` could not be opened: the device is missing,
// not permitted, in use by another program, or it opened and no unit
// answered.  The library's own port map names the device.
std::string portHint(int port);

// The port opened and the unit answered, then stopped answering.
std::string unitStoppedHint(int port);

}  // namespace zelk

#endif
