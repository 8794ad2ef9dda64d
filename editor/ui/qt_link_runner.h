// qt_link_runner.h - runs the library's calls on the link thread while the
// window stays alive.
//
// The logic calls the library as before: it asks and waits for the answer.
// While it waits, this runner turns a nested event loop that paints, runs
// the clock and moves windows, but holds the user's input back (it is
// delivered afterwards, in order, as Qt keeps it queued) and defers every
// timer tick that would start another exchange until the one in flight has
// ended.  A pause between retries waits the same way.
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
    // Runs `action` now, or once the exchange in flight has ended.  Actions
    // with the same key are run once however often they were deferred (a
    // timer that ticked three times during a long exchange ticks once).
    void whenIdle(const void* key, std::function<void()> action);

    // The longest single wait so far, in ms (for the benchmark).
    long longestWaitMs() const { return longestWaitMs_; }

private:
    void waitFor(const std::function<bool()>& finished, const std::shared_ptr<QPointer<QEventLoop>>& wake);
    void drain();
    LinkThread thread_;
    int depth_ = 0;
    int waiting_ = 0;
    bool drainQueued_ = false;
    long longestWaitMs_ = 0;
    std::vector<std::pair<const void*, std::function<void()>>> pending_;
};

}  // namespace zelk

#endif
