#include "connection/port_hint.h"

#include "form/translate.h"
#include "port/port_map.h"

namespace zelk {

namespace {
std::string comName(int port) { return fill(translate("Captions", "COM %1"), {std::to_string(port)}); }
}  // namespace

// The library's own port map and diagnosis, so the hint names exactly the
// device or server the library tried: no device, no permission (with the
// dialout fix), in use by another program, a server that refused...  When
// nothing is wrong with the port itself, the unit is the suspect.
std::string portHint(int port) {
    if (port <= 0) port = 1;
    const q7m::PortStatus s = q7m::diagnosePort(port);
    if (!s.sentence.empty()) return s.sentence;
    const q7m::PortMapping m = q7m::mapPort(port);
    const std::string where = m.target.text.empty() ? std::string() : " (" + m.target.text + ")";
    return fill(translate("PortHint", "No answer on %1%2: check that the unit is switched on and cabled to this "
                                      "port, or choose another port in Options > COM Port Selection."),
                {comName(port), where});
}

std::string unitStoppedHint(int port) {
    if (port <= 0) port = 1;
    return fill(translate("PortHint", "The unit on %1 answered, then stopped answering: check the cable and the "
                                      "unit, then press Connect again."),
                {comName(port)});
}

}  // namespace zelk
