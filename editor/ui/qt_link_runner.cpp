#include "ui/qt_link_runner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <memory>

namespace zelk {

QtLinkRunner::QtLinkRunner() = default;
QtLinkRunner::~QtLinkRunner() = default;

void QtLinkRunner::call(const std::function<void()>& libraryCall) {
    if (thread_.onLinkThread()) {
        libraryCall();
        return;
    }
    auto finished = std::make_shared<std::atomic<bool>>(false);
    auto wake = std::make_shared<QPointer<QEventLoop>>();
    thread_.post([&libraryCall] { libraryCall(); },
                 [this, finished, wake] {
                     finished->store(true);
                     // Wake the waiting loop, on the window's thread.
                     QMetaObject::invokeMethod(
                         this, [wake] { if (*wake) (*wake)->quit(); }, Qt::QueuedConnection);
                 });
    waitFor([finished] { return finished->load(); }, wake);
}

void QtLinkRunner::wait(int ms) {
    QElapsedTimer t;
    t.start();
    auto wake = std::make_shared<QPointer<QEventLoop>>();
    QTimer::singleShot(ms, Qt::PreciseTimer, this, [wake] { if (*wake) (*wake)->quit(); });
    waitFor([&t, ms] { return t.elapsed() >= ms; }, wake);
}

void QtLinkRunner::waitFor(const std::function<bool()>& finished, const std::shared_ptr<QPointer<QEventLoop>>& wake) {
    QElapsedTimer elapsed;
    elapsed.start();
    ++waiting_;
    QEventLoop loop;
    *wake = &loop;
    bool cursorSet = false;
    QTimer cursor;  // the busy cursor, for a wait the user notices
    cursor.setSingleShot(true);
    QObject::connect(&cursor, &QTimer::timeout, &loop, [&cursorSet] {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        cursorSet = true;
    });
    cursor.start(kBusyCursorAfterMs);
    QTimer safety;  // looks again now and then, should a wake-up be missed
    QObject::connect(&safety, &QTimer::timeout, &loop, [&] {
        if (finished()) loop.quit();
    });
    safety.start(50);
    // User input stays queued in the window system until a loop without
    // this flag takes it, in the order it came.
    while (!finished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    *wake = nullptr;
    if (cursorSet) QApplication::restoreOverrideCursor();
    --waiting_;
    longestWaitMs_ = std::max<long>(longestWaitMs_, static_cast<long>(elapsed.elapsed()));
    if (waiting_ == 0) settle();
}

void QtLinkRunner::settle() {
    settling_ = true;
    if (settlePosted_) return;
    settlePosted_ = true;
    QMetaObject::invokeMethod(this, [this] { settleHop(); }, Qt::QueuedConnection);
}

// Two posted hops: Qt delivers an event posted while posted events are
// being delivered only on the next loop turn, so the turn in which the
// first hop runs starts no exchange and hands the held-back input over;
// the second hop, a turn later, lets the deferred ticks go.
void QtLinkRunner::settleHop() {
    settlePosted_ = false;
    if (waiting_ > 0) return;  // that wait settles again when it ends
    QMetaObject::invokeMethod(this, [this] { settled(); }, Qt::QueuedConnection);
}

void QtLinkRunner::settled() {
    if (waiting_ > 0 || settlePosted_) return;  // a newer wait settles itself
    settling_ = false;
    if (depth_ == 0 && !pending_.empty()) drain();
}

void QtLinkRunner::exchangeEnds() {
    if (--depth_ > 0 || pending_.empty() || drainQueued_ || settling_) return;
    drainQueued_ = true;
    QTimer::singleShot(0, this, [this] { drain(); });
}

void QtLinkRunner::whenIdle(const void* key, std::function<void()> action) {
    if (!busy() && !settling_) {
        action();
        return;
    }
    for (auto& p : pending_)
        if (p.first == key) return;  // already waiting to run
    pending_.emplace_back(key, std::move(action));
}

void QtLinkRunner::drain() {
    drainQueued_ = false;
    // Only what was waiting when the exchange ended: a tick deferred while
    // one of these runs waits for the next turn of the event loop, so the
    // loop keeps turning however often a timer fires.
    auto batch = std::move(pending_);
    pending_.clear();
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (busy() || settling_) {  // an action started an exchange: the rest follow it
            pending_.insert(pending_.begin(), std::make_move_iterator(batch.begin() + static_cast<std::ptrdiff_t>(i)),
                            std::make_move_iterator(batch.end()));
            return;
        }
        batch[i].second();
    }
}

}  // namespace zelk
