// Connection-sequence benchmark: how close does the library get to the
// line's own speed?  Runs InitDLL, GetUnitVersion, GetAudio, GetSystem,
// GetMute, GetVol, GetFormat, StopStream against q7msim pacing its output
// at 9600 and 19200 bit/s, and compares the elapsed time with the time the
// bytes need on the wire (10 bits per byte).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "connection/link_api.h"
#include "sim_process.h"

namespace {

bool sequence(const zelk::LinkApi& api) {
    std::int16_t v[7], vol, fmt;
    std::uint8_t audio[224], system[128], mute;
    return api.InitDLL(1) == 0 && api.GetUnitVersion(v) == 0 && api.GetAudio(audio) == 0 &&
           api.GetSystem(system) == 0 && api.GetMute(&mute) == 0 && api.GetVol(&vol) == 0 &&
           api.GetFormat(&fmt) == 0 && api.StopStream() == 0;
}

// Bytes in the trace's TX or RX lines.
long tracedBytes(const std::string& path, const char* direction) {
    std::ifstream in(path);
    std::string line;
    long n = 0;
    while (std::getline(in, line)) {
        const auto at = line.find(direction);
        if (at == std::string::npos) continue;
        std::istringstream hex(line.substr(at + 4));
        std::string b;
        while (hex >> b) ++n;
    }
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::printf("%-7s %10s %8s %8s %10s %7s %10s %7s\n", "bit/s", "elapsed", "sent", "received", "wire", "ratio",
                "rx wire", "rx ratio");
    for (int baudIndex : {0, 1}) {
        const int rate = baudIndex == 0 ? 9600 : 19200;
        q7mtest::SimProcess sim;
        const std::string trace = sim.dir() + "/trace.txt";
        // The library starts at 9600; to measure at 19200 move both ends
        // there once, then shut down: the unit stays at 19200 and the
        // library opens the port at its current speed from then on.
        ::setenv("Q7M_TRACE", trace.c_str(), 1);
        zelk::LinkLibrary lib;
        if (!lib.load(q7mtest::libraryPath())) {
            std::fprintf(stderr, "%s\n", lib.error().c_str());
            return 1;
        }
        ::unsetenv("Q7M_TRACE");
        const auto& api = lib.api();
        if (baudIndex != 0 && (api.InitDLL(1) != 0 || api.SetDLLBaud(baudIndex) != 0 || api.DLLShutdown() == 0)) {
            std::fprintf(stderr, "cannot switch to %d bit/s\n", rate);
            return 1;
        }
        // One traced run to count the bytes, then timed runs.
        q7mtest::writeFile(trace, "");
        if (!sequence(api)) {
            std::fprintf(stderr, "connection sequence failed at %d bit/s\n", rate);
            return 1;
        }
        api.DLLShutdown();
        const long sent = tracedBytes(trace, " TX "), received = tracedBytes(trace, " RX ");
        const long bytes = sent + received;
        std::vector<double> times;
        for (int r = 0; r < rounds; ++r) {
            const auto t0 = std::chrono::steady_clock::now();
            const bool ok = sequence(api);
            const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            api.DLLShutdown();
            if (!ok) {
                std::fprintf(stderr, "connection sequence failed at %d bit/s\n", rate);
                return 1;
            }
            times.push_back(s);
        }
        std::sort(times.begin(), times.end());
        const double elapsed = times[times.size() / 2];
        const double wire = bytes * 10.0 / rate;
        const double rxWire = received * 10.0 / rate;
        std::printf("%-7d %7.1f ms %8ld %8ld %7.1f ms %7.3f %7.1f ms %7.3f\n", rate, elapsed * 1e3, sent, received,
                    wire * 1e3, elapsed / wire, rxWire * 1e3, elapsed / rxWire);
        if (baudIndex != 0) {
            api.InitDLL(1);
            api.SetDLLBaud(0);
            api.DLLShutdown();
        }
    }
    std::printf("(median of %d runs each; target: ratio within 1.10 at 9600.  The pseudo-terminal\n"
                " delivers the host's bytes at once and only q7msim paces its replies, so the\n"
                " rx ratio is the library's own overhead over a perfectly paced unit.)\n",
                rounds);
    return 0;
}
