// port_hint.h - the extra line of "Unable to connect to unit!" that tells
// why a port could not be used, when that can be told.
#ifndef ZELK_CONNECTION_PORT_HINT_H
#define ZELK_CONNECTION_PORT_HINT_H

#include <string>

namespace zelk {

// `configDir` holds ZelkSerial.ini; `port` is the COM number in use.
std::string portHint(const std::string& configDir, int port);

}  // namespace zelk

#endif
