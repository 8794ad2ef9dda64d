// q7msim - a simulated Q7M cinema processor on a pseudo-terminal and/or a
// raw TCP port.
//
// It answers as a unit would: text commands, framed block transfers, live
// commands and measurement streams from a simulated optical reader, paced
// at the line rate.  A control channel (standard input or --control FIFO)
// acts as the unit's front panel, turns the reader's screws and injects
// faults; --log records every command.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "simulator.h"

using namespace q7msim;

namespace {

volatile std::sig_atomic_t gStop = 0;
void onSignal(int) { gStop = 1; }

void usage(FILE* to) {
    std::fputs(
        "usage: q7msim --link PATH [options]     a unit on a pseudo-terminal reached through PATH\n"
        "       q7msim --listen HOST:PORT [...]  a unit behind a raw TCP serial server\n"
        "  --link PATH          symlink to create for the simulated serial port\n"
        "  --listen HOST:PORT   also (or only) answer on raw TCP, one client at a time; the\n"
        "                       server's serial line stays at 9600 bit/s (a speed command\n"
        "                       received there strands the unit, as behind a real server)\n"
        "  --log FILE           append one line per received command and event to FILE\n"
        "  --control FIFO       read control lines from FIFO (default: standard input)\n"
        "  --blocks FILE        start from a 352-byte image (system block, audio block)\n"
        "  --cpu V  --build N --dspc V --dspf V   version report (default 1.06, 0, 1.03, 1.09)\n"
        "  --record-ms N        interval between measurement records (default 100)\n"
        "  --no-pacing          send replies at once instead of at the line rate\n"
        "control lines (one per line):\n"
        "  front panel   format N|LETTER   mute on|off   fader 0.0-9.9   baud 9600|19200|38400|57600\n"
        "  reader        reader [1|2] gain LEFT RIGHT   track levels in dB from the reference (-40..6)\n"
        "                reader [1|2] slit DEGREES      slit tilt (-10..10): the high bands fall off\n"
        "                reader [1|2] azimuth DEGREES   azimuth error (-10..10): the tracks drift apart\n"
        "                reader [1|2] noise on|off      jitter of film and reader\n"
        "                reader [1|2] show              log the alignment\n"
        "                (without 1 or 2 a line turns both projectors' readers)\n"
        "  faults        silent on|off   garble N   dropline N   wrongcode N   badtext N\n"
        "                ignore LETTER [N]   the next N text commands starting with LETTER are lost\n"
        "                cut N               the next reply stops after N bytes\n"
        "                unplug [MS]         cable pulled: nothing passes; back after MS ms or on plug\n"
        "                hangup [MS]         the port goes away (the host sees a hang-up, the link\n"
        "                                    vanishes); back after MS ms or on plug, on a new device\n"
        "                plug                cable and port back\n"
        "                after N LINE        act on LINE once the next N replies have left\n"
        "                onaudio LINE        act on LINE when the next audio block write is announced,\n"
        "                                    before the unit answers (wrongcode 6, hangup 500...)\n"
        "                corrupt system|audio BYTE   every such block stored from now on keeps BYTE\n"
        "                                    with its lowest bit flipped (a failing memory cell)\n"
        "                corrupt off         blocks are stored as sent again\n"
        "  other         status   save FILE   quit\n"
        "each control line is acknowledged in the log once it has taken effect:\n"
        "  ACK <line>: ok    or    ACK <line>: error <reason>\n",
        to);
}

bool parseArgs(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        if (a == "--help" || a == "-h") {
            usage(stdout);
            std::exit(0);
        } else if (a == "--no-pacing") {
            o.pacing = false;
        } else if ((v = next()) == nullptr) {
            std::fprintf(stderr, "q7msim: %s needs a value\n", a.c_str());
            return false;
        } else if (a == "--link") {
            o.link = v;
        } else if (a == "--listen") {
            o.listen = v;
        } else if (a == "--log") {
            o.log = v;
        } else if (a == "--control") {
            o.control = v;
        } else if (a == "--blocks") {
            o.blocks = v;
        } else if (a == "--record-ms") {
            o.recordMs = std::max(5, std::atoi(v));
        } else if (a == "--build") {
            o.versions.cpuBuild = std::atoi(v);
        } else if (a == "--cpu" || a == "--dspc" || a == "--dspf") {
            int& mj = a == "--cpu" ? o.versions.cpuMajor : a == "--dspc" ? o.versions.dspcMajor : o.versions.dspfMajor;
            int& mn = a == "--cpu" ? o.versions.cpuMinor : a == "--dspc" ? o.versions.dspcMinor : o.versions.dspfMinor;
            if (!parseVersion(v, mj, mn)) {
                std::fprintf(stderr, "q7msim: bad version '%s' (expected e.g. 1.06)\n", v);
                return false;
            }
        } else {
            std::fprintf(stderr, "q7msim: unknown option %s\n", a.c_str());
            return false;
        }
    }
    if (o.link.empty() && o.listen.empty()) {
        std::fprintf(stderr, "q7msim: give --link PATH, --listen HOST:PORT or both\n");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options opt;
    if (!parseArgs(argc, argv, opt)) {
        usage(stderr);
        return 2;
    }
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    Simulator sim(std::move(opt));
    return sim.run(gStop);
}
