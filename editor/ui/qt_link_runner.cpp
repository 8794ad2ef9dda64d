#include "ui/qt_link_runner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace zelk {

QtLinkRunner::QtLinkRunner() = default;
QtLinkRunner::~QtLinkRunner() = default;

bool QtLinkRunner::call(std::function<void()> job) {
    auto finished = std::make_shared<std::atomic<bool>>(false);
    auto wake = std::make_shared<QPointer<QEventLoop>>();
    thread_.post(std::move(job), [this, finished, wake] {
        finished->store(true);
        // Wake the waiting loop, on the window's thread.
        QMetaObject::invokeMethod(
            this, [wake] { if (*wake) (*wake)->quit(); }, Qt::QueuedConnection);
    });
    waitFor([finished] { return finished->load(); }, wake);
    return finished->load();
}

void QtLinkRunner::post(std::function<void()> job) { thread_.post(std::move(job), {}); }

void QtLinkRunner::wait(int ms) {
    QElapsedTimer t;
    t.start();
    auto wake = std::make_shared<QPointer<QEventLoop>>();
    QTimer::singleShot(ms, Qt::PreciseTimer, this, [wake] { if (*wake) (*wake)->quit(); });
    waitFor([&t, ms] { return t.elapsed() >= ms; }, wake);
}

void QtLinkRunner::requestCancel() {
    if (!busy()) return;
    cancel_ = true;
    if (innermost_) innermost_->quit();
}

// Returns false when the wait was given up for a cancel.
bool QtLinkRunner::waitFor(const std::function<bool()>& finished, const std::shared_ptr<QPointer<QEventLoop>>& wake) {
    QElapsedTimer elapsed;
    elapsed.start();
    if (waiting_++ == 0) qApp->installEventFilter(this);
    QEventLoop loop;
    *wake = &loop;
    QPointer<QEventLoop> outer = innermost_;
    innermost_ = &loop;
    bool noticed = false;  // the busy cursor shows: input is dropped from now on
    QTimer cursor;
    cursor.setSingleShot(true);
    QObject::connect(&cursor, &QTimer::timeout, &loop, [this, &noticed, &loop] {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        noticed = true;
        loop.quit();  // turn again, taking the window system's input
        // Qt's GLib dispatcher hands the window system's queue over only
        // after a wake-up: a posted event is one, so input held back until
        // now (a close request among it) arrives without waiting for more.
        QMetaObject::invokeMethod(this, [] {}, Qt::QueuedConnection);
    });
    cursor.start(kBusyCursorAfterMs);
    QTimer safety;  // looks again now and then, should a wake-up be missed
    QObject::connect(&safety, &QTimer::timeout, &loop, [&] {
        if (finished() || cancel_) loop.quit();
    });
    safety.start(50);
    while (!finished() && !cancel_) {
        // Until the busy cursor shows, user input stays queued in the
        // window system; afterwards it arrives and the filter drops it.
        const int rc = loop.exec(noticed ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        // The application is quitting: every loop returns at once.  Wait
        // without one rather than spin.
        if (rc < 0 && !finished() && !cancel_) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    *wake = nullptr;
    innermost_ = outer;
    if (noticed) QApplication::restoreOverrideCursor();
    const bool done = finished();
    if (--waiting_ == 0) {
        qApp->removeEventFilter(this);
        if (depth_ == 0) quiet();
    }
    longestWaitMs_ = std::max<long>(longestWaitMs_, static_cast<long>(elapsed.elapsed()));
    if (waiting_ == 0) {
        settle();
        if (!releases_.empty()) whenIdle(&releases_, [this] { deliverReleases(); });
    }
    return done;
}

bool QtLinkRunner::takesInput(QObject* o) const {
    if (!o->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(o);
    for (const auto& t : takeInput_)
        if (t && (t == w || t->isAncestorOf(w))) return true;
    return false;
}

void QtLinkRunner::takeInputDuringWaits(QWidget* w) { takeInput_.emplace_back(w); }

bool QtLinkRunner::eventFilter(QObject* o, QEvent* e) {
    if (waiting_ == 0) return false;
    switch (e->type()) {
    case QEvent::Shortcut:
        return true;  // a menu's shortcut would start a command inside the wait
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride: {
        if (!o->isWidgetType() || takesInput(o)) return false;
        auto* k = static_cast<QKeyEvent*>(e);
        if (e->type() == QEvent::KeyPress) {
            if (k->key() == Qt::Key_Escape) requestCancel();
            if (!k->isAutoRepeat()) droppedKeys_.insert(k->key());
        } else if (e->type() == QEvent::KeyRelease && !k->isAutoRepeat() && droppedKeys_.erase(k->key()) == 0) {
            releases_.emplace_back(o, std::unique_ptr<QEvent>(e->clone()));
        }
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
        if (!o->isWidgetType() || takesInput(o)) return false;
        auto* m = static_cast<QMouseEvent*>(e);
        const int button = static_cast<int>(m->button());
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)
            droppedButtons_.insert(button);
        else if (e->type() == QEvent::MouseButtonRelease && droppedButtons_.erase(button) == 0)
            releases_.emplace_back(o, std::unique_ptr<QEvent>(e->clone()));
        return true;
    }
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return o->isWidgetType() && !takesInput(o);
    default:
        return false;
    }
}

void QtLinkRunner::deliverReleases() {
    auto releases = std::move(releases_);
    releases_.clear();
    for (auto& r : releases)
        if (r.first) QCoreApplication::sendEvent(r.first, r.second.get());
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

// Nothing in flight any more: a cancel is spent, and a press dropped
// during the waits no longer decides about its release.
void QtLinkRunner::quiet() {
    cancel_ = false;
    droppedKeys_.clear();
    droppedButtons_.clear();
}

void QtLinkRunner::exchangeEnds() {
    LinkRunner::exchangeEnds();
    if (depth_ == 0 && waiting_ == 0) quiet();
    if (depth_ > 0 || pending_.empty() || drainQueued_ || settling_) return;
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
        if (busy() || settling_) {
            // An action started an exchange: the rest follow it, in their
            // order and each once (one deferred again meanwhile is already
            // among them).
            std::vector<std::pair<const void*, std::function<void()>>> rest;
            for (std::size_t j = i; j < batch.size(); ++j) rest.push_back(std::move(batch[j]));
            for (auto& p : pending_) {
                const bool known = std::any_of(rest.begin(), rest.end(), [&](const auto& r) { return r.first == p.first; });
                if (!known) rest.push_back(std::move(p));
            }
            pending_ = std::move(rest);
            return;
        }
        batch[i].second();
    }
}

}  // namespace zelk
