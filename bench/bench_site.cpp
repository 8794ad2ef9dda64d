// A whole site at once: q7mctl backs up 16 simulated units, each behind
// its own raw TCP port (q7msim --listen), one worker process per port, and
// the time is set against one unit's backup done the same way; then
// verify against those baselines and the metrics file, the same way.  Also the
// memory of a worker, sampled from /proc while it runs.  Checks that every
// unit's file was written and holds that unit's own fader level.
// Not a test: run build/bin/bench_site [ROUNDS] [UNITS].
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "files/config_file.h"
#include "sim_process.h"

namespace {

using Clock = std::chrono::steady_clock;

// Memory of one process, in kB, from /proc/PID/status and smaps_rollup.
struct Memory {
    long rss = 0;      // resident, shared pages included
    long pss = 0;      // shared pages divided among their sharers
    long privKb = 0;   // pages only this process has
};

long fieldKb(const std::string& text, const std::string& name) {
    const auto at = text.find("\n" + name + ":");
    if (at == std::string::npos) return 0;
    return std::atol(text.c_str() + at + name.size() + 2);
}

Memory memoryOf(pid_t pid) {
    Memory m;
    const std::string base = "/proc/" + std::to_string(pid);
    const std::string status = "\n" + q7mtest::readFile(base + "/status");
    m.rss = fieldKb(status, "VmRSS");
    const std::string rollup = "\n" + q7mtest::readFile(base + "/smaps_rollup");
    m.pss = fieldKb(rollup, "Pss");
    m.privKb = fieldKb(rollup, "Private_Clean") + fieldKb(rollup, "Private_Dirty");
    return m;
}

// The children of `parent` (q7mctl's workers).
std::vector<pid_t> childrenOf(pid_t parent) {
    std::vector<pid_t> out;
    std::istringstream in(q7mtest::readFile("/proc/" + std::to_string(parent) + "/task/" + std::to_string(parent) +
                                            "/children"));
    for (pid_t p; in >> p;) out.push_back(p);
    return out;
}

struct Run {
    double seconds = 0;
    int status = -1;
    std::string out;
    std::map<pid_t, Memory> workers;  // the largest sample of each
};

// Runs q7mctl with `args`, sampling its workers' memory every 10 ms.
Run runQ7mctl(const std::vector<std::string>& args, const std::string& outFile) {
    Run r;
    const auto t0 = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<std::string> argv = {Q7MCTL_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> cargv;
        for (auto& a : argv) cargv.push_back(a.data());
        cargv.push_back(nullptr);
        const int fd = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        ::execv(cargv[0], cargv.data());
        ::_exit(127);
    }
    int status = 0;
    for (;;) {
        if (::waitpid(pid, &status, WNOHANG) == pid) break;
        for (pid_t w : childrenOf(pid)) {
            const Memory m = memoryOf(w);
            if (m.rss == 0) continue;  // gone between the two reads
            Memory& best = r.workers[w];
            best.rss = std::max(best.rss, m.rss);
            best.pss = std::max(best.pss, m.pss);
            best.privKb = std::max(best.privKb, m.privKb);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    r.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = q7mtest::readFile(outFile);
    return r;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Each unit's file exists and holds its own fader level (unit n at n/10).
std::string checkFiles(const std::string& folder, int units) {
    for (int n = 1; n <= units; ++n) {
        zelk::ConfigData d;
        const std::string path = folder + "/COM" + std::to_string(n) + ".zcf";
        if (zelk::ReadConfigFile(path, d) != zelk::ReadResult::Ok) return path + " is missing or unreadable";
        if (d.CurrentVolume != n) return path + " holds fader " + std::to_string(d.CurrentVolume) + ", not " + std::to_string(n);
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int units = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 99) : 16;
    std::vector<std::unique_ptr<q7mtest::SimProcess>> sims;
    std::string ini = "[Ports]\r\n";
    for (int n = 1; n <= units; ++n) {
        sims.push_back(std::make_unique<q7mtest::SimProcess>(std::vector<std::string>{"--listen", "127.0.0.1:0"}));
        const std::string address = sims.back()->listenAddress();
        char level[32];
        std::snprintf(level, sizeof level, "%d.%d", n / 10, n % 10);
        if (address.empty() || !sims.back()->control(std::string("fader ") + level)) {
            std::fprintf(stderr, "simulated unit %d did not start\n", n);
            return 1;
        }
        ini += "COM" + std::to_string(n) + "=socket://" + address + "\r\n";
    }
    const q7mtest::TempDir config;
    q7mtest::writeFile(config.file("ZelkSerial.ini"), ini);
    ::setenv("Q7M_CONFIG_DIR", config.path().c_str(), 1);

    std::vector<double> one, all, verifyOne, verifyAll, metricsOne, metricsAll;
    Memory worker;
    std::size_t workersSeen = 0;
    for (int round = 0; round < rounds; ++round) {
        const q7mtest::TempDir oneDir, allDir;
        const Run a = runQ7mctl({"-p", "1", "--json", "backup", oneDir.path()}, config.file("q7mctl.out"));
        const Run b = runQ7mctl({"-p", "1-" + std::to_string(units), "--json", "backup", allDir.path()},
                                config.file("q7mctl.out"));
        std::string bad = a.status != 0 ? "one unit: exit status " + std::to_string(a.status) + "\n" + a.out : "";
        if (bad.empty() && b.status != 0) bad = "all units: exit status " + std::to_string(b.status) + "\n" + b.out;
        if (bad.empty()) bad = checkFiles(allDir.path(), units);
        if (!bad.empty()) {
            std::fprintf(stderr, "round %d failed: %s\n", round + 1, bad.c_str());
            return 1;
        }
        one.push_back(a.seconds);
        all.push_back(b.seconds);
        // Every unit matches the baseline just kept (status 0); the metrics
        // file is written (status 0) and says so for each unit.
        const std::string list = "1-" + std::to_string(units);
        const Run v1 = runQ7mctl({"-p", "1", "verify", allDir.path()}, config.file("q7mctl.out"));
        const Run vn = runQ7mctl({"-p", list, "verify", allDir.path()}, config.file("q7mctl.out"));
        const std::string prom = allDir.path() + "/q7m.prom";
        const Run m1 = runQ7mctl({"-p", "1", "--baseline", allDir.path(), "metrics", prom}, config.file("q7mctl.out"));
        const Run mn = runQ7mctl({"-p", list, "--baseline", allDir.path(), "metrics", prom}, config.file("q7mctl.out"));
        for (const Run* r : {&v1, &vn, &m1, &mn})
            if (r->status != 0) bad = "verify or metrics: exit status " + std::to_string(r->status) + "\n" + r->out;
        const std::string text = q7mtest::readFile(prom);
        for (int n = 1; bad.empty() && n <= units; ++n)
            if (text.find("q7m_settings_match_baseline{port=\"COM" + std::to_string(n) + "\"} 1\n") == std::string::npos)
                bad = "the metrics file does not say that COM" + std::to_string(n) + " matches";
        if (!bad.empty()) {
            std::fprintf(stderr, "round %d failed: %s\n", round + 1, bad.c_str());
            return 1;
        }
        verifyOne.push_back(v1.seconds);
        verifyAll.push_back(vn.seconds);
        metricsOne.push_back(m1.seconds);
        metricsAll.push_back(mn.seconds);
        workersSeen = std::max(workersSeen, b.workers.size());
        for (const auto& [pid, m] : b.workers) {
            worker.rss = std::max(worker.rss, m.rss);
            worker.pss = std::max(worker.pss, m.pss);
            worker.privKb = std::max(worker.privKb, m.privKb);
        }
    }
    const double t1 = median(one), tn = median(all);
    std::printf("q7mctl backup over raw TCP (socket://), 9600 bit/s, median of %d rounds\n", rounds);
    std::printf("  1 unit:    %6.2f s\n", t1);
    std::printf("  %d units: %6.2f s   = %.2f x one unit (target: within 1.50)   %s\n", units, tn, tn / t1,
                tn <= 1.5 * t1 ? "met" : "NOT met");
    std::printf("  per worker (largest of %zu sampled): RSS %ld kB, PSS %ld kB, private %ld kB\n", workersSeen,
                worker.rss, worker.pss, worker.privKb);
    std::printf("  all %d files written, each with its own unit's fader level\n", units);
    for (const auto& [name, a, b] : {std::tuple{"verify FOLDER", &verifyOne, &verifyAll},
                                     std::tuple{"metrics --baseline FOLDER", &metricsOne, &metricsAll}}) {
        const double m1 = median(*a), mn = median(*b);
        std::printf("q7mctl %s, the same units\n  1 unit:    %6.2f s\n  %d units: %6.2f s   = %.2f x one unit "
                    "(target: within 1.50)   %s\n",
                    name, m1, units, mn, mn / m1, mn <= 1.5 * m1 ? "met" : "NOT met");
    }
    return 0;
}
