#include "connection/port_hint.h"

#include "port/port_map.h"

namespace zelk {

// The library's own port map and diagnosis, so the hint names exactly the
// device or server the library tried: no device, no permission (with the
// dialout fix), in use by another program, a server that refused...
std::string portHint(const std::string& /*configDir*/, int port) {
    return q7m::diagnosePort(port <= 0 ? 1 : port).sentence;
}

}  // namespace zelk
