#include "q7mctl_site.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "port/port_map.h"
#include "q7mctl_files.h"
#include "q7mctl_link.h"
#include "q7mctl_report.h"
#include "q7mslib.h"

namespace q7mctl {

namespace {

const char* const kFormatNames[6] = {"Mono", "A-TYPE", "SR-TYPE", "EXTERNAL 6-TRK", "ZELK Digital", "NONSYNC"};

// What one worker found out about its unit.
struct UnitResult {
    int port = 0;
    bool ok = false;
    std::string cpu, dspController, dspFirmware;  // versions, when read
    std::string fader, mute, format;              // live values, when read
    std::string result, error;
};

#ifndef _WIN32
// Fields travel from a worker to the parent as one line, separated by 0x1F.
constexpr char kSep = '\x1f';

std::string clean(std::string s) {
    for (char& c : s)
        if (c == kSep || c == '\n' || c == '\r') c = ' ';
    return s;
}

std::string serialise(const UnitResult& r) {
    std::string s = std::to_string(r.port) + kSep + (r.ok ? "1" : "0");
    for (const std::string* f : {&r.cpu, &r.dspController, &r.dspFirmware, &r.fader, &r.mute, &r.format, &r.result,
                                 &r.error})
        s += kSep + clean(*f);
    return s + "\n";
}

bool deserialise(const std::string& line, UnitResult& r) {
    std::vector<std::string> f;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == kSep) {
            f.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    if (f.size() != 10) return false;
    r.port = std::atoi(f[0].c_str());
    r.ok = f[1] == "1";
    r.cpu = f[2], r.dspController = f[3], r.dspFirmware = f[4];
    r.fader = f[5], r.mute = f[6], r.format = f[7], r.result = f[8], r.error = f[9];
    return true;
}
#endif

std::string twoDigits(int major, int minor) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d.%02d", major, minor);
    return buf;
}

// The worker's whole job on one port.
UnitResult workOn(int port, const SiteWork& work) {
    UnitResult r;
    r.port = port;
    RecordReporter rep(port);
    if (work.speed != 0)
        if (const std::string why = speedRefusal(port, work.speed); !why.empty()) {
            r.error = why + " Nothing was done.";
            return r;
        }
    if (unsigned e = InitDLL(port)) {
        rep.link("connecting", e);
        r.error = rep.failure;
        return r;
    }
    if (work.speed != 0) {
        const SpeedChange c = changeSpeed(0, work.speed);
        if (c != SpeedChange::Confirmed) {
            r.error = speedChangeMessage(c, 0, work.speed, port) + "; nothing was done";
            DLLShutdown();
            return r;
        }
    }
    int16_t v[7] = {};
    if (unsigned e = GetUnitVersion(v)) {
        rep.link("reading versions", e);
    } else {
        r.cpu = twoDigits(v[0], v[1]);
        if (v[2] != 0) {
            char build[16];
            std::snprintf(build, sizeof build, ".%04d", v[2]);
            r.cpu += build;
        }
        r.dspController = twoDigits(v[3], v[4]);
        r.dspFirmware = twoDigits(v[5], v[6]);
    }
    if (rep.failure.empty() && !stopSignal()) {
        if (work.command == "live") {
            int16_t vol = 0, fmt = 0;
            uint8_t mute = 0;
            unsigned e = GetVol(&vol);
            if (!e) e = GetMute(&mute);
            if (!e) e = GetFormat(&fmt);
            if (e) {
                rep.link("reading live values", e);
            } else {
                r.fader = std::to_string(vol / 10) + "." + std::to_string(vol % 10);
                r.mute = mute ? "on" : "off";
                r.format = fmt >= 0 && fmt < 6 ? kFormatNames[fmt] : "?";
                rep.done("Fader " + r.fader + ", mute " + r.mute + ", " + r.format);
            }
        } else if (work.command == "backup") {
            backup(work.folder + "/COM" + std::to_string(port) + ".zcf", rep);
        }
    }
    if (work.speed != 0) {
        SpeedChange back = changeSpeed(work.speed, 0);
        if (back == SpeedChange::Reverted) back = changeSpeed(work.speed, 0);
        if (back != SpeedChange::Confirmed)
            rep.fail("the return to 9600 bit/s failed: " + speedChangeMessage(back, work.speed, 0, port));
    }
    DLLShutdown();
    if (stopSignal()) rep.fail("stopped by signal " + std::to_string(stopSignal()));
    r.result = rep.result;
    r.error = rep.failure;
    r.ok = r.error.empty();
    return r;
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

void printText(const UnitResult& r) {
    std::string line = "COM" + std::to_string(r.port);
    line.resize(std::max<std::size_t>(line.size() + 1, 7), ' ');
    line += r.ok ? "ok      " : "FAILED  ";
    if (!r.cpu.empty()) line += "CPU " + r.cpu + "  DSP " + r.dspController + "/" + r.dspFirmware + "  ";
    line += r.ok ? r.result : r.error;
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::printf("%s\n", line.c_str());
}

void printJson(const std::vector<UnitResult>& results) {
    std::printf("[\n");
    for (std::size_t i = 0; i < results.size(); ++i) {
        const auto& r = results[i];
        std::string o = "  {\"port\": " + std::to_string(r.port) + ", \"ok\": " + (r.ok ? "true" : "false");
        auto field = [&](const char* name, const std::string& v) {
            if (!v.empty()) o += std::string(", \"") + name + "\": " + jsonString(v);
        };
        field("cpu", r.cpu);
        field("dspController", r.dspController);
        field("dspFirmware", r.dspFirmware);
        field("fader", r.fader);
        if (!r.mute.empty()) o += std::string(", \"mute\": ") + (r.mute == "on" ? "true" : "false");
        field("format", r.format);
        field("result", r.result);
        field("error", r.error);
        std::printf("%s}%s\n", o.c_str(), i + 1 < results.size() ? "," : "");
    }
    std::printf("]\n");
}

}  // namespace

std::string parsePortList(const std::string& text, std::vector<int>& ports) {
    ports.clear();
    auto number = [](const std::string& s, int& n) {
        const auto r = std::from_chars(s.data(), s.data() + s.size(), n);
        return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size() && n >= 1 && n <= 255;
    };
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        const std::size_t dash = item.find('-');
        int a = 0, b = 0;
        if (dash == std::string::npos ? !number(item, a) : !number(item.substr(0, dash), a) || !number(item.substr(dash + 1), b))
            return "'" + item + "' is not a port number from 1 to 255 or a range such as 5-8";
        if (dash == std::string::npos) b = a;
        if (b < a) return "the range '" + item + "' runs backwards";
        for (int p = a; p <= b; ++p) ports.push_back(p);
        start = comma + 1;
    }
    std::sort(ports.begin(), ports.end());
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    return {};
}

std::vector<int> mappedPorts() {
    // The library's own reading of its port map.
    std::vector<int> ports;
    for (int n = 1; n <= 255; ++n) {
        const q7m::PortMapping m = q7m::mapPort(n);
        if (m.fromTable && m.target.kind != q7m::PortTarget::Kind::None) ports.push_back(n);
    }
    return ports;
}

bool siteCommand(const std::string& command) {
    return command == "version" || command == "live" || command == "backup";
}

namespace {

#ifdef _WIN32
// Windows has no fork(): the units are worked on one after another in this
// process (the library holds one port at a time).
std::vector<UnitResult> workOnEach(const std::vector<int>& ports, const SiteWork& work) {
    std::vector<UnitResult> results;
    for (int port : ports) {
        if (stopSignal()) {
            UnitResult r;
            r.port = port;
            r.error = "not started: stopped by signal " + std::to_string(stopSignal());
            results.push_back(r);
            continue;
        }
        results.push_back(workOn(port, work));
    }
    return results;
}
#else
// One worker process per port, side by side; each sends its result as one
// line through a pipe.
std::vector<UnitResult> workOnEach(const std::vector<int>& ports, const SiteWork& work) {
    struct Worker {
        int port;
        pid_t pid;
        int fd;
        std::string out;
    };
    std::vector<Worker> workers;
    std::fflush(stdout);
    std::fflush(stderr);
    for (int port : ports) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            std::fprintf(stderr, "q7mctl: cannot start a worker for COM%d: %s\n", port, std::strerror(errno));
            continue;
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            for (const auto& w : workers) ::close(w.fd);
            const std::string line = serialise(workOn(port, work));
            [[maybe_unused]] const ssize_t n = ::write(fds[1], line.data(), line.size());
            ::_exit(0);
        }
        ::close(fds[1]);
        if (pid < 0) {
            std::fprintf(stderr, "q7mctl: cannot start a worker for COM%d: %s\n", port, std::strerror(errno));
            ::close(fds[0]);
            continue;
        }
        workers.push_back({port, pid, fds[0], {}});
    }

    // Collect every worker's line; pass a signal on to them once.
    bool forwarded = false;
    std::size_t open = workers.size();
    while (open > 0) {
        if (stopSignal() && !forwarded) {
            for (const auto& w : workers) ::kill(w.pid, stopSignal());
            forwarded = true;
        }
        std::vector<pollfd> fds;
        for (const auto& w : workers) fds.push_back({w.fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), 200) < 0 && errno != EINTR) break;
        for (std::size_t i = 0; i < workers.size(); ++i) {
            if (workers[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buf[1024];
            const ssize_t n = ::read(workers[i].fd, buf, sizeof buf);
            if (n > 0) {
                workers[i].out.append(buf, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(workers[i].fd);
                workers[i].fd = -1;
                --open;
            }
        }
    }

    std::vector<UnitResult> results;
    for (auto& w : workers) {
        int status = 0;
        while (::waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
        }
        UnitResult r;
        if (w.out.empty() || !deserialise(w.out.substr(0, w.out.find('\n')), r)) {
            r.port = w.port;
            r.error = WIFSIGNALED(status) ? "the worker was killed by signal " + std::to_string(WTERMSIG(status))
                                          : "the worker ended without a result";
        }
        results.push_back(r);
    }
    return results;
}
#endif

}  // namespace

int runSite(const std::vector<int>& ports, const SiteWork& work, bool json) {
    const std::vector<UnitResult> results = workOnEach(ports, work);
    bool allOk = true;
    for (const auto& r : results) allOk = allOk && r.ok;
    if (json) printJson(results);
    else
        for (const auto& r : results) printText(r);
    if (stopSignal()) return 128 + stopSignal();
    return allOk && results.size() == ports.size() ? 0 : 1;
}

}  // namespace q7mctl
