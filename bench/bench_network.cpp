// Network latency benchmark: the editor's connection sequence, a backup
// (both blocks and the live values) and, over RFC 2217, a speed change to
// 19200 and back, through Debian's ser2net in front of q7msim, over raw TCP
// and RFC 2217, with a proxy adding a round trip of 0, 50, 200 and 400 ms.
// Prints the elapsed times and the error word of any step that failed.  Not
// a test: run build/bin/bench_network [ROUNDS].
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "connection/link_api.h"
#include "ser2net_process.h"
#include "sim_process.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    unsigned error = 0;  // first failing step's error word
    const char* step = "";
    double connectMs = 0, backupMs = 0, speedMs = 0;
};

unsigned check(Run& r, const char* step, unsigned e) {
    if (e && !r.error) {
        r.error = e;
        r.step = step;
    }
    return e;
}

double msSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

Run once(const zelk::LinkApi& api, int port, bool speed) {
    Run r;
    std::int16_t v[7], vol, fmt;
    std::uint8_t audio[224], system[128], mute;
    auto t0 = Clock::now();
    if (check(r, "InitDLL", api.InitDLL(port)) || check(r, "GetUnitVersion", api.GetUnitVersion(v)) ||
        check(r, "GetAudio", api.GetAudio(audio)) || check(r, "GetSystem", api.GetSystem(system)) ||
        check(r, "GetMute", api.GetMute(&mute)) || check(r, "GetVol", api.GetVol(&vol)) ||
        check(r, "GetFormat", api.GetFormat(&fmt)) || check(r, "StopStream", api.StopStream()))
        return r;
    r.connectMs = msSince(t0);
    t0 = Clock::now();
    if (check(r, "GetSystem", api.GetSystem(system)) || check(r, "GetAudio", api.GetAudio(audio)) ||
        check(r, "GetVol", api.GetVol(&vol)) || check(r, "GetMute", api.GetMute(&mute)) ||
        check(r, "GetFormat", api.GetFormat(&fmt)))
        return r;
    r.backupMs = msSince(t0);
    if (!speed) return r;
    // Each change waits for the command to leave at the old rate, then for
    // the server to confirm the new one.
    t0 = Clock::now();
    if (check(r, "SetDLLBaud(1)", api.SetDLLBaud(1)) || check(r, "GetVol", api.GetVol(&vol)) ||
        check(r, "SetDLLBaud(0)", api.SetDLLBaud(0)))
        return r;
    r.speedMs = msSince(t0);
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    if (!q7mtest::Ser2Net::installed()) {
        std::fprintf(stderr, "ser2net is not installed (scripts/setup.sh installs it)\n");
        return 1;
    }
    std::printf("%-8s %8s %12s %12s %12s  %s\n", "port", "rtt", "connect", "backup", "speed", "result");
    for (const bool rfc2217 : {false, true}) {
        for (const int rtt : {0, 50, 200, 400}) {
            q7mtest::SimProcess sim;
            q7mtest::Ser2Net server(sim.link(), sim.dir());
            q7mtest::DelayProxy proxy(rfc2217 ? server.rfc2217Port() : server.rawPort(), rtt);
            const std::string url =
                std::string(rfc2217 ? "rfc2217" : "socket") + "://127.0.0.1:" + std::to_string(proxy.port());
            q7mtest::writeFile(sim.dir() + "/ZelkSerial.ini", "[Ports]\r\nCOM2=" + url + "\r\n");
            zelk::LinkLibrary lib;
            if (!lib.load(q7mtest::libraryPath())) {
                std::fprintf(stderr, "%s\n", lib.error().c_str());
                return 1;
            }
            std::vector<double> connects, backups, speeds;
            Run failed;
            for (int i = 0; i < rounds; ++i) {
                const Run r = once(lib.api(), 2, rfc2217);
                lib.api().DLLShutdown();
                if (r.error) {
                    failed = r;
                    break;
                }
                connects.push_back(r.connectMs);
                backups.push_back(r.backupMs);
                speeds.push_back(r.speedMs);
            }
            const char* kind = rfc2217 ? "rfc2217" : "socket";
            if (failed.error) {
                std::printf("%-8s %5d ms %12s %12s %12s  %s failed, error word 0x%04X\n", kind, rtt, "-", "-", "-",
                            failed.step, failed.error);
                continue;
            }
            std::sort(connects.begin(), connects.end());
            std::sort(backups.begin(), backups.end());
            std::sort(speeds.begin(), speeds.end());
            char speed[32] = "-";
            if (rfc2217) std::snprintf(speed, sizeof speed, "%.0f ms", speeds[speeds.size() / 2]);
            std::printf("%-8s %5d ms %9.0f ms %9.0f ms %12s  ok\n", kind, rtt, connects[connects.size() / 2],
                        backups[backups.size() / 2], speed);
        }
    }
    std::printf("(median of %d runs; connect = InitDLL, GetUnitVersion, GetAudio, GetSystem, GetMute,\n"
                " GetVol, GetFormat, StopStream; backup = GetSystem, GetAudio, GetVol, GetMute, GetFormat;\n"
                " speed = SetDLLBaud(1), GetVol, SetDLLBaud(0), RFC 2217 only;\n"
                " at 9600 bit/s through ser2net, the proxy holding each chunk half the round trip each way)\n",
                rounds);
    return 0;
}
