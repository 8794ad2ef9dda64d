// Responsiveness benchmark: opens the real main window headless on q7msim
// and measures how long the window's event loop goes without turning while
// the editor talks to the unit.  A zero-interval timer records each turn;
// the figure is the longest gap between two turns (and the 99th
// percentile) during each scenario.  Not a test: it prints figures.
//   targets: longest gap < 50 ms, 99th percentile < 16 ms (one frame at 60 Hz)
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "connection/link_api.h"
#include "quiet_services.h"
#include "sim_process.h"
#include "ui/app.h"

using namespace zelk;

namespace {


struct Figures {
    double seconds = 0, longest = 0, p99 = 0;
    long turns = 0;
};

// Runs `scenario` from the event loop and measures the loop's turns until
// `finished` says the scenario is over.
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
    f.turns = static_cast<long>(turns.size());
    if (!gaps.empty()) {
        std::sort(gaps.begin(), gaps.end());
        f.longest = gaps.back();
        f.p99 = gaps[static_cast<std::size_t>(0.99 * static_cast<double>(gaps.size() - 1))];
    }
    return f;
}

void report(const char* name, const Figures& f) {
    std::printf("%-34s %7.2f s %8ld turns   longest gap %6.1f ms   p99 %5.1f ms   %s\n", name, f.seconds, f.turns,
                f.longest, f.p99, f.longest < 50 && f.p99 < 16 ? "ok" : "OVER TARGET");
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    q7mtest::SimProcess sim;
    q7mtest::TempDir data;
    if (!sim.running()) {
        std::fprintf(stderr, "bench_responsive: q7msim did not start\n");
        return 1;
    }
    LinkLibrary lib;
    if (!lib.load(q7mtest::libraryPath())) {
        std::fprintf(stderr, "%s\n", lib.error().c_str());
        return 1;
    }
    Paths paths;
    paths.programDir = data.path();
    paths.dataDir = data.file("data");
    paths.configDir = sim.dir();
    q7mtest::QuietBoxes boxes;
    q7mtest::NoFileDialogs files;
    EditorApp editorApp(lib.api(), paths, &boxes, &files);
    Editor& ed = editorApp.editor();

    std::printf("Longest time the window's event loop stood still, per scenario (q7msim, 9600 bit/s)\n");
    report("start-up connection", measure([&] { editorApp.start(); },
                                          [&] { return ed.splash.form.visible() == false && ed.vals.OnLine; }));

    bool done = false;
    report("upload of both blocks", measure([&] {
        ed.upload.UploadToUnit(0, -1);
        done = true;
    }, [&] { return done; }));

    done = false;
    report("automatic refresh (both blocks)", measure([&] {
        ed.polling.mnuRef_Click();
        done = true;
    }, [&] { return done; }));

    // A running measurement: every tick reads a record on the link thread.
    ed.main.optical.optOptical[2].setValue(true);
    QElapsedTimer measuring;
    report("running azimuth measurement (3 s)", measure([&] {
        ed.main.optical.cmdStart.click();
        measuring.start();
    }, [&] { return measuring.isValid() && measuring.elapsed() > 3000; }));
    ed.main.optical.cmdStart.click();

    done = false;
    if (!sim.control("silent on")) std::fprintf(stderr, "bench_responsive: q7msim refused 'silent on'\n");
    report("silent unit retried until Off Line", measure([&] {
        ed.polling.tmrPoll_Timer();
        done = true;
    }, [&] { return done; }));
    std::printf("  (the editor ended %s; last box: %s)\n", ed.vals.OnLine ? "on line" : "off line",
                boxes.shown.empty() ? "(none)" : boxes.shown.back().substr(0, boxes.shown.back().find('\n')).c_str());
    if (!sim.control("silent off")) std::fprintf(stderr, "bench_responsive: q7msim refused 'silent off'\n");
    std::printf("longest single wait for the link: %ld ms\n", editorApp.runner().longestWaitMs());
    return 0;
}
