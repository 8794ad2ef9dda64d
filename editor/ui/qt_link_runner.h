// qt_link_runner.h - runs the library's calls on the link thread while the
// window stays alive.
//
// The logic calls the library as before: it asks and waits for the answer.
// While it waits, this runner turns a nested event loop that paints, runs
// the clock and moves windows, but holds the user's input back (it is
// delivered afterwards, in order, as Qt keeps it queued) and defers every
// timer tick that would start another exchange until the one in flight has
// ended.  A pause between retries waits the same way.
//
// After each wait the runner lets the window's loop turn once before any
// deferred tick starts the next exchange, so that input held back during
// the wait is delivered even when exchanges follow one another without a
// gap (an optical measurement).  With Qt's GLib dispatcher on X11, input
// held back by a nested loop is only handed over by a later loop turn in
// which no nested loop ran first; a tick starting the next exchange at the
// top of every turn would hold the user's clicks back for as long as the
// stream runs.
#ifndef ZELK_UI_QT_LINK_RUNNER_H
#define ZELK_UI_QT_LINK_RUNNER_H

#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "connection/link_runner.h"
#include "connection/link_thread.h"

namespace zelk {

class QtLinkRunner : public QObject, public LinkRunner {
public:
    // A wait longer than this shows the busy cursor.
    static constexpr int kBusyCursorAfterMs = 150;

    QtLinkRunner();
    ~QtLinkRunner() override;

    void call(const std::function<void()>& libraryCall) override;
    void exchangeBegins() override { ++depth_; }
    void exchangeEnds() override;

    // Waits `ms` without freezing the window (the retry pause).
    void wait(int ms);
    // An exchange is in flight, or the logic is waiting for the link.
    bool busy() const { return depth_ > 0 || waiting_ > 0; }
    // Between the end of a wait and the loop turn that hands over the input
    // held back during it: deferred ticks still wait.
    bool settling() const { return settling_; }
    // Runs `action` now, or once the exchange in flight has ended.  Actions
    // with the same key are run once however often they were deferred (a
    // timer that ticked three times during a long exchange ticks once).
    void whenIdle(const void* key, std::function<void()> action);

    // The longest single wait so far, in ms (for the benchmark).
    long longestWaitMs() const { return longestWaitMs_; }

private:
    void waitFor(const std::function<bool()>& finished, const std::shared_ptr<QPointer<QEventLoop>>& wake);
    void drain();
    void settle();
    void settleHop();
    void settled();
    LinkThread thread_;
    int depth_ = 0;
    int waiting_ = 0;
    bool drainQueued_ = false;
    bool settling_ = false;
    bool settlePosted_ = false;
    long longestWaitMs_ = 0;
    std::vector<std::pair<const void*, std::function<void()>>> pending_;
};

}  // namespace zelk

#endif
