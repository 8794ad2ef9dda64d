// The site window refreshing 16 units: the editor's own on COM1, read
// through its link, and 15 read side by side by q7mctl, each simulated unit
// behind its own raw TCP port (q7msim --listen), compared with baselines.
// Measures how long the window's event loop goes without turning from the
// menu command until every row is read (a zero-interval timer records each
// turn), and how long the refresh takes.  Not a test: it prints figures.
//   target: longest gap < 50 ms
// Run build/bin/bench_site_window [ROUNDS].
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "connection/link_api.h"
#include "quiet_services.h"
#include "sim_process.h"
#include "ui/app.h"

using namespace zelk;

namespace {

constexpr int kUnits = 16;

struct Figures {
    double seconds = 0, longest = 0, p99 = 0;
};

Figures measure(const std::function<void()>& scenario, const std::function<bool()>& finished) {
    std::vector<qint64> turns;
    QElapsedTimer clock;
    clock.start();
    QTimer meter;
    QObject::connect(&meter, &QTimer::timeout, [&] { turns.push_back(clock.nsecsElapsed()); });
    meter.start(0);
    bool started = false;
    QTimer::singleShot(0, [&] {
        started = true;
        scenario();
    });
    while (!started || !finished()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    meter.stop();
    Figures f;
    f.seconds = clock.nsecsElapsed() / 1e9;
    std::vector<double> gaps;
    for (std::size_t i = 1; i < turns.size(); ++i) gaps.push_back((turns[i] - turns[i - 1]) / 1e6);
    if (!gaps.empty()) {
        std::sort(gaps.begin(), gaps.end());
        f.longest = gaps.back();
        f.p99 = gaps[static_cast<std::size_t>(0.99 * static_cast<double>(gaps.size() - 1))];
    }
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<std::unique_ptr<q7mtest::SimProcess>> sims;
    std::string ini = "[Ports]\r\n";
    for (int n = 1; n <= kUnits; ++n) {
        sims.push_back(std::make_unique<q7mtest::SimProcess>(std::vector<std::string>{"--listen", "127.0.0.1:0"}));
        const std::string address = sims.back()->listenAddress();
        if (address.empty()) {
            std::fprintf(stderr, "simulated unit %d did not start\n", n);
            return 1;
        }
        ini += "COM" + std::to_string(n) + "=socket://" + address + "\r\n";
    }
    const q7mtest::TempDir dir;
    q7mtest::writeFile(dir.file("ZelkSerial.ini"), ini);
    ::setenv("Q7M_CONFIG_DIR", dir.path().c_str(), 1);
    const Paths paths = q7mtest::pathsIn(dir.path());
    const std::string baselines = paths.dataDir + "/baselines";
    const std::string backup = std::string(Q7MCTL_PATH) + " -p 1-" + std::to_string(kUnits) + " backup " + baselines +
                               " >/dev/null";
    if (std::system(backup.c_str()) != 0) {
        std::fprintf(stderr, "q7mctl could not keep the baselines\n");
        return 1;
    }
    LinkLibrary lib;
    if (!lib.load(q7mtest::libraryPath())) {
        std::fprintf(stderr, "%s\n", lib.error().c_str());
        return 1;
    }
    q7mtest::QuietBoxes boxes;
    q7mtest::NoFileDialogs files;
    EditorApp editorApp(lib.api(), paths, &boxes, &files);
    Editor& ed = editorApp.editor();
    editorApp.start();
    while (ed.splash.form.visible() || !ed.vals.OnLine) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);

    auto everyRowRead = [&] {
        const auto& rows = ed.siteOverview.rows();
        return rows.size() == kUnits && std::none_of(rows.begin(), rows.end(), [](const SiteRow& r) {
                   return r.state == SiteRow::State::Reading || r.state == SiteRow::State::Unread;
               });
    };
    std::printf("Site Overview refreshing %d units (COM1 the editor's own, %d read by q7mctl over raw TCP, "
                "9600 bit/s), %d rounds\n",
                kUnits, kUnits - 1, rounds);
    std::vector<double> longest, p99, seconds;
    for (int round = 0; round < rounds; ++round) {
        const Figures f = measure([&] { round == 0 ? ed.main.bar.mnuSite.click() : ed.site.cmdRefresh.click(); },
                                  everyRowRead);
        longest.push_back(f.longest);
        p99.push_back(f.p99);
        seconds.push_back(f.seconds);
    }
    int matching = 0;
    for (const SiteRow& r : ed.siteOverview.rows()) matching += r.baseline == SiteRow::Baseline::Matches;
    const double worst = *std::max_element(longest.begin(), longest.end());
    std::sort(seconds.begin(), seconds.end());
    std::printf("  refresh: median %.2f s (fastest %.2f s, slowest %.2f s)\n", seconds[seconds.size() / 2],
                seconds.front(), seconds.back());
    std::printf("  longest event-loop gap over all rounds: %.1f ms (p99 of the worst round %.1f ms)   target < 50 ms: %s\n",
                worst, *std::max_element(p99.begin(), p99.end()), worst < 50 ? "met" : "NOT met");
    std::printf("  %d of %d rows match their baseline\n", matching, kUnits);
    return matching == kUnits ? 0 : 1;
}
