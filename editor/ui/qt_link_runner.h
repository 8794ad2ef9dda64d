// qt_link_runner.h - runs the library's calls on the link thread while the
// window stays alive.
//
// The logic calls the library as before: it asks and waits for the answer.
// While it waits, this runner turns a nested event loop that paints, runs
// the clock and moves windows, and defers every timer tick that would start
// another exchange until the one in flight has ended.  A pause between
// retries waits the same way.
//
// The user's input during a wait:
// - a wait too short to notice (no busy cursor yet) leaves it queued in the
//   window system, and it follows the wait in the order it came;
// - once the busy cursor shows, input is dropped as it arrives (clicks,
//   keys, key repeats, wheel, shortcuts), on the way to success or to an
//   error box alike, so nothing typed into a frozen-looking window acts
//   later.  The exceptions: the windows handed to `takeInputDuringWaits`
//   (the progress dialog and its Cancel), Escape anywhere (a cancel), the
//   window manager's close request (the main window turns it into a cancel
//   and closes after the exchange), and the release of a key or mouse button
//   pressed before the wait, which is delivered after it so that a step or
//   a drag started before the wait ends as it would have.
//
// Cancel: `requestCancel` ends the wait in progress at once; the call it
// waited for finishes on the link thread by itself (the library is never
// interrupted) and the calls posted after it queue behind.  The dispatcher
// sees the cancel between attempts and gives the exchange up.
//
// After each wait the runner lets the window's loop turn once before any
// deferred tick starts the next exchange, so that input held back during
// a short wait is delivered even when exchanges follow one another without
// a gap (an optical measurement).  With Qt's GLib dispatcher on X11, input
// held back by a nested loop is only handed over by a later loop turn in
// which no nested loop ran first; a tick starting the next exchange at the
// top of every turn would hold the user's clicks back for as long as the
// stream runs.
#ifndef ZELK_UI_QT_LINK_RUNNER_H
#define ZELK_UI_QT_LINK_RUNNER_H

#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "connection/link_runner.h"
#include "connection/link_thread.h"

class QEvent;

namespace zelk {

class QtLinkRunner : public QObject, public LinkRunner {
public:
    // A wait longer than this shows the busy cursor, and input made during
    // it is dropped.
    static constexpr int kBusyCursorAfterMs = 150;

    QtLinkRunner();
    ~QtLinkRunner() override;

    bool call(std::function<void()> job) override;
    void post(std::function<void()> job) override;
    void exchangeEnds() override;
    void requestCancel() override;

    // Waits `ms` without freezing the window (the retry pause); a cancel
    // ends it early.
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
    // Input to `w` and its children is taken during waits (the progress
    // dialog: its Cancel must work while the unit is awaited).
    void takeInputDuringWaits(QWidget* w);
    // At exit: lets the calls still on the link thread finish for at most
    // `ms`.  False when one is still in the library; the program must then
    // end at once, without unloading the library.
    bool finishWithin(int ms) { return thread_.finishWithin(ms); }

    // The longest single wait so far, in ms (for the benchmark).
    long longestWaitMs() const { return longestWaitMs_; }

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    bool waitFor(const std::function<bool()>& finished, const std::shared_ptr<QPointer<QEventLoop>>& wake);
    bool takesInput(QObject* o) const;
    void quiet();
    void deliverReleases();
    void drain();
    void settle();
    void settleHop();
    void settled();
    LinkThread thread_;
    int waiting_ = 0;
    bool drainQueued_ = false;
    bool settling_ = false;
    bool settlePosted_ = false;
    long longestWaitMs_ = 0;
    QPointer<QEventLoop> innermost_;
    std::vector<QPointer<QWidget>> takeInput_;
    // Presses dropped during waits, whose releases go the same way.
    std::set<int> droppedKeys_, droppedButtons_;
    // Releases of presses made before the wait, delivered after it.
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> releases_;
    std::vector<std::pair<const void*, std::function<void()>>> pending_;
};

}  // namespace zelk

#endif
