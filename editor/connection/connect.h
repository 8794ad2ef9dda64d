// connect.h - opening the link, the version check, and the on-line status.
#ifndef ZELK_CONNECTION_CONNECT_H
#define ZELK_CONNECTION_CONNECT_H

#include <array>
#include <cstdint>
#include <string>

namespace zelk {

class Editor;

struct UnitVersionInfo {
    double cpu = 0, dspController = 0, dspFirmware = 0;
    std::int16_t build = 0;
    std::array<std::string, 3> captions;  // for lnlInfo(0..2)
};
UnitVersionInfo describeVersions(const std::array<std::int16_t, 7>& w);
// True when the unit's firmware is older than the editor accepts.
bool versionRejected(const UnitVersionInfo& v);

class Connection {
public:
    explicit Connection(Editor& ed) : ed_(ed) {}
    void wire();

    void cmdConnect_Click();
    bool ConnectToUnit();
    void SetConnectStatus(int state);
    void EnableFrames(bool enable);
    // An extra line for "Unable to connect to unit!" when the reason can be
    // told: no device for the port, or no permission to open it.
    std::string portHint() const;

private:
    Editor& ed_;
};

}  // namespace zelk

#endif
