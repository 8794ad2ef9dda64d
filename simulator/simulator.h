// simulator.h - q7msim's event loop: the unit, the line to the host (paced
// at the unit's rate, with its faults), the host's ways in (pseudo-terminal
// and TCP) and the control channel.
#ifndef Q7M_SIMULATOR_H
#define Q7M_SIMULATOR_H

#include <chrono>
#include <csignal>
#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "sim_ports.h"
#include "sim_unit.h"

namespace q7msim {

struct Options {
    std::string link, listen, log, control, blocks;
    Versions versions;
    int recordMs = 100;
    bool pacing = true;
};

class Simulator {
public:
    using Clock = std::chrono::steady_clock;

    explicit Simulator(Options o);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Runs until `quit`, SIGINT/SIGTERM (`stop` becomes non-zero) or a
    // failure to start.  Returns the exit status.
    int run(const volatile std::sig_atomic_t& stop);

private:
    enum class Cable { Plugged, Unplugged, HungUp };

    // Control channel.
    void handleControl(const std::string& line);
    // Checks one control line and, when `apply`, acts on it.  Returns "" or
    // the reason it is refused.
    std::string applyControl(const std::vector<std::string>& words, bool apply);
    // One kind of control line each, as applyControl: nullopt when the line
    // is not of that kind.  The unit's own state (format, mute, silent,
    // fader, baud); faults of its replies and its memory; the cable; the
    // simulator itself (after, onaudio, quit, save, status).
    std::optional<std::string> applyUnit(const std::vector<std::string>& words, bool apply);
    std::optional<std::string> applyFault(const std::vector<std::string>& words, bool apply);
    std::optional<std::string> applyCable(const std::vector<std::string>& words, bool apply);
    std::optional<std::string> applyProgram(const std::vector<std::string>& words, bool apply);
    std::string applyReader(const std::vector<std::string>& words, bool apply);
    void logReader(int index);
    void logLine(const std::string& text);

    // The unit's end of the line.
    void fromHost(const std::uint8_t* data, std::size_t n, int hostRate, const char* via);
    void deliver(Bytes message, bool isReply);
    void pumpOutput(Clock::time_point now);
    void dropOutput();
    void endSegment(bool isReply);
    Clock::duration byteTime() const;

    // The cable and the ways in.
    std::string openPorts();
    void unplug();
    void hangup();
    void plug();
    void readPty();
    void readTcp();
    void acceptTcp();

    Options opt_;
    SimUnit unit_;
    PtyPort pty_;
    TcpPort tcp_;
    int control_ = 0;
    bool controlOpen_ = true;
    std::string controlBuf_;
    FILE* log_ = nullptr;
    bool running_ = true;
    Clock::time_point start_ = Clock::now();

    // Bytes on their way to the host, and where each message ends in them.
    struct Segment {
        std::size_t left;
        bool reply;
    };
    std::deque<std::uint8_t> outQueue_;
    std::deque<Segment> segments_;
    Clock::time_point lineFree_ = Clock::now();
    Clock::time_point nextRecord_ = Clock::now();

    // Faults of the line.
    std::optional<std::size_t> cutNext_;  // the next reply stops after this many bytes
    struct Deferred {
        long replies;  // replies still to end before the line acts
        std::string line;
    };
    std::vector<Deferred> deferred_;
    std::vector<std::string> due_;  // deferred lines whose time has come
    std::vector<std::string> onAudio_;  // lines that act when the next audio block write is announced
    Cable cable_ = Cable::Plugged;
    std::optional<Clock::time_point> plugAt_;
};

}  // namespace q7msim

#endif
