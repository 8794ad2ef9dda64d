#include "q7mctl_link.h"

#include <cstdio>
#include <cstring>

#include "port/port_map.h"
#include "port/rates.h"
#include "q7mctl_report.h"
#include "q7mslib.h"

namespace q7mctl {

namespace {

std::string rate(int index) { return std::to_string(q7m::kBaudRates[index]) + " bit/s"; }

}  // namespace

const char* signalName(int sig) {
    switch (sig) {
    case SIGINT: return "Interrupt";
    case SIGTERM: return "Terminated";
#ifdef SIGHUP
    case SIGHUP: return "Hangup";
#endif
    default: return "signal";
    }
}

bool unitAnswers() {
    for (int attempt = 0; attempt < 2; ++attempt) {
        int16_t v[7] = {};
        if (GetUnitVersion(v) == 0) return true;
        ClearError();  // a line feed ends whatever the unit holds of a garbled command
    }
    return false;
}

SpeedChange changeSpeed(int from, int to) {
    // Sends the speed command at the old rate, then moves the port; a port
    // that cannot run the new rate (a raw TCP server) is refused first.
    if (SetDLLBaud(to) == (LINK_ERR_RANGE | LINK_ERR_TEXT_COMMAND)) return SpeedChange::Refused;
    if (unitAnswers()) return SpeedChange::Confirmed;
    // The command went astray, or the unit did not come up at the new rate:
    // send it back (at the new rate, which reaches it only if it did move).
    SetDLLBaud(from);
    if (unitAnswers()) return SpeedChange::Reverted;
    return SpeedChange::Lost;
}

std::string speedRefusal(int port, int to) {
    const q7m::PortStatus s = q7m::portRateSupported(port, q7m::kBaudRates[to]);
    return s.ok() ? std::string() : s.sentence;
}

std::string speedChangeMessage(SpeedChange result, int from, int to, int port) {
    const std::string recover = "run 'q7mctl -p " + std::to_string(port) + " recover' to find it and set it to 9600";
    switch (result) {
    case SpeedChange::Confirmed: return {};
    case SpeedChange::Refused: {
        std::string why = q7m::portRateSupported(port, q7m::kBaudRates[to]).sentence;
        if (!why.empty() && why.back() == '.') why.pop_back();  // the callers go on after it
        return "the speed change to " + rate(to) + " was refused, the unit stays at " + rate(from) +
               (why.empty() ? "" : ": " + why);
    }
    case SpeedChange::Reverted:
        return "the unit did not answer at " + rate(to) + " after the speed change; it is at " + rate(from) +
               (from == 0 ? "" : " (" + recover + ")");
    case SpeedChange::Lost:
        return "the unit answers neither at " + rate(to) + " nor at " + rate(from) +
               " after the speed change; its speed is unknown: " + recover;
    }
    return {};
}

namespace {
// Opens the link and tests it; a unit that still holds garbled bytes from
// an earlier rate answers the first test with an error, so a failed test is
// tried once more: by then its late answer has arrived, and opening the
// port again drops it.
unsigned openAndTest(int port) {
    unsigned e = InitDLL(port);
    if (e != 0 && !(e & LINK_ERR_PORT)) e = InitDLL(port);
    return e;
}
}  // namespace

int recoverSpeed(int port) {
    // The first try at 9600 also tells the library which port to reopen at
    // the other rates.
    int found = -1;
    const unsigned first = openAndTest(port);
    if (first & LINK_ERR_PORT) {
        // Not a question of speed: the port itself cannot be opened.
        std::fprintf(stderr, "q7mctl: cannot open COM%d (error word 0x%04X): %s\n", port, first,
                     portFailure(port).c_str());
        return 1;
    }
    if (first == 0 && unitAnswers()) found = 0;
    for (int index = 1; found < 0 && index <= 4; ++index) {
        const int r = index % 4;  // 19200, 38400, 57600, then 9600 once more after a line feed
        if (stopSignal()) break;
        SetDLLBaud(r);  // not connected: moves and reopens the port, sends a line feed at that rate
        if (openAndTest(port) == 0 && unitAnswers()) found = r;
    }
    if (found < 0) {
        DLLShutdown();
        std::fprintf(stderr,
                     "q7mctl: no unit answers on COM%d at 9600, 19200, 38400 or 57600 bit/s: check that the unit is "
                     "switched on, the cable, and that COM%d is mapped to the right device in ZelkSerial.ini\n",
                     port, port);
        return 1;
    }
    if (found == 0) {
        DLLShutdown();
        std::printf("The unit on COM%d answers at 9600 bit/s: nothing to do\n", port);
        return 0;
    }
    SpeedChange back = changeSpeed(found, 0);
    if (back == SpeedChange::Reverted) back = changeSpeed(found, 0);  // one more try
    DLLShutdown();
    if (back != SpeedChange::Confirmed) {
        std::fprintf(stderr, "q7mctl: found the unit at %s, but %s\n", rate(found).c_str(),
                     speedChangeMessage(back, found, 0, port).c_str());
        return 1;
    }
    std::printf("Found the unit on COM%d at %s and set it back to 9600 bit/s\n", port, rate(found).c_str());
    return 0;
}

}  // namespace q7mctl
