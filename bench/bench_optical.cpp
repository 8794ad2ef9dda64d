// Optical alignment benchmark: streams measurements from q7msim through
// the real window (headless) in each mode, at the simulator's default record
// rate and with records back to back (as fast as the line carries them), at
// 9600 and 19200 bit/s.  Prints the records read and drawn per second and
// the time per drawing (the logic's drawing commands and the picture's
// rendering into its image).  Not a test: it prints figures.
//   targets: every record read is drawn; drawing under 5 ms at the 99th percentile
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "connection/link_api.h"
#include "quiet_services.h"
#include "sim_process.h"
#include "ui/app.h"

using namespace zelk;

namespace {

void runFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LinkLibrary lib;
    if (!lib.load(q7mtest::libraryPath())) {
        std::fprintf(stderr, "%s\n", lib.error().c_str());
        return 1;
    }
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 4;
    std::printf("Optical measurement through the real window, %d s per row\n", seconds);
    std::printf("%-8s %-14s %-10s %10s %10s %12s %12s\n", "bit/s", "records", "mode", "read/s", "drawn/s",
                "draw median", "draw p99");
    static const char* const modes[3] = {"gain", "slit loss", "azimuth"};
    for (int baud : {9600, 19200}) {
        for (int recordMs : {100, 1}) {
            q7mtest::SimProcess sim({"--record-ms", std::to_string(recordMs)});
            if (!sim.control("reader noise on")) std::fprintf(stderr, "q7msim refused a control line\n");
            q7mtest::TempDir data;
            Paths paths;
            paths.programDir = data.path();
            paths.dataDir = data.file("data");
            paths.configDir = sim.dir();
            q7mtest::QuietBoxes boxes;
            q7mtest::NoFileDialogs files;
            EditorApp editorApp(lib.api(), paths, &boxes, &files);
            Editor& ed = editorApp.editor();
            editorApp.start();
            QElapsedTimer wait;
            wait.start();
            while (!(ed.vals.OnLine && !ed.splash.form.visible()) && wait.elapsed() < 15000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (!ed.vals.OnLine) {
                std::fprintf(stderr, "bench_optical: the editor did not connect\n");
                return 1;
            }
            if (baud == 19200) ed.portSpeed.mnuBaud_Click(2);
            for (int mode = 0; mode < 3; ++mode) {
                ed.main.optical.optOptical[static_cast<std::size_t>(mode)].setValue(true);
                std::vector<double> drawMs;
                long lastCount = 0;
                QTimer sample;  // collects each drawing's time as it happens
                QObject::connect(&sample, &QTimer::timeout, [&] {
                    if (ed.optical.recordsDrawn() != lastCount) {
                        lastCount = ed.optical.recordsDrawn();
                        drawMs.push_back(ed.optical.lastDrawMs());
                    }
                });
                sample.start(0);
                ed.main.optical.cmdStart.click();
                QElapsedTimer t;
                t.start();
                runFor(seconds * 1000);
                const double elapsed = t.elapsed() / 1000.0;
                const long drawn = ed.optical.recordsDrawn();
                ed.main.optical.cmdStart.click();
                sample.stop();
                // Every successful read is drawn before the next read starts.
                const double readPerSecond = static_cast<double>(drawn) / elapsed;
                std::printf("%-8d %-14s %-10s %10.1f %10.1f %9.2f ms %9.2f ms\n", baud,
                            recordMs == 100 ? "every 100 ms" : "back to back", modes[mode], readPerSecond,
                            static_cast<double>(drawn) / elapsed, percentile(drawMs, 0.5), percentile(drawMs, 0.99));
            }
            if (!boxes.shown.empty()) std::printf("  (%zu message boxes were shown)\n", boxes.shown.size());
            ed.lifecycle.Form_Unload();
        }
    }
    return 0;
}
